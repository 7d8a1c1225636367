// Times what large files cost the operator: activating the check window over a large
// Dados_cheque.txt, and "Abrir diário..." on a journal of a million calls, on the largest one
// accepted and on files that are not journals. Exits with 1 when one of them takes 2 s or more.
#include "check/check_data.h"
#include "check/check_window.h"
#include "virtual_printer/journal_format.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <ctime>

namespace {

constexpr qint64 kBudgetMs = 2000;

class NoMessages : public MessageSink, public Question
{
public:
    void show(QWidget *, const QString &text) override { last = text; }
    [[nodiscard]] bool ask(QWidget *, const QString &) override { return true; }
    QString last;
};

class FixedClock : public Clock
{
public:
    [[nodiscard]] QDate today() const override { return {2007, 12, 19}; }
};

// Wall-clock time, and the processor time of the program: the machine may be busy with others.
class Stopwatch
{
public:
    Stopwatch() { m_wall.start(), m_cpu = cpuMs(); }
    [[nodiscard]] qint64 wallMs() const { return m_wall.elapsed(); }
    [[nodiscard]] QString text() const
    {
        return QStringLiteral("%1 ms\tprocessador %2 ms").arg(wallMs()).arg(cpuMs() - m_cpu);
    }

private:
    static qint64 cpuMs()
    {
        timespec t {};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
    }
    QElapsedTimer m_wall;
    qint64 m_cpu;
};

bool focus(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitFor(
        [&window] { return QGuiApplication::focusWindow() == window.windowHandle(); });
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

qint64 g_worstMs = 0;

void report(const QString &what, const Stopwatch &time, const QString &outcome)
{
    out() << QStringLiteral("arquivos grandes\t%1\t%2\t%3\n").arg(what, time.text(), outcome);
    out().flush();
    g_worstMs = std::max(g_worstMs, time.wallMs());
}

// From another window to the check window, which reads Dados_cheque.txt as it becomes active.
void activate(const QDir &dir, const QString &what)
{
    NoMessages messages;
    FixedClock clock;
    const Services services {
        nullptr, &messages, &clock, QLocale(QLocale::Portuguese, QLocale::Brazil), dir};
    CheckWindow check(services, [] { return 888; });
    QWidget other;
    if (!focus(other))
        qFatal("no focus");
    const Stopwatch time;
    if (!focus(check))
        qFatal("no focus");
    QApplication::processEvents();
    report(what, time, messages.last.isEmpty() ? QStringLiteral("lido") : messages.last);
}

// "Abrir diário..." until the journal and the paper view are shown.
void openJournal(const QString &path, const QString &what)
{
    NoMessages messages;
    VirtualPrinter printer;
    VirtualPrinterWindow window(printer, messages, messages);
    window.show();
    QApplication::processEvents();
    const Stopwatch time;
    const QString error = window.openJournalFrom(path);
    QApplication::processEvents();
    report(what, time,
        error.isEmpty() ? QStringLiteral("aberto")
                        : QString(error).replace(path, QStringLiteral("diario.txt")));
}

// A million calls as check prints make them: nine commands and a status read each.
QByteArray millionCalls()
{
    QVector<JournalEntry> calls;
    calls.reserve(1'000'000);
    const QDateTime start(QDate(2007, 12, 19), QTime(10, 0));
    const QByteArray front[] = {"\x1b.5901Fulano de Tal}", "\x1b.5902S\xe3o Paulo}",
        "\x1b.5903191207}", "\x1b.5904000000234598}", "\x1b.5905Obs. um}", "\x1b.5906Obs. dois}",
        "\x1b.5907REAL}", "\x1b.5908REAIS}", "\x1b.5909000N08080607071005}"};
    while (calls.size() < 1'000'000) {
        const QDateTime t = start.addMSecs(calls.size());
        for (const QByteArray &bytes : front)
            calls.append({t, JournalEntry::Call::TX, 888, bytes, 0});
        calls.append({t, JournalEntry::Call::Estado, 888, {}, 216});
    }
    return journal_format::text(calls).toUtf8();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    const QDir dir(tmp.path());

    const QString data = dir.filePath(QStringLiteral("Dados_cheque.txt"));
    const QByteArray head = "237\r\nR$ 1,00\r\nAna\r\no1\r\no2\r\nRio\r\n";
    const QByteArray line = QByteArray(78, 'v') + "\r\n";
    writeFile(data, head + line.repeated((10'000'000 - head.size()) / line.size()));
    activate(dir, QStringLiteral("Dados_cheque.txt de 10 MB: ativar a janela Cheque"));
    // The worst a file within the limit can hold: a line break in every other byte.
    writeFile(
        data, head + QByteArray("\r\n").repeated((check_data::kMaxFileBytes - head.size()) / 2));
    activate(dir,
        QStringLiteral("Dados_cheque.txt de %1 KiB, o maior aceito, só de quebras de linha: ativar "
                       "a janela Cheque")
            .arg(check_data::kMaxFileBytes >> 10));

    const QString journal = dir.filePath(QStringLiteral("diario.txt"));
    const QByteArray calls = millionCalls();
    writeFile(journal, calls);
    openJournal(journal,
        QStringLiteral("diário de 1.000.000 chamadas (%1 MB): Abrir diário")
            .arg(calls.size() / 1'000'000));

    // The same calls again up to the limit, then files of zeros, within it and over it.
    QFile large(journal);
    if (!large.open(QIODevice::Append))
        qFatal("cannot write the journal");
    // Without their header line, which only the file's first line may be.
    const QByteArray body = calls.sliced(calls.startsWith('#') ? calls.indexOf('\n') + 1 : 0);
    while (large.size() + body.size() <= journal_format::kMaxFileBytes)
        large.write(body);
    const QByteArray rest = body.first(journal_format::kMaxFileBytes - large.size());
    large.write(rest.first(rest.lastIndexOf('\n') + 1));
    large.close();
    openJournal(journal,
        QStringLiteral("diário de %1 MB, o maior aceito: Abrir diário")
            .arg(large.size() / 1'000'000));
    for (const qint64 size : {journal_format::kMaxFileBytes, qint64(1) << 30}) {
        QFile::remove(journal);
        if (!large.open(QIODevice::WriteOnly) || !large.resize(size))
            qFatal("cannot write the journal");
        large.close();
        openJournal(journal, QStringLiteral("%1 MiB de zeros: Abrir diário").arg(size >> 20));
    }
    return g_worstMs < kBudgetMs ? 0 : 1;
}
