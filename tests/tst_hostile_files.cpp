#include "check/check_data.h"
#include "layout/layout_table.h"
#include "tests/support/test_services.h"
#include "virtual_printer/journal_model.h"
#include "virtual_printer/paper_view.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QTableView>
#include <climits>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

const QString kData = "Dados_cheque.txt", kTable = "Formato_cheque.txt";
const QString kJournal = "diario.txt", kPicture = "impresso.png";
const QByteArray kTwoBanks = "001|08|08|06|07|07|10|05\r\n237|09|08|06|07|07|10|05\r\n";
const layout_table::Fields kFields = {"12", "08", "06", "07", "07", "10", "05"};

enum Kind { Fifo, Socket, Device };
constexpr mode_t kModes[] = {S_IFIFO, S_IFSOCK, S_IFCHR};

// A device needs root; the others anyone.
bool makeNode(const QString &path, Kind kind)
{
    const QByteArray name = QFile::encodeName(path);
    switch (kind) {
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

// While it runs, opens for writing the FIFO at `path` whenever a reader waits on it, so that code
// that blocks on one fails its test instead of hanging it.
std::jthread fifoRescuer(const QString &path)
{
    return std::jthread([name = QFile::encodeName(path)](std::stop_token stop) {
        for (; !stop.stop_requested(); ::usleep(20000)) {
            if (const int fd = ::open(name, O_WRONLY | O_NONBLOCK); fd >= 0)
                ::close(fd);
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

Q_DECLARE_METATYPE(Kind)

class TstHostileFiles : public QObject
{
    Q_OBJECT
private slots:
    void nonRegularFilesAreRefused_data()
    {
        // Columns: what stands there, file, messages (one a line; %1 is the path).
        columns<Kind, QString, QString>();
        const QString fifo = "é um pipe nomeado (FIFO), não um arquivo comum";
        const QString device = "é um dispositivo, não um arquivo comum";
        const QString notJournal = "Não foi possível ler %1: ";
        const QString unsaved = "Não foi possível gravar o diário em %1: ";
        row("data FIFO", Fifo, kData, fifo + "\n" + fifo);
        row("data socket", Socket, kData,
            "é um socket, não um arquivo comum\né um socket, não um arquivo comum");
        row("data device", Device, kData, device + "\n" + device);
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
        const std::jthread rescuer = fifoRescuer(path);
        QCOMPARE(readAndWrite(dir, name).join('\n'), messages.replace("%1", path));
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
        row("link outside through ..", "../fora/alheio.txt", "", outside);
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

    void checkDataSizeLimit()
    {
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        const QByteArray head = "237\r\n\r\n\r\n\r\n\r\n\r\n";
        const QByteArray full = head + QByteArray(524288 - head.size(), '\n');
        writeFile(dir, kData, full);
        QCOMPARE(check_data::load(dir).error, QString());
        const QString tooLarge = "grande demais (o limite é 512 KiB)";
        writeFile(dir, kData, full + "x");
        QCOMPARE(check_data::load(dir).error, tooLarge);
        // What could not be read back is not written either.
        check_data::CheckData large;
        large.back = QString(524288, 'v');
        QCOMPARE(check_data::save(dir, large), tooLarge);
        QCOMPARE(readFile(dir, kData), full + "x");
    }

    // A file that is not a journal is told at once, without reading it all; a journal too large
    // to open is told before reading it.
    void journalRefusedEarly_data()
    {
        // Columns: size in MiB (a sparse file of zero bytes), message (%1 is the path).
        columns<qint64, QString>();
        row("64 MiB of zeros", qint64(64), "%1 não é um diário: linha 1: faltam colunas");
        row("over the limit", qint64(129),
            "Não foi possível ler %1: grande demais (o limite é 128 MiB)");
    }

    void journalRefusedEarly()
    {
        auto [mib, message] = fetch<qint64, QString>();
        QTemporaryDir tmp;
        const QString path = QDir(tmp.path()).filePath(kJournal);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(mib << 20));
        file.close();
        RecordingMessages messages;
        ScriptedQuestion question;
        VirtualPrinter printer;
        VirtualPrinterWindow window(printer, messages, question);
        const qint64 before = bytesRead();
        QCOMPARE(window.openJournalFrom(path), message.replace("%1", path));
        QVERIFY(bytesRead() - before < (1 << 20));
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

QTEST_MAIN(TstHostileFiles)
#include "tst_hostile_files.moc"
