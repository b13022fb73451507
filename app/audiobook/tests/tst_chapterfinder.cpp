// The chapters of documents read by every reader, taken from the document.

#include "Book.h"
#include "ChapterFinder.h"
#include "DocumentIO.h"
#include "RtfWriter.h"
#include "TestFiles.h"

#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

const QByteArray kOdtHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:text>";
const QByteArray kW = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";

QByteArray xhtml(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\"><head>"
           "<title>T</title></head><body>" + body + "</body></html>";
}

QByteArray docxParagraph(const QByteArray &style, const QByteArray &text)
{
    const QByteArray pPr = style.isEmpty() ? QByteArray() : "<w:pPr><w:pStyle w:val=\"" + style + "\"/></w:pPr>";
    return "<w:p>" + pPr + "<w:r><w:t>" + text + "</w:t></w:r></w:p>";
}

QByteArray docx()
{
    const QByteArray styles = "<?xml version=\"1.0\"?><w:styles " + kW + ">"
        "<w:style w:type=\"paragraph\" w:styleId=\"U1\"><w:name w:val=\"heading 1\"/></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"U2\"><w:name w:val=\"heading 2\"/></w:style></w:styles>";
    const QByteArray document = "<?xml version=\"1.0\"?><w:document " + kW + "><w:body>"
        + docxParagraph("U1", "Eins") + docxParagraph({}, "a") + docxParagraph("U2", "Zwei")
        + docxParagraph({}, "b") + docxParagraph("U1", "Drei") + docxParagraph({}, "c")
        + "</w:body></w:document>";
    return TestFiles::docx(document, styles);
}

// Three chapter files, two of them without a heading, and a table of
// contents that names them: a navigation document or an NCX.
QByteArray epubWithToc(bool ncx)
{
    const QByteArray nav =
        "<?xml version=\"1.0\"?><html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\">"
        "<body><nav epub:type=\"landmarks\"><ol><li><a href=\"k/zwei.xhtml\">Falsch</a></li></ol></nav>"
        "<nav epub:type=\"toc\"><ol><li><a href=\"k/eins.xhtml\">Eins</a></li>"
        "<li><a href=\"k/zwei.xhtml\">Zwei laut Inhalt</a><ol><li><a href=\"k/drei.xhtml#s\"><span>Dr</span>ei</a>"
        "</li></ol></li></ol></nav></body></html>";
    const QByteArray toc =
        "<?xml version=\"1.0\"?><ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\"><navMap>"
        "<navPoint><navLabel><text>Eins</text></navLabel><content src=\"k/eins.xhtml\"/></navPoint>"
        "<navPoint><navLabel><text>Zwei laut Inhalt</text></navLabel><content src=\"k/zwei.xhtml\"/>"
        "<navPoint><navLabel><text>Drei</text></navLabel><content src=\"k/drei.xhtml#s\"/></navPoint>"
        "</navPoint></navMap></ncx>";
    const QByteArray tocItem = ncx ? "<item id=\"t\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>"
                                   : "<item id=\"t\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" "
                                     "properties=\"nav\"/>";
    return TestFiles::zip(
        {{"mimetype", "application/epub+zip"},
         {"META-INF/container.xml",
          "<?xml version=\"1.0\"?><container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">"
          "<rootfiles><rootfile full-path=\"O/content.opf\" media-type=\"application/oebps-package+xml\"/>"
          "</rootfiles></container>"},
         {"O/content.opf",
          "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\"><manifest>" + tocItem
              + "<item id=\"a\" href=\"k/eins.xhtml\" media-type=\"application/xhtml+xml\"/>"
                "<item id=\"b\" href=\"k/zwei.xhtml\" media-type=\"application/xhtml+xml\"/>"
                "<item id=\"c\" href=\"k/drei.xhtml\" media-type=\"application/xhtml+xml\"/></manifest>"
                "<spine><itemref idref=\"a\"/><itemref idref=\"b\"/><itemref idref=\"c\"/></spine></package>"},
         {ncx ? "O/toc.ncx" : "O/nav.xhtml", ncx ? toc : nav},
         {"O/k/eins.xhtml", xhtml("<p>a</p>")},
         {"O/k/zwei.xhtml", xhtml("<h1>Zwei</h1><p>b</p>")},
         {"O/k/drei.xhtml", xhtml("<p>c</p>")}});
}

// Chapters cover the document in order, each starting at its heading.
void verifyCovers(const QTextDocument &doc, const ChapterList &list)
{
    QVERIFY(!list.chapters.empty());
    QCOMPARE(list.chapters.front().position, 0);
    for (size_t i = 0; i < list.chapters.size(); ++i) {
        const Chapter &c = list.chapters[i];
        QVERIFY(c.position < c.end);
        QVERIFY(c.title.size() <= ChapterFinder::kMaxTitleLength);
        QVERIFY(!c.title.contains(QLatin1Char('\n')));
        if (i + 1 < list.chapters.size())
            QCOMPARE(c.end, list.chapters[i + 1].position);
        if (!c.title.isEmpty() && !c.title.endsWith(QChar(0x2026)))
            QCOMPARE(doc.findBlock(c.position).text().simplified(), c.title);
    }
    QCOMPARE(list.chapters.back().end, doc.characterCount() - 1);
}

QStringList titles(const ChapterList &list)
{
    QStringList t;
    for (const Chapter &c : list.chapters)
        t << c.title;
    return t;
}

} // namespace

class tst_chapterfinder : public QObject
{
    Q_OBJECT

private slots:
    void chapters_data();
    void chapters();
    void keptWhenEditedAndSavedAsRtf();
    void hostileDocument();
    void pandocBookWithItsMetadata();
};

void tst_chapterfinder::chapters_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("structured");

    const QByteArray html = "<html><body><h1>Eins</h1><p>a</p><h2>Zwei</h2><p>b</p><h1>Drei</h1><p>c</p></body></html>";
    const QStringList top{"Eins", "Drei"};
    const QStringList both{"Eins", "Zwei", "Drei"};
    QTest::newRow("html") << html << "a.html" << 0 << QString() << top << true;
    QTest::newRow("html level 2") << html << "a.html" << 2 << QString() << both << true;
    QTest::newRow("html level 5: deepest present") << html << "a.html" << 5 << QString() << both << true;
    QTest::newRow("markdown, text before the first heading")
        << QByteArray("Vorab.\n\n## Eins\n\na\n\n### Zwei\n\nb\n\n## Drei\n\nc\n") << "a.md" << 0 << QString()
        << QStringList{"", "Eins", "Drei"} << true;
    QTest::newRow("epub") << TestFiles::epub({{"k1.xhtml", xhtml("<h1>Eins</h1><p>a</p><h2>Zwei</h2><p>b</p>")},
                                             {"k2.xhtml", xhtml("<h1>Drei</h1><p>c</p>")}})
                          << "b.epub" << 2 << QString() << both << true;
    const QStringList fromToc{"Eins", "Zwei", "Drei"};
    QTest::newRow("epub: navigation document") << epubWithToc(false) << "b.epub" << 2 << QString() << fromToc << true;
    QTest::newRow("epub: ncx") << epubWithToc(true) << "b.epub" << 2 << QString() << fromToc << true;
    QTest::newRow("odt") << TestFiles::odt(kOdtHead
                                           + "<text:h text:outline-level=\"1\">Eins</text:h><text:p>a</text:p>"
                                             "<text:h text:outline-level=\"2\">Zwei</text:h><text:p>b</text:p>"
                                             "<text:h text:outline-level=\"1\">Drei</text:h><text:p>c</text:p>"
                                             "</office:text></office:body></office:document-content>")
                         << "b.odt" << 0 << QString() << top << true;
    QTest::newRow("docx") << docx() << "b.docx" << 2 << QString() << both << true;
    QTest::newRow("rtf outline levels")
        << QByteArray("{\\rtf1\\ansi {\\pard\\outlinelevel0 Eins\\par}{\\pard a\\par}{\\pard\\outlinelevel1 Zwei\\par}"
                      "\\pard b\\par\\pard\\outlinelevel0 Drei\\par\\pard c\\par}")
        << "b.rtf" << 0 << QString() << top << true;
    QFile pdf(QStringLiteral(IMPORT_DATA "/kapitel.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QTest::newRow("pdf outline") << pdf.readAll() << "kapitel.pdf" << 2 << QString()
                                 << QStringList{"Die Abfahrt", "Im Abteil", "Die Ankunft"} << true;
    QTest::newRow("plain text: one chapter") << QByteArray("Kapitel 1\nText\n") << "c.txt" << 0 << QString()
                                             << QStringList{""} << false;
    QTest::newRow("plain text with a rule")
        << QByteArray("Vorwort\nKapitel 1: Anfang\nText\nDas Kapitel\nTeil 2\nText\n") << "c.txt" << 0
        << QStringLiteral("^(Kapitel|Teil) ") << QStringList{"", "Kapitel 1: Anfang", "Teil 2"} << true;
    QTest::newRow("rule matching nothing") << QByteArray("Text\n") << "c.txt" << 0 << QStringLiteral("^Kapitel ")
                                           << QStringList{""} << false;
}

void tst_chapterfinder::chapters()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, fileName);
    QFETCH(int, level);
    QFETCH(QString, rule);
    QFETCH(QStringList, expected);
    QFETCH(bool, structured);

    QTextDocument doc;
    const DocumentLoadResult r = DocumentIO::loadBytes(bytes, &doc, fileName);
    QVERIFY2(r.ok, qPrintable(r.message));
    ChapterFinder::Options options;
    options.level = level;
    options.rule = QRegularExpression(rule);
    const ChapterList list = ChapterFinder::find(doc, options);
    QCOMPARE(titles(list), expected);
    QCOMPARE(list.structured, structured);
    QVERIFY(list.error.isEmpty());
    verifyCovers(doc, list);
}

void tst_chapterfinder::keptWhenEditedAndSavedAsRtf()
{
    QTextDocument doc;
    QVERIFY(DocumentIO::loadBytes(QByteArray("# Eins\n\na\n\n## Zwei\n\nb\n"), &doc, "a.md").ok);
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("Neu: "));
    // The user makes a paragraph a heading.
    QTextCursor last(doc.findBlockByNumber(doc.blockCount() - 1));
    QTextBlockFormat heading = last.blockFormat();
    heading.setHeadingLevel(1);
    last.setBlockFormat(heading);

    const QTextDocument &edited = doc;
    QTextDocument reread;
    QVERIFY(DocumentIO::loadBytes(RtfWriter::write(doc), &reread, "a.rtf").ok);
    for (const QTextDocument *d : {&edited, static_cast<const QTextDocument *>(&reread)}) {
        const ChapterList list = ChapterFinder::find(*d);
        QCOMPARE(titles(list), (QStringList{"Neu: Eins", "b"}));
        QCOMPARE(list.levels, (std::vector<int>{1, 2}));
        verifyCovers(*d, list);
    }

    // A rule that is no pattern says so and keeps the document whole.
    ChapterFinder::Options bad;
    bad.rule = QRegularExpression(QStringLiteral("(Kapitel"));
    const ChapterList list = ChapterFinder::find(doc, bad);
    QVERIFY(list.error.startsWith(QStringLiteral("Das Muster für Kapitelanfänge ist ungültig: ")));
    QCOMPARE(list.chapters.size(), size_t(1));
}

void tst_chapterfinder::hostileDocument()
{
    // Thousands of one-word chapters and a title of 10 000 characters with
    // control characters in it.
    QByteArray md;
    for (int i = 0; i < 5000; ++i)
        md += "# W" + QByteArray::number(i) + "\n\nx\n\n";
    md += "# " + QByteArray(5000, 'a') + "\x01\t" + QByteArray(5000, 'b') + "\n\nEnde\n";
    QTextDocument doc;
    QVERIFY(DocumentIO::loadBytes(md, &doc, "h.md").ok);
    const ChapterList list = ChapterFinder::find(doc);
    QCOMPARE(list.chapters.size(), size_t(5001));
    QCOMPARE(list.chapters[4999].title, QStringLiteral("W4999"));
    const QString longTitle = list.chapters.back().title;
    QCOMPARE(longTitle.size(), ChapterFinder::kMaxTitleLength);
    QVERIFY(longTitle.endsWith(QChar(0x2026)));
    verifyCovers(doc, list);
}

// A book made by another program: its title page is no chapter, and the
// book knows its title, author, year and cover.
void tst_chapterfinder::pandocBookWithItsMetadata()
{
    QTextDocument doc;
    const DocumentLoadResult r = DocumentIO::loadFile(QStringLiteral(BOOK_DATA "/drei-kapitel.epub"), &doc);
    QVERIFY2(r.ok, qPrintable(r.message));
    const Book book = Book::fromDocument(doc);
    QStringList titles;
    for (const BookChapter &chapter : book.chapters)
        titles << chapter.title;
    QCOMPARE(titles, (QStringList{"Die Quelle", "Die Stadt", "Das Meer"}));
    QVERIFY2(book.chapters.first().text.contains(QStringLiteral("\nHoch in den Bergen")), qPrintable(book.chapters.first().text));
    QCOMPARE(book.info.title, QStringLiteral("Drei Kapitel über den Fluss"));
    QCOMPARE(book.info.author, QStringLiteral("Marta Lindqvist"));
    QCOMPARE(book.info.year, QStringLiteral("2019"));
    QVERIFY(book.info.cover.startsWith("\xFF\xD8\xFF"));
    QCOMPARE(QImage::fromData(book.info.cover).size(), QSize(96, 128));
}

QTEST_MAIN(tst_chapterfinder)
#include "tst_chapterfinder.moc"
