#pragma once
// AudiobookChoices: what the user chose in the last audiobook export (layout,
// format, subtitles, loudness, pauses, the folder, the rule for chapter
// starts), read from and written to the settings so the dialog opens with
// them next time. A stored value that makes no sense reads as the default.

#include "AudiobookWriter.h"

#include <QString>

class SettingsStore;

struct AudiobookChoices {
    AudiobookLayout layout = AudiobookLayout::FilePerChapter;
    AudiobookFormat format = AudiobookFormat::Mp3;
    SubtitleFormat subtitles = SubtitleFormat::None;
    bool normalize = false;
    int silenceBeforeMs = AudiobookOptions().silenceBeforeMs;
    int silenceAfterMs = AudiobookOptions().silenceAfterMs;
    int paragraphPauseMs = AudiobookOptions().paragraphPauseMs;
    QString folder;
    QString rule;

    // The longest pause the dialog offers, in milliseconds.
    static constexpr int kMaxPauseMs = 60000;

    static AudiobookChoices load(const SettingsStore &settings);
    // False when the settings could not be written.
    bool save(SettingsStore &settings) const;
};
