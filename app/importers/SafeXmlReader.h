#pragma once
// SafeXmlReader: QXmlStreamReader for XML from outside. A document type
// declaration with an internal subset (where entities are declared, and so
// where "billion laughs" expansion starts) stops reading before any entity
// is used; a plain <!DOCTYPE html ...> line, which every XHTML chapter
// carries, is allowed. External entities are never fetched. The named
// entities of HTML that XHTML chapters use without declaring them (&nbsp;,
// &shy;, ...) are turned into their characters. Nesting is bounded.

#include <QString>
#include <QXmlStreamReader>

class SafeXmlReader
{
public:
    enum class Token { StartElement, EndElement, Text, End };

    SafeXmlReader(const QByteArray &data, const QString &partName);

    // The next token of interest; End at the end of the data or on an error.
    Token next();

    QStringView name() const { return m_xml.name(); }
    QStringView namespaceUri() const { return m_xml.namespaceUri(); }
    QString attribute(QStringView namespaceUri, QStringView name) const;
    // An attribute by local name, whatever its namespace.
    QString attribute(QStringView name) const;
    QXmlStreamAttributes attributes() const { return m_xml.attributes(); }
    // The text of a Text token (an entity already replaced).
    const QString &text() const { return m_text; }
    int depth() const { return m_depth; }

    // Skips to the end of the element just started.
    void skipElement();

    // Entities declared in the file or nesting beyond the limit: the file is
    // refused. Broken XML only marks it damaged; what came before is read.
    bool refused() const { return m_refused; }
    bool damaged() const { return m_damaged; }
    // The German message for either case.
    QString errorMessage() const { return m_error; }

private:
    QXmlStreamReader m_xml;
    QString m_part;
    QString m_text;
    int m_depth = 0;
    bool m_refused = false;
    bool m_damaged = false;
    bool m_done = false;
    QString m_error;
};
