#include "app/process_signals.h"

#include <QApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kEnding[] = {SIGTERM, SIGINT, SIGHUP};

// The handler may only write to the pipe; the event loop reads it.
int g_pipe[2] = {-1, -1};

void handler(int signal)
{
    const int saved = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

ProcessSignals::ProcessSignals(QObject *parent)
    : QObject(parent)
{
    std::signal(SIGXFSZ, SIG_IGN);
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ProcessSignals::arrived);
    struct sigaction action
    { };
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int signal : kEnding)
        ::sigaction(signal, &action, nullptr);
}

ProcessSignals::~ProcessSignals()
{
    for (int signal : kEnding)
        std::signal(signal, SIG_DFL);
    if (g_pipe[0] >= 0) {
        ::close(g_pipe[0]);
        ::close(g_pipe[1]);
    }
    g_pipe[0] = g_pipe[1] = -1;
}

void ProcessSignals::arrived()
{
    char bytes[16];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) { }
    // Asked first, so that a message box shown while the windows close returns at once instead
    // of waiting for an operator who is logging out.
    QCoreApplication::quit();
    QApplication::closeAllWindows();
}
