#pragma once
// ExtensionHost: the moments at which Quenora tells its extensions what
// happens (start, close, new file, file opened, file saved, WAV export, task
// script chosen) and the filter chain every spoken text may pass through.
//
// The main window and the speaking routine call these and nothing else; the
// host decides which extensions take part. Extension calls never pass an
// error back: a failing extension is passed over.
//
// The library quenora_extensions: this interface, PluginExtensionHost (the
// events and the filter chain over the Extensions key), ExtensionLoader (the
// identifier to its library), ExtensionProcess and ExtensionProtocol (the
// extension-host process the plug-ins run in, and how it is talked to) and
// ExtensionLibrary (plug-in libraries over the C ABI of
// extensions/abi/quenora_extension.h, inside that process). Uses the
// registry class; used by the main window and quenora-speak.

#include <QString>

class ExtensionHost
{
public:
    virtual ~ExtensionHost() = default;

    virtual void NotifyStartup() = 0;
    virtual void NotifyClose() = 0;
    virtual void NotifyNewFile() = 0;
    virtual void NotifyOpenFile(const QString &path) = 0;
    virtual void NotifySaveFile(const QString &path) = 0;
    virtual void NotifyExport(const QString &path) = 0;
    virtual void NotifyTaskScript(const QString &fileName) = 0;
    // The text after every active filter; unchanged when none is active.
    virtual QString ApplyTextFilters(const QString &text) = 0;
};

// A host with no extension at all: every event reaches nobody and every text
// passes unchanged. For tests that want no extensions; the programs use
// PluginExtensionHost.
class NoExtensions : public ExtensionHost
{
public:
    void NotifyStartup() override {}
    void NotifyClose() override {}
    void NotifyNewFile() override {}
    void NotifyOpenFile(const QString &) override {}
    void NotifySaveFile(const QString &) override {}
    void NotifyExport(const QString &) override {}
    void NotifyTaskScript(const QString &) override {}
    QString ApplyTextFilters(const QString &text) override { return text; }
};
