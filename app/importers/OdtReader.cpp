#include "OdtReader.h"

#include "DocumentProperties.h"
#include "ImportMessages.h"
#include "SafeXmlReader.h"
#include "ZipArchive.h"

#include <QHash>

#include <optional>
#include <vector>

namespace {

const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kStyle = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString kFo = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
const QString kTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");

struct StyleInfo {
    QString parent;
    std::optional<bool> bold, italic, underline, superscript;
    int outlineLevel = 0;
};

struct Styles {
    QHash<QString, StyleInfo> styles;
    QHash<QString, QHash<int, bool>> lists; // list style -> level (1-based) -> numbered

    TextRun apply(const QString &name, TextRun base) const
    {
        // Innermost first; a property set nearer the text wins.
        std::optional<bool> bold, italic, underline, superscript;
        QString current = name;
        for (int guard = 0; guard < 32 && !current.isEmpty(); ++guard) {
            const auto it = styles.constFind(current);
            if (it == styles.cend())
                break;
            if (!bold) bold = it->bold;
            if (!italic) italic = it->italic;
            if (!underline) underline = it->underline;
            if (!superscript) superscript = it->superscript;
            current = it->parent;
        }
        if (bold) base.bold = *bold;
        if (italic) base.italic = *italic;
        if (underline) base.underline = *underline;
        if (superscript) base.superscript = *superscript;
        return base;
    }

    int outlineLevel(const QString &name) const
    {
        QString current = name;
        for (int guard = 0; guard < 32 && !current.isEmpty(); ++guard) {
            const auto it = styles.constFind(current);
            if (it == styles.cend())
                break;
            if (it->outlineLevel > 0)
                return it->outlineLevel;
            current = it->parent;
        }
        return 0;
    }
};

// Reads the style definitions of one part (styles.xml or the automatic
// styles of content.xml) into `styles`.
bool readStyles(SafeXmlReader &xml, Styles &styles, bool stopAtBody)
{
    QString current;
    QString currentList;
    for (SafeXmlReader::Token t; (t = xml.next()) != SafeXmlReader::Token::End;) {
        if (t != SafeXmlReader::Token::StartElement)
            continue;
        const QStringView ns = xml.namespaceUri();
        const QStringView name = xml.name();
        if (stopAtBody && ns == kOffice && name == QLatin1String("body"))
            return true;
        if (ns == kStyle && name == QLatin1String("style")) {
            current = xml.attribute(kStyle, u"name");
            StyleInfo info;
            info.parent = xml.attribute(kStyle, u"parent-style-name");
            info.outlineLevel = xml.attribute(kStyle, u"default-outline-level").toInt();
            styles.styles.insert(current, info);
        } else if (ns == kStyle && name == QLatin1String("text-properties") && !current.isEmpty()) {
            StyleInfo &info = styles.styles[current];
            const QString weight = xml.attribute(kFo, u"font-weight");
            if (!weight.isEmpty())
                info.bold = weight == QLatin1String("bold") || weight.toInt() >= 600;
            const QString style = xml.attribute(kFo, u"font-style");
            if (!style.isEmpty())
                info.italic = style == QLatin1String("italic") || style == QLatin1String("oblique");
            const QString underline = xml.attribute(kStyle, u"text-underline-style");
            if (!underline.isEmpty())
                info.underline = underline != QLatin1String("none");
            const QString position = xml.attribute(kStyle, u"text-position");
            if (!position.isEmpty())
                info.superscript = position.startsWith(QLatin1String("super"));
        } else if (ns == kText && name == QLatin1String("list-style")) {
            currentList = xml.attribute(kStyle, u"name");
        } else if (ns == kText && (name == QLatin1String("list-level-style-number")
                                   || name == QLatin1String("list-level-style-bullet")
                                   || name == QLatin1String("list-level-style-image"))) {
            const int level = xml.attribute(kText, u"level").toInt();
            const bool numbered = name == QLatin1String("list-level-style-number")
                                  && !xml.attribute(kStyle, u"num-format").isEmpty();
            styles.lists[currentList].insert(level, numbered);
        }
    }
    return !xml.refused();
}

class BodyReader
{
public:
    BodyReader(const Styles &styles, ImportedDocument &doc, ImportedDocument &notes)
        : m_styles(styles), m_main(doc), m_notes(notes)
    {
    }

    void read(SafeXmlReader &xml, const ImportControl &control);

private:
    struct Open {
        enum class Kind { Other, Paragraph, List, ListItem, Row, Cell, Note, NoteBody, NoteCitation };
        Kind kind = Kind::Other;
        TextRun format;
        ImportedDocumentBuilder *builder = nullptr;
    };

    ImportedDocumentBuilder &builder() { return m_stack.empty() ? m_main : *m_stack.back().builder; }
    TextRun format() const { return m_stack.empty() ? TextRun{} : m_stack.back().format; }

    const Styles &m_styles;
    ImportedDocumentBuilder m_main;
    ImportedDocumentBuilder m_notes;
    std::vector<Open> m_stack;
    struct ListState {
        QString style;
    };
    std::vector<ListState> m_lists;
    int m_cellParagraphs = 0;
    int m_noteCount = 0;
    QString m_citation;
    bool m_noteFirstParagraph = false;
    int m_cells = 0;
};

void BodyReader::read(SafeXmlReader &xml, const ImportControl &control)
{
    qint64 tokens = 0;
    for (;;) {
        const SafeXmlReader::Token token = xml.next();
        if (token == SafeXmlReader::Token::End)
            break;
        if ((++tokens & 0xFFF) == 0 && control.cancelled())
            return;
        if (token == SafeXmlReader::Token::Text) {
            if (!m_stack.empty() && m_stack.back().kind == Open::Kind::NoteCitation) {
                m_citation += xml.text();
                continue;
            }
            // Text sits only inside paragraphs and headings; white space
            // between elements is layout.
            builder().text(xml.text(), format(), true);
            continue;
        }
        if (token == SafeXmlReader::Token::EndElement) {
            if (m_stack.empty())
                continue;
            const Open open = m_stack.back();
            m_stack.pop_back();
            switch (open.kind) {
            case Open::Kind::Paragraph:
                if (!(m_stack.size() && m_stack.back().kind == Open::Kind::Cell))
                    open.builder->endBlock();
                break;
            case Open::Kind::List:
                if (!m_lists.empty())
                    m_lists.pop_back();
                open.builder->endBlock();
                break;
            case Open::Kind::ListItem:
            case Open::Kind::Row:
            case Open::Kind::NoteBody:
                open.builder->endBlock();
                break;
            default:
                break;
            }
            continue;
        }

        const QStringView ns = xml.namespaceUri();
        const QStringView name = xml.name();
        Open open;
        open.format = format();
        open.builder = &builder();
        ImportedDocumentBuilder &b = *open.builder;

        if (ns == kText) {
            if (name == QLatin1String("tracked-changes") || name == QLatin1String("note-citation-placeholder")
                || name.endsWith(QLatin1String("-source")) || name == QLatin1String("sequence-decls")) {
                xml.skipElement();
                continue;
            }
            if (name == QLatin1String("h") || name == QLatin1String("p")) {
                const QString style = xml.attribute(kText, u"style-name");
                open.format = m_styles.apply(style, open.format);
                open.kind = Open::Kind::Paragraph;
                const bool inCell = !m_stack.empty() && m_stack.back().kind == Open::Kind::Cell;
                int level = name == QLatin1String("h") ? xml.attribute(kText, u"outline-level").toInt() : 0;
                if (name == QLatin1String("h") && level <= 0)
                    level = qMax(1, m_styles.outlineLevel(style));
                if (inCell) {
                    if (m_cellParagraphs++ > 0)
                        b.text(QStringLiteral(" "), open.format, true);
                } else if (m_noteFirstParagraph && &b == &m_notes) {
                    m_noteFirstParagraph = false;
                } else if (b.inEmptyListItem()) {
                    // the list item's own paragraph
                } else if (level > 0) {
                    b.heading(level);
                } else {
                    b.paragraph();
                }
            } else if (name == QLatin1String("span") || name == QLatin1String("a")) {
                open.format = m_styles.apply(xml.attribute(kText, u"style-name"), open.format);
            } else if (name == QLatin1String("list")) {
                QString style = xml.attribute(kText, u"style-name");
                if (style.isEmpty() && !m_lists.empty())
                    style = m_lists.back().style;
                b.endBlock();
                m_lists.push_back({style});
                open.kind = Open::Kind::List;
            } else if (name == QLatin1String("list-item") || name == QLatin1String("list-header")) {
                const int depth = qMax(0, int(m_lists.size()) - 1);
                const bool numbered = m_lists.empty() ? false
                                                      : m_styles.lists.value(m_lists.back().style).value(depth + 1);
                b.listItem(numbered, depth);
                open.kind = Open::Kind::ListItem;
            } else if (name == QLatin1String("s")) {
                const int count = qBound(1, xml.attribute(kText, u"c").toInt(), 1000);
                b.text(QString(count, QLatin1Char(' ')), open.format, false);
            } else if (name == QLatin1String("tab")) {
                b.tab(open.format);
            } else if (name == QLatin1String("line-break")) {
                b.lineBreak(open.format);
            } else if (name == QLatin1String("note")) {
                open.kind = Open::Kind::Note;
                m_citation.clear();
            } else if (name == QLatin1String("note-citation")) {
                open.kind = Open::Kind::NoteCitation;
            } else if (name == QLatin1String("note-body")) {
                const QString marker = m_citation.trimmed().isEmpty() ? QString::number(++m_noteCount)
                                                                      : m_citation.trimmed();
                TextRun sup = open.format;
                sup.superscript = true;
                b.text(marker, sup, false);
                open.kind = Open::Kind::NoteBody;
                open.builder = &m_notes;
                open.format = TextRun{};
                m_notes.paragraph();
                m_notes.text(marker + QLatin1Char(' '), TextRun{}, false);
                m_noteFirstParagraph = true;
            }
        } else if (ns == kTable) {
            if (name == QLatin1String("table-row")) {
                b.paragraph();
                m_cells = 0;
                open.kind = Open::Kind::Row;
            } else if (name == QLatin1String("table-cell") || name == QLatin1String("covered-table-cell")) {
                if (m_cells++ > 0)
                    b.tab(open.format);
                m_cellParagraphs = 0;
                open.kind = Open::Kind::Cell;
            }
        } else if (ns == kOffice && name == QLatin1String("annotation")) {
            xml.skipElement();
            continue;
        } else if (name == QLatin1String("title") || name == QLatin1String("desc")) {
            xml.skipElement(); // descriptions of drawings
            continue;
        }
        m_stack.push_back(open);
    }
    m_main.finish();
    m_notes.finish();
}

ImportStatus fail(QString *message, const QString &text)
{
    *message = text;
    return ImportStatus::Failed;
}

} // namespace

ImportStatus OdtReader::read(const QByteArray &bytes, const ImportControl &control, ImportedDocument *out,
                             QString *message)
{
    ZipArchive zip;
    if (!zip.open(bytes))
        return fail(message, zip.errorMessage());
    Styles styles;
    if (zip.contains(QStringLiteral("styles.xml"))) {
        QByteArray data;
        if (!zip.read(QStringLiteral("styles.xml"), &data))
            return fail(message, zip.errorMessage());
        SafeXmlReader xml(data, QStringLiteral("styles.xml"));
        if (!readStyles(xml, styles, false))
            return fail(message, xml.errorMessage());
    }
    // The title, author and date; a part that cannot be read is left out.
    if (QByteArray meta; zip.contains(QStringLiteral("meta.xml")) && zip.read(QStringLiteral("meta.xml"), &meta))
        DocumentProperties::read(meta, QStringLiteral("meta.xml"), out);
    control.report(10, 100);
    const QString contentName = QStringLiteral("content.xml");
    QByteArray content;
    if (!zip.read(contentName, &content))
        return fail(message, zip.errorMessage());
    {
        SafeXmlReader xml(content, contentName);
        if (!readStyles(xml, styles, true))
            return fail(message, xml.errorMessage());
    }
    control.report(30, 100);
    SafeXmlReader xml(content, contentName);
    // Skip to the body; the styles were read above.
    bool body = false;
    for (SafeXmlReader::Token t; !body && (t = xml.next()) != SafeXmlReader::Token::End;)
        body = t == SafeXmlReader::Token::StartElement && xml.namespaceUri() == kOffice
               && xml.name() == QLatin1String("body");
    if (xml.refused() || xml.damaged() || !body)
        return fail(message, xml.errorMessage().isEmpty() ? ImportMessages::XmlBroken(contentName, 1)
                                                          : xml.errorMessage());
    ImportedDocument notes;
    BodyReader reader(styles, *out, notes);
    reader.read(xml, control);
    if (control.cancelled())
        return ImportStatus::Cancelled;
    if (xml.refused() || xml.damaged())
        return fail(message, xml.errorMessage());
    for (TextBlock &note : notes.blocks)
        out->blocks.push_back(std::move(note));
    control.report(100, 100);
    return ImportStatus::Ok;
}
