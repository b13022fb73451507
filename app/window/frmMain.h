#pragma once
// frmMain: Quenora's main window and the composition root of the program.
// It creates the collaborators (document, speaking, task pane, browser) and
// keeps the main window's public members (SpeakText, NewDoc, ...), each a
// short delegation. Subsystems never include this header; they see the
// window through small host interfaces it implements.

#include "AudioExport.h"
#include "ScriptHost.h"
#include "SpeechControl.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class CPanelkitCtrl;
class MainMenus;
class ScriptCommands;
class ScriptRunner;
class frmTaskEditor;
class Clipboard;
class Clock;
class ClipboardReader;
class Dialogs;
class DocumentController;
class ExtensionHost;
class ForegroundWindow;
class QAction;
class QLabel;
class StatusNotice;
class QStackedWidget;
class BrowserView;
class NavigationHandler;
class QTextEdit;
class QTimer;
class QToolBar;
class SettingsStore;
class Shell;
class SpeechEngine;
class StartupSequence;
class TaskPaneController;
class TextSpeaker;
class VoiceDialogs;
class ViewSwitch;
class VoicePreview;
class WindowLifecycle;
class WindowTitleReader;
class WordHighlighter;

class frmMain : public QMainWindow, private SpeechHost, private ExportHost, private ScriptHost
{
    Q_OBJECT
public:
    struct Collaborators {
        // References: a builder that forgets one does not compile.
        Clock &clock;
        Clipboard &clipboard;
        SpeechEngine *voice = nullptr;  // loudspeaker
        SpeechEngine *voice2 = nullptr; // recorder
        Dialogs *dialogs = nullptr;
        Shell *shell = nullptr;
        ExtensionHost *extensions = nullptr;
        SettingsStore *settings = nullptr;
        // The window in front, for the title reader; null: the desktop's own.
        ForegroundWindow *foreground = nullptr;
        // Ends the process (the window is gone by then). Tests record it.
        std::function<void()> endProcess = {};
        // Shows the survey modally and returns the choice (tests answer it).
        std::function<int(QWidget *parent)> runSurvey = {};
    };

    explicit frmMain(Collaborators collaborators, QWidget *parent = nullptr);
    ~frmMain() override;

    // What Main hands over before the load sequence.
    QString StartUpFile;
    bool SpeakAtStart = false;

    // The load sequence: runs once; later calls do nothing.
    void Form_Load();
    bool isLoaded() const;

    bool IsLoading() const override;
    bool ScriptRunning = false;
    QString HomePagePath;

    // Speaking
    // Why nothing was spoken, or empty (see SpeechControl::SpeakText).
    QString SpeakText(QString &text, bool waitUntilDone, const QString &recordingTarget, bool applyFilters);
    QString SpeakText(const QString &text, bool waitUntilDone, const QString &recordingTarget, bool applyFilters);
    void TogglePause();
    void SetRecorderOutput(const QString &path);
    QString CurrentRecordingPath() const override;
    void ClearTempFolder();
    // Writes what was spoken last to a file the user chooses.
    void ExportDoc();

    // Documents
    void NewDoc();
    void OpenDoc();
    bool SaveDoc();

    // Views
    void Textmode();
    void InteractiveMode();
    // The error page with number and description; nothing for number 0.
    void ShowErrorPage(int number, const QString &description);

    // "Beenden": asks about saving and ends at once.
    void ExitQN();

    // Task scripts: the run of one script at a time and the script library
    // in the task pane's group 1.
    void ExecuteSkript(int hID);
    QString GetSelectedItem(int hID) const;
    void AddUserdefinedScripts();
    void CreateScriptDir();
    QString CurrentScriptFile() const;
    int CurrentScriptTaskId() const;
    // Runs a script of the library by file name (with or without ".vts") as
    // a click on its entry would; an unknown name is reported. For the
    // command line's --run.
    void RunScriptByName(const QString &name);
    // The script editor of task 1000, not modal.
    void ShowTaskEditor();

    // Parts for tests and the composition.
    QTextEdit *rtfText() const { return m_rtfText; }
    BrowserView *wbBrowser() const { return m_wbBrowser; }
    CPanelkitCtrl *ctlTask() const { return m_ctlTask; }
    frmTaskEditor *taskEditor() const { return m_taskEditor; }
    QToolBar *Toolbar1() const;
    QString statusText() const override;
    // The status bar's permanent field naming the script that runs; empty
    // when none does.
    QString runningScriptText() const;
    DocumentController &documents() { return *m_documents; }
    SpeechControl &speech() { return *m_speech; }
    QAction *action(const QString &objectName) const;
    bool isTextMode() const;
    QTimer *tmrClipboard() const { return m_tmrClipboard; }
    QTimer *tmrWinTasks() const { return m_tmrWinTasks; }
    ClipboardReader &clipboardReader() { return *m_clipboardReader; }
    WindowTitleReader &titleReader() { return *m_titleReader; }

    static QString versionString();
    // The start page in the program's hypertext folder.
    static QString startPage();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // SpeechHost
    QString documentText() const override;
    void setExportButtonEnabled(bool enabled) override;
    void showStatus(const QString &text) override;
    void holdStatus(bool held) override;
    void showCharacterCount() override;
    // Every status text goes through here; announce: told to a screen reader.
    void setStatusText(const QString &text, bool announce);
    void clearScriptRunning() override { ScriptRunning = false; }

    // ScriptHost
    void showRunningScript(const QString &name) override;
    bool scriptRunning() const override { return ScriptRunning; }
    void setScriptRunning(bool running) override { ScriptRunning = running; }
    void setDocumentText(const QString &text) override;
    QString selectedText() const override;
    bool loadDocument(const QString &path, QString *why) override;
    QString speakText(const QString &text, bool waitUntilDone, const QString &recordingTarget,
                      bool applyFilters) override;
    void togglePause() override { TogglePause(); }
    void stopSpeaker() override;
    void setRecorderOutput(const QString &path) override { SetRecorderOutput(path); }
    QStringList voiceNames() const override;
    void endProgram() override;
    // A click on a script entry: refused while a script runs.
    void startScriptEntry(int hID, const QString &fileName);

    void buildControls();
    void stopSpeaking();
    void readFromCursor();

    Collaborators m_c;
    std::unique_ptr<ForegroundWindow> m_desktopForeground;
    std::unique_ptr<TextSpeaker> m_readerSpeaker;
    std::unique_ptr<ClipboardReader> m_clipboardReader;
    std::unique_ptr<WindowTitleReader> m_titleReader;
    std::unique_ptr<VoicePreview> m_voicePreview;
    std::unique_ptr<VoiceDialogs> m_voiceDialogs;
    QTextEdit *m_rtfText = nullptr;
    BrowserView *m_wbBrowser = nullptr;
    std::unique_ptr<NavigationHandler> m_navigation;
    CPanelkitCtrl *m_ctlTask = nullptr;
    QStackedWidget *m_views = nullptr;
    ViewSwitch *m_viewSwitch = nullptr;
    MainMenus *m_menus = nullptr;
    TaskPaneController *m_tasks = nullptr;
    std::unique_ptr<WindowLifecycle> m_lifecycle;
    std::unique_ptr<StartupSequence> m_startup;
    StatusNotice *m_status = nullptr;
    QLabel *m_runningScript = nullptr; // permanent field while a script runs
    bool m_statusHeld = false; // an export's text stays until it ends
    QTimer *m_tmrClipboard = nullptr;
    QTimer *m_tmrWinTasks = nullptr;
    DocumentController *m_documents = nullptr;
    SpeechControl *m_speech = nullptr;
    WordHighlighter *m_highlighter = nullptr;
    AudioExport *m_export = nullptr;
    std::unique_ptr<ScriptCommands> m_scriptCommands;
    std::unique_ptr<ScriptRunner> m_scripts;
    frmTaskEditor *m_taskEditor = nullptr;
};
