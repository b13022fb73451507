#include "SettingsStore.h"

#include "Ansi.h"
#include "RegistryHive.h"

namespace {

QString sectionKey(const QString &application, const QString &section)
{
    return QStringLiteral("Software\\VB and VBA Program Settings\\%1\\%2").arg(application, section);
}

} // namespace

SettingsStore::SettingsStore() : SettingsStore(RegistryHive::userHive()) {}

SettingsStore::SettingsStore(std::shared_ptr<RegistryHive> hive) : m_hive(std::move(hive)) {}

QString SettingsStore::sectionPath(const QString &application, const QString &section)
{
    return QStringLiteral("HKEY_CURRENT_USER\\") + sectionKey(application, section);
}

QString SettingsStore::read(const QString &application, const QString &section, const QString &key,
                            const QString &defaultValue) const
{
    if (application.isEmpty() || section.isEmpty() || key.isEmpty())
        return defaultValue;
    const auto v = m_hive->value(RootKey::CurrentUser, sectionKey(application, section), key);
    if (!v || (v->type != RegType::String && v->type != RegType::ExpandString))
        return defaultValue;
    QByteArray data = v->data;
    // A value written by a Windows-style tool may carry its terminating zero.
    if (data.endsWith('\0'))
        data.chop(1);
    return Ansi::decode(data);
}

bool SettingsStore::write(const QString &application, const QString &section, const QString &key,
                          const QString &value)
{
    if (application.isEmpty() || section.isEmpty() || key.isEmpty())
        return false;
    const bool written = m_hive->setValue(RootKey::CurrentUser, sectionKey(application, section),
                                          RegValue{key, RegType::String, Ansi::encode(value)}, true);
    if (written) {
        m_failureTold = false;
    } else if (!m_failureTold && m_notice) {
        m_failureTold = true;
        m_notice(writeFailedMessage(m_hive->errorString()));
    }
    return written;
}

QString SettingsStore::writeFailedMessage(const QString &reason)
{
    QString message = QStringLiteral("Ihre Einstellungen können nicht gespeichert werden; Änderungen bleiben "
                                     "ohne Wirkung.");
    if (!reason.isEmpty())
        message += QStringLiteral("\n\n") + reason;
    return message;
}

QString SettingsStore::read(const SettingKeys::Key &key) const
{
    return read(QLatin1String(Application), QLatin1String(key.section), QLatin1String(key.name),
                QLatin1String(key.defaultValue));
}

bool SettingsStore::flag(const SettingKeys::Key &key) const
{
    return read(key) == QLatin1String("1");
}

bool SettingsStore::write(const SettingKeys::Key &key, const QString &value)
{
    return write(QLatin1String(Application), QLatin1String(key.section), QLatin1String(key.name), value);
}
