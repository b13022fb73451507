#pragma once
// PdfTextAssembler: turns the lines of a PDF's pages (text and where it
// stands) into paragraphs a listener wants to hear. Lines of one paragraph
// are joined; a word hyphenated at a line end is joined again
// ("Silben-" + "trennung"), while a hyphen that stands for a left-out part
// of a compound stays ("Nord-" + "und Südseite"). Running headers, footers
// and page numbers, which repeat in the page margins on most pages, are
// left out, but not the document's title where it is their first, larger
// occurrence. List bullets on lines of their own are not read; the line
// beside one starts an item. Needs no PDF library, so it is tested with
// made-up pages (and with a few PDFs LibreOffice made).

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <vector>

struct PdfLine {
    QString text;
    QRectF box; // in points, y growing downwards
};

struct PdfPageText {
    QSizeF size; // in points
    std::vector<PdfLine> lines;
};

// An entry of the document's outline (its bookmarks), in document order.
struct PdfOutlineEntry {
    QString title;
    int level = 1; // 1 for the top entries
};

namespace PdfTextAssembler {

// The lines left after removing running headers, footers and page numbers.
std::vector<PdfPageText> withoutRunningLines(const std::vector<PdfPageText> &pages);

// Paragraphs of the whole document, in reading order.
QStringList paragraphs(const std::vector<PdfPageText> &pages);

// The heading level of each paragraph (0: none): an outline entry marks the
// first paragraph after the one the previous entry marked whose text is its
// title (white space and case aside); an entry whose title is nowhere ahead
// marks none.
std::vector<int> headingLevels(const QStringList &paragraphs, const std::vector<PdfOutlineEntry> &outline);

// Appends the next line to a paragraph in place: a long paragraph grows by
// each line's length, never copied whole.
void appendLine(QString &paragraph, const QString &line);
// The two lines joined as appendLine joins them (exposed for tests).
QString joinLines(const QString &first, const QString &second);

} // namespace PdfTextAssembler
