// Any bytes as an HTML page or a Markdown file (by the name the target is
// built with): detected, decoded and read into a document as the editor
// opens it, then written as RTF as saving would. A failed load must say why;
// a page read as such must keep its text through the build.
#include "DocumentIO.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Fonts and pictures of a document need the GUI side of Qt, without a screen.
void ensureApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static QGuiApplication app(argc, argv);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString fileName = QStringLiteral(FUZZ_FILE_NAME);
    const PreparedDocument prepared = DocumentIO::prepareBytes(bytes, fileName);
    if (!prepared.result.ok && !prepared.cancelled() && !prepared.needsPassword()
        && prepared.result.errorDescription.isEmpty()) {
        std::fprintf(stderr, "a failed load must say why\n");
        std::abort();
    }
    QTextDocument doc;
    const DocumentLoadResult r = DocumentIO::applyPrepared(prepared, &doc);
    if (r.ok && (r.format == DocumentFormat::Html || r.format == DocumentFormat::Markdown)
        && prepared.imported.markupText.isEmpty() && !doc.toPlainText().isEmpty()) {
        std::fprintf(stderr, "text appeared from an empty page\n");
        std::abort();
    }
    DocumentIO::toBytes(doc, DocumentFormat::RichText);
    return 0;
}
