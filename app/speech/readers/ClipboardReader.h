#pragma once
// ClipboardReader: on each tick, speaks the clipboard's text when it differs
// (exactly, case included) from the text last seen. A change to no text is
// a change too: SpeakText then reads the whole document.

#include "TextSpeaker.h"

class Clipboard;

class ClipboardReader
{
public:
    ClipboardReader(Clipboard &clipboard, TextSpeaker &speaker);

    void tick();
    QString LastClipboardText() const { return m_last; }

private:
    Clipboard &m_clipboard;
    TextSpeaker &m_speaker;
    QString m_last;
};
