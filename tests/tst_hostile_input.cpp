#include "auth/monitored_authentication.h"
#include "core/file_name.h"
#include "printer_link/library_link.h"
#include "printer_link/ports_link.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/support/test_services.h"

#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

class NeverWaits : public monitored_authentication::Waiter
{
public:
    [[nodiscard]] bool keepWaiting() override { return false; }
};

} // namespace

// What careless hands and hostile surroundings give the program: odd names, broken libraries,
// odd pastes, impatient clicks.
class TstHostileInput : public QObject
{
    Q_OBJECT
private slots:
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
        if (port == 0) {
            QCOMPARE(::symlink(FAKE_LIBRARY, name), 0);
            LibraryLink link(path, QString());
            const LinkResult status = link.Estado(888);
            QVERIFY2(!status.callFailed(), qPrintable(status.error));
            QCOMPARE(status.value, int16_t(0x90));
            return;
        }
        PseudoTerminal pty;
        int printer = pty.master;
        if (port == 1) {
            QCOMPARE(::symlink(QFile::encodeName(pty.path), name), 0);
        } else {
            QCOMPARE(::mkfifo(name, 0600), 0);
            printer = ::open(name, O_RDONLY | O_NONBLOCK);
        }
        PortsLink link({.lpt1 = path, .com1 = path});
        const LinkResult sent = link.TX(int16_t(port), "AB");
        QVERIFY2(!sent.refused(), qPrintable(sent.error));
        char got[3] = {};
        QCOMPARE(::read(printer, got, sizeof got), ssize_t(2));
        QCOMPARE(QByteArray(got), QByteArray("AB"));
        if (printer != pty.master)
            ::close(printer);
    }

    void missingTxiIsNamedOnce()
    {
        LibraryLink link(QStringLiteral(PARTIAL_LIBRARY), QString());
        NeverWaits waiter;
        const auto result = monitored_authentication::run(
            link, [] { return 888; }, [] { return QStringLiteral("AB"); }, waiter);
        QCOMPARE(monitored_authentication::message(result),
            QStringLiteral("A função TXI não foi encontrada na biblioteca da impressora %1.")
                .arg(PARTIAL_LIBRARY));
    }
};

QTEST_MAIN(TstHostileInput)
#include "tst_hostile_input.moc"
