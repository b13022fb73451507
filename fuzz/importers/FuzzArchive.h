#pragma once
// Shared by the importer fuzz targets: bytes as an archive, or packed as
// the named part of a minimal archive of the format, then read and built
// into a document. Reading must end in a result, never a crash or a hang.

#include "DocumentImporter.h"

#include <cstddef>
#include <cstdint>

namespace FuzzArchive {

// Parts a minimal archive holds besides the fuzzed one: name, content.
struct Part {
    const char *name;
    const char *content;
};

int run(const uint8_t *data, size_t size, ImportFormat format, const char *fuzzedPart, const Part *others,
        size_t otherCount);

} // namespace FuzzArchive
