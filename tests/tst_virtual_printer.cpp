#include "tests/support/test_services.h"
#include "virtual_printer/command_decoder.h"
#include "virtual_printer/job_collector.h"
#include "virtual_printer/journal_model.h"
#include "virtual_printer/paper_renderer.h"
#include "virtual_printer/paper_view.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>

namespace {

const QByteArray kLogo = QByteArray::fromHex(kLogoHex);
const QByteArray kPrintDefault = "\x1b.5909000N08080607071005}";
const int kCheckWidth = (175 + 8) * 8; // pixels: the check and 4 mm of desk either side, 8 a mm

// The sample check's front with the value, date and print command given.
QList<QByteArray> front(
    const QByteArray &value, const QByteArray &date, const QByteArray &print = {})
{
    QList<QByteArray> out = sampleFront();
    out[2] = "\x1b.5903" + date + "}";
    out[3] = "\x1b.5904" + value + "}";
    out[8] = print.isEmpty() ? out[8] : print;
    return out;
}

// The jobs printed by these TX calls, one a second from 10:00.
QVector<PaperJob> print(const QVector<QByteArray> &calls)
{
    const QDateTime start(QDate(2007, 12, 19), QTime(10, 0));
    QVector<JournalEntry> journal;
    for (const QByteArray &bytes : calls)
        journal.append({start.addSecs(journal.size()), JournalEntry::Call::TX, 888, bytes, 0});
    return collectJobs(journal);
}

// The window on a virtual printer of its own.
struct Bench
{
    RecordingMessages messages;
    VirtualPrinter printer;
    VirtualPrinterWindow window {printer, messages};

    template <typename T> T *get(const char *name)
    {
        return window.findChild<T *>(QLatin1String(name));
    }
    // The journal as shown: call, port, byte count, result, commands, hex.
    QStringList rows()
    {
        const QAbstractItemModel *m = get<QTableView>("journal")->model();
        QStringList out;
        for (int row = 0; row < m->rowCount(); ++row) {
            QStringList cells;
            for (const int column : {JournalModel::Call, JournalModel::Port, JournalModel::Count,
                     JournalModel::Result, JournalModel::Commands, JournalModel::Hex})
                cells << m->data(m->index(row, column)).toString();
            out << cells.join(QStringLiteral(" | "));
        }
        return out;
    }
};

} // namespace

class TstVirtualPrinter : public QObject
{
    Q_OBJECT
private slots:
    void followsOperatorAndCommands_data()
    {
        // "status <hex>" set by the program, "check <box>" by the operator, "insert" the button.
        // results: of each TX and TXI, as returned and journaled
        // status: read at the end
        // steps, results, status, monitoring
        columns<QStringList, QList<int>, int, bool>();
        const auto row = [](const char *name, const QStringList &steps, const QList<int> &results,
                             int status, bool monitoring) {
            QTest::newRow(name) << steps << results << status << monitoring;
        };
        // normal
        row("idle: on line, paper in, not busy", {"TX 41", "TXI 41"}, {0, 0}, 0xD8, false);
        row("Falhar comandos", {"check falharComandos", "TX 41", "TXI 41"}, {-1, -1}, 0xD8, false);
        row("paper end", {"check bit5", "TX 41", "TXI 41"}, {-1, -1}, 0xF8, false);
        row("monitored start clears bit 4", {"TXI 1b7e31"}, {0}, 0xC8, true);
        row("document inserted", {"TXI 1b7e31", "insert"}, {0}, 0xD8, true);
        row("end without document restores", {"TXI 1b7e31", "TXI 1b7e30"}, {0, 0}, 0xD8, false);
        row("stays off line", {"status c8", "TX 1b7e31", "insert", "TX 1b7e30"}, {0, 0}, 0xC8,
            false);
        row("last command of a call counts", {"TX 1b7e30411b7e31"}, {0}, 0xC8, true);
        // bad input
        row("insert outside the mode", {"status c8", "insert"}, {}, 0xC8, false);
        row("end without start", {"status c8", "TXI 1b7e30"}, {0}, 0xC8, false);
        row("other command", {"TXI 1b7e32"}, {0}, 0xD8, false);
    }

    void followsOperatorAndCommands()
    {
        auto [steps, results, status, monitoring] = fetch<QStringList, QList<int>, int, bool>();
        Bench b;
        auto *insert = b.get<QPushButton>("inserirDocumento");
        QList<int> returned;
        for (const QString &step : steps) {
            const QString verb = step.section(QLatin1Char(' '), 0, 0);
            const QString argument = step.section(QLatin1Char(' '), 1);
            const QByteArray bytes = QByteArray::fromHex(argument.toLatin1());
            if (verb == QLatin1String("status"))
                b.printer.setStatus(uint8_t(argument.toInt(nullptr, 16)));
            else if (verb == QLatin1String("check"))
                b.get<QCheckBox>(qPrintable(argument))->setChecked(true);
            else if (verb == QLatin1String("insert"))
                QTest::mouseClick(insert, Qt::LeftButton);
            else
                returned << (verb == QLatin1String("TXI") ? b.printer.TXI(888, bytes).value
                                                          : b.printer.TX(888, bytes).value);
        }
        QList<int> journaled;
        for (const JournalEntry &e : b.printer.journal())
            journaled << e.result;
        QCOMPARE(returned, results);
        QCOMPARE(journaled, results);
        QCOMPARE(int(b.printer.Estado(888).value), status); // read even when commands fail
        QCOMPARE(b.get<QCheckBox>("bit4")->isChecked(), bool(status & 0x10));
        QCOMPARE(b.printer.monitoring(), monitoring);
        QCOMPARE(insert->isEnabled(), monitoring);
    }

    void journalShownSavedAndOpenedAgain()
    {
        Bench b;
        VirtualPrinter &p = b.printer;
        p.TXI(888, QByteArray::fromHex("1b7e31"));
        for (int i = 0; i < 3; ++i)
            (void)p.Estado(888);
        (void)p.Estado(632);
        p.insertDocument();
        (void)p.Estado(632);
        p.TXI(888, QByteArray::fromHex("1b7e30"));
        (void)p.TX(2, QByteArray::fromHex("1b2e3539303446"));
        (void)p.TX(1, QByteArray::fromHex("25321b401b4b0300fe"));
        p.Sleep(1);
        const QStringList rows {
            "TXI | LPT1 | 3 | 0 | ESC ~1 início da autenticação monitorada | 1B 7E 31",
            "Estado ×3 | LPT1 |  | 200 |  | ", "Estado | LPT2 |  | 200 |  | ",
            "Estado | LPT2 |  | 216 |  | ",
            "TXI | LPT1 | 3 | 0 | ESC ~0 fim da autenticação monitorada | 1B 7E 30",
            "TX | COM2 | 7 | 0 | 04 Valor «F» (incompleto) | 1B 2E 35 39 30 34 46",
            "TX | COM1 | 9 | 0 | texto «%2» (2 bytes) · desconhecido 1B 40 · ESC K imagem de 1 "
            "colunas "
            "de 3 anunciadas (incompleto) | 25 32 1B 40 1B 4B 03 00 FE",
            "Sleep |  |  | 1 |  | "};
        QCOMPARE(b.rows(), rows);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("diario.txt"));
        QCOMPARE(b.window.saveJournalTo(path), QString());

        // Cleared and filled again: nothing decoded from the old journal is left over.
        QTest::mouseClick(b.get<QPushButton>("limpar"), Qt::LeftButton);
        QCOMPARE(b.window.paperView()->jobCount(), 0);
        (void)p.TX(888, QByteArray::fromHex("1b6f"));
        QCOMPARE(b.rows(), QStringList {"TX | LPT1 | 2 | 0 | ESC o abrir gaveta | 1B 6F"});

        QCOMPARE(b.window.openJournalFrom(path), QString());
        QCOMPARE(b.rows(), rows);
        QCOMPARE(b.window.paperView()->jobCount(), 2); // the monitored authentication and "%2"

        // What cannot be read or written leaves the journal as it is.
        writeFile(QDir(dir.path()), QStringLiteral("outro.txt"), "lista de compras\n");
        const QString other = dir.filePath(QStringLiteral("outro.txt"));
        QCOMPARE(b.window.openJournalFrom(other),
            QStringLiteral("%1 não é um diário: linha 1: faltam colunas").arg(other));
        QVERIFY(b.window.saveJournalTo(dir.filePath(QStringLiteral("no/such/dir/x.txt")))
                    .startsWith(QStringLiteral("Não foi possível gravar o diário em")));
        QCOMPARE(b.rows(), rows);
    }

    void paperViewShowsAndSaves()
    {
        Bench b;
        PaperView *paper = b.window.paperView();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cheque.png"));
        QVERIFY(!paper->saveImageTo(path).isEmpty()); // nothing printed yet

        for (const QByteArray &bytes : sampleFront() + QList<QByteArray> {"\x1bo", "ABC\n"})
            (void)b.printer.TX(888, bytes);
        QCOMPARE(paper->jobCount(), 2); // the drawer prints nothing
        QVERIFY(paper->currentImage().width() < kCheckWidth); // the newest, the text, is shown
        b.window.resize(1400, 700);
        paper->selectJob(0);
        QCOMPARE(paper->currentImage().width(), kCheckWidth);
        QCOMPARE(paper->saveImageTo(path), QString());
        QCOMPARE(QImage(path, "png").size(), paper->currentImage().size());
        QVERIFY(paper->saveImageTo(dir.filePath(QStringLiteral("no/such/dir/x.png")))
                    .contains(QStringLiteral("no/such/dir/x.png")));
        grabToPng(&b.window, QStringLiteral("ImpressoraVirtual"));
    }

    void pictures_data()
    {
        // calls, notes (said under the heading)
        columns<QVector<QByteArray>, QStringList>();
        const auto row
            = [](const char *name, const QVector<QByteArray> &calls,
                  const QStringList &notes = {}) { QTest::newRow(name) << calls << notes; };
        const QByteArray line = " BBB 123 27012030 R$2.345,98";
        // normal
        row("cheque_frente", sampleFront());
        row("cheque_so_observacoes",
            {"\x1b.5905Obs. um}", "\x1b.5906Obs. dois}", "\x1b.5910000N08080607071005}"});
        row("cheque_verso",
            {"\x1b.5915}",
                "\n\r  Endossado a Fulano de Tal\r\n  CPF 123.456.789-00\r\n  S\xe3o Paulo",
                "\x1b.5916}"});
        row("autenticacao_simples", {"\x1bV" + kLogo + line});
        row("autenticacao_dupla", {"\x1bX" + kLogo + line});
        row("autenticacao_monitorada", {"\x1b~1", line, "\x1b~0"},
            {"linha enviada às 10:00:01.000, 1000 ms após ESC ~1"});
        row("texto_regua",
            {QByteArray("Linha    1         2         3         4\r\n").repeated(20)});
        // limits
        row("cheque_linhas_alem_da_borda",
            front("000000234598", "191207", "\x1b.5909000N20202020202020}"),
            {"linhas além da borda do cheque (140 mm)"});
        row("cheque_verso_longo", {"\x1b.5915}", QByteArray(20, '\n'), "\x1b.5916}"},
            {"4 linhas não couberam no verso"});
        // bad input
        row("cheque_frente_formato_curto",
            front("000123456789", "050308", "\x1b.5909000N88677105}"),
            {"formato «88677105» não tem 14 algarismos: usado o padrão 08080607071005"});
        row("cheque_valor_e_data_ilegiveis", front("2.345,98", "310207"),
            {"valor «2.345,98» não é de 12 algarismos", "data «310207» não é DDMMAA"});
        row("autenticacao_monitorada_sem_linha", {"\x1b~1", "\x1b~0"},
            {"nenhuma linha enviada entre ESC ~1 e ESC ~0"});
    }

    // Each picture goes to the screenshots folder, to be looked at.
    void pictures()
    {
        auto [calls, notes] = fetch<QVector<QByteArray>, QStringList>();
        const QVector<PaperJob> jobs = print(calls);
        QCOMPARE(jobs.size(), 1);
        QStringList said = paper_renderer::notes(jobs.first());
        if (const QString details = paper_renderer::details(jobs.first()); !details.isEmpty())
            said.prepend(details);
        QCOMPARE(said, notes);
        const QImage image = paper_renderer::render(jobs.first());
        QVERIFY(!image.isNull());
        const QString dir
            = qEnvironmentVariable("VOREL_TEST_OUTPUT", QStringLiteral("screenshots"));
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(image.save(dir + QStringLiteral("/impresso_%1.png").arg(QTest::currentDataTag())));
    }

    void logoTopDotIsBitSeven()
    {
        // The first dark row below the heading, or -1.
        const auto firstDot = [](const char *column) {
            PaperJob job;
            job.image = QByteArray::fromHex(column);
            const QImage image = paper_renderer::render(job);
            for (int y = 16 * 8; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 64)
                        return y;
            return -1;
        };
        const int top = firstDot("80");
        QVERIFY(top > 0);
        // Seven dot pitches of 0.7 mm apart, at 8 pixels a mm.
        QVERIFY2(qAbs(firstDot("01") - top - 7 * 0.7 * 8) < 2, qPrintable(QString::number(top)));
        QCOMPARE(firstDot("00"), -1);
    }

    // Any bytes decode and draw, in bounded time and size: every cut of the valid commands and
    // huge calls here; random and mutated ones in the fuzzing run (fuzz/).
    void badInputDecodesAndDraws()
    {
        // A warning means some input was taken for something else, e.g. "%2" for a placeholder.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        const QVector<QByteArray> valid = {"\x1b.5901Fulano}", "\x1b.5904000000234598}",
            "\x1b.5903191207}", kPrintDefault, "\x1b.5910000N08080}", "\x1b.5915}", "\x1b.5916}",
            "\x1bV" + kLogo + "AB", "\x1b~1", "\x1b~0", "\x1bo", "Linha 1  1         2\r\n"};
        QVector<QByteArray> calls = {QByteArray(1 << 20, '\n'), QByteArray(1 << 20, 'A'),
            QByteArray("\x1bK\xff\xff", 4) + QByteArray(65535, '\xff'),
            QByteArray("\x1bV\x1bK\x02\x00\xff\xff", 8) + QByteArray(100000, 'x'),
            "\x1b.5901" + QByteArray(100000, 'y') + "}\x1b.5909000N}",
            "\x1b.5915}" + QByteArray(200000, 'z') + "\x1b.5916}", QByteArray(10000, '\x1b')};
        for (const QByteArray &v : valid) {
            for (qsizetype cut = 0; cut <= v.size(); ++cut)
                calls << v.left(cut);
        }
        QElapsedTimer timer;
        timer.start();
        JobCollector collector;
        int pictures = 0;
        for (int i = 0; i < calls.size(); ++i) {
            const QByteArray context = "call " + QByteArray::number(i);
            qsizetype next = 0; // every byte in exactly one command, in order
            const QVector<command_decoder::Command> commands = command_decoder::decode(calls.at(i));
            (void)command_decoder::summary(commands);
            for (const command_decoder::Command &c : commands) {
                QVERIFY2(c.offset == next && c.length > 0, context);
                next += c.length;
            }
            QVERIFY2(next == calls.at(i).size(), context);
            const JournalEntry entry {QDateTime::currentDateTime(), JournalEntry::Call::TX, 888,
                calls.at(i), i % 10 == 0 ? -1 : 0};
            for (const PaperJob &job : collector.add(i, entry)) {
                const QImage image = paper_renderer::render(job, 2);
                // No picture is taller than a hundred lines of text on the slip.
                QVERIFY2(!image.isNull() && image.height() < 2 * 600 && image.width() < 2 * 200,
                    context);
                ++pictures;
            }
        }
        QVERIFY(pictures > 50);
        QVERIFY(timer.elapsed() < 60000);
    }
};

QTEST_MAIN(TstVirtualPrinter)
#include "tst_virtual_printer.moc"
