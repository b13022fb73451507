#include "ScriptSession.h"

#include "Dialogs.h"
#include "DocumentController.h"
#include "ExtensionHost.h"
#include "Paths.h"
#include "ScriptCommands.h"
#include "ScriptLibrary.h"
#include "ScriptRunner.h"
#include "ScriptTexts.h"
#include "Speaker.h"
#include "frmTaskEditor.h"

#include <QLabel>
#include <QStatusBar>
#include <QTextEdit>

ScriptSession::ScriptSession(Parts parts, WindowActions actions)
    : QObject(&parts.window), m_parts(parts), m_actions(std::move(actions))
{
    m_runningScript = new QLabel(&m_parts.window);
    m_runningScript->setObjectName(QStringLiteral("StatusBarScript"));
    m_runningScript->hide();
    m_parts.statusBar.addPermanentWidget(m_runningScript);

    ScriptHost &host = *this;
    m_commands = std::make_unique<ScriptCommands>(host, m_parts.speaker, m_parts.settings, m_parts.dialogs,
                                                  m_parts.shell, m_parts.clock, m_parts.clipboard);
    m_runner = std::make_unique<ScriptRunner>(host, *m_commands, m_parts.settings, m_parts.dialogs);
    // Whoever stops the speaking (ESC, the stop button, a dialog's preview)
    // ends the run after its line.
    connect(&m_parts.speaker, &Speaker::stopped, this, [this] { m_running = false; });
}

ScriptSession::~ScriptSession() = default;

void ScriptSession::ExecuteSkript(int hID, const QString &fileName)
{
    m_runner->ExecuteSkript(hID, fileName);
}

void ScriptSession::startEntry(int hID, const QString &fileName)
{
    if (m_running) {
        m_parts.dialogs.message(ScriptTexts::AlreadyRunning, ScriptTexts::TitleConflict, Dialogs::Icon::Warning,
                                Dialogs::Buttons::Ok);
        return;
    }
    // The listing changed since the pane was filled and the entry has no
    // file any more: running the bare folder would be wrong.
    if (fileName.isEmpty()) {
        showStatus(ScriptTexts::NoEntryFile);
        return;
    }
    m_parts.extensions.NotifyTaskScript(fileName);
    ExecuteSkript(hID, fileName);
}

void ScriptSession::RunScriptByName(const QString &name)
{
    const int id = ScriptLibrary::idOfScript(Paths::scriptsDir(), name);
    if (id == 0) {
        m_parts.dialogs.message(ScriptTexts::UnknownScript(name), ScriptTexts::TitleError, Dialogs::Icon::Warning,
                                Dialogs::Buttons::Ok);
        return;
    }
    startEntry(id, ScriptLibrary::GetSelectedItem(Paths::scriptsDir(), id));
}

void ScriptSession::ShowTaskEditor()
{
    // Made at first use and afterwards only hidden, so it keeps its script.
    if (!m_taskEditor) {
        m_taskEditor = new frmTaskEditor(m_parts.dialogs, Paths::scriptsDir(), &m_parts.window);
        connect(m_taskEditor, &frmTaskEditor::saved, this, [this] {
            if (m_actions.scriptsChanged)
                m_actions.scriptsChanged();
        });
        connect(m_taskEditor, &frmTaskEditor::runRequested, this,
                [this](const QString &fileName) { RunScriptByName(fileName); });
    }
    m_taskEditor->show();
    m_taskEditor->raise();
    m_taskEditor->activateWindow();
}

QString ScriptSession::CurrentScriptFile() const
{
    return m_runner->CurrentScriptFile();
}

int ScriptSession::CurrentScriptTaskId() const
{
    return m_runner->CurrentScriptTaskId();
}

QString ScriptSession::runningScriptText() const
{
    return m_runningScript->text();
}

QString ScriptSession::documentText() const
{
    return m_parts.documentBox.toPlainText();
}

void ScriptSession::setDocumentText(const QString &text)
{
    // A script's change is an edit like any other: the user can undo it, and
    // closing the window asks before it is lost.
    m_parts.documents.replaceText(text);
}

QString ScriptSession::selectedText() const
{
    QString text = m_parts.documentBox.textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

bool ScriptSession::loadDocument(const QString &path, QString *why)
{
    // The loaded file becomes the document's file: "Speichern" must not
    // write its text over the file that was open before. Why a load failed
    // goes into the script's own error prompt, not into a box of its own.
    const bool loaded = m_parts.documents.OpenFile(path, DocumentController::Failures::Returned);
    if (loaded) {
        if (m_actions.showTextView)
            m_actions.showTextView();
    } else {
        *why = m_parts.documents.lastLoadError();
    }
    return loaded;
}

void ScriptSession::showStatus(const QString &text)
{
    if (m_actions.showStatus)
        m_actions.showStatus(text);
}

void ScriptSession::showRunningScript(const QString &name)
{
    m_runningScript->setText(name.isEmpty() ? QString() : ScriptTexts::Running(name));
    m_runningScript->setVisible(!name.isEmpty());
}

void ScriptSession::endProgram()
{
    if (m_actions.endProgram)
        m_actions.endProgram();
}
