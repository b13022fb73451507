#pragma once
// PlugdeskCommand: the extension manager without a window, for installers
// and administrators: --list, --enable TEXT, --disable TEXT, --help. Entries
// are matched to TEXT exactly as the window matches them to a list item.
// Standard output carries only data; every failure is a German message on
// standard error and a non-zero exit status.

#include <QStringList>

class ExtensionEntries;
class QTextStream;

namespace PlugdeskCommand {

enum Exit { Success = 0, Failure = 1, Usage = 2 };

// True when the arguments (without the program name) ask for the command
// line instead of the window: any argument at all.
bool wanted(const QStringList &arguments);

int run(const QStringList &arguments, ExtensionEntries &entries, QTextStream &out, QTextStream &err);

} // namespace PlugdeskCommand
