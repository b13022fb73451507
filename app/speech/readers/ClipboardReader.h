#pragma once
// ClipboardReader: on each tick, speaks the clipboard's text when it differs
// (exactly, case included) from the text last seen. A change to no text is
// a change too, but says nothing.
//
// Automatic readers: two pollers that speak what shows up outside Quenora.
// ClipboardReader speaks new clipboard text, WindowTitleReader the title of
// a window that comes to the front. Each compares with the last value it saw
// and hands new text to the Speaker; the window's desktop readers drive them
// with their timers (1500 ms and 500 ms). Uses the platform's Clipboard and
// ForegroundWindow and the settings store; no widgets.

#include <QString>

class Clipboard;
class Speaker;

class ClipboardReader
{
public:
    ClipboardReader(Clipboard &clipboard, Speaker &speaker);

    void tick();
    QString LastClipboardText() const { return m_last; }

private:
    Clipboard &m_clipboard;
    Speaker &m_speaker;
    QString m_last;
};
