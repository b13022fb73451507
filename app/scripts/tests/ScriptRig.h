#pragma once
// ScriptRig: ScriptCommands and ScriptRunner around a fake host, a
// recording speaker, fake clock
// and clipboard, scripted dialogs, a recording shell and a settings store on
// a fresh hive in a fresh QUENORA_HOME.

#include "FakeClipboard.h"
#include "FakeClock.h"
#include "FakeScriptHost.h"
#include "Paths.h"
#include "RecordingShell.h"
#include "RecordingSpeaker.h"
#include "ScriptCommands.h"
#include "ScriptRunner.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "SqliteHive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

struct ScriptRig {
    QTemporaryDir home;
    std::unique_ptr<SettingsStore> settings;
    FakeScriptHost host;
    RecordingSpeaker speaker;
    FakeClock clock;
    FakeClipboard clipboard;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    std::unique_ptr<ScriptCommands> commands;
    std::unique_ptr<ScriptRunner> runner;

    ScriptRig()
    {
        qputenv("QUENORA_HOME", home.path().toUtf8());
        settings = std::make_unique<SettingsStore>(std::make_shared<SqliteHive>(home.filePath("registry.db")));
        commands = std::make_unique<ScriptCommands>(host, speaker, *settings, dialogs, shell, clock, clipboard);
        runner = std::make_unique<ScriptRunner>(host, *commands, *settings, dialogs);
        QDir().mkpath(Paths::scriptsDir());
    }
    QString path(const QString &name) const { return home.filePath(name); }
    QString write(const QString &path, const QByteArray &content) const
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }
    QString script(const QString &name, const QByteArray &content) const
    {
        return write(QDir(Paths::scriptsDir()).filePath(name), content);
    }
    void run(const QString &name, int id = 1)
    {
        runner->ExecuteSkript(id, name);
    }
    QByteArray read(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};
