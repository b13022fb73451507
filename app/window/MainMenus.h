#pragma once
// MainMenus: the main window's menu bar and toolbar. Each entry is connected
// to its handler when it is made; the object names (mnuSave, tbSave, ...) are
// what tests and the accessibility tree find them by, the texts are in
// WindowTexts. The entries of the Extras and help menus are handled here
// (settings dialog, extension manager, help and web pages, update program,
// about box); everything else is the document's, the view switch's or one
// of the window's commands.

#include "WindowServices.h"

#include <QObject>

#include <functional>

class DocumentController;
class QAction;
class QMainWindow;
class QToolBar;
class ViewSwitch;

class MainMenus : public QObject
{
    Q_OBJECT
public:
    // The window's commands behind menu entries and buttons.
    struct Commands {
        std::function<void()> speak;          // the document, returning once it is spoken (F5)
        std::function<void()> speakDocument;  // the document, returning at once (toolbar)
        std::function<void()> stop;
        std::function<void()> pause;
        std::function<void()> readFromCursor;
        std::function<void()> exportDoc;
        std::function<void()> audiobook;      // "Als Hörbuch exportieren …"
        std::function<void()> pronunciation;  // the dictionary dialog
        std::function<void()> exit;           // "Beenden"
    };
    // Builds the menus and the toolbar into window.
    MainMenus(QMainWindow &window, const WindowServices &services, DocumentController &documents, ViewSwitch &views,
              Commands commands);

    QToolBar &toolbar() const { return *m_toolbar; }
    // Enabled while there is a recording to export.
    QAction &exportButton() const { return *m_exportButton; }
    // The pause entries show the state they would leave.
    void showPaused(bool paused);
    // The settings dialog, modal.
    void showSettings();

private:
    void buildMenus();
    void buildToolbar();
    void showViewChecks(bool textMode);
    void launchPlugdesk();
    void searchForUpdates();
    void showAbout();

    QMainWindow &m_window;
    DocumentController &m_documents;
    ViewSwitch &m_views;
    WindowServices m_services;
    Commands m_commands;
    QToolBar *m_toolbar = nullptr;
    QAction *m_exportButton = nullptr;
    QAction *m_mnuTextmode = nullptr;
    QAction *m_mnuInternet = nullptr;
    QAction *m_mnuPause = nullptr;
    QAction *m_tbPause = nullptr;
};
