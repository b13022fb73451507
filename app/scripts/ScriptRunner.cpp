#include "ScriptRunner.h"

#include "Ansi.h"
#include "Dialogs.h"
#include "EventWait.h"
#include "Paths.h"
#include "ScriptHost.h"
#include "ScriptParser.h"
#include "ScriptTexts.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

ScriptRunner::ScriptRunner(ScriptHost &host, ScriptCommands &commands, SettingsStore &settings, Dialogs &dialogs)
    : m_host(host), m_commands(commands), m_settings(settings), m_dialogs(dialogs)
{
}

std::optional<QStringList> ScriptRunner::readScript()
{
    if (m_file.isEmpty()) {
        m_host.showStatus(ScriptTexts::NoScriptChosen);
        return std::nullopt;
    }
    const QString path = QDir(Paths::scriptsDir()).filePath(m_file);
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        m_host.showStatus(ScriptTexts::CannotRead(m_file, ScriptTexts::FileMissing));
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        m_host.showStatus(ScriptTexts::CannotRead(m_file, file.errorString()));
        return std::nullopt;
    }
    if (file.size() > kMaxScriptSize) {
        m_host.showStatus(ScriptTexts::CannotRead(m_file, ScriptTexts::FileTooLarge));
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_host.showStatus(ScriptTexts::CannotRead(m_file, file.errorString()));
        return std::nullopt;
    }
    return ScriptParser::splitLines(Ansi::decode(bytes));
}

void ScriptRunner::ExecuteSkript(int hID, const QString &fileName)
{
    m_file = fileName;
    bool firstPass = true;
    bool reportEnd = true;
    for (;;) {
        // A restart passes the same gate a new run does; refused there, the
        // run that asked for it ends as usual.
        if (m_settings.read(SettingKeys::VTSAllow) == QLatin1String("0")) {
            m_dialogs.message(ScriptTexts::ScriptsDisabled, ScriptTexts::TitleWarning, Dialogs::Icon::Warning,
                              Dialogs::Buttons::Ok);
            if (firstPass)
                return;
            break;
        }
        firstPass = false;
        m_taskId = hID;
        const std::optional<QStringList> lines = readScript();
        if (!lines) {
            // The status bar keeps saying why nothing ran.
            reportEnd = false;
            break;
        }
        m_host.showStatus(ScriptTexts::EscHint(m_file));
        m_host.showRunningScript(m_file);
        m_host.setScriptRunning(true);

        bool restart = false;
        qsizetype index = 0;
        while (index < lines->size() && m_host.scriptRunning()) {
            const std::optional<ScriptStatement> statement = ScriptParser::parseLine(lines->at(index));
            ++index;
            if (!statement)
                continue;
            const ScriptCommands::Outcome outcome = m_commands.ExecuteCommand(
                {m_file, int(index)}, statement->command, statement->para1, statement->para2);
            if (outcome.kind == ScriptCommands::Outcome::Restart) {
                restart = true;
                break;
            }
            if (outcome.kind == ScriptCommands::Outcome::Jump) {
                index = outcome.line - 1; // beyond the end: the run ends
                // A loop without a wait must still hear ESC.
                EventWait::letEventsRun();
            }
        }
        if (!restart)
            break;
        // The run goes on from its first line; a loop without a wait must
        // still hear ESC, which clears the flag again.
        m_host.setScriptRunning(true);
        EventWait::letEventsRun();
        if (!m_host.scriptRunning())
            break;
    }
    m_host.setScriptRunning(false);
    m_host.showRunningScript(QString());
    // A failure the last command told in the status bar stays readable.
    if (reportEnd && !m_commands.lastFailureInStatusBar())
        m_host.showStatus(ScriptTexts::RunFinished);
}
