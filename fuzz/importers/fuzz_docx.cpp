// Any bytes as a Word document, or as its word/document.xml.
#include "FuzzArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const FuzzArchive::Part parts[] = {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
    };
    return FuzzArchive::run(data, size, ImportFormat::WordDocument, "word/document.xml", parts, 1);
}
