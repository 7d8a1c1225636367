#include "printer_link/port_discovery.h"
#include "printer_link/ports_link.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <grp.h>
#include <pty.h>
#include <sys/fsuid.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;
using Kind = PortDevice::Kind;
using port_diagnosis::Verdict;

namespace {

// A serial line whose far end the test holds: `path` is what the program opens.
struct Pty
{
    int master = -1, slave = -1;
    QString path;

    Pty()
    {
        char name[128] = {};
        ::openpty(&master, &slave, name, nullptr, nullptr);
        path = QString::fromLocal8Bit(name);
    }
    ~Pty()
    {
        ::close(slave);
        ::close(master);
    }
    [[nodiscard]] qsizetype pending() const
    {
        int n = 0;
        ::ioctl(master, FIONREAD, &n);
        return n;
    }
};

qsizetype openDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size();
}

} // namespace

class TstPortSetup : public QObject
{
    Q_OBJECT
private slots:
    void diagnosesWithoutSendingOrHanging_data();
    void diagnosesWithoutSendingOrHanging();
    void testsAPortWithinTheLimit_data();
    void testsAPortWithinTheLimit();
    void describesTheStatus_data();
    void describesTheStatus();
    void findsThePortsOfThisMachine();
    void readsTheDeviceId_data();
    void readsTheDeviceId();
};

void TstPortSetup::diagnosesWithoutSendingOrHanging_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<QString>("text"); // %1 the path
    const int serial = int(Kind::Serial), parallel = int(Kind::Parallel);
    const QString notAPort = QStringLiteral("%1 não é uma porta de impressora: ");
    QTest::newRow("serial line") << serial << "pty" << int(Verdict::Usable)
                                 << "%1 está pronto para uso.";
    QTest::newRow("serial line held exclusively")
        << serial << "exclusive" << int(Verdict::Busy)
        << "Porta ocupada em %1: outro programa a está usando.";
    QTest::newRow("group may use it")
        << serial << "group dialout" << int(Verdict::NoPermission)
        << "Permissão negada em %1: o usuário precisa pertencer ao grupo dialout (sudo usermod "
           "-aG dialout $USER) e entrar de novo na sessão.";
    QTest::newRow("group may not use it") << serial << "nobody" << int(Verdict::NoPermission)
                                          << "Permissão negada em %1: só root pode usar esse "
                                             "dispositivo; peça ao administrador que dê acesso "
                                             "a ele.";
    QTest::newRow("serial line as LPT1") << parallel << "pty" << int(Verdict::WrongKind)
                                         << "%1 é uma porta serial: escolha-a para COM1 ou COM2.";
    QTest::newRow("FIFO without a writer")
        << parallel << "fifo" << int(Verdict::NotAPort) << notAPort + "é um pipe nomeado (FIFO).";
    QTest::newRow("folder") << serial << "folder" << int(Verdict::NotAPort)
                            << notAPort + "é uma pasta.";
    QTest::newRow("regular file") << parallel << "file" << int(Verdict::NotAPort)
                                  << notAPort + "é um arquivo comum.";
    QTest::newRow("device that is no port")
        << serial << "/dev/null" << int(Verdict::NotAPort)
        << notAPort + "o dispositivo não responde como porta paralela nem serial.";
    const QString missing = QStringLiteral("Nenhum dispositivo em %1: confira se a impressora ou o "
                                           "adaptador está ligado, ou escolha outro dispositivo.");
    QTest::newRow("missing") << parallel << "missing" << int(Verdict::Missing) << missing;
    QTest::newRow("under a file") << serial << "file/ttyS0" << int(Verdict::Missing) << missing;
}

void TstPortSetup::diagnosesWithoutSendingOrHanging()
{
    QFETCH(int, kind);
    QFETCH(QString, setup);
    QFETCH(int, verdict);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QCOMPARE(::chmod(qPrintable(dir.path()), 0711), 0);
    Pty pty;
    QString path = setup.startsWith(QLatin1Char('/')) ? setup : dir.filePath(setup);
    if (setup == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(qPrintable(path), 0666), 0);
    else if (setup == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(path));
    else if (setup.startsWith(QLatin1String("file")))
        QVERIFY(QFile(dir.filePath(QStringLiteral("file"))).open(QIODevice::WriteOnly));
    else if (setup != QLatin1String("missing") && !setup.startsWith(QLatin1Char('/')))
        path = pty.path;
    if (setup == QLatin1String("exclusive"))
        QCOMPARE(::ioctl(pty.slave, TIOCEXCL), 0);
    if (setup == QLatin1String("group dialout")) { // as a serial device is usually set up
        const group *dialout = ::getgrnam("dialout");
        QVERIFY(dialout);
        QCOMPARE(::fchown(pty.slave, 0, dialout->gr_gid), 0);
        QCOMPARE(::fchmod(pty.slave, 0060), 0);
    }
    if (setup == QLatin1String("nobody"))
        QCOMPARE(::fchmod(pty.slave, 0), 0);

    const qsizetype descriptors = openDescriptors();
    // Root keeps its override of file permissions unless its filesystem uid changes.
    const bool switchUser
        = setup == QLatin1String("group dialout") || setup == QLatin1String("nobody");
    const int uid = ::setfsuid(switchUser ? 65534 : ::geteuid());
    const port_diagnosis::Diagnosis d = port_diagnosis::diagnose(Kind(kind), path);
    ::setfsuid(uid);
    QCOMPARE(d.text, text.arg(path));
    QCOMPARE(int(d.verdict), verdict);
    QCOMPARE(openDescriptors(), descriptors);
    QCOMPARE(pty.pending(), 0);
}

void TstPortSetup::testsAPortWithinTheLimit_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("file"); // empty: a serial line
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("text"); // how it starts, %1 the path
    QTest::newRow("serial line opens and closes")
        << 2 << QString() << true
        << "COM2 abriu e fechou em %1 (9600 bps, 8N1, fluxo por hardware, RTS/CTS). Uma porta "
           "serial não informa se a impressora está ligada.";
    QTest::newRow("serial line missing")
        << 1 << "missing" << false << "Nenhum dispositivo em %1: confira se";
    QTest::newRow("status of a file") << 888 << "file" << false
                                      << "Não foi possível ler o estado da impressora em %1: o "
                                         "dispositivo não é uma porta de impressora.";
}

void TstPortSetup::testsAPortWithinTheLimit()
{
    QFETCH(int, port);
    QFETCH(QString, file);
    QFETCH(bool, ok);
    QFETCH(QString, text);
    QTemporaryDir dir;
    Pty pty;
    const QString path = file.isEmpty() ? pty.path : dir.filePath(file);
    if (file == QLatin1String("file"))
        QVERIFY(QFile(path).open(QIODevice::WriteOnly));
    const PortSettings settings {
        .lpt1 = path, .lpt2 = path, .com1 = path, .com2 = path, .writeTimeout = 500ms};
    QElapsedTimer clock;
    clock.start();
    const port_diagnosis::PortTest tested = port_diagnosis::testPort(settings, int16_t(port));
    QVERIFY(clock.elapsed() < 500);
    QVERIFY2(tested.text.startsWith(text.arg(path)), qPrintable(tested.text));
    QCOMPARE(tested.ok, ok);
    QCOMPARE(pty.pending(), 0);

    if (!file.isEmpty())
        return;
    // The program's own hold on a port reads as busy until it lets go.
    PortsLink link(settings);
    QVERIFY(!link.TX(port_code::kCom1, {}).refused());
    QCOMPARE(port_diagnosis::diagnose(Kind::Serial, path).verdict, Verdict::Busy);
    link.closePorts();
    QCOMPARE(port_diagnosis::diagnose(Kind::Serial, path).verdict, Verdict::Usable);
}

void TstPortSetup::describesTheStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("idle") << 0xD8 << "em linha, com papel, sem erro";
    QTest::newRow("busy with an error") << 0x50 << "em linha, com papel, com erro, ocupada";
    QTest::newRow("off line, out of paper") << 0xE8 << "fora de linha, sem papel, sem erro";
}

void TstPortSetup::describesTheStatus()
{
    QFETCH(int, status);
    QFETCH(QString, text);
    QCOMPARE(port_diagnosis::describeStatus(uint8_t(status)), text);
}

void TstPortSetup::findsThePortsOfThisMachine()
{
    QTemporaryDir dev;
    QVERIFY(QDir(dev.path()).mkdir(QStringLiteral("usb")));
    for (const char *name : {"lp10", "lp2", "lp1", "lpx", "usb/lp0", "parport0", "ttyS0"})
        QVERIFY(QFile(dev.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly));
    QStringList paths;
    for (const port_discovery::Found &f : port_discovery::parallelPorts(dev.path())) {
        QCOMPARE(f.label, f.path); // plain files have no device ID
        QCOMPARE(f.diagnosis.verdict, Verdict::NotAPort);
        paths << QDir(dev.path()).relativeFilePath(f.path);
    }
    QCOMPARE(paths, QStringList({"lp1", "lp2", "lp10", "usb/lp0", "parport0"}));

    Pty pty;
    const QList<port_discovery::Found> serial = port_discovery::serialPorts({
        {"/x/ttyUSB0", "FT232R USB UART", "FTDI", "A1"},
        {"/x/ttyS10", {}, {}, {}},
        {pty.path, "Prolific", "Prolific", {}},
        {"/x/ttyS2", {}, "ACME", {}},
    });
    QStringList labels;
    for (const port_discovery::Found &f : serial)
        labels << f.label;
    QCOMPARE(labels,
        QStringList({pty.path + " — Prolific", "/x/ttyS2 — ACME", "/x/ttyS10",
            "/x/ttyUSB0 — FT232R USB UART, FTDI, nº de série A1"}));
    QCOMPARE(serial.first().diagnosis.verdict, Verdict::Usable);
    QCOMPARE(serial.last().diagnosis.verdict, Verdict::Missing);
    QCOMPARE(pty.pending(), 0);
}

void TstPortSetup::readsTheDeviceId_data()
{
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<QString>("maker");
    QTest::addColumn<QString>("model");
    QTest::newRow("short keys") << QByteArray("MFG:ACME;CMD:ESC/P;MDL:DP-20;CLS:PRINTER;") << "ACME"
                                << "DP-20";
    QTest::newRow("long keys, spaces, lower case")
        << QByteArray("manufacturer: Vorel ;Model:Caixa 2;") << "Vorel"
        << "Caixa 2";
    QTest::newRow("neither") << QByteArray("CMD:PJL;garbage;:;") << ""
                             << "";
}

void TstPortSetup::readsTheDeviceId()
{
    QFETCH(QByteArray, id);
    QFETCH(QString, maker);
    QFETCH(QString, model);
    const port_discovery::DeviceId parsed = port_discovery::parseDeviceId(id);
    QCOMPARE(parsed.maker, maker);
    QCOMPARE(parsed.model, model);
}

QTEST_GUILESS_MAIN(TstPortSetup)
#include "tst_port_setup.moc"
