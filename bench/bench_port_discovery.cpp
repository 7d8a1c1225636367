// What listing the serial ports costs in the setup dialog: 50 ports, each diagnosed (opened
// non-blocking, asked what it is, closed). Exits with 1 over 100 ms.
#include "printer_link/port_discovery.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <pty.h>
#include <unistd.h>
#include <vector>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    constexpr int kPorts = 50;
    constexpr double kBudgetMs = 100.0;
    // Pseudo-terminals stand in for the ports: the system's own list never has 50.
    std::vector<int> descriptors;
    QList<port_discovery::SerialEntry> entries;
    for (int i = 0; i < kPorts; ++i) {
        int master = -1, slave = -1;
        char name[128] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return 2;
        descriptors.insert(descriptors.end(), {master, slave});
        entries.append({QString::fromLocal8Bit(name), QStringLiteral("USB-Serial Controller"),
            QStringLiteral("ACME"), QString::number(1000 + i)});
    }
    std::vector<double> runs;
    for (int run = 0; run < 21; ++run) {
        QElapsedTimer clock;
        clock.start();
        const QList<port_discovery::Found> found = port_discovery::serialPorts(entries);
        runs.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (found.size() != kPorts || !found.first().diagnosis.usable())
            return 2;
    }
    for (int fd : descriptors)
        ::close(fd);
    std::sort(runs.begin(), runs.end());
    QTextStream(stdout) << QStringLiteral("configuração\tlistar %1 portas seriais\tmediana %2 "
                                          "ms\tmáximo %3 ms (limite %4 ms)\n")
                               .arg(kPorts)
                               .arg(runs[runs.size() / 2], 0, 'f', 2)
                               .arg(runs.back(), 0, 'f', 2)
                               .arg(kBudgetMs, 0, 'f', 0);
    return runs.back() < kBudgetMs ? 0 : 1;
}
