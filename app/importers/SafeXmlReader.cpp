#include "SafeXmlReader.h"

#include "ImportLimits.h"
#include "ImportMessages.h"

#include <QHash>

namespace {

QString htmlEntity(QStringView name)
{
    static const QHash<QString, QString> table = {
        {QStringLiteral("nbsp"), QString(QChar(0x00A0))},   {QStringLiteral("shy"), QString(QChar(0x00AD))},
        {QStringLiteral("ndash"), QString(QChar(0x2013))},  {QStringLiteral("mdash"), QString(QChar(0x2014))},
        {QStringLiteral("hellip"), QString(QChar(0x2026))}, {QStringLiteral("laquo"), QString(QChar(0x00AB))},
        {QStringLiteral("raquo"), QString(QChar(0x00BB))},  {QStringLiteral("bdquo"), QString(QChar(0x201E))},
        {QStringLiteral("ldquo"), QString(QChar(0x201C))},  {QStringLiteral("rdquo"), QString(QChar(0x201D))},
        {QStringLiteral("lsquo"), QString(QChar(0x2018))},  {QStringLiteral("rsquo"), QString(QChar(0x2019))},
        {QStringLiteral("sbquo"), QString(QChar(0x201A))},  {QStringLiteral("auml"), QString(QChar(0x00E4))},
        {QStringLiteral("ouml"), QString(QChar(0x00F6))},   {QStringLiteral("uuml"), QString(QChar(0x00FC))},
        {QStringLiteral("Auml"), QString(QChar(0x00C4))},   {QStringLiteral("Ouml"), QString(QChar(0x00D6))},
        {QStringLiteral("Uuml"), QString(QChar(0x00DC))},   {QStringLiteral("szlig"), QString(QChar(0x00DF))},
        {QStringLiteral("copy"), QString(QChar(0x00A9))},   {QStringLiteral("reg"), QString(QChar(0x00AE))},
        {QStringLiteral("euro"), QString(QChar(0x20AC))},   {QStringLiteral("sect"), QString(QChar(0x00A7))},
        {QStringLiteral("deg"), QString(QChar(0x00B0))},    {QStringLiteral("middot"), QString(QChar(0x00B7))},
        {QStringLiteral("bull"), QString(QChar(0x2022))},   {QStringLiteral("thinsp"), QString(QChar(0x2009))},
        {QStringLiteral("ensp"), QString(QChar(0x2002))},   {QStringLiteral("emsp"), QString(QChar(0x2003))},
        {QStringLiteral("zwnj"), QString(QChar(0x200C))},   {QStringLiteral("zwj"), QString(QChar(0x200D))},
        {QStringLiteral("eacute"), QString(QChar(0x00E9))}, {QStringLiteral("egrave"), QString(QChar(0x00E8))},
        {QStringLiteral("aacute"), QString(QChar(0x00E1))}, {QStringLiteral("agrave"), QString(QChar(0x00E0))},
        {QStringLiteral("times"), QString(QChar(0x00D7))},  {QStringLiteral("para"), QString(QChar(0x00B6))},
    };
    return table.value(name.toString());
}

} // namespace

SafeXmlReader::SafeXmlReader(const QByteArray &data, const QString &partName) : m_xml(data), m_part(partName)
{
    // Entities declared in a DTD are refused before use; this bounds the
    // expansion even if one slipped through.
    m_xml.setEntityExpansionLimit(1024);
}

QString SafeXmlReader::attribute(QStringView namespaceUri, QStringView name) const
{
    for (const QXmlStreamAttribute &a : m_xml.attributes()) {
        if (a.name() == name && a.namespaceUri() == namespaceUri)
            return a.value().toString();
    }
    return QString();
}

QString SafeXmlReader::attribute(QStringView name) const
{
    for (const QXmlStreamAttribute &a : m_xml.attributes()) {
        if (a.name() == name)
            return a.value().toString();
    }
    return QString();
}

SafeXmlReader::Token SafeXmlReader::next()
{
    while (!m_done) {
        const QXmlStreamReader::TokenType t = m_xml.readNext();
        switch (t) {
        case QXmlStreamReader::DTD:
            if (!m_xml.entityDeclarations().isEmpty() || m_xml.text().contains(QLatin1Char('['))) {
                m_refused = true;
                m_error = ImportMessages::XmlEntities;
                m_done = true;
                return Token::End;
            }
            break;
        case QXmlStreamReader::StartElement:
            if (++m_depth > ImportLimits::kMaxXmlDepth) {
                m_refused = true;
                m_error = ImportMessages::XmlTooDeep;
                m_done = true;
                return Token::End;
            }
            return Token::StartElement;
        case QXmlStreamReader::EndElement:
            --m_depth;
            return Token::EndElement;
        case QXmlStreamReader::Characters:
            m_text = m_xml.text().toString();
            return Token::Text;
        case QXmlStreamReader::EntityReference:
            m_text = htmlEntity(m_xml.name());
            if (!m_text.isEmpty())
                return Token::Text;
            break;
        case QXmlStreamReader::Invalid:
            if (m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError || m_depth > 0) {
                m_damaged = true;
                m_error = ImportMessages::XmlBroken(m_part, m_xml.lineNumber());
            }
            m_done = true;
            return Token::End;
        case QXmlStreamReader::EndDocument:
            m_done = true;
            return Token::End;
        default:
            break;
        }
    }
    return Token::End;
}

void SafeXmlReader::skipElement()
{
    const int depth = m_depth;
    while (m_depth >= depth) {
        if (next() == Token::End)
            return;
    }
}
