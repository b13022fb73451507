#include "StartupCommandLine.h"

#include <QFileInfo>

namespace {

// "/t", "/s" and the like. Paths start with "/" too, but are longer.
bool isSwitch(const QString &argument)
{
    return argument.size() == 2 && argument.at(0) == QLatin1Char('/') && argument.at(1).isLetter();
}

} // namespace

namespace StartupCommandLine {

QString fromArguments(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return QString();
    QStringList parts;
    qsizetype next = 0;
    const QString &first = arguments.first();
    if (!isSwitch(first)) {
        const QString path = first.isEmpty() ? first : QFileInfo(first).absoluteFilePath();
        parts.append(QLatin1Char('"') + path + QLatin1Char('"'));
        next = 1;
    }
    for (; next < arguments.size(); ++next)
        parts.append(arguments.at(next));
    return parts.join(QLatin1Char(' '));
}

StartupRequest parse(const QString &commandLine)
{
    StartupRequest request;
    if (commandLine.isEmpty())
        return request;

    // Positions counted from 1: start one after the first quote, length =
    // position of the last quote - 2. That is the quoted path exactly when
    // the line begins with the quote; without two quotes it yields nothing.
    const qsizetype first = commandLine.indexOf(QLatin1Char('"')) + 1;
    const qsizetype last = commandLine.lastIndexOf(QLatin1Char('"')) + 1;
    if (first > 0 && last - 2 >= 0)
        request.quotedPath = commandLine.mid(first, last - 2);

    // The switches are looked for outside the quoted path: Linux paths are
    // full of "/t" and "/s" ("/tmp", "/srv"), and a document in such a folder
    // must not start speaking by itself.
    const QString switches = commandLine.startsWith(QLatin1Char('"')) && last > 1
        ? commandLine.mid(last)
        : commandLine;
    request.textMode = switches.contains(QLatin1String("/t"));
    request.speakAtStart = switches.contains(QLatin1String("/s"));
    return request;
}

} // namespace StartupCommandLine
