#include "DocxReader.h"

#include "DocumentProperties.h"
#include "ImportMessages.h"
#include "SafeXmlReader.h"
#include "ZipArchive.h"

#include <QDir>
#include <QHash>

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace {

const QString kW = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString kRel = QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");
const QString kMc = QStringLiteral("http://schemas.openxmlformats.org/markup-compatibility/2006");

ImportStatus fail(QString *message, const QString &text)
{
    *message = text;
    return ImportStatus::Failed;
}

// <w:b/>, <w:b w:val="true"/> switch on; w:val "0", "false", "off" or (for
// underline) "none" switch off.
bool onOff(const SafeXmlReader &xml)
{
    const QString v = xml.attribute(kW, u"val");
    return !(v == QLatin1String("0") || v == QLatin1String("false") || v == QLatin1String("off")
             || v == QLatin1String("none"));
}

struct RunProps {
    std::optional<bool> bold, italic, underline, superscript;

    void applyTo(TextRun &run) const
    {
        if (bold) run.bold = *bold;
        if (italic) run.italic = *italic;
        if (underline) run.underline = *underline;
        if (superscript) run.superscript = *superscript;
    }
    // Reads one property element of <w:rPr>; false when it is none.
    bool read(const SafeXmlReader &xml)
    {
        const QStringView n = xml.name();
        if (n == QLatin1String("b")) bold = onOff(xml);
        else if (n == QLatin1String("i")) italic = onOff(xml);
        else if (n == QLatin1String("u")) underline = onOff(xml);
        else if (n == QLatin1String("vertAlign")) superscript = xml.attribute(kW, u"val") == QLatin1String("superscript");
        else return false;
        return true;
    }
};

struct Style {
    QString basedOn;
    RunProps run;
    int headingLevel = 0;
};

struct Package {
    QHash<QString, Style> styles;
    QHash<QString, QHash<int, bool>> numbering; // numId -> level -> numbered
    QHash<QString, QByteArray> noteParts;       // "footnotes" / "endnotes" -> xml
};

TextRun styledRun(const Package &p, const QString &styleId, TextRun base)
{
    std::vector<const Style *> chain;
    QString current = styleId;
    for (int guard = 0; guard < 32 && !current.isEmpty(); ++guard) {
        const auto it = p.styles.constFind(current);
        if (it == p.styles.cend())
            break;
        chain.push_back(&*it);
        current = it->basedOn;
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        (*it)->run.applyTo(base);
    return base;
}

int headingLevel(const Package &p, const QString &styleId)
{
    QString current = styleId;
    for (int guard = 0; guard < 32 && !current.isEmpty(); ++guard) {
        const auto it = p.styles.constFind(current);
        if (it == p.styles.cend())
            break;
        if (it->headingLevel > 0)
            return it->headingLevel;
        current = it->basedOn;
    }
    return 0;
}

bool readStyles(const QByteArray &data, Package &p, QString *message)
{
    SafeXmlReader xml(data, QStringLiteral("word/styles.xml"));
    QString current;
    bool inRunProps = false;
    for (SafeXmlReader::Token t; (t = xml.next()) != SafeXmlReader::Token::End;) {
        if (t == SafeXmlReader::Token::EndElement) {
            if (xml.name() == QLatin1String("rPr"))
                inRunProps = false;
            continue;
        }
        if (t != SafeXmlReader::Token::StartElement || xml.namespaceUri() != kW)
            continue;
        const QStringView n = xml.name();
        if (n == QLatin1String("style")) {
            current = xml.attribute(kW, u"styleId");
            p.styles.insert(current, Style{});
        } else if (current.isEmpty()) {
            continue;
        } else if (n == QLatin1String("name")) {
            const QString name = xml.attribute(kW, u"val").toLower();
            if (name.startsWith(QLatin1String("heading ")))
                p.styles[current].headingLevel = qBound(1, name.mid(8).toInt(), 6);
            else if (name == QLatin1String("title"))
                p.styles[current].headingLevel = 1;
        } else if (n == QLatin1String("basedOn")) {
            p.styles[current].basedOn = xml.attribute(kW, u"val");
        } else if (n == QLatin1String("outlineLvl")) {
            const int level = xml.attribute(kW, u"val").toInt() + 1;
            if (level >= 1 && level <= 6)
                p.styles[current].headingLevel = level;
        } else if (n == QLatin1String("rPr")) {
            inRunProps = true;
        } else if (inRunProps) {
            p.styles[current].run.read(xml);
        }
    }
    if (xml.refused()) {
        *message = xml.errorMessage();
        return false;
    }
    return true;
}

bool readNumbering(const QByteArray &data, Package &p, QString *message)
{
    SafeXmlReader xml(data, QStringLiteral("word/numbering.xml"));
    QHash<QString, QHash<int, bool>> abstracts;
    QString abstractId;
    int level = 0;
    QString num;
    for (SafeXmlReader::Token t; (t = xml.next()) != SafeXmlReader::Token::End;) {
        if (t != SafeXmlReader::Token::StartElement || xml.namespaceUri() != kW)
            continue;
        const QStringView n = xml.name();
        if (n == QLatin1String("abstractNum")) {
            abstractId = xml.attribute(kW, u"abstractNumId");
        } else if (n == QLatin1String("lvl")) {
            level = xml.attribute(kW, u"ilvl").toInt();
        } else if (n == QLatin1String("numFmt") && !abstractId.isEmpty()) {
            const QString fmt = xml.attribute(kW, u"val");
            abstracts[abstractId].insert(level, fmt != QLatin1String("bullet") && fmt != QLatin1String("none"));
        } else if (n == QLatin1String("num")) {
            abstractId.clear();
            num = xml.attribute(kW, u"numId");
        } else if (n == QLatin1String("abstractNumId") && !num.isEmpty()) {
            p.numbering.insert(num, abstracts.value(xml.attribute(kW, u"val")));
        }
    }
    if (xml.refused()) {
        *message = xml.errorMessage();
        return false;
    }
    return true;
}

// Walks a body (the document, or the footnotes part) into a builder.
class BodyWalker
{
public:
    BodyWalker(const Package &p, ImportedDocumentBuilder *builder) : m_p(p), m_b(builder) {}

    // Note references in the order met; their markers are 1, 2, ...
    struct NoteRef {
        QString part; // "footnotes" or "endnotes"
        QString id;
    };
    std::vector<NoteRef> notes;
    // Set when walking a notes part: each note is read into its own
    // document, by its id, in one pass over the part.
    std::map<QString, ImportedDocument> *notesById = nullptr;

    void walk(SafeXmlReader &xml, const ImportControl &control);

private:
    enum class Kind { Other, Paragraph, Run, RunProps, ParagraphProps, Row, Cell, Table, Note };

    void startParagraph();

    const Package &m_p;
    ImportedDocumentBuilder *m_b;
    std::unique_ptr<ImportedDocumentBuilder> m_noteBuilder;
    std::vector<Kind> m_stack;
    // Paragraph being read: its style and list membership, known only once
    // its properties are read, so the block opens at the first text.
    QString m_pStyle;
    QString m_numId;
    int m_ilvl = 0;
    bool m_paragraphStarted = false;
    RunProps m_runProps;
    QString m_rStyle;
    int m_tableDepth = 0;
    int m_cells = 0;
    int m_cellParagraphs = 0;
    bool m_inNote = false;
};

void BodyWalker::startParagraph()
{
    if (m_paragraphStarted)
        return;
    m_paragraphStarted = true;
    if (m_tableDepth > 0) {
        if (m_cellParagraphs++ > 0)
            m_b->text(QStringLiteral(" "), TextRun{}, false);
        return;
    }
    if (!m_numId.isEmpty() && m_numId != QLatin1String("0")) {
        m_b->listItem(m_p.numbering.value(m_numId).value(m_ilvl), m_ilvl);
        return;
    }
    const int level = headingLevel(m_p, m_pStyle);
    if (level > 0)
        m_b->heading(level);
    else
        m_b->paragraph();
}

void BodyWalker::walk(SafeXmlReader &xml, const ImportControl &control)
{
    qint64 tokens = 0;
    for (;;) {
        const SafeXmlReader::Token token = xml.next();
        if (token == SafeXmlReader::Token::End)
            break;
        if ((++tokens & 0xFFF) == 0 && control.cancelled())
            return;
        // Text counts only inside <w:t>, read where that element starts.
        if (token == SafeXmlReader::Token::Text)
            continue;
        if (token == SafeXmlReader::Token::EndElement) {
            if (m_stack.empty())
                continue;
            const Kind kind = m_stack.back();
            m_stack.pop_back();
            if (kind == Kind::Paragraph) {
                if (m_tableDepth == 0 && m_paragraphStarted)
                    m_b->endBlock();
                m_paragraphStarted = false;
            } else if (kind == Kind::Row) {
                m_b->endBlock();
            } else if (kind == Kind::Table) {
                --m_tableDepth;
            } else if (kind == Kind::Note) {
                m_b->finish();
                m_inNote = false;
            }
            continue;
        }
        const QStringView ns = xml.namespaceUri();
        const QStringView n = xml.name();
        Kind kind = Kind::Other;
        if (ns == kMc && n == QLatin1String("Fallback")) {
            xml.skipElement();
            continue;
        }
        if (ns != kW) {
            m_stack.push_back(kind);
            continue;
        }
        const bool reading = !notesById || m_inNote;
        if (notesById && (n == QLatin1String("footnote") || n == QLatin1String("endnote"))) {
            const QString id = xml.attribute(kW, u"id");
            if (m_inNote || notesById->count(id)) {
                xml.skipElement();
                continue;
            }
            m_noteBuilder = std::make_unique<ImportedDocumentBuilder>((*notesById)[id]);
            m_b = m_noteBuilder.get();
            m_inNote = true;
            kind = Kind::Note;
        } else if (n == QLatin1String("del") || n == QLatin1String("moveFrom") || n == QLatin1String("instrText")
                   || n == QLatin1String("drawing") || n == QLatin1String("pict") || n == QLatin1String("object")
                   || n == QLatin1String("delText") || n == QLatin1String("commentReference")
                   || n == QLatin1String("rPrChange") || n == QLatin1String("pPrChange")) {
            xml.skipElement();
            continue;
        } else if (!reading) {
            // outside the wanted note
        } else if (n == QLatin1String("p")) {
            kind = Kind::Paragraph;
            m_pStyle.clear();
            m_numId.clear();
            m_ilvl = 0;
            m_paragraphStarted = false;
        } else if (n == QLatin1String("pPr")) {
            kind = Kind::ParagraphProps;
        } else if (n == QLatin1String("pStyle")) {
            m_pStyle = xml.attribute(kW, u"val");
        } else if (n == QLatin1String("numId")) {
            m_numId = xml.attribute(kW, u"val");
        } else if (n == QLatin1String("ilvl")) {
            m_ilvl = qBound(0, xml.attribute(kW, u"val").toInt(), 9);
        } else if (n == QLatin1String("r")) {
            kind = Kind::Run;
            m_runProps = RunProps{};
            m_rStyle.clear();
        } else if (n == QLatin1String("rPr")) {
            // The paragraph mark's own run properties format no text.
            if (!m_stack.empty() && m_stack.back() == Kind::ParagraphProps) {
                xml.skipElement();
                continue;
            }
            kind = Kind::RunProps;
        } else if (!m_stack.empty() && m_stack.back() == Kind::RunProps) {
            if (n == QLatin1String("rStyle"))
                m_rStyle = xml.attribute(kW, u"val");
            else
                m_runProps.read(xml);
        } else if (n == QLatin1String("t")) {
            // Everything up to </w:t> is text, spaces included.
            QString text;
            int depth = xml.depth();
            for (SafeXmlReader::Token t; (t = xml.next()) != SafeXmlReader::Token::End;) {
                if (t == SafeXmlReader::Token::Text)
                    text += xml.text();
                else if (t == SafeXmlReader::Token::EndElement && xml.depth() < depth)
                    break;
            }
            if (!text.isEmpty()) {
                startParagraph();
                TextRun run = styledRun(m_p, m_rStyle, styledRun(m_p, m_pStyle, TextRun{}));
                m_runProps.applyTo(run);
                m_b->text(text, run, false);
            }
            continue;
        } else if (n == QLatin1String("tab") && !m_stack.empty() && m_stack.back() == Kind::Run) {
            startParagraph();
            m_b->tab(TextRun{});
        } else if ((n == QLatin1String("br") || n == QLatin1String("cr")) && !m_stack.empty()
                   && m_stack.back() == Kind::Run) {
            startParagraph();
            m_b->lineBreak(TextRun{});
        } else if (n == QLatin1String("noBreakHyphen")) {
            startParagraph();
            m_b->text(QString(QChar(0x2011)), TextRun{}, false);
        } else if (n == QLatin1String("footnoteReference") || n == QLatin1String("endnoteReference")) {
            notes.push_back({n == QLatin1String("footnoteReference") ? QStringLiteral("footnotes")
                                                                      : QStringLiteral("endnotes"),
                             xml.attribute(kW, u"id")});
            startParagraph();
            TextRun sup;
            sup.superscript = true;
            m_b->text(QString::number(notes.size()), sup, false);
        } else if (n == QLatin1String("tbl")) {
            kind = Kind::Table;
            ++m_tableDepth;
            m_b->endBlock();
        } else if (n == QLatin1String("tr")) {
            kind = Kind::Row;
            if (m_tableDepth <= 1) {
                m_b->paragraph();
                m_cells = 0;
            }
        } else if (n == QLatin1String("tc")) {
            kind = Kind::Cell;
            if (m_tableDepth <= 1) {
                if (m_cells++ > 0)
                    m_b->tab(TextRun{});
                m_cellParagraphs = 0;
            }
        }
        m_stack.push_back(kind);
    }
}

QString mainPartName(ZipArchive &zip)
{
    const QString fallback = QStringLiteral("word/document.xml");
    QByteArray rels;
    if (!zip.contains(QStringLiteral("_rels/.rels")) || !zip.read(QStringLiteral("_rels/.rels"), &rels))
        return fallback;
    SafeXmlReader xml(rels, QStringLiteral("_rels/.rels"));
    for (SafeXmlReader::Token t; (t = xml.next()) != SafeXmlReader::Token::End;) {
        if (t == SafeXmlReader::Token::StartElement && xml.name() == QLatin1String("Relationship")
            && xml.attribute(u"Type").endsWith(QLatin1String("/officeDocument"))) {
            QString target = xml.attribute(u"Target");
            while (target.startsWith(QLatin1Char('/')))
                target.remove(0, 1);
            target = QDir::cleanPath(target);
            return zip.contains(target) ? target : fallback;
        }
    }
    return fallback;
}

} // namespace

ImportStatus DocxReader::read(const QByteArray &bytes, const ImportControl &control, ImportedDocument *out,
                              QString *message)
{
    ZipArchive zip;
    if (!zip.open(bytes))
        return fail(message, zip.errorMessage());
    const QString mainName = mainPartName(zip);
    const QString dir = mainName.contains(QLatin1Char('/')) ? mainName.section(QLatin1Char('/'), 0, -2) + QLatin1Char('/')
                                                            : QString();
    Package p;
    const auto readPart = [&](const QString &name, QByteArray *data) -> std::optional<bool> {
        if (!zip.contains(name))
            return std::nullopt;
        if (!zip.read(name, data)) {
            *message = zip.errorMessage();
            return false;
        }
        return true;
    };
    QByteArray data;
    std::optional<bool> got = readPart(dir + QStringLiteral("styles.xml"), &data);
    if (got && (!*got || !readStyles(data, p, message)))
        return ImportStatus::Failed;
    got = readPart(dir + QStringLiteral("numbering.xml"), &data);
    if (got && (!*got || !readNumbering(data, p, message)))
        return ImportStatus::Failed;
    for (const QString &part : {QStringLiteral("footnotes"), QStringLiteral("endnotes")}) {
        got = readPart(dir + part + QStringLiteral(".xml"), &data);
        if (got && !*got)
            return ImportStatus::Failed;
        if (got)
            p.noteParts.insert(part, data);
    }
    // The title, author and date; a part that cannot be read is left out.
    const QString core = QStringLiteral("docProps/core.xml");
    if (QByteArray properties; zip.contains(core) && zip.read(core, &properties))
        DocumentProperties::read(properties, core, out);
    control.report(10, 100);

    QByteArray document;
    if (!zip.contains(mainName))
        return fail(message, ImportMessages::DocxMissingMainPart(mainName));
    if (!zip.read(mainName, &document))
        return fail(message, zip.errorMessage());
    SafeXmlReader xml(document, mainName);
    ImportedDocumentBuilder builder(*out);
    BodyWalker walker(p, &builder);
    walker.walk(xml, control);
    builder.finish();
    if (control.cancelled())
        return ImportStatus::Cancelled;
    if (xml.refused() || xml.damaged())
        return fail(message, xml.errorMessage());
    control.report(80, 100);

    // Notes after the text, in the order they are referred to; each notes
    // part is read once, however many references there are.
    std::map<QString, std::map<QString, ImportedDocument>> notes;
    for (auto it = p.noteParts.cbegin(); it != p.noteParts.cend(); ++it) {
        SafeXmlReader xml(it.value(), dir + it.key() + QStringLiteral(".xml"));
        BodyWalker noteWalker(p, nullptr);
        noteWalker.notesById = &notes[it.key()];
        noteWalker.walk(xml, control);
        if (xml.refused())
            return fail(message, xml.errorMessage());
        if (control.cancelled())
            return ImportStatus::Cancelled;
    }
    int number = 0;
    for (const BodyWalker::NoteRef &ref : walker.notes) {
        ++number;
        const auto part = notes.find(ref.part);
        if (part == notes.end())
            continue;
        const auto note = part->second.find(ref.id);
        if (note == part->second.end() || note->second.blocks.empty())
            continue;
        std::vector<TextBlock> blocks = note->second.blocks;
        blocks.front().runs.insert(blocks.front().runs.begin(), TextRun{QString::number(number) + QLatin1Char(' ')});
        for (TextBlock &b : blocks)
            out->blocks.push_back(std::move(b));
    }
    control.report(100, 100);
    return ImportStatus::Ok;
}
