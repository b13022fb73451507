#pragma once
// PdfReader: the text layer of a PDF through Poppler, page by page in
// reading order, as lines with their positions for PdfTextAssembler.

#include "ImportControl.h"
#include "PdfTextAssembler.h"

#include <QByteArray>

namespace PdfReader {

struct Result {
    ImportStatus status = ImportStatus::Failed;
    QString message;
    std::vector<PdfPageText> pages;
    std::vector<PdfOutlineEntry> outline;
    // The document information dictionary's Title, Author and CreationDate.
    QString title;
    QString author;
    QString date;
};

Result read(const QByteArray &bytes, const ImportControl &control);

} // namespace PdfReader
