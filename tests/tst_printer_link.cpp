#include "core/file_name.h"
#include "core/system_error.h"
#include "printer_link/cp1252.h"
#include "printer_link/library_link.h"
#include "printer_link/port_discovery.h"
#include "printer_link/port_messages.h"
#include "printer_link/ports_link.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/support/test_helpers.h"

#include <QElapsedTimer>
#include <QLibrary>
#include <QLibraryInfo>
#include <QSaveFile>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTranslator>
#include <grp.h>
#include <optional>
#include <sys/fsuid.h>
#include <termios.h>
#include <thread>

using namespace std::chrono_literals;
using Kind = PortDevice::Kind;
using port_diagnosis::Verdict;

namespace {

// The printer's end of a port, where the test reads what the link sent: a pseudo-terminal for a
// serial port, a FIFO in a folder of its own for a parallel one.
struct Device
{
    QTemporaryDir dir;
    std::optional<PseudoTerminal> pty;
    std::optional<FifoPrinter> fifo;

    explicit Device(int port)
    {
        if (port_code::isSerial(int16_t(port)))
            pty.emplace();
        else
            fifo.emplace(dir.filePath(QStringLiteral("lp0")));
    }
    [[nodiscard]] QString path() const { return pty ? pty->path : fifo->path; }
    [[nodiscard]] int printer() const { return pty ? pty->master : fifo->reader; }
};

// Every port on `path`.
PortSettings settingsWith(const QString &path, std::chrono::milliseconds limit = 2s)
{
    return {.lpt1 = path, .lpt2 = path, .com1 = path, .com2 = path, .writeTimeout = limit};
}

QByteArray ownHeader()
{
    QFile self(QStringLiteral("/proc/self/exe"));
    return self.open(QIODevice::ReadOnly) ? self.read(64) : QByteArray();
}

qsizetype openDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size();
}

} // namespace

Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(Verdict)
Q_DECLARE_METATYPE(SerialFlow)

// The link to the printer: its library, its ports, and what the operator reads when the system
// refuses something: Portuguese, never the system's own English text.
class TstPrinterLink : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // As the program runs: Qt's own texts in Portuguese.
        QVERIFY(m_qtTexts.load(
            QStringLiteral("qtbase_pt_BR.qm"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        QCoreApplication::installTranslator(&m_qtTexts);
    }

    // Beside the executable: a file that is no library, then one of this machine that the system
    // still refuses; then the system's search. Never the working directory. First, while the
    // system's search cannot find the fake library already loaded.
    void libraryPlacesInOrder()
    {
        QTemporaryDir dir;
        const QDir beside(dir.path());
        writeFile(beside, QStringLiteral("libVorel_Dll.so"), "x");
        writeFile(beside, QStringLiteral("Vorel_Dll.so"), ownHeader());
        const QRegularExpression logged(QStringLiteral("^biblioteca da impressora: "));
        QTest::ignoreMessage(QtWarningMsg, logged); // the file refused
        QTest::ignoreMessage(QtWarningMsg, logged); // the system's search
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        LibraryLink link(QString(), dir.path());
        const QString told = link.Estado(888).error;
        QCOMPARE(link.TX(888, "A").error, told); // the system's texts are logged once
        QCOMPARE(told,
            QStringLiteral(
                "Não foi possível carregar a biblioteca da impressora Vorel_Dll. Procurada "
                "nesta ordem: %1/libVorel_Dll.so: não é uma biblioteca; %1/Vorel_Dll.so: o sistema "
                "não conseguiu carregá-la (falta uma biblioteca da qual ela depende, ou o "
                "arquivo está danificado; o motivo do sistema vai para o registro "
                "vorel.printer); no caminho de bibliotecas do sistema (%2): não encontrada.")
                .arg(dir.path(), library_link::systemFolders().join(QStringLiteral(", "))));
        // A library named on the command line is looked for there alone.
        QCOMPARE(library_link::candidates(QStringLiteral("/x/lib.so"), QStringLiteral("/opt")),
            QStringList {QStringLiteral("/x/lib.so")});
    }

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
        // Columns: bytes.
        columns<QByteArray>();
        row("zero bytes inside", QByteArray::fromHex("1b4b2500fe00"));
        row("empty", QByteArray());
        row("over 64 KiB", QByteArray(70000, 'x'));
    }

    void libraryReceivesCountBytesAndTrailingZero()
    {
        auto [bytes] = fetch<QByteArray>();
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
        // The fake refuses three-byte commands with -5.
        QVERIFY(full.TX(1, QByteArray("ABC")).refused());
        QCOMPARE(full.TXI(2, QByteArray("x")).value, int16_t(1));

        // Nothing is loaded until the first call; a missing function fails alone.
        const QString partialPath = QStringLiteral(PARTIAL_LIBRARY);
        LibraryLink partial(partialPath, QString());
        QVERIFY(!QLibrary(partialPath).isLoaded());
        QCOMPARE(partial.Estado(888).value, int16_t(0x90));
        QVERIFY(QLibrary(partialPath).isLoaded());
        const LinkResult missing = partial.TXI(888, "A");
        QCOMPARE(missing.error,
            "A função TXI não foi encontrada na biblioteca da impressora " + partialPath + ".");
        QVERIFY(!partial.TX(888, "A").refused());
    }

    void libraryFileProblem_data()
    {
        // Columns: name, bytes, problem.
        // name: in the test's folder; "": the fake library
        // bytes: written there first
        columns<QString, QByteArray, QString>();
        QByteArray otherSize = ownHeader();
        otherSize[4] = 1; // a 32-bit library for this 64-bit program
        QByteArray otherMachine = ownHeader();
        otherMachine[18] = char(otherMachine[18] ^ 0x7f);
        row("a real library", QString(), kMissing, QString());
        row("missing", QStringLiteral("nada.so"), kMissing, "o arquivo ou a pasta não existe");
        row("a folder", QStringLiteral("."), kMissing, "é uma pasta");
        row("other word size", QStringLiteral("bits.so"), otherSize,
            "é uma biblioteca de 32 bits, e este programa é de 64 bits");
        row("other processor", QStringLiteral("cpu.so"), otherMachine,
            "é uma biblioteca para outro tipo de processador");
    }

    void libraryFileProblem()
    {
        auto [name, bytes, problem] = fetch<QString, QByteArray, QString>();
        writeFile(QDir(m_dir.path()), name, bytes);
        const QString path = name.isEmpty() ? QStringLiteral(FAKE_LIBRARY) : m_dir.filePath(name);
        QCOMPARE(library_link::fileProblem(path), problem);
    }

    void qtFileErrorsInPortuguese_data()
    {
        // Columns: save, name, reason.
        columns<bool, QString, QString>();
        row("read a missing file", false, QStringLiteral("nada.txt"),
            "o arquivo ou a pasta não existe");
        row("save over a folder", true, QString(), "é uma pasta");
    }

    void qtFileErrorsInPortuguese()
    {
        auto [save, name, reason] = fetch<bool, QString, QString>();
        const QString path = QDir(m_dir.path()).filePath(name);
        QSaveFile saved(path);
        QFile read(path);
        QFileDevice &file = save ? static_cast<QFileDevice &>(saved) : read;
        QVERIFY(!file.open(save ? QIODevice::WriteOnly : QIODevice::ReadOnly));
        QCOMPARE(system_error::reason(file), reason);
    }

    void namesThatAreNoUtf8_data()
    {
        // Columns: port (0: the library).
        columns<int>();
        row("serial line", 1);
        row("parallel port", 888);
        row("library", 0);
    }

    // A Latin-1 "é", a "ç" in UTF-8 and a cut sequence, as a command line hands them over.
    void namesThatAreNoUtf8()
    {
        auto [port] = fetch<int>();
        QTemporaryDir dir;
        const QByteArray name = QFile::encodeName(dir.path()) + "/impressora\xe9-\xc3\xa7\xe2\x82";
        const QString path = file_name::decode(name);
        QCOMPARE(file_name::encode(path), name);
        const auto removed = qScopeGuard([&name] { ::unlink(name); }); // Qt's cleanup cannot
        if (port == 0) {
            QCOMPARE(::symlink(FAKE_LIBRARY, name), 0);
            const LinkResult status = LibraryLink(path, QString()).Estado(888);
            QVERIFY2(!status.callFailed(), qPrintable(status.error));
            QCOMPARE(status.value, int16_t(0x90));
            return;
        }
        Device device(port);
        // The FIFO moves to the odd name; the serial line is reached through a link of that name.
        const QByteArray at = QFile::encodeName(device.path());
        QCOMPARE(device.pty ? ::symlink(at, name) : ::rename(at, name), 0);
        PortsLink link(settingsWith(path));
        const LinkResult sent = link.TX(int16_t(port), "AB");
        QVERIFY2(!sent.refused(), qPrintable(sent.error));
        QCOMPARE(readFrom(device.printer(), 2), QByteArray("AB"));
    }

    void statusFromTheDevice_data()
    {
        // Columns: major, raw, shown.
        columns<uint, int, int>();
        row("parallel, bits above 7 dropped", 6u, 0x1D7, 0xD7);
        // A USB printer reports bits 3 to 5 only; the rest read as an idle printer's.
        row("usb paper end", 180u, 0x38, 0xF8);
        row("usb reserved bits ignored", 180u, 0xC7, 0xC0);
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
        const QString missing = "Nenhum dispositivo em %1: confira se a impressora ou o adaptador "
                                "está ligado, ou indique outro caminho com --lpt1.";
        const QString serial = "A porta COM1 (%1) é serial e não informa o estado da impressora.";
        const QString notAPrinter = "Não foi possível ler o estado da impressora em %1: o "
                                    "dispositivo não é uma porta de impressora.";
        row("parallel, missing", 888, "missing", missing, missing, true);
        // Told at once: only the printer drivers' ENOSPC means out of paper, worth waiting on.
        row("parallel, full device", 888, "/dev/full",
            "Falha ao enviar os dados para %1: disco ou dispositivo cheio.", notAPrinter, false);
        row("serial, no permission", 1, "denied",
            "Permissão negada em %1: o usuário precisa pertencer ao grupo dialout (sudo usermod "
            "-aG dialout $USER)",
            serial, false);
        row("serial, held elsewhere", 1, "busy",
            "Porta ocupada em %1: outro programa a está usando.", serial, true);
    }

    void failuresNameTheDeviceAndTheReason()
    {
        auto [port, file, tx, estado, recovers] = fetch<int, QString, QString, QString, bool>();
        Device device(port);
        QCOMPARE(::chmod(qPrintable(device.dir.path()), 0711), 0);
        const QString path = file == QLatin1String("busy") ? device.path()
                                                           : QDir(device.dir.path()).filePath(file);
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
            QVERIFY(holder || QFile::link(device.path(), path));
            holder.reset();
            QVERIFY(!link.TXI(int16_t(port), QByteArray::fromHex("1b6f")).refused());
            QCOMPARE(readFrom(device.printer(), 2), QByteArray::fromHex("1b6f"));
        }
    }

    void sendsEveryByteWithTheLineSettings_data()
    {
        // Columns: port, speed, flow, baud, rtscts, xonxoff.
        columns<int, int, SerialFlow, uint, bool, bool>();
        row("parallel", 888, 9600, SerialFlow::Hardware, 0u, false, false);
        row("COM1 default", 1, 9600, SerialFlow::Hardware, uint(B9600), true, false);
        row("COM2 no flow control", 2, 9600, SerialFlow::None, uint(B9600), false, false);
        row("COM1 software flow, 19200", 1, 19200, SerialFlow::Software, uint(B19200), false, true);
    }

    // More than the device's buffer takes at once, so the writer waits for room and resumes where
    // it stopped; numbered, so that a part sent twice or skipped shows. Every byte value is in it,
    // zero and line ends included: nothing may be translated on the way.
    void sendsEveryByteWithTheLineSettings()
    {
        auto [port, speed, flow, baud, rtscts, xonxoff]
            = fetch<int, int, SerialFlow, uint, bool, bool>();
        Device device(port);
        PortSettings settings = settingsWith(device.path(), 5s);
        settings.serialSpeed = speed;
        settings.serialFlow = flow;
        PortsLink link(settings);
        QByteArray bytes;
        for (int i = 0; bytes.size() < 300000; ++i)
            bytes += QByteArray::number(i) + char(i % 256);
        QByteArray received;
        std::thread printer([&] { received = readFrom(device.printer(), bytes.size(), 3s); });
        const LinkResult r = link.TX(int16_t(port), bytes);
        printer.join();
        QVERIFY2(!r.refused(), qPrintable(r.error));
        QCOMPARE(received, bytes);
        if (!device.pty)
            return;
        termios t {};
        QCOMPARE(::tcgetattr(device.pty->slave, &t), 0);
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
        row("parallel, reader never reads", 888, late + "." + partial);
        row("serial, other end never reads", 1,
            late + "; confira o cabo e o controle de fluxo (--serial-flow)." + partial);
    }

    void writeGivesUpWithinTheLimit()
    {
        auto [port, message] = fetch<int, QString>();
        Device device(port);
        QElapsedTimer clock;
        clock.start();
        {
            PortsLink link(settingsWith(device.path(), 300ms));
            const LinkResult r = link.TX(int16_t(port), QByteArray(1 << 20, 'x'));
            const qint64 elapsed = clock.elapsed();
            QVERIFY(r.value < 0);
            QCOMPARE(r.error, message.arg(device.path()));
            QVERIFY2(elapsed >= 280 && elapsed < 1300, qPrintable(QString::number(elapsed)));

            // The printer wakes up: the next command arrives alone, nothing of the one given up.
            // A serial driver's queue is dropped: on a pseudo-terminal, only what the far end's
            // own line buffer (4095 bytes) had taken arrives.
            const qsizetype arrived = readFrom(device.printer(), 1 << 20, 0ms).size();
            QVERIFY2(port != 1 || arrived < 4096, qPrintable(QString::number(arrived)));
            QVERIFY(!link.TX(int16_t(port), QByteArray::fromHex("1b6f")).refused());
            QCOMPARE(readFrom(device.printer(), 3, 1s), QByteArray::fromHex("1b6f"));

            QVERIFY(link.TX(int16_t(port), QByteArray(1 << 20, 'x')).refused());
            clock.restart();
        }
        // Closing a port whose printer is stuck does not wait on it either.
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        // The parallel driver's out-of-paper answer is named; whole seconds show no decimals.
        QCOMPARE(port_messages::timedOut(*port_settings::deviceFor({}, 888), 10s, ENOSPC),
            QStringLiteral("A impressora em /dev/lp0 não recebeu os dados em 10 s (sem papel)."));
    }

    void diagnosesWithoutSendingOrHanging_data()
    {
        // Columns: kind, setup, verdict, text.
        // setup: a pty with what is done to it, or what is at the path
        // text: %1 the path
        columns<Kind, QString, Verdict, QString>();
        const QString notAPort = QStringLiteral("%1 não é uma porta de impressora: ");
        const QString denied = QStringLiteral("Permissão negada em %1: ");
        row("serial line", Kind::Serial, "pty", Verdict::Usable, "%1 está pronto para uso.");
        row("held exclusively", Kind::Serial, "pty exclusive", Verdict::Busy,
            "Porta ocupada em %1: outro programa a está usando.");
        row("group may use it", Kind::Serial, "pty 0060", Verdict::NoPermission,
            denied
                + "o usuário precisa pertencer ao grupo dialout (sudo usermod -aG dialout $USER) "
                  "e entrar de novo na sessão.");
        row("group may not use it", Kind::Serial, "pty 0000", Verdict::NoPermission,
            denied
                + "só root pode usar esse dispositivo; peça ao administrador que dê acesso a "
                  "ele.");
        row("serial line as LPT1", Kind::Parallel, "pty", Verdict::WrongKind,
            "%1 é uma porta serial: escolha-a para COM1 ou COM2.");
        row("FIFO without a writer", Kind::Parallel, "fifo", Verdict::NotAPort,
            notAPort + "é um pipe nomeado (FIFO).");
        row("device that is no port", Kind::Serial, "/dev/null", Verdict::NotAPort,
            notAPort + "o dispositivo não responde como porta paralela nem serial.");
        row("missing", Kind::Parallel, "missing", Verdict::Missing,
            "Nenhum dispositivo em %1: confira se a impressora ou o adaptador está ligado, ou "
            "escolha outro dispositivo.");
    }

    void diagnosesWithoutSendingOrHanging()
    {
        auto [kind, setup, verdict, text] = fetch<Kind, QString, Verdict, QString>();
        QTemporaryDir dir;
        PseudoTerminal pty;
        QString path = setup.startsWith(QLatin1Char('/')) ? setup : dir.filePath(setup);
        if (setup == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(qPrintable(path), 0666), 0);
        if (setup.startsWith(QLatin1String("pty")))
            path = pty.path;
        if (setup.endsWith(QLatin1String("exclusive")))
            QCOMPARE(::ioctl(pty.slave, TIOCEXCL), 0);
        const QString mode = setup.section(QLatin1Char(' '), 1);
        const bool denied = mode.startsWith(QLatin1Char('0'));
        if (denied) { // owned as a serial device usually is: root, group dialout
            const group *dialout = ::getgrnam("dialout");
            QVERIFY(dialout);
            QCOMPARE(
                ::fchown(pty.slave, 0, mode == QLatin1String("0000") ? 0 : dialout->gr_gid), 0);
            QCOMPARE(::fchmod(pty.slave, mode.toUInt(nullptr, 8)), 0);
        }

        const qsizetype descriptors = openDescriptors();
        // Root keeps its override of file permissions unless its filesystem uid changes.
        const int uid = ::setfsuid(denied ? 65534 : ::geteuid());
        const port_diagnosis::Diagnosis d = port_diagnosis::diagnose(kind, path);
        ::setfsuid(uid);
        QCOMPARE(d.text, text.arg(path));
        QCOMPARE(d.verdict, verdict);
        QCOMPARE(openDescriptors(), descriptors);
        QCOMPARE(pty.pending(), 0);
    }

    void testsAPortWithinTheLimit()
    {
        PseudoTerminal pty;
        const PortSettings settings = settingsWith(pty.path, 500ms);
        QElapsedTimer clock;
        clock.start();
        const port_diagnosis::PortTest serial
            = port_diagnosis::testPort(settings, port_code::kCom2);
        QCOMPARE(serial.text,
            QStringLiteral(
                "COM2 abriu e fechou em %1 (9600 bps, 8N1, fluxo por hardware, RTS/CTS). "
                "Uma porta serial não informa se a impressora está ligada.")
                .arg(pty.path));
        QVERIFY(serial.ok);
        const port_diagnosis::PortTest parallel
            = port_diagnosis::testPort(settings, port_code::kLpt1);
        QCOMPARE(parallel.text,
            QStringLiteral("Não foi possível ler o estado da impressora em %1: o dispositivo não é "
                           "uma porta de impressora.")
                .arg(pty.path));
        QVERIFY(!parallel.ok);
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(pty.pending(), 0);

        // The program's own hold on a port reads as busy until it lets go.
        PortsLink link(settings);
        QVERIFY(!link.TX(port_code::kCom1, {}).refused());
        QCOMPARE(port_diagnosis::diagnose(Kind::Serial, pty.path).verdict, Verdict::Busy);
        link.closePorts();
        QCOMPARE(port_diagnosis::diagnose(Kind::Serial, pty.path).verdict, Verdict::Usable);
        // The status lines as the operator reads them: bits 7 and 3 are set when all is well.
        QCOMPARE(
            port_diagnosis::describeStatus(0xD8), QStringLiteral("em linha, com papel, sem erro"));
        QCOMPARE(port_diagnosis::describeStatus(0x70),
            QStringLiteral("em linha, sem papel, com erro, ocupada"));
    }

    void findsThePortsOfThisMachine()
    {
        QTemporaryDir dev;
        QVERIFY(QDir(dev.path()).mkdir(QStringLiteral("usb")));
        for (const char *name : {"lp10", "lp2", "lp1", "lpx", "usb/lp0", "parport0", "ttyS0"})
            writeFile(QDir(dev.path()), QString::fromLatin1(name), {});
        QStringList paths;
        for (const port_discovery::Found &f : port_discovery::parallelPorts(dev.path())) {
            QCOMPARE(f.label, f.path); // plain files have no device ID
            QCOMPARE(f.diagnosis.verdict, Verdict::NotAPort);
            paths << QDir(dev.path()).relativeFilePath(f.path);
        }
        QCOMPARE(paths, QStringList({"lp1", "lp2", "lp10", "usb/lp0", "parport0"}));

        PseudoTerminal pty;
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

private:
    QTemporaryDir m_dir;
    QTranslator m_qtTexts;
};

QTEST_GUILESS_MAIN(TstPrinterLink)
#include "tst_printer_link.moc"
