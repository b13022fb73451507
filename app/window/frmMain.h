#pragma once
// frmMain: Quenora's main window and the composition root of the program.
// It creates the collaborators (document, speaking, the script session, the
// desktop readers, task pane, browser) and keeps the main window's public
// members (SpeakText, NewDoc, ExecuteSkript, ...), each a short delegation.
// Subsystems never include this header; they see the window through small
// host interfaces and receive the Speaker.

#include "AudioExport.h"
#include "SpeechControl.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class CPanelkitCtrl;
class MainMenus;
class Clipboard;
class Clock;
class DesktopReaders;
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
class QToolBar;
class ScriptSession;
class SettingsStore;
class Shell;
class SpeechEngine;
class StartupSequence;
class TaskPaneController;
class VoiceDialogs;
class ViewSwitch;
class VoicePreview;
class WindowLifecycle;
class WordHighlighter;

class frmMain : public QMainWindow, private SpeechHost, private ExportHost
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
    // True while a task script runs (the script session's flag).
    bool ScriptRunning() const;
    QString HomePagePath;

    // Speaking, through the program's one Speaker.
    SpeakResult SpeakText(const SpeakRequest &request);
    void TogglePause();
    void SetRecorderOutput(const QString &path);
    QString CurrentRecordingPath() const override;
    void ClearTempFolder();
    // Writes what was spoken last to a file the user chooses.
    void ExportDoc();
    // The document as an audiobook, chapter by chapter (a modal dialog).
    void exportAudiobook();

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

    // Task scripts (the script session): the run of one script at a time
    // and the script library in the task pane's group 1.
    // Runs the library's entry hID.
    void ExecuteSkript(int hID);
    QString GetSelectedItem(int hID) const;
    void AddUserdefinedScripts();
    void CreateScriptDir();
    QString CurrentScriptFile() const;
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
    QToolBar *Toolbar1() const;
    QString statusText() const override;
    DocumentController &documents() { return *m_documents; }
    SpeechControl &speech() { return *m_speech; }
    ScriptSession &scripts() { return *m_scripts; }
    DesktopReaders &readers() { return *m_readers; }
    QAction *action(const QString &objectName) const;
    bool isTextMode() const;

    static QString versionString();
    // The start page in the program's hypertext folder.
    static QString startPage();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // SpeechHost
    QString documentText() const override;
    Selection selection() const override;
    void setExportButtonEnabled(bool enabled) override;
    void showStatus(const QString &text) override;
    void holdStatus(bool held) override;
    void showCharacterCount() override;
    // Every status text goes through here; announce: told to a screen reader.
    void setStatusText(const QString &text, bool announce);
    // A click on a script entry: refused while a script runs.
    void startScriptEntry(int hID, const QString &fileName);
    void endProgram();

    void buildControls();
    void stopSpeaking();
    void readFromCursor();

    Collaborators m_c;
    std::unique_ptr<ForegroundWindow> m_desktopForeground;
    DesktopReaders *m_readers = nullptr;
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
    bool m_statusHeld = false; // an export's text stays until it ends
    DocumentController *m_documents = nullptr;
    SpeechControl *m_speech = nullptr;
    WordHighlighter *m_highlighter = nullptr;
    AudioExport *m_export = nullptr;
    ScriptSession *m_scripts = nullptr;
};
