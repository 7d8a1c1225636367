// Times what the virtual printer does per call: decoding and drawing a check front, and
// taking 10,000 calls into the journal window. Exits with 1 when the check front's median
// goes over its budget.
#include "ui/services.h"
#include "virtual_printer/command_decoder.h"
#include "virtual_printer/job_collector.h"
#include "virtual_printer/paper_renderer.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>

namespace {

constexpr double kFrontBudgetMs = 20;

const QVector<QByteArray> kFront = {QByteArray("\x1b.5901Fulano de Tal}"),
    QByteArray::fromHex("1b2e3539303253e36f205061756c6f7d"), QByteArray("\x1b.5903191207}"),
    QByteArray("\x1b.5904000000234598}"), QByteArray("\x1b.5905Obs. um}"),
    QByteArray("\x1b.5906Obs. dois}"), QByteArray("\x1b.5907REAL}"), QByteArray("\x1b.5908REAIS}"),
    QByteArray("\x1b.5909000N08080607071005}")};

class NoMessages : public MessageSink, public Question
{
public:
    void show(QWidget *, const QString &) override { }
    [[nodiscard]] bool ask(QWidget *, const QString &) override { return true; }
};

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

double percentile90(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() * 9 / 10);
}

// Decodes the nine calls of a front print, groups them and draws the check, `runs` times.
QVector<double> checkFront(int runs)
{
    QVector<JournalEntry> journal;
    for (const QByteArray &bytes : kFront)
        journal.append({QDateTime::currentDateTime(), JournalEntry::Call::TX, 888, bytes, 0});
    QVector<double> ms;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer t;
        t.start();
        const QVector<PaperJob> jobs = collectJobs(journal);
        const QImage image = paper_renderer::render(jobs.first());
        ms.append(t.nsecsElapsed() / 1e6);
        if (image.isNull())
            return {};
    }
    return ms;
}

QVector<double> decodeOnly(int runs)
{
    QVector<double> us;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer t;
        t.start();
        for (const QByteArray &bytes : kFront)
            (void)command_decoder::summary(command_decoder::decode(bytes));
        us.append(t.nsecsElapsed() / 1e3);
    }
    return us;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);

    (void)checkFront(5); // fonts and ICU load on first use
    const QVector<double> front = checkFront(200);
    const QVector<double> decode = decodeOnly(2000);
    out << QStringLiteral(
        "impressora virtual\tfrente de cheque: decodificar, agrupar e desenhar (200 "
        "vezes)\tmediana %1 ms\t90%: %2 ms\n")
               .arg(median(front), 0, 'f', 2)
               .arg(percentile90(front), 0, 'f', 2);
    out << QStringLiteral(
        "impressora virtual\tdecodificar as nove chamadas da frente\tmediana %1 µs\n")
               .arg(median(decode), 0, 'f', 1);

    // 10,000 calls into the window with its journal and paper view, as an operator sees them.
    NoMessages messages;
    VirtualPrinter printer;
    VirtualPrinterWindow window(printer, messages, messages);
    window.show();
    QApplication::processEvents();
    QElapsedTimer t;
    t.start();
    int calls = 0;
    while (calls < 10000) {
        for (const QByteArray &bytes : kFront) {
            (void)printer.TX(888, bytes);
            ++calls;
        }
        (void)printer.TX(888, QByteArray("Linha 1  1         2         3         4\r\n"));
        (void)printer.Estado(888);
        calls += 2;
    }
    const qint64 appendMs = t.elapsed();
    QApplication::processEvents();
    const qint64 shownMs = t.elapsed();
    out << QStringLiteral("impressora virtual\t%1 chamadas no diário da janela\t%2 ms\t%3 µs por "
                          "chamada\tvisível após %4 ms\n")
               .arg(calls)
               .arg(appendMs)
               .arg(appendMs * 1000.0 / calls, 0, 'f', 1)
               .arg(shownMs);
    out.flush();
    return median(front) < kFrontBudgetMs ? 0 : 1;
}
