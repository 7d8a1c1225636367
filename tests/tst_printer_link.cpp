#include "printer_link/cp1252.h"
#include "printer_link/library_link.h"
#include "printer_link/port_messages.h"
#include "printer_link/ports_link.h"
#include "tests/support/test_helpers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLibrary>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// The printer's end of a port, where the test reads what the link sent: a FIFO for a parallel
// port, a pseudo-terminal pair for a serial one. The link opens `path`.
struct Device
{
    int printer = -1, slave = -1;
    QString path;

    Device(int16_t port, const QTemporaryDir &dir)
        : path(dir.filePath(QStringLiteral("lp0")))
    {
        char name[128] = {};
        if (port == port_code::kCom1 || port == port_code::kCom2) {
            ::openpty(&printer, &slave, name, nullptr, nullptr);
            path = QString::fromLocal8Bit(name);
        } else if (::mkfifo(qPrintable(path), 0600) == 0) {
            printer = ::open(qPrintable(path), O_RDONLY | O_NONBLOCK);
        }
    }
    ~Device()
    {
        ::close(slave);
        ::close(printer);
    }
};

// Reads from `fd` until `count` bytes came or nothing more came for `quiet`.
QByteArray readBytes(int fd, qsizetype count, std::chrono::milliseconds quiet = 1s)
{
    QByteArray got;
    char buffer[1000];
    for (pollfd p {fd, POLLIN, 0}; got.size() < count && ::poll(&p, 1, int(quiet.count())) > 0;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno != EAGAIN))
            break;
        got.append(buffer, qMax<ssize_t>(n, 0));
    }
    return got;
}

// Every port on `path`.
PortSettings settingsWith(const QString &path, std::chrono::milliseconds limit = 2s)
{
    return {.lpt1 = path, .lpt2 = path, .com1 = path, .com2 = path, .writeTimeout = limit};
}

} // namespace

class TstPrinterLink : public QObject
{
    Q_OBJECT
private slots:
    // Qt's own windows-1252 converter is the independent reference. It gives the five bytes
    // cp1252 leaves undefined (81 8D 8F 90 9D) the C1 control of the same number, as we do so
    // that every byte reads back; were it to differ, only there would the two legitimately part.
    void agreesWithQtEveryByteAndCharacter()
    {
        QStringDecoder decoder("windows-1252");
        if (!decoder.isValid())
            QSKIP("This Qt has no windows-1252 converter");
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        const QString text = decoder.decode(all);
        QVERIFY(!decoder.hasError());
        QCOMPARE(cp1252::toUnicode(all), text);
        QCOMPARE(cp1252::fromUnicode(text), all);
        QVERIFY(cp1252::canEncode(text));
        // Every other character of the basic plane is refused by both.
        for (char32_t u = 1; u <= 0xFFFF; ++u) {
            if (QChar::isSurrogate(u))
                continue;
            const QString c(QChar {u});
            QStringEncoder encoder("windows-1252"); // its error state is sticky
            const QByteArray qt = encoder.encode(c);
            QVERIFY2(
                encoder.hasError() != cp1252::canEncode(c), qPrintable(QString::number(u, 16)));
            if (!encoder.hasError())
                QCOMPARE(cp1252::fromUnicode(c), qt);
        }
        // What cp1252 cannot hold, both halves of an emoji too, becomes "?", though the fields
        // never let it in.
        QCOMPARE(cp1252::fromUnicode(QStringLiteral("çłα😀")), QByteArray("\xe7????"));
        QVERIFY(!cp1252::canEncode(QStringLiteral("a😀")));
    }

    void libraryReceivesCountBytesAndTrailingZero_data()
    {
        // Columns: bytes, framed.
        columns<QByteArray, QByteArray>();
        row("text", QByteArray("AB\n"), QByteArray::fromHex("03000000 41420a 00"));
        row("zero bytes inside", QByteArray::fromHex("1b4b2500fe00"),
            QByteArray::fromHex("06000000 1b4b2500fe00 00"));
        row("empty", QByteArray(), QByteArray::fromHex("00000000 00"));
        row("over 64 KiB", QByteArray(70000, 'x'),
            QByteArray::fromHex("70110100") + QByteArray(70000, 'x') + '\0');
    }

    void libraryReceivesCountBytesAndTrailingZero()
    {
        auto [bytes, framed] = fetch<QByteArray, QByteArray>();
        QCOMPARE(library_link::framed(bytes), framed);
        LibraryLink link(QStringLiteral(FAKE_LIBRARY), QString());
        const LinkResult r = link.TX(632, bytes);
        QVERIFY2(!r.callFailed(), qPrintable(r.error));
        // What the library itself saw, read back through its own test entry point.
        using Last = const char *(*)(uint32_t *, int *, int *);
        const auto last = reinterpret_cast<Last>(QLibrary(FAKE_LIBRARY).resolve("fake_last"));
        QVERIFY(last);
        uint32_t count = 0;
        int port = 0, trailingZero = 0;
        const char *received = last(&count, &port, &trailingZero);
        QCOMPARE(QByteArray(received, int(count)), bytes);
        QCOMPARE(port, 632);
        QCOMPARE(trailingZero, 1);
    }

    void resultsComeBackAndMissingPartsAreNamed()
    {
        LibraryLink full(QStringLiteral(FAKE_LIBRARY), QString());
        QCOMPARE(full.Estado(888).value, int16_t(0x90));
        // The fake refuses three-byte commands with -5.
        QVERIFY(full.TX(1, QByteArray("ABC")).refused());
        QCOMPARE(full.TXI(2, QByteArray("x")).value, int16_t(1));

        // Nothing is loaded until the first call; a missing function fails alone.
        const QString partialPath = QStringLiteral(PARTIAL_LIBRARY);
        LibraryLink partial(partialPath, QString());
        QVERIFY(!QLibrary(partialPath).isLoaded());
        QCOMPARE(partial.Estado(888).value, int16_t(0x10));
        QVERIFY(QLibrary(partialPath).isLoaded());
        const LinkResult missing = partial.TXI(888, "A");
        QVERIFY2(missing.callFailed() && missing.error.contains(QStringLiteral("TXI")),
            qPrintable(missing.error));
        QVERIFY(!partial.TX(888, "A").refused());
    }

    void neverLooksInTheWorkingDirectory()
    {
        QCOMPARE(library_link::candidates(QString(), QStringLiteral("/opt/vorel/bin")),
            QStringList({QStringLiteral("/opt/vorel/bin/libVorel_Dll.so"),
                QStringLiteral("/opt/vorel/bin/Vorel_Dll.so"), QStringLiteral("Vorel_Dll")}));
        QCOMPARE(library_link::candidates(QStringLiteral("/x/lib.so"), QStringLiteral("/opt")),
            QStringList {QStringLiteral("/x/lib.so")});
    }

    void statusFromTheDevice_data()
    {
        // Columns: major, raw, shown.
        columns<uint, int, int>();
        QTest::newRow("parallel, bits above 7 dropped") << 6u << 0x1D7 << 0xD7;
        // A USB printer reports bits 3 to 5 only; the rest read as an idle printer's.
        QTest::newRow("usb paper end") << 180u << 0x38 << 0xF8;
        QTest::newRow("usb reserved bits ignored") << 180u << 0xC7 << 0xC0;
    }

    void statusFromTheDevice()
    {
        auto [major, raw, shown] = fetch<uint, int, int>();
        QCOMPARE(int(parallel_port::statusByte(raw, parallel_port::sourceForMajor(major))), shown);
    }

    void failuresNameTheDeviceAndTheReason_data()
    {
        // Columns: port, file, tx, estado, recovers.
        // file: in a folder open to everyone; an absolute path as is
        // tx: how the message starts, %1 the path; empty: sent
        // recovers: once the device appears or the port is let go
        columns<int, QString, QString, QString, bool>();
        const QString missing
            = QStringLiteral("Nenhum dispositivo em %1: confira se a impressora ou "
                             "o adaptador está ligado, ou indique outro caminho com --");
        const QString denied
            = QStringLiteral("Permissão negada em %1: o usuário precisa pertencer ao grupo ");
        const QString serial
            = QStringLiteral("A porta COM1 (%1) é serial e não informa o estado da impressora.");
        QTest::newRow("parallel, missing")
            << 888 << "missing" << missing + "lpt1." << missing + "lpt1." << true;
        QTest::newRow("parallel, no permission")
            << 888 << "denied" << denied + "lp (sudo usermod -aG lp $USER)" << denied + "lp"
            << false;
        QTest::newRow("parallel, not a printer")
            << 888 << "/dev/null" << QString()
            << "Não foi possível ler o estado da impressora em "
               "%1: o dispositivo não é uma porta de impressora."
            << false;
        // Told at once: only the printer drivers' ENOSPC means out of paper, worth waiting on.
        QTest::newRow("parallel, full device")
            << 888 << "/dev/full"
            << "Falha ao enviar os dados para %1: disco ou dispositivo cheio."
            << "Não foi possível ler o estado da impressora em "
               "%1: o dispositivo não é uma porta de impressora."
            << false;
        QTest::newRow("serial, missing") << 1 << "missing" << missing + "com1." << serial << true;
        QTest::newRow("serial, no permission")
            << 1 << "denied" << denied + "dialout (sudo usermod -aG dialout $USER)" << serial
            << false;
        QTest::newRow("serial, held elsewhere")
            << 1 << "busy"
            << "Porta ocupada em %1: outro programa a está usando." << serial << true;
    }

    void failuresNameTheDeviceAndTheReason()
    {
        auto [port, file, tx, estado, recovers] = fetch<int, QString, QString, QString, bool>();
        QTemporaryDir dir;
        QCOMPARE(::chmod(qPrintable(dir.path()), 0711), 0);
        Device device(int16_t(port), dir);
        const QString path
            = file == QLatin1String("busy") ? device.path : QDir(dir.path()).filePath(file);
        if (file == QLatin1String("denied")) // not a single permission bit
            QCOMPARE(::close(::open(qPrintable(path), O_CREAT | O_WRONLY, 0)), 0);
        std::optional<PortsLink> holder; // another program on the same port
        if (file == QLatin1String("busy"))
            QVERIFY(!holder.emplace(settingsWith(path)).TX(int16_t(port), {}).refused());
        PortsLink link(settingsWith(path));
        // Root keeps its override of file permissions unless its filesystem uid changes.
        const int uid = ::setfsuid(file == QLatin1String("denied") ? 65534 : ::geteuid());
        const LinkResult sent = link.TX(int16_t(port), QByteArray("A"));
        const LinkResult status = link.Estado(int16_t(port));
        ::setfsuid(uid);
        QVERIFY2(
            tx.isEmpty() ? !sent.refused() : sent.value < 0 && sent.error.startsWith(tx.arg(path)),
            qPrintable(sent.error));
        QVERIFY2(status.error.startsWith(estado.arg(path)), qPrintable(status.error));

        if (recovers) { // the cable goes in, or the other program lets go
            QVERIFY(holder || QFile::link(device.path, path));
            holder.reset();
            QVERIFY(!link.TXI(int16_t(port), QByteArray::fromHex("1b6f")).refused());
            QCOMPARE(readBytes(device.printer, 2), QByteArray::fromHex("1b6f"));
        }
    }

    void sendsEveryByteWithTheLineSettings_data()
    {
        // Columns: port, speed, flow, baud, rtscts, xonxoff.
        columns<int, int, int, uint, bool, bool>();
        const int none = int(SerialFlow::None), hardware = int(SerialFlow::Hardware);
        QTest::newRow("parallel") << 888 << 9600 << hardware << 0u << false << false;
        QTest::newRow("COM1 default") << 1 << 9600 << hardware << uint(B9600) << true << false;
        QTest::newRow("COM2 no flow control") << 2 << 9600 << none << uint(B9600) << false << false;
        QTest::newRow("COM1 software flow, 19200")
            << 1 << 19200 << int(SerialFlow::Software) << uint(B19200) << false << true;
    }

    // More than the device's buffer takes at once, so the writer waits for room and resumes where
    // it stopped; numbered, so that a part sent twice or skipped shows. Every byte value is in it,
    // zero and line ends included: nothing may be translated on the way.
    void sendsEveryByteWithTheLineSettings()
    {
        auto [port, speed, flow, baud, rtscts, xonxoff] = fetch<int, int, int, uint, bool, bool>();
        QTemporaryDir dir;
        Device device(int16_t(port), dir);
        PortSettings settings = settingsWith(device.path, 5s);
        settings.serialSpeed = speed;
        settings.serialFlow = SerialFlow(flow);
        PortsLink link(settings);
        QByteArray bytes;
        for (int i = 0; bytes.size() < 300000; ++i)
            bytes += QByteArray::number(i) + char(i % 256);
        QByteArray received;
        std::thread printer([&] { received = readBytes(device.printer, bytes.size(), 3s); });
        const LinkResult r = link.TX(int16_t(port), bytes);
        printer.join();
        QVERIFY2(!r.refused(), qPrintable(r.error));
        QCOMPARE(received, bytes);
        if (device.slave < 0)
            return;
        termios t {};
        QCOMPARE(::tcgetattr(device.slave, &t), 0);
        QCOMPARE(uint(::cfgetospeed(&t)), baud);
        QCOMPARE(uint(t.c_cflag & (CSIZE | PARENB | CSTOPB)), uint(CS8));
        QCOMPARE(bool(t.c_cflag & CRTSCTS), rtscts);
        QCOMPARE(uint(t.c_iflag & (IXON | IXOFF)), xonxoff ? uint(IXON | IXOFF) : 0u);
    }

    void writeGivesUpWithinTheLimit_data()
    {
        // Columns: port, message (%1 the path).
        columns<int, QString>();
        const QString late = QStringLiteral("A impressora em %1 não recebeu os dados em 0,3 s");
        const QString partial = QStringLiteral(" A impressora pode ter recebido parte do comando: "
                                               "desligue-a e ligue-a de novo antes de continuar.");
        QTest::newRow("parallel, reader never reads") << 888 << late + "." + partial;
        QTest::newRow("serial, other end never reads")
            << 1 << late + "; confira o cabo e o controle de fluxo (--serial-flow)." + partial;
    }

    void writeGivesUpWithinTheLimit()
    {
        auto [port, message] = fetch<int, QString>();
        QTemporaryDir dir;
        Device device(int16_t(port), dir);
        QElapsedTimer clock;
        clock.start();
        {
            PortsLink link(settingsWith(device.path, 300ms));
            const LinkResult r = link.TX(int16_t(port), QByteArray(1 << 20, 'x'));
            const qint64 elapsed = clock.elapsed();
            QVERIFY(r.value < 0);
            QCOMPARE(r.error, message.arg(device.path));
            QVERIFY2(elapsed >= 280 && elapsed < 1300, qPrintable(QString::number(elapsed)));

            // The printer wakes up: the next command arrives alone, nothing of the one given up.
            // A serial driver's queue is dropped: on a pseudo-terminal, only what the far end's
            // own line buffer (4095 bytes) had taken arrives.
            const qsizetype arrived = readBytes(device.printer, 1 << 20, 0ms).size();
            QVERIFY2(port != 1 || arrived < 4096, qPrintable(QString::number(arrived)));
            QVERIFY(!link.TX(int16_t(port), QByteArray::fromHex("1b6f")).refused());
            QCOMPARE(readBytes(device.printer, 3), QByteArray::fromHex("1b6f"));

            QVERIFY(link.TX(int16_t(port), QByteArray(1 << 20, 'x')).refused());
            clock.restart();
        }
        // Closing a port whose printer is stuck does not wait on it either.
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        // The parallel driver's out-of-paper answer is named; whole seconds show no decimals.
        QCOMPARE(port_messages::timedOut(*port_settings::deviceFor({}, 888), 10s, ENOSPC),
            QStringLiteral("A impressora em /dev/lp0 não recebeu os dados em 10 s (sem papel)."));
    }
};

QTEST_GUILESS_MAIN(TstPrinterLink)
#include "tst_printer_link.moc"
