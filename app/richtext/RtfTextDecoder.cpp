#include "RtfTextDecoder.h"

#include <QStringDecoder>

namespace rtf {

TextDecoder::TextDecoder() = default;
TextDecoder::~TextDecoder() = default;

QString TextDecoder::decodeDoubleByte(int codePage, unsigned char lead, unsigned char trail)
{
    if (m_decoderPage != codePage) {
        m_decoder = std::make_unique<QStringDecoder>(CodePages::doubleByteName(codePage),
                                                     QStringDecoder::Flag::Stateless);
        m_decoderPage = codePage;
    }
    if (!m_decoder || !m_decoder->isValid())
        return QString(QChar(0xFFFD));
    const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    return m_decoder->decode(QByteArrayView(pair, 2));
}

} // namespace rtf
