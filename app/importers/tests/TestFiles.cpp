#include "TestFiles.h"

#include <QBuffer>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QUrl>

#include <zip.h>

QByteArray TestFiles::zip(const QList<Entry> &entries)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.zip"));
    int error = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z)
        return {};
    std::vector<QByteArray> keep; // libzip reads the buffers when closing
    for (const Entry &e : entries) {
        keep.push_back(e.data);
        zip_source_t *src = zip_source_buffer(z, keep.back().constData(), zip_uint64_t(keep.back().size()), 0);
        const zip_int64_t index = zip_file_add(z, e.name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
        if (e.name == QLatin1String("mimetype"))
            zip_set_file_compression(z, zip_uint64_t(index), ZIP_CM_STORE, 0);
        if (e.encrypted)
            zip_file_set_encryption(z, zip_uint64_t(index), ZIP_EM_AES_256, "geheim");
    }
    zip_close(z);
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

QByteArray TestFiles::pdf(const QList<PdfPage> &pages)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(72);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter p(&writer);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(11);
        p.setFont(font);
        const int left = 72;
        for (int i = 0; i < pages.size(); ++i) {
            if (i > 0)
                writer.newPage();
            const PdfPage &page = pages.at(i);
            if (!page.header.isEmpty())
                p.drawText(left, 40, page.header);
            int y = 110;
            for (const QString &line : page.lines) {
                // An empty line stands for the space between paragraphs.
                if (!line.isEmpty())
                    p.drawText(left, y, line);
                y += 15;
            }
            if (!page.footer.isEmpty())
                p.drawText(290, 810, page.footer);
        }
    }
    return buffer.data();
}

QByteArray TestFiles::pdfWithoutText()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        QPainter p(&writer);
        p.fillRect(QRect(100, 100, 2000, 1000), Qt::darkBlue);
        p.drawEllipse(QRect(300, 1500, 1200, 800));
    }
    return buffer.data();
}

QByteArray TestFiles::epub(const QList<QPair<QString, QByteArray>> &chapters, bool reverseManifest)
{
    QList<Entry> entries;
    entries.append({QStringLiteral("mimetype"), "application/epub+zip"});
    entries.append({QStringLiteral("META-INF/container.xml"),
                    "<?xml version=\"1.0\"?>\n<container version=\"1.0\" "
                    "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles>"
                    "<rootfile full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/>"
                    "</rootfiles></container>"});
    QByteArray manifest;
    QByteArray spine;
    for (int i = 0; i < chapters.size(); ++i) {
        const QByteArray id = "c" + QByteArray::number(i);
        const QByteArray item = "<item id=\"" + id + "\" href=\"" + chapters.at(i).first.toUtf8()
                                + "\" media-type=\"application/xhtml+xml\"/>";
        manifest = reverseManifest ? item + manifest : manifest + item;
        spine += "<itemref idref=\"" + id + "\"/>";
        entries.append({QStringLiteral("OEBPS/") + QUrl::fromPercentEncoding(chapters.at(i).first.toUtf8()),
                        chapters.at(i).second});
    }
    entries.insert(2, {QStringLiteral("OEBPS/content.opf"),
                       "<?xml version=\"1.0\"?>\n<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
                       "<metadata/><manifest>" + manifest + "</manifest><spine>" + spine + "</spine></package>"});
    return zip(entries);
}

QByteArray TestFiles::odt(const QByteArray &contentXml)
{
    return zip({{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text"},
                {QStringLiteral("content.xml"), contentXml}});
}

QByteArray TestFiles::docx(const QByteArray &documentXml, const QByteArray &stylesXml, const QByteArray &numberingXml,
                           const QByteArray &footnotesXml)
{
    QList<Entry> entries{
        {QStringLiteral("[Content_Types].xml"),
         "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
        {QStringLiteral("_rels/.rels"),
         "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
         "officeDocument\" Target=\"word/document.xml\"/></Relationships>"},
        {QStringLiteral("word/document.xml"), documentXml},
    };
    if (!stylesXml.isEmpty())
        entries.append({QStringLiteral("word/styles.xml"), stylesXml});
    if (!numberingXml.isEmpty())
        entries.append({QStringLiteral("word/numbering.xml"), numberingXml});
    if (!footnotesXml.isEmpty())
        entries.append({QStringLiteral("word/footnotes.xml"), footnotesXml});
    return zip(entries);
}
