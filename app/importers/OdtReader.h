#pragma once
// OdtReader: OpenDocument text (content.xml, with the named styles of
// styles.xml). Paragraphs, headings, bold / italic / underline from the
// styles, lists, tables as lines with tabs between cells; footnotes and
// endnotes after the text; tracked deletions and comments left out.

#include "ImportControl.h"
#include "ImportedDocument.h"

#include <QByteArray>

namespace OdtReader {

ImportStatus read(const QByteArray &bytes, const ImportControl &control, ImportedDocument *out, QString *message);

} // namespace OdtReader
