#include "TaskPaneController.h"

#include "CPanelkitCtrl.h"
#include "DocumentController.h"
#include "GlyphIcons.h"
#include "Paths.h"
#include "ScriptLibrary.h"
#include "ScriptTexts.h"
#include "SettingsStore.h"
#include "ViewSwitch.h"
#include "WindowTexts.h"

#include <QFileInfo>

TaskPaneController::TaskPaneController(CPanelkitCtrl &pane, DocumentController &documents,
                                       VoiceDialogs &voiceDialogs, ViewSwitch &views, SettingsStore &settings,
                                       Tasks tasks, QObject *parent)
    : QObject(parent), m_pane(pane), m_documents(documents), m_voiceDialogs(voiceDialogs), m_views(views),
      m_settings(settings), m_tasks(std::move(tasks))
{
    connect(&m_pane, &CPanelkitCtrl::FireSelectItem, this, &TaskPaneController::onTaskSelected);
}

void TaskPaneController::fillTaskPane()
{
    const QPixmap icon = GlyphIcons::icon(GlyphIcons::Glyph::Volume).pixmap(16, 16);
    m_pane.TPSetTaskImageList(icon);
    m_pane.TPAddGroup(WindowTexts::Caption, 0, true, 0, -1);
    m_pane.TPAddTask(0, WindowTexts::TaskSpeakText, TaskSpeak, 0);
    m_pane.TPAddTask(0, WindowTexts::TaskSaveText, TaskSave, 0);
    m_pane.TPAddTask(0, WindowTexts::TaskVoiceText, TaskVoice, 0);
    m_pane.TPAddTask(0, WindowTexts::TaskVolumeText, TaskVolume, 0);
    m_pane.TPAddTask(0, WindowTexts::TaskSpeedText, TaskSpeed, 0);
    m_pane.TPAddTask(0, WindowTexts::TaskPitchText, TaskPitch, 0);
}

void TaskPaneController::AddUserdefinedScripts()
{
    m_pane.TPDeleteGroup(1, false);
    m_pane.TPAddGroup(WindowTexts::TaskGroupTasks, 1, true, 0, -1);
    m_pane.TPAddTask(1, WindowTexts::TaskScriptEditorText, TaskScriptEditor, 0);
    m_pane.TPAddTask(1, WindowTexts::TaskSeparatorText, TaskSeparator, 0);
    const QString dir = Paths::scriptsDir();
    if (!QFileInfo(dir).isDir()) {
        m_views.ShowErrorPage(76, ScriptTexts::ScriptFolderMissing(dir));
        return;
    }
    const bool showVts = m_settings.flag(SettingKeys::ShowVTS);
    const QStringList files = ScriptLibrary::scriptFiles(dir);
    for (int i = 0; i < files.size(); ++i)
        m_pane.TPAddTask(1, ScriptLibrary::caption(files.at(i), showVts), i + 1, 0);
}

QString TaskPaneController::GetSelectedItem(int hID)
{
    return ScriptLibrary::GetSelectedItem(Paths::scriptsDir(), hID);
}

void TaskPaneController::CreateScriptDir()
{
    ScriptLibrary::CreateScriptDir();
}

bool TaskPaneController::ShowVoiceDialog(int taskId)
{
    return m_voiceDialogs.showForTask(taskId, m_pane.window());
}

void TaskPaneController::onTaskSelected(int taskId, int /*groupId*/)
{
    switch (taskId) {
    case TaskSpeak:
        m_tasks.speak();
        break;
    case TaskSave:
        m_documents.SaveDoc();
        break;
    case TaskVolume:
    case TaskVoice:
    case TaskSpeed:
    case TaskPitch:
        ShowVoiceDialog(taskId);
        break;
    case TaskScriptEditor:
        m_tasks.showScriptEditor();
        break;
    default:
        // Ids from 100 up that are not fixed tasks (the separator, the 100th
        // script and beyond) do nothing.
        if (taskId < FirstFixedTask)
            m_tasks.startScript(taskId, GetSelectedItem(taskId));
        break;
    }
}
