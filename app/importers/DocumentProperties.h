#pragma once
// DocumentProperties: title, author and date from the properties part of
// an office document (DOCX's docProps/core.xml, ODT's meta.xml). Both use
// Dublin Core for the title; the author is the document's first creator
// where the format names one (meta:initial-creator) and else its creator,
// the date its creation date and else its date. A part that cannot be read
// gives nothing; the document still opens.

#include <QByteArray>
#include <QString>

struct ImportedDocument;

namespace DocumentProperties {

void read(const QByteArray &xml, const QString &partName, ImportedDocument *out);

} // namespace DocumentProperties
