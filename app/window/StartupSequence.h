#pragma once
// StartupSequence: the main window's load sequence, run once: the program's
// path and version into the settings, the extension event Startup, the
// desktop readers, the start view, a fresh temporary recording, the scripts
// folder and the task pane, then the last or the start-up document, "speak
// at start", the window's place, and the window shown. Nothing speaks while
// it runs (isLoading), except "speak at start" once all is in place. Every
// step passes over its own failure; none of them throws.

#include "WindowServices.h"

#include <functional>

class DocumentController;
class QMainWindow;
class QTextEdit;
class TaskPaneController;
class ViewSwitch;
class WindowLifecycle;

class StartupSequence
{
public:
    struct Parts {
        QTextEdit &document;
        DocumentController &documents;
        ViewSwitch &views;
        TaskPaneController &tasks;
        WindowLifecycle &lifecycle;
        // The readers' timers, as the settings say.
        std::function<void()> startReaders;
        // An empty temporary folder and a fresh recording target.
        std::function<void()> prepareRecording;
        // The document, returning at once.
        std::function<void()> speakDocument;
    };

    StartupSequence(QMainWindow &window, const WindowServices &services, Parts parts);

    // The load sequence; later calls do nothing.
    void run(const QString &homePage, const QString &startUpFile, bool speakAtStart);
    bool isLoading() const { return m_isLoading; }
    bool isLoaded() const { return m_loaded; }

private:
    void openStartDocuments(const QString &startUpFile);

    QMainWindow &m_window;
    WindowServices m_s;
    Parts m_p;
    bool m_isLoading = false;
    bool m_loaded = false;
};
