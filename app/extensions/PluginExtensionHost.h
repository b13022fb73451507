#pragma once
// PluginExtensionHost: the extension host of the editor and quenora-speak.
//
// At every event it enumerates the Extensions key afresh (EnumKeys, then
// ReadString of Active and ObjectName for each entry), so an extension
// switched on or off by the manager counts from the next event on. Each
// routine has its own test of the Active text and its own rule for a
// failing extension; both are fixed by what installed extensions have always
// seen, which is why the tests differ from routine to routine. A new object
// serves every call (ExtensionLoader). A failure only decides who else gets
// the event; nothing of it reaches the caller. An extension that crashes or
// does not answer in time is switched off (Active "false"; where the hive
// refuses the write it is passed over for the rest of this run) and the user
// is told once, through the notice given, which extension and why. Switched
// on again in the manager, it takes part from the next event on.

#include "ExtensionHost.h"
#include "ExtensionLoader.h"

#include <QSet>
#include <QString>

#include <functional>

class clsRegistryAccess;

// When an entry's Active text makes it take part in an event.
enum class ActivityTest {
    Exact,           // equals "true"
    StartsWith,      // begins with "true", case-sensitive
    Contains,        // contains "true" anywhere, case-sensitive
    TrimmedLowerCase // blanks trimmed at both ends, lower case, begins with "true"
};

bool isExtensionActive(ActivityTest test, const QString &active);

class PluginExtensionHost : public ExtensionHost
{
public:
    static const QString ExtensionsKey;

    // caption, text: what the user is told; by default it goes to stderr.
    using Notice = std::function<void(const QString &caption, const QString &text)>;

    PluginExtensionHost(clsRegistryAccess &registry, ExtensionLoader &loader, Notice notice = {});

    void NotifyStartup() override;
    void NotifyClose() override;
    void NotifyNewFile() override;
    void NotifyOpenFile(const QString &path) override;
    void NotifySaveFile(const QString &path) override;
    void NotifyExport(const QString &path) override;
    void NotifyTaskScript(const QString &fileName) override;
    QString ApplyTextFilters(const QString &text) override;

private:
    // What a failing extension means for the entries after it.
    enum class OnError { StopDelivery, GoOn };

    void deliver(const QString &member, ActivityTest test, OnError onError, const QString *argument);
    // The active entries for a test, in the order of the key.
    QStringList activeEntries(ActivityTest test);
    // One call of the entry's extension; a crash or time-out switches it off.
    ExtensionCall call(const QString &name, const QString &member, QList<ExtensionArgument> &args);
    void switchOff(const QString &name, const QString &text);

    clsRegistryAccess &m_registry;
    ExtensionLoader &m_loader;
    Notice m_notice;
    QSet<QString> m_switchedOff;
};
