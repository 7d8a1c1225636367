#include "app/main_window.h"
#include "app/text_fields.h"
#include "auth/auth_window.h"
#include "check/check_data.h"
#include "check/check_window.h"
#include "layout/layout_editor.h"
#include "layout/layout_table.h"
#include "tests/support/test_services.h"
#include "text/text_window.h"

#include <QClipboard>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kData = QStringLiteral("Dados_cheque.txt");
const QString kTable = QStringLiteral("Formato_cheque.txt");
const QString kTemp = QStringLiteral("Formato_temp.txt");
const QString kBackup = QStringLiteral("Formato_cheque.bak");
const QByteArray kMissing = "<missing>";
const QByteArray kBank001 = "001|08|08|06|07|07|10|05\r\n";
const QByteArray kTwoBanks = kBank001 + "237|09|08|06|07|07|10|05\r\n";
const QByteArray kSaved237 = "237|12|08|06|07|07|10|05\r\n"; // what saveLayout237() writes

QByteArray readFile(const QDir &dir, const QString &name)
{
    QFile f(dir.filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : kMissing;
}

void writeFile(const QDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile f(dir.filePath(name));
    if (bytes != kMissing && (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()))
        qFatal("cannot write %s", qPrintable(name));
}

QSet<QString> entries(const QDir &dir)
{
    const QStringList l
        = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden);
    return QSet<QString>(l.begin(), l.end());
}

layout_table::SaveResult saveLayout237(const QDir &dir)
{
    return layout_table::save(
        dir, QStringLiteral("237"), {"12", "08", "06", "07", "07", "10", "05"});
}

enum Access { Normal, ReadOnlyFile, ReadOnlyFolder, Unreadable, DiskFull };

// Puts the folder in the state of a row for the scope. Modes stop nothing for root, whom tests
// run as in CI: then the scope runs as nobody, by its real id too since Qt asks access(), which
// checks that one, whether a file is writable; the saved id stays root so that root can come
// back. A full disk is a limit on file sizes: writing past it fails with EFBIG, SIGXFSZ ignored.
class Restricted
{
public:
    Restricted(const QDir &dir, Access access)
        : m_dir(dir)
    {
        static constexpr mode_t kFileModes[] = {0644, 0444, 0644, 0200, 0644};
        setModes(kFileModes[access], access == ReadOnlyFolder ? 0555 : 0755);
        rlimit limit = m_limit;
        limit.rlim_cur = access == DiskFull ? 30 : limit.rlim_cur;
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0
            || (m_root && (::setresgid(kNobody, kNobody, 0) || ::setresuid(kNobody, kNobody, 0))))
            qFatal("cannot restrict the test");
    }
    ~Restricted()
    {
        if ((m_root && (::setresuid(0, 0, 0) || ::setresgid(0, 0, 0)))
            || ::setrlimit(RLIMIT_FSIZE, &m_limit) != 0)
            qFatal("cannot lift the restrictions");
        std::signal(SIGXFSZ, m_handler);
        setModes(0644, 0755);
    }

private:
    static constexpr uid_t kNobody = 65534;
    void setModes(mode_t files, mode_t folder) const
    {
        QByteArrayList paths = {QFile::encodeName(m_dir.path())};
        for (const QString &name : m_dir.entryList(QDir::Files))
            paths << QFile::encodeName(m_dir.filePath(name));
        for (const QByteArray &path : paths) {
            if ((m_root && ::chown(path, kNobody, kNobody) != 0)
                || ::chmod(path, path == paths.first() ? folder : files) != 0)
                qFatal("cannot set the mode of %s", path.constData());
        }
    }
    QDir m_dir;
    bool m_root = ::geteuid() == 0;
    rlimit m_limit = [] {
        rlimit limit {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        return limit;
    }();
    void (*m_handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
};

// Waits for the system to hand the focus over, which is what loads and stores the check data.
bool activate(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitFor(
        [&window] { return QGuiApplication::focusWindow() == window.windowHandle(); });
}

void pasteRow(const char *name, const char *window, const char *field, const QString &pasted,
    const QString &shown)
{
    QTest::newRow(name) << window << field << pasted << shown;
}

struct FileCase
{
    QString file;
    QByteArray before;
    Access access;
    QString seen; // the payee shown, or the layout looked up for 237
    QStringList messages;
    QByteArray after;
};

} // namespace

Q_DECLARE_METATYPE(FileCase)

class TstRobustness : public QObject
{
    Q_OBJECT
private slots:
    void damagedFiles_data();
    void damagedFiles();
    void temporaryFilesAreCreatedAfresh_data();
    void temporaryFilesAreCreatedAfresh();
    void pastedText_data();
    void pastedText();
    void killedWhileSaving();
};

void TstRobustness::damagedFiles_data()
{
    QTest::addColumn<FileCase>("c");
    const QByteArray stored = "237\r\nR$ 1,00\r\nAna\r\no1\r\no2\r\nRio\r\nverso";
    const QByteArray typed = "\r\n\r\n\r\n\r\nnovo\r\n\r\n";
    const QByteArray lines = "237\r\nv\r\nAna\r\no1\r\nnovo\r\nRio\r\nb1\r\nb2\r\n";
    const QByteArray huge
        = "237\r\n\r\n" + QByteArray(100000, 'p') + "\r\n\r\n%\r\n\r\n" + QByteArray(100000, 'b');
    const QString noStore = "Não foi possível gravar Dados_cheque.txt: %1";
    // Control characters, bytes cp1252 leaves undefined and a no-break space, in a field and the
    // back text.
    const QByteArray binary
        = "\r\n\r\n\r\n" + QByteArray::fromHex("0001090b0c1b7f80818d9da0ff0d0a");
    QTest::newRow("data missing") << FileCase {kData, kMissing, Normal, "", {}, typed};
    QTest::newRow("data empty") << FileCase {kData, "", Normal, "", {}, typed};
    QTest::newRow("data truncated") << FileCase {kData, "237\r\nR$ 1,00\r\nAn", Normal, "An", {},
        "237\r\nR$ 1,00\r\nAn\r\n\r\nnovo\r\n\r\n"};
    QTest::newRow("data binary") << FileCase {kData, binary + "o2\r\nRio\r\n" + binary, Normal, "",
        {}, binary + "novo\r\nRio\r\n" + binary};
    QTest::newRow("data lone CR") << FileCase {
        kData, "237\rv\rAna\ro1\ro2\rRio\rb1\rb2", Normal, "Ana", {}, lines};
    QTest::newRow("data lone LF") << FileCase {
        kData, "237\nv\nAna\no1\no2\nRio\nb1\nb2\n", Normal, "Ana", {}, lines};
    QTest::newRow("data 100,000-character lines") << FileCase {kData,
        QByteArray(huge).replace('%', "o2"), Normal, QString(100000, QLatin1Char('p')), {},
        QByteArray(huge).replace('%', "novo") + "\r\n"};
    QTest::newRow("data read-only")
        << FileCase {kData, stored, ReadOnlyFile, "Ana", {noStore.arg("sem permissão")}, stored};
    QTest::newRow("data in a read-only folder")
        << FileCase {kData, stored, ReadOnlyFolder, "Ana", {noStore.arg("sem permissão")}, stored};
    QTest::newRow("data unreadable is kept") << FileCase {kData, stored, Unreadable, "",
        {"Não foi possível ler Dados_cheque.txt: sem permissão", noStore.arg("sem permissão")},
        stored};
    QTest::newRow("data on a full disk") << FileCase {
        kData, stored, DiskFull, "Ana", {noStore.arg("arquivo grande demais")}, stored};

    const QString noLayout = "O banco selecionado não tem formato programado. Ajuste-o ou serão "
                             "usadas as medidas padronizadas.";
    const QString notSaved = QStringLiteral("O formato não foi gravado (%1: %2).");
    const QString found = "09080607071005";
    const QByteArray binaryLine = QByteArray::fromHex("0001ff1b7c80a00d0a");
    const QByteArray longLine = QByteArray(100000, 'x') + "\r\n";
    const QByteArray saved = kBank001 + kSaved237;
    const QByteArray longBank = "237|" + QByteArray(5000, '9') + "\r\n";
    QTest::newRow("table missing")
        << FileCase {kTable, kMissing, Normal, "08080607071005", {noLayout}, kSaved237};
    QTest::newRow("table empty") << FileCase {
        kTable, "", Normal, "08080607071005", {noLayout}, kSaved237};
    QTest::newRow("table truncated")
        << FileCase {kTable, kBank001 + "237|09|0", Normal, "090", {}, saved};
    QTest::newRow("table binary") << FileCase {
        kTable, binaryLine + kTwoBanks, Normal, found, {}, binaryLine + saved};
    QTest::newRow("table lone CR")
        << FileCase {kTable, QByteArray(kTwoBanks).replace("\r\n", "\r"), Normal, found, {}, saved};
    QTest::newRow("table lone LF")
        << FileCase {kTable, QByteArray(kTwoBanks).replace("\r\n", "\n"), Normal, found, {}, saved};
    QTest::newRow("table 100,000-character line")
        << FileCase {kTable, longLine + kTwoBanks, Normal, found, {}, longLine + saved};
    QTest::newRow("table read-only") << FileCase {
        kTable, kTwoBanks, ReadOnlyFile, found, {notSaved.arg(kTable, "sem permissão")}, kTwoBanks};
    QTest::newRow("table in a read-only folder") << FileCase {kTable, kTwoBanks, ReadOnlyFolder,
        found, {notSaved.arg(kTemp, "sem permissão")}, kTwoBanks};
    QTest::newRow("table unreadable") << FileCase {kTable, kTwoBanks, Unreadable, "08080607071005",
        {"Não foi possível ler Formato_cheque.txt: sem permissão. Serão usadas as medidas "
         "padronizadas.",
            notSaved.arg(kTable, "sem permissão")},
        kTwoBanks};
    QTest::newRow("table on a full disk") << FileCase {kTable, kTwoBanks, DiskFull, found,
        {notSaved.arg(kTemp, "arquivo grande demais")}, kTwoBanks};
    // The new table is short, the old one kept as the backup is not.
    QTest::newRow("backup on a full disk")
        << FileCase {kTable, longBank, DiskFull, QString(5000, QLatin1Char('9')),
               {notSaved.arg(kBackup, "arquivo grande demais")}, longBank};
}

void TstRobustness::damagedFiles()
{
    QFETCH(FileCase, c);
    TestServices t;
    const QDir dir(t.dir.path());
    writeFile(dir, c.file, c.before);
    CheckWindow check(t.services(), [] { return 888; });
    QWidget other;
    {
        Restricted restricted(dir, c.access);
        if (c.file == kData) {
            // Activation loads the file, leaving the window stores it.
            QVERIFY(activate(check));
            QCOMPARE(check.findChild<LineField *>("Text3")->text(), c.seen);
            check.findChild<LineField *>("Text6")->setText(QStringLiteral("novo"));
            QVERIFY(activate(other));
        } else {
            check.findChild<LineField *>("Text1")->setText(QStringLiteral("237"));
            check.validateBank();
            QCOMPARE(check.Formato_cheque, c.seen);
            LayoutEditor editor(t.services(), [] {
                return LayoutSource {"237", "12080607071005"};
            });
            editor.show();
            editor.findChild<QPushButton *>("Command1")->click();
        }
    }
    QCOMPARE(t.messages.texts, c.messages);
    QCOMPARE(readFile(dir, c.file), c.after);
    // The old table is kept as the backup, and nothing else is left behind.
    const bool backedUp = c.file == kTable && c.before != kMissing && c.after != c.before;
    if (backedUp)
        QCOMPARE(readFile(dir, kBackup), c.before);
    QCOMPARE(entries(dir), backedUp ? QSet<QString>({c.file, kBackup}) : QSet<QString>({c.file}));
}

void TstRobustness::temporaryFilesAreCreatedAfresh_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::newRow("stale temporary file") << kTemp << "file";
    QTest::newRow("temporary link to a file") << kTemp << "link victim.txt";
    QTest::newRow("temporary link to nothing") << kTemp << "link nowhere.txt";
    QTest::newRow("temporary link to a folder") << kTemp << "link folder";
    QTest::newRow("temporary hard link") << kTemp << "hard link";
    QTest::newRow("temporary pipe") << kTemp << "pipe";
    QTest::newRow("backup link to a file") << kBackup << "link victim.txt";
    QTest::newRow("backup hard link") << kBackup << "hard link";
}

void TstRobustness::temporaryFilesAreCreatedAfresh()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    writeFile(dir, kTable, kTwoBanks);
    writeFile(dir, "victim.txt", "keep me");
    QVERIFY(dir.mkdir("folder"));
    const QByteArray path = QFile::encodeName(dir.filePath(name));
    if (kind == "file")
        writeFile(dir, name, QByteArray(1000, 'j'));
    else if (kind.startsWith("link "))
        QVERIFY(QFile::link(dir.filePath(kind.mid(5)), path));
    else if (kind == "hard link")
        QVERIFY(::link(QFile::encodeName(dir.filePath("victim.txt")), path) == 0);
    else
        QVERIFY(::mkfifo(path, 0644) == 0);

    QVERIFY(saveLayout237(dir).saved());
    QCOMPARE(readFile(dir, kTable), kBank001 + kSaved237);
    QCOMPARE(readFile(dir, kBackup), kTwoBanks);
    QVERIFY(!QFileInfo(dir.filePath(kBackup)).isSymLink());
    QCOMPARE(readFile(dir, "victim.txt"), QByteArray("keep me"));
    QCOMPARE(entries(dir), QSet<QString>({kTable, kBackup, "victim.txt", "folder"}));
    QVERIFY(QDir(dir.filePath("folder")).isEmpty());
}

void TstRobustness::pastedText_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown"); // the field held "ab" before
    const QString huge(100000, QLatin1Char('x'));
    pasteRow("bank at its limit", "Cheque", "Text1", "237", "237");
    pasteRow("bank cut at 3", "Cheque", "Text1", "2375", "237");
    pasteRow("bank refuses an arrow", "Cheque", "Text1", "2→3", "ab");
    pasteRow("payee joins lines", "Cheque", "Text3", "Ana\r\nMaria\nSilva\r", "Ana Maria Silva ");
    pasteRow("payee holds 100,000 characters", "Cheque", "Text3", huge, huge);
    pasteRow("payee refuses an emoji", "Cheque", "Text3", "Jos😀", "ab");
    pasteRow("back keeps a no-break space", "Cheque", "Text7", "R$\u00a02\r\n", "R$\u00a02\r\n");
    pasteRow("back refuses Greek", "Cheque", "Text7", "Ωmega", "ab");
    pasteRow("gap at its limit", "Formato", "Text1", "12", "12");
    pasteRow("gap cut at 2", "Formato", "Text7", "123", "12");
    pasteRow("gap refuses Arabic digits", "Formato", "Text4", "٣", "ab");
    pasteRow("editor bank cut at 3", "Formato", "Text8", "0011", "001");
    pasteRow("authentication holds 100,000 characters", "Aut", "Text1", huge, huge);
    pasteRow("authentication takes the euro sign", "Aut", "Text1", "€ 5", "€ 5");
    pasteRow("authentication refuses Chinese", "Aut", "Text1", "认证", "ab");
    pasteRow("text keeps its lines", "Cupom", "Text1", "a\r\nb\r\n", "a\r\nb\r\n");
    pasteRow("text holds 100,000 characters", "Cupom", "Text1", huge, huge);
    pasteRow("text refuses Cyrillic", "Cupom", "Text1", "Да", "ab");
    pasteRow("test line holds 100,000 characters", "Form1", "Text2", huge, huge);
    pasteRow("test line refuses a check mark", "Form1", "Text2", "ok✓", "ab");
}

void TstRobustness::pastedText()
{
    QFETCH(QString, window);
    QFETCH(QString, field);
    QFETCH(QString, pasted);
    QFETCH(QString, shown);
    TestServices t;
    const PortaSource porta = [] { return 888; };
    MainWindow form1(t.services());
    AuthWindow aut(t.services(), porta);
    TextWindow cupom(t.services(), porta);
    CheckWindow cheque(t.services(), porta);
    LayoutEditor formato(t.services(), [] { return LayoutSource {}; });
    const auto paste = [&pasted](auto *box) {
        box->setText(QStringLiteral("ab"));
        box->selectAll();
        QGuiApplication::clipboard()->setText(pasted);
        box->paste();
        return box->text();
    };
    for (QWidget *w : std::initializer_list<QWidget *> {&form1, &aut, &cupom, &cheque, &formato}) {
        if (w->objectName() == window) {
            auto *line = w->findChild<LineField *>(field);
            QCOMPARE(line ? paste(line) : paste(w->findChild<TextField *>(field)), shown);
            return;
        }
    }
    QFAIL("no such window");
}

void TstRobustness::killedWhileSaving()
{
    // What the folder holds before, then the two versions the helper saves in turn.
    const QByteArray table0 = QByteArray(20000, 'x') + "\r\n" + kBank001;
    const QByteArrayList data = {"001\r\n\r\n\r\n\r\n\r\n\r\n",
        "237\r\nR$ 1,00\r\nAna\r\no1\r\no2\r\nRio\r\n" + QByteArray(20000, 'a'),
        "341\r\nR$ 2,00\r\nBia\r\no3\r\no4\r\nIta\r\n" + QByteArray(30000, 'b')};
    const QByteArrayList table = {
        table0, table0 + "237|09|08|06|07|07|10|05\r\n", table0 + "237|10|08|06|07|07|10|05\r\n"};
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
        QThread::usleep(rng.bounded(15000));
        loop.kill();
        QVERIFY(loop.waitForFinished(10000));
        QCOMPARE(loop.exitStatus(), QProcess::CrashExit);
        const QByteArray d = readFile(dir, kData), f = readFile(dir, kTable);
        const QByteArray where = QStringLiteral("seed %1, kill %2").arg(seed).arg(n).toUtf8();
        QVERIFY2(data.contains(d) && table.contains(f), where);
        QVERIFY2((table + QByteArrayList {kMissing}).contains(readFile(dir, kBackup)), where);
        ++seen[data.indexOf(d)];
    }
    // The kills fell at different moments of the loop.
    QVERIFY(seen[1] > 0 && seen[2] > 0);
    // Whatever the kills left behind does not stop the next save.
    QVERIFY(check_data::save(dir, {}).isEmpty());
    QVERIFY(saveLayout237(dir).saved());
}

QTEST_MAIN(TstRobustness)
#include "tst_robustness.moc"
