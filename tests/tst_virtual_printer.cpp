#include "core/append_map.h"
#include "tests/support/recording_link.h"
#include "tests/support/test_services.h"
#include "virtual_printer/amount_words.h"
#include "virtual_printer/check_front.h"
#include "virtual_printer/command_decoder.h"
#include "virtual_printer/hex_dump.h"
#include "virtual_printer/job_collector.h"
#include "virtual_printer/journal_format.h"
#include "virtual_printer/journal_model.h"
#include "virtual_printer/journal_recorder.h"
#include "virtual_printer/journal_replay.h"
#include "virtual_printer/paper_renderer.h"
#include "virtual_printer/paper_view.h"
#include "virtual_printer/png_file.h"
#include "virtual_printer/print_grid.h"
#include "virtual_printer/printed_folder.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <optional>

using command_decoder::Command;
using Call = JournalEntry::Call;

namespace {

const QByteArray kLogo = QByteArray::fromHex(kLogoHex);
const int kCheckWidth = (175 + 8) * 8; // pixels: the check and 4 mm of desk either side, 8 a mm

// The window on a virtual printer of its own.
struct Bench
{
    RecordingMessages messages;
    ScriptedQuestion question;
    VirtualPrinter printer;
    VirtualPrinterWindow window {printer, messages, question};

    void send(const QList<QByteArray> &calls)
    {
        for (const QByteArray &bytes : calls)
            (void)printer.TX(888, bytes);
    }
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

const QDateTime kStart(QDate(2007, 12, 19), QTime(10, 0));

// ESC "K" and the 37 columns of the logo.
const QByteArray kLogoInHex = kLogoHex;
const QString kLogoColumns = QString::fromLatin1(kLogoInHex.mid(8));

// "check 05 '61'", "unknown '1b40' cut": kind, number, data in hex, and whether the bytes ran
// out first.
QString shape(const Command &c)
{
    static const char *const kKinds[] = {"check", "auth-simple", "auth-double", "image",
        "monitor-on", "monitor-off", "drawer", "text", "unknown"};
    QString out = QString::fromLatin1(kKinds[static_cast<int>(c.kind)]);
    if (c.kind == Command::Kind::Check)
        out += c.number < 0 ? QStringLiteral(" ??")
                            : QStringLiteral(" %1").arg(c.number, 2, 10, QLatin1Char('0'));
    if (!c.data.isEmpty() || c.kind == Command::Kind::Check)
        out += QStringLiteral(" '%1'").arg(QString::fromLatin1(c.data.toHex()));
    if (!c.complete)
        out += QStringLiteral(" cut");
    return out;
}

// "TXI 1b7e31, Sleep =1, Estado =200": call, bytes in hex, result; one entry a second from
// 10:00:00, on LPT1.
QVector<JournalEntry> journal(const QString &calls)
{
    QVector<JournalEntry> out;
    for (const QString &text : calls.split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
        const QString name = text.section(QLatin1Char(' '), 0, 0);
        Call call = Call::TX;
        for (const Call c : {Call::Estado, Call::TXI, Call::Sleep})
            call = callName(c) == name ? c : call;
        const QString rest = text.section(QLatin1Char(' '), 1);
        out.append({kStart.addSecs(out.size()), call, 888,
            QByteArray::fromHex(rest.section(QLatin1Char('='), 0, 0).toLatin1()),
            rest.section(QLatin1Char('='), 1).toInt()});
    }
    return out;
}

// "front 0-8 [José|...|09080607071005]", "authentication 0-0 '4142' 37 columns from 254 twice":
// kind, journal rows, what it prints (the check's fields, print arguments and layout).
QString shape(const PaperJob &j)
{
    static const char *const kKinds[]
        = {"front", "observations", "back", "authentication", "monitored", "text"};
    QString out = QStringLiteral("%1 %2-%3")
                      .arg(QString::fromLatin1(kKinds[static_cast<int>(j.kind)]),
                          QString::number(j.firstCall), QString::number(j.lastCall));
    if (!j.text.isEmpty())
        out += QStringLiteral(" '%1'").arg(QString::fromLatin1(j.text.toHex()));
    if (!j.image.isEmpty())
        out += QStringLiteral(" %1 columns from %2").arg(j.image.size()).arg(j.image.at(0) & 0xff);
    if (j.kind == PaperJob::Kind::CheckFront || j.kind == PaperJob::Kind::CheckObservations) {
        const CheckFields &f = j.check;
        const QByteArrayList fields {f.payee, f.city, f.date, f.value, f.observation1,
            f.observation2, f.singular, f.plural, j.printArguments, j.layout};
        out += QStringLiteral(" [%1]").arg(QString::fromLatin1(fields.join('|')));
    }
    return out + (j.twice ? QStringLiteral(" twice") : QString());
}

// Calls as journal() takes them, one TX each.
QString tx(const QList<QByteArray> &calls)
{
    QStringList out;
    for (const QByteArray &bytes : calls)
        out << QStringLiteral("TX ") + QString::fromLatin1(bytes.toHex());
    return out.join(QStringLiteral(", "));
}
const QString kFront = tx(sampleFront());

// Everything a journal entry holds, in one line.
QString entryText(const JournalEntry &e)
{
    return QStringLiteral("%1 %2 %3 %4 '%5' x%6")
        .arg(e.time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")), callName(e.call),
            QString::number(e.port), QString::number(e.result),
            QString::fromLatin1(e.bytes.toHex()), QString::number(e.repeats));
}

} // namespace

class TstVirtualPrinter : public QObject
{
    Q_OBJECT
private slots:
    void followsOperatorAndCommands_data()
    {
        // Columns: steps, results, status, monitoring.
        // "status <hex>" set by the program, "check <box>" by the operator, "insert" the button.
        // results: of each TX and TXI, as returned and journaled
        // status: read at the end
        columns<QStringList, QList<int>, int, bool>();
        const auto row = [](const char *name, const QStringList &steps, const QList<int> &results,
                             int status, bool monitoring) {
            QTest::newRow(name) << steps << results << status << monitoring;
        };
        // normal
        row("idle: on line, paper in, not busy", {"TX 41", "TXI 41"}, {0, 0}, 0xD8, false);
        row("Falhar comandos", {"check falharComandos", "TX 41", "TXI 41"}, {-1, -1}, 0xD8, false);
        row("paper end", {"check bit5", "TX 41", "TXI 41"}, {-1, -1}, 0xF8, false);
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
            "colunas de 3 anunciadas (incompleto) | 25 32 1B 40 1B 4B 03 00 FE",
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

        b.send(sampleFront() + QList<QByteArray> {"\x1bo", "ABC\n"});
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

        // A page the size of the check, its text as text rather than a picture of it.
        QCOMPARE(paper->exportPdfTo(dir.filePath(QStringLiteral("cheque.pdf"))), QString());
        const QByteArray pdf = readFile(QDir(dir.path()), QStringLiteral("cheque.pdf"));
        const QRegularExpressionMatch box
            = QRegularExpression(R"(/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])")
                  .match(QString::fromLatin1(pdf));
        QVERIFY(box.hasMatch());
        QCOMPARE(qRound(box.captured(1).toDouble() * 25.4 / 72), 175);
        QCOMPARE(qRound(box.captured(2).toDouble() * 25.4 / 72), 80);
        QVERIFY(pdf.contains("/BaseFont /Courier ") && pdf.contains("(2.345,98) Tj"));
        QVERIFY(!pdf.contains("/Subtype /Image"));

        // "Enviar à impressora...": the chosen job's calls only, or all of them.
        QSignalSpy sent(&b.window, &VirtualPrinterWindow::sendRequested);
        const QList<QAction *> send = b.get<QPushButton>("enviar")->menu()->actions();
        send.at(0)->trigger(); // the check: calls 1 to 9
        paper->selectJob(1);
        send.at(0)->trigger(); // the text, after the drawer's call
        send.at(1)->trigger();
        QCOMPARE(sent, (QList<QVariantList> {{0, 9}, {10, 1}, {0, 11}}));
    }

    void hexDump_data()
    {
        // Columns: bytes, first row, rows, dump.
        columns<QByteArray, int, int, QString>();
        const QString pad(3, QLatin1Char(' '));
        row("nothing", QByteArray(), 0, 10, QString());
        row("short row: padded, gap after eight", QByteArray("\x1b.5908REAIS}"), 0, 10,
            "00000000  1B 2E 35 39 30 38 52 45  41 49 53 7D " + pad.repeated(4) + " ..5908REAIS}");
        row("row of sixteen, then one", QByteArray("0123456789ABCDEF\xe9"), 0, 10,
            QStringLiteral("00000000  30 31 32 33 34 35 36 37  38 39 41 42 43 44 45 46  "
                           "0123456789ABCDEF\n00000010  E9 ")
                + pad.repeated(7) + " " + pad.repeated(8) + " é");
        row("cp1252 text; what does not print is a dot", QByteArray("\x80\xa0\xad\x81\x7f\x00", 6),
            0, 10,
            "00000000  80 A0 AD 81 7F 00 " + pad.repeated(2) + " " + pad.repeated(8) + " €.....");
        row("a page from the middle", QByteArray(48, 'z'), 1, 1,
            "00000010  " + QStringLiteral("7A ").repeated(8) + " "
                + QStringLiteral("7A ").repeated(8) + " " + QString(16, 'z'));
    }

    void hexDump()
    {
        auto [bytes, first, rows, dump] = fetch<QByteArray, int, int, QString>();
        QCOMPARE(hex_dump::rows(bytes, first, rows), dump);
    }

    // Calls never saved are dropped only when the operator says so; 'T' a line, 'E' a status read.
    void clearAsksForUnsavedCalls_data()
    {
        // Columns: calls before saving, calls after, answer, asked, rows left.
        columns<QByteArray, QByteArray, bool, bool, int>();
        row("all saved", QByteArray("TT"), QByteArray(), false, false, 0);
        row("never saved, Não", QByteArray(), QByteArray("TT"), false, true, 2);
        row("never saved, Sim", QByteArray(), QByteArray("TT"), true, true, 0);
        row("one after saving", QByteArray("TT"), QByteArray("T"), false, true, 3);
        row("saved row counted again", QByteArray("E"), QByteArray("E"), false, true, 1);
    }

    void clearAsksForUnsavedCalls()
    {
        auto [before, after, answer, asked, left]
            = fetch<QByteArray, QByteArray, bool, bool, int>();
        Bench b;
        const auto call = [&b](char c) {
            (void)(c == 'T' ? b.printer.TX(888, "ABC\r\n") : b.printer.Estado(888));
        };
        std::for_each(before.begin(), before.end(), call);
        QTemporaryDir dir;
        QCOMPARE(b.window.saveJournalTo(dir.filePath("diario.txt")), QString());
        std::for_each(after.begin(), after.end(), call);
        b.question.answer = answer;
        QTest::mouseClick(b.get<QPushButton>("limpar"), Qt::LeftButton);
        QCOMPARE(b.question.asked,
            asked ? QStringList {"O diário tem chamadas que não foram salvas. Descartá-las e "
                                 "limpar o diário?"}
                  : QStringList {});
        QCOMPARE(b.rows().size(), left);
    }

    // At its default size the check's printed text is readable and the journal needs no scrolling
    // sideways; the keys and the wheel zoom.
    void paperReadableAndZoomed_data()
    {
        // Columns: what the operator does, scale against the fitted one.
        columns<QString, double>();
        row("fitted", QString(), 1.0);
        row("Ctrl++", "+", 1.25);
        row("Ctrl+- twice", "--", 0.64);
        row("Ctrl+wheel up", "^", 1.25);
        row("Ctrl+0 after zooming", "++0", 1.0);
    }

    void paperReadableAndZoomed()
    {
        auto [keys, scale] = fetch<QString, double>();
        Bench b;
        b.send(sampleFront());
        b.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.window));
        PaperView *paper = b.window.paperView();
        const double fitted = paper->pixelsPerMm();
        QFont printed(QStringLiteral("DejaVu Sans Mono"));
        printed.setPixelSize(qRound(fitted * paper_renderer::kPrintedEmMm));
        QVERIFY2(QFontMetricsF(printed).capHeight() >= 10, qPrintable(QString::number(fitted)));
        QCOMPARE(b.get<QTableView>("journal")->horizontalScrollBar()->maximum(), 0);

        QWidget *viewport = paper->findChild<QScrollArea *>()->viewport();
        for (const QChar k : keys) {
            if (k == '^' || k == 'v') {
                const QPoint at = viewport->rect().center();
                QWheelEvent wheel(at, viewport->mapToGlobal(at), {}, {0, k == '^' ? 120 : -120},
                    Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(viewport, &wheel);
            } else {
                const Qt::Key key = k == '+' ? Qt::Key_Plus : k == '-' ? Qt::Key_Minus : Qt::Key_0;
                QTest::keyClick(&b.window, key, Qt::ControlModifier);
            }
        }
        QCOMPARE(paper->zoom() == PaperView::kFit, scale == 1.0);
        QVERIFY2(qAbs(paper->pixelsPerMm() / fitted - scale) < 0.02,
            qPrintable(QString::number(paper->pixelsPerMm() / fitted)));
        // As wide as beside the main window on a 1024×768 screen, every title whole.
        if (keys.isEmpty()) {
            b.window.resize(677, b.window.height());
            QHeaderView *header = b.get<QTableView>("journal")->horizontalHeader();
            QCoreApplication::processEvents();
            for (int column = 0; column < header->count(); ++column) {
                const QString title
                    = header->model()->headerData(column, Qt::Horizontal).toString();
                QVERIFY2(header->sectionSize(column)
                        >= header->fontMetrics().horizontalAdvance(title) + 8,
                    qPrintable(title));
            }
            QCOMPARE(b.get<QTableView>("journal")->horizontalScrollBar()->maximum(), 0);
        }
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
        const QVector<QByteArray> valid = sampleFront()
            + QList<QByteArray> {"\x1b.5910000N08080}", "\x1b.5915}", "\x1b.5916}",
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

    void decodes_data()
    {
        // Columns: bytes, commands.
        columns<QByteArray, QStringList>();
        const auto row = [](const char *name, const QByteArray &hex, const QStringList &commands) {
            QTest::newRow(name) << QByteArray::fromHex(hex) << commands;
        };
        const QString image = QStringLiteral("image '%1'");
        // normal
        row("drawer", "1b6f", {"drawer"});
        row("simple authentication", "1b56" + kLogoInHex + "4142",
            {"auth-simple", image.arg(kLogoColumns), "text '4142'"});
        row("double, empty line", "1b58" + kLogoInHex, {"auth-double", image.arg(kLogoColumns)});
        row("monitored begins and ends", "1b7e311b7e30", {"monitor-on", "monitor-off"});
        row("back in one call", "1b2e353931357d0a0d204142201b2e353931367d",
            {"check 15 ''", "text '0a0d20414220'", "check 16 ''"});
        QTest::newRow("column count takes both bytes")
            << QByteArray::fromHex("1b4b0101") + QByteArray(257, '\x81') + "Z"
            << QStringList {image.arg(QStringLiteral("81").repeated(257)), "text '5a'"};
        // limits: cut short
        row("empty call", "", {});
        row("no closing brace", "1b2e3539303146756c", {"check 01 '46756c' cut"});
        row("prefix only", "1b2e3539", {"check ?? '' cut"});
        row("lone ESC", "1b", {"unknown '1b' cut"});
        row("logo cut in its columns", "1b4b2500fe0082", {"image 'fe0082' cut"});
        row("logo cut in its count", "1b4b25", {"image cut"});
        // bad input: kept in hex
        row("unknown escape", "1b4041", {"unknown '1b40'", "text '41'"});
        row("other dot sequence", "1b2e3441", {"unknown '1b2e'", "text '3441'"});
        row("letters for the number", "1b2e35394142317d",
            {"unknown '1b2e3539'", "text '4142317d'"});
        row("monitor with another digit", "1b7e32", {"unknown '1b7e32'"});
        row("control bytes", "000141097f42",
            {"unknown '0001'", "text '41'", "unknown '097f'", "text '42'"});
    }

    void decodes()
    {
        auto [bytes, commands] = fetch<QByteArray, QStringList>();
        QStringList got;
        for (const Command &c : command_decoder::decode(bytes))
            got << shape(c);
        QCOMPARE(got, commands);
    }

    void amountInWords_data()
    {
        // Columns: cents, singular, plural, words.
        columns<qulonglong, QString, QString, QString>();
        const auto row = [](const char *name, qulonglong cents, const char *words,
                             const char *singular = "REAL", const char *plural = "REAIS") {
            QTest::newRow(name) << cents << QString::fromUtf8(singular) << QString::fromUtf8(plural)
                                << QString::fromUtf8(words);
        };
        // normal: one group
        row("one", 100, "um REAL");
        row("sixteen, Brazilian spelling", 1600, "dezesseis REAIS");
        row("hundred", 10000, "cem REAIS");
        // thousands: "e" before a last group below 100 or of whole hundreds only
        row("thousand without um", 100000, "mil REAIS");
        row("1.001", 100100, "mil e um REAIS");
        row("1.100", 110000, "mil e cem REAIS");
        row("1.101", 110100, "mil cento e um REAIS");
        row("the sample check", 234598,
            "dois mil trezentos e quarenta e cinco REAIS e noventa e oito centavos");
        row("2.050", 205000, "dois mil e cinquenta REAIS");
        row("12.300", 1230000, "doze mil e trezentos REAIS");
        row("101.000", 10100000, "cento e um mil REAIS");
        // millions and beyond: "de" after whole millions, no "e" before a group such as 250
        row("million takes de", 100000000, "um milhão de REAIS");
        row("millions take de", 200000000, "dois milhões de REAIS");
        row("1.000.001", 100000100, "um milhão e um REAIS");
        row("1.000.100", 100010000, "um milhão e cem REAIS");
        row("1.000.250", 100025000, "um milhão duzentos e cinquenta REAIS");
        row("1.200.000", 120000000, "um milhão e duzentos mil REAIS");
        row("1.250.000", 125000000, "um milhão duzentos e cinquenta mil REAIS");
        row("2.345.600", 234560000,
            "dois milhões trezentos e quarenta e cinco mil e seiscentos REAIS");
        row("million and a half", 150000000, "um milhão e quinhentos mil REAIS");
        row("2.345.678", 234567800,
            "dois milhões trezentos e quarenta e cinco mil seiscentos e setenta e oito REAIS");
        row("million with cents takes de", 100000050, "um milhão de REAIS e cinquenta centavos");
        row("billion and a million take de", 100100000000, "um bilhão e um milhão de REAIS");
        row("1.250.000.000", 125000000000, "um bilhão duzentos e cinquenta milhões de REAIS");
        row("trillion", 100000000000000ULL, "um trilhão de REAIS");
        row("other names, million", 300000000, "três milhões de DÓLARES", "DÓLAR", "DÓLARES");
        // limits
        row("zero", 0, "zero REAIS");
        row("one cent", 1, "um centavo");
        row("two cents, masculine", 2, "dois centavos");
        const char *largest
            = "novecentos e noventa e nove trilhões novecentos e noventa e nove "
              "bilhões novecentos e noventa e nove milhões novecentos e noventa e "
              "nove mil novecentos e noventa e nove REAIS e noventa e nove centavos";
        row("largest", 99999999999999999ULL, largest);
        row("beyond the largest stays the largest", 100000000000000000ULL, largest);
        row("no names received", 234500, "dois mil trezentos e quarenta e cinco", "", "");
        row("no names, million, no dangling de", 100000000, "um milhão", "", "");
        row("no names, cents", 105, "um e cinco centavos", "", "");
    }

    void amountInWords()
    {
        auto [cents, singular, plural, words] = fetch<qulonglong, QString, QString, QString>();
        QCOMPARE(amount_words::inWords(cents, singular, plural), words);
    }

    void frontFields_data()
    {
        // Columns: of 40 and 60 characters, the place and date.
        // data: layout, value, date, city; shown: the heights of the seven lines in mm ("default"
        // when the layout was not used), the value in its box, the amount in words over two lines
        columns<QByteArrayList, QStringList>();
        const auto row = [](const char *name, const QByteArrayList &data,
                             const QStringList &shown) { QTest::newRow(name) << data << shown; };
        const QString standard = QStringLiteral("8 16 22 29 36 46 51");
        // normal
        row("sample, default layout", {"08080607071005", "000000234598", "191207", "São Paulo"},
            {standard, "2.345,98", "dois mil trezentos e quarenta e cinco",
                "REAIS e noventa e oito centavos", "São Paulo, 19 de dezembro de 2007"});
        row("custom layout, cents, 2000", {"10090706050403", "000000000005", "050300", "Recife"},
            {"10 19 26 32 37 41 44", "0,05", "cinco centavos", "", "Recife, 5 de março de 2000"});
        row("fewer digits, leap day", {"08080607071005", "1500", "290208", "Natal"},
            {standard, "15,00", "quinze REAIS", "", "Natal, 29 de fevereiro de 2008"});
        // limits
        row("past the edge kept, largest, no city",
            {"99999999999999", "999999999999", "010108", ""},
            {"99 198 297 396 495 594 693", "9.999.999.999,99",
                "nove bilhões novecentos e noventa e nove",
                "milhões novecentos e noventa e nove mil novecentos e noventa e nove REAIS e "
                "noventa e nove centavos (não cabe)",
                "1 de janeiro de 2008"});
        // bad input: the default layout, no value, the date as sent
        row("short layout, 13 digits, no such day",
            {"88677105", "1234567890123", "290207", "Natal"},
            {standard + " default", "", "", "", "Natal, 290207"});
        row("a letter in the layout, the rest empty", {"0808060707100A", "", "", "Natal"},
            {standard + " default", "", "", "", "Natal, "});
    }

    void frontFields()
    {
        auto [data, shown] = fetch<QByteArrayList, QStringList>();
        const check_front::Heights h = check_front::heights(data.at(0));
        QStringList got;
        for (const int line : h.mm)
            got << QString::number(line);
        got = QStringList {got.join(' ') + (h.defaulted ? " default" : "")};
        const std::optional<uint64_t> cents = check_front::cents(data.at(1));
        const check_front::AmountLines words = check_front::splitAmount(cents
                ? amount_words::inWords(*cents, QStringLiteral("REAL"), QStringLiteral("REAIS"))
                : "",
            [](const QString &text, int line) { return text.size() <= (line == 0 ? 40 : 60); });
        got << (cents ? check_front::valueText(*cents) : QString()) << words.first
            << words.second + (words.fits ? "" : " (não cabe)")
            << check_front::placeAndDate(QString::fromUtf8(data.at(3)), data.at(2));
        QCOMPARE(got, shown);
    }

    void laysText_data()
    {
        // Columns: text, columns, maxRows, rows, total.
        columns<QByteArray, int, int, QStringList, int>();
        const auto row = [](const char *name, const char *hex, int columns, int maxRows,
                             const QStringList &rows, int total) {
            QTest::newRow(name) << QByteArray::fromHex(hex) << columns << maxRows << rows << total;
        };
        row("CR LF, lone LF at the margin", "41420d0a43440a45", 10, 5, {"AB", "CD", "E"}, 3);
        row("indented back", "0a0d202041420d0a20204344", 10, 5, {"", "  AB", "  CD"}, 3);
        row("lone CR overwrites", "414243440d7879", 10, 5, {"xyCD"}, 1);
        row("wraps at the last column", "41424344454647", 3, 5, {"ABC", "DEF", "G"}, 3);
        row("rows beyond the limit counted", "410a420a430a44", 5, 2, {"A", "B"}, 4);
        row("cp1252, controls take no place", "53e36f80000941", 10, 1, {"São€A"}, 1);
    }

    void laysText()
    {
        auto [text, columns, maxRows, rows, total]
            = fetch<QByteArray, int, int, QStringList, int>();
        const print_grid::Grid g = print_grid::lay(text, columns, maxRows);
        QCOMPARE(g.rows, rows);
        QCOMPARE(g.totalRows, total);
    }

    void groupsJobs_data()
    {
        // Columns: calls, jobs.
        columns<QString, QStringList>();
        const auto row = [](const char *name, const QString &calls, const QStringList &jobs) {
            QTest::newRow(name) << calls << jobs;
        };
        const QString backBegin = "TX 1b2e353931357d, ", backEnd = ", TX 1b2e353931367d";
        const QString fields
            = QStringLiteral("José|São Paulo|191207|000000234598|Obs 1|Obs 2|REAL|REAIS|");
        // normal
        row("front", kFront, {"front 0-8 [" + fields + "000N|09080607071005]"});
        row("observations only",
            tx(sampleFront().mid(4, 2)) + ", TX 1b2e353931303030304e30383038303630373037313030357d",
            {"observations 0-2 [||||Obs 1|Obs 2|||000N|08080607071005]"});
        row("simple authentication", "TX 1b56" + kLogoInHex + "4142",
            {"authentication 0-0 '4142' 37 columns from 254"});
        row("double authentication, empty line", "TX 1b58" + kLogoInHex,
            {"authentication 0-0 37 columns from 254 twice"});
        row("monitored, status read while waiting",
            "TXI 1b7e31, Sleep =1, Estado =200, Estado =216, TXI 204242, TXI 1b7e30",
            {"monitored 0-5 '204242' / linha enviada às 10:00:04.000, 4000 ms após ESC ~1"});
        row("indented back, then a test line",
            backBegin + "TX 0a0d202041420d0a20204344" + backEnd + ", TX 41420a",
            {"back 0-2 '0a0d202041420d0a20204344'", "text 3-3 '41420a'"});
        row("second front keeps the fields, other arguments",
            kFront + ", TX 1b2e353930393030315331307d",
            {"front 0-8 [" + fields + "000N|09080607071005]",
                "front 9-9 [" + fields
                    + "001S|10] / formato «10» não tem 14 algarismos: usado o padrão "
                      "08080607071005 / esperado 000N antes do formato, veio «001S»"});
        // what the printer had to make up or leave out, said under the heading
        row("front past the edge",
            tx(sampleFront(9, "1b2e353930393030304e32303230323032303230323032307d")),
            {"front 0-8 [" + fields
                + "000N|20202020202020] / linhas além da borda do cheque (140 mm)"});
        QList<QByteArray> unreadable = sampleFront(3, "1b2e35393033 333130323037 7d");
        unreadable[3] = QByteArray::fromHex("1b2e35393034 322e3334352c3938 7d");
        row("front with a value and a date unread", tx(unreadable),
            {"front 0-8 [José|São Paulo|310207|2.345,98|Obs 1|Obs 2|REAL|REAIS|000N|09080607071005]"
             " / valor «2.345,98» não é de 12 algarismos / data «310207» não é DDMMAA"});
        row("back too long", backBegin + "TX " + QString("0a").repeated(20) + backEnd,
            {"back 0-2 '" + QString("0a").repeated(20) + "' / 4 linhas não couberam no verso"});
        row("monitored without a line", "TXI 1b7e31, TXI 1b7e30",
            {"monitored 0-1 / nenhuma linha enviada entre ESC ~1 e ESC ~0"});
        // nothing on paper
        row("drawer, empty text, unknown bytes, print cut short, back end alone",
            "TX 1b6f, TX, TX 1b40, TX 1b2e353930393030304e3038" + backEnd, {});
        row("refused print and text", tx(sampleFront().mid(8)) + " =-1, TX 41 =-1", {});
        row("back never ended", backBegin + "TX 4142", {});
    }

    // Each job drawn goes to the screenshots folder, to be looked at.
    void groupsJobs()
    {
        auto [calls, jobs] = fetch<QString, QStringList>();
        const QString dir
            = qEnvironmentVariable("VOREL_TEST_OUTPUT", QStringLiteral("screenshots"));
        QVERIFY(QDir().mkpath(dir));
        QStringList got;
        for (const PaperJob &j : collectJobs(journal(calls))) {
            QStringList said
                = QStringList {shape(j), paper_renderer::details(j)} + paper_renderer::notes(j);
            said.removeAll(QString());
            got << said.join(QStringLiteral(" / "));
            const QString name = QStringLiteral("%1/impresso %2 %3.png")
                                     .arg(dir, QTest::currentDataTag())
                                     .arg(got.size());
            QVERIFY(paper_renderer::render(j).save(name));
        }
        QCOMPARE(got, jobs);
    }

    void journalFile_data()
    {
        // Columns: file, entries, error.
        columns<QByteArray, QStringList, QString>();
        const QStringList goldenEntries {"2007-12-19T10:00:00.000 Estado 888 216 '' x1",
            "2007-12-19T10:00:00.125 TX 888 0 '1b2e353930317d' x1",
            "2007-12-19T10:00:01.000 TXI 632 -1 '1b7e31' x1",
            "2007-12-19T10:00:01.001 Sleep 0 1 '' x1",
            "2007-12-19T10:00:02.500 TX 2 0 '0009e30a' x1", "2007-12-19T23:59:59.999 TX 5 0 '' x1"};
        // Files saved before the header came still open.
        for (const char *name : {"diario.txt", "diario_v1.txt"}) {
            QFile golden(QStringLiteral(TEST_DATA "/") + QLatin1String(name));
            QVERIFY(golden.open(QIODevice::ReadOnly));
            QTest::newRow(name) << golden.readAll() << goldenEntries << QString();
        }
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        const QDateTime t(QDate(2024, 2, 29), QTime(0, 0, 0, 1));
        const QVector<JournalEntry> entries = {{t, Call::TX, 888, all, 0},
            {t.addMSecs(1), Call::TXI, -32768, QByteArray(3, '\0'), -1},
            {t.addMSecs(2), Call::Estado, 32767, {}, INT32_MIN, INT32_MAX},
            {t.addDays(1), Call::Sleep, 0, {}, 1},
            {t.addMSecs(3), Call::TX, 1, QByteArray("a\tb\r\nc"), 0}};
        QStringList texts;
        for (const JournalEntry &e : entries)
            texts << entryText(e);
        const QByteArray written = journal_format::text(entries).toUtf8();
        QTest::newRow("written here, every byte, repeats") << written << texts << QString();
        QTest::newRow("CR LF and blank lines")
            << QByteArray(written).replace("\n", "\r\n\r\n") << texts << QString();
        // What a recording that did not end leaves after its last line.
        QTest::newRow("room a recording had taken")
            << written + QByteArray(300 << 10, '\0') << texts << QString();
        // bad input
        const QByteArray stamp = "2007-12-19T10:00:00.000\t";
        const auto bad = [](const char *name, const QByteArray &file, const char *error) {
            QTest::newRow(name) << file << QStringList() << QString::fromUtf8(error);
        };
        bad("too few columns", stamp + "TX\tLPT1\t1\t0\t41\tA\n" + stamp + "TX\tLPT1\n",
            "linha 2: faltam colunas");
        bad("unknown call", stamp + "RX\tLPT1\t1\t0\t41\t\n", "linha 1: chamada desconhecida");
        bad("port out of range", stamp + "TX\t32768\t1\t0\t41\t\n", "linha 1: porta inválida");
        bad("result out of range", stamp + "TX\tLPT1\t1\t-2147483649\t41\t\n",
            "linha 1: resultado inválido");
        bad("no such day", "2023-02-29T10:00:00.000\tTX\tLPT1\t1\t0\t41\t\n",
            "linha 1: hora inválida");
        bad("repeats out of range", stamp + "Estado\tLPT1\t\t216\t\t\t2147483648\n",
            "linha 1: repetições inválidas");
        bad("no repeats", stamp + "Estado\tLPT1\t\t216\t\t\t0\n", "linha 1: repetições inválidas");
        bad("count of 2^64", stamp + "TX\tLPT1\t18446744073709551617\t0\t41\t\n",
            "linha 1: contagem de bytes não confere");
        bad("odd hex", stamp + "TX\tLPT1\t1\t0\t4\t\n", "linha 1: bytes inválidos");
        bad("count disagrees", stamp + "TX\tLPT1\t2\t0\t41\t\n",
            "linha 1: contagem de bytes não confere");
        const QByteArray header = "# vorel-demo diário da impressora, versão ";
        bad("newer version", "\n" + header + "3\n" + stamp + "Sleep\t\t\t1\t\t\n",
            "linha 2: diário da versão 3; este programa lê até a versão 2");
        bad("no version", header + "\n", "linha 1: cabeçalho desconhecido");
        bad("a megabyte of header", header + QByteArray(1 << 20, '9'),
            "linha 1: cabeçalho desconhecido");
        bad("header twice", header + "2\n" + header + "2\n", "linha 2: faltam colunas");
        bad("bytes after the zeros", stamp + "Sleep\t\t\t1\t\t\n" + QByteArray(9, '\0') + "x",
            "linha 2: bytes nulos");
    }

    // Read back whole; what was read is written again byte for byte (with LF line ends, under
    // the header).
    void journalFile()
    {
        auto [file, entries, error] = fetch<QByteArray, QStringList, QString>();
        const journal_format::Parsed p = journal_format::parse(file);
        QCOMPARE(p.error, error);
        if (!error.isEmpty())
            return;
        QStringList read;
        for (const JournalEntry &e : p.entries) {
            read << entryText(e);
            // The moment the local time written stands for (the test runs in a zone with
            // summer time).
            QCOMPARE(e.time, QDateTime(e.time.date(), e.time.time()));
        }
        QCOMPARE(read, entries);
        QByteArray written = QByteArray(file).replace("\r\n\r\n", "\n");
        while (written.endsWith('\0'))
            written.chop(1);
        if (!written.startsWith('#'))
            written.prepend("# vorel-demo diário da impressora, versão 2\n");
        QCOMPARE(journal_format::text(p.entries).toUtf8(), written);
    }

    void replay_data()
    {
        // Columns: journal, statuses, TX results, TXI error, waits allowed, link trace, summary.
        columns<QString, QList<int16_t>, QList<int16_t>, QString, int, QString, QString>();
        const auto row = [](const char *name, const char *calls, const QList<int16_t> &statuses,
                             const QList<int16_t> &txResults, const char *txiError, int waits,
                             const QString &trace, const char *summary) {
            QTest::newRow(name) << QString(calls) << statuses << txResults << QString(txiError)
                                << waits << trace << QString::fromUtf8(summary);
        };
        const char *monitored = "TXI 1b7e31, Sleep, Estado =16, TXI 4c, TXI 1b7e30";
        const QString waited = "TXI 888 1b7e31, Sleep 1, Estado 888, Estado 888, Estado 888, ";
        row("in order, reads and pauses left out", "Estado, TX 41, Sleep, TXI 42, TX", {}, {}, "",
            9, "TX 888 41, TXI 888 42, TX 888", "3 chamadas enviadas.");
        row("the monitored line waits for bit 4", monitored, {0, 0x08, 0x18}, {}, "", 9,
            waited + "TXI 888 4c, TXI 888 1b7e30", "3 chamadas enviadas.");
        row("a refused call stops the rest", "TX 41, TX 42, TX 43", {}, {0, -1}, "", 9,
            "TX 888 41, TX 888 42", "Parou na chamada 2: a impressora recusou o comando.");
        row("a TXI that cannot be made stops", monitored, {}, {}, "porta fechada", 9,
            "TXI 888 1b7e31", "Parou na chamada 1: porta fechada");
        // The printer does not stay in the monitored mode.
        row("a wait given up ends the mode", monitored, {0}, {}, "", 2, waited + "TXI 888 1b7e30",
            "Parou na chamada 4: cancelado");
        row("a refused line ends the mode", "TXI 1b7e31, TX 4c, TXI 1b7e30", {0x10}, {-2}, "", 9,
            "TXI 888 1b7e31, Sleep 1, Estado 888, TX 888 4c, TXI 888 1b7e30",
            "Parou na chamada 2: a impressora recusou o comando.");
    }

    void replay()
    {
        auto [calls, statuses, txResults, txiError, waits, trace, summary]
            = fetch<QString, QList<int16_t>, QList<int16_t>, QString, int, QString, QString>();
        RecordingLink link;
        link.statuses = statuses;
        link.txResults = txResults;
        link.txiError = txiError;
        struct : monitored_mode::Waiter
        {
            int left = 0;
            bool keepWaiting() override { return left-- > 0; }
        } waiter;
        waiter.left = waits;
        const journal_replay::Result result = journal_replay::replay(link, journal(calls), waiter);
        QCOMPARE(link.trace(), trace);
        QCOMPARE(journal_replay::summary(result, QStringLiteral("cancelado")), summary);
    }

    // Calls are on disk as they return, added after what the file held; a file that is not a
    // journal is left alone.
    void recordsToFile_data()
    {
        // Columns: file before, entries after (-1: refused), reason refused.
        columns<QByteArray, int, QString>();
        const QByteArray header = "# vorel-demo diário da impressora, versão 2\n";
        const QByteArray sleep = "2007-12-19T10:00:00.000\tSleep\t\t\t1\t\t\n";
        row("new file", kMissing, 4, QString());
        row("adds to a journal", header + sleep, 5, QString());
        row("adds to a journal without a header", sleep, 5, QString());
        row("a line torn by a power cut is cut off", header + sleep + "2007-12-19T10:0", 5,
            QString());
        row("room taken by a recording that did not end", header + sleep + QByteArray(70000, '\0'),
            5, QString());
        row("a torn line in that room", header + sleep + "2007-12-19T10:0" + QByteArray(99, '\0'),
            5, QString());
        row("not a journal", QByteArray("lista de compras\n"), -1,
            "o arquivo não é um diário (linha 1: faltam colunas)");
        row("a newer journal", QByteArray("# vorel-demo diário da impressora, versão 3\n"), -1,
            "linha 1: diário da versão 3; este programa lê até a versão 2");
    }

    void recordsToFile()
    {
        auto [before, entries, refused] = fetch<QByteArray, int, QString>();
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("diario.txt"));
        writeFile(QDir(dir.path()), QStringLiteral("diario.txt"), before);
        RecordingLink inner;
        inner.statuses = {0xD8};
        // Three hours west of UTC, as the journal's times must show, not UTC.
        const std::optional<QByteArray> zone
            = qEnvironmentVariableIsSet("TZ") ? std::optional(qgetenv("TZ")) : std::nullopt;
        qputenv("TZ", "BRT3");
        const auto restoreZone
            = qScopeGuard([&zone] { zone ? (void)qputenv("TZ", *zone) : (void)qunsetenv("TZ"); });
        JournalRecorder recorder(inner);
        const QString error = recorder.start(path);
        QVERIFY2(refused.isEmpty() == error.isEmpty(), qPrintable(error));
        QVERIFY(error.contains(refused));
        (void)recorder.TX(888, "A");
        if (entries < 0) {
            QCOMPARE(readFile(QDir(dir.path()), QStringLiteral("diario.txt")), before);
            QCOMPARE(inner.calls.size(), 1); // the printer still gets its calls
            return;
        }
        // Reads answered alike share a line, written once something else comes.
        for (int i = 0; i < 3; ++i)
            (void)recorder.Estado(632);
        QCOMPARE(journal_format::readFile(path).entries.size(), entries - 2);
        recorder.Sleep(1);
        const journal_format::Parsed p = journal_format::readFile(path);
        QCOMPARE(p.error, QString());
        QCOMPARE(p.entries.size(), entries);
        QVERIFY(entryText(p.entries.at(entries - 4)).endsWith(" TX 888 0 '41' x1"));
        QVERIFY(qAbs(p.entries.at(entries - 4).time.secsTo(QDateTime::currentDateTime())) < 60);
        QVERIFY(entryText(p.entries.at(entries - 2)).endsWith(" Estado 632 216 '' x2"));
        // The room taken ahead is given back.
        recorder.stop();
        const QByteArray after = readFile(QDir(dir.path()), QStringLiteral("diario.txt"));
        QVERIFY(after.endsWith('\n') && !after.contains('\0'));
    }

    // A file cut short under the recorder stops the recording with a message, not the program.
    void recordingStopsWhenTheFileIsCutShort()
    {
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("diario.txt"));
        RecordingLink inner;
        JournalRecorder recorder(inner);
        QSignalSpy failed(&recorder, &JournalRecorder::failed);
        QCOMPARE(recorder.start(path), QString());
        (void)recorder.TX(888, "A");
        QVERIFY(QFile::resize(path, 0));
        (void)recorder.TX(888, "B");
        QCOMPARE(inner.calls.size(), 2);
        QCOMPARE(failed.size(), 1);
        QVERIFY2(failed.at(0).at(0).toString().contains("encurtado por outro programa"),
            qPrintable(failed.at(0).at(0).toString()));
        QVERIFY(!recorder.recording());
    }

    // Past its limit the file takes nothing, says so, and still ends at what it took.
    void mappedFileStopsAtItsLimit()
    {
        const QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("diario.txt")));
        QVERIFY(file.open(QIODevice::ReadWrite));
        AppendMap map;
        QCOMPARE(map.open(file.handle(), 0, 4096), QString());
        QCOMPARE(map.append(QByteArray(4000, 'a')), QString());
        QCOMPARE(
            map.append(QByteArray(100, 'b')), QStringLiteral("grande demais (o limite é 4 KiB)"));
        QCOMPARE(map.append(QByteArray(96, 'c')), QString());
        QCOMPARE(map.close(), QString());
        QCOMPARE(file.readAll(), QByteArray(4000, 'a') + QByteArray(96, 'c'));
    }

    // The recorder's lines, made from local milliseconds, are the lines of the same moments.
    void lineAtLocalMilliseconds_data()
    {
        QTest::addColumn<QDateTime>("moment");
        QTest::newRow("epoch") << QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC);
        QTest::newRow("before it")
            << QDateTime(QDate(1969, 12, 31), QTime(23, 59, 59, 999), Qt::UTC);
        QTest::newRow("leap day") << QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59, 999), Qt::UTC);
        QTest::newRow("ms") << QDateTime(QDate(2007, 12, 19), QTime(10, 0, 0, 125), Qt::UTC);
        QTest::newRow("a leap day of 400 years")
            << QDateTime(QDate(2000, 2, 29), QTime(12, 0), Qt::UTC);
        QTest::newRow("not a leap century") << QDateTime(QDate(2100, 3, 1), QTime(0, 0), Qt::UTC);
        QTest::newRow("an era before") << QDateTime(QDate(1600, 2, 29), QTime(1, 2, 3, 4), Qt::UTC);
    }

    void lineAtLocalMilliseconds()
    {
        QFETCH(QDateTime, moment);
        const JournalEntry entry {moment, JournalEntry::Call::TX, 888,
            "\x1b"
            "A",
            0};
        QByteArray fromMs(journal_format::mostLineBytes(entry), Qt::Uninitialized), fromTime;
        fromMs.truncate(journal_format::writeLine(fromMs.data(), moment.toMSecsSinceEpoch(), entry)
            - fromMs.constData());
        journal_format::appendLine(fromTime, entry);
        QCOMPARE(fromMs, fromTime);
    }

    // All the pictures and the listing, or nothing: a folder a run before filled loses only
    // what that run wrote.
    void writesPrintedFolder_data()
    {
        // Columns: format, file in the way, error.
        columns<bool, bool, QString>();
        row("png", false, false, QString());
        row("pdf", true, false, QString());
        row("a file where the folder goes", false, true, "não é uma pasta");
    }

    void writesPrintedFolder()
    {
        auto [pdf, inTheWay, error] = fetch<bool, bool, QString>();
        const QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("impressos"));
        const QDir out(folder);
        if (inTheWay) {
            writeFile(QDir(dir.path()), QStringLiteral("impressos"), "x");
        } else {
            QVERIFY(QDir().mkpath(folder));
            for (const char *name : {"impresso-0009.png", "impressos.txt", "carta.txt"})
                writeFile(out, QLatin1String(name), "antes");
        }
        const QVector<PaperJob> jobs = collectJobs(journal(kFront + ", TX 1b56414243"));
        const auto format = pdf ? printed_folder::Format::Pdf : printed_folder::Format::Png;
        const QString why = printed_folder::write(jobs, folder, format);
        QVERIFY2(why.contains(error) && why.isEmpty() == error.isEmpty(), qPrintable(why));
        if (inTheWay) {
            QCOMPARE(
                QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                QStringList {"impressos"});
            return;
        }
        const QString ext = pdf ? "pdf" : "png";
        QCOMPARE(out.entryList(QDir::Files | QDir::Hidden, QDir::Name),
            QStringList(
                {"carta.txt", "impresso-0001." + ext, "impresso-0002." + ext, "impressos.txt"}));
        QCOMPARE(QString::fromUtf8(readFile(out, QStringLiteral("impressos.txt"))),
            "impresso-0001." + ext
                + ": Cheque: frente — 19/12/2007 10:00:08.000 — chamadas 1 a 9\n"
                  "    2.345,98\n"
                  "    dois mil trezentos e quarenta e cinco REAIS e noventa e oito\n"
                  "    centavos\n"
                  "    José\n"
                  "    São Paulo, 19 de dezembro de 2007\n"
                  "    Obs 1\n"
                  "    Obs 2\n\n"
                  "impresso-0002."
                + ext
                + ": Autenticação simples — 19/12/2007 10:00:09.000 — chamada 10\n"
                  "    ABC\n");
        if (!pdf) {
            QCOMPARE(
                QImage(out.filePath("impresso-0001.png")).convertToFormat(QImage::Format_RGB32),
                paper_renderer::render(jobs.first()));
        }
    }

    // Our own PDF writer: the text in cp1252 with PDF's escapes, and a cross-reference table
    // whose every entry points at its object, as strict readers require.
    void pdfPage()
    {
        const QVector<PaperJob> jobs = collectJobs(journal(tx({"S\xe9 (1\\2)\r\n"})));
        const QByteArray pdf = paper_renderer::pdf(jobs.first());
        QVERIFY(pdf.contains("(S\\351 \\(1\\\\2\\)) Tj"));
        const qsizetype xref
            = pdf.mid(pdf.lastIndexOf("startxref\n") + 10).split('\n')[0].toLongLong();
        QVERIFY(pdf.mid(xref).startsWith("xref\n0 "));
        const QList<QByteArray> entries = pdf.mid(xref).split('\n').mid(3);
        for (int object = 1; entries.at(object - 1).endsWith(" n "); ++object) {
            QVERIFY2(pdf.mid(entries.at(object - 1).left(10).toLongLong())
                         .startsWith(QByteArray::number(object) + " 0 obj\n"),
                qPrintable(QString::number(object)));
        }
    }

    // Our own PNG writer, read back by Qt's reader: every pixel as it was.
    void pngFile_data()
    {
        QTest::addColumn<QImage>("image");
        QImage noise(333, 77, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < noise.height(); ++y) {
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, random.generate());
        }
        QTest::newRow("no two pixels alike") << noise;
        // Runs longer than one match, of zero and of other differences, ending in odd places.
        QImage runs(1000, 40, QImage::Format_ARGB32);
        runs.fill(qRgb(0, 0, 0));
        for (int y = 10; y < 40; ++y) {
            for (int x = y * 7; x < 1000 - y; ++x)
                runs.setPixel(x, y, qRgba(y * 6, 255 - y, x % 3 ? 200 : 9, y * 8));
        }
        QTest::newRow("runs") << runs;
        QImage one(1, 1, QImage::Format_RGB32);
        one.fill(qRgb(1, 2, 3));
        QTest::newRow("one pixel") << one;
    }

    void pngFile()
    {
        QFETCH(QImage, image);
        QCOMPARE(QImage::fromData(png_file::encode(image), "png"),
            image.convertToFormat(QImage::Format_RGB32));
    }
};

QTEST_MAIN(TstVirtualPrinter)
#include "tst_virtual_printer.moc"
