#include "XhtmlReader.h"

#include "ImportedDocument.h"
#include "NoteLinks.h"
#include "SafeXmlReader.h"

#include <QSet>

#include <vector>

namespace {

enum class Role { Block, Heading, List, ListItem, Row, Cell, Break, Skip, Inline };

struct Element {
    Role role = Role::Inline;
    int level = 0;
    bool ordered = false;
};

Element classify(const QString &name)
{
    static const QSet<QString> blocks = {
        QStringLiteral("p"),       QStringLiteral("div"),     QStringLiteral("section"),   QStringLiteral("article"),
        QStringLiteral("blockquote"), QStringLiteral("figure"), QStringLiteral("figcaption"), QStringLiteral("header"),
        QStringLiteral("footer"),  QStringLiteral("aside"),   QStringLiteral("dt"),        QStringLiteral("dd"),
        QStringLiteral("pre"),     QStringLiteral("address"), QStringLiteral("center"),    QStringLiteral("caption"),
        QStringLiteral("main"),    QStringLiteral("nav"),     QStringLiteral("body"),      QStringLiteral("hr"),
        QStringLiteral("table"),   QStringLiteral("dl"),
    };
    static const QSet<QString> skipped = {QStringLiteral("head"), QStringLiteral("script"), QStringLiteral("style"),
                                          QStringLiteral("svg"),  QStringLiteral("math"),   QStringLiteral("del"),
                                          QStringLiteral("rt"),   QStringLiteral("rp"),     QStringLiteral("object")};
    if (name.size() == 2 && name.at(0) == QLatin1Char('h') && name.at(1) >= QLatin1Char('1')
        && name.at(1) <= QLatin1Char('6'))
        return {Role::Heading, name.at(1).digitValue(), false};
    if (name == QLatin1String("ul") || name == QLatin1String("ol"))
        return {Role::List, 0, name == QLatin1String("ol")};
    if (name == QLatin1String("li"))
        return {Role::ListItem, 0, false};
    if (name == QLatin1String("tr"))
        return {Role::Row, 0, false};
    if (name == QLatin1String("td") || name == QLatin1String("th"))
        return {Role::Cell, 0, false};
    if (name == QLatin1String("br"))
        return {Role::Break, 0, false};
    if (skipped.contains(name))
        return {Role::Skip, 0, false};
    if (blocks.contains(name))
        return {Role::Block, 0, false};
    return {Role::Inline, 0, false};
}

TextRun inlineFormat(const QString &name, TextRun f)
{
    if (name == QLatin1String("b") || name == QLatin1String("strong"))
        f.bold = true;
    else if (name == QLatin1String("i") || name == QLatin1String("em") || name == QLatin1String("cite")
             || name == QLatin1String("var") || name == QLatin1String("dfn"))
        f.italic = true;
    else if (name == QLatin1String("u") || name == QLatin1String("ins"))
        f.underline = true;
    else if (name == QLatin1String("sup"))
        f.superscript = true;
    return f;
}

} // namespace

bool XhtmlReader::read(const QByteArray &data, const QString &partName, ImportedDocumentBuilder &builder,
                       QString *error)
{
    SafeXmlReader xml(data, partName);
    // One entry per open element: its format and what it was.
    struct Open {
        Element element;
        TextRun format;
        bool inInternalLink = false; // inside <a href="...#...">
    };
    std::vector<Open> stack;
    struct ListLevel {
        bool ordered;
    };
    std::vector<ListLevel> lists;
    bool preformatted = false;
    bool firstCell = true;

    for (;;) {
        const SafeXmlReader::Token token = xml.next();
        if (token == SafeXmlReader::Token::End)
            break;
        if (token == SafeXmlReader::Token::StartElement) {
            const QString name = xml.name().toString().toLower();
            // A book's title page says its title, author and date, which
            // the document keeps as what it says about itself; as text it
            // would be a chapter of its own before the first.
            if (xml.attribute(u"http://www.idpf.org/2007/ops", u"type")
                    .split(QLatin1Char(' '), Qt::SkipEmptyParts)
                    .contains(QLatin1String("titlepage"))) {
                xml.skipElement();
                continue;
            }
            const Element e = classify(name);
            const TextRun parent = stack.empty() ? TextRun{} : stack.back().format;
            bool inInternalLink = !stack.empty() && stack.back().inInternalLink;
            TextRun format = inlineFormat(name, parent);
            if (name == QLatin1String("a")) {
                // Footnote links: the way back is no text; the reference
                // is raised and set apart from the word before it.
                const QString role = xml.attribute(u"role");
                const QString epubType = xml.attribute(u"http://www.idpf.org/2007/ops", u"type");
                const QString cssClass = xml.attribute(u"class");
                if (NoteLinks::isBackLink(role, epubType, cssClass)) {
                    xml.skipElement();
                    continue;
                }
                if (NoteLinks::isNoteReference(role, epubType, cssClass)) {
                    builder.text(QStringLiteral(" "), parent, true);
                    format.superscript = true;
                }
                inInternalLink = inInternalLink || xml.attribute(u"href").contains(QLatin1Char('#'));
            }
            switch (e.role) {
            case Role::Skip:
                xml.skipElement();
                continue;
            case Role::Break:
                builder.lineBreak(parent);
                break;
            case Role::Heading:
                builder.heading(e.level);
                break;
            case Role::List:
                builder.endBlock();
                lists.push_back({e.ordered});
                break;
            case Role::ListItem:
                builder.listItem(lists.empty() ? false : lists.back().ordered,
                                 lists.empty() ? 0 : int(lists.size()) - 1);
                break;
            case Role::Row:
                builder.paragraph();
                firstCell = true;
                break;
            case Role::Cell:
                if (!firstCell)
                    builder.tab(parent);
                firstCell = false;
                break;
            case Role::Block:
                if (!builder.inEmptyListItem())
                    builder.endBlock();
                if (name == QLatin1String("pre"))
                    preformatted = true;
                break;
            case Role::Inline:
                break;
            }
            stack.push_back({e, format, inInternalLink});
            continue;
        }
        if (token == SafeXmlReader::Token::EndElement) {
            if (stack.empty())
                continue;
            const Element e = stack.back().element;
            stack.pop_back();
            switch (e.role) {
            case Role::Heading:
            case Role::ListItem:
            case Role::Row:
                builder.endBlock();
                break;
            case Role::Block:
                builder.endBlock();
                preformatted = false;
                break;
            case Role::List:
                builder.endBlock();
                if (!lists.empty())
                    lists.pop_back();
                break;
            default:
                break;
            }
            continue;
        }
        // Text outside <body> (a stray title) still belongs to the chapter.
        const TextRun format = stack.empty() ? TextRun{} : stack.back().format;
        if (!stack.empty() && stack.back().inInternalLink && NoteLinks::isBackLinkText(xml.text()))
            continue;
        if (preformatted) {
            QString t = xml.text();
            const QStringList lines = t.split(QLatin1Char('\n'));
            for (int i = 0; i < lines.size(); ++i) {
                if (i > 0)
                    builder.lineBreak(format);
                builder.text(lines.at(i), format, false);
            }
        } else {
            builder.text(xml.text(), format, true);
        }
    }
    builder.endBlock();
    if (xml.refused()) {
        *error = xml.errorMessage();
        return false;
    }
    return true;
}
