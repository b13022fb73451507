// Any bytes as a document file: loaded the way the document box loads it,
// then saved as RTF and loaded again. The second load must give the same
// text, so the writer and the reader agree on everything the reader makes.
#include "DocumentIO.h"

#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QTextDocument doc;
    DocumentIO::loadBytes(bytes, &doc);
    const QString text = doc.toPlainText();

    const QByteArray rtf = DocumentIO::toBytes(doc, DocumentFormat::RichText);
    QTextDocument again;
    const DocumentLoadResult r = DocumentIO::loadBytes(rtf, &again);
    if (r.format != DocumentFormat::RichText || r.damaged || again.toPlainText() != text) {
        std::fprintf(stderr, "RTF round trip changed the document\n");
        std::abort();
    }
    DocumentIO::toBytes(again, DocumentFormat::PlainText);
    return 0;
}
