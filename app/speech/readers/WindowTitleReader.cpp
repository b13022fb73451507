#include "WindowTitleReader.h"

#include "ForegroundWindow.h"
#include "SettingsStore.h"
#include "Speaker.h"

WindowTitleReader::WindowTitleReader(ForegroundWindow &foreground, Speaker &speaker, SettingsStore &settings)
    : m_foreground(foreground), m_speaker(speaker), m_settings(settings)
{
}

QString WindowTitleReader::bufferedTitle(const QString &title)
{
    QString text = title;
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    if (text.size() > MaxTitleLength) {
        qsizetype cut = MaxTitleLength;
        // Never half a character.
        if (text.at(cut - 1).isHighSurrogate())
            --cut;
        text.truncate(cut);
    }
    return text;
}

void WindowTitleReader::ReadForegroundTitle()
{
    const ForegroundWindow::Window window = m_foreground.foreground();
    const QString title = bufferedTitle(window.title);
    if (title == m_last)
        return;
    m_last = title;
    // Remembered all the same, so that going back to the window before
    // speaks its title again.
    // A window without a title says nothing (a blank text would read the
    // whole document).
    if (title.trimmed().isEmpty())
        return;
    if (window.ownProcess && m_settings.flag(SettingKeys::IgnoreOwnWindowTitles))
        return;
    // A fresh recording each time; titles are not the user's text, so no
    // extension filters them.
    m_speaker.speak(SpeakRequest::ofText(title).recordingInto(QString()).withFilters(false));
}
