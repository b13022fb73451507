#pragma once
// importers: documents from other programs, read for the document box.
//
// What it is: readers for PDF (the text layer through Poppler, paragraphs
// rebuilt from lines, running headers and page numbers left out), EPUB 2/3,
// OpenDocument text and Word (DOCX) documents (ZIP archives read in memory
// with libzip, XML through QXmlStreamReader without DTD processing), and
// HTML and Markdown (Qt's own QTextDocument readers). The format is told by
// the bytes (magic numbers, the archive's parts); only Markdown, which has
// none, is told by the file name.
//
// A reader produces an ImportedDocument, plain data that can be built on
// any thread; ImportedDocument::buildInto() writes it into a QTextDocument
// on the thread that owns it. Readers report progress and stop early when
// asked (ImportControl), so the window can read off its GUI thread.
//
// Every file is hostile: archive limits (ImportLimits), no entity
// expansion, bounded nesting; every failure is a German sentence.
//
// What it uses: QtGui (no widgets), poppler-qt6, libzip.
// Who uses it: DocumentIO of app/richtext, the only door the window,
// scripts and quenora-speak go through.

#include "ImportControl.h"
#include "ImportedDocument.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

enum class ImportFormat {
    None, // not a format read here: the document box reads it itself
    Pdf,
    Epub,
    OpenDocumentText,
    WordDocument,
    Html,
    Markdown,
};

struct ImportResult {
    ImportStatus status = ImportStatus::Failed;
    QString message; // German, for the user, when status is Failed
    ImportedDocument document;
};

namespace DocumentImporter {

// The format by the file's content; the name decides only for Markdown and
// for HTML without a telling start.
ImportFormat detect(QByteArrayView bytes, const QString &fileName = QString());

ImportResult read(ImportFormat format, const QByteArray &bytes, const ImportControl &control = {});

// The extensions of every format read here, for the open dialog's filter.
QStringList fileSuffixes();

} // namespace DocumentImporter
