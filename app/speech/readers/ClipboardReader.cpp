#include "ClipboardReader.h"

#include "Clipboard.h"
#include "Speaker.h"

ClipboardReader::ClipboardReader(Clipboard &clipboard, Speaker &speaker)
    : m_clipboard(clipboard), m_speaker(speaker)
{
}

void ClipboardReader::tick()
{
    const QString text = m_clipboard.text();
    if (text == m_last)
        return;
    m_last = text;
    // No text (the owner exited, a picture was copied) says nothing: a
    // blank text would make the speaker read the whole document.
    if (text.trimmed().isEmpty())
        return;
    // Keeps the recorder's file, so an export afterwards still has the last
    // text the user asked for; clipboard text is the user's own, so the
    // extensions' filters apply.
    m_speaker.speak(SpeakRequest::ofText(text).keepingRecording().withFilters(true));
}
