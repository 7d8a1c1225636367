#pragma once

#include <QByteArray>
#include <QString>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

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

    // What arrives until nothing more came for `quiet`.
    [[nodiscard]] QByteArray read(std::chrono::milliseconds quiet = std::chrono::milliseconds(300))
    {
        QByteArray got;
        char buffer[1000];
        for (pollfd p {master, POLLIN, 0}; ::poll(&p, 1, int(quiet.count())) > 0;) {
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n == 0 || (n < 0 && errno != EAGAIN))
                break;
            got.append(buffer, qMax<ssize_t>(n, 0));
        }
        return got;
    }
};
