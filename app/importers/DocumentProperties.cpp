#include "DocumentProperties.h"

#include "ImportedDocument.h"
#include "SafeXmlReader.h"

#include <QHash>

namespace {

const QLatin1String kDublinCore("http://purl.org/dc/elements/1.1/");
const QLatin1String kDcTerms("http://purl.org/dc/terms/");
const QLatin1String kOdfMeta("urn:oasis:names:tc:opendocument:xmlns:meta:1.0");

// A property longer than this is cut; the document box cleans it further.
constexpr qsizetype kMaxPropertyText = 4096;

} // namespace

void DocumentProperties::read(const QByteArray &xml, const QString &partName, ImportedDocument *out)
{
    // By "namespace name"; the first of each counts.
    QHash<QString, QString> found;
    SafeXmlReader reader(xml, partName);
    QString key;
    QString text;
    for (SafeXmlReader::Token t; (t = reader.next()) != SafeXmlReader::Token::End;) {
        if (t == SafeXmlReader::Token::StartElement) {
            const QStringView ns = reader.namespaceUri();
            key = ns == kDublinCore || ns == kDcTerms || ns == kOdfMeta
                      ? ns.toString() + QLatin1Char(' ') + reader.name().toString()
                      : QString();
            text.clear();
        } else if (t == SafeXmlReader::Token::Text) {
            if (!key.isEmpty() && text.size() < kMaxPropertyText)
                text += reader.text();
        } else if (!key.isEmpty()) {
            if (!found.contains(key) && !text.trimmed().isEmpty())
                found.insert(key, text.left(kMaxPropertyText));
            key.clear();
        }
    }
    if (reader.refused())
        return;
    const auto first = [&found](std::initializer_list<std::pair<QLatin1String, const char *>> keys) {
        for (const auto &[ns, name] : keys) {
            const QString value = found.value(ns + QLatin1Char(' ') + QLatin1String(name));
            if (!value.isEmpty())
                return value;
        }
        return QString();
    };
    out->title = first({{kDublinCore, "title"}});
    out->author = first({{kOdfMeta, "initial-creator"}, {kDublinCore, "creator"}});
    out->date = first({{kDcTerms, "created"}, {kOdfMeta, "creation-date"}, {kDublinCore, "date"}});
}
