// The RTF reader, construct by construct, and its behaviour on broken and
// hostile input.
#include "RtfReader.h"

#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace {

QString load(const QByteArray &rtf, bool *damaged = nullptr)
{
    QTextDocument doc;
    const RtfReader::Result r = RtfReader::read(rtf, &doc);
    if (damaged)
        *damaged = r.damaged;
    return doc.toPlainText();
}

// The character format of the first 'X' of the document, as a short text.
QString formatOfX(const QTextDocument &doc)
{
    const int pos = doc.toPlainText().indexOf(u'X');
    if (pos < 0)
        return QStringLiteral("<no X>");
    QTextCursor c(const_cast<QTextDocument *>(&doc));
    c.setPosition(pos + 1);
    const QTextCharFormat f = c.charFormat();
    QStringList parts;
    if (f.fontWeight() > QFont::Medium)
        parts << QStringLiteral("b");
    if (f.fontItalic())
        parts << QStringLiteral("i");
    if (f.fontUnderline())
        parts << QStringLiteral("u");
    if (f.fontStrikeOut())
        parts << QStringLiteral("s");
    if (f.fontCapitalization() == QFont::AllUppercase)
        parts << QStringLiteral("caps");
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        parts << QStringLiteral("super");
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty())
        parts << QStringLiteral("f=") + families.first();
    parts << QStringLiteral("fs=") + QString::number(f.fontPointSize());
    if (f.hasProperty(QTextFormat::ForegroundBrush))
        parts << QStringLiteral("fg=") + f.foreground().color().name();
    if (f.hasProperty(QTextFormat::BackgroundBrush))
        parts << QStringLiteral("bg=") + f.background().color().name();
    return parts.join(u' ');
}

QTextBlock blockWithX(const QTextDocument &doc)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.text().contains(u'X'))
            return b;
    }
    return {};
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void characterFormat_data();
    void characterFormat();
    void paragraphFormat_data();
    void paragraphFormat();
    void lists_data();
    void lists();
    void link();
    void pageBreak();
    void replacesContentAndUndo();
    void damaged_data();
    void damaged();
    void hostile_data();
    void hostile();
};

void TestRtfReader::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("groups") << QByteArray(R"({\rtf1 Hallo {Welt}})") << QStringLiteral("Hallo Welt");
    QTest::newRow("delimiter space belongs to the word") << QByteArray(R"({\rtf1\b Fett})") << QStringLiteral("Fett");
    QTest::newRow("unknown ignorable destination") << QByteArray(R"({\rtf1 A{\*\unbekannt geheim}B})") << QStringLiteral("AB");
    QTest::newRow("unknown word keeps its text") << QByteArray(R"({\rtf1 A{\unbekannt sichtbar}B})") << QStringLiteral("AsichtbarB");
    QTest::newRow("\\'hh in 1252") << QByteArray(R"({\rtf1\ansi gr\'fc\'df \'80})") << QStringLiteral(u"grüß €");
    QTest::newRow("\\ansicpg1250") << QByteArray(R"({\rtf1\ansi\ansicpg1250 \'b9\'e8\'b3})") << QStringLiteral(u"ąčł");
    QTest::newRow("font charset 238 and back")
        << QByteArray(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f1\fcharset238 Arial CE;}}\f1 \'b3\f0 \'b3})")
        << QStringLiteral(u"ł³");
    QTest::newRow("font charset 204 in its group")
        << QByteArray(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f1\fcharset204 Arial Cyr;}}{\f1 \'c0}\'c0})")
        << QStringLiteral(u"АÀ");
    QTest::newRow("\\ansicpg1257 baltic") << QByteArray(R"({\rtf1\ansi\ansicpg1257 \'e0})") << QStringLiteral(u"ą");
    QTest::newRow("\\mac") << QByteArray(R"({\rtf1\mac \'8a})") << QStringLiteral(u"ä");
    QTest::newRow("unknown code page reads as 1252") << QByteArray(R"({\rtf1\ansicpg99999 \'e4})") << QStringLiteral(u"ä");
    QTest::newRow("raw 8-bit bytes") << QByteArray("{\\rtf1\\ansi M\xfc" "ller}") << QStringLiteral(u"Müller");
    QTest::newRow("escaped control byte") << QByteArray(R"({\rtf1 a\'00\'07b})") << QStringLiteral("ab");
    QTest::newRow("\\u with fallback") << QByteArray(R"({\rtf1 \u228?x})") << QStringLiteral(u"äx");
    QTest::newRow("\\uc0") << QByteArray(R"({\rtf1\uc0\u228 x})") << QStringLiteral(u"äx");
    QTest::newRow("\\uc2 skips two escapes") << QByteArray(R"({\rtf1\uc2\u8364\'80\'80x})") << QStringLiteral(u"€x");
    QTest::newRow("fallback may be a control word") << QByteArray(R"({\rtf1\u228\tab x})") << QStringLiteral(u"äx");
    QTest::newRow("skipping ends at a group") << QByteArray(R"({\rtf1\uc3\u228{}x})") << QStringLiteral(u"äx");
    QTest::newRow("\\uc is scoped to its group") << QByteArray(R"({\rtf1{\uc0 a}\u228?b})") << QStringLiteral(u"aäb");
    QTest::newRow("negative \\u") << QByteArray(R"({\rtf1\u-4064?})") << QString(QChar(0xF020));
    QTest::newRow("surrogate pair") << QByteArray(R"({\rtf1\u-10179?\u-8704?})") << QStringLiteral(u"😀");
    QTest::newRow("lone surrogate") << QByteArray(R"({\rtf1 a\u-10179?b})") << QStringLiteral(u"a\uFFFDb");
    QTest::newRow("tables of fonts, colours, styles, info")
        << QByteArray(R"({\rtf1\ansi{\fonttbl{\f0\fswiss Arial;}}{\colortbl;\red1\green2\blue3;})"
                      R"({\stylesheet{\s1 Heading 1;}}{\info{\title Titel}{\author Autor}}Text})")
        << QStringLiteral("Text");
    QTest::newRow("font table without entry groups")
        << QByteArray(R"({\rtf1{\fonttbl\f0\fswiss\fcharset0 Helvetica;\f1 Courier;}Text})") << QStringLiteral("Text");
    QTest::newRow("picture") << QByteArray(R"({\rtf1 A{\pict\pngblip 89504e470d0a}B})") << QStringLiteral("AB");
    QTest::newRow("binary data with braces") << QByteArray("{\\rtf1 A{\\pict\\bin6 {}\\x}\x01}B}") << QStringLiteral("AB");
    {
        // A payload longer than the parameter clamp of other words: all of
        // it is skipped, none of it is read (and spoken) as text.
        const qsizetype size = (qsizetype(1) << 24) + 4096;
        QByteArray payload = QByteArray("GEHEIM ").repeated(size / 7 + 1).left(size);
        QTest::newRow("\\bin beyond 16 MiB")
            << QByteArray("{\\rtf1 Hallo {\\pict\\bin") + QByteArray::number(size) + ' ' + payload + "}Welt}"
            << QStringLiteral("Hallo Welt");
    }
    QTest::newRow("object: only its result")
        << QByteArray(R"({\rtf1 A{\object\objemb{\*\objclass Paint}{\*\objdata 0102}{\result Bild}}B})")
        << QStringLiteral("ABildB");
    QTest::newRow("headers and footers")
        << QByteArray(R"({\rtf1{\header Kopf}{\footer Fuss}{\headerl l}{\footerr r}{\headerf f}Text})")
        << QStringLiteral("Text");
    QTest::newRow("field: result, not instruction")
        << QByteArray(R"({\rtf1 Seite {\field{\*\fldinst { PAGE \\* MERGEFORMAT}}{\fldrslt {7}}}})")
        << QStringLiteral("Seite 7");
    QTest::newRow("hidden text") << QByteArray(R"({\rtf1 A{\v geheim}B\v C\v0 D})") << QStringLiteral("ABD");
    QTest::newRow("paragraph, line, tab") << QByteArray(R"({\rtf1 a\par b\line c\tab d})") << QStringLiteral("a\nb\nc\td");
    QTest::newRow("final paragraph mark") << QByteArray(R"({\rtf1 a\par})") << QStringLiteral("a");
    QTest::newRow("empty paragraphs") << QByteArray(R"({\rtf1 a\par\par b\par\par})") << QStringLiteral("a\n\nb\n");
    QTest::newRow("backslash newline is a paragraph") << QByteArray("{\\rtf1 a\\\nb\\\r\nc}") << QStringLiteral("a\nb\nc");
    QTest::newRow("raw line ends are not text") << QByteArray("{\\rtf1 a\r\nb\nc}") << QStringLiteral("abc");
    QTest::newRow("control symbols") << QByteArray(R"({\rtf1 \{\}\\ a\~b\_c\-d})") << QStringLiteral(u"{}\\ a b\u2011cd");
    QTest::newRow("special characters")
        << QByteArray(R"({\rtf1\lquote\rquote\ldblquote\rdblquote\endash\emdash\bullet})") << QStringLiteral(u"‘’“”–—•");
    QTest::newRow("table rows")
        << QByteArray(R"({\rtf1\trowd\cellx100\cellx200\pard\intbl A\cell B\cell\row\trowd\cellx100\cellx200\pard\intbl C\cell D\cell\row\pard Nach})")
        << QStringLiteral("A\tB\nC\tD\nNach");
    QTest::newRow("empty cells") << QByteArray(R"({\rtf1\intbl\cell B\cell\cell D\cell\row})") << QStringLiteral("\tB\t\tD");
    QTest::newRow("footnote in place")
        << QByteArray(R"({\rtf1 Text\chftn{\footnote\pard\plain{\super\chftn}\tab Notiz.} weiter})")
        << QStringLiteral("Text Notiz. weiter");
    QTest::newRow("footnote before a word")
        << QByteArray(R"({\rtf1 Text{\footnote Notiz.}weiter})") << QStringLiteral("Text Notiz. weiter");
    QTest::newRow("list markers") << QByteArray(R"({\rtf1{\listtext 1.\tab}Eins\par{\pntext\f0 2.\tab}Zwei})")
                                  << QStringLiteral("Eins\nZwei");
    QTest::newRow("ANSI text beside Unicode") << QByteArray(R"({\rtf1{\upr{Ansi}{\*\ud{Unicode}}}})") << QStringLiteral("Unicode");
    QTest::newRow("bookmarks") << QByteArray(R"({\rtf1 a{\*\bkmkstart m}b{\*\bkmkend m}c})") << QStringLiteral("abc");
    QTest::newRow("shape text once")
        << QByteArray(R"({\rtf1 a{\shp{\*\shpinst{\sp{\sn t}{\sv 1}}{\shptxt Box}}{\shprslt{\*\do\dptxbx{\dptxbxtext Box}}}}b})")
        << QStringLiteral("a Box b");
    QTest::newRow("after the outermost group") << QByteArray(R"({\rtf1 a}b{c})") << QStringLiteral("a");
    QTest::newRow("Shift-JIS font")
        << QByteArray(R"({\rtf1\ansi{\fonttbl{\f0\fcharset128 MS Mincho;}}\f0 \'82\'a0\'82\'a2})") << QStringLiteral(u"あい");
    QTest::newRow("empty document") << QByteArray(R"({\rtf1})") << QString();
}

void TestRtfReader::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    bool damaged = true;
    QCOMPARE(load(rtf, &damaged), expected);
    QVERIFY(!damaged);
}

void TestRtfReader::characterFormat_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    const QByteArray colors = R"({\colortbl;\red255\green0\blue0;\red0\green255\blue0;})";
    QTest::newRow("default") << QByteArray(R"({\rtf1 X})") << QStringLiteral("fs=12");
    QTest::newRow("bold") << QByteArray(R"({\rtf1\b X})") << QStringLiteral("b fs=12");
    QTest::newRow("bold off") << QByteArray(R"({\rtf1\b\b0 X})") << QStringLiteral("fs=12");
    QTest::newRow("italic") << QByteArray(R"({\rtf1\i X})") << QStringLiteral("i fs=12");
    QTest::newRow("underline") << QByteArray(R"({\rtf1\ul X})") << QStringLiteral("u fs=12");
    QTest::newRow("ulnone") << QByteArray(R"({\rtf1\ul\ulnone X})") << QStringLiteral("fs=12");
    QTest::newRow("ul0") << QByteArray(R"({\rtf1\ul\ul0 X})") << QStringLiteral("fs=12");
    QTest::newRow("double underline") << QByteArray(R"({\rtf1\uldb X})") << QStringLiteral("u fs=12");
    QTest::newRow("strike") << QByteArray(R"({\rtf1\strike X})") << QStringLiteral("s fs=12");
    QTest::newRow("size") << QByteArray(R"({\rtf1\fs21 X})") << QStringLiteral("fs=10.5");
    QTest::newRow("absurd size clamped") << QByteArray(R"({\rtf1\fs999999 X})") << QStringLiteral("fs=1638");
    QTest::newRow("font") << QByteArray(R"({\rtf1{\fonttbl{\f0\froman Times;}{\f1\fswiss Arial;}}\f1 X})")
                          << QStringLiteral("f=Arial fs=12");
    QTest::newRow("default font") << QByteArray(R"({\rtf1\deff1{\fonttbl{\f0 Times;}{\f1 Arial;}}X})")
                                  << QStringLiteral("f=Arial fs=12");
    QTest::newRow("font with hidden alternative")
        << QByteArray(R"({\rtf1{\fonttbl{\f0\fnil{\*\panose 0203}{\*\falt Ersatz}Segoe UI;}}\f0 X})")
        << QStringLiteral("f=Segoe UI fs=12");
    QTest::newRow("colours") << QByteArray(R"({\rtf1)" + colors + R"(\cf1\cb2 X})")
                             << QStringLiteral("fs=12 fg=#ff0000 bg=#00ff00");
    QTest::newRow("highlight") << QByteArray(R"({\rtf1)" + colors + R"(\highlight1 X})") << QStringLiteral("fs=12 bg=#ff0000");
    QTest::newRow("automatic colour") << QByteArray(R"({\rtf1)" + colors + R"(\cf1\cf0 X})") << QStringLiteral("fs=12");
    QTest::newRow("colour out of the table") << QByteArray(R"({\rtf1)" + colors + R"(\cf99 X})") << QStringLiteral("fs=12");
    QTest::newRow("plain") << QByteArray(R"({\rtf1)" + colors + R"(\b\i\ul\strike\cf1\fs40\plain X})") << QStringLiteral("fs=12");
    QTest::newRow("group restores") << QByteArray(R"({\rtf1\b{\i\fs40 Y}X})") << QStringLiteral("b fs=12");
    QTest::newRow("capitals") << QByteArray(R"({\rtf1\caps X})") << QStringLiteral("caps fs=12");
    QTest::newRow("superscript") << QByteArray(R"({\rtf1\super X})") << QStringLiteral("super fs=12");
}

void TestRtfReader::characterFormat()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QCOMPARE(formatOfX(doc), expected);
}

void TestRtfReader::paragraphFormat_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QList<int>>("twips"); // li, ri, fi, sb, sa

    const QList<int> none{0, 0, 0, 0, 0};
    QTest::newRow("left") << QByteArray(R"({\rtf1\ql X})") << int(Qt::AlignLeft) << none;
    QTest::newRow("centre") << QByteArray(R"({\rtf1\qc X})") << int(Qt::AlignHCenter) << none;
    QTest::newRow("right") << QByteArray(R"({\rtf1\qr X})") << int(Qt::AlignRight) << none;
    QTest::newRow("justified") << QByteArray(R"({\rtf1\qj X})") << int(Qt::AlignJustify) << none;
    QTest::newRow("pard resets") << QByteArray(R"({\rtf1\qc\li720\pard X})") << int(Qt::AlignLeft) << none;
    QTest::newRow("taken at the paragraph mark") << QByteArray(R"({\rtf1 X\qr\par})") << int(Qt::AlignRight) << none;
    QTest::newRow("each paragraph its own")
        << QByteArray(R"({\rtf1\qc A\par\pard\qr X\par})") << int(Qt::AlignRight) << none;
    QTest::newRow("indents and spacing")
        << QByteArray(R"({\rtf1\li720\ri360\fi-240\sb120\sa240 X})") << int(Qt::AlignLeft)
        << QList<int>{720, 360, -240, 120, 240};
}

void TestRtfReader::paragraphFormat()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, alignment);
    QFETCH(QList<int>, twips);
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    const QTextBlock b = blockWithX(doc);
    QVERIFY(b.isValid());
    const QTextBlockFormat f = b.blockFormat();
    QCOMPARE(int(f.alignment() & Qt::AlignHorizontal_Mask), alignment);
    const QList<int> actual{qRound(f.leftMargin() * 15), qRound(f.rightMargin() * 15), qRound(f.textIndent() * 15),
                            qRound(f.topMargin() * 15), qRound(f.bottomMargin() * 15)};
    QCOMPARE(actual, twips);
}

void TestRtfReader::lists_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QList<int>>("styles"); // per block, 0 = no list
    QTest::addColumn<int>("lists");         // distinct lists

    const QByteArray table = R"({\*\listtable{\list{\listlevel\levelnfc23{\leveltext\'01\u8226 ?;}}{\listlevel\levelnfc4}\listid7})"
                             R"({\list{\listlevel\levelnfc0}\listid9}})"
                             R"({\*\listoverridetable{\listoverride\listid7\listoverridecount0\ls1}{\listoverride\listid9\ls2}})";
    QTest::newRow("bullets, nested letters, numbers")
        << QByteArray(R"({\rtf1)" + table + R"(\pard\ls1 A\par B\par\ilvl1 C\par\pard\ls2 D\par\pard E})")
        << QList<int>{QTextListFormat::ListDisc, QTextListFormat::ListDisc, QTextListFormat::ListLowerAlpha,
                      QTextListFormat::ListDecimal, 0}
        << 3;
    QTest::newRow("paragraph numbering bullets")
        << QByteArray(R"({\rtf1{\pntext\'b7\tab}{\*\pn\pnlvlblt{\pntxtb\'b7}}A\par{\pntext\'b7\tab}B\par\pard C})")
        << QList<int>{QTextListFormat::ListDisc, QTextListFormat::ListDisc, 0} << 1;
    QTest::newRow("paragraph numbering decimal")
        << QByteArray(R"({\rtf1{\*\pn\pnlvlbody\pndec{\pntxta.}}A\par B})")
        << QList<int>{QTextListFormat::ListDecimal, QTextListFormat::ListDecimal} << 1;
    QTest::newRow("section numbering defaults are no list")
        << QByteArray(R"({\rtf1{\*\pnseclvl1\pnucrm\pnstart1{\pntxta .}}A})") << QList<int>{0} << 0;
}

void TestRtfReader::lists()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QList<int>, styles);
    QFETCH(int, lists);
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QList<int> actual;
    QSet<QTextList *> distinct;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        actual << (b.textList() ? int(b.textList()->format().style()) : 0);
        if (b.textList())
            distinct.insert(b.textList());
    }
    QCOMPARE(actual, styles);
    QCOMPARE(int(distinct.size()), lists);
}

void TestRtfReader::link()
{
    QTextDocument doc;
    RtfReader::read(R"({\rtf1 Siehe {\field{\*\fldinst{HYPERLINK "https://example.org/a b" \\o "Tipp"}}{\fldrslt{\ul X}}} danach})", &doc);
    QCOMPARE(doc.toPlainText(), QStringLiteral("Siehe X danach"));
    QTextCursor c(&doc);
    c.setPosition(7);
    QVERIFY(c.charFormat().isAnchor());
    QCOMPARE(c.charFormat().anchorHref(), QStringLiteral("https://example.org/a b"));
    c.setPosition(doc.characterCount() - 1);
    QVERIFY(!c.charFormat().isAnchor());
}

void TestRtfReader::pageBreak()
{
    QTextDocument doc;
    RtfReader::read(R"({\rtf1 a\page b\par\page c})", &doc);
    QCOMPARE(doc.toPlainText(), QStringLiteral("a\nb\nc"));
    QCOMPARE(doc.blockCount(), 3);
    QVERIFY(!(doc.begin().blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore));
    QVERIFY(doc.findBlockByNumber(1).blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
    QVERIFY(doc.findBlockByNumber(2).blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
}

void TestRtfReader::replacesContentAndUndo()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("alt"));
    QTextCursor(&doc).insertText(QStringLiteral("mehr "));
    QVERIFY(doc.isUndoAvailable());
    RtfReader::read(R"({\rtf1 neu})", &doc);
    QCOMPARE(doc.toPlainText(), QStringLiteral("neu"));
    QVERIFY(!doc.isUndoAvailable());
    QVERIFY(doc.isUndoRedoEnabled());
    QVERIFY(!doc.isModified());
}

void TestRtfReader::damaged_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("damaged");

    QTest::newRow("groups left open") << QByteArray(R"({\rtf1 a{\b b)") << QStringLiteral("ab") << true;
    QTest::newRow("cut off in a word") << QByteArray(R"({\rtf1 ok\pa)") << QStringLiteral("ok") << true;
    QTest::newRow("cut off after a backslash") << QByteArray("{\\rtf1 ok\\") << QStringLiteral("ok") << true;
    QTest::newRow("cut off in an escape") << QByteArray(R"({\rtf1 ok\')") << QStringLiteral("ok") << true;
    QTest::newRow("bad escape") << QByteArray(R"({\rtf1 a\'zzb})") << QStringLiteral("azzb") << true;
    QTest::newRow("closed before opened") << QByteArray(R"(}}{\rtf1 x})") << QStringLiteral("x") << true;
    QTest::newRow("extra close after the end") << QByteArray(R"({\rtf1 a}})") << QStringLiteral("a") << false;
    QTest::newRow("font table left open") << QByteArray(R"({\rtf1{\fonttbl{\f0 Arial;})") << QString() << true;
    QTest::newRow("\\bin longer than the file") << QByteArray(R"({\rtf1 a\bin999999999 xyz)") << QStringLiteral("a") << true;
}

void TestRtfReader::damaged()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QFETCH(bool, damaged);
    bool wasDamaged = !damaged;
    QCOMPARE(load(rtf, &wasDamaged), expected);
    QCOMPARE(wasDamaged, damaged);
}

// Inputs built to make a careless reader recurse, allocate or loop without
// end. Each must load; the text that is there must come out.
void TestRtfReader::hostile_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    const int n = 200000;
    QTest::newRow("deep nesting, closed")
        << (QByteArray("{\\rtf1 ") + QByteArray(n, '{') + "tief" + QByteArray(n, '}') + " oben}") << QStringLiteral("tief oben");
    QTest::newRow("deep nesting, never closed") << (QByteArray("{\\rtf1 ") + QByteArray(n, '{') + "tief") << QStringLiteral("tief");
    QTest::newRow("deep skipped destination")
        << (QByteArray("{\\rtf1 a{\\*\\x") + QByteArray(n, '{') + "geheim" + QByteArray(n, '}') + "}b}") << QStringLiteral("ab");
    QTest::newRow("huge parameters")
        << QByteArray(R"({\rtf1\fs99999999999999999999\li-99999999999999\cf-5\f-2147483648\ansicpg-1\uc99999999\u99999999999 0123456789rest})")
        << QStringLiteral(u"\uFFFDrest");
    QTest::newRow("long control word") << (QByteArray("{\\rtf1 a\\") + QByteArray(100000, 'x') + " b}") << QStringLiteral("ab");
    QTest::newRow("many fonts")
        << (QByteArray("{\\rtf1{\\fonttbl") + QByteArray("{\\f1 F;}").repeated(100000) + "}x}") << QStringLiteral("x");
    QTest::newRow("many colours")
        << (QByteArray("{\\rtf1{\\colortbl") + QByteArray(";").repeated(300000) + "}\\cf299999 x}") << QStringLiteral("x");
    QTest::newRow("many paragraphs") << (QByteArray("{\\rtf1 ") + QByteArray("\\par").repeated(100000) + "}")
                                     << QString(99999, u'\n');
    QTest::newRow("many cells") << (QByteArray("{\\rtf1 ") + QByteArray("\\cell ").repeated(100000) + "x}")
                                << (QString(100000, u'\t') + u'x');
    QTest::newRow("many list levels")
        << (QByteArray(R"({\rtf1{\*\listtable{\list)") + QByteArray("{\\listlevel\\levelnfc4}").repeated(10000)
            + R"(\listid1}}{\*\listoverridetable{\listoverride\listid1\ls1}}\ls1\ilvl999 x})")
        << QStringLiteral("x");
}

void TestRtfReader::hostile()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(load(rtf), expected);
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
