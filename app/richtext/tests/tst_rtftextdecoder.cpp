// The RTF reader's text decoder on its own: bytes in the code pages, \uN
// with its fallback, the halves of a pair, without a document.
#include "RtfTextDecoder.h"

#include <QTest>

namespace {

// Steps: "82 a0" bytes (hex) as \'hh escapes, "uN" a \uN, "ucN" sets the
// fallback length, "}" a group boundary, "=c" one character of the file
// (a fallback candidate, then text).
QString decode(int codePage, const QStringList &steps)
{
    rtf::TextDecoder decoder;
    QString out;
    int uc = 1;
    const auto append = [&](char16_t c) { out.append(QChar(c)); };
    const auto text = [&](char16_t c) { decoder.pair(c, append); };
    for (const QString &step : steps) {
        if (step.startsWith(QLatin1String("uc"))) {
            uc = step.mid(2).toInt();
        } else if (step.startsWith(u'u')) {
            decoder.unicode(step.mid(1).toInt(), uc, text);
        } else if (step == QLatin1String("}")) {
            decoder.endRun();
        } else if (step.startsWith(u'=')) {
            if (!decoder.skipFallback())
                text(step.at(1).unicode());
        } else {
            for (const QString &hex : step.split(u' '))
                decoder.byte(static_cast<unsigned char>(hex.toUInt(nullptr, 16)), codePage, text);
        }
    }
    return out;
}

} // namespace

class TestRtfTextDecoder : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
};

void TestRtfTextDecoder::decode_data()
{
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expected");

    QTest::newRow("1252 upper half") << 1252 << QStringList{"e4 fc df 80"} << QStringLiteral(u"äüß€");
    QTest::newRow("control bytes are no text") << 1252 << QStringList{"00 07 09 41"} << QStringLiteral("A");
    QTest::newRow("unknown page reads as 1252") << 99999 << QStringList{"e4"} << QStringLiteral(u"ä");
    QTest::newRow("1251") << 1251 << QStringList{"c0 e0"} << QStringLiteral(u"Аа");
    QTest::newRow("Shift-JIS pairs") << 932 << QStringList{"82 a0 82 a2"} << QStringLiteral(u"あい");
    QTest::newRow("GBK pairs") << 936 << QStringList{"c4 e3 ba c3"} << QStringLiteral(u"你好");
    QTest::newRow("Big5 pair") << 950 << QStringList{"a7 41"} << QStringLiteral(u"你");
    QTest::newRow("Hangul pair") << 949 << QStringList{"b0 a1"} << QStringLiteral(u"가");
    QTest::newRow("single bytes between pairs") << 932 << QStringList{"41 82 a0 42"} << QStringLiteral(u"AあB");
    QTest::newRow("a lead byte ends at a group") << 932 << QStringList{"82", "}", "41"} << QStringLiteral("A");
    QTest::newRow("fallback: a pair is one character")
        << 932 << QStringList{"u12354", "82 a0", "41"} << QStringLiteral(u"あA");
    QTest::newRow("\\uc2 skips two escapes") << 1252 << QStringList{"uc2", "u8364", "80 80 41"} << QStringLiteral(u"€A");
    QTest::newRow("\\uc0 skips nothing") << 1252 << QStringList{"uc0", "u228", "41"} << QStringLiteral(u"äA");
    QTest::newRow("fallback ends at a group") << 1252 << QStringList{"uc3", "u228", "}", "41"} << QStringLiteral(u"äA");
    QTest::newRow("negative \\u") << 1252 << QStringList{"u-4064"} << QString(QChar(0xF020));
    QTest::newRow("\\u beyond 16 bits") << 1252 << QStringList{"u70000", "=x"} << QStringLiteral(u"\uFFFD");
    QTest::newRow("pair with fallbacks") << 1252 << QStringList{"u-10179", "=?", "u-8704", "=?"} << QStringLiteral(u"😀");
    QTest::newRow("pair without fallbacks") << 1252 << QStringList{"uc0", "u55357", "u56832"} << QStringLiteral(u"😀");
    QTest::newRow("high half before text") << 1252 << QStringList{"uc0", "u55357", "=a"} << QStringLiteral(u"\uFFFDa");
    QTest::newRow("high half before a byte") << 1252 << QStringList{"uc0", "u55357", "e4"} << QStringLiteral(u"\uFFFDä");
    QTest::newRow("two high halves") << 1252 << QStringList{"uc0", "u55357", "u55357", "u56832"}
                                     << QStringLiteral(u"\uFFFD😀");
    QTest::newRow("low half alone") << 1252 << QStringList{"uc0", "u56832", "=b"} << QStringLiteral(u"\uFFFDb");
}

void TestRtfTextDecoder::decode()
{
    QFETCH(int, codePage);
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);
    QCOMPARE(::decode(codePage, steps), expected);
}

QTEST_GUILESS_MAIN(TestRtfTextDecoder)
#include "tst_rtftextdecoder.moc"
