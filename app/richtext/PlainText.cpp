#include "PlainText.h"

#include "Ansi.h"

#include <QStringDecoder>

namespace {

QString normalised(const QString &in)
{
    QString out;
    out.reserve(in.size());
    const QChar *p = in.constData();
    const qsizetype n = in.size();
    qsizetype i = 0;
    if (n > 0 && p[0] == QChar(0xFEFF))
        i = 1;
    for (; i < n; ++i) {
        const QChar c = p[i];
        if (c == u'\r') {
            out.append(u'\n');
            if (i + 1 < n && p[i + 1] == u'\n')
                ++i;
        } else if (c.isHighSurrogate() && i + 1 < n && p[i + 1].isLowSurrogate()) {
            out.append(c);
            out.append(p[++i]);
        } else if (c.isSurrogate() || c == QChar(0xFDD0) || c == QChar(0xFDD1)
                   || c == QChar::ObjectReplacementCharacter) {
            // half a UTF-16 pair, or the document's own markers of frames
            // and objects
            out.append(QChar::ReplacementCharacter);
        } else if (c != QChar(0)) {
            out.append(c);
        }
    }
    return out;
}

} // namespace

QString PlainText::decode(QByteArrayView bytes)
{
    if (bytes.size() >= 2) {
        const auto b0 = static_cast<unsigned char>(bytes[0]);
        const auto b1 = static_cast<unsigned char>(bytes[1]);
        if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
            QStringDecoder d(b0 == 0xFF ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
            return normalised(d.decode(bytes.sliced(2)));
        }
    }
    return normalised(Ansi::decode(bytes));
}

QByteArray PlainText::encode(const QString &text)
{
    return Ansi::encode(text);
}
