#pragma once
// XhtmlReader: one XHTML file (an EPUB chapter) into blocks: headings,
// paragraphs, lists, emphasis; table rows as lines with tabs between cells.
// Scripts, styles, the head and a title page (epub:type="titlepage") are
// left out.

#include <QByteArray>
#include <QString>

class ImportedDocumentBuilder;

namespace XhtmlReader {

// False only when the file is refused (declared entities, absurd nesting),
// with the German message in *error. Broken XML keeps what was read before.
bool read(const QByteArray &data, const QString &partName, ImportedDocumentBuilder &builder, QString *error);

} // namespace XhtmlReader
