#pragma once
// BuilderRules: what the command builder reads from the interpreter's
// command table (ScriptCommands::commands()), the checks of its fields and
// the rules that turn them into one statement line.
//
// app/scripts/editor as a whole: the script editor (frmTaskEditor) and the
// command builder (frmTask), the editor's text box with line numbers
// (ScriptTextEdit) and its syntax colouring (ScriptHighlighter), which reads
// every line through the interpreter's own ScriptParser so that what is
// coloured is what runs. Uses app/scripts, common and the platform's Dialogs;
// used by the main window (task 1000).

#include "ScriptCommands.h"

#include <QList>
#include <QLocale>
#include <QString>

namespace BuilderRules {

using ParameterType = ScriptCommands::ParameterType;

// The rows of the command table the builder offers, in the table's order.
QList<const ScriptCommands::Command *> offeredCommands();

// True for the types whose first parameter must be a number.
bool needsNumber(ParameterType type);

// A number as the user types it in their locale ("1,5" in German, "1.5" in
// English); blanks around it are allowed.
bool isNumeric(const QString &text, const QLocale &locale);
// Whether the parameter is acceptable for its type: a number in the user's
// locale for "Zahl"; a whole number for "Prozent", since a stored speed,
// pitch or volume with a fraction could not be spoken with; anything else
// for the other types.
bool isAcceptable(const QString &text, ParameterType type, const QLocale &locale);

// The pattern shown beside the command word for a parameter count.
QString parameterPattern(int count, ParameterType type);

// Why the parameters cannot be written so that a run reads them back as
// typed, or empty when they can: the format has no escape for "(" or ");",
// and a first parameter ending in "\" would swallow the separating comma.
QString unwritable(int count, const QString &para1, const QString &para2);

// The statement line (without line end). A comma in a parameter is written
// as "\," so that it stays inside that one parameter.
QString statement(const QString &word, int count, const QString &para1, const QString &para2);

} // namespace BuilderRules
