#include "printer_link/cp1252.h"
#include "tests/support/test_helpers.h"

#include <QStringDecoder>
#include <QStringEncoder>

class TstCp1252 : public QObject
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
    }

    // What the printer's bytes hold for the texts this program sends.
    void encodes_data()
    {
        // text, bytes ("?" for what cp1252 cannot hold)
        columns<QString, QByteArray>();
        row("accents, euro, no-break space", QStringLiteral("çã€R$\u00a02"),
            QByteArray::fromHex("e7e3805224a032"));
        row("zero byte kept", QString(QChar(0)), QByteArray(1, '\0'));
        row("empty", QString(), QByteArray());
        row("greek", QStringLiteral("aαβ"), QByteArray("a??"));
        row("emoji, both halves", QStringLiteral("😀"), QByteArray("??"));
        row("polish l", QStringLiteral("ł"), QByteArray("?"));
    }

    void encodes()
    {
        auto [text, bytes] = fetch<QString, QByteArray>();
        QCOMPARE(cp1252::canEncode(text), !bytes.contains('?'));
        QCOMPARE(cp1252::fromUnicode(text), bytes);
    }
};

QTEST_GUILESS_MAIN(TstCp1252)
#include "tst_cp1252.moc"
