#include "app/printer_link/parallel_port.h"
#include "app/printer_link/port_messages.h"
#include "app/printer_link/ports_link.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// A pseudo-terminal pair: the link opens the slave as its serial port, the test reads the
// master as the printer would.
struct Pty
{
    int master = -1;
    int slave = -1;
    QString path;

    Pty()
    {
        char name[128] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            path = QString::fromLocal8Bit(name);
            ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        }
    }
    ~Pty()
    {
        if (slave >= 0)
            ::close(slave);
        if (master >= 0)
            ::close(master);
    }
};

// Reads from `fd` until `count` bytes came or nothing more came for a second.
QByteArray readBytes(int fd, qsizetype count)
{
    QByteArray got;
    char buffer[4096];
    while (got.size() < count) {
        pollfd p {fd, POLLIN, 0};
        if (::poll(&p, 1, 1000) <= 0)
            break;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.append(buffer, n);
    }
    return got;
}

// Throws away whatever is waiting to be read.
void drain(int fd)
{
    char buffer[65536];
    while (::read(fd, buffer, sizeof buffer) > 0) { }
}

// Open calls in its scope are checked as an unprivileged user, even when the tests run as
// root: root loses its file-permission override with a non-zero filesystem uid.
class AsNobody
{
public:
    AsNobody()
        : m_previous(::setfsuid(65534))
    { }
    ~AsNobody() { ::setfsuid(m_previous); }

private:
    int m_previous;
};

PortSettings settingsWith(int16_t port, const QString &path, std::chrono::milliseconds limit = 2s)
{
    PortSettings s;
    s.writeTimeout = limit;
    (port == 888 ? s.lpt1 : port == 632 ? s.lpt2 : port == 1 ? s.com1 : s.com2) = path;
    return s;
}

// Every byte value once, zero and line ends included: nothing may be translated on the way.
QByteArray allByteValues()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    return bytes;
}

} // namespace

class TstPortsLink : public QObject
{
    Q_OBJECT
private slots:
    void statusFromTheDevice_data();
    void statusFromTheDevice();
    void openFailureMessages_data();
    void openFailureMessages();
    void timeOutMessage_data();
    void timeOutMessage();

    void openFailsWithTheReason_data();
    void openFailsWithTheReason();
    void serialPortHeldElsewhereIsBusy();
    void failedPortIsOpenedAgainNextCall_data();
    void failedPortIsOpenedAgainNextCall();
    void statusOfSomethingNotAPrinter_data();
    void statusOfSomethingNotAPrinter();
    void noStatusFromSerialOrUnknownPorts_data();
    void noStatusFromSerialOrUnknownPorts();

    void serialSendsExactBytesWithTheLineSettings_data();
    void serialSendsExactBytesWithTheLineSettings();
    void parallelSendsEveryByteToASlowReader();
    void writeGivesUpWithinTheLimit_data();
    void writeGivesUpWithinTheLimit();
};

void TstPortsLink::statusFromTheDevice_data()
{
    QTest::addColumn<uint>("major");
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("shown");
    QTest::newRow("parallel idle") << 6u << 0xD8 << 0xD8;
    QTest::newRow("parallel busy, paper end") << 6u << 0x38 << 0x38;
    QTest::newRow("parallel, bits above 7 dropped") << 6u << 0x1D7 << 0xD7;
    QTest::newRow("usb ready") << 180u << 0x18 << 0xD8;
    QTest::newRow("usb paper end") << 180u << 0x38 << 0xF8;
    QTest::newRow("usb error line low") << 180u << 0x10 << 0xD0;
    QTest::newRow("usb off line") << 180u << 0x08 << 0xC8;
    QTest::newRow("usb nothing set") << 180u << 0x00 << 0xC0;
    QTest::newRow("usb reserved bits ignored") << 180u << 0xC7 << 0xC0;
}

void TstPortsLink::statusFromTheDevice()
{
    QFETCH(uint, major);
    QFETCH(int, raw);
    QFETCH(int, shown);
    QCOMPARE(int(parallel_port::statusByte(raw, parallel_port::sourceForMajor(major))), shown);
}

void TstPortsLink::openFailureMessages_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("errnum");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("hint");
    QTest::newRow("parallel denied") << 888 << EACCES << "Permissão negada em /dev/x: "
                                     << "sudo usermod -aG lp $USER";
    QTest::newRow("serial denied") << 2 << EPERM << "Permissão negada em /dev/x: "
                                   << "sudo usermod -aG dialout $USER";
    QTest::newRow("through a file") << 1 << ENOTDIR << "Nenhum dispositivo em /dev/x: "
                                    << "outro caminho com --com1";
    QTest::newRow("no such port") << 1 << ENXIO << "Dispositivo ausente em /dev/x: "
                                  << "--com1";
    QTest::newRow("busy") << 888 << EBUSY << "Porta ocupada em /dev/x: "
                          << "outro programa";
    QTest::newRow("other") << 888 << EISDIR << "Não foi possível abrir /dev/x: "
                           << "pasta";
}

void TstPortsLink::openFailureMessages()
{
    QFETCH(int, port);
    QFETCH(int, errnum);
    QFETCH(QString, start);
    QFETCH(QString, hint);
    PortDevice device = *port_settings::deviceFor(PortSettings {}, int16_t(port));
    device.path = QStringLiteral("/dev/x");
    const QString text = port_messages::openFailed(device, errnum);
    QVERIFY2(text.startsWith(start), qPrintable(text));
    QVERIFY2(text.contains(hint), qPrintable(text));
}

void TstPortsLink::timeOutMessage_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("ms");
    QTest::addColumn<int>("errnum");
    QTest::addColumn<QString>("text");
    QTest::newRow("default limit")
        << 888 << 10000 << 0 << "A impressora em /dev/lp0 não recebeu os dados em 10 s.";
    QTest::newRow("out of paper") << 632 << 300 << ENOSPC
                                  << "A impressora em /dev/lp1 não recebeu os dados em 0,3 s "
                                     "(sem papel).";
    QTest::newRow("serial") << 1 << 2500 << 0
                            << "A impressora em /dev/ttyS0 não recebeu os dados em 2,5 s; "
                               "confira o cabo e o controle de fluxo (--serial-flow).";
}

void TstPortsLink::timeOutMessage()
{
    QFETCH(int, port);
    QFETCH(int, ms);
    QFETCH(int, errnum);
    QFETCH(QString, text);
    const PortDevice device = *port_settings::deviceFor(PortSettings {}, int16_t(port));
    QCOMPARE(port_messages::timedOut(device, std::chrono::milliseconds(ms), errnum), text);
}

void TstPortsLink::openFailsWithTheReason_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("start");
    for (int port : {888, 1}) {
        const QByteArray kind = port == 888 ? "parallel" : "serial";
        QTest::newRow((kind + " missing").constData()) << port << "missing"
                                                       << "Nenhum dispositivo em";
        QTest::newRow((kind + " inside a file").constData()) << port << "inside a file"
                                                             << "Nenhum dispositivo em";
        QTest::newRow((kind + " denied").constData()) << port << "denied"
                                                      << "Permissão negada em";
    }
}

void TstPortsLink::openFailsWithTheReason()
{
    QFETCH(int, port);
    QFETCH(QString, situation);
    QFETCH(QString, start);
    QTemporaryDir dir;
    // Open to everyone, so only the device itself refuses.
    QVERIFY(QFile::setPermissions(dir.path(),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
            | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
            | QFileDevice::ExeOther));
    const QString file = dir.filePath(QStringLiteral("device"));
    QFile create(file);
    QVERIFY(create.open(QIODevice::WriteOnly));
    create.close();
    QVERIFY(QFile::setPermissions(file, {}));
    const QString path = situation == QLatin1String("missing") ? dir.filePath(QStringLiteral("lp9"))
        : situation == QLatin1String("inside a file")          ? file + QStringLiteral("/lp0")
                                                               : file;

    PortsLink link(settingsWith(int16_t(port), path));
    LinkResult r;
    {
        AsNobody nobody;
        r = link.TX(int16_t(port), QByteArray("A"));
    }
    QVERIFY(r.value < 0);
    QVERIFY(r.refused());
    QVERIFY2(r.error.startsWith(start + QLatin1Char(' ') + path + QLatin1Char(':')),
        qPrintable(r.error));
    if (port == 888) {
        AsNobody nobody;
        const LinkResult status = link.Estado(888);
        QVERIFY2(status.error.startsWith(start), qPrintable(status.error));
    }
}

void TstPortsLink::serialPortHeldElsewhereIsBusy()
{
    Pty pty;
    QVERIFY(!pty.path.isEmpty());
    PortsLink first(settingsWith(2, pty.path));
    PortsLink second(settingsWith(2, pty.path));
    QVERIFY(!first.TX(2, QByteArray("A")).refused());
    const LinkResult r = second.TX(2, QByteArray("B"));
    QVERIFY(r.value < 0);
    QVERIFY2(r.error.startsWith(QStringLiteral("Porta ocupada em %1: ").arg(pty.path)),
        qPrintable(r.error));
    QCOMPARE(readBytes(pty.master, 2), QByteArray("A"));
}

void TstPortsLink::failedPortIsOpenedAgainNextCall_data()
{
    QTest::addColumn<int>("port");
    QTest::newRow("parallel") << 632;
    QTest::newRow("serial") << 2;
}

void TstPortsLink::failedPortIsOpenedAgainNextCall()
{
    QFETCH(int, port);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("printer"));
    Pty pty;
    QVERIFY(!pty.path.isEmpty());
    PortsLink link(settingsWith(int16_t(port), path));

    QVERIFY(link.TX(int16_t(port), QByteArray("A")).refused());
    // The cable goes in: the device appears where the link looks for it.
    QVERIFY(QFile::link(pty.path, path));
    const LinkResult r = link.TX(int16_t(port), QByteArray::fromHex("1b6f"));
    QVERIFY2(!r.refused(), qPrintable(r.error));
    QCOMPARE(readBytes(pty.master, 2), QByteArray::fromHex("1b6f"));
    // Kept open: a second command goes the same way.
    QVERIFY(!link.TX(int16_t(port), QByteArray::fromHex("41")).refused());
    QCOMPARE(readBytes(pty.master, 1), QByteArray::fromHex("41"));
}

void TstPortsLink::statusOfSomethingNotAPrinter_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("null device") << QStringLiteral("/dev/null");
    QTest::newRow("regular file") << QString();
}

void TstPortsLink::statusOfSomethingNotAPrinter()
{
    QFETCH(QString, path);
    QTemporaryDir dir;
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("lp0"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    PortsLink link(settingsWith(888, path));
    for (int call = 0; call < 2; ++call) {
        const LinkResult r = link.Estado(888);
        QVERIFY(r.callFailed());
        QCOMPARE(r.error,
            QStringLiteral("Não foi possível ler o estado da impressora em %1: o dispositivo não "
                           "é uma porta de impressora.")
                .arg(path));
    }
}

void TstPortsLink::noStatusFromSerialOrUnknownPorts_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("error");
    QTest::newRow("COM1") << 1
                          << "A porta COM1 (/dev/ttyS0) é serial e não informa o estado da "
                             "impressora.";
    QTest::newRow("COM2") << 2
                          << "A porta COM2 (/dev/ttyS1) é serial e não informa o estado da "
                             "impressora.";
    QTest::newRow("unknown") << 889 << "Porta desconhecida: 889 (use 888, 632, 1 ou 2).";
}

void TstPortsLink::noStatusFromSerialOrUnknownPorts()
{
    QFETCH(int, port);
    QFETCH(QString, error);
    PortsLink link {PortSettings {}};
    const LinkResult r = link.Estado(int16_t(port));
    QCOMPARE(r.error, error);
}

void TstPortsLink::serialSendsExactBytesWithTheLineSettings_data()
{
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("flow");
    QTest::addColumn<uint>("baud");
    QTest::addColumn<bool>("rtscts");
    QTest::addColumn<bool>("xonxoff");
    QTest::newRow("default: 9600, hardware")
        << 9600 << int(SerialFlow::Hardware) << uint(B9600) << true << false;
    QTest::newRow("no flow control")
        << 9600 << int(SerialFlow::None) << uint(B9600) << false << false;
    QTest::newRow("software flow, 19200")
        << 19200 << int(SerialFlow::Software) << uint(B19200) << false << true;
    QTest::newRow("115200") << 115200 << int(SerialFlow::Hardware) << uint(B115200) << true
                            << false;
}

void TstPortsLink::serialSendsExactBytesWithTheLineSettings()
{
    QFETCH(int, speed);
    QFETCH(int, flow);
    QFETCH(uint, baud);
    QFETCH(bool, rtscts);
    QFETCH(bool, xonxoff);
    Pty pty;
    QVERIFY(!pty.path.isEmpty());
    PortSettings settings = settingsWith(1, pty.path);
    settings.serialSpeed = speed;
    settings.serialFlow = SerialFlow(flow);
    PortsLink link(settings);

    const QByteArray bytes = allByteValues();
    const LinkResult r = link.TX(1, bytes);
    QVERIFY2(!r.refused(), qPrintable(r.error));
    QCOMPARE(readBytes(pty.master, bytes.size()), bytes);
    QCOMPARE(link.TXI(1, QByteArray::fromHex("1b2e")).value, int16_t(0));
    QCOMPARE(readBytes(pty.master, 2), QByteArray::fromHex("1b2e"));

    termios t {};
    QCOMPARE(::tcgetattr(pty.slave, &t), 0);
    QCOMPARE(uint(::cfgetospeed(&t)), baud);
    QCOMPARE(uint(t.c_cflag & CSIZE), uint(CS8));
    QCOMPARE(bool(t.c_cflag & PARENB), false);
    QCOMPARE(bool(t.c_cflag & CSTOPB), false);
    QCOMPARE(bool(t.c_cflag & CRTSCTS), rtscts);
    QCOMPARE(bool(t.c_iflag & IXON), xonxoff);
    QCOMPARE(bool(t.c_iflag & IXOFF), xonxoff);
}

void TstPortsLink::parallelSendsEveryByteToASlowReader()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("lp0"));
    QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const int reader = ::open(fifo.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);

    // More than the pipe holds, so the writer must wait for room and resume where it stopped.
    // Numbered, so a part sent twice or skipped shows.
    QByteArray bytes;
    for (int i = 0; bytes.size() < 300000; ++i)
        bytes += QByteArray::number(i) + allByteValues();
    QByteArray received;
    std::thread printer([&] {
        char buffer[1000];
        while (received.size() < bytes.size()) {
            pollfd p {reader, POLLIN, 0};
            if (::poll(&p, 1, 3000) <= 0)
                break;
            const ssize_t n = ::read(reader, buffer, sizeof buffer);
            if (n < 0 && errno == EAGAIN)
                continue;
            if (n <= 0)
                break;
            received.append(buffer, n);
            std::this_thread::sleep_for(20us);
        }
    });
    PortsLink link(settingsWith(888, fifo, 5s));
    const LinkResult r = link.TX(888, bytes);
    printer.join();
    ::close(reader);
    QVERIFY2(!r.refused(), qPrintable(r.error));
    QCOMPARE(r.value, int16_t(0));
    QCOMPARE(received.size(), bytes.size());
    QVERIFY(received == bytes);
}

void TstPortsLink::writeGivesUpWithinTheLimit_data()
{
    QTest::addColumn<int>("port");
    QTest::newRow("parallel, reader never reads") << 888;
    QTest::newRow("serial, other end never reads") << 1;
}

void TstPortsLink::writeGivesUpWithinTheLimit()
{
    QFETCH(int, port);
    QTemporaryDir dir;
    Pty pty;
    QVERIFY(!pty.path.isEmpty());
    QString path = pty.path;
    int reader = -1;
    if (port == 888) {
        path = dir.filePath(QStringLiteral("lp0"));
        QCOMPARE(::mkfifo(path.toLocal8Bit().constData(), 0600), 0);
        reader = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
    }
    const int printer = port == 888 ? reader : pty.master;
    QElapsedTimer clock;
    clock.start();
    {
        PortsLink link(settingsWith(int16_t(port), path, 300ms));
        const LinkResult r = link.TX(int16_t(port), QByteArray(1 << 20, 'x'));
        const qint64 elapsed = clock.elapsed();
        QVERIFY(r.value < 0);
        QVERIFY(r.refused());
        QVERIFY2(r.error.startsWith(
                     QStringLiteral("A impressora em %1 não recebeu os dados em 0,3 s").arg(path)),
            qPrintable(r.error));
        QVERIFY2(elapsed >= 280, qPrintable(QString::number(elapsed)));
        QVERIFY2(elapsed < 1300, qPrintable(QString::number(elapsed)));

        // The printer wakes up: the next command arrives alone, nothing of the one given up.
        drain(printer);
        const LinkResult next = link.TX(int16_t(port), QByteArray::fromHex("1b6f"));
        QVERIFY2(!next.refused(), qPrintable(next.error));
        QCOMPARE(readBytes(printer, 3), QByteArray::fromHex("1b6f"));

        QVERIFY(link.TX(int16_t(port), QByteArray(1 << 20, 'x')).refused());
        clock.restart();
    }
    // Closing a port whose printer is stuck does not wait on it either.
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    if (reader >= 0)
        ::close(reader);
}

QTEST_GUILESS_MAIN(TstPortsLink)
#include "tst_ports_link.moc"
