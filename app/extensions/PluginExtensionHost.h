#pragma once
// PluginExtensionHost: the extension host of the editor and quenora-speak.
//
// At every event it enumerates the Extensions key afresh (EnumKeys, then
// ReadString of Active and ObjectName for each entry), so an extension
// switched on or off by the manager counts from the next event on. Each
// routine has its own test of the Active text and its own rule for a
// failing extension; both are fixed by what installed extensions have always
// seen, which is why the tests differ from routine to routine. A new object
// serves every call (ExtensionLoader). Nothing ever reaches the caller or the
// user: a failure only decides who else gets the event.

#include "ExtensionHost.h"

#include <QString>

class ExtensionLoader;
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

    PluginExtensionHost(clsRegistryAccess &registry, ExtensionLoader &loader);

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

    clsRegistryAccess &m_registry;
    ExtensionLoader &m_loader;
};
