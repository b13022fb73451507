#pragma once
// ScriptParser: one line of a task script in, one statement (or nothing) out.
// A pure function without state; the interpreter calls it for every line.
//
// The rules are the script format's own and deliberately literal: a line is a
// statement only when it holds a "(" and is longer than five characters; the
// text before the first "(" is the command, the text up to the second "(" the
// parameters; "\," is an escaped comma (kept as %KOMMA% until the command
// substitutes it back); ");" is removed anywhere in the last parameter; lines
// whose command starts with "#" or "//" are comments. Nothing is trimmed.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

struct ScriptStatement {
    QString command;
    QString para1;
    QString para2;
    friend bool operator==(const ScriptStatement &, const ScriptStatement &) = default;
};

namespace ScriptParser {

std::optional<ScriptStatement> parseLine(QStringView line);

// The lines of a script: only CR LF ends a line.
QStringList splitLines(const QString &text);

} // namespace ScriptParser
