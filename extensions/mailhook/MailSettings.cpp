#include "MailSettings.h"

#include "clsRegistryAccess.h"

const QString HiveMailSettings::KeyPath =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Quenora\\Extension Settings");

HiveMailSettings::HiveMailSettings() : m_registry(std::make_unique<clsRegistryAccess>())
{
    // The section does not exist until the first answer is remembered.
    m_registry->CreateKeyIfDoesntExists(true);
}

HiveMailSettings::~HiveMailSettings() = default;

QString HiveMailSettings::read(const QString &sName, const QString &sDefault)
{
    return m_registry->ReadString(KeyPath, sName, sDefault);
}

void HiveMailSettings::write(const QString &sName, const QString &sValue)
{
    m_registry->WriteString(KeyPath, sName, sValue);
}
