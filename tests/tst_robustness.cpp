#include "check/check_data.h"
#include "check/check_window.h"
#include "layout/layout_editor.h"
#include "layout/layout_table.h"
#include "tests/support/test_services.h"
#include "ui/text_fields.h"
#include "virtual_printer/journal_model.h"
#include "virtual_printer/paper_view.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTableView>
#include <atomic>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

const QString kData = "Dados_cheque.txt", kTable = "Formato_cheque.txt";
const QString kTemp = "Formato_temp.txt", kBackup = "Formato_cheque.bak";
const QString kJournal = "diario.txt", kPicture = "impresso.png";
const QDir::Filters kAll = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden;
const QByteArray kBank001 = "001|08|08|06|07|07|10|05\r\n";
const QByteArray kTwoBanks = kBank001 + "237|09|08|06|07|07|10|05\r\n";
// What every save of bank 237 here writes.
const layout_table::Fields kFields = {"12", "08", "06", "07", "07", "10", "05"};
const QByteArray kSaved237 = "237|12|08|06|07|07|10|05\r\n";

enum Access { Normal, ReadOnlyFile, ReadOnlyFolder, Unreadable, DiskFull };

// Puts the folder in the state of a row, or back with Normal. Modes stop nothing for root, whom
// tests run as in CI: then the row runs as nobody, by its real id too since Qt asks access(),
// which checks that one, whether a file is writable; the saved id stays root so that root can
// come back. A full disk is a limit on file sizes: writing past it fails with EFBIG.
void setAccess(const QDir &dir, Access access)
{
    static constexpr uid_t kNobody = 65534;
    // Files, then the folder, in each state.
    static constexpr mode_t kModes[][2]
        = {{0644, 0755}, {0444, 0755}, {0644, 0555}, {0200, 0755}, {0644, 0755}};
    static const bool root = ::geteuid() == 0;
    if (root && (::setresuid(0, 0, 0) || ::setresgid(0, 0, 0)))
        qFatal("cannot come back to root");
    for (const QString &name : dir.entryList(QDir::Files) + QStringList {QStringLiteral(".")}) {
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        if ((root && ::chown(path, kNobody, kNobody) != 0)
            || ::chmod(path, kModes[access][name == QLatin1String(".")]) != 0)
            qFatal("cannot set the mode of %s", path.constData());
    }
    rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = access == DiskFull ? 30 : limit.rlim_max;
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0
        || (access != Normal && root
            && (::setresgid(kNobody, kNobody, 0) || ::setresuid(kNobody, kNobody, 0))))
        qFatal("cannot restrict the test");
}

enum Kind { Folder, Fifo, Socket, Device };
constexpr mode_t kModes[] = {S_IFDIR, S_IFIFO, S_IFSOCK, S_IFCHR};

// A device needs root; the others anyone.
bool makeNode(const QString &path, Kind kind)
{
    const QByteArray name = QFile::encodeName(path);
    switch (kind) {
    case Folder:
        return QDir().mkdir(path);
    case Fifo:
        return ::mkfifo(name, 0644) == 0;
    case Device: // the null device: reading it ends at once, writing it loses everything
        return ::mknod(name, S_IFCHR | 0666, makedev(1, 3)) == 0;
    case Socket: {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        if (name.size() >= qsizetype(sizeof address.sun_path))
            return false;
        std::copy(name.begin(), name.end(), address.sun_path);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        ::close(fd);
        return bound;
    }
    }
    return false;
}

mode_t typeOf(const QString &path)
{
    struct stat st
    { };
    return ::lstat(QFile::encodeName(path), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

// Bytes this process has read from files and pipes so far.
qint64 bytesRead()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        qFatal("no /proc/self/io");
    return io.readLine().mid(7).trimmed().toLongLong();
}

// While it runs, opens for writing the FIFO at `path` once a reader has waited on it for half a
// second, and counts it in `rescues`: code that blocks on a FIFO fails its test instead of
// hanging it.
std::jthread fifoRescuer(const QString &path, std::atomic<int> &rescues)
{
    return std::jthread([name = QFile::encodeName(path), &rescues](std::stop_token stop) {
        for (int waited = 0; !stop.stop_requested(); ::usleep(10000), waited += 10) {
            if (waited < 500)
                continue;
            if (const int fd = ::open(name, O_WRONLY | O_NONBLOCK); fd >= 0) {
                ++rescues;
                ::close(fd);
            }
        }
    });
}

// The messages of reading and then writing `name` in `dir` the way the program does.
QStringList readAndWrite(const QDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    if (name == kData)
        return {check_data::load(dir).error, check_data::save(dir, {})};
    if (name == kTable || name.startsWith(QLatin1String("Formato_"))) {
        const layout_table::SaveResult saved = layout_table::save(dir, "237", kFields);
        return {layout_table::lookup(dir, "237").error, saved.file + ": " + saved.reason};
    }
    RecordingMessages messages;
    ScriptedQuestion question;
    VirtualPrinter printer;
    VirtualPrinterWindow window(printer, messages, question);
    (void)printer.TX(888, "ABC\r\n");
    if (name == kPicture)
        return {window.paperView()->saveImageTo(path)};
    return {window.openJournalFrom(path), window.saveJournalTo(path)};
}

} // namespace

Q_DECLARE_METATYPE(Access)
Q_DECLARE_METATYPE(Kind)

// Files the program reads and writes, whatever the disk, the folder and the operator do to them:
// damaged, locked, full, replaced by links, FIFOs and devices, too large, or cut by a kill.
class TstRobustness : public QObject
{
    Q_OBJECT
private slots:
    // Writing past the size limit then fails with EFBIG instead of ending the test.
    void initTestCase() { std::signal(SIGXFSZ, SIG_IGN); }

    void damagedFiles_data()
    {
        // Columns: file, before, access, messages, after.
        // messages: one a line
        columns<QString, QByteArray, Access, QString, QByteArray>();
        const QByteArray stored = "237\r\nR$ 1,00\r\nAna\r\no1\r\no2\r\nRio\r\nverso";
        // Control characters, bytes cp1252 leaves undefined and a no-break space, in a field and
        // the back text.
        const QByteArray bin = QByteArray::fromHex("0001090b0c1b7f80818d9da0ff0d0a");
        const QString unsaved = "Não foi possível gravar Dados_cheque.txt: ";
        const QString denied = unsaved + "permissão negada", full = "arquivo grande demais";
        row("data binary", kData, "\r\n" + bin.repeated(6), Normal, "",
            "\r\n" + bin.repeated(3) + "novo\r\n" + bin.repeated(2));
        row("data lone CR and LF", kData, QByteArray("1\r2\n3\r4\n5\r6\nb\rc"), Normal, "",
            QByteArray("1\r\n2\r\n3\r\n4\r\nnovo\r\n6\r\nb\r\nc\r\n"));
        row("data read-only", kData, stored, ReadOnlyFile, denied, stored);
        row("data unreadable is kept", kData, stored, Unreadable,
            "Não foi possível ler Dados_cheque.txt: permissão negada\n" + denied, stored);
        row("data, disk full", kData, stored, DiskFull, unsaved + full, stored);

        const QString noLayout = "O banco selecionado não tem formato programado. Ajuste-o ou "
                                 "serão usadas as medidas padronizadas.";
        const QString notSaved = QStringLiteral("O formato não foi gravado (%1: %2).");
        const QString tableDenied = notSaved.arg(kTable, "permissão negada");
        const QString unreadable
            = "Não foi possível ler Formato_cheque.txt: permissão negada. Serão "
              "usadas as medidas padronizadas.\n";
        const QByteArray longBank = "237|" + QByteArray(5000, '9') + "\r\n";
        row("table missing", kTable, kMissing, Normal, noLayout, kSaved237);
        row("table read-only", kTable, kTwoBanks, ReadOnlyFile, tableDenied, kTwoBanks);
        row("table in a read-only folder", kTable, kTwoBanks, ReadOnlyFolder,
            notSaved.arg(kTemp, "permissão negada"), kTwoBanks);
        row("table unreadable is kept", kTable, kTwoBanks, Unreadable, unreadable + tableDenied,
            kTwoBanks);
        row("table, disk full", kTable, kTwoBanks, DiskFull, notSaved.arg(kTemp, full), kTwoBanks);
        // The new table is short, the old one kept as the backup is not.
        row("backup, disk full", kTable, longBank, DiskFull, notSaved.arg(kBackup, full), longBank);
    }

    void damagedFiles()
    {
        auto [file, before, access, messages, after]
            = fetch<QString, QByteArray, Access, QString, QByteArray>();
        TestServices t;
        const QDir dir(t.dir.path());
        writeFile(dir, file, before);
        CheckWindow check(t.services(), [] { return 888; });
        LayoutEditor editor(t.services(), [] { return LayoutSource {"237", "12080607071005"}; });
        QWidget other;
        bool switched = true;
        setAccess(dir, access);
        auto *field = check.findChild<LineField *>("Text6");
        if (file == kData) {
            // Activation loads the file, leaving the window stores it; a failure is told once.
            switched = activate(check);
            field->setText(QStringLiteral("novo"));
            for (QWidget *window : {&other, static_cast<QWidget *>(&check), &other})
                switched = activate(*window) && switched;
        } else {
            check.findChild<LineField *>("Text1")->setText(QStringLiteral("237"));
            check.validateBank();
            editor.show();
            QMetaObject::invokeMethod(editor.findChild<QObject *>("Command1"), "click");
        }
        setAccess(dir, Normal);
        QVERIFY(switched);
        QCOMPARE(t.messages.texts.join(QLatin1Char('\n')), messages);
        QCOMPARE(readFile(dir, file), after);
        // A file that cannot be read leaves the fields as they were.
        if (messages.contains(QLatin1String("possível ler Dados")))
            QCOMPARE(field->text(), QStringLiteral("novo"));
        // The old table is kept as the backup, and nothing else is left behind.
        const bool backedUp = file == kTable && before != kMissing && after != before;
        QCOMPARE(readFile(dir, kBackup), backedUp ? before : kMissing);
        QCOMPARE(dir.entryList(kAll, QDir::Name),
            (backedUp ? QStringList {kBackup, kTable} : QStringList {file}));
    }

    void temporaryFilesAreCreatedAfresh_data()
    {
        // Columns: target (where a symbolic link at the temporary file points; none: a stale file
        // there, longer than the new table: written over without being cut, it would show).
        columns<QString>();
        row("stale temporary file", "");
        row("temporary link to a file", "victim.txt");
    }

    void temporaryFilesAreCreatedAfresh()
    {
        auto [target] = fetch<QString>();
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        writeFile(dir, kTable, kTwoBanks);
        writeFile(dir, "victim.txt", "keep me");
        const QByteArray path = QFile::encodeName(dir.filePath(kTemp));
        if (target.isEmpty())
            writeFile(dir, kTemp, QByteArray(1000, 'j'));
        else
            QVERIFY(::symlink(QFile::encodeName(target), path) == 0);
        QVERIFY(layout_table::save(dir, "237", kFields).saved());
        QCOMPARE(readFile(dir, kTable), kBank001 + kSaved237);
        QCOMPARE(readFile(dir, kBackup), kTwoBanks);
        QCOMPARE(readFile(dir, "victim.txt"), QByteArray("keep me"));
        QCOMPARE(dir.entryList(kAll, QDir::Name), (QStringList {kBackup, kTable, "victim.txt"}));
    }

    void pastedText_data()
    {
        // Columns: window, field, pasted, markdown, shown.
        // pasted: the plain form offered; "": none
        // markdown: a Markdown form, offered first; "": none
        // shown: the field held "ab" before, all of it selected
        columns<QString, QString, QString, QString, QString>();
        const QString huge(100000, QLatin1Char('x'));
        row("bank cut at 3", "Cheque", "Text1", "2375", "", "237");
        row("gap cut at 2", "Formato", "Text7", "123", "", "12");
        row("editor bank cut at 3", "Formato", "Text8", "0011", "", "001");
        row("payee holds 100,000 characters", "Cheque", "Text3", huge, "", huge);
        row("payee joins lines", "Cheque", "Text3", "Ana\r\nMaria\nSilva\r", "",
            "Ana Maria Silva ");
        row("back keeps lines and a no-break space", "Cheque", "Text7", "R$\u00a02\r\nx\r\n", "",
            "R$\u00a02\r\nx\r\n");
        row("payee refuses an emoji", "Cheque", "Text3", "Jos😀", "", "ab");
        row("back refuses Greek", "Cheque", "Text7", "Ωmega", "", "ab");
        row("back takes the plain form, not the Markdown", "Cheque", "Text7", "José", "**José** 😀",
            "José");
        row("back: Markdown alone brings nothing", "Cheque", "Text7", "", "José 😀", "ab");
    }

    void pastedText()
    {
        auto [window, field, pasted, markdown, shown]
            = fetch<QString, QString, QString, QString, QString>();
        TestServices t;
        CheckWindow cheque(t.services(), [] { return 888; });
        LayoutEditor formato(t.services(), [] { return LayoutSource {}; });
        QWidget *in = window == "Cheque" ? (QWidget *)&cheque : &formato;
        const auto paste = [&pasted = pasted, &markdown = markdown](auto *box) {
            box->setText(QStringLiteral("ab"));
            box->selectAll();
            auto *offered = new QMimeData;
            if (!markdown.isEmpty())
                offered->setData(QStringLiteral("text/markdown"), markdown.toUtf8());
            if (!pasted.isEmpty())
                offered->setText(pasted);
            QGuiApplication::clipboard()->setMimeData(offered);
            box->paste();
            return box->text();
        };
        auto *line = in->findChild<LineField *>(field);
        QCOMPARE(line ? paste(line) : paste(in->findChild<TextField *>(field)), shown);
    }

    void killedWhileSaving()
    {
        // What the folder holds before, then the two versions the helper saves in turn.
        const QByteArray table0 = QByteArray(20000, 'x') + "\r\n" + kBank001;
        const QByteArrayList data = {"001\r\n\r\n\r\n\r\n\r\n\r\n",
            "237\r\nR$ 1,00\r\nAna\r\no1\r\no2\r\nRio\r\n" + QByteArray(20000, 'a'),
            "341\r\nR$ 2,00\r\nBia\r\no3\r\no4\r\nIta\r\n" + QByteArray(30000, 'b')};
        const QByteArrayList table = {table0, table0 + "237|09|08|06|07|07|10|05\r\n",
            table0 + "237|10|08|06|07|07|10|05\r\n", kMissing};
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        writeFile(dir, kData, data[0]);
        writeFile(dir, kTable, table[0]);
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator rng(seed);
        int seen[3] = {};
        for (int n = 0; n < 300; ++n) {
            QProcess loop;
            loop.start(QStringLiteral(SAVE_LOOP), {dir.path(), QString::number(rng.bounded(2))});
            QVERIFY(loop.waitForReadyRead(10000));
            // One round of both saves takes 2 to 20 ms, most of it waiting for the disk.
            ::usleep(rng.bounded(15000));
            loop.kill();
            QVERIFY(loop.waitForFinished(10000) && loop.exitStatus() == QProcess::CrashExit);
            const qsizetype d = data.indexOf(readFile(dir, kData));
            const QByteArray where = QStringLiteral("seed %1, kill %2").arg(seed).arg(n).toUtf8();
            // No backup until a save gets that far.
            QVERIFY2(d >= 0 && table.mid(0, 3).contains(readFile(dir, kTable)), where);
            QVERIFY2(table.contains(readFile(dir, kBackup)), where);
            ++seen[d];
        }
        // The kills fell at different moments of the loop.
        QVERIFY(seen[1] > 0 && seen[2] > 0);
        // Whatever the kills left behind does not stop the next save.
        QVERIFY(check_data::save(dir, {}).isEmpty());
        QVERIFY(layout_table::save(dir, "237", kFields).saved());
    }
    void nonRegularFilesAreRefused_data()
    {
        // Columns: what stands there, file, messages (one a line; %1 is the path).
        columns<Kind, QString, QString>();
        const QString fifo = "é um pipe nomeado (FIFO), não um arquivo comum";
        const QString device = "é um dispositivo, não um arquivo comum";
        const QString notJournal = "Não foi possível ler %1: ";
        const QString unsaved = "Não foi possível gravar o diário em %1: ";
        row("data folder", Folder, kData, "é uma pasta\né uma pasta");
        row("data FIFO", Fifo, kData, fifo + "\n" + fifo);
        row("data socket", Socket, kData,
            "é um socket, não um arquivo comum\né um socket, não um arquivo comum");
        row("table FIFO", Fifo, kTable, fifo + "\n" + kTable + ": " + fifo);
        row("backup FIFO", Fifo, "Formato_cheque.bak", "\nFormato_cheque.bak: " + fifo);
        row("temporary FIFO", Fifo, "Formato_temp.txt", "\nFormato_temp.txt: " + fifo);
        row("journal FIFO", Fifo, kJournal, notJournal + fifo + "\n" + unsaved + fifo);
        row("journal device", Device, kJournal, notJournal + device + "\n" + unsaved + device);
        row("picture device", Device, kPicture, "Não foi possível gravar %1: " + device);
    }

    // Nothing blocks on what is not a regular file, and no save replaces it.
    void nonRegularFilesAreRefused()
    {
        auto [kind, name, messages] = fetch<Kind, QString, QString>();
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        const QString path = dir.filePath(name);
        if (name != kTable)
            writeFile(dir, kTable, kTwoBanks);
        if (!makeNode(path, kind))
            QSKIP("this system will not make the node (a device needs root)");
        std::atomic<int> rescues = 0;
        {
            const std::jthread rescuer = fifoRescuer(path, rescues);
            QCOMPARE(readAndWrite(dir, name).join('\n'), messages.replace("%1", path));
        }
        QCOMPARE(rescues.load(), 0);
        QCOMPARE(typeOf(path), kModes[kind]);
        if (name != kTable)
            QCOMPARE(readFile(dir, kTable), kTwoBanks);
    }

    void checkDataThroughLinks_data()
    {
        // Columns: where Dados_cheque.txt points (%1: a folder beside the working one),
        // bank read, message.
        columns<QString, QString, QString>();
        const QString outside = "aponta para fora da pasta de trabalho (%1/alheio.txt)";
        row("link inside the folder", "guardado.txt", "341", "");
        row("link outside the folder", "%1/alheio.txt", "", outside);
        row("link to nothing outside", "%1/novo.txt", "", "");
    }

    // Never read from outside the folder, never written through: the link itself is replaced.
    void checkDataThroughLinks()
    {
        auto [target, bank, message] = fetch<QString, QString, QString>();
        QTemporaryDir tmp;
        const QDir root(tmp.path());
        QVERIFY(root.mkdir("trabalho") && root.mkdir("fora"));
        const QDir dir(root.filePath("trabalho")), other(root.filePath("fora"));
        writeFile(dir, "guardado.txt", "341\r\n");
        writeFile(other, "alheio.txt", "999\r\n");
        QVERIFY(::symlink(QFile::encodeName(target.replace("%1", other.path())),
                    QFile::encodeName(dir.filePath(kData)))
            == 0);
        const check_data::LoadResult loaded = check_data::load(dir);
        QCOMPARE(loaded.error, message.replace("%1", other.canonicalPath()));
        QCOMPARE(loaded.data.bank, bank);
        QCOMPARE(check_data::save(dir, {}), QString());
        QCOMPARE(typeOf(dir.filePath(kData)), mode_t(S_IFREG));
        QCOMPARE(readFile(dir, kData), QByteArray("\r\n\r\n\r\n\r\n\r\n\r\n"));
        QCOMPARE(readFile(dir, "guardado.txt"), QByteArray("341\r\n"));
        QCOMPARE(other.entryList(QDir::Files), QStringList {"alheio.txt"});
        QCOMPARE(readFile(other, "alheio.txt"), QByteArray("999\r\n"));
    }

    // A file too large to open is told before reading it, and a file that is not a journal at
    // once, without reading it all.
    void tooLargeIsToldBeforeReading_data()
    {
        // Columns: file, size (a sparse file of zero bytes), message (%1 is the path).
        columns<QString, qint64, QString>();
        row("data at the limit", kData, qint64(512 << 10), "");
        row("data over the limit", kData, qint64(512 << 10) + 1,
            "grande demais (o limite é 512 KiB)");
        row("64 MiB of zeros", kJournal, qint64(64 << 20),
            "%1 não é um diário: linha 1: faltam colunas");
        row("journal over the limit", kJournal, qint64(129 << 20),
            "Não foi possível ler %1: grande demais (o limite é 128 MiB)");
    }

    void tooLargeIsToldBeforeReading()
    {
        auto [name, size, message] = fetch<QString, qint64, QString>();
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size));
        file.close();
        RecordingMessages messages;
        ScriptedQuestion question;
        VirtualPrinter printer;
        VirtualPrinterWindow window(printer, messages, question);
        const qint64 before = bytesRead();
        const QString told
            = name == kData ? check_data::load(dir).error : window.openJournalFrom(file.fileName());
        QCOMPARE(told, message.replace("%1", file.fileName()));
        QVERIFY(bytesRead() - before < (1 << 20));
        // What could not be read back is not written either.
        check_data::CheckData large;
        large.back = QString(512 << 10, 'v');
        QCOMPARE(
            check_data::save(dir, large), QStringLiteral("grande demais (o limite é 512 KiB)"));
        QCOMPARE(file.size(), size);
    }

    // A call of megabytes shows a short prefix; the whole of it stays there for who asks.
    void hugeEntryShownCut()
    {
        RecordingMessages messages;
        ScriptedQuestion question;
        VirtualPrinter printer;
        VirtualPrinterWindow window(printer, messages, question);
        const QByteArray huge = QByteArray(3 << 20, 'A');
        (void)printer.TX(888, huge);
        const QAbstractItemModel *model = window.findChild<QTableView *>("journal")->model();
        for (const int column : {JournalModel::Commands, JournalModel::Hex, JournalModel::Text}) {
            for (const int role : {Qt::DisplayRole, Qt::ToolTipRole}) {
                const QString shown = model->data(model->index(0, column), role).toString();
                QVERIFY2(shown.size() < 1000, qPrintable(QString::number(shown.size())));
                QVERIFY(shown.endsWith(QStringLiteral("mais 3145472 bytes)")));
            }
        }
        QCOMPARE(model->data(model->index(0, 0), JournalModel::BytesRole).toByteArray(), huge);
        // Chosen, its bytes come a page at a time, the last one as whole as the first.
        auto *journal = window.findChild<QTableView *>("journal");
        journal->setCurrentIndex(model->index(0, 0));
        auto *next = window.findChild<QPushButton *>("bytesSeguintes");
        for (int page = 1; page < 48; ++page)
            QTest::mouseClick(next, Qt::LeftButton);
        QVERIFY(!next->isEnabled());
        QCOMPARE(window.findChild<QLabel *>("bytesPagina")->text(),
            QStringLiteral("bytes 3080192 a 3145727 de 3145728"));
        const QString last = window.findChild<QPlainTextEdit *>("bytes")->toPlainText();
        QCOMPARE(last.count(QLatin1Char('\n')), 4095);
        QVERIFY(last.endsWith(
            QStringLiteral("002FFFF0  41 41 41 41 41 41 41 41  41 41 41 41 41 41 41 41  "
                           "AAAAAAAAAAAAAAAA")));
    }

    // Counts at their maximum do not wrap: the next read starts an entry of its own.
    void repeatedReadsAtTheLimit()
    {
        VirtualPrinter printer;
        const QDateTime t(QDate(2024, 1, 1), QTime(0, 0));
        printer.replaceJournal({{t, JournalEntry::Call::Estado, 888, {}, 216, INT32_MAX}});
        QCOMPARE(int(printer.Estado(888).value), 216);
        QCOMPARE(printer.journal().size(), 2);
        QCOMPARE(printer.journal().first().repeats, INT32_MAX);
        QCOMPARE(printer.journal().last().repeats, 1);
    }
};

QTEST_MAIN(TstRobustness)
#include "tst_robustness.moc"
