#pragma once
// WindowTitleReader: on each tick (ReadForegroundTitle), speaks the title of
// the window in front when it differs from the title last seen. Titles are
// taken as the system hands them over: at most 254 characters, cut at the
// first NUL. Quenora's own windows are passed over without a word unless
// Settings/IgnoreOwnWindowTitles is "0"; a window without a title says
// nothing.

#include <QString>

class ForegroundWindow;
class SettingsStore;
class Speaker;

class WindowTitleReader
{
public:
    static constexpr int MaxTitleLength = 254;

    WindowTitleReader(ForegroundWindow &foreground, Speaker &speaker, SettingsStore &settings);

    void ReadForegroundTitle();
    QString LastWindowTitle() const { return m_last; }

    // The title as the reader compares and speaks it.
    static QString bufferedTitle(const QString &title);

private:
    ForegroundWindow &m_foreground;
    Speaker &m_speaker;
    SettingsStore &m_settings;
    QString m_last;
};
