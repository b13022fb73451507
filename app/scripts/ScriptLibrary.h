#pragma once
// ScriptLibrary: the scripts folder as the task pane shows it. Lists the
// *.vts files (the extension in any case) in one order, names sorted
// case-insensitively, so that the id of an entry (its 1-based position)
// always maps back to the file the entry shows (GetSelectedItem).
//
// app/scripts as a whole: the task scripts. ScriptParser cuts a line into a
// statement, ScriptRunner runs a file line by line, ScriptCommands carries
// out each statement against a ScriptHost (the main window, seen through that
// interface only), the settings, the dialogs, the shell, the clock and the
// clipboard; UrlDownload fetches files with libcurl off the GUI thread.
// FileTypeRegistration registers .vts with the desktop. Used by the window.

#include <QString>
#include <QStringList>

namespace ScriptLibrary {

// Creates the scripts folder and the temporary folder; failures are ignored.
void CreateScriptDir();

// The script files of a folder in listing order (names with extension).
QStringList scriptFiles(const QString &folder);

// The caption of a file's entry: every ".vts" (exact case) removed, then
// ".vts" appended when showVts.
QString caption(const QString &fileName, bool showVts);

// The file of an id: ids of 1 or less give the first file, an id beyond the
// listing an empty name.
QString GetSelectedItem(const QString &folder, int hID);

// The id of a file given by name, with or without ".vts" (case-sensitive,
// as Linux names are); 0 when none.
int idOfScript(const QString &folder, const QString &name);

} // namespace ScriptLibrary
