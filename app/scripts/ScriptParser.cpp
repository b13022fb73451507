#include "ScriptParser.h"

namespace ScriptParser {

std::optional<ScriptStatement> parseLine(QStringView line)
{
    const qsizetype open = line.indexOf(QLatin1Char('('));
    if (open < 0 || line.size() <= 5)
        return std::nullopt;
    const QStringView command = line.left(open);
    if (command.startsWith(QLatin1Char('#')) || command.startsWith(QLatin1String("//")))
        return std::nullopt;

    QStringView rest = line.mid(open + 1);
    const qsizetype second = rest.indexOf(QLatin1Char('('));
    if (second >= 0)
        rest = rest.left(second);
    QString parameters = rest.toString();
    parameters.replace(QLatin1String("\\,"), QLatin1String("%KOMMA%"));

    ScriptStatement statement;
    statement.command = command.toString();
    const qsizetype comma = parameters.indexOf(QLatin1Char(','));
    if (comma < 0) {
        statement.para1 = parameters.remove(QLatin1String(");"));
        return statement;
    }
    statement.para1 = parameters.left(comma);
    // Only the last of any number of parameters loses its ");"; a third and
    // further parameters are read and dropped.
    const qsizetype last = parameters.lastIndexOf(QLatin1Char(','));
    const qsizetype secondEnd = parameters.indexOf(QLatin1Char(','), comma + 1);
    if (last == comma) {
        statement.para2 = parameters.mid(comma + 1).remove(QLatin1String(");"));
    } else {
        statement.para2 = parameters.mid(comma + 1, secondEnd - comma - 1);
    }
    return statement;
}

QStringList splitLines(const QString &text)
{
    return text.split(QLatin1String("\r\n"));
}

} // namespace ScriptParser
