#pragma once
// SettingsStore: Quenora's per-user preferences, addressed by application,
// section and key, every value a string, every read with a default.
//
// The values live in the registry hive below
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>
// as string values named <key>, the layout other programs of the system and
// the extension installers expect. Names compare case-insensitively, so
// "Settings"/"settings" and "Prefix"/"prefix" meet. Nothing is cached: every
// read goes to the hive, so what another program wrote is seen at once.
// Used by every part of the main program and by the command-line tools.

#include "SettingKeys.h"

#include <QString>

#include <functional>
#include <memory>

class RegistryHive;

class SettingsStore
{
public:
    static constexpr const char *Application = "Quenora";

    // The current user's hive.
    SettingsStore();
    explicit SettingsStore(std::shared_ptr<RegistryHive> hive);

    // The stored value, or defaultValue when the section or key is missing
    // (or the hive cannot be read).
    QString read(const QString &application, const QString &section, const QString &key,
                 const QString &defaultValue) const;
    // Stores the value as text, creating section and key as needed; false
    // only when the hive cannot be written.
    bool write(const QString &application, const QString &section, const QString &key,
               const QString &value);

    // The same for application "Quenora" and a key of SettingKeys, with the
    // default of that reader.
    QString read(const SettingKeys::Key &key) const;
    bool write(const SettingKeys::Key &key, const QString &value);

    // An option of the main program: on only when the stored text is
    // exactly "1" (a missing key reads as its default). "true", " 1" or
    // "yes" are off, as the options have always been compared.
    bool flag(const SettingKeys::Key &key) const;

    // The registry path of a section, for tools that show it.
    static QString sectionPath(const QString &application, const QString &section);

    // Told with a German sentence (and the hive's reason) the first time a
    // write fails; later failures stay quiet until a write succeeds again,
    // so the user hears of a read-only hive once, not at every setting.
    using WriteFailureNotice = std::function<void(const QString &message)>;
    void setWriteFailureNotice(WriteFailureNotice notice) { m_notice = std::move(notice); }
    static QString writeFailedMessage(const QString &reason);

private:
    std::shared_ptr<RegistryHive> m_hive;
    WriteFailureNotice m_notice;
    bool m_failureTold = false;
};
