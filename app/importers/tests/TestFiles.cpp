#include "TestFiles.h"

#include <QBuffer>
#include <QCryptographicHash>
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
        if (e.name == QLatin1String("mimetype") || e.stored)
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

QByteArray TestFiles::epub(const QList<QPair<QString, QByteArray>> &chapters, bool reverseManifest, bool stored)
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
                        chapters.at(i).second, false, stored});
    }
    entries.insert(2, {QStringLiteral("OEBPS/content.opf"),
                       "<?xml version=\"1.0\"?>\n<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
                       "<metadata/><manifest>" + manifest + "</manifest><spine>" + spine + "</spine></package>"});
    return zip(entries);
}

QByteArray TestFiles::odt(const QByteArray &contentXml, const QList<Entry> &extra)
{
    return zip(QList<Entry>{{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text"},
                            {QStringLiteral("content.xml"), contentXml}}
               + extra);
}

QByteArray TestFiles::docx(const QByteArray &documentXml, const QByteArray &stylesXml, const QByteArray &numberingXml,
                           const QByteArray &footnotesXml, const QList<Entry> &extra)
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
    return zip(entries + extra);
}

namespace {

QByteArray rc4(const QByteArray &key, const QByteArray &data)
{
    unsigned char s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + static_cast<unsigned char>(key[i % key.size()])) & 0xFF;
        std::swap(s[i], s[j]);
    }
    QByteArray out = data;
    for (int n = 0, i = 0, j = 0; n < out.size(); ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        out[n] = char(out[n] ^ s[(s[i] + s[j]) & 0xFF]);
    }
    return out;
}

QByteArray md5(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5);
}

// The padding of the standard security handler.
QByteArray padded(const QByteArray &password)
{
    static const QByteArray pad = QByteArray::fromHex(
        "28BF4E5E4E758A4164004E56FFFA01082E2E00B6D0683E802F0CA9FE6453697A");
    return (password + pad).left(32);
}

} // namespace

QByteArray TestFiles::encryptedPdf(const QByteArray &text, const QByteArray &password)
{
    const QByteArray id = QByteArray::fromHex("0123456789ABCDEF0123456789ABCDEF");
    const QByteArray permissions = QByteArray::fromHex("FCFFFFFF"); // -4, little-endian
    const QByteArray owner = rc4(md5(padded("besitzer")).left(5), padded(password));
    const QByteArray key = md5(padded(password) + owner + permissions + id).left(5);
    const QByteArray user = rc4(key, padded(QByteArray()));
    const QByteArray objectKey = md5(key + QByteArray::fromHex("040000") + QByteArray::fromHex("0000")).left(10);
    const QByteArray content = rc4(objectKey, "BT /F1 12 Tf 72 700 Td (" + text + ") Tj ET");

    QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 5 0 R >> >> "
        "/Contents 4 0 R >>",
        "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content + "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /Filter /Standard /V 1 /R 2 /O <" + owner.toHex() + "> /U <" + user.toHex() + "> /P -4 >>",
    };
    QByteArray out = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << out.size();
        out += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        out += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R /Encrypt 6 0 R /ID [<"
           + id.toHex() + "> <" + id.toHex() + ">] >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}
