// Any bytes as the lines of a PDF's pages, through the paragraph assembly
// (running headers and page numbers, hyphens, paragraph breaks). The bytes
// are read as text lines; a form feed starts a new page. The first four
// bytes of a line place it (left, top, width, height in steps that cover an
// A4 page), the rest is its text, so the fuzzer moves lines into the margins,
// over each other and out of the page as easily as it changes their words.
#include "PdfTextAssembler.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

PdfLine lineFrom(const uint8_t *data, size_t size)
{
    const auto at = [&](size_t i) { return i < size ? double(data[i]) : 0.0; };
    PdfLine line;
    line.box = QRectF(at(0) * 2.5 - 20, at(1) * 3.5 - 20, at(2) * 2.5, at(3) / 8.0);
    if (size > 4)
        line.text = QString::fromUtf8(reinterpret_cast<const char *>(data + 4), qsizetype(size - 4));
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<PdfPageText> pages(1);
    pages.back().size = QSizeF(595, 842);
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
        if (i < size && data[i] != '\n' && data[i] != '\f')
            continue;
        if (i > start)
            pages.back().lines.push_back(lineFrom(data + start, i - start));
        if (i < size && data[i] == '\f') {
            pages.emplace_back();
            // A page of odd size now and then: empty, or turned on its side.
            pages.back().size = pages.size() % 3 == 0 ? QSizeF(0, 0) : QSizeF(842, 595);
        }
        start = i + 1;
    }

    qsizetype lines = 0;
    for (const PdfPageText &page : pages)
        lines += qsizetype(page.lines.size());
    qsizetype kept = 0;
    for (const PdfPageText &page : PdfTextAssembler::withoutRunningLines(pages))
        kept += qsizetype(page.lines.size());
    if (kept > lines)
        std::abort();
    // Every paragraph is text a listener hears: never empty, no line breaks,
    // no blanks at its ends or doubled inside it.
    for (const QString &paragraph : PdfTextAssembler::paragraphs(pages)) {
        if (paragraph.isEmpty() || paragraph != paragraph.simplified())
            std::abort();
    }
    return 0;
}
