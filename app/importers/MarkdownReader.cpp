#include "MarkdownReader.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <yaml-cpp/yaml.h>

#include <vector>

namespace {

// Front matter larger than this is still left out, but not parsed.
constexpr qsizetype kMaxFrontMatter = 64 * 1024;

bool isFence(const QString &line, const char *mark)
{
    return line.trimmed() == QLatin1String(mark) && !line.startsWith(QLatin1Char(' '));
}

QString scalarText(const YAML::Node &node)
{
    if (node.IsScalar())
        return QString::fromStdString(node.Scalar()).simplified();
    if (node.IsMap() && node["name"] && node["name"].IsScalar())
        return QString::fromStdString(node["name"].Scalar()).simplified();
    return QString();
}

// A YAML mapping between the first line "---" and a closing "---" or "...":
// its lines are removed from `lines` and its title, author and date kept.
void takeFrontMatter(QStringList &lines, MarkdownReader::Prepared &out)
{
    if (lines.size() < 3 || !isFence(lines.at(0), "---") || lines.at(1).trimmed().isEmpty())
        return;
    qsizetype end = -1;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (isFence(lines.at(i), "---") || isFence(lines.at(i), "...")) {
            end = i;
            break;
        }
    }
    if (end < 0)
        return;
    const QString yaml = lines.mid(1, end - 1).join(QLatin1Char('\n'));
    if (yaml.size() <= kMaxFrontMatter) {
        try {
            const YAML::Node root = YAML::Load(yaml.toStdString());
            // Not a mapping: a rule and a heading the writer meant as text.
            if (!root.IsMap())
                return;
            if (const YAML::Node title = root["title"])
                out.title = scalarText(title);
            if (const YAML::Node author = root["author"]) {
                QStringList names;
                if (author.IsSequence()) {
                    for (const YAML::Node &a : author)
                        if (const QString n = scalarText(a); !n.isEmpty())
                            names << n;
                } else {
                    names << scalarText(author);
                }
                names.removeAll(QString());
                out.author = names.join(QStringLiteral(", "));
            }
            if (const YAML::Node date = root["date"])
                out.date = scalarText(date);
        } catch (const YAML::Exception &) {
            return; // no YAML: left as the text it is
        }
    }
    lines.remove(0, end + 1);
}

struct Note {
    QString id;
    QString text;
};

bool isIndented(const QString &line)
{
    return line.startsWith(QLatin1Char('\t')) || line.startsWith(QLatin1String("    "));
}

} // namespace

MarkdownReader::Prepared MarkdownReader::prepare(const QString &markdown)
{
    Prepared out;
    QString text = markdown;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    takeFrontMatter(lines, out);

    // Footnote definitions leave the text, with their indented continuation
    // lines; fenced code is left as it stands.
    static const QRegularExpression definition(QStringLiteral("^ {0,3}\\[\\^([^\\]\\s]+)\\]:[ \\t]?(.*)$"));
    static const QRegularExpression reference(QStringLiteral("\\[\\^([^\\]\\s]+)\\]"));
    std::vector<Note> definitions;
    QHash<QString, qsizetype> definitionOf;
    QStringList body;
    QString fence;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        const QString trimmed = line.trimmed();
        if (fence.isEmpty() && (trimmed.startsWith(QLatin1String("```")) || trimmed.startsWith(QLatin1String("~~~")))) {
            fence = trimmed.left(3);
            body << line;
            continue;
        }
        if (!fence.isEmpty()) {
            if (trimmed.startsWith(fence))
                fence.clear();
            body << line;
            continue;
        }
        const QRegularExpressionMatch m = definition.match(line);
        if (!m.hasMatch()) {
            body << line;
            continue;
        }
        QStringList noteLines{m.captured(2)};
        while (i + 1 < lines.size()) {
            const QString &next = lines.at(i + 1);
            if (isIndented(next)) {
                noteLines << next.mid(next.startsWith(QLatin1Char('\t')) ? 1 : 4);
            } else if (next.trimmed().isEmpty() && i + 2 < lines.size() && isIndented(lines.at(i + 2))) {
                noteLines << QString();
            } else {
                break;
            }
            ++i;
        }
        if (!definitionOf.contains(m.captured(1))) {
            definitionOf.insert(m.captured(1), qsizetype(definitions.size()));
            definitions.push_back({m.captured(1), noteLines.join(QLatin1Char('\n')).trimmed()});
        }
    }

    // References get numbers in the order of their first use; one without a
    // definition stays as written.
    QHash<QString, int> numberOf;
    std::vector<qsizetype> order;
    fence.clear();
    for (QString &line : body) {
        const QString trimmed = line.trimmed();
        if (fence.isEmpty() && (trimmed.startsWith(QLatin1String("```")) || trimmed.startsWith(QLatin1String("~~~")))) {
            fence = trimmed.left(3);
            continue;
        }
        if (!fence.isEmpty()) {
            if (trimmed.startsWith(fence))
                fence.clear();
            continue;
        }
        QString result;
        qsizetype from = 0;
        auto it = reference.globalMatch(line);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            const QString id = m.captured(1);
            if (!definitionOf.contains(id))
                continue;
            int number = numberOf.value(id);
            if (number == 0) {
                number = int(numberOf.size()) + 1;
                numberOf.insert(id, number);
                order.push_back(definitionOf.value(id));
            }
            result += line.mid(from, m.capturedStart() - from);
            // Set apart, so "Rhein.[^1]" is not read as "Rhein.1".
            if (!result.isEmpty() && !result.back().isSpace())
                result += QLatin1Char(' ');
            result += QStringLiteral("<sup>%1</sup>").arg(number);
            from = m.capturedEnd();
        }
        if (from > 0)
            line = result + line.mid(from);
    }
    // Notes nobody refers to still belong to the document.
    for (qsizetype d = 0; d < qsizetype(definitions.size()); ++d) {
        if (!numberOf.contains(definitions[size_t(d)].id)) {
            numberOf.insert(definitions[size_t(d)].id, int(numberOf.size()) + 1);
            order.push_back(d);
        }
    }
    out.markdown = body.join(QLatin1Char('\n'));
    for (qsizetype d : order) {
        const Note &note = definitions[size_t(d)];
        out.markdown += QStringLiteral("\n\n%1 %2").arg(numberOf.value(note.id)).arg(note.text);
    }
    if (!order.empty())
        out.markdown += QLatin1Char('\n');
    return out;
}
