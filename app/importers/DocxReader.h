#pragma once
// DocxReader: Office Open XML word processing documents. The main part
// (found through the package relationships), with its styles (headings,
// bold / italic / underline), numbering (numbered or bulleted lists) and
// footnotes and endnotes, which follow the text. Tables become lines with
// tabs between cells; tracked deletions, moved-away text, field codes and
// drawings are left out.

#include "ImportControl.h"
#include "ImportedDocument.h"

#include <QByteArray>

namespace DocxReader {

ImportStatus read(const QByteArray &bytes, const ImportControl &control, ImportedDocument *out, QString *message);

} // namespace DocxReader
