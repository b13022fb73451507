#pragma once
// RecordingExtensionHost: an ExtensionHost for tests that records every event
// in order ("Startup", "OpenFile:/path", ...) and filters texts with a
// function the test sets.

#include "ExtensionHost.h"

#include <QStringList>

#include <functional>

class RecordingExtensionHost : public ExtensionHost
{
public:
    QStringList events;
    std::function<QString(const QString &)> filter;

    void NotifyStartup() override { events << QStringLiteral("Startup"); }
    void NotifyClose() override { events << QStringLiteral("Close"); }
    void NotifyNewFile() override { events << QStringLiteral("NewFile"); }
    void NotifyOpenFile(const QString &path) override { events << QStringLiteral("OpenFile:") + path; }
    void NotifySaveFile(const QString &path) override { events << QStringLiteral("SaveFile:") + path; }
    void NotifyExport(const QString &path) override { events << QStringLiteral("Export:") + path; }
    void NotifyTaskScript(const QString &fileName) override { events << QStringLiteral("TaskScript:") + fileName; }
    QString ApplyTextFilters(const QString &text) override
    {
        events << QStringLiteral("Filter");
        return filter ? filter(text) : text;
    }
};
