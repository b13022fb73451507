#include "frmMain.h"

#include "DocumentResources.h"

#include "BrowserView.h"
#include "CPanelkitCtrl.h"
#include "Clock.h"
#include "DesktopReaders.h"
#include "DialogFocusReturn.h"
#include "Dialogs.h"
#include "DocumentController.h"
#include "ExtensionHost.h"
#include "BookExport.h"
#include "ForegroundWindow.h"
#include "IncrementalDocumentLayout.h"
#include "MainMenus.h"
#include "NavigationHandler.h"
#include "Paths.h"
#include "ScriptLibrary.h"
#include "ScriptSession.h"
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
#include "WindowKeys.h"
#include "WindowLifecycle.h"
#include "WindowServices.h"
#include "WindowTexts.h"
#include "WordHighlighter.h"
#include "frmAudiobook.h"
#include "frmPronunciation.h"
#include "frmTaskEditor.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QPointer>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <algorithm>

#ifndef QUENORA_VERSION
#define QUENORA_VERSION "0.1"
#endif

namespace {

// Design-time geometry in twips (1440 to the inch), at 96 pixels per inch.
constexpr int twips(int t) { return t * 96 / 1440; }

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
                        return ScriptRunning() && m_scripts->taskEditor() && window == m_scripts->taskEditor();
                    }});

    m_documents = new DocumentController(*m_rtfText, *m_c.dialogs, *m_c.extensions, this);
    // The document's character count follows every edit: shown, not announced.
    connect(m_documents, &DocumentController::statusText, this,
            [this](const QString &text) { setStatusText(text, false); });
    const auto speakAndWait = [this] { SpeakText(SpeakRequest::document().waiting()); };
    const auto speakDocument = [this] { SpeakText(SpeakRequest::document()); };
    const WindowServices services{*m_c.settings, *m_c.dialogs, *m_c.shell, *m_c.extensions, versionString()};
    m_menus = new MainMenus(*this, services, *m_documents, *m_viewSwitch,
                            {.speak = speakAndWait,
                             .speakDocument = speakDocument,
                             .stop = [this] { stopSpeaking(); },
                             .pause = [this] { TogglePause(); },
                             .readFromCursor = [this] { readFromCursor(); },
                             .exportDoc = [this] { ExportDoc(); },
                             .audiobook = [this] { exportAudiobook(); },
                             .pronunciation =
                                 [this] {
                                     frmPronunciation::showModal(*m_c.settings, *m_c.voice, *m_c.dialogs,
                                                                 [this] { stopSpeaking(); }, this);
                                 },
                             .exit = [this] { ExitQN(); }});
    const auto silence = [this] {
        m_speech->abortWaits();
        m_c.voice->reset();
        m_c.voice2->reset();
    };
    m_lifecycle = std::make_unique<WindowLifecycle>(
        *this, services, *m_documents,
        WindowLifecycle::Ending{.silence = silence,
                                .stopScript = [this] { m_scripts->setRunning(false); },
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
    m_scripts = new ScriptSession({*this, *statusBar(), *m_documents, *m_rtfText, *m_speech, *m_c.settings,
                                   *m_c.dialogs, *m_c.shell, m_c.clock, m_c.clipboard, *m_c.extensions},
                                  {[this](const QString &text) { showStatus(text); }, [this] { Textmode(); },
                                   [this] { endProgram(); }, [this] { AddUserdefinedScripts(); }});
    connect(m_speech, &SpeechControl::wordInDocument, m_highlighter, &WordHighlighter::highlight);
    connect(m_speech, &SpeechControl::speakingStopped, m_highlighter, &WordHighlighter::clear);
    connect(m_speech, &SpeechControl::pausedChanged, m_menus, &MainMenus::showPaused);

    NavigationHandler::Actions links;
    links.textmode = [this] { Textmode(); };
    links.openDocument = [this] { OpenDoc(); };
    links.showTextView = [this] { Textmode(); };
    links.setDocumentText = [this](const QString &text) { m_documents->replaceText(text); };
    links.showStartPage = [this] { m_wbBrowser->navigate(HomePagePath); };
    m_navigation = std::make_unique<NavigationHandler>(std::move(links), *m_speech, *m_c.dialogs);
    m_wbBrowser->setNavigationHook(
        [this](const QString &address) { return m_navigation->BeforeNavigate(address); });
    connect(m_wbBrowser, &BrowserView::externalLinkRequested, this,
            [this](const QString &address) { m_c.shell->openUrl(address); });

    if (!m_c.foreground)
        m_desktopForeground = ForegroundWindow::create();
    ForegroundWindow &foreground = m_c.foreground ? *m_c.foreground : *m_desktopForeground;
    // After every dialog the focus goes back to where the user was.
    new DialogFocusReturn(foreground, this);
    // The readers speak through the speaker like every other caller.
    m_readers = new DesktopReaders(*m_speech, m_c.clipboard, foreground, *m_c.settings, this);
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
                               .startReaders = [this] { m_readers->startFromSettings(); },
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
    statusBar()->setSizeGripEnabled(true);

    // The design-time client area of 8775 x 7350 twips.
    resize(twips(8775), twips(7350));
}

QAction *frmMain::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void frmMain::startScriptEntry(int hID, const QString &fileName)
{
    m_scripts->startEntry(hID, fileName);
}

void frmMain::ShowTaskEditor()
{
    m_scripts->ShowTaskEditor();
}

void frmMain::RunScriptByName(const QString &name)
{
    m_scripts->RunScriptByName(name);
}

void frmMain::ExecuteSkript(int hID)
{
    m_scripts->ExecuteSkript(hID, GetSelectedItem(hID));
}

bool frmMain::ScriptRunning() const
{
    return m_scripts->running();
}

QString frmMain::CurrentScriptFile() const
{
    return m_scripts->CurrentScriptFile();
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

SpeakResult frmMain::SpeakText(const SpeakRequest &request)
{
    return m_speech->speak(request);
}

void frmMain::TogglePause()
{
    m_speech->togglePause();
}

void frmMain::SetRecorderOutput(const QString &path)
{
    m_speech->setRecorderOutput(path);
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

void frmMain::exportAudiobook()
{
    // The export speaks with an engine of its own; the window's falls silent.
    stopSpeaking();
    const QString path = m_documents->currentPath().isEmpty() ? m_documents->importedFrom()
                                                              : m_documents->currentPath();
    const BookExport::Workers workers{std::max(1, QThread::idealThreadCount()), Paths::speakProgram()};
    const Clock &clock = m_c.clock;
    frmAudiobook::showModal(
        *m_rtfText->document(), path, *m_c.settings, *m_c.dialogs,
        [workers, &clock](const Book &book, const AudiobookOptions &options, const BookVoice &voice,
                          const BookExport::Progress &progress) {
            return BookExport::run(book, options, voice, workers, clock, progress);
        },
        this);
}

void frmMain::stopSpeaking()
{
    m_speech->stop();
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

SpeechHost::Selection frmMain::selection() const
{
    const QTextCursor cursor = m_rtfText->textCursor();
    QString text = cursor.selectedText();
    // The box's own paragraph and line separators are line ends in the text
    // spoken; one character each, so positions stay the document's.
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return Selection{text, cursor.selectionStart()};
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

void frmMain::holdStatus(bool held)
{
    m_statusHeld = held;
}

void frmMain::showCharacterCount()
{
    // A count that follows the document is no news to announce.
    setStatusText(WindowTexts::CharacterCount(m_documents->characterCount()), false);
}

