// What the monitored authentication's wait costs: CPU time over a 3-second wait, and the delay
// from status bit 4 being set to the line being handed to the link. Exits with 1 over budget.
#include "auth/auth_window.h"
#include "printer_link/printer_link.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <sys/resource.h>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A printer whose document arrives at a set moment; notes when the line comes.
class ScheduledLink : public PrinterLink
{
public:
    Steady::time_point documentAt;
    Steady::time_point lineAt;
    long reads = 0;
    int texts = 0;

    [[nodiscard]] LinkResult Estado(int16_t) override
    {
        ++reads;
        return {int16_t(Steady::now() >= documentAt ? 0xD8 : 0xC8), {}};
    }
    [[nodiscard]] LinkResult TX(int16_t, const QByteArray &) override { return {}; }
    LinkResult TXI(int16_t, const QByteArray &) override
    {
        if (++texts % 3 == 2) // ESC "~1", the line, ESC "~0"
            lineAt = Steady::now();
        return {};
    }
    void Sleep(uint32_t milliseconds) override { QThread::msleep(milliseconds); }
};

class PrintedMessages : public MessageSink
{
public:
    void show(QWidget *, const QString &text) override { QTextStream(stderr) << text << '\n'; }
};

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double millis(Steady::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);

    ScheduledLink link;
    PrintedMessages messages;
    Services services;
    services.link = &link;
    services.messages = &messages;
    AuthWindow window(services, [] { return 888; });
    window.setText(QStringLiteral(" BBB 123 27012030 R$2.345,98"));
    window.show();
    auto *monitored = window.findChild<QAbstractButton *>(QStringLiteral("Command3"));

    // CPU spent while waiting 3 s, the dialog showing for most of it.
    link.documentAt = Steady::now() + 3s;
    const double cpuBefore = cpuSeconds();
    const Steady::time_point wallBefore = Steady::now();
    monitored->click();
    const double wall = std::chrono::duration<double>(Steady::now() - wallBefore).count();
    const double cpuShare = (cpuSeconds() - cpuBefore) / wall;
    out << QStringLiteral("autenticação monitorada\tCPU numa espera de %1 s\t%2 % de um núcleo\t%3 "
                          "leituras de estado por segundo\n")
               .arg(wall, 0, 'f', 2)
               .arg(cpuShare * 100, 0, 'f', 2)
               .arg(link.reads / wall, 0, 'f', 0);

    // Delay from the document to the line; waits of 0.4 to 0.6 s, so the dialog is up.
    std::vector<double> delays;
    for (int run = 0; run < 20; ++run) {
        link.documentAt = Steady::now() + 400ms + run * 10ms;
        monitored->click();
        delays.push_back(millis(link.lineAt - link.documentAt));
    }
    std::sort(delays.begin(), delays.end());
    const double median = (delays[9] + delays[10]) / 2;
    out << QStringLiteral(
        "autenticação monitorada\tbit 4 → linha entregue (20 esperas)\tmediana %1 "
        "ms\tmínimo %2 ms\tmáximo %3 ms\n")
               .arg(median, 0, 'f', 2)
               .arg(delays.front(), 0, 'f', 2)
               .arg(delays.back(), 0, 'f', 2);

    const bool withinBudget = cpuShare < 0.05 && median < 5.0;
    out << QStringLiteral("autenticação monitorada\tlimites (CPU < 5 %, mediana < 5 ms)\t%1\n")
               .arg(withinBudget ? QStringLiteral("dentro") : QStringLiteral("EXCEDIDOS"));
    return withinBudget ? 0 : 1;
}
