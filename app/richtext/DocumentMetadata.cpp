#include "DocumentMetadata.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>

namespace {

// Where the document keeps everything but its title.
const QUrl &metadataAddress()
{
    static const QUrl address(QStringLiteral("quenora-metadata:document"));
    return address;
}

// Decoding a cover may take this much memory, no more: a small file that
// claims a huge picture is refused.
constexpr int kMaxCoverDecodeMegabytes = 128;

bool isDigitRun(const QString &text, qsizetype at, qsizetype length)
{
    for (qsizetype i = at; i < at + length; ++i) {
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return false;
    }
    return true;
}

bool isDigit(const QString &text, qsizetype at)
{
    return at >= 0 && at < text.size() && text.at(at) >= u'0' && text.at(at) <= u'9';
}

} // namespace

QString DocumentMetadata::coverMimeType() const
{
    switch (coverType) {
    case CoverType::Jpeg: return QStringLiteral("image/jpeg");
    case CoverType::Png: return QStringLiteral("image/png");
    case CoverType::None: break;
    }
    return QString();
}

QString DocumentMetadata::oneLine(const QString &text)
{
    QString line;
    line.reserve(std::min<qsizetype>(text.size(), kMaxTextLength + 1));
    bool space = true;
    for (qsizetype i = 0; i < text.size() && line.size() < kMaxTextLength; ++i) {
        const QChar c = text.at(i);
        const QChar::Category cat = c.category();
        if (c.isSpace() || cat == QChar::Other_Control) {
            if (!space)
                line.append(u' ');
            space = true;
        } else if (cat == QChar::Other_Format || c == QChar::ObjectReplacementCharacter
                   || c == QChar::ReplacementCharacter) {
            continue;
        } else if (c.isSurrogate()) {
            // Only whole pairs: a lone half is no character.
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                line.append(c);
                line.append(text.at(++i));
                space = false;
            }
        } else {
            line.append(c);
            space = false;
        }
    }
    if (line.size() >= kMaxTextLength) {
        // Cut between words where one ends near the limit, never inside a
        // surrogate pair.
        qsizetype cut = line.lastIndexOf(u' ');
        if (cut < kMaxTextLength * 3 / 4) {
            cut = kMaxTextLength - 1;
            if (line.at(cut - 1).isHighSurrogate())
                --cut;
        }
        line.truncate(cut);
        line = line.trimmed();
        line.append(QChar(0x2026));
    }
    return line.trimmed();
}

QString DocumentMetadata::yearOf(const QString &date)
{
    const QString text = date.trimmed().left(200);
    for (qsizetype i = 0; i + 4 <= text.size(); ++i) {
        if (isDigit(text, i - 1) || isDigit(text, i + 4) || !isDigitRun(text, i, 4))
            continue;
        const int year = text.mid(i, 4).toInt();
        if (year >= 1000 && year <= 2999)
            return text.mid(i, 4);
    }
    return QString();
}

DocumentMetadata::CoverType DocumentMetadata::coverTypeOf(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() > kMaxCoverBytes)
        return CoverType::None;
    CoverType type = CoverType::None;
    if (bytes.startsWith("\xFF\xD8\xFF"))
        type = CoverType::Jpeg;
    else if (bytes.startsWith("\x89PNG\r\n\x1A\n"))
        type = CoverType::Png;
    else
        return CoverType::None;
    // A picture only if it decodes as what it claims to be.
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, type == CoverType::Jpeg ? "jpeg" : "png");
    reader.setAllocationLimit(kMaxCoverDecodeMegabytes);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return CoverType::None;
    const QImage image = reader.read();
    return image.isNull() ? CoverType::None : type;
}

DocumentMetadata DocumentMetadata::cleaned(const QString &title, const QString &author, const QString &date,
                                           const QByteArray &cover)
{
    DocumentMetadata m;
    m.title = oneLine(title);
    m.author = oneLine(author);
    m.year = yearOf(date);
    m.coverType = coverTypeOf(cover);
    if (m.coverType != CoverType::None)
        m.cover = cover;
    return m;
}

DocumentMetadata DocumentMetadata::of(const QTextDocument &doc)
{
    DocumentMetadata m = doc.resource(QTextDocument::UserResource, metadataAddress()).value<DocumentMetadata>();
    m.title = doc.metaInformation(QTextDocument::DocumentTitle);
    return m;
}

void DocumentMetadata::store(QTextDocument *doc) const
{
    doc->setMetaInformation(QTextDocument::DocumentTitle, title);
    DocumentMetadata rest = *this;
    rest.title.clear();
    doc->addResource(QTextDocument::UserResource, metadataAddress(), QVariant::fromValue(rest));
}
