#include "PluginExtensionHost.h"

#include "ExtensionLoader.h"
#include "ExtensionTexts.h"
#include "clsRegistryAccess.h"

#include <QStringList>

#include <cstdio>

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

PluginExtensionHost::PluginExtensionHost(clsRegistryAccess &registry, ExtensionLoader &loader, Notice notice)
    : m_registry(registry)
    , m_loader(loader)
    , m_notice(std::move(notice))
{
    if (!m_notice) {
        m_notice = [](const QString &, const QString &text) {
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
            std::fflush(stderr);
        };
    }
}

QStringList PluginExtensionHost::activeEntries(ActivityTest test)
{
    QStringList names;
    QStringList active;
    if (m_registry.EnumKeys(ExtensionsKey, names) <= 0)
        return active;
    for (const QString &name : std::as_const(names)) {
        if (m_switchedOff.contains(name))
            continue;
        const QString entry = ExtensionsKey + QLatin1Char('\\') + name;
        if (isExtensionActive(test, m_registry.ReadString(entry, QStringLiteral("Active"), QString())))
            active << name;
    }
    return active;
}

ExtensionCall PluginExtensionHost::call(const QString &name, const QString &member, QList<ExtensionArgument> &args)
{
    const QString entry = ExtensionsKey + QLatin1Char('\\') + name;
    const QString objectName = m_registry.ReadString(entry, QStringLiteral("ObjectName"), QString());
    const ExtensionCall done = m_loader.invoke(objectName, member, args);
    if (done.status != ExtensionCall::Status::Crashed && done.status != ExtensionCall::Status::TimedOut)
        return done;
    QString shown = m_registry.ReadString(entry, QStringLiteral("DisplayName"), QString());
    if (shown.isEmpty())
        shown = name;
    switchOff(name, done.status == ExtensionCall::Status::Crashed
                        ? ExtensionTexts::crashed(shown, member, done.reason)
                        : ExtensionTexts::timedOut(shown, member, (done.limitMs + 999) / 1000));
    return done;
}

void PluginExtensionHost::switchOff(const QString &name, const QString &text)
{
    // Where the hive refuses the write, the extension is still passed over
    // for the rest of this run, and the user is told only this once.
    if (!m_registry.WriteString(ExtensionsKey + QLatin1Char('\\') + name, QStringLiteral("Active"),
                                QStringLiteral("false")))
        m_switchedOff.insert(name);
    m_notice(ExtensionTexts::caption(), text);
}

void PluginExtensionHost::deliver(const QString &member, ActivityTest test, OnError onError,
                                  const QString *argument)
{
    for (const QString &name : activeEntries(test)) {
        // The extension gets a copy: what it does to a by-reference argument
        // stays with it.
        QList<ExtensionArgument> args;
        if (argument)
            args.append({*argument, true});
        const ExtensionCall done = call(name, member, args);
        if (done.status != ExtensionCall::Status::Ok && onError == OnError::StopDelivery)
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
    const QString member = QStringLiteral("FilterText");
    for (const QString &name : activeEntries(ActivityTest::TrimmedLowerCase)) {
        // The result replaces the text; a change made in place only counts
        // until the result arrives, and a failure (a crash and a time-out
        // too) takes the text back to what it was before this extension.
        QList<ExtensionArgument> args{{w, true}};
        const ExtensionCall done = call(name, member, args);
        if (done.status == ExtensionCall::Status::Ok)
            w = done.result;
    }
    return w;
}
