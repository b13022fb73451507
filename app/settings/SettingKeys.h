#pragma once
// Every key of Quenora's settings store, with the default its reader passes.
// Where two readers pass different defaults for one stored value (Speed and
// Pitch), each reader has its own entry; both address the same value.

namespace SettingKeys {

struct Key {
    const char *section;
    const char *name;
    const char *defaultValue;
};

// Section "Settings"
inline constexpr Key Prefix{"Settings", "Prefix", ""};
inline constexpr Key Suffix{"Settings", "Suffix", ""};
inline constexpr Key VTSAllow{"Settings", "VTSAllow", "1"};
inline constexpr Key VTSAllowRead{"Settings", "VTSAllowRead", "1"};
inline constexpr Key VTSAllowDownload{"Settings", "VTSAllowDownload", "1"};
inline constexpr Key ReadTitleOnAppChange{"Settings", "ReadTitleOnAppChange", "0"};
inline constexpr Key ReadClipboardOnChange{"Settings", "ReadClipboardOnChange", "0"};
// The title reader passes over Quenora's own windows when "1", the default:
// their titles would end up in the recordings of the document.
inline constexpr Key IgnoreOwnWindowTitles{"Settings", "IgnoreOwnWindowTitles", "1"};
inline constexpr Key ShowWB{"Settings", "ShowWB", "1"};
inline constexpr Key ShowLastDoc{"Settings", "ShowLastDoc", "0"};
inline constexpr Key LastDoc{"Settings", "LastDoc", ""};
inline constexpr Key StartUpFile{"Settings", "StartUpFile", ""};
inline constexpr Key Path{"Settings", "path", ""};       // written at every start, read by nobody
inline constexpr Key Version{"Settings", "version", ""}; // written at every start, read by nobody
inline constexpr Key ShowVTS{"Settings", "ShowVTS", "0"};
inline constexpr Key ShowPauseMsg{"Settings", "ShowPauseMsg", "yes"};
inline constexpr Key Survey{"Settings", "Survey", "true"};
// The main window's place: "x,y,width,height,maximised" (last: 1 or 0);
// empty until the window was first closed.
inline constexpr Key WindowPlacement{"Settings", "WindowPlacement", ""};

// Section "Voice"
inline constexpr Key Voice{"Voice", "Voice", "1"};
inline constexpr Key SpeedWhenSpeaking{"Voice", "Speed", "25"};
inline constexpr Key SpeedInDialog{"Voice", "Speed", "60"};
inline constexpr Key PitchWhenSpeaking{"Voice", "Pitch", "50"};
inline constexpr Key PitchInDialog{"Voice", "Pitch", "60"};
inline constexpr Key Volume{"Voice", "Volume", "100"};

// Section "Extension Settings" (the mail launcher's two options)
inline constexpr Key LaunchMailProgram{"Extension Settings", "LaunchMailProgram", ""};
inline constexpr Key OutlookInQuestion{"Extension Settings", "Outlook", "0"};
inline constexpr Key OutlookWhenSending{"Extension Settings", "Outlook", "1"};

// Section "Pronunciation": the active dictionaries in order, one a line,
// "1" or "0" (on or off), a tab and the place; empty: the shipped German one.
inline constexpr Key PronunciationDictionaries{"Pronunciation", "Dictionaries", ""};

// Section "Audiobook": the choices of the last audiobook export. Layout
// "files" or "one"; format "mp3", "m4b" or "opus"; subtitles "none", "srt",
// "vtt" or "lrc"; pauses in milliseconds; the folder written to last; the
// rule for chapter starts in documents without headings.
inline constexpr Key AudiobookLayout{"Audiobook", "Layout", "files"};
inline constexpr Key AudiobookFormat{"Audiobook", "Format", "mp3"};
inline constexpr Key AudiobookSubtitles{"Audiobook", "Subtitles", "none"};
inline constexpr Key AudiobookNormalize{"Audiobook", "Normalize", "0"};
inline constexpr Key AudiobookSilenceBefore{"Audiobook", "SilenceBefore", "500"};
inline constexpr Key AudiobookSilenceAfter{"Audiobook", "SilenceAfter", "1500"};
inline constexpr Key AudiobookParagraphPause{"Audiobook", "ParagraphPause", "800"};
inline constexpr Key AudiobookFolder{"Audiobook", "Folder", ""};
inline constexpr Key AudiobookRule{"Audiobook", "Rule", "^(Kapitel|Teil) "};

} // namespace SettingKeys
