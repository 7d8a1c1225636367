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
    void testsAPortWithinTheLimit();
    void findsThePortsOfThisMachine();
};

void TstPortSetup::diagnosesWithoutSendingOrHanging_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("setup"); // a pty with what is done to it, or what is at the path
    QTest::addColumn<int>("verdict");
    QTest::addColumn<QString>("text"); // %1 the path
    const int serial = int(Kind::Serial), parallel = int(Kind::Parallel);
    const QString notAPort = QStringLiteral("%1 não é uma porta de impressora: ");
    const QString denied = QStringLiteral("Permissão negada em %1: ");
    QTest::newRow("serial line") << serial << "pty" << int(Verdict::Usable)
                                 << "%1 está pronto para uso.";
    QTest::newRow("held exclusively") << serial << "pty exclusive" << int(Verdict::Busy)
                                      << "Porta ocupada em %1: outro programa a está usando.";
    QTest::newRow("group may use it") << serial << "pty 0060" << int(Verdict::NoPermission)
                                      << denied
            + "o usuário precisa pertencer ao grupo dialout (sudo usermod -aG dialout "
              "$USER) e entrar de novo na sessão.";
    QTest::newRow("group may not use it") << serial << "pty 0000" << int(Verdict::NoPermission)
                                          << denied
            + "só root pode usar esse dispositivo; peça ao administrador que dê acesso a ele.";
    QTest::newRow("serial line as LPT1") << parallel << "pty" << int(Verdict::WrongKind)
                                         << "%1 é uma porta serial: escolha-a para COM1 ou COM2.";
    QTest::newRow("FIFO without a writer")
        << parallel << "fifo" << int(Verdict::NotAPort) << notAPort + "é um pipe nomeado (FIFO).";
    QTest::newRow("folder") << serial << "folder" << int(Verdict::NotAPort)
                            << notAPort + "é uma pasta.";
    QTest::newRow("device that is no port")
        << serial << "/dev/null" << int(Verdict::NotAPort)
        << notAPort + "o dispositivo não responde como porta paralela nem serial.";
    QTest::newRow("missing") << parallel << "missing" << int(Verdict::Missing)
                             << "Nenhum dispositivo em %1: confira se a impressora ou o adaptador "
                                "está ligado, ou escolha outro dispositivo.";
}

void TstPortSetup::diagnosesWithoutSendingOrHanging()
{
    QFETCH(int, kind);
    QFETCH(QString, setup);
    QFETCH(int, verdict);
    QFETCH(QString, text);
    QTemporaryDir dir;
    Pty pty;
    QString path = setup.startsWith(QLatin1Char('/')) ? setup : dir.filePath(setup);
    if (setup == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(qPrintable(path), 0666), 0);
    if (setup == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(path));
    if (setup.startsWith(QLatin1String("pty")))
        path = pty.path;
    if (setup.endsWith(QLatin1String("exclusive")))
        QCOMPARE(::ioctl(pty.slave, TIOCEXCL), 0);
    const QString mode = setup.section(QLatin1Char(' '), 1);
    const bool denied = mode.startsWith(QLatin1Char('0'));
    if (denied) { // owned as a serial device usually is: root, group dialout
        const group *dialout = ::getgrnam("dialout");
        QVERIFY(dialout);
        QCOMPARE(::fchown(pty.slave, 0, mode == QLatin1String("0000") ? 0 : dialout->gr_gid), 0);
        QCOMPARE(::fchmod(pty.slave, mode.toUInt(nullptr, 8)), 0);
    }

    const qsizetype descriptors = openDescriptors();
    // Root keeps its override of file permissions unless its filesystem uid changes.
    const int uid = ::setfsuid(denied ? 65534 : ::geteuid());
    const port_diagnosis::Diagnosis d = port_diagnosis::diagnose(Kind(kind), path);
    ::setfsuid(uid);
    QCOMPARE(d.text, text.arg(path));
    QCOMPARE(int(d.verdict), verdict);
    QCOMPARE(openDescriptors(), descriptors);
    QCOMPARE(pty.pending(), 0);
}

void TstPortSetup::testsAPortWithinTheLimit()
{
    Pty pty;
    const QString &path = pty.path;
    const PortSettings settings {
        .lpt1 = path, .lpt2 = path, .com1 = path, .com2 = path, .writeTimeout = 500ms};
    QElapsedTimer clock;
    clock.start();
    const port_diagnosis::PortTest serial = port_diagnosis::testPort(settings, port_code::kCom2);
    QCOMPARE(serial.text,
        QStringLiteral("COM2 abriu e fechou em %1 (9600 bps, 8N1, fluxo por hardware, RTS/CTS). "
                       "Uma porta serial não informa se a impressora está ligada.")
            .arg(path));
    QVERIFY(serial.ok);
    const port_diagnosis::PortTest parallel = port_diagnosis::testPort(settings, port_code::kLpt1);
    QCOMPARE(parallel.text,
        QStringLiteral("Não foi possível ler o estado da impressora em %1: o dispositivo não é "
                       "uma porta de impressora.")
            .arg(path));
    QVERIFY(!parallel.ok);
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(pty.pending(), 0);

    // The program's own hold on a port reads as busy until it lets go.
    PortsLink link(settings);
    QVERIFY(!link.TX(port_code::kCom1, {}).refused());
    QCOMPARE(port_diagnosis::diagnose(Kind::Serial, path).verdict, Verdict::Busy);
    link.closePorts();
    QCOMPARE(port_diagnosis::diagnose(Kind::Serial, path).verdict, Verdict::Usable);
    // The status lines as the operator reads them: bits 7 and 3 are set when all is well.
    QCOMPARE(port_diagnosis::describeStatus(0xD8), QStringLiteral("em linha, com papel, sem erro"));
    QCOMPARE(port_diagnosis::describeStatus(0x70),
        QStringLiteral("em linha, sem papel, com erro, ocupada"));
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

    // What a USB printer says it is: short or long keys, any case, fields in any order.
    const auto id = [](const char *text) {
        const port_discovery::DeviceId parsed = port_discovery::parseDeviceId(text);
        return QStringList {parsed.maker, parsed.model};
    };
    QCOMPARE(id("MFG:ACME;CMD:ESC/P;MDL:DP-20;CLS:PRINTER;"), QStringList({"ACME", "DP-20"}));
    QCOMPARE(id("Model:Caixa 2; manufacturer: Vorel ;"), QStringList({"Vorel", "Caixa 2"}));
    QCOMPARE(id("CMD:PJL;garbage;:;"), QStringList({"", ""}));
}

QTEST_GUILESS_MAIN(TstPortSetup)
#include "tst_port_setup.moc"
