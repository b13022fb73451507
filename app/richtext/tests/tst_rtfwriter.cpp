// The RTF writer: what it writes, and that our reader gets the document
// back with its text and formats unchanged.
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace {

struct Run {
    QString text;
    QTextCharFormat format;
};

using Paragraph = QList<Run>;

struct Para {
    Paragraph runs;
    Qt::Alignment alignment = Qt::AlignLeft;
};

void build(QTextDocument *doc, const QList<Para> &paras)
{
    QTextCursor c(doc);
    bool first = true;
    for (const Para &p : paras) {
        QTextBlockFormat bf;
        bf.setAlignment(p.alignment);
        if (first)
            c.setBlockFormat(bf);
        else
            c.insertBlock(bf);
        first = false;
        for (const Run &r : p.runs)
            c.insertText(r.text, r.format);
    }
}

// Everything the round trip must keep, with unset properties resolved the
// way the document box shows them.
QString describe(const QTextDocument &doc)
{
    const QFont def = doc.defaultFont();
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QString line = QStringLiteral("[%1").arg(int(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask));
        if (b.textList())
            line += QStringLiteral(" list%1").arg(int(b.textList()->format().style()));
        line += u']';
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QTextCharFormat f = frag.charFormat();
            const QStringList families = f.fontFamilies().toStringList();
            const QString family = families.isEmpty() ? def.family() : families.first();
            const double size = f.fontPointSize() > 0 ? f.fontPointSize() : def.pointSizeF();
            line += QStringLiteral("<%1 %2%3%4%5%6 %7 %8%9>%10")
                        .arg(family)
                        .arg(size)
                        .arg(f.fontWeight() > QFont::Medium ? QStringLiteral(" b") : QString())
                        .arg(f.fontItalic() ? QStringLiteral(" i") : QString())
                        .arg(f.fontUnderline() ? QStringLiteral(" u") : QString())
                        .arg(f.fontStrikeOut() ? QStringLiteral(" s") : QString())
                        .arg(f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : QStringLiteral("-"))
                        .arg(f.hasProperty(QTextFormat::BackgroundBrush) ? f.background().color().name() : QStringLiteral("-"))
                        .arg(f.isAnchor() ? QStringLiteral(" href=") + f.anchorHref() : QString())
                        .arg(frag.text());
        }
        out << line;
    }
    return out.join(u'\n');
}

QTextCharFormat fmt(std::initializer_list<std::pair<QTextFormat::Property, QVariant>> props)
{
    QTextCharFormat f;
    for (const auto &[p, v] : props)
        f.setProperty(p, v);
    return f;
}

} // namespace

Q_DECLARE_METATYPE(QList<Para>)

class TestRtfWriter : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void header();
    void charactersOutside1252();
    void escapes();
    void lists();
    void readersOtherThanOurs();
};

void TestRtfWriter::roundTrip_data()
{
    QTest::addColumn<QList<Para>>("paras");

    auto bold = fmt({{QTextFormat::FontWeight, QFont::Bold}});
    auto italic = fmt({{QTextFormat::FontItalic, true}});
    auto underline = QTextCharFormat();
    underline.setFontUnderline(true);
    auto strike = fmt({{QTextFormat::FontStrikeOut, true}});
    QTextCharFormat family;
    family.setFontFamilies({QStringLiteral("Courier New")});
    QTextCharFormat size;
    size.setFontPointSize(18.5);
    QTextCharFormat colours;
    colours.setForeground(QColor(0x12, 0x34, 0x56));
    colours.setBackground(QColor(Qt::yellow));
    QTextCharFormat all = bold;
    all.merge(italic);
    all.merge(underline);
    all.merge(strike);
    all.merge(family);
    all.merge(size);
    all.merge(colours);
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("https://example.org/?a=1&b={2}"));

    QTest::newRow("plain text") << QList<Para>{{{{QStringLiteral("Hallo Welt"), {}}}}};
    QTest::newRow("bold, italic, underline, strike-out")
        << QList<Para>{{{{QStringLiteral("a "), {}}, {QStringLiteral("fett"), bold}, {QStringLiteral(" "), {}},
                         {QStringLiteral("kursiv"), italic}, {QStringLiteral("unter"), underline},
                         {QStringLiteral("durch"), strike}}}};
    QTest::newRow("font family and size")
        << QList<Para>{{{{QStringLiteral("Code"), family}, {QStringLiteral("groß"), size}}}};
    QTest::newRow("colours") << QList<Para>{{{{QStringLiteral("bunt"), colours}, {QStringLiteral(" normal"), {}}}}};
    QTest::newRow("everything at once") << QList<Para>{{{{QStringLiteral("alles"), all}}}};
    QTest::newRow("alignment")
        << QList<Para>{{{{QStringLiteral("links"), {}}}, Qt::AlignLeft},
                       {{{QStringLiteral("mitte"), {}}}, Qt::AlignHCenter},
                       {{{QStringLiteral("rechts"), {}}}, Qt::AlignRight},
                       {{{QStringLiteral("Block"), {}}}, Qt::AlignJustify}};
    QTest::newRow("umlauts and symbols")
        << QList<Para>{{{{QStringLiteral(u"Grüße, Öl, Maß – „so“ … 5 €"), {}}}}};
    QTest::newRow("outside 1252") << QList<Para>{{{{QStringLiteral(u"Łódź Αθήνα Москва 😀 ✓"), bold}}}};
    QTest::newRow("RTF's own characters") << QList<Para>{{{{QStringLiteral("a\\b {c} \\par d"), {}}}}};
    QTest::newRow("tab, line break, no-break space")
        << QList<Para>{{{{QStringLiteral(u"a\tb\u2028c\u00A0d"), {}}}}};
    QTest::newRow("empty paragraphs")
        << QList<Para>{{{{QStringLiteral("eins"), {}}}}, {}, {{{QStringLiteral("drei"), {}}}}, {}};
    QTest::newRow("link") << QList<Para>{{{{QStringLiteral("Siehe "), {}}, {QStringLiteral("hier"), link}}}};
    QTest::newRow("empty document") << QList<Para>{{}};
}

void TestRtfWriter::roundTrip()
{
    QFETCH(QList<Para>, paras);
    QTextDocument original;
    build(&original, paras);
    const QByteArray rtf = RtfWriter::write(original);
    QTextDocument back;
    QVERIFY(!RtfReader::read(rtf, &back).damaged);
    QCOMPARE(back.toPlainText(), original.toPlainText());
    QCOMPARE(describe(back), describe(original));
}

void TestRtfWriter::header()
{
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    doc.setPlainText(QStringLiteral("x"));
    const QByteArray rtf = RtfWriter::write(doc);
    QVERIFY2(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"), rtf.constData());
    QVERIFY2(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 DejaVu Sans;}"), rtf.constData());
    QVERIFY2(rtf.contains("{\\f0\\fs22 x}"), rtf.constData());
    QVERIFY(rtf.trimmed().endsWith('}'));
}

// Characters outside code page 1252 as \uN with '?' for readers that know
// no Unicode, the rest as \'hh; the file itself is pure ASCII.
void TestRtfWriter::charactersOutside1252()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral(u"ä€α😀"));
    const QByteArray rtf = RtfWriter::write(doc);
    QVERIFY2(rtf.contains("\\'e4\\'80\\u945?\\u-10179?\\u-8704?"), rtf.constData());
    QVERIFY(std::all_of(rtf.begin(), rtf.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
}

void TestRtfWriter::escapes()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("{a}\\b\tc"));
    const QByteArray rtf = RtfWriter::write(doc);
    QVERIFY2(rtf.contains(" \\{a\\}\\\\b\\tab c}"), rtf.constData());
}

void TestRtfWriter::lists()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("Liste:"));
    c.insertBlock();
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    c.createList(bullets);
    c.insertText(QStringLiteral("eins"));
    c.insertBlock();
    c.insertText(QStringLiteral("zwei"));
    c.insertBlock(QTextBlockFormat());
    QTextListFormat numbers;
    numbers.setStyle(QTextListFormat::ListDecimal);
    c.createList(numbers);
    c.insertText(QStringLiteral("erstens"));
    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("Ende"));

    const QByteArray rtf = RtfWriter::write(doc);
    // Readers without list support see the markers as text.
    QVERIFY2(rtf.contains("{\\pntext\\f0 1.\\tab}"), rtf.constData());
    QTextDocument back;
    RtfReader::read(rtf, &back);
    QCOMPARE(back.toPlainText(), doc.toPlainText());
    QCOMPARE(describe(back), describe(doc));
}

// What a reader that knows no more than the basics would see: no text
// hidden in groups it would skip, and \uN fallbacks of exactly one char.
void TestRtfWriter::readersOtherThanOurs()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral(u"Grüße α"));
    const QByteArray rtf = RtfWriter::write(doc);
    QVERIFY(rtf.contains("\\uc1"));
    QVERIFY(!rtf.contains("\\*\\ud"));
    QCOMPARE(rtf.count("{"), rtf.count("}"));
}

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
