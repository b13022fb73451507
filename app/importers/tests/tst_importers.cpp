// Documents of other programs through DocumentIO, as the window, scripts
// and quenora-speak open them: real files made at run time.
#include "DocumentIO.h"
#include "DocumentImporter.h"
#include "DocumentMetadata.h"
#include "DocumentResources.h"
#include "ImportMessages.h"
#include "MarkdownReader.h"
#include "PdfTextAssembler.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <atomic>

#include <sys/stat.h>

Q_DECLARE_METATYPE(DocumentFormat)

namespace {

QStringList blockTexts(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out << b.text();
    return out;
}

// Loads a file of the shared test data into doc; false (and the reason as a
// test failure) when it does not open.
bool loadDataFile(const QString &file, QTextDocument &doc)
{
    QFile f(QStringLiteral(IMPORT_DATA "/") + file);
    if (!f.open(QIODevice::ReadOnly)) {
        qWarning("%s: %s", qPrintable(f.fileName()), qPrintable(f.errorString()));
        return false;
    }
    const DocumentLoadResult r = DocumentIO::loadBytes(f.readAll(), &doc, file);
    if (!r.ok)
        qWarning("%s: %s", qPrintable(file), qPrintable(r.message));
    return r.ok;
}

QTextBlock blockWith(const QTextDocument &doc, const QString &start)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.text().startsWith(start))
            return b;
    }
    return {};
}

// The character format at the first occurrence of a word.
QTextCharFormat formatOf(const QTextDocument &doc, const QString &word)
{
    QTextCursor c = doc.find(word);
    if (c.isNull())
        return {};
    QTextCursor at(c.document());
    at.setPosition(c.selectionStart() + 1);
    return at.charFormat();
}

PdfLine line(const QString &text, double top, double left = 72, double right = 520, double height = 11)
{
    return PdfLine{text, QRectF(left, top, right - left, height)};
}

const QByteArray kOdtHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
    "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
    "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\">";

const QByteArray kDocxHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";

QByteArray xhtml(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" \"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>Titel</title>"
           "<style>p { margin: 0 }</style></head><body>"
           + body + "</body></html>";
}

// A one-page PDF saying "Ein Satz." whose information dictionary holds
// `info` (the entries between << and >>).
QByteArray pdfWithInfo(const QByteArray &info)
{
    const QByteArray content = "BT /F1 12 Tf 20 100 Td (Ein Satz.) Tj ET";
    const QList<QByteArray> objects{
        "<</Type/Catalog/Pages 2 0 R>>",
        "<</Type/Pages/Kids[3 0 R]/Count 1>>",
        "<</Type/Page/Parent 2 0 R/MediaBox[0 0 300 200]/Resources<</Font<</F1 4 0 R>>>>/Contents 5 0 R>>",
        "<</Type/Font/Subtype/Type1/BaseFont/Helvetica>>",
        "<</Length " + QByteArray::number(content.size()) + ">>\nstream\n" + content + "\nendstream",
        "<<" + info + ">>",
    };
    QByteArray pdf = "%PDF-1.4\n";
    QByteArray xref = "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype i = 0; i < objects.size(); ++i) {
        xref += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const QByteArray start = QByteArray::number(pdf.size());
    return pdf + xref + "trailer\n<</Size " + QByteArray::number(objects.size() + 1)
           + "/Root 1 0 R/Info 6 0 R>>\nstartxref\n" + start + "\n%%EOF\n";
}

QByteArray pngPicture()
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::darkRed);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

// An EPUB 2 package: its cover named by <meta name="cover">.
QByteArray epub2(const QByteArray &metadata, const QByteArray &cover)
{
    return TestFiles::zip(
        {{QStringLiteral("mimetype"), "application/epub+zip"},
         {QStringLiteral("META-INF/container.xml"),
          "<?xml version=\"1.0\"?><container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">"
          "<rootfiles><rootfile full-path=\"content.opf\" media-type=\"application/oebps-package+xml\"/></rootfiles>"
          "</container>"},
         {QStringLiteral("content.opf"),
          "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"2.0\">"
          "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:opf=\"http://www.idpf.org/2007/opf\">"
              + metadata
              + "<meta name=\"cover\" content=\"bild\"/></metadata><manifest>"
                "<item id=\"k\" href=\"k.xhtml\" media-type=\"application/xhtml+xml\"/>"
                "<item id=\"bild\" href=\"bilder/umschlag.png\" media-type=\"image/png\"/>"
                "</manifest><spine><itemref idref=\"k\"/></spine></package>"},
         {QStringLiteral("k.xhtml"), xhtml("<p>Ein Satz.</p>")},
         {QStringLiteral("bilder/umschlag.png"), cover}});
}

} // namespace

class tst_importers : public QObject
{
    Q_OBJECT
private slots:
    void joinLines_data();
    void joinLines();
    void linesJoinInPlace();
    void outlineMarksHeadings_data();
    void outlineMarksHeadings();
    void runningHeadersAndPageNumbersLeftOut();
    void paragraphsFromLines();
    void titleOnTheFirstPageStays();
    void libreOfficePdfs_data();
    void libreOfficePdfs();
    void pdfOpensAsParagraphs();
    void pdfProgressAndCancel();
    void pdfWithoutTextSaysSo();
    void pdfWhoseOnlyTextRepeatsKeepsIt();
    void encryptedPdfNeedsItsPassword();
    void epubChaptersInSpineOrder();
    void odtKeepsStructure();
    void docxKeepsStructure();
    void htmlAndMarkdown_data();
    void htmlAndMarkdown();
    void footnotesAndMetadata_data();
    void footnotesAndMetadata();
    void markdownPreparation_data();
    void markdownPreparation();
    void detection_data();
    void detection();
    void hostileFiles_data();
    void hostileFiles();
    void readTextForSpeaking();
    void picturesOnlyFromTheDocument_data();
    void picturesOnlyFromTheDocument();
    void hostilePicturesNeitherBlockNorFillMemory();
    void picturesFollowTheDocumentsFolder();
    void metadataFromEachFormat_data();
    void metadataFromEachFormat();
};

void tst_importers::joinLines_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("joined");
    QTest::newRow("plain") << "Ende der" << "Zeile" << "Ende der Zeile";
    QTest::newRow("hyphenated word") << "die Silben-" << "trennung hilft" << "die Silbentrennung hilft";
    QTest::newRow("left-out part with und") << "die Nord-" << "und Südseite" << "die Nord- und Südseite";
    QTest::newRow("left-out part with oder") << "Ein-" << "oder Ausgang" << "Ein- oder Ausgang";
    QTest::newRow("compound with capital") << "das Max-" << "Planck-Institut" << "das Max-Planck-Institut";
    QTest::newRow("soft hyphen") << QString("Bei\u00ADspiel-").chopped(1) + QChar(0x00AD) << "satz"
                                 << QString("Bei\u00ADspielsatz");
    QTest::newRow("dash after a digit") << "Seiten 5-" << "10" << "Seiten 5- 10";
    QTest::newRow("hyphen before a line that starts with a blank") << "Silben-" << " trennung" << "Silben- trennung";
}

void tst_importers::joinLines()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, joined);
    QCOMPARE(PdfTextAssembler::joinLines(first, second), joined);
}

void tst_importers::outlineMarksHeadings_data()
{
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QList<int>>("levels");

    // Paragraphs: "Inhalt", "Eins", "Text", "Zwei", "Eins", "Text".
    QTest::newRow("in order, white space and case aside")
        << QStringList{"eins", "  Zwei "} << QList<int>{0, 1, 0, 1, 0, 0};
    QTest::newRow("a title met again marks the next occurrence")
        << QStringList{"Eins", "Eins"} << QList<int>{0, 1, 0, 0, 1, 0};
    QTest::newRow("an entry not found ahead marks nothing")
        << QStringList{"Zwei", "Fehlt", "Inhalt", "Eins"} << QList<int>{0, 0, 0, 1, 1, 0};
}

void tst_importers::outlineMarksHeadings()
{
    QFETCH(QStringList, titles);
    QFETCH(QList<int>, levels);
    std::vector<PdfOutlineEntry> outline;
    for (const QString &t : titles)
        outline.push_back({t, 1});
    const QStringList paragraphs{"Inhalt", "Eins", "Text", "Zwei", "Eins", "Text"};
    const std::vector<int> found = PdfTextAssembler::headingLevels(paragraphs, outline);
    QCOMPARE(QList<int>(found.begin(), found.end()), levels);
}

// A paragraph over thousands of pages grows by each line in its own buffer;
// copying it whole for every line made long paragraphs quadratic.
void tst_importers::linesJoinInPlace()
{
    QString paragraph = QStringLiteral("Anfang");
    paragraph.reserve(1000);
    const QChar *buffer = paragraph.constData();
    for (int i = 0; i < 20; ++i) {
        PdfTextAssembler::appendLine(paragraph, QStringLiteral("Silben-"));
        PdfTextAssembler::appendLine(paragraph, QStringLiteral("trennung"));
    }
    QCOMPARE(paragraph.constData(), buffer);
    QVERIFY(paragraph.endsWith(QStringLiteral(" Silbentrennung Silbentrennung")));
}

void tst_importers::runningHeadersAndPageNumbersLeftOut()
{
    std::vector<PdfPageText> pages;
    for (int i = 1; i <= 4; ++i) {
        PdfPageText page;
        page.size = QSizeF(595, 842);
        page.lines.push_back(line(QStringLiteral("Handbuch \u2013 Kapitel %1").arg(i), 30));
        page.lines.push_back(line(QStringLiteral("Text der Seite %1.").arg(i), 100, 72, 200));
        if (i == 2) // a margin line on one page only is text
            page.lines.push_back(line(QStringLiteral("Einmalige Randnotiz."), 800, 72, 200));
        page.lines.push_back(line(QString::number(i), 810, 290, 300));
        pages.push_back(page);
    }
    const QStringList paragraphs = PdfTextAssembler::paragraphs(pages);
    QCOMPARE(paragraphs, (QStringList{"Text der Seite 1.", "Text der Seite 2.", "Einmalige Randnotiz.",
                                      "Text der Seite 3.", "Text der Seite 4."}));

    // A single page has nothing that repeats: its margins are text, but a
    // bare number at its foot is still a page number.
    pages.resize(1);
    QCOMPARE(PdfTextAssembler::paragraphs(pages),
             (QStringList{"Handbuch \u2013 Kapitel 1", "Text der Seite 1."}));
}

void tst_importers::paragraphsFromLines()
{
    PdfPageText page;
    page.size = QSizeF(595, 842);
    page.lines = {
        line("Überschrift", 100, 72, 200, 18),
        line("Der erste Absatz beginnt hier und läuft über die", 130),
        line("ganze Breite der Seite, bis er mit einem kurzen", 144),
        line("Satz endet.", 158, 72, 150),
        line("Der zweite Absatz folgt ohne Abstand nach einer", 172),
        line("kurzen Zeile.", 186, 72, 160),
        line("Flattersatz endet mitten im Satz", 200, 72, 420),
        line("früher, ohne den Absatz zu beenden.", 214, 72, 300),
        line("Nach einem großen Abstand beginnt der dritte", 260),
        line("Absatz, der auf der nächsten Seite weitergeht", 274),
    };
    PdfPageText next;
    next.size = page.size;
    next.lines = {line("und dort endet.", 100, 72, 180)};
    QCOMPARE(PdfTextAssembler::paragraphs({page, next}),
             (QStringList{"Überschrift",
                          "Der erste Absatz beginnt hier und läuft über die ganze Breite der Seite, bis er mit "
                          "einem kurzen Satz endet.",
                          "Der zweite Absatz folgt ohne Abstand nach einer kurzen Zeile.",
                          "Flattersatz endet mitten im Satz früher, ohne den Absatz zu beenden.",
                          "Nach einem großen Abstand beginnt der dritte Absatz, der auf der nächsten Seite "
                          "weitergeht und dort endet."}));
}

// A running header is a line repeated on most pages; where its first
// occurrence is the document's title, larger than the header, that one stays.
void tst_importers::titleOnTheFirstPageStays()
{
    std::vector<PdfPageText> pages;
    for (int i = 1; i <= 4; ++i) {
        PdfPageText page;
        page.size = QSizeF(610, 789);
        if (i == 1)
            page.lines.push_back(line("Shared MIME-info Database", 71, 166, 492, 23));
        else
            page.lines.push_back(line("Shared MIME-info Database", 50, 422, 538, 9));
        page.lines.push_back(line(QStringLiteral("Text der Seite %1.").arg(i), 300, 120, 300, 9));
        pages.push_back(page);
    }
    QCOMPARE(PdfTextAssembler::paragraphs(pages),
             (QStringList{"Shared MIME-info Database", "Text der Seite 1.", "Text der Seite 2.", "Text der Seite 3.",
                          "Text der Seite 4."}));
    // A header of the same size everywhere, the first page's too, goes.
    pages[0].lines[0] = line("Shared MIME-info Database", 50, 422, 538, 9);
    QCOMPARE(PdfTextAssembler::paragraphs(pages).first(), QStringLiteral("Text der Seite 1."));
}

// PDFs LibreOffice wrote (see data/README): the bullets, which Poppler
// gives as lines of their own and partly after the list, are not read and
// each item is a paragraph; a paragraph whose last sentence ends where the
// next word would still have fitted ends there.
void tst_importers::libreOfficePdfs_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("paragraphs");
    const QString tram = "Die Straßenbahn in Köln fährt seit vielen Jahren durch die ganze Stadt, vom Rhein bis in die "
                         "Vororte im Westen, und sie bringt jeden Tag viele Menschen zur Arbeit";
    QTest::newRow("lists") << "liste.pdf"
                           << QStringList{tram + ".",
                                          "Ein zweiter Absatz folgt hier mit so viel Text, dass auch er über mehrere "
                                          "Zeilen läuft und die Zeilen des Absatzes wieder zusammengefügt werden müssen.",
                                          "Erster Punkt der Liste",
                                          "Zweiter Punkt der Liste, der so lang ist, dass er auf der nächsten Zeile "
                                          "weitergeht und umbrochen wird",
                                          "Dritter Punkt", "1. Erster Schritt", "2. Zweiter Schritt",
                                          "Danach geht der Text weiter."};
    const QString tramLong = tram + ", zur Schule und wieder nach Hause. Auch am Wochenende ist sie voll.";
    QTest::newRow("paragraphs without spacing")
        << "absatz.pdf"
        << QStringList{tramLong,
                       "Ein zweiter Absatz folgt hier mit so viel Text, dass auch er über mehrere Zeilen läuft und die "
                       "Zeilen des Absatzes wieder zusammengefügt werden müssen, bevor sie vorgelesen werden.",
                       tramLong};
}

void tst_importers::libreOfficePdfs()
{
    QFETCH(QString, file);
    QFETCH(QStringList, paragraphs);
    QTextDocument doc;
    QVERIFY(loadDataFile(file, doc));
    QCOMPARE(blockTexts(doc), paragraphs);
}

void tst_importers::pdfOpensAsParagraphs()
{
    const QByteArray pdf = TestFiles::pdf({
        {"Quenora Handbuch",
         {"Ein Vorleseprogramm liest Dokumente vor, auch lange",
          "Texte mit automatischer Silben-",
          "trennung und mit Wörtern wie der Nord-",
          "und Südseite eines Hauses.",
          "",
          "Der zweite Absatz steht auf der ersten Seite und"},
         "1"},
        {"Quenora Handbuch",
         {"geht auf der zweiten Seite weiter, bis zum Ende."},
         "2"},
    });
    QTextDocument doc;
    const DocumentLoadResult r = DocumentIO::loadBytes(pdf, &doc, QStringLiteral("handbuch.pdf"));
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.format, DocumentFormat::Pdf);
    QVERIFY(r.imported());
    QCOMPARE(blockTexts(doc),
             (QStringList{"Ein Vorleseprogramm liest Dokumente vor, auch lange Texte mit automatischer "
                          "Silbentrennung und mit Wörtern wie der Nord- und Südseite eines Hauses.",
                          "Der zweite Absatz steht auf der ersten Seite und geht auf der zweiten Seite weiter, "
                          "bis zum Ende."}));
    QVERIFY(!doc.isModified());
}

void tst_importers::pdfProgressAndCancel()
{
    QList<TestFiles::PdfPage> pages;
    for (int i = 0; i < 8; ++i)
        pages.append({QString(), {QStringLiteral("Seite %1 mit etwas Text.").arg(i + 1)}, QString()});
    const QByteArray pdf = TestFiles::pdf(pages);

    QList<int> seen;
    ImportControl control;
    control.progress = [&seen](int p) { seen << p; };
    PreparedDocument done = DocumentIO::prepareBytes(pdf, QString(), control);
    QVERIFY(done.result.ok);
    QVERIFY(seen.size() >= 8);
    QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
    QCOMPARE(seen.last(), 100);

    // Cancelled after the third page: nothing is handed back.
    std::atomic<bool> cancel{false};
    int reports = 0;
    control.cancel = &cancel;
    control.progress = [&](int) {
        if (++reports == 3)
            cancel = true;
    };
    const PreparedDocument cancelled = DocumentIO::prepareBytes(pdf, QString(), control);
    QVERIFY(cancelled.cancelled());
    QVERIFY(!cancelled.result.ok);
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Alter Text"));
    DocumentIO::applyPrepared(cancelled, &doc);
    QCOMPARE(doc.toPlainText(), QStringLiteral("Alter Text"));
}

void tst_importers::pdfWithoutTextSaysSo()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Alter Text"));
    const DocumentLoadResult r = DocumentIO::loadBytes(TestFiles::pdfWithoutText(), &doc);
    QVERIFY(!r.ok);
    QCOMPARE(r.format, DocumentFormat::Pdf);
    QCOMPARE(r.message, ImportMessages::PdfNoText);
    QCOMPARE(doc.toPlainText(), QStringLiteral("Alter Text"));
}

// One line at the top of every page and nothing else is the document's text,
// not a running header to be left out (and then "no text").
void tst_importers::pdfWhoseOnlyTextRepeatsKeepsIt()
{
    const QByteArray pdf = TestFiles::pdf({{"Nur diese Zeile", {}, "1"}, {"Nur diese Zeile", {}, "2"},
                                           {"Nur diese Zeile", {}, "3"}});
    QTextDocument doc;
    const DocumentLoadResult r = DocumentIO::loadBytes(pdf, &doc, QStringLiteral("zeile.pdf"));
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(doc.toPlainText().count(QStringLiteral("Nur diese Zeile")), 3);
    QVERIFY(!doc.toPlainText().contains(QLatin1Char('2')));
}

void tst_importers::encryptedPdfNeedsItsPassword()
{
    const QByteArray pdf = TestFiles::encryptedPdf("Geheimer Text.", "geheim");
    const struct {
        const char *password;
        ImportStatus status;
    } rows[] = {{"", ImportStatus::NeedsPassword}, {"falsch", ImportStatus::WrongPassword}, {"geheim", ImportStatus::Ok}};
    for (const auto &row : rows) {
        ImportControl control;
        control.password = QString::fromUtf8(row.password);
        const PreparedDocument prepared = DocumentIO::prepareBytes(pdf, QString(), control);
        QCOMPARE(prepared.result.importStatus, row.status);
        QCOMPARE(prepared.needsPassword(), row.status != ImportStatus::Ok);
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("Alter Text"));
        DocumentIO::applyPrepared(prepared, &doc);
        QCOMPARE(doc.toPlainText(), row.status == ImportStatus::Ok ? QStringLiteral("Geheimer Text.")
                                                                   : QStringLiteral("Alter Text"));
    }

    // Where nobody can be asked, the reason is given.
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("geheim.pdf")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(pdf);
    f.close();
    QCOMPARE(DocumentIO::readText(f.fileName()).errorMessage,
             QStringLiteral("Die Datei \u201E%1\u201C konnte nicht geladen werden: Die Datei ist durch ein Kennwort "
                            "geschützt.").arg(f.fileName()));
}

void tst_importers::epubChaptersInSpineOrder()
{
    // The manifest lists the chapters backwards; the spine decides.
    const QByteArray epub = TestFiles::epub(
        {{"kapitel1.xhtml", xhtml("<h1>Erstes Kapitel</h1><p>Es war <em>einmal</em> ein Text.</p>")},
         {"teil/kapitel%202.xhtml",
          xhtml("<h2>Zweites Kapitel</h2><ul><li><p>Apfel</p></li><li>Birne</li></ul><ol><li>Eins</li></ol>")},
         {"kapitel3.xhtml",
          xhtml("<div><p>Drittes&nbsp;Kapitel mit <strong>fettem</strong>\n   Wort.</p>"
                "<script>alert('nie')</script></div>")}},
        true);
    QTextDocument doc;
    const DocumentLoadResult r = DocumentIO::loadBytes(epub, &doc, QStringLiteral("buch.epub"));
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.format, DocumentFormat::Epub);
    QCOMPARE(blockTexts(doc), (QStringList{"Erstes Kapitel", "Es war einmal ein Text.", "Zweites Kapitel", "Apfel",
                                           "Birne", "Eins", QString("Drittes\u00A0Kapitel mit fettem Wort.")}));
    QCOMPARE(blockWith(doc, "Erstes").blockFormat().headingLevel(), 1);
    QCOMPARE(blockWith(doc, "Zweites").blockFormat().headingLevel(), 2);
    QVERIFY(formatOf(doc, "einmal").fontItalic());
    QVERIFY(!formatOf(doc, "Text").fontItalic());
    QCOMPARE(formatOf(doc, "fettem").fontWeight(), int(QFont::Bold));
    QTextList *fruit = blockWith(doc, "Apfel").textList();
    QVERIFY(fruit);
    QCOMPARE(fruit->count(), 2);
    QCOMPARE(fruit->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(blockWith(doc, "Eins").textList()->format().style(), QTextListFormat::ListDecimal);
}

void tst_importers::odtKeepsStructure()
{
    const QByteArray content = kOdtHead +
        "<office:automatic-styles>"
        "<style:style style:name=\"T1\" style:family=\"text\"><style:text-properties fo:font-weight=\"bold\"/>"
        "</style:style>"
        "<style:style style:name=\"T2\" style:family=\"text\"><style:text-properties fo:font-style=\"italic\" "
        "style:text-underline-style=\"solid\"/></style:style>"
        "<text:list-style style:name=\"L1\"><text:list-level-style-number text:level=\"1\" style:num-format=\"1\"/>"
        "</text:list-style>"
        "</office:automatic-styles>"
        "<office:body><office:text>"
        "<text:tracked-changes><text:changed-region text:id=\"c1\"><text:deletion>"
        "<text:p>Gelöschter Satz.</text:p></text:deletion></text:changed-region></text:tracked-changes>"
        "<text:h text:outline-level=\"1\">Bericht</text:h>"
        "<text:p>Ein <text:span text:style-name=\"T1\">wichtiger</text:span> und "
        "<text:span text:style-name=\"T2\">betonter</text:span> Satz<text:note text:note-class=\"footnote\">"
        "<text:note-citation>1</text:note-citation><text:note-body><text:p>Die Quelle.</text:p></text:note-body>"
        "</text:note>.<text:change text:change-id=\"c1\"/></text:p>"
        "<text:list text:style-name=\"L1\"><text:list-item><text:p>Erstens</text:p></text:list-item>"
        "<text:list-item><text:p>Zweitens</text:p></text:list-item></text:list>"
        "<table:table><table:table-row><table:table-cell><text:p>Name</text:p></table:table-cell>"
        "<table:table-cell><text:p>Wert</text:p></table:table-cell></table:table-row>"
        "<table:table-row><table:table-cell><text:p>Breite</text:p></table:table-cell>"
        "<table:table-cell><text:p>12<text:s text:c=\"2\"/>cm</text:p></table:table-cell></table:table-row>"
        "</table:table>"
        "</office:text></office:body></office:document-content>";
    QTextDocument doc;
    const DocumentLoadResult r = DocumentIO::loadBytes(TestFiles::odt(content), &doc, QStringLiteral("b.odt"));
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.format, DocumentFormat::OpenDocumentText);
    QCOMPARE(blockTexts(doc), (QStringList{"Bericht", "Ein wichtiger und betonter Satz1.", "Erstens", "Zweitens",
                                           "Name\tWert", "Breite\t12  cm", "1 Die Quelle."}));
    QCOMPARE(blockWith(doc, "Bericht").blockFormat().headingLevel(), 1);
    QCOMPARE(formatOf(doc, "wichtiger").fontWeight(), int(QFont::Bold));
    QVERIFY(formatOf(doc, "betonter").fontItalic());
    QVERIFY(formatOf(doc, "betonter").fontUnderline());
    QVERIFY(!formatOf(doc, "Satz").fontItalic());
    QCOMPARE(blockWith(doc, "Erstens").textList()->format().style(), QTextListFormat::ListDecimal);
    QCOMPARE(blockWith(doc, "Erstens").textList()->count(), 2);
}

void tst_importers::docxKeepsStructure()
{
    const QByteArray styles =
        "<?xml version=\"1.0\"?><w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:style w:type=\"paragraph\" w:styleId=\"berschrift1\"><w:name w:val=\"heading 1\"/>"
        "<w:rPr><w:b/></w:rPr></w:style>"
        "<w:style w:type=\"character\" w:styleId=\"Betont\"><w:name w:val=\"Emphasis\"/><w:rPr><w:i/></w:rPr>"
        "</w:style></w:styles>";
    const QByteArray numbering =
        "<?xml version=\"1.0\"?><w:numbering xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:abstractNum w:abstractNumId=\"0\"><w:lvl w:ilvl=\"0\"><w:numFmt w:val=\"bullet\"/></w:lvl>"
        "<w:lvl w:ilvl=\"1\"><w:numFmt w:val=\"decimal\"/></w:lvl></w:abstractNum>"
        "<w:num w:numId=\"5\"><w:abstractNumId w:val=\"0\"/></w:num></w:numbering>";
    const QByteArray footnotes =
        "<?xml version=\"1.0\"?><w:footnotes xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:footnote w:type=\"separator\" w:id=\"-1\"><w:p><w:r><w:separator/></w:r></w:p></w:footnote>"
        "<w:footnote w:id=\"2\"><w:p><w:r><w:t>Siehe Anhang.</w:t></w:r></w:p></w:footnote></w:footnotes>";
    const QByteArray document = kDocxHead +
        "<w:p><w:pPr><w:pStyle w:val=\"berschrift1\"/><w:rPr><w:i/></w:rPr></w:pPr><w:r><w:t>Protokoll</w:t></w:r>"
        "</w:p>"
        "<w:p><w:r><w:t xml:space=\"preserve\">Ein </w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>fettes</w:t></w:r>"
        "<w:r><w:t xml:space=\"preserve\">, ein </w:t></w:r><w:r><w:rPr><w:rStyle w:val=\"Betont\"/></w:rPr>"
        "<w:t>kursives</w:t></w:r><w:r><w:t xml:space=\"preserve\"> und ein </w:t></w:r>"
        "<w:r><w:rPr><w:u w:val=\"single\"/></w:rPr><w:t>unterstrichenes</w:t></w:r>"
        "<w:del w:id=\"9\" w:author=\"A\"><w:r><w:delText> gestrichenes</w:delText></w:r></w:del>"
        "<w:ins w:id=\"10\" w:author=\"A\"><w:r><w:t xml:space=\"preserve\"> neues</w:t></w:r></w:ins>"
        "<w:r><w:t xml:space=\"preserve\"> Wort</w:t></w:r>"
        "<w:r><w:footnoteReference w:id=\"2\"/></w:r><w:r><w:t>.</w:t></w:r></w:p>"
        "<w:p><w:pPr><w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"5\"/></w:numPr></w:pPr>"
        "<w:r><w:t>Punkt</w:t></w:r></w:p>"
        "<w:p><w:pPr><w:numPr><w:ilvl w:val=\"1\"/><w:numId w:val=\"5\"/></w:numPr></w:pPr>"
        "<w:r><w:t>Unterpunkt</w:t></w:r></w:p>"
        "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>Ort</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>Zeit</w:t></w:r></w:p>"
        "</w:tc></w:tr><w:tr><w:tc><w:p><w:r><w:t>Saal</w:t></w:r></w:p><w:p><w:r><w:t>2</w:t></w:r></w:p></w:tc>"
        "<w:tc><w:p><w:r><w:t>9 Uhr</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
        "<w:p><w:r><w:t>Ende</w:t></w:r><w:r><w:br/><w:t>Zeile zwei</w:t></w:r></w:p>"
        "</w:body></w:document>";
    QTextDocument doc;
    const DocumentLoadResult r =
        DocumentIO::loadBytes(TestFiles::docx(document, styles, numbering, footnotes), &doc, "p.docx");
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.format, DocumentFormat::WordDocument);
    QCOMPARE(blockTexts(doc),
             (QStringList{"Protokoll", "Ein fettes, ein kursives und ein unterstrichenes neues Wort1.", "Punkt",
                          "Unterpunkt", "Ort\tZeit", "Saal 2\t9 Uhr", QString("Ende\u2028Zeile zwei"),
                          "1 Siehe Anhang."}));
    QCOMPARE(blockWith(doc, "Protokoll").blockFormat().headingLevel(), 1);
    QVERIFY(!formatOf(doc, "Protokoll").fontItalic()); // the paragraph mark's format is no text format
    QCOMPARE(formatOf(doc, "fettes").fontWeight(), int(QFont::Bold));
    QVERIFY(formatOf(doc, "kursives").fontItalic());
    QVERIFY(formatOf(doc, "unterstrichenes").fontUnderline());
    QCOMPARE(formatOf(doc, "Wort1").verticalAlignment(), QTextCharFormat::AlignNormal);
    QCOMPARE(blockWith(doc, "Punkt").textList()->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(blockWith(doc, "Unterpunkt").textList()->format().style(), QTextListFormat::ListDecimal);
}

void tst_importers::htmlAndMarkdown_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<DocumentFormat>("format");
    QTest::addColumn<QStringList>("blocks");
    QTest::addColumn<int>("headingLevel");
    QTest::newRow("html") << QByteArray("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>T</title></head>"
                                        "<body><h2>Grüße</h2><p>Ein <b>Absatz</b>.</p></body></html>")
                          << "seite.txt" << DocumentFormat::Html << QStringList{"Grüße", "Ein Absatz."} << 2;
    QTest::newRow("html in windows-1252 by name")
        << QByteArray("<p>Sch\xF6n</p>") << "alt.htm" << DocumentFormat::Html << QStringList{"Schön"} << 0;
    QTest::newRow("markdown") << QByteArray("# Titel\n\nEin **fetter** Absatz.\n\n- eins\n- zwei\n") << "liesmich.md"
                              << DocumentFormat::Markdown << QStringList{"Titel", "Ein fetter Absatz.", "eins", "zwei"}
                              << 1;
}

void tst_importers::htmlAndMarkdown()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(DocumentFormat, format);
    QFETCH(QStringList, blocks);
    QFETCH(int, headingLevel);
    QTextDocument doc;
    const DocumentLoadResult r = DocumentIO::loadBytes(bytes, &doc, name);
    QVERIFY(r.ok);
    QCOMPARE(r.format, format);
    QCOMPARE(blockTexts(doc), blocks);
    QCOMPARE(doc.begin().blockFormat().headingLevel(), headingLevel);
}

// Files pandoc made from data/strassenbahn.md: the notes come at the end,
// their numbers set apart from the word before, no way back ("↩︎") is read,
// and the front matter is metadata, not text.
void tst_importers::footnotesAndMetadata_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("blocks"); // in this order, others may lie between
    QTest::addColumn<QString>("title");
    const QString text = "Die erste Linie fuhr 1877 am Rhein. 1 Später kamen weitere hinzu. 2";
    QTest::newRow("markdown") << "strassenbahn.md"
                              << QStringList{"Geschichte", text, "1 Damals noch mit Pferden.", "2 Siehe das Stadtarchiv."}
                              << "Über die Straßenbahn in Köln";
    QTest::newRow("html by pandoc") << "strassenbahn.html"
                                    << QStringList{"Geschichte", text, "Damals noch mit Pferden.", "Siehe das Stadtarchiv."}
                                    << "Über die Straßenbahn in Köln";
    QTest::newRow("epub by pandoc") << "strassenbahn.epub"
                                    << QStringList{"Geschichte", text, "Damals noch mit Pferden.", "Siehe das Stadtarchiv."}
                                    << "";
}

void tst_importers::footnotesAndMetadata()
{
    QFETCH(QString, file);
    QFETCH(QStringList, blocks);
    QFETCH(QString, title);
    QTextDocument doc;
    QVERIFY(loadDataFile(file, doc));
    const QStringList got = blockTexts(doc);
    qsizetype at = 0;
    for (const QString &expected : blocks) {
        while (at < got.size() && got.at(at).trimmed() != expected)
            ++at;
        QVERIFY2(at < got.size(), qPrintable(expected + " | " + got.join(" | ")));
    }
    const QString all = doc.toPlainText();
    for (const char *never : {"\u21A9", "title:", "[^", "lang:"})
        QVERIFY2(!all.contains(QString::fromUtf8(never)), never);
    QCOMPARE(formatOf(doc, "1 Später").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    if (!title.isEmpty())
        QCOMPARE(doc.metaInformation(QTextDocument::DocumentTitle), title);
}

void tst_importers::markdownPreparation_data()
{
    QTest::addColumn<QString>("markdown");
    QTest::addColumn<QString>("prepared");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("author");
    QTest::newRow("front matter") << "---\ntitle: \"A: B\"\nauthor: Erika\n...\nText" << "Text" << "A: B" << "Erika";
    QTest::newRow("authors as names") << "---\nauthor:\n  - name: Ada\n  - Bob\n---\nText" << "Text" << ""
                                      << "Ada, Bob";
    QTest::newRow("rule and heading stay") << "---\nNur eine Linie\n---\nText" << "---\nNur eine Linie\n---\nText"
                                           << "" << "";
    QTest::newRow("broken yaml stays") << "---\ntitle: [offen\n---\nText" << "---\ntitle: [offen\n---\nText" << ""
                                       << "";
    QTest::newRow("not at the start") << "Text\n---\ntitle: x\n---\n" << "Text\n---\ntitle: x\n---\n" << "" << "";
    QTest::newRow("note with continuation")
        << "Satz.[^a]\n\n[^a]: Erste Zeile\n    zweite Zeile\n\nWeiter." << "Satz. <sup>1</sup>\n\n\nWeiter.\n\n1 Erste Zeile\nzweite Zeile\n"
        << "" << "";
    QTest::newRow("undefined reference stays") << "Satz[^x]." << "Satz[^x]." << "" << "";
    QTest::newRow("unused note still listed") << "Text\n\n[^n]: Notiz" << "Text\n\n\n1 Notiz\n" << "" << "";
    QTest::newRow("code is left alone") << "```\n[^a]: keine Fußnote\n```\nText[^b]\n\n[^b]: echt"
                                        << "```\n[^a]: keine Fußnote\n```\nText <sup>1</sup>\n\n\n1 echt\n" << "" << "";
}

void tst_importers::markdownPreparation()
{
    QFETCH(QString, markdown);
    QFETCH(QString, prepared);
    QFETCH(QString, title);
    QFETCH(QString, author);
    const MarkdownReader::Prepared p = MarkdownReader::prepare(markdown);
    QCOMPARE(p.markdown, prepared);
    QCOMPARE(p.title, title);
    QCOMPARE(p.author, author);
}

void tst_importers::detection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<DocumentFormat>("format");
    const QByteArray odt = TestFiles::odt(kOdtHead + "<office:body/></office:document-content>");
    QTest::newRow("pdf named .txt") << TestFiles::pdfWithoutText() << "x.txt" << DocumentFormat::Pdf;
    QTest::newRow("epub named .zip") << TestFiles::epub({{"a.xhtml", xhtml("<p>a</p>")}}) << "x.zip"
                                     << DocumentFormat::Epub;
    QTest::newRow("odt without name") << odt << "" << DocumentFormat::OpenDocumentText;
    QTest::newRow("truncated odt") << odt.left(odt.size() / 2) << "" << DocumentFormat::OpenDocumentText;
    QTest::newRow("docx named .rtf") << TestFiles::docx(kDocxHead + "</w:body></w:document>") << "x.rtf"
                                     << DocumentFormat::WordDocument;
    QTest::newRow("other zip is bytes") << TestFiles::zip({{"a.txt", "a"}}) << "a.zip" << DocumentFormat::PlainText;
    QTest::newRow("rtf named .html") << QByteArray("{\\rtf1 x}") << "x.html" << DocumentFormat::RichText;
    QTest::newRow("html by content") << QByteArray("\n  <HTML><body>x") << "x.txt" << DocumentFormat::Html;
    QTest::newRow("text named .md") << QByteArray("# x") << "x.MD" << DocumentFormat::Markdown;
    QTest::newRow("text") << QByteArray("Hallo %PDF") << "x.txt" << DocumentFormat::PlainText;
    QTest::newRow("text quoting the pdf marker")
        << QByteArray("Notizen\nJede PDF-Datei beginnt mit %PDF-1.7 und endet mit einer Zeile.\n") << "x.txt"
        << DocumentFormat::PlainText;
    QTest::newRow("pdf after garbage") << QByteArray("\x01\x02junk\n") + TestFiles::pdfWithoutText() << "x"
                                       << DocumentFormat::Pdf;
    QTest::newRow("xhtml by name") << QByteArray("<p>x</p>") << "x.xhtml" << DocumentFormat::Html;
}

void tst_importers::detection()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(DocumentFormat, format);
    QCOMPARE(DocumentIO::detectFormat(bytes, name), format);
}

void tst_importers::hostileFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    const QByteArray body = kOdtHead + "<office:body><office:text><text:p>Hallo</text:p></office:text></office:body>"
                                       "</office:document-content>";
    QByteArray bomb = kOdtHead + "<office:body><office:text><text:p>";
    bomb += QByteArray(8 * 1024 * 1024, ' ');
    bomb += "</text:p></office:text></office:body></office:document-content>";
    QTest::newRow("zip bomb") << TestFiles::odt(bomb) << ImportMessages::ArchiveRatio;

    QTest::newRow("path out of the archive")
        << TestFiles::zip({{"mimetype", "application/vnd.oasis.opendocument.text"},
                           {"content.xml", body},
                           {"../../home/user/.bashrc", "rm -rf ~"}})
        << ImportMessages::ArchiveUnsafePath("../../home/user/.bashrc");

    const QByteArray laughs =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [<!ENTITY lol \"lol\">"
        "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">"
        "<!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">]>"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
        "<w:p><w:r><w:t>&lol3;</w:t></w:r></w:p></w:body></w:document>";
    QTest::newRow("entity expansion") << TestFiles::docx(laughs) << ImportMessages::XmlEntities;

    const QByteArray epub = TestFiles::epub({{"a.xhtml", xhtml("<p>Kapitel</p>")}});
    QTest::newRow("truncated epub") << epub.left(epub.size() - 60) << ImportMessages::ArchiveDamaged;

    QTest::newRow("encrypted archive")
        << TestFiles::zip({{"mimetype", "application/vnd.oasis.opendocument.text"},
                           {"content.xml", body, true}})
        << ImportMessages::ArchiveEncrypted;

    QTest::newRow("pdf poppler cannot read") << QByteArray("%PDF-1.7\n1 0 obj << /Type /Catalog >> endobj\n%%EOF")
                                             << ImportMessages::PdfDamaged;
    QTest::newRow("epub without chapters")
        << TestFiles::zip({{"mimetype", "application/epub+zip"}}) << ImportMessages::ArchiveMissingPart("META-INF/container.xml");
}

void tst_importers::hostileFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Alter Text"));
    const DocumentLoadResult r = DocumentIO::loadBytes(bytes, &doc);
    QVERIFY(!r.ok);
    QVERIFY(r.imported());
    QCOMPARE(r.importStatus, ImportStatus::Failed);
    QCOMPARE(r.message, message);
    QCOMPARE(doc.toPlainText(), QStringLiteral("Alter Text"));
}

void tst_importers::readTextForSpeaking()
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("kurz.pdf"));
    const QString empty = dir.filePath(QStringLiteral("bild.pdf"));
    QFile f(good);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(TestFiles::pdf({{QString(), {"Guten Tag."}, QString()}}));
    f.close();
    QFile g(empty);
    QVERIFY(g.open(QIODevice::WriteOnly));
    g.write(TestFiles::pdfWithoutText());
    g.close();

    const DocumentText text = DocumentIO::readText(good);
    QVERIFY(text.ok);
    QCOMPARE(text.text, QStringLiteral("Guten Tag."));
    const DocumentText none = DocumentIO::readText(empty);
    QVERIFY(!none.ok);
    QCOMPARE(none.errorMessage, QStringLiteral("Die Datei \u201E%1\u201C konnte nicht geladen werden: Diese "
                                               "PDF-Datei enthält keinen Text (nur Bilder).").arg(empty));
}

// The places a picture may be named from: "dok/" is the document's folder.
static void makePictureFolders(const QTemporaryDir &dir)
{
    QDir(dir.path()).mkpath(QStringLiteral("dok/unter"));
    QImage picture(7, 5, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.save(dir.filePath(QStringLiteral("dok/bild.png")));
    picture.save(dir.filePath(QStringLiteral("dok/unter/bild.png")));
    picture.save(dir.filePath(QStringLiteral("draussen.png")));
    QFile::link(dir.filePath(QStringLiteral("draussen.png")), dir.filePath(QStringLiteral("dok/raus.png")));
    QFile::link(dir.filePath(QStringLiteral("dok/bild.png")), dir.filePath(QStringLiteral("dok/drin.png")));
    QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("dok/null.png")));
    ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("dok/rohr.png"))).constData(), 0600);
    // Sparse: larger than the limit without taking the disk.
    QFile huge(dir.filePath(QStringLiteral("dok/riesig.png")));
    huge.open(QIODevice::WriteOnly);
    huge.resize(DocumentResources::kMaxFileSize + 1);
}

void tst_importers::picturesOnlyFromTheDocument_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("shown");
    QTest::newRow("beside the document") << "bild.png" << true;
    QTest::newRow("in a folder below") << "unter/bild.png" << true;
    QTest::newRow("a link that stays inside") << "drin.png" << true;
    QTest::newRow("the folder above") << "../draussen.png" << false;
    QTest::newRow("a link that leads out") << "raus.png" << false;
    QTest::newRow("a link to a device") << "null.png" << false;
    QTest::newRow("a device") << "/dev/zero" << false;
    QTest::newRow("a device as file URL") << "file:///dev/zero" << false;
    QTest::newRow("a FIFO") << "rohr.png" << false;
    QTest::newRow("larger than the limit") << "riesig.png" << false;
    QTest::newRow("a folder") << "unter" << false;
    QTest::newRow("the web") << "http://192.0.2.1/bild.png" << false;
}

void tst_importers::picturesOnlyFromTheDocument()
{
    QFETCH(QString, address);
    QFETCH(bool, shown);
    QTemporaryDir dir;
    makePictureFolders(dir);
    const DocumentResources resources(dir.filePath(QStringLiteral("dok")));
    const QVariant loaded = resources.load(QUrl(address));
    QVERIFY(loaded.isValid()); // never left to Qt, which would read any file
    QCOMPARE(QImage::fromData(loaded.toByteArray()).size(), shown ? QSize(7, 5) : QSize(0, 0));
}

// An HTML and a Markdown file naming a device, a FIFO and a picture of their
// own: opened, laid out and read for speaking without blocking or reading
// the device; only the own picture shows.
void tst_importers::hostilePicturesNeitherBlockNorFillMemory()
{
    QTemporaryDir dir;
    makePictureFolders(dir);
    QFile html(dir.filePath(QStringLiteral("dok/seite.html")));
    QVERIFY(html.open(QIODevice::WriteOnly));
    html.write("<html><head><link rel=\"stylesheet\" href=\"/dev/zero\"></head><body background=\"/dev/zero\">"
               "<p>Text <img src=\"/dev/zero\"><img src=\"rohr.png\"><img src=\"bild.png\"></p></body></html>");
    html.close();
    QFile markdown(dir.filePath(QStringLiteral("dok/notiz.md")));
    QVERIFY(markdown.open(QIODevice::WriteOnly));
    markdown.write("Text ![bild](/dev/zero) ![rohr](rohr.png) ![eigen](bild.png)\n");
    markdown.close();

    for (const QString &path : {html.fileName(), markdown.fileName()}) {
        GuardedTextDocument doc;
        QVERIFY(DocumentIO::loadFile(path, &doc).ok);
        doc.setTextWidth(400);
        QVERIFY(doc.size().height() > 0); // lays out every picture
        QCOMPARE(doc.resource(QTextDocument::ImageResource, QUrl(QStringLiteral("bild.png"))).value<QImage>().size(),
                 QSize(7, 5));
        QVERIFY(doc.resource(QTextDocument::ImageResource, QUrl(QStringLiteral("/dev/zero"))).toByteArray().isEmpty());
        QVERIFY(doc.resource(QTextDocument::ImageResource, QUrl(QStringLiteral("rohr.png"))).toByteArray().isEmpty());
        const DocumentText text = DocumentIO::readText(path);
        QVERIFY(text.ok);
        QVERIFY(text.text.startsWith(QStringLiteral("Text")));
    }
}

// The same picture name in the next document opened is that document's own.
void tst_importers::picturesFollowTheDocumentsFolder()
{
    QTemporaryDir dir;
    GuardedTextDocument doc;
    for (const int width : {3, 9}) {
        const QString folder = dir.filePath(QString::number(width));
        QVERIFY(QDir().mkpath(folder));
        QImage picture(width, 2, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(picture.save(folder + QStringLiteral("/bild.png")));
        QFile page(folder + QStringLiteral("/seite.htm"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><body><img src=\"bild.png\"></body></html>");
        page.close();
        QVERIFY(DocumentIO::loadFile(page.fileName(), &doc).ok);
        QCOMPARE(doc.resource(QTextDocument::ImageResource, QUrl(QStringLiteral("bild.png"))).value<QImage>().width(),
                 width);
    }
}

// What a document says about itself (title, author, date, cover) becomes
// the document's metadata, from each format's own place for it.
void tst_importers::metadataFromEachFormat_data()
{
    using Type = DocumentMetadata::CoverType;
    QTest::addColumn<QByteArray>("bytes"); // empty: read the file from the book data
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("author");
    QTest::addColumn<QString>("year");
    QTest::addColumn<int>("coverType");
    QTest::addColumn<QString>("firstText");

    QTest::newRow("epub 3 by pandoc") << QByteArray() << "drei-kapitel.epub" << "Drei Kapitel über den Fluss"
                                      << "Marta Lindqvist" << "2019" << int(Type::Jpeg) << "Die Quelle";
    QTest::newRow("epub 2, two creators, tab and bidi override")
        << epub2("<dc:title>Der\t\xE2\x80\xAE Titel\n  mit Umbruch</dc:title><dc:creator>Anna</dc:creator>"
                 "<dc:creator opf:role=\"trl\">Ben</dc:creator><dc:date opf:event=\"publication\">1987</dc:date>"
                 "<dc:date>2020-01-01</dc:date>",
                 pngPicture())
        << "b.epub" << "Der Titel mit Umbruch" << "Anna, Ben" << "1987" << int(Type::Png) << "Ein Satz.";
    QTest::newRow("epub cover no picture, date absurd")
        << epub2("<dc:title>" + QByteArray("Lang ").repeated(3000) + "</dc:title><dc:date>12345-99</dc:date>",
                 "kein Bild")
        << "b.epub" << QString("Lang ").repeated(50).trimmed() + QChar(0x2026) << "" << "" << int(Type::None)
        << "Ein Satz.";
    QTest::newRow("docx core properties")
        << TestFiles::docx(kDocxHead + "<w:p><w:r><w:t>Inhalt</w:t></w:r></w:p></w:body></w:document>", {}, {}, {},
                           {{QStringLiteral("docProps/core.xml"),
                             "<?xml version=\"1.0\"?><cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/"
                             "package/2006/metadata/core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                             "xmlns:dcterms=\"http://purl.org/dc/terms/\"><dc:title>Protokoll</dc:title>"
                             "<dc:creator>Jürgen Weiß</dc:creator><cp:lastModifiedBy>X</cp:lastModifiedBy>"
                             "<dcterms:created>2011-07-08T09:10:00Z</dcterms:created>"
                             "<dcterms:modified>2024-01-01T00:00:00Z</dcterms:modified></cp:coreProperties>"}})
        << "b.docx" << "Protokoll" << "Jürgen Weiß" << "2011" << int(Type::None) << "Inhalt";
    QTest::newRow("odt meta")
        << TestFiles::odt(kOdtHead + "<office:body><office:text><text:p>Inhalt</text:p></office:text></office:body>"
                                     "</office:document-content>",
                          {{QStringLiteral("meta.xml"),
                            "<?xml version=\"1.0\"?><office:document-meta xmlns:office=\"urn:oasis:names:tc:"
                            "opendocument:xmlns:office:1.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                            "xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\"><office:meta>"
                            "<meta:initial-creator>Erika Muster</meta:initial-creator><dc:creator>Zuletzt</dc:creator>"
                            "<dc:title>Bericht</dc:title><meta:creation-date>2008-02-03T04:05:06</meta:creation-date>"
                            "<dc:date>2015-01-01T00:00:00</dc:date></office:meta></office:document-meta>"}})
        << "b.odt" << "Bericht" << "Erika Muster" << "2008" << int(Type::None) << "Inhalt";
    QTest::newRow("pdf information")
        << pdfWithInfo("/Title (Jahresbericht)/Author <FEFF004A00FC007200670065006E002000570065006900DF>"
                       "/CreationDate (D:19980506120000+02'00')")
        << "b.pdf" << "Jahresbericht" << "Jürgen Weiß" << "1998" << int(Type::None) << "Ein Satz.";
    QTest::newRow("html head")
        << QByteArray("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Seite &amp; Titel</title>"
                      "<META NAME=\"Author\" CONTENT=\"Ada &lt;A&gt;\"></head><body><p>Inhalt</p></body></html>")
        << "b.html" << "Seite & Titel" << "Ada <A>" << "" << int(Type::None) << "Inhalt";
    QTest::newRow("markdown front matter")
        << QByteArray("---\ntitle: Notizen\nauthor: [Ada, Bob]\ndate: 4. März 2021\n---\nInhalt\n") << "b.md"
        << "Notizen" << "Ada, Bob" << "2021" << int(Type::None) << "Inhalt";
    QTest::newRow("rtf info") << QByteArray("{\\rtf1\\ansi{\\info{\\title Brief}{\\author Ben}{\\creatim\\yr1995}}Inhalt\\par}")
                              << "b.rtf" << "Brief" << "Ben" << "1995" << int(Type::None) << "Inhalt";
    QTest::newRow("plain text says nothing") << QByteArray("title: nein\nInhalt") << "b.txt" << "" << "" << ""
                                             << int(Type::None) << "title: nein";
}

void tst_importers::metadataFromEachFormat()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, fileName);
    QFETCH(QString, title);
    QFETCH(QString, author);
    QFETCH(QString, year);
    QFETCH(int, coverType);
    QFETCH(QString, firstText);
    if (bytes.isEmpty()) {
        QFile f(QStringLiteral(BOOK_DATA "/") + fileName);
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
        bytes = f.readAll();
    }
    QTextDocument doc;
    DocumentMetadata::cleaned(QStringLiteral("Vorher"), QStringLiteral("Vorher"), QStringLiteral("1900"), {})
        .store(&doc);
    const DocumentLoadResult r = DocumentIO::loadBytes(bytes, &doc, fileName);
    QVERIFY2(r.ok, qPrintable(r.message));
    const DocumentMetadata m = DocumentMetadata::of(doc);
    QCOMPARE(m.title, title);
    QCOMPARE(m.author, author);
    QCOMPARE(m.year, year);
    QCOMPARE(int(m.coverType), coverType);
    QCOMPARE(m.cover.isEmpty(), coverType == int(DocumentMetadata::CoverType::None));
    // A title page says the same as the metadata and is no text of its own.
    QCOMPARE(doc.begin().text(), firstText);
}

QTEST_MAIN(tst_importers)
#include "tst_importers.moc"
