#include "virtual_printer/command_decoder.h"

#include <QTest>

using command_decoder::Command;

namespace {

const char *const kLogo = "1b4b2500"
                          "fe008200c600fe00c6008200c200fe00c20082009e20d2209e008200fa048204fa"
                          "008200fe";
const char *const kLogoColumns = "fe008200c600fe00c6008200c200fe00c20082009e20d2209e008200fa04"
                                 "8204fa008200fe";

// "check 05 'a'", "text '0a0d'", "unknown '1b40' cut"...: kind, number, data in hex, and
// whether the bytes ran out first.
QString shape(const Command &c)
{
    static const char *const kKinds[] = {"check", "auth-simple", "auth-double", "image",
        "monitor-on", "monitor-off", "drawer", "text", "unknown"};
    QString out = QString::fromLatin1(kKinds[static_cast<int>(c.kind)]);
    if (c.kind == Command::Kind::Check)
        out += c.number < 0 ? QStringLiteral(" ??")
                            : QStringLiteral(" %1").arg(c.number, 2, 10, QLatin1Char('0'));
    if (!c.data.isEmpty() || c.kind == Command::Kind::Check)
        out += QStringLiteral(" '%1'").arg(QString::fromLatin1(c.data.toHex()));
    if (!c.complete)
        out += QStringLiteral(" cut");
    return out;
}

} // namespace

class TstCommandDecoder : public QObject
{
    Q_OBJECT
private slots:
    void decodes_data();
    void decodes();
    void imageCountsBothBytes();
    void describes_data();
    void describes();
};

void TstCommandDecoder::decodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("commands");
    const auto row = [](const char *name, const QByteArray &hex, const QStringList &commands) {
        QTest::newRow(name) << QByteArray::fromHex(hex) << commands;
    };
    // main window
    row("drawer", "1b6f", {"drawer"});
    row("test line", "4142430a", {"text '4142430a'"});
    // authentication
    row("simple, AB", QByteArray("1b56") + kLogo + "4142",
        {"auth-simple", QStringLiteral("image '%1'").arg(kLogoColumns), "text '4142'"});
    row("double, empty line", QByteArray("1b58") + kLogo,
        {"auth-double", QStringLiteral("image '%1'").arg(kLogoColumns)});
    row("monitored begins", "1b7e31", {"monitor-on"});
    row("monitored ends", "1b7e30", {"monitor-off"});
    row("line with cp1252", "20e7e3e9", {"text '20e7e3e9'"});
    // check front
    row("empty payee", "1b2e353930317d", {"check 01 ''"});
    row("city in cp1252", "1b2e3539303253e36f205061756c6f7d", {"check 02 '53e36f205061756c6f'"});
    row("date", "1b2e353930333139313230377d", {"check 03 '313931323037'"});
    row("value",
        "1b2e35393034303030303030323334353938"
        "7d",
        {"check 04 '303030303030323334353938'"});
    row("currency singular", "1b2e353930375245414c7d", {"check 07 '5245414c'"});
    row("currency plural", "1b2e3539303852454149537d", {"check 08 '5245414953'"});
    row("print with default layout",
        "1b2e35393039303030"
        "4e3038303830363037303731303035"
        "7d",
        {"check 09 '3030304e3038303830363037303731303035'"});
    row("print with empty layout", "1b2e353930393030304e7d", {"check 09 '3030304e'"});
    row("observations only",
        "1b2e35393130303030"
        "4e3038303830363037303731303035"
        "7d",
        {"check 10 '3030304e3038303830363037303731303035'"});
    row("brace ends the observation early", "1b2e35393035617d627d",
        {"check 05 '61'", "text '627d'"});
    // check back
    row("back begins", "1b2e353931357d", {"check 15 ''"});
    row("back ends", "1b2e353931367d", {"check 16 ''"});
    row("indented back text",
        "0a0d20204142"
        "0d0a20204344",
        {"text '0a0d202041420d0a20204344'"});
    row("back in one call",
        "1b2e353931357d"
        "4142"
        "1b2e353931367d",
        {"check 15 ''", "text '4142'", "check 16 ''"});
    row("number not in use", "1b2e353939397d", {"check 99 ''"});
    // cut short
    row("empty call", "", {});
    row("no closing brace", "1b2e3539303146756c", {"check 01 '46756c' cut"});
    row("prefix only", "1b2e3539", {"check ?? '' cut"});
    row("one digit", "1b2e353930", {"check ?? '' cut"});
    row("half the prefix", "1b2e35", {"check ?? '' cut"});
    row("lone ESC", "1b", {"unknown '1b' cut"});
    row("text then lone ESC", "41421b", {"text '4142'", "unknown '1b' cut"});
    row("logo cut in its columns", "1b4b2500fe0082", {"image 'fe0082' cut"});
    row("logo cut in its count", "1b4b25", {"image cut"});
    row("monitor cut", "1b7e", {"unknown '1b7e' cut"});
    // bytes it does not know
    row("unknown escape", "1b4041", {"unknown '1b40'", "text '41'"});
    row("other dot sequence", "1b2e3441", {"unknown '1b2e'", "text '3441'"});
    row("letters for the number", "1b2e35394142317d", {"unknown '1b2e3539'", "text '4142317d'"});
    row("monitor with another digit", "1b7e32", {"unknown '1b7e32'"});
    row("control bytes", "000141097f42",
        {"unknown '0001'", "text '41'", "unknown '097f'", "text '42'"});
    row("ESC ESC", "1b1b56", {"unknown '1b1b'", "text '56'"});
}

void TstCommandDecoder::decodes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, commands);
    QStringList got;
    qsizetype next = 0;
    for (const Command &c : command_decoder::decode(bytes)) {
        got << shape(c);
        QCOMPARE(c.offset, next);
        next += c.length;
    }
    QCOMPARE(got, commands);
    QCOMPARE(next, bytes.size());
}

void TstCommandDecoder::imageCountsBothBytes()
{
    // 0x0101 columns: the high byte counts 256.
    const QByteArray bytes = QByteArray::fromHex("1b4b0101") + QByteArray(257, '\x81') + "Z";
    const QVector<Command> c = command_decoder::decode(bytes);
    QCOMPARE(c.size(), 2);
    QCOMPARE(c.at(0).declaredColumns, 257);
    QCOMPARE(c.at(0).data.size(), 257);
    QVERIFY(c.at(0).complete);
    QCOMPARE(c.at(1).data, QByteArray("Z"));
}

void TstCommandDecoder::describes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const auto row = [](const char *name, const char *hex, const char *text) {
        QTest::newRow(name) << QByteArray::fromHex(hex) << QString::fromUtf8(text);
    };
    row("payee", "1b2e3539303146756c616e6f7d", "01 Favorecido «Fulano»");
    row("empty payee still shows its data", "1b2e353930317d", "01 Favorecido «»");
    row("print front", "1b2e353930393030304e30387d", "09 Imprimir frente «000N08»");
    row("back end without data", "1b2e353931367d", "16 Fim do verso");
    row("number not in use", "1b2e353939397d", "99 comando desconhecido");
    row("cut short", "1b2e3539303446", "04 Valor «F» (incompleto)");
    row("logo", "1b4b0200fe82", "ESC K imagem de 2 colunas");
    row("logo cut", "1b4b0300fe", "ESC K imagem de 1 colunas de 3 anunciadas (incompleto)");
    row("unknown in hex", "1b40", "desconhecido 1B 40");
    row("text with controls", "41420d0a", "texto «AB‹CR›‹LF›» (4 bytes)");
    row("text that looks like a placeholder", "2532", "texto «%2» (2 bytes)");
    row("several", "1b7e311b6f", "ESC ~1 início da autenticação monitorada · ESC o abrir gaveta");
}

void TstCommandDecoder::describes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(command_decoder::summary(command_decoder::decode(bytes)), text);
}

QTEST_GUILESS_MAIN(TstCommandDecoder)
#include "tst_command_decoder.moc"
