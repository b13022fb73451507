#include "Ansi.h"

#include <QTest>

class TestAnsi : public QObject
{
    Q_OBJECT
private slots:
    void utf8Validity_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("ascii") << QByteArray("Hallo Welt") << true;
        QTest::newRow("umlaut") << QByteArray("Gr\xC3\xBC\xC3\x9F" "e") << true;
        QTest::newRow("euro 3 bytes") << QByteArray("\xE2\x82\xAC") << true;
        QTest::newRow("emoji 4 bytes") << QByteArray("\xF0\x9F\x98\x80") << true;
        QTest::newRow("cp1252 umlaut") << QByteArray("Gr\xFC\xDF" "e") << false;
        QTest::newRow("truncated at end") << QByteArray("ab\xC3") << false;
        QTest::newRow("truncated 3-byte") << QByteArray("\xE2\x82") << false;
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << false;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
        QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
        QTest::newRow("lone continuation") << QByteArray("\x80") << false;
    }
    void utf8Validity()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QCOMPARE(Ansi::isValidUtf8(bytes), valid);
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("utf8") << QByteArray("\xC3\xA4\xC3\xB6\xC3\xBC") << QStringLiteral(u"äöü");
        QTest::newRow("cp1252") << QByteArray("\xE4\xF6\xFC\xDF") << QStringLiteral(u"äöüß");
        QTest::newRow("cp1252 euro and quotes") << QByteArray("\x80 \x84" "a\x93") << QStringLiteral(u"€ „a“");
        QTest::newRow("undefined 0x81 stays C1") << QByteArray("\x81\xE4") << QString(QChar(0x81)) + QChar(0xE4);
        QTest::newRow("utf8 BOM kept") << QByteArray("\xEF\xBB\xBFREGEDIT4") << QStringLiteral(u"\uFEFFREGEDIT4");
        QTest::newRow("embedded zero") << QByteArray("a\0b", 3) << QString(QStringLiteral("a")) + QChar(0) + QLatin1Char('b');
    }
    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(Ansi::decode(bytes), text);
    }

    void encodeRoundTrip()
    {
        const QString text = QStringLiteral(u"Grüße aus München – €5");
        QCOMPARE(Ansi::decode(Ansi::encode(text)), text);
        QCOMPARE(Ansi::encode(QStringLiteral(u"ä")), QByteArray("\xC3\xA4"));
    }
};

QTEST_APPLESS_MAIN(TestAnsi)
#include "tst_ansi.moc"
