#include "frmMain.h"

#include "DocumentResources.h"

#include "BrowserView.h"
#include "CPanelkitCtrl.h"
#include "ClipboardReader.h"
#include "Clock.h"
#include "DialogFocusReturn.h"
#include "Dialogs.h"
#include "DocumentController.h"
#include "ErrorPage.h"
#include "ExtensionHost.h"
#include "ForegroundWindow.h"
#include "GlyphIcons.h"
#include "IncrementalDocumentLayout.h"
#include "NavigationHandler.h"
#include "Paths.h"
#include "ScriptCommands.h"
#include "ScriptLibrary.h"
#include "ScriptRunner.h"
#include "ScriptTexts.h"
#include "PlugdeskLauncher.h"
#include "SettingsStore.h"
#include "Shell.h"
#include "StatusNotice.h"
#include "SpeechEngine.h"
#include "VoiceDialogs.h"
#include "VoicePreview.h"
#include "WindowTitleReader.h"
#include "WindowTexts.h"
#include "WindowPlacement.h"
#include "WordHighlighter.h"
#include "frmAbout.h"
#include "frmPronunciation.h"
#include "PronunciationTexts.h"
#include "frmSettings.h"
#include "frmTaskEditor.h"
#include "frmSurvey.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#ifndef QUENORA_VERSION
#define QUENORA_VERSION "0.1"
#endif

namespace {

// Design-time geometry in twips (1440 to the inch), at 96 pixels per inch.
constexpr int twips(int t) { return t * 96 / 1440; }

// The fixed tasks of the task pane.
enum TaskId {
    TaskSpeak = 101,
    TaskSave = 202,
    TaskVolume = 303,
    TaskVoice = 404,
    TaskSpeed = 505,
    TaskPitch = 606,
    TaskSeparator = 999,
    TaskScriptEditor = 1000,
    // Ids below this are the entries of the script library.
    FirstFixedTask = 100,
};

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
    buildMenus();
    buildToolbar();
    buildKeys();

    m_documents = new DocumentController(*m_rtfText, *m_c.dialogs, *m_c.extensions, this);
    // The document's character count follows every edit: shown, not announced.
    connect(m_documents, &DocumentController::statusText, this,
            [this](const QString &text) { setStatusText(text, false); });
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
    // The view menu's check marks follow the view shown, whoever switched it
    // (a menu, a toolbar button or a link of the start page).
    connect(m_views, &QStackedWidget::currentChanged, this, [this] {
        m_mnuTextmode->setChecked(isTextMode());
        m_mnuInternet->setChecked(!isTextMode());
    });
    m_exportProgress = std::make_unique<QtExportProgress>(this);
    m_export = new AudioExport(*this, *m_c.dialogs, *m_c.extensions, *m_exportProgress, this);
    ScriptHost &scriptHost = *this;
    m_scriptCommands = std::make_unique<ScriptCommands>(scriptHost, *m_c.settings, *m_c.dialogs, *m_c.shell,
                                                        m_c.clock, m_c.clipboard);
    m_scripts = std::make_unique<ScriptRunner>(scriptHost, *m_scriptCommands, *m_c.settings, *m_c.dialogs);
    connect(m_speech, &SpeechControl::wordInDocument, m_highlighter, &WordHighlighter::highlight);
    connect(m_speech, &SpeechControl::speakingStopped, m_highlighter, &WordHighlighter::clear);
    // The pause entries show the state they would leave.
    connect(m_speech, &SpeechControl::pausedChanged, this, [this](bool paused) {
        action(QStringLiteral("mnuPause"))->setChecked(paused);
        action(QStringLiteral("tbPause"))->setChecked(paused);
    });

    NavigationHandler::Actions links;
    links.textmode = [this] { Textmode(); };
    links.openDocument = [this] { OpenDoc(); };
    links.showTextView = [this] { showTextView(); };
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
    connect(m_ctlTask, &CPanelkitCtrl::FireSelectItem, this, &frmMain::onTaskSelected);
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
    IncrementalDocumentLayout::install(m_rtfText);
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

void frmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    const auto menu = [&](const char *name, const QString &caption) {
        QMenu *m = bar->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    const auto item = [&](QMenu *m, const char *name, const QString &caption, const QKeySequence &key,
                          auto handler) {
        QAction *a = m->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    const QKeySequence none;

    QMenu *datei = menu("mnuDatei", WindowTexts::MenuFile);
    item(datei, "mnuNeu", WindowTexts::MenuNew, QKeySequence(QStringLiteral("Ctrl+N")), [this] { NewDoc(); });
    item(datei, "mnuOpen", WindowTexts::MenuOpen, QKeySequence(QStringLiteral("Ctrl+O")), [this] { OpenDoc(); });
    item(datei, "mnuSave", WindowTexts::MenuSave, QKeySequence(QStringLiteral("Ctrl+S")), [this] { SaveDoc(); });
    item(datei, "mnuSaveAs", WindowTexts::MenuSaveAs, none, [this] { m_documents->SaveAs(); });
    datei->addSeparator();
    item(datei, "mnuExport", WindowTexts::MenuExport, QKeySequence(QStringLiteral("Ctrl+E")),
         [this] { ExportDoc(); });
    datei->addSeparator();
    item(datei, "mnuExit", WindowTexts::MenuExit, none, [this] { ExitQN(); });

    QMenu *edit = menu("mnuBearbeiten", WindowTexts::MenuEdit);
    item(edit, "mnuCut", WindowTexts::MenuCut, QKeySequence(QStringLiteral("Ctrl+X")),
         [this] { m_documents->Cut(); });
    item(edit, "mnuCopy", WindowTexts::MenuCopy, QKeySequence(QStringLiteral("Ctrl+C")),
         [this] { m_documents->Copy(); });
    item(edit, "mnuInsert", WindowTexts::MenuPaste, none, [this] { m_documents->Paste(); });
    item(edit, "mnuDelete", WindowTexts::MenuDelete, none, [this] { m_documents->Delete(); });

    QMenu *aktion = menu("mnuAktion", WindowTexts::MenuAction);
    item(aktion, "mnuSpeak", WindowTexts::MenuSpeak, QKeySequence(Qt::Key_F5),
         [this] { SpeakText(QString(), true, QString(), true); });
    // Stop and pause do what the toolbar's buttons do.
    item(aktion, "mnuStop", WindowTexts::MenuStop, QKeySequence(Qt::Key_F6), [this] { stopSpeaking(); });
    item(aktion, "mnuPause", WindowTexts::MenuPause, QKeySequence(Qt::Key_F7), [this] { TogglePause(); })
        ->setCheckable(true);
    aktion->addSeparator();
    item(aktion, "mnuReadFromCur", WindowTexts::MenuReadFromCursor, QKeySequence(Qt::Key_F8),
         [this] { readFromCursor(); });

    QMenu *view = menu("mnuView", WindowTexts::MenuView);
    m_mnuTextmode = item(view, "mnuTextmode", WindowTexts::MenuTextmode, none, [this] { Textmode(); });
    m_mnuInternet = item(view, "mnuInternet", WindowTexts::MenuInteractive, none, [this] { InteractiveMode(); });
    m_mnuTextmode->setCheckable(true);
    m_mnuInternet->setCheckable(true);
    m_mnuInternet->setChecked(true);

    QMenu *extras = menu("mnuXTras", WindowTexts::MenuExtras);
    item(extras, "mnuSettings", WindowTexts::MenuSettings, none, [this] { ShowSettings(); });
    item(extras, "mnuPronunciation", PronunciationTexts::MenuEntry, none, [this] {
        frmPronunciation::showModal(*m_c.settings, *m_c.voice, *m_c.dialogs, [this] { stopSpeaking(); }, this);
    });
    item(extras, "mnuPlugdesk", WindowTexts::MenuExtensions, none, [this] {
        PlugdeskLauncher launcher(*m_c.shell, Paths::executableDir());
        const PlugdeskLauncher::Result result = launcher.launch();
        if (result != PlugdeskLauncher::Result::Started)
            m_c.dialogs->message(launcher.message(result), PlugdeskLauncher::messageTitle(), Dialogs::Icon::Critical,
                                 Dialogs::Buttons::Ok);
    });

    QMenu *help = menu("mnuHelp", WindowTexts::MenuHelp);
    item(help, "mnuShowHelp", WindowTexts::MenuShowHelp, none,
         [this] { showInBrowser(QDir(Paths::dataDir()).filePath(QStringLiteral("hypertext/help.htm"))); });
    item(help, "mnuGetMoreVoices", WindowTexts::MenuMoreVoices, none,
         [this] { m_c.shell->openUrl(WebAddresses::MoreVoices()); });
    item(help, "mnuReportError", WindowTexts::MenuReportError, none,
         [this] { m_c.shell->openUrl(WebAddresses::ReportError(versionString())); });
    help->addSeparator();
    item(help, "mnuMoreInfo", WindowTexts::MenuMoreInfo, none, [this] {
        InteractiveMode();
        m_wbBrowser->navigate(QDir(Paths::dataDir()).filePath(QStringLiteral("hypertext/About.htm")));
    });
    item(help, "mnuSearchForUpdates", WindowTexts::MenuUpdates, none, [this] {
        // The update program is not part of Quenora; started only when one
        // has been put beside it.
        const QString dir = Paths::executableDir();
        const QString updater = QDir(dir).filePath(QStringLiteral("qnUpdater"));
        if (QFileInfo(updater).isExecutable())
            m_c.shell->startProgram(updater, {}, dir);
    });
    help->addSeparator();
    item(help, "mnuAbout", WindowTexts::MenuAbout, QKeySequence(Qt::Key_F12), [this] {
        frmAbout about(versionString(), this);
        about.exec();
    });
}

void frmMain::buildToolbar()
{
    m_toolbar = addToolBar(WindowTexts::ToolbarName);
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setMinimumHeight(twips(840));
    using GlyphIcons::Glyph;
    // Each button runs its handler and shows the text again, as the toolbar
    // always did.
    const auto button = [&](const char *name, const QString &caption, const QString &tip, Glyph glyph,
                            auto handler) {
        QAction *a = m_toolbar->addAction(GlyphIcons::icon(glyph), caption);
        a->setToolTip(tip);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, [this, handler] {
            handler();
            Textmode();
        });
        return a;
    };
    button("tbNew", WindowTexts::ToolNew, WindowTexts::ToolNewTip, Glyph::NewDocument, [this] { NewDoc(); });
    button("tbOpen", WindowTexts::ToolOpen, WindowTexts::ToolOpenTip, Glyph::OpenFolder, [this] { OpenDoc(); });
    button("tbSave", WindowTexts::ToolSave, WindowTexts::ToolSaveTip, Glyph::Save, [this] { SaveDoc(); });
    m_toolbar->addSeparator();
    button("tbSpeak", WindowTexts::ToolSpeak, WindowTexts::ToolSpeakTip, Glyph::Play,
           [this] { SpeakText(m_rtfText->toPlainText(), false, QString(), true); });
    button("tbStop", WindowTexts::ToolStop, WindowTexts::ToolStopTip, Glyph::Stop, [this] { stopSpeaking(); });
    button("tbPause", WindowTexts::ToolPause, WindowTexts::ToolPauseTip, Glyph::Pause, [this] { TogglePause(); })
        ->setCheckable(true);
    m_toolbar->addSeparator();
    m_toolbar->addSeparator();
    m_exportButton = button("tbExport", WindowTexts::ToolExport, WindowTexts::ToolExportTip, Glyph::Export,
                            [this] { ExportDoc(); });
    // No button may disappear behind the toolbar's overflow arrow, which the
    // keyboard cannot reach: the window is never narrower than all of them
    // (at large type too), unless the screen itself is.
    const int buttons = m_toolbar->sizeHint().width();
    setMinimumWidth(screen() ? qMin(buttons, screen()->availableGeometry().width()) : buttons);
}

void frmMain::buildKeys()
{
    // The window sees F4 and Esc before the control that has the focus, the
    // way its key preview always worked; dialogs of their own keep their keys.
    qApp->installEventFilter(this);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QMainWindow::eventFilter(watched, event);
    const QWidget *window = static_cast<QWidget *>(watched)->window();
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool plain = key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier;
    // A script started with "Ausführen" runs while the editor has the focus;
    // the status bar's "ESC" stops it there too instead of hiding the editor.
    if (plain && key->key() == Qt::Key_Escape && ScriptRunning && m_taskEditor && window == m_taskEditor) {
        stopSpeaking();
        return true;
    }
    if (window == this && plain) {
        if (key->key() == Qt::Key_F4) {
            m_c.shell->showFolder(Paths::executableDir());
            return true;
        }
        // F10 opens the menu bar, as in every desktop program.
        if (key->key() == Qt::Key_F10 && !menuBar()->actions().isEmpty()) {
            menuBar()->setActiveAction(menuBar()->actions().constFirst());
            return true;
        }
        // Escape stops speaking only where nothing else wants it: the menu
        // bar leaves its keyboard mode with it, a popup closes.
        if (key->key() == Qt::Key_Escape && !qobject_cast<QMenuBar *>(watched) && !QApplication::activePopupWidget()) {
            stopSpeaking();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::fillTaskPane()
{
    const QPixmap icon = GlyphIcons::icon(GlyphIcons::Glyph::Volume).pixmap(16, 16);
    m_ctlTask->TPSetTaskImageList(icon);
    m_ctlTask->TPAddGroup(WindowTexts::Caption, 0, true, 0, -1);
    m_ctlTask->TPAddTask(0, WindowTexts::TaskSpeakText, TaskSpeak, 0);
    m_ctlTask->TPAddTask(0, WindowTexts::TaskSaveText, TaskSave, 0);
    m_ctlTask->TPAddTask(0, WindowTexts::TaskVoiceText, TaskVoice, 0);
    m_ctlTask->TPAddTask(0, WindowTexts::TaskVolumeText, TaskVolume, 0);
    m_ctlTask->TPAddTask(0, WindowTexts::TaskSpeedText, TaskSpeed, 0);
    m_ctlTask->TPAddTask(0, WindowTexts::TaskPitchText, TaskPitch, 0);
}

void frmMain::onTaskSelected(int taskId, int /*groupId*/)
{
    switch (taskId) {
    case TaskSpeak:
        SpeakText(QString(), true, QString(), true);
        break;
    case TaskSave:
        SaveDoc();
        break;
    case TaskVolume:
    case TaskVoice:
    case TaskSpeed:
    case TaskPitch:
        ShowVoiceDialog(taskId);
        break;
    case TaskScriptEditor:
        ShowTaskEditor();
        break;
    default:
        // Ids from 100 up that are not fixed tasks (the separator, the 100th
        // script and beyond) do nothing.
        if (taskId < FirstFixedTask)
            startScriptEntry(taskId, GetSelectedItem(taskId));
        break;
    }
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

QString frmMain::GetSelectedItem(int hID) const
{
    return ScriptLibrary::GetSelectedItem(Paths::scriptsDir(), hID);
}

QString frmMain::CurrentScriptFile() const
{
    return m_scripts->CurrentScriptFile;
}

int frmMain::CurrentScriptTaskId() const
{
    return m_scripts->CurrentScriptTaskId;
}

void frmMain::CreateScriptDir()
{
    ScriptLibrary::CreateScriptDir();
}

void frmMain::AddUserdefinedScripts()
{
    m_ctlTask->TPDeleteGroup(1, false);
    m_ctlTask->TPAddGroup(WindowTexts::TaskGroupTasks, 1, true, 0, -1);
    m_ctlTask->TPAddTask(1, WindowTexts::TaskScriptEditorText, TaskScriptEditor, 0);
    m_ctlTask->TPAddTask(1, WindowTexts::TaskSeparatorText, TaskSeparator, 0);
    const QString dir = Paths::scriptsDir();
    if (!QFileInfo(dir).isDir()) {
        ShowErrorPage(76, ScriptTexts::ScriptFolderMissing(dir));
        return;
    }
    const bool showVts = m_c.settings->read(SettingKeys::ShowVTS) == QLatin1String("1");
    const QStringList files = ScriptLibrary::scriptFiles(dir);
    for (int i = 0; i < files.size(); ++i)
        m_ctlTask->TPAddTask(1, ScriptLibrary::caption(files.at(i), showVts), i + 1, 0);
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
    rememberPlacement();
    endProcess();
}

void frmMain::ShowSettings()
{
    PlugdeskLauncher plugdesk(*m_c.shell, Paths::executableDir());
    frmSettings dialog(*m_c.settings, *m_c.dialogs, plugdesk, this);
    dialog.exec();
}

bool frmMain::ShowVoiceDialog(int taskId)
{
    return m_voiceDialogs->showForTask(taskId, this);
}

void frmMain::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    SettingsStore &settings = *m_c.settings;
    // Every step passes over its own failure; none of them throws.
    settings.write(SettingKeys::Path, Paths::executableDir());
    settings.write(SettingKeys::Version, versionString());
    // Nothing speaks while the window is still loading, not even the
    // readers' timers; only "speak at start" below, once all is in place.
    m_isLoading = true;
    m_c.extensions->NotifyStartup();
    HomePagePath = startPage();
    if (settings.read(SettingKeys::ReadTitleOnAppChange) == QLatin1String("1"))
        m_tmrWinTasks->start();
    if (settings.read(SettingKeys::ReadClipboardOnChange) == QLatin1String("1"))
        m_tmrClipboard->start();
    if (settings.read(SettingKeys::ShowWB) == QLatin1String("1"))
        showInBrowser(HomePagePath);
    else
        Textmode();
    m_documents->setDefaultExtension(QStringLiteral(".txt"));
    ClearTempFolder();
    CreateScriptDir();
    SetRecorderOutput(QString());
    fillTaskPane();
    AddUserdefinedScripts();
    if (settings.read(SettingKeys::ShowLastDoc) == QLatin1String("1")) {
        // The last document's name is taken over only when it still loads.
        m_documents->OpenFile(settings.read(SettingKeys::LastDoc));
        Textmode();
    }
    if (!StartUpFile.isEmpty()) {
        m_documents->LoadFile(StartUpFile);
        if (m_rtfText->document()->isEmpty()) {
            m_rtfText->setPlainText(StartUpFile);
            m_rtfText->document()->setModified(false);
        }
        Textmode();
    }
    if (SpeakAtStart) {
        m_isLoading = false;
        SpeakText(m_rtfText->toPlainText(), false, QString(), true);
    }
    restorePlacement();
    show();
    m_isLoading = false;
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
    showTextView();
    m_mnuInternet->setChecked(false);
    m_mnuTextmode->setChecked(true);
}

void frmMain::showTextView()
{
    m_views->setCurrentWidget(m_rtfText);
    m_rtfText->setFocus();
}

void frmMain::InteractiveMode()
{
    // The browser keeps whatever page it shows.
    m_views->setCurrentWidget(m_wbBrowser);
    m_mnuInternet->setChecked(true);
    m_mnuTextmode->setChecked(false);
}

void frmMain::showInBrowser(const QString &page)
{
    InteractiveMode();
    m_wbBrowser->navigate(page);
}

void frmMain::ShowErrorPage(int number, const QString &description)
{
    if (number == 0)
        return;
    const QString page = Paths::errorPageFile();
    ErrorPage::write(QDir(Paths::dataDir()).filePath(QStringLiteral("hypertext/err.html")), page, number,
                     description);
    m_wbBrowser->navigate(page);
    InteractiveMode();
}

bool frmMain::isTextMode() const
{
    return m_views->currentWidget() == m_rtfText;
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
    m_exportButton->setEnabled(enabled);
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

void frmMain::endProcess()
{
    m_ending = true;
    m_speech->abortWaits();
    m_c.voice->reset();
    m_c.voice2->reset();
    if (m_c.endProcess)
        m_c.endProcess();
}

void frmMain::restorePlacement()
{
    // Until the window has been closed once it has its design-time size and
    // the window manager places it; either way it opens within the screen.
    const auto stored = WindowPlacement::parse(m_c.settings->read(SettingKeys::WindowPlacement));
    if (stored) {
        stored->applyTo(*this);
    } else if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        resize(size().boundedTo(screen->availableGeometry().size()));
    }
}

void frmMain::rememberPlacement()
{
    if (isVisible())
        m_c.settings->write(SettingKeys::WindowPlacement, WindowPlacement::of(*this).toString());
}

void frmMain::ExitQN()
{
    const auto answer = m_c.dialogs->message(WindowTexts::SaveBeforeExit, WindowTexts::TitleQuestion,
                                             Dialogs::Icon::Question, Dialogs::Buttons::YesNoCancel);
    if (answer == Dialogs::Answer::Cancel)
        return;
    if (answer == Dialogs::Answer::Yes)
        SaveDoc();
    rememberPlacement();
    endProcess();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (m_ending) {
        event->accept();
        return;
    }
    // The close box must not lose what was written since the last save: it
    // asks what "Beenden" asks, but only when there is something to lose, and
    // a save that did not happen keeps the window open.
    if (m_documents->isModified()) {
        const auto answer = m_c.dialogs->message(WindowTexts::SaveBeforeExit, WindowTexts::TitleQuestion,
                                                 Dialogs::Icon::Question, Dialogs::Buttons::YesNoCancel);
        if (answer == Dialogs::Answer::Cancel || (answer == Dialogs::Answer::Yes && !SaveDoc())) {
            event->ignore();
            return;
        }
    }
    rememberPlacement();
    ScriptRunning = false;
    m_c.extensions->NotifyClose();
    // A document read from another format (a PDF, an e-book) has no file of
    // its own; the next start opens it from where it came.
    const QString lastDocument =
        m_documents->currentPath().isEmpty() ? m_documents->importedFrom() : m_documents->currentPath();
    m_c.settings->write(SettingKeys::LastDoc, lastDocument);
    hide();
    if (m_c.settings->read(SettingKeys::Survey) != QLatin1String("false")) {
        const int choice = m_c.runSurvey ? m_c.runSurvey(this) : [this] {
            frmSurvey survey(this);
            survey.exec();
            return int(survey.choice());
        }();
        if (choice == int(frmSurvey::Choice::Yes)) {
            m_c.settings->write(SettingKeys::Survey, QStringLiteral("false"));
            m_c.shell->openUrl(WebAddresses::Survey(versionString()));
        } else if (choice == int(frmSurvey::Choice::No)) {
            m_c.settings->write(SettingKeys::Survey, QStringLiteral("false"));
        }
    }
    event->accept();
    endProcess();
}
