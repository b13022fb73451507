// Any bytes as an EPUB file, or as its one chapter.
#include "FuzzArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const FuzzArchive::Part parts[] = {
        {"mimetype", "application/epub+zip"},
        {"META-INF/container.xml",
         "<?xml version=\"1.0\"?><container xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles>"
         "<rootfile full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/></rootfiles>"
         "</container>"},
        {"OEBPS/content.opf",
         "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\"><manifest>"
         "<item id=\"c\" href=\"c.xhtml\" media-type=\"application/xhtml+xml\"/></manifest>"
         "<spine><itemref idref=\"c\"/></spine></package>"},
    };
    return FuzzArchive::run(data, size, ImportFormat::Epub, "OEBPS/c.xhtml", parts, 3);
}
