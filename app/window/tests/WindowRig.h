#pragma once
// WindowRig: one main window with fakes around it (speech engines, dialogs,
// shell, extension host) and a settings store on a fresh hive, in a fresh
// QUENORA_HOME, with the shipped pages of the source tree. Shared by the
// window tests.

#include "DesktopReaders.h"
#include "FakeClipboard.h"
#include "FakeClock.h"
#include "FakeForegroundWindow.h"
#include "FakeSpeechEngine.h"
#include "RecordingExtensionHost.h"
#include "RecordingShell.h"
#include "ScriptSession.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "SqliteHive.h"
#include "frmMain.h"
#include "frmSurvey.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

struct WindowRig {
    QTemporaryDir home;
    std::shared_ptr<SqliteHive> hive;
    std::unique_ptr<SettingsStore> settings;
    FakeClock clock;
    FakeClipboard clipboard;
    FakeForegroundWindow foreground;
    FakeSpeechEngine voice;
    FakeSpeechEngine voice2;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    RecordingExtensionHost extensions;
    int ended = 0;
    int surveyChoice = int(frmSurvey::Choice::Later);
    int surveysShown = 0;
    std::unique_ptr<frmMain> window;

    // startPage: the stored ShowWB, so the window starts in the browser view.
    explicit WindowRig(bool startPage = false)
    {
        qputenv("QUENORA_HOME", home.path().toUtf8());
        qputenv("QUENORA_DATA_DIR", QUENORA_SOURCE_DIR "/data");
        hive = std::make_shared<SqliteHive>(home.filePath("registry.db"));
        settings = std::make_unique<SettingsStore>(hive);
        settings->write(SettingKeys::ShowWB, startPage ? "1" : "0");
    }
    frmMain &make()
    {
        frmMain::Collaborators c{clock, clipboard};
        c.voice = &voice;
        c.voice2 = &voice2;
        c.dialogs = &dialogs;
        c.shell = &shell;
        c.extensions = &extensions;
        c.settings = settings.get();
        c.foreground = &foreground;
        c.endProcess = [this] { ++ended; };
        c.runSurvey = [this](QWidget *) {
            ++surveysShown;
            return surveyChoice;
        };
        window = std::make_unique<frmMain>(c);
        return *window;
    }
    frmMain &load()
    {
        make().Form_Load();
        return *window;
    }
    QString file(const QString &name, const QByteArray &content)
    {
        const QString path = home.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }
};
