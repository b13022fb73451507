#pragma once
// Small real documents made at run time for the importer tests, the
// benchmark and the fuzz seeds: ZIP archives through libzip, PDFs through
// Qt's own PDF writer.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace TestFiles {

struct Entry {
    QString name;
    QByteArray data;
    bool encrypted = false; // AES with the password "geheim"
    bool stored = false;    // not compressed
};

QByteArray zip(const QList<Entry> &entries);

// One page of a test PDF: lines drawn top-down, a header at the top and a
// footer at the bottom when given.
struct PdfPage {
    QString header;
    QStringList lines;
    QString footer;
};
QByteArray pdf(const QList<PdfPage> &pages);
// A PDF whose pages carry only a drawing, no text.
QByteArray pdfWithoutText();
// A one-page PDF saying `text`, encrypted (RC4, 40 bits) for the user
// password `password`.
QByteArray encryptedPdf(const QByteArray &text, const QByteArray &password);

QByteArray epub(const QList<QPair<QString, QByteArray>> &chapters, bool reverseManifest = false,
                bool stored = false);
// More parts (meta.xml, docProps/core.xml, ...) go in `extra`.
QByteArray odt(const QByteArray &contentXml, const QList<Entry> &extra = {});
QByteArray docx(const QByteArray &documentXml, const QByteArray &stylesXml = {}, const QByteArray &numberingXml = {},
                const QByteArray &footnotesXml = {}, const QList<Entry> &extra = {});

} // namespace TestFiles
