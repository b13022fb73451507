#pragma once
// DesktopReaders: the automatic reading of the clipboard and of the title of
// the window in front. Two timers (tmrClipboard every 1500 ms, tmrWinTasks
// every 500 ms) drive the two readers, which hand what is new to the
// Speaker. Each timer runs when its setting says so at start-up.

#include <QObject>

#include <memory>

class Clipboard;
class ClipboardReader;
class ForegroundWindow;
class QTimer;
class SettingsStore;
class Speaker;
class WindowTitleReader;

class DesktopReaders : public QObject
{
    Q_OBJECT
public:
    DesktopReaders(Speaker &speaker, Clipboard &clipboard, ForegroundWindow &foreground, SettingsStore &settings,
                   QObject *parent = nullptr);
    ~DesktopReaders() override;

    // Starts the timers that Settings/ReadClipboardOnChange and
    // ReadTitleOnAppChange switch on ("1").
    void startFromSettings();

    QTimer *tmrClipboard() const { return m_tmrClipboard; }
    QTimer *tmrWinTasks() const { return m_tmrWinTasks; }
    ClipboardReader &clipboardReader() { return *m_clipboardReader; }
    WindowTitleReader &titleReader() { return *m_titleReader; }

private:
    SettingsStore &m_settings;
    std::unique_ptr<ClipboardReader> m_clipboardReader;
    std::unique_ptr<WindowTitleReader> m_titleReader;
    QTimer *m_tmrClipboard = nullptr;
    QTimer *m_tmrWinTasks = nullptr;
};
