#pragma once
// MailSettings: the two values the mail launcher keeps in the section
// "Extension Settings" of Quenora's settings (LaunchMailProgram and
// Outlook), read and written through the plug-in's own build of the
// registry class. The plug-in sees nothing else of Quenora: host and plug-in
// share only the C ABI, the settings only through the hive.

#include <QString>

#include <memory>

class clsRegistryAccess;

class MailSettings
{
public:
    virtual ~MailSettings() = default;
    // The stored text, or sDefault when there is none.
    virtual QString read(const QString &sName, const QString &sDefault) = 0;
    virtual void write(const QString &sName, const QString &sValue) = 0;
};

// The user's hive (QUENORA_HOME decides where it is).
class HiveMailSettings : public MailSettings
{
public:
    HiveMailSettings();
    ~HiveMailSettings() override;
    QString read(const QString &sName, const QString &sDefault) override;
    void write(const QString &sName, const QString &sValue) override;

    static const QString KeyPath;

private:
    std::unique_ptr<clsRegistryAccess> m_registry;
};
