#include "BuilderRules.h"

#include "EditorTexts.h"

namespace BuilderRules {

namespace {

QString escaped(QString parameter)
{
    return parameter.replace(QLatin1Char(','), QLatin1String("\\,"));
}

} // namespace

QList<const ScriptCommands::Command *> offeredCommands()
{
    QList<const ScriptCommands::Command *> offered;
    for (const ScriptCommands::Command &command : ScriptCommands::commands()) {
        if (command.builder == ScriptCommands::Builder::Offers)
            offered << &command;
    }
    return offered;
}

bool needsNumber(ParameterType type)
{
    return type == ParameterType::Number || type == ParameterType::Percent;
}

bool isNumeric(const QString &text, const QLocale &locale)
{
    bool ok = false;
    locale.toDouble(text.trimmed(), &ok);
    return ok;
}

bool isAcceptable(const QString &text, ParameterType type, const QLocale &locale)
{
    if (type == ParameterType::Percent) {
        bool ok = false;
        text.trimmed().toInt(&ok);
        return ok;
    }
    return !needsNumber(type) || isNumeric(text, locale);
}

QString parameterPattern(int count, ParameterType type)
{
    if (count <= 0)
        return EditorTexts::PatternNone;
    const QString word = ScriptCommands::typeWord(type);
    return count == 1 ? EditorTexts::PatternOne(word) : EditorTexts::PatternTwo(word);
}

QString unwritable(int count, const QString &para1, const QString &para2)
{
    QStringList used;
    if (count >= 1)
        used << para1;
    if (count >= 2)
        used << para2;
    for (const QString &parameter : used) {
        if (parameter.contains(QLatin1Char('(')))
            return EditorTexts::ParameterParenthesis;
        if (parameter.contains(QLatin1String(");")))
            return EditorTexts::ParameterEnd;
    }
    if (count >= 2 && para1.endsWith(QLatin1Char('\\')))
        return EditorTexts::ParameterBackslash;
    return QString();
}

QString statement(const QString &word, int count, const QString &para1, const QString &para2)
{
    if (count <= 0)
        return word + QStringLiteral("();");
    if (count == 1)
        return word + QLatin1Char('(') + escaped(para1) + QStringLiteral(");");
    return word + QLatin1Char('(') + escaped(para1) + QLatin1Char(',') + escaped(para2) + QStringLiteral(");");
}

} // namespace BuilderRules
