#pragma once
// SettingsFormValues: what the settings dialog shows, as plain values, and
// how they are read from and written to the settings store. The dialog's
// pages only map their widgets to these values, so the rules (order of
// reads and writes, the start view's two keys, what is left unwritten) are
// tested without widgets.

#include <QString>

#include <optional>

class SettingsStore;

struct SettingsFormValues {
    enum StartView { InteractiveMode = 0, TextMode = 1, LastDocument = 2 };

    // A check box: its state, or nothing when the stored value is not one
    // a check box can show. Such a box shows the key's default and its key
    // is written only once the user has changed it.
    struct Check {
        std::optional<bool> checked;
        bool isChecked(bool fallback) const { return checked.value_or(fallback); }
    };

    QString prefix;
    QString suffix;
    Check allowRead;     // Settings/VTSAllowRead
    Check allowVTS;      // Settings/VTSAllow
    Check allowDownload; // Settings/VTSAllowDownload
    Check readTitle;     // Settings/ReadTitleOnAppChange
    Check readClipboard; // Settings/ReadClipboardOnChange
    Check ignoreOwnTitles; // Settings/IgnoreOwnWindowTitles
    bool launchMail = false; // Extension Settings/LaunchMailProgram
    std::optional<StartView> startView; // nothing: ShowWB is neither "0" nor "1"

    // In this order: Prefix, Suffix, VTSAllowRead, VTSAllow, VTSAllowDownload,
    // ReadTitleOnAppChange, ReadClipboardOnChange, LaunchMailProgram, then
    // ShowWB and ShowLastDoc.
    static SettingsFormValues read(const SettingsStore &store);
    // In this order: Prefix, Suffix, VTSAllowRead, VTSAllow, VTSAllowDownload,
    // LaunchMailProgram, ReadTitleOnAppChange, ReadClipboardOnChange, then
    // ShowWB and ShowLastDoc (neither when no start view is chosen).
    void write(SettingsStore &store) const;

    // True when storing these values changes whether window titles are read,
    // which takes effect only at the next start.
    bool needsRestart(const SettingsStore &store) const;

    // A stored check-box value: "0" and "1" (as whole numbers, so " 1" and
    // "1.0" too); nothing for any other text.
    static std::optional<bool> checkValue(const QString &stored);
};
