// Any bytes as an OpenDocument text file, or as its content.xml.
#include "FuzzArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const FuzzArchive::Part parts[] = {{"mimetype", "application/vnd.oasis.opendocument.text"}};
    return FuzzArchive::run(data, size, ImportFormat::OpenDocumentText, "content.xml", parts, 1);
}
