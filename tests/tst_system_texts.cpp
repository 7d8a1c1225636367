#include "core/system_error.h"
#include "printer_link/library_link.h"

#include <QFile>
#include <QLibraryInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

// What the operator reads when the system refuses something: Portuguese, never the system's
// own English text.
class TstSystemTexts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void fileErrors_data();
    void fileErrors();
    void libraryFileProblem_data();
    void libraryFileProblem();
    void libraryPlacesInOrder();

private:
    QTemporaryDir m_dir;
    QTranslator m_qtTexts;
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
};

namespace {

QByteArray ownHeader()
{
    QFile self(QStringLiteral("/proc/self/exe"));
    return self.open(QIODevice::ReadOnly) ? self.read(64) : QByteArray();
}

} // namespace

void TstSystemTexts::initTestCase()
{
    // As the program runs: Qt's own texts in Portuguese.
    QVERIFY(m_qtTexts.load(
        QStringLiteral("qtbase_pt_BR.qm"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&m_qtTexts);
}

void TstSystemTexts::fileErrors_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read a missing file") << false << m_dir.filePath(QStringLiteral("nada.txt"))
                                         << QStringLiteral("o arquivo ou a "
                                                           "pasta não existe");
    QTest::newRow("save over a folder") << true << m_dir.path() << QStringLiteral("é uma pasta");
}

void TstSystemTexts::fileErrors()
{
    QFETCH(bool, save);
    QFETCH(QString, path);
    QFETCH(QString, reason);
    QSaveFile saved(path);
    QFile read(path);
    QFileDevice &file = save ? static_cast<QFileDevice &>(saved) : read;
    QVERIFY(!file.open(save ? QIODevice::WriteOnly : QIODevice::ReadOnly));
    QCOMPARE(system_error::reason(file), reason);
}

void TstSystemTexts::libraryFileProblem_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("problem");
    QByteArray otherSize = ownHeader();
    otherSize[4] = otherSize[4] == 1 ? 2 : 1;
    QByteArray otherMachine = ownHeader();
    otherMachine[18] = char(otherMachine[18] ^ 0x7f);
    QTest::newRow("a real library") << QStringLiteral(FAKE_LIBRARY) << QString();
    QTest::newRow("missing") << m_dir.filePath(QStringLiteral("nada.so"))
                             << QStringLiteral("o arquivo ou a pasta não existe");
    QTest::newRow("a folder") << m_dir.path() << QStringLiteral("é uma pasta");
    QTest::newRow("text") << write(QStringLiteral("texto.so"), "nada aqui")
                          << QStringLiteral("não é uma biblioteca");
    QTest::newRow("other word size")
        << write(QStringLiteral("bits.so"), otherSize)
        << QStringLiteral("é uma biblioteca de %1 bits, e este programa é de %2 bits")
               .arg(otherSize[4] == 1 ? 32 : 64)
               .arg(otherSize[4] == 1 ? 64 : 32);
    QTest::newRow("other processor") << write(QStringLiteral("cpu.so"), otherMachine)
                                     << QStringLiteral("é uma biblioteca para outro tipo de "
                                                       "processador");
}

void TstSystemTexts::libraryFileProblem()
{
    QFETCH(QString, path);
    QFETCH(QString, problem);
    QCOMPARE(library_link::fileProblem(path), problem);
}

void TstSystemTexts::libraryPlacesInOrder()
{
    // Beside the executable: a file that is no library, then one of this machine that the
    // system still refuses; then the system's search.
    write(QStringLiteral("libVorel_Dll.so"), "x");
    const QString cut = write(QStringLiteral("Vorel_Dll.so"), ownHeader());
    const QRegularExpression logged(QStringLiteral("^biblioteca da impressora: "));
    QTest::ignoreMessage(QtWarningMsg, logged); // the file refused
    QTest::ignoreMessage(QtWarningMsg, logged); // the system's search
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    LibraryLink link(QString(), m_dir.path());
    const QString told = link.Estado(888).error;
    QCOMPARE(link.TX(888, "A").error, told); // the system's texts are logged once
    QCOMPARE(told,
        QStringLiteral("Não foi possível carregar a biblioteca da impressora Vorel_Dll. Procurada "
                       "nesta ordem: %1/libVorel_Dll.so: não é uma biblioteca; %2: o sistema não "
                       "conseguiu carregá-la (falta uma biblioteca da qual ela depende, ou o "
                       "arquivo está danificado; o motivo do sistema vai para o registro "
                       "vorel.printer); no caminho de bibliotecas do sistema (%3): não encontrada.")
            .arg(m_dir.path(), cut, library_link::systemFolders().join(QStringLiteral(", "))));
}

QTEST_GUILESS_MAIN(TstSystemTexts)
#include "tst_system_texts.moc"
