#include "ExtensionEntries.h"

#include "Ansi.h"
#include "PlugdeskTexts.h"

namespace {

const QString kActive = QStringLiteral("Active");
const QString kDisplayName = QStringLiteral("DisplayName");
const QString kObjectName = QStringLiteral("ObjectName");
const QString kDescription = QStringLiteral("Description");

} // namespace

QString ExtensionEntries::keyPath()
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Quenora\\Extensions");
}

ExtensionEntries::ExtensionEntries(clsRegistryAccess &registry)
    : m_registry(registry)
{
}

QString ExtensionEntries::entryPath(const QString &subkey) const
{
    return keyPath() + QLatin1Char('\\') + subkey;
}

QString ExtensionEntries::displayNameOf(const QString &path)
{
    // An empty name counts as none: as an item text it would be contained in
    // every name and one click would switch every extension.
    const QString name = m_registry.ReadString(path, kDisplayName, QString());
    return name.isEmpty() ? PlugdeskTexts::unknownExtension() : name;
}

QString ExtensionEntries::failure(const QString &fallback) const
{
    const QString why = m_registry.lastError();
    return why.isEmpty() ? fallback : why;
}

bool ExtensionEntries::belongsTo(const QString &displayName, const QString &itemText)
{
    return displayName.contains(itemText, Qt::CaseSensitive);
}

bool ExtensionEntries::looksActive(const QString &active)
{
    return active.contains(QLatin1String("true"), Qt::CaseSensitive);
}

ExtensionEntries::Listing ExtensionEntries::enumerate()
{
    Listing listing;
    QStringList names;
    if (m_registry.EnumKeys(keyPath(), names) < 0) {
        listing.error = m_registry.lastError();
        return listing;
    }
    for (const QString &subkey : std::as_const(names)) {
        const QString path = entryPath(subkey);
        Entry e;
        e.subkey = subkey;
        e.displayName = displayNameOf(path);
        e.active = m_registry.ReadString(path, kActive, QString());
        e.objectName = m_registry.ReadString(path, kObjectName, QString());
        listing.entries.append(e);
    }
    if (listing.entries.isEmpty())
        listing.error = m_registry.lastError();
    return listing;
}

std::optional<QString> ExtensionEntries::description(const QString &itemText)
{
    std::optional<QString> shown;
    QStringList names;
    m_registry.EnumKeys(keyPath(), names);
    for (const QString &subkey : std::as_const(names)) {
        const QString path = entryPath(subkey);
        if (!belongsTo(displayNameOf(path), itemText))
            continue;
        // The raw bytes whatever the value's type, so a string value serves
        // too; the terminating zeros of a string are not part of the text.
        QByteArray bytes = clsRegistryAccess::StrToBin(m_registry.ReadBinary(path, kDescription, QString()));
        while (bytes.endsWith('\0'))
            bytes.chop(1);
        QString text = Ansi::decode(bytes);
        text.replace(QLatin1String("$CRLF"), QLatin1String("\r\n"));
        shown = text.isEmpty() ? PlugdeskTexts::noDescription() : text;
    }
    return shown;
}

ExtensionEntries::Switch ExtensionEntries::setActive(const QString &itemText, bool on)
{
    Switch result;
    QStringList names;
    if (m_registry.EnumKeys(keyPath(), names) < 0 && !m_registry.lastError().isEmpty()) {
        result.error = m_registry.lastError();
        return result;
    }

    struct Written {
        QString path;
        std::optional<QString> before;
    };
    QList<Written> written;
    const QString value = on ? QStringLiteral("true") : QStringLiteral("false");
    for (const QString &subkey : std::as_const(names)) {
        const QString path = entryPath(subkey);
        const QString name = displayNameOf(path);
        if (!belongsTo(name, itemText))
            continue;
        std::optional<QString> before;
        if (m_registry.ValueExists(path, kActive))
            before = m_registry.ReadString(path, kActive, QString());
        if (m_registry.WriteString(path, kActive, value) == 0) {
            result.error = failure(PlugdeskTexts::unknownWriteError());
            // Best effort: a hive that refused one write may refuse these too.
            for (const Written &w : std::as_const(written)) {
                if (w.before)
                    m_registry.WriteString(w.path, kActive, *w.before);
                else
                    m_registry.KillValue(w.path, kActive);
            }
            result.switched.clear();
            return result;
        }
        written.append({path, before});
        result.switched.append(name);
    }
    return result;
}
