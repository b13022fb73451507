#include "HtmlHead.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <mutex>

namespace {

// The head of a page lies in its first bytes; a long page is not parsed
// twice (the document box parses all of it).
constexpr qsizetype kHeadBytes = 256 * 1024;

// libxml2's strings are freed through its own xmlFree.
struct XmlFree {
    void operator()(xmlChar *text) const { xmlFree(text); }
};
using XmlText = std::unique_ptr<xmlChar, XmlFree>;

QString textOf(const xmlChar *text)
{
    return text ? QString::fromUtf8(reinterpret_cast<const char *>(text)) : QString();
}

bool named(const xmlNode *node, const char *name)
{
    return node->type == XML_ELEMENT_NODE && node->name
           && xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar *>(name)) == 0;
}

QString attribute(xmlNode *node, const char *name)
{
    const XmlText value(xmlGetProp(node, reinterpret_cast<const xmlChar *>(name)));
    return textOf(value.get());
}

void walk(xmlNode *node, HtmlHead::Head &head, int depth)
{
    // The head sits near the top; a deeply nested page is not followed down.
    if (depth > 64)
        return;
    for (; node; node = node->next) {
        if (named(node, "body"))
            return;
        if (named(node, "title") && head.title.isEmpty()) {
            const XmlText text(xmlNodeGetContent(node));
            head.title = textOf(text.get());
        } else if (named(node, "meta") && head.author.isEmpty()
                   && attribute(node, "name").compare(QLatin1String("author"), Qt::CaseInsensitive) == 0) {
            head.author = attribute(node, "content");
        }
        walk(node->children, head, depth + 1);
    }
}

} // namespace

HtmlHead::Head HtmlHead::read(const QString &html)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { xmlInitParser(); });
    const QByteArray bytes = html.left(kHeadBytes).toUtf8();
    Head head;
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
        htmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, "UTF-8", options), xmlFreeDoc);
    if (doc)
        walk(xmlDocGetRootElement(doc.get()), head, 0);
    return head;
}
