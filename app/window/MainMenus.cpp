#include "MainMenus.h"

#include "AudiobookTexts.h"
#include "Dialogs.h"
#include "DocumentController.h"
#include "GlyphIcons.h"
#include "Paths.h"
#include "PlugdeskLauncher.h"
#include "PronunciationTexts.h"
#include "Shell.h"
#include "ViewSwitch.h"
#include "WindowTexts.h"
#include "frmAbout.h"
#include "frmSettings.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>

namespace {
// The toolbar's design-time height: 840 twips at 96 pixels per inch.
constexpr int ToolbarHeight = 840 * 96 / 1440;
} // namespace

MainMenus::MainMenus(QMainWindow &window, const WindowServices &services, DocumentController &documents,
                     ViewSwitch &views, Commands commands)
    : QObject(&window), m_window(window), m_documents(documents), m_views(views), m_services(services),
      m_commands(std::move(commands))
{
    buildMenus();
    buildToolbar();
    showViewChecks(m_views.isTextMode());
    connect(&m_views, &ViewSwitch::viewShown, this, &MainMenus::showViewChecks);
}

void MainMenus::buildMenus()
{
    QMenuBar *bar = m_window.menuBar();
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
    const Commands &run = m_commands;

    QMenu *datei = menu("mnuDatei", WindowTexts::MenuFile);
    item(datei, "mnuNeu", WindowTexts::MenuNew, QKeySequence(QStringLiteral("Ctrl+N")),
         [this] { m_documents.NewDoc(); });
    item(datei, "mnuOpen", WindowTexts::MenuOpen, QKeySequence(QStringLiteral("Ctrl+O")),
         [this] { m_documents.OpenDoc(); });
    item(datei, "mnuSave", WindowTexts::MenuSave, QKeySequence(QStringLiteral("Ctrl+S")),
         [this] { m_documents.SaveDoc(); });
    item(datei, "mnuSaveAs", WindowTexts::MenuSaveAs, none, [this] { m_documents.SaveAs(); });
    datei->addSeparator();
    item(datei, "mnuExport", WindowTexts::MenuExport, QKeySequence(QStringLiteral("Ctrl+E")), run.exportDoc);
    item(datei, "mnuAudiobook", AudiobookTexts::MenuEntry, none, [this] { m_commands.audiobook(); });
    datei->addSeparator();
    item(datei, "mnuExit", WindowTexts::MenuExit, none, run.exit);

    QMenu *edit = menu("mnuBearbeiten", WindowTexts::MenuEdit);
    item(edit, "mnuCut", WindowTexts::MenuCut, QKeySequence(QStringLiteral("Ctrl+X")),
         [this] { m_documents.Cut(); });
    item(edit, "mnuCopy", WindowTexts::MenuCopy, QKeySequence(QStringLiteral("Ctrl+C")),
         [this] { m_documents.Copy(); });
    item(edit, "mnuInsert", WindowTexts::MenuPaste, none, [this] { m_documents.Paste(); });
    item(edit, "mnuDelete", WindowTexts::MenuDelete, none, [this] { m_documents.Delete(); });

    QMenu *aktion = menu("mnuAktion", WindowTexts::MenuAction);
    item(aktion, "mnuSpeak", WindowTexts::MenuSpeak, QKeySequence(Qt::Key_F5), run.speak);
    // Stop and pause do what the toolbar's buttons do.
    item(aktion, "mnuStop", WindowTexts::MenuStop, QKeySequence(Qt::Key_F6), run.stop);
    m_mnuPause = item(aktion, "mnuPause", WindowTexts::MenuPause, QKeySequence(Qt::Key_F7), run.pause);
    m_mnuPause->setCheckable(true);
    aktion->addSeparator();
    item(aktion, "mnuReadFromCur", WindowTexts::MenuReadFromCursor, QKeySequence(Qt::Key_F8), run.readFromCursor);

    // A click on the checked entry unchecks it; the switch checks it again.
    QMenu *view = menu("mnuView", WindowTexts::MenuView);
    m_mnuTextmode = item(view, "mnuTextmode", WindowTexts::MenuTextmode, none, [this] { m_views.Textmode(); });
    m_mnuInternet =
        item(view, "mnuInternet", WindowTexts::MenuInteractive, none, [this] { m_views.InteractiveMode(); });
    m_mnuTextmode->setCheckable(true);
    m_mnuInternet->setCheckable(true);

    QMenu *extras = menu("mnuXTras", WindowTexts::MenuExtras);
    item(extras, "mnuSettings", WindowTexts::MenuSettings, none, [this] { showSettings(); });
    item(extras, "mnuPronunciation", PronunciationTexts::MenuEntry, none, [this] { m_commands.pronunciation(); });
    item(extras, "mnuPlugdesk", WindowTexts::MenuExtensions, none, [this] { launchPlugdesk(); });

    QMenu *help = menu("mnuHelp", WindowTexts::MenuHelp);
    item(help, "mnuShowHelp", WindowTexts::MenuShowHelp, none, [this] {
        m_views.showInBrowser(QDir(Paths::dataDir()).filePath(QStringLiteral("hypertext/help.htm")));
    });
    item(help, "mnuGetMoreVoices", WindowTexts::MenuMoreVoices, none,
         [this] { m_services.shell.openUrl(WebAddresses::MoreVoices()); });
    item(help, "mnuReportError", WindowTexts::MenuReportError, none,
         [this] { m_services.shell.openUrl(WebAddresses::ReportError(m_services.version)); });
    help->addSeparator();
    item(help, "mnuMoreInfo", WindowTexts::MenuMoreInfo, none, [this] {
        m_views.showInBrowser(QDir(Paths::dataDir()).filePath(QStringLiteral("hypertext/About.htm")));
    });
    item(help, "mnuSearchForUpdates", WindowTexts::MenuUpdates, none, [this] { searchForUpdates(); });
    help->addSeparator();
    item(help, "mnuAbout", WindowTexts::MenuAbout, QKeySequence(Qt::Key_F12), [this] { showAbout(); });
}

void MainMenus::buildToolbar()
{
    m_toolbar = m_window.addToolBar(WindowTexts::ToolbarName);
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setMinimumHeight(ToolbarHeight);
    using GlyphIcons::Glyph;
    // Each button runs its handler and shows the text again, as the toolbar
    // always did.
    const auto button = [&](const char *name, const QString &caption, const QString &tip, Glyph glyph,
                            std::function<void()> handler) {
        QAction *a = m_toolbar->addAction(GlyphIcons::icon(glyph), caption);
        a->setToolTip(tip);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, [this, handler = std::move(handler)] {
            handler();
            m_views.Textmode();
        });
        return a;
    };
    const Commands &run = m_commands;
    button("tbNew", WindowTexts::ToolNew, WindowTexts::ToolNewTip, Glyph::NewDocument,
           [this] { m_documents.NewDoc(); });
    button("tbOpen", WindowTexts::ToolOpen, WindowTexts::ToolOpenTip, Glyph::OpenFolder,
           [this] { m_documents.OpenDoc(); });
    button("tbSave", WindowTexts::ToolSave, WindowTexts::ToolSaveTip, Glyph::Save, [this] { m_documents.SaveDoc(); });
    m_toolbar->addSeparator();
    button("tbSpeak", WindowTexts::ToolSpeak, WindowTexts::ToolSpeakTip, Glyph::Play, run.speakDocument);
    button("tbStop", WindowTexts::ToolStop, WindowTexts::ToolStopTip, Glyph::Stop, run.stop);
    m_tbPause = button("tbPause", WindowTexts::ToolPause, WindowTexts::ToolPauseTip, Glyph::Pause, run.pause);
    m_tbPause->setCheckable(true);
    m_toolbar->addSeparator();
    m_toolbar->addSeparator();
    m_exportButton =
        button("tbExport", WindowTexts::ToolExport, WindowTexts::ToolExportTip, Glyph::Export, run.exportDoc);
    // No button may disappear behind the toolbar's overflow arrow, which the
    // keyboard cannot reach: the window is never narrower than all of them
    // (at large type too), unless the screen itself is.
    const int buttons = m_toolbar->sizeHint().width();
    const QScreen *screen = m_window.screen();
    m_window.setMinimumWidth(screen ? qMin(buttons, screen->availableGeometry().width()) : buttons);
}

void MainMenus::showPaused(bool paused)
{
    m_mnuPause->setChecked(paused);
    m_tbPause->setChecked(paused);
}

void MainMenus::showViewChecks(bool textMode)
{
    m_mnuTextmode->setChecked(textMode);
    m_mnuInternet->setChecked(!textMode);
}

void MainMenus::showSettings()
{
    PlugdeskLauncher plugdesk(m_services.shell, Paths::executableDir());
    frmSettings dialog(m_services.settings, m_services.dialogs, plugdesk, &m_window);
    dialog.exec();
}

void MainMenus::launchPlugdesk()
{
    PlugdeskLauncher launcher(m_services.shell, Paths::executableDir());
    const PlugdeskLauncher::Result result = launcher.launch();
    if (result != PlugdeskLauncher::Result::Started)
        m_services.dialogs.message(launcher.message(result), PlugdeskLauncher::messageTitle(),
                                   Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
}

void MainMenus::searchForUpdates()
{
    // The update program is not part of Quenora; started only when one has
    // been put beside it.
    const QString dir = Paths::executableDir();
    const QString updater = QDir(dir).filePath(QStringLiteral("qnUpdater"));
    if (QFileInfo(updater).isExecutable())
        m_services.shell.startProgram(updater, {}, dir);
}

void MainMenus::showAbout()
{
    frmAbout about(m_services.version, &m_window);
    about.exec();
}
