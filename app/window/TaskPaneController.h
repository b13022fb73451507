#pragma once
// TaskPaneController: the main window's side of the task pane. Group 0
// holds the fixed tasks (speak, save, the four voice dialogs), group 1 the
// script editor, a separator and the script library, one entry per script
// with the ids 1 to 99 in the order of the folder's listing. A click is
// dispatched by its id; a script entry is mapped back to its file by
// listing the folder again and handed to the window's script run.

#include "VoiceDialogs.h"

#include <QObject>
#include <QString>

#include <functional>

class CPanelkitCtrl;
class DocumentController;
class SettingsStore;
class ViewSwitch;

class TaskPaneController : public QObject
{
    Q_OBJECT
public:
    // The ids of the fixed tasks.
    enum TaskId {
        TaskSpeak = 101,
        TaskSave = 202,
        TaskVolume = VoiceDialogs::TaskVolume, // 303
        TaskVoice = VoiceDialogs::TaskVoice,   // 404
        TaskSpeed = VoiceDialogs::TaskSpeed,   // 505
        TaskPitch = VoiceDialogs::TaskPitch,   // 606
        TaskSeparator = 999,
        TaskScriptEditor = 1000,
        // Ids below this are the entries of the script library.
        FirstFixedTask = 100,
    };

    // What the tasks start elsewhere in the window.
    struct Tasks {
        std::function<void()> speak; // the document, returning once it is spoken
        std::function<void()> showScriptEditor;
        // A script entry was clicked: its id and its file, empty when the
        // file has gone since the pane was filled.
        std::function<void(int hID, const QString &fileName)> startScript;
    };

    TaskPaneController(CPanelkitCtrl &pane, DocumentController &documents, VoiceDialogs &voiceDialogs,
                       ViewSwitch &views, SettingsStore &settings, Tasks tasks, QObject *parent = nullptr);

    // Group 0 with the fixed tasks.
    void fillTaskPane();
    // Group 1 anew from the scripts folder; a missing folder shows the
    // error page.
    void AddUserdefinedScripts();
    // The file of a script entry, or empty.
    static QString GetSelectedItem(int hID);
    static void CreateScriptDir();
    // The voice, volume, speed or pitch dialog of an entry, modal; false
    // for any other id.
    bool ShowVoiceDialog(int taskId);

    void onTaskSelected(int taskId, int groupId);

private:
    CPanelkitCtrl &m_pane;
    DocumentController &m_documents;
    VoiceDialogs &m_voiceDialogs;
    ViewSwitch &m_views;
    SettingsStore &m_settings;
    Tasks m_tasks;
};
