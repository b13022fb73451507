#include "FuzzArchive.h"

#include <QTextDocument>

#include <zip.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>

namespace {

// A stored (uncompressed) archive made in memory.
QByteArray pack(const QByteArray &fuzzed, const char *fuzzedPart, const FuzzArchive::Part *others, size_t count)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!buffer)
        return {};
    zip_source_keep(buffer);
    zip_t *z = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    QByteArray out;
    if (z) {
        for (size_t i = 0; i < count; ++i) {
            zip_source_t *s = zip_source_buffer(z, others[i].content, strlen(others[i].content), 0);
            const zip_int64_t index = zip_file_add(z, others[i].name, s, 0);
            zip_set_file_compression(z, zip_uint64_t(index), ZIP_CM_STORE, 0);
        }
        zip_source_t *s = zip_source_buffer(z, fuzzed.constData(), zip_uint64_t(fuzzed.size()), 0);
        const zip_int64_t index = zip_file_add(z, fuzzedPart, s, 0);
        zip_set_file_compression(z, zip_uint64_t(index), ZIP_CM_STORE, 0);
        if (zip_close(z) == 0 && zip_source_open(buffer) == 0) {
            char chunk[65536];
            for (zip_int64_t n; (n = zip_source_read(buffer, chunk, sizeof chunk)) > 0;)
                out.append(chunk, qsizetype(n));
            zip_source_close(buffer);
        } else {
            zip_discard(z);
        }
    }
    zip_source_free(buffer);
    zip_error_fini(&error);
    return out;
}

} // namespace

int FuzzArchive::run(const uint8_t *data, size_t size, ImportFormat format, const char *fuzzedPart,
                     const Part *others, size_t otherCount)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!bytes.startsWith("PK"))
        bytes = pack(bytes, fuzzedPart, others, otherCount);
    const ImportResult result = DocumentImporter::read(format, bytes);
    if (result.status == ImportStatus::Failed && result.message.isEmpty()) {
        std::fprintf(stderr, "a failed import must say why\n");
        std::abort();
    }
    if (result.status == ImportStatus::Ok) {
        QTextDocument doc;
        result.document.buildInto(&doc);
        if (doc.toPlainText().size() < result.document.plainText().size() / 2) {
            std::fprintf(stderr, "the document lost text while being built\n");
            std::abort();
        }
    }
    return 0;
}
