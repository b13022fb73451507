#pragma once
// ProgramInfo: `quenora --help` and `quenora --version`. Answered before the
// application object exists, so neither needs a display nor touches the
// single-instance lock or the hive.

#include <QStringList>

#include <optional>

namespace ProgramInfo {

QString helpText();
QString versionText();

// When the arguments (without the program name) ask for help or the version,
// prints the answer to standard output and returns the exit status; otherwise
// returns nothing and the program starts as usual.
std::optional<int> answer(const QStringList &arguments);

} // namespace ProgramInfo
