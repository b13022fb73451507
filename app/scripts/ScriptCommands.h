#pragma once
// ScriptCommands: carries out one parsed statement (ExecuteCommand): the
// script variables, the command table, the waits and the error prompt.
// Keeps no state between statements; what a statement changes lives in the
// host (document, status bar, run flag), the speaker, the settings and the
// file system.
// Control flow that leaves the line (Wiederholen, Springe) is returned to the
// interpreter as an outcome, so the interpreter, not the call stack, goes on.
//
// The command table (commands()) is the one list of commands: a row holds
// the word, what the command builder shows for it and the handler that
// carries it out. The interpreter runs the row whose word matches, the
// editor's colouring knows the words from it and the builder offers its
// rows; a new command is one row and its handler.

#include "SettingKeys.h"
#include "UrlDownload.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class Clipboard;
class Clock;
class Dialogs;
class ScriptHost;
class SettingsStore;
class Shell;
class Speaker;

class ScriptCommands
{
    struct Call; // one statement as a handler works on it

public:
    struct Outcome {
        enum Kind { Next, Restart, Jump } kind = Next;
        int line = 0; // Jump: 1-based line of the file
    };

    // The parameter types the builder names (ScriptTexts::Type...); Zahl and
    // Prozent are checked there, the others are display words only.
    enum class ParameterType { Nothing, Text, Percent, Number, Time, Mode };
    // Whether the builder offers a command. One it omits still runs, for the
    // scripts written with it.
    enum class Builder { Offers, Omits };

    // One row of the command table.
    struct Command {
        QString word;             // as a statement writes it, case-sensitive
        ParameterType type;       // the builder's type for its fields
        int parameters;           // the builder's fields: 0, 1 or 2
        Builder builder;
        QString help;             // the builder's help text (ScriptTexts::Help...)
        void (*run)(ScriptCommands &, Call &);
    };

    ScriptCommands(ScriptHost &host, Speaker &speaker, SettingsStore &settings, Dialogs &dialogs, Shell &shell,
                   Clock &clock, Clipboard &clipboard);

    // Where a statement stands, for the error prompt.
    struct Where {
        QString script; // the file's name in the scripts folder
        int line = 0;   // from 1
    };

    Outcome ExecuteCommand(const QString &sBefehl, QString sPara1 = QString(), QString sPara2 = QString());
    Outcome ExecuteCommand(const Where &where, const QString &sBefehl, QString sPara1, QString sPara2);

    // The variables replaced in a parameter, each read afresh.
    QString substituteVariables(QString text) const;

    // Every command; the builder shows the ones it offers in this order.
    static const QList<Command> &commands();
    // The row of a command word (exact and case-sensitive), or none: a word
    // no row has is passed over without a message.
    static const Command *command(const QString &word);
    // The builder's name of a parameter type.
    static QString typeWord(ParameterType type);

    // The word a statement's command text runs as (only blanks trimmed), and
    // whether the interpreter knows it; the script editor colours by these.
    static QString commandWord(const QString &sBefehl);
    static bool isKnownCommand(const QString &word) { return command(word) != nullptr; }
    // The variable names substituteVariables replaces, in its order.
    static const QStringList &variableNames();

    void setDownloadLimits(const UrlDownload::Limits &limits) { m_downloadLimits = limits; }
    // Whether the last command ended with a failure told in the status bar
    // only (a Download), which the end of the run must not replace.
    bool lastFailureInStatusBar() const { return m_failureInStatusBar; }

private:
    struct Failure {
        QString description;
    };
    // A handler reads the parameters (variables already replaced) and sets
    // an outcome other than Next or, instead of throwing, a failure.
    struct Call {
        const QString &p1;
        const QString &p2;
        Outcome outcome;
        std::optional<Failure> failure;
    };

    bool allowed(const SettingKeys::Key &key) const;
    void waitSeconds(const QString &parameter, std::optional<Failure> &failure);
    void waitUntilTime(const QString &parameter);
    void download(const QString &url, const QString &target, std::optional<Failure> &failure);
    void storePercentage(const SettingKeys::Key &key, const QString &value, std::optional<Failure> &failure);
    static bool refusedForNul(const QString &path, std::optional<Failure> &failure);
    void exportTo(const QString &path, std::optional<Failure> &failure);
    void deleteFiles(const QString &pattern, std::optional<Failure> &failure);
    void startProgram(const QString &commandLine, std::optional<Failure> &failure);
    void saveDocument(const QString &path, std::optional<Failure> &failure);
    void chooseVoice(const QString &name, std::optional<Failure> &failure);

    ScriptHost &m_host;
    Speaker &m_speaker;
    SettingsStore &m_settings;
    Dialogs &m_dialogs;
    Shell &m_shell;
    Clock &m_clock;
    Clipboard &m_clipboard;
    UrlDownload::Limits m_downloadLimits;
    bool m_failureInStatusBar = false;
};
