#pragma once
// EpubReader: EPUB 2 and 3. The package file named by
// META-INF/container.xml gives the chapters (its spine) in reading order;
// each chapter is XHTML, read by XhtmlReader.

#include "ImportControl.h"
#include "ImportedDocument.h"

#include <QByteArray>

namespace EpubReader {

ImportStatus read(const QByteArray &bytes, const ImportControl &control, ImportedDocument *out, QString *message);

} // namespace EpubReader
