#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <limits>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

// What arrives on `fd` until `count` bytes came or nothing more came for `quiet`.
inline QByteArray readFrom(int fd, qsizetype count = std::numeric_limits<qsizetype>::max(),
    std::chrono::milliseconds quiet = std::chrono::milliseconds(300))
{
    QByteArray got;
    char buffer[1000];
    for (pollfd p {fd, POLLIN, 0}; got.size() < count && ::poll(&p, 1, int(quiet.count())) > 0;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno != EAGAIN))
            break;
        got.append(buffer, qMax<ssize_t>(n, 0));
    }
    return got;
}

// A serial line whose far end the test holds: the program opens `path`, the test reads what
// came through `master`.
struct PseudoTerminal
{
    int master = -1, slave = -1;
    QString path;

    PseudoTerminal()
    {
        char name[128] = {};
        ::openpty(&master, &slave, name, nullptr, nullptr);
        path = QString::fromLocal8Bit(name);
    }
    ~PseudoTerminal()
    {
        ::close(slave);
        ::close(master);
    }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    [[nodiscard]] QByteArray read() const { return readFrom(master); }
    // Bytes sent that the far end has not read.
    [[nodiscard]] qsizetype pending() const
    {
        int n = 0;
        ::ioctl(master, FIONREAD, &n);
        return n;
    }
};

// A parallel port whose printer is the test: a FIFO at `path`, read by `reader`.
struct FifoPrinter
{
    QString path;
    int reader = -1;

    explicit FifoPrinter(const QString &at)
        : path(at)
    {
        if (::mkfifo(QFile::encodeName(path).constData(), 0600) == 0)
            reader = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    }
    ~FifoPrinter() { ::close(reader); }
    FifoPrinter(const FifoPrinter &) = delete;
    FifoPrinter &operator=(const FifoPrinter &) = delete;
};
