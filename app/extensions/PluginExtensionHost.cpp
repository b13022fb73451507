#include "PluginExtensionHost.h"

#include "ExtensionLoader.h"
#include "clsRegistryAccess.h"

#include <QStringList>

const QString PluginExtensionHost::ExtensionsKey =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Quenora\\Extensions");

namespace {

const QString kTrue = QStringLiteral("true");

} // namespace

bool isExtensionActive(ActivityTest test, const QString &active)
{
    switch (test) {
    case ActivityTest::Exact:
        return active == kTrue;
    case ActivityTest::StartsWith:
        return active.startsWith(kTrue);
    case ActivityTest::Contains:
        return active.contains(kTrue);
    case ActivityTest::TrimmedLowerCase:
        // Blanks only: a tab before "true" keeps a filter switched off.
        return clsRegistryAccess::trimBlanks(active).toLower().startsWith(kTrue);
    }
    return false;
}

PluginExtensionHost::PluginExtensionHost(clsRegistryAccess &registry, ExtensionLoader &loader)
    : m_registry(registry)
    , m_loader(loader)
{
}

void PluginExtensionHost::deliver(const QString &member, ActivityTest test, OnError onError,
                                  const QString *argument)
{
    QStringList names;
    if (m_registry.EnumKeys(ExtensionsKey, names) <= 0)
        return;
    for (const QString &name : std::as_const(names)) {
        const QString entry = ExtensionsKey + QLatin1Char('\\') + name;
        if (!isExtensionActive(test, m_registry.ReadString(entry, QStringLiteral("Active"), QString())))
            continue;
        const QString objectName = m_registry.ReadString(entry, QStringLiteral("ObjectName"), QString());
        // The extension gets a copy: what it does to a by-reference argument
        // stays with it.
        QList<ExtensionArgument> args;
        if (argument)
            args.append({*argument, true});
        const ExtensionCall call = m_loader.invoke(objectName, member, args);
        if (call.status != ExtensionCall::Status::Ok && onError == OnError::StopDelivery)
            return;
    }
}

void PluginExtensionHost::NotifyStartup()
{
    deliver(QStringLiteral("Startup"), ActivityTest::Exact, OnError::StopDelivery, nullptr);
}

void PluginExtensionHost::NotifyClose()
{
    deliver(QStringLiteral("Close"), ActivityTest::Exact, OnError::StopDelivery, nullptr);
}

void PluginExtensionHost::NotifyNewFile()
{
    deliver(QStringLiteral("NewFile"), ActivityTest::Exact, OnError::StopDelivery, nullptr);
}

void PluginExtensionHost::NotifyOpenFile(const QString &path)
{
    deliver(QStringLiteral("OpenFile"), ActivityTest::Exact, OnError::StopDelivery, &path);
}

void PluginExtensionHost::NotifySaveFile(const QString &path)
{
    deliver(QStringLiteral("SaveFile"), ActivityTest::StartsWith, OnError::StopDelivery, &path);
}

void PluginExtensionHost::NotifyExport(const QString &path)
{
    deliver(QStringLiteral("Export"), ActivityTest::Contains, OnError::GoOn, &path);
}

void PluginExtensionHost::NotifyTaskScript(const QString &fileName)
{
    deliver(QStringLiteral("TaskScript"), ActivityTest::StartsWith, OnError::StopDelivery, &fileName);
}

QString PluginExtensionHost::ApplyTextFilters(const QString &text)
{
    QString w = text;
    QStringList names;
    if (m_registry.EnumKeys(ExtensionsKey, names) <= 0)
        return w;
    const QString member = QStringLiteral("FilterText");
    for (const QString &name : std::as_const(names)) {
        const QString entry = ExtensionsKey + QLatin1Char('\\') + name;
        if (!isExtensionActive(ActivityTest::TrimmedLowerCase,
                               m_registry.ReadString(entry, QStringLiteral("Active"), QString())))
            continue;
        const QString objectName = m_registry.ReadString(entry, QStringLiteral("ObjectName"), QString());
        // The result replaces the text; a change made in place only counts
        // until the result arrives, and a failure takes the text back to what
        // it was before this extension.
        QList<ExtensionArgument> args{{w, true}};
        const ExtensionCall call = m_loader.invoke(objectName, member, args);
        if (call.status == ExtensionCall::Status::Ok)
            w = call.result;
    }
    return w;
}
