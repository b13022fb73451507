#include "frmMain.h"

#include "DocumentResources.h"

#include "BrowserView.h"
#include "CPanelkitCtrl.h"
#include "ClipboardReader.h"
#include "Clock.h"
#include "DialogFocusReturn.h"
#include "Dialogs.h"
#include "DocumentController.h"
#include "ExtensionHost.h"
#include "ForegroundWindow.h"
#include "IncrementalDocumentLayout.h"
#include "MainMenus.h"
#include "NavigationHandler.h"
#include "Paths.h"
#include "ScriptCommands.h"
#include "ScriptLibrary.h"
#include "ScriptRunner.h"
#include "ScriptTexts.h"
#include "SettingsStore.h"
#include "Shell.h"
#include "StartupSequence.h"
#include "StatusNotice.h"
#include "SpeechEngine.h"
#include "TaskPaneController.h"
#include "ViewSwitch.h"
#include "VoiceDialogs.h"
#include "VoicePreview.h"
#include "WindowTitleReader.h"
#include "WindowKeys.h"
#include "WindowLifecycle.h"
#include "WindowServices.h"
#include "WindowTexts.h"
#include "WordHighlighter.h"
#include "frmTaskEditor.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

#ifndef QUENORA_VERSION
#define QUENORA_VERSION "0.1"
#endif

namespace {

// Design-time geometry in twips (1440 to the inch), at 96 pixels per inch.
constexpr int twips(int t) { return t * 96 / 1440; }

// The readers' way to SpeakText.
class WindowTextSpeaker : public TextSpeaker
{
public:
    explicit WindowTextSpeaker(frmMain &window) : m_window(window) {}
    void SpeakText(const QString &text, bool waitUntilDone, const QString &recordingTarget,
                   bool applyFilters) override
    {
        m_window.SpeakText(text, waitUntilDone, recordingTarget, applyFilters);
    }

private:
    frmMain &m_window;
};

} // namespace

frmMain::frmMain(Collaborators collaborators, QWidget *parent) : QMainWindow(parent), m_c(std::move(collaborators))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(WindowTexts::Caption);
    buildControls();
    m_viewSwitch = new ViewSwitch(*m_views, *m_rtfText, *m_wbBrowser, this);
    new WindowKeys(*this, *m_c.shell,
                   {.stop = [this] { stopSpeaking(); },
                    .runsScript = [this](const QWidget *window) {
                        return ScriptRunning && m_taskEditor && window == m_taskEditor;
                    }});

    m_documents = new DocumentController(*m_rtfText, *m_c.dialogs, *m_c.extensions, this);
    // The document's character count follows every edit: shown, not announced.
    connect(m_documents, &DocumentController::statusText, this,
            [this](const QString &text) { setStatusText(text, false); });
    const auto speakAndWait = [this] { SpeakText(QString(), true, QString(), true); };
    const auto speakDocument = [this] { SpeakText(m_rtfText->toPlainText(), false, QString(), true); };
    const WindowServices services{*m_c.settings, *m_c.dialogs, *m_c.shell, *m_c.extensions, versionString()};
    m_menus = new MainMenus(*this, services, *m_documents, *m_viewSwitch,
                            {.speak = speakAndWait,
                             .speakDocument = speakDocument,
                             .stop = [this] { stopSpeaking(); },
                             .pause = [this] { TogglePause(); },
                             .readFromCursor = [this] { readFromCursor(); },
                             .exportDoc = [this] { ExportDoc(); },
                             .exit = [this] { ExitQN(); }});
    const auto silence = [this] {
        m_speech->abortWaits();
        m_c.voice->reset();
        m_c.voice2->reset();
    };
    m_lifecycle = std::make_unique<WindowLifecycle>(
        *this, services, *m_documents,
        WindowLifecycle::Ending{.silence = silence,
                                .stopScript = [this] { ScriptRunning = false; },
                                .endProcess = m_c.endProcess,
                                .runSurvey = m_c.runSurvey});
    m_speech = new SpeechControl(*m_c.voice, *m_c.voice2, *this, *m_c.extensions, *m_c.dialogs, *m_c.settings,
                                 m_c.clock, this);
    // A hive that cannot be written is told once, after the event that tried;
    // the store may outlive the window.
    m_c.settings->setWriteFailureNotice([window = QPointer<frmMain>(this)](const QString &message) {
        if (!window)
            return;
        QTimer::singleShot(0, window, [window, message] {
            window->m_c.dialogs->message(message, QStringLiteral("Warnung"), Dialogs::Icon::Warning,
                                         Dialogs::Buttons::Ok);
        });
    });
    m_highlighter = new WordHighlighter(*m_rtfText, this);
    m_export = new AudioExport(*this, *m_c.dialogs, *m_c.extensions, this);
    ScriptHost &scriptHost = *this;
    m_scriptCommands = std::make_unique<ScriptCommands>(scriptHost, *m_c.settings, *m_c.dialogs, *m_c.shell,
                                                        m_c.clock, m_c.clipboard);
    m_scripts = std::make_unique<ScriptRunner>(scriptHost, *m_scriptCommands, *m_c.settings, *m_c.dialogs);
    connect(m_speech, &SpeechControl::wordInDocument, m_highlighter, &WordHighlighter::highlight);
    connect(m_speech, &SpeechControl::speakingStopped, m_highlighter, &WordHighlighter::clear);
    connect(m_speech, &SpeechControl::pausedChanged, m_menus, &MainMenus::showPaused);

    NavigationHandler::Actions links;
    links.textmode = [this] { Textmode(); };
    links.openDocument = [this] { OpenDoc(); };
    links.showTextView = [this] { Textmode(); };
    links.setDocumentText = [this](const QString &text) { m_documents->replaceText(text); };
    links.speakWaiting = [this](const QString &text) { SpeakText(text, true, QString(), true); };
    links.showStartPage = [this] { m_wbBrowser->navigate(HomePagePath); };
    m_navigation = std::make_unique<NavigationHandler>(std::move(links), *m_c.dialogs);
    m_wbBrowser->setNavigationHook(
        [this](const QString &address) { return m_navigation->BeforeNavigate(address); });
    connect(m_wbBrowser, &BrowserView::externalLinkRequested, this,
            [this](const QString &address) { m_c.shell->openUrl(address); });

    // The readers speak through SpeakText like every other caller.
    if (!m_c.foreground)
        m_desktopForeground = ForegroundWindow::create();
    // After every dialog the focus goes back to where the user was.
    new DialogFocusReturn(m_c.foreground ? *m_c.foreground : *m_desktopForeground, this);
    m_readerSpeaker = std::make_unique<WindowTextSpeaker>(*this);
    m_clipboardReader = std::make_unique<ClipboardReader>(m_c.clipboard, *m_readerSpeaker);
    m_titleReader = std::make_unique<WindowTitleReader>(m_c.foreground ? *m_c.foreground : *m_desktopForeground,
                                                        *m_readerSpeaker, *m_c.settings);
    connect(m_tmrClipboard, &QTimer::timeout, this, [this] { m_clipboardReader->tick(); });
    connect(m_tmrWinTasks, &QTimer::timeout, this, [this] { m_titleReader->ReadForegroundTitle(); });
    m_voicePreview = std::make_unique<VoicePreview>(*m_c.voice, *m_c.settings, [this] { stopSpeaking(); });
    m_voiceDialogs = std::make_unique<VoiceDialogs>(*m_c.voice, *m_c.settings, m_voicePreview.get());

    m_tasks = new TaskPaneController(
        *m_ctlTask, *m_documents, *m_voiceDialogs, *m_viewSwitch, *m_c.settings,
        {.speak = speakAndWait,
         .showScriptEditor = [this] { ShowTaskEditor(); },
         .startScript = [this](int hID, const QString &file) { startScriptEntry(hID, file); }},
        this);
    m_startup = std::make_unique<StartupSequence>(
        *this, services,
        StartupSequence::Parts{.document = *m_rtfText,
                               .documents = *m_documents,
                               .views = *m_viewSwitch,
                               .tasks = *m_tasks,
                               .lifecycle = *m_lifecycle,
                               .startReaders = [this] {
                                   if (m_c.settings->flag(SettingKeys::ReadTitleOnAppChange))
                                       m_tmrWinTasks->start();
                                   if (m_c.settings->flag(SettingKeys::ReadClipboardOnChange))
                                       m_tmrClipboard->start();
                               },
                               .prepareRecording = [this] {
                                   ClearTempFolder();
                                   SetRecorderOutput(QString());
                               },
                               .speakDocument = speakDocument});
}

frmMain::~frmMain() = default;

QString frmMain::versionString()
{
    return QStringLiteral(QUENORA_VERSION);
}

QString frmMain::startPage()
{
    return QDir(Paths::dataDir()).filePath(QStringLiteral("hypertext/home.htm"));
}

void frmMain::buildControls()
{
    // The pane starts as wide as its entries need at the type size in use
    // and keeps its width when the window grows; the user may drag the
    // border between pane and document.
    auto *central = new QSplitter(Qt::Horizontal, this);
    central->setObjectName(QStringLiteral("splitPane"));
    central->setChildrenCollapsible(false);

    m_ctlTask = new CPanelkitCtrl(central);
    m_ctlTask->setObjectName(QStringLiteral("ctlTask"));
    central->addWidget(m_ctlTask);

    m_views = new QStackedWidget(central);
    m_rtfText = new QTextEdit(m_views);
    m_rtfText->setObjectName(QStringLiteral("rtfText"));
    // A document's pictures come from the document itself or its own
    // folder, never from anywhere else on the disk.
    m_rtfText->setDocument(new GuardedTextDocument(m_rtfText));
    m_rtfText->setAccessibleName(WindowTexts::DocumentName);
    m_rtfText->setAcceptRichText(true);
    // Qt's own layout moves every paragraph after an edit; this one touches
    // only what the edit changed, so typing stays quick in long documents.
    IncrementalDocumentLayout::install(m_rtfText, m_c.clock);
    m_wbBrowser = new BrowserView(m_views);
    m_views->addWidget(m_rtfText);
    m_views->addWidget(m_wbBrowser);
    central->addWidget(m_views);
    central->setStretchFactor(0, 0);
    central->setStretchFactor(1, 1);
    setCentralWidget(central);

    m_status = new StatusNotice(this);
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(m_status, 1);
    m_runningScript = new QLabel(this);
    m_runningScript->setObjectName(QStringLiteral("StatusBarScript"));
    m_runningScript->hide();
    statusBar()->addPermanentWidget(m_runningScript);
    statusBar()->setSizeGripEnabled(true);

    m_tmrClipboard = new QTimer(this);
    m_tmrClipboard->setObjectName(QStringLiteral("tmrClipboard"));
    m_tmrClipboard->setInterval(1500);
    m_tmrWinTasks = new QTimer(this);
    m_tmrWinTasks->setObjectName(QStringLiteral("tmrWinTasks"));
    m_tmrWinTasks->setInterval(500);

    // The design-time client area of 8775 x 7350 twips.
    resize(twips(8775), twips(7350));
}

QAction *frmMain::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void frmMain::startScriptEntry(int hID, const QString &fileName)
{
    if (ScriptRunning) {
        m_c.dialogs->message(ScriptTexts::AlreadyRunning, ScriptTexts::TitleConflict, Dialogs::Icon::Warning,
                             Dialogs::Buttons::Ok);
        return;
    }
    // The listing changed since the pane was filled and the entry has no
    // file any more: running the bare folder would be wrong.
    if (fileName.isEmpty()) {
        showStatus(ScriptTexts::NoEntryFile);
        return;
    }
    m_scripts->CurrentScriptFile = fileName;
    m_c.extensions->NotifyTaskScript(fileName);
    ExecuteSkript(hID);
}

void frmMain::ShowTaskEditor()
{
    // Made at first use and afterwards only hidden, so it keeps its script.
    if (!m_taskEditor) {
        m_taskEditor = new frmTaskEditor(*m_c.dialogs, Paths::scriptsDir(), this);
        connect(m_taskEditor, &frmTaskEditor::saved, this, [this] { AddUserdefinedScripts(); });
        connect(m_taskEditor, &frmTaskEditor::runRequested, this,
                [this](const QString &fileName) { RunScriptByName(fileName); });
    }
    m_taskEditor->show();
    m_taskEditor->raise();
    m_taskEditor->activateWindow();
}

void frmMain::RunScriptByName(const QString &name)
{
    const int id = ScriptLibrary::idOfScript(Paths::scriptsDir(), name);
    if (id == 0) {
        m_c.dialogs->message(ScriptTexts::UnknownScript(name), ScriptTexts::TitleError, Dialogs::Icon::Warning,
                             Dialogs::Buttons::Ok);
        return;
    }
    startScriptEntry(id, ScriptLibrary::GetSelectedItem(Paths::scriptsDir(), id));
}

void frmMain::ExecuteSkript(int hID)
{
    m_scripts->ExecuteSkript(hID);
}

QString frmMain::CurrentScriptFile() const
{
    return m_scripts->CurrentScriptFile;
}

int frmMain::CurrentScriptTaskId() const
{
    return m_scripts->CurrentScriptTaskId;
}

void frmMain::setDocumentText(const QString &text)
{
    // A script's change is an edit like any other: the user can undo it, and
    // closing the window asks before it is lost.
    m_documents->replaceText(text);
}

QString frmMain::selectedText() const
{
    QString text = m_rtfText->textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

bool frmMain::loadDocument(const QString &path, QString *why)
{
    // The loaded file becomes the document's file: "Speichern" must not
    // write its text over the file that was open before. Why a load failed
    // goes into the script's own error prompt, not into a box of its own.
    const bool loaded = m_documents->OpenFile(path, DocumentController::Failures::Returned);
    if (loaded)
        Textmode();
    else
        *why = m_documents->lastLoadError();
    return loaded;
}

QString frmMain::speakText(const QString &text, bool waitUntilDone, const QString &recordingTarget, bool applyFilters)
{
    return SpeakText(text, waitUntilDone, recordingTarget, applyFilters);
}

void frmMain::stopSpeaker()
{
    m_c.voice->reset();
}

QStringList frmMain::voiceNames() const
{
    QStringList names;
    for (int mode = 1; mode <= m_c.voice->modeCount(); ++mode)
        names << m_c.voice->modeName(mode);
    return names;
}

void frmMain::endProgram()
{
    m_lifecycle->endNow();
}

void frmMain::Form_Load()
{
    HomePagePath = startPage();
    m_startup->run(HomePagePath, StartUpFile, SpeakAtStart);
}

bool frmMain::isLoaded() const
{
    return m_startup && m_startup->isLoaded();
}

bool frmMain::IsLoading() const
{
    return m_startup && m_startup->isLoading();
}

QString frmMain::SpeakText(QString &text, bool waitUntilDone, const QString &recordingTarget, bool applyFilters)
{
    // The document's own text (or its blank stand-in) can be shown word by word.
    const bool isDocument = text.trimmed().isEmpty() || text == m_rtfText->toPlainText();
    return m_speech->SpeakText(text, waitUntilDone, recordingTarget, applyFilters, isDocument ? 0 : -1);
}

QString frmMain::SpeakText(const QString &text, bool waitUntilDone, const QString &recordingTarget,
                           bool applyFilters)
{
    QString copy = text;
    return SpeakText(copy, waitUntilDone, recordingTarget, applyFilters);
}

void frmMain::TogglePause()
{
    m_speech->TogglePause();
}

void frmMain::SetRecorderOutput(const QString &path)
{
    m_speech->SetRecorderOutput(path);
}

QString frmMain::CurrentRecordingPath() const
{
    return m_speech->CurrentRecordingPath();
}

void frmMain::ClearTempFolder()
{
    m_speech->ClearTempFolder();
}

void frmMain::ExportDoc()
{
    m_export->ExportDoc();
}

void frmMain::stopSpeaking()
{
    m_speech->Stop();
}

void frmMain::readFromCursor()
{
    m_speech->ReadFromCursor(m_rtfText->textCursor().position());
}

void frmMain::NewDoc()
{
    m_documents->NewDoc();
}

void frmMain::OpenDoc()
{
    m_documents->OpenDoc();
}

bool frmMain::SaveDoc()
{
    return m_documents->SaveDoc();
}

void frmMain::Textmode()
{
    m_viewSwitch->Textmode();
}

void frmMain::InteractiveMode()
{
    m_viewSwitch->InteractiveMode();
}

void frmMain::ShowErrorPage(int number, const QString &description)
{
    m_viewSwitch->ShowErrorPage(number, description);
}

bool frmMain::isTextMode() const
{
    return m_viewSwitch->isTextMode();
}

QToolBar *frmMain::Toolbar1() const
{
    return &m_menus->toolbar();
}

QString frmMain::GetSelectedItem(int hID) const
{
    return TaskPaneController::GetSelectedItem(hID);
}

void frmMain::AddUserdefinedScripts()
{
    m_tasks->AddUserdefinedScripts();
}

void frmMain::CreateScriptDir()
{
    TaskPaneController::CreateScriptDir();
}

void frmMain::ExitQN()
{
    m_lifecycle->ExitQN();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (m_lifecycle->closeRequested())
        event->accept();
    else
        event->ignore();
}

QString frmMain::statusText() const
{
    return m_status->text();
}

QString frmMain::documentText() const
{
    return m_rtfText->toPlainText();
}

void frmMain::setExportButtonEnabled(bool enabled)
{
    m_menus->exportButton().setEnabled(enabled);
}

void frmMain::showStatus(const QString &text)
{
    setStatusText(text, true);
}

void frmMain::setStatusText(const QString &text, bool announce)
{
    // While an export runs its text stays, whatever else is shown meanwhile.
    if (!m_statusHeld)
        m_status->showMessage(text, announce ? StatusNotice::Announce::Yes : StatusNotice::Announce::No);
}

void frmMain::showRunningScript(const QString &name)
{
    m_runningScript->setText(name.isEmpty() ? QString() : ScriptTexts::Running(name));
    m_runningScript->setVisible(!name.isEmpty());
}

QString frmMain::runningScriptText() const
{
    return m_runningScript->text();
}

void frmMain::holdStatus(bool held)
{
    m_statusHeld = held;
}

void frmMain::showCharacterCount()
{
    // A count that follows the document is no news to announce.
    setStatusText(WindowTexts::CharacterCount(m_documents->characterCount()), false);
}

