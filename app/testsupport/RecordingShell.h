#pragma once
// RecordingShell: Shell for tests; records every request and starts nothing.

#include "Shell.h"

#include <QList>

class RecordingShell : public Shell
{
public:
    struct Call {
        QString kind; // "url", "program" or "folder"
        QString target;
        QStringList arguments;
        QString workingFolder;
    };
    QList<Call> calls;
    bool result = true;

    bool openUrl(const QString &url) override
    {
        calls.append({QStringLiteral("url"), url, {}, {}});
        return result;
    }
    bool startProgram(const QString &program, const QStringList &arguments, const QString &workingFolder) override
    {
        calls.append({QStringLiteral("program"), program, arguments, workingFolder});
        return result;
    }
    bool showFolder(const QString &folder) override
    {
        calls.append({QStringLiteral("folder"), folder, {}, {}});
        return result;
    }
};
