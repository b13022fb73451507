#pragma once
// WindowLifecycle: how the main window ends, and where it stands.
// Two closing paths: the close box (asks about saving only when there is
// something to lose, sends Close, keeps the last document's path, shows the
// survey) and "Beenden" (always asks about saving, then ends at once,
// without Close, last document or survey). Either way the process ends
// through the endProcess collaborator. Size, position and the maximised
// state are kept in the settings and restored at the next start.

#include "WindowServices.h"

#include <functional>

class DocumentController;
class QMainWindow;
class QWidget;

class WindowLifecycle
{
public:
    struct Ending {
        // Ends whatever waits for speech and silences both engines.
        std::function<void()> silence;
        // Ends a running script.
        std::function<void()> stopScript;
        // Ends the process (the window is gone by then).
        std::function<void()> endProcess;
        // Shows the survey modally and returns the choice; empty: frmSurvey.
        std::function<int(QWidget *parent)> runSurvey;
    };

    WindowLifecycle(QMainWindow &window, const WindowServices &services, DocumentController &documents, Ending ending);

    // "Beenden": asks about saving and ends at once.
    void ExitQN();
    // The close box. False: the user kept the window open.
    bool closeRequested();
    // Keeps the window's place and ends (also the script command "Beenden").
    void endNow();

    void restorePlacement();
    void rememberPlacement();

private:
    void askSurvey();
    // Ends the process; a close request after it is accepted without asking.
    void endProcess();

    QMainWindow &m_window;
    WindowServices m_s;
    DocumentController &m_documents;
    Ending m_ending;
    bool m_ended = false;
};
