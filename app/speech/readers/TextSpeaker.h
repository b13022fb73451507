#pragma once
// Automatic readers: two pollers that speak what shows up outside Quenora.
// ClipboardReader speaks new clipboard text, WindowTitleReader the title of
// a window that comes to the front. Each compares with the last value it saw
// and hands new text to the window's SpeakText through TextSpeaker; the main
// window's timers (1500 ms and 500 ms) drive them. Uses the platform's
// Clipboard and ForegroundWindow and the settings store; no widgets.

#include <QString>

class TextSpeaker
{
public:
    virtual ~TextSpeaker() = default;
    // As the main window's SpeakText: recordingTarget "-1" keeps the
    // recorder's file, empty starts a fresh temporary recording.
    virtual void SpeakText(const QString &text, bool waitUntilDone, const QString &recordingTarget,
                           bool applyFilters) = 0;
};
