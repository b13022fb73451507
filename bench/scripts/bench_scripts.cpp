// Task scripts in the real main window (fake speech engines, real clock):
//   bench_scripts warten [seconds]  CPU time of the process while a script
//                                   runs Warten(seconds) (goal: under 2 % of
//                                   a core)
//   bench_scripts lines [count]     time to run a script of that many
//                                   Text(x); lines (goal: 100 000 in 1 s)
#include "Clipboard.h"
#include "Clock.h"
#include "FakeSpeechEngine.h"
#include "Paths.h"
#include "RecordingExtensionHost.h"
#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "SqliteHive.h"
#include "frmMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Bench {
    QTemporaryDir home;
    SystemClock clock;
    QtClipboard clipboard;
    FakeSpeechEngine voice;
    FakeSpeechEngine voice2;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    RecordingExtensionHost extensions;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<frmMain> window;

    Bench()
    {
        qputenv("QUENORA_HOME", home.path().toUtf8());
        settings = std::make_unique<SettingsStore>(std::make_shared<SqliteHive>(home.filePath("registry.db")));
        settings->write(SettingKeys::ShowWB, "0");
        QDir().mkpath(Paths::scriptsDir());
    }
    void script(const QByteArray &content)
    {
        QFile f(QDir(Paths::scriptsDir()).filePath("bench.vts"));
        f.open(QIODevice::WriteOnly);
        f.write(content);
        f.close();
        frmMain::Collaborators c{clock, clipboard, &voice, &voice2, &dialogs, &shell, &extensions, settings.get()};
        c.endProcess = [] {};
        window = std::make_unique<frmMain>(c);
        window->Form_Load();
        window->show();
        QCoreApplication::processEvents();
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("lines");
    Bench bench;
    if (mode == QLatin1String("warten")) {
        const int seconds = argc > 2 ? atoi(argv[2]) : 10;
        bench.script("Warten(" + QByteArray::number(seconds) + ");\r\n");
        const double cpu0 = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        bench.window->RunScriptByName(QStringLiteral("bench"));
        const double cpu = cpuSeconds() - cpu0;
        const double elapsed = wall.elapsed() / 1000.0;
        std::printf("Warten(%d): %.2f s wall, %.3f s CPU (%.2f %% of a core)\n", seconds, elapsed, cpu,
                    100.0 * cpu / elapsed);
        return 0;
    }
    const int count = argc > 2 ? atoi(argv[2]) : 100000;
    QByteArray content;
    content.reserve(count * 10);
    for (int i = 0; i < count; ++i)
        content += "Text(x);\r\n";
    bench.script(content);
    QElapsedTimer wall;
    wall.start();
    bench.window->RunScriptByName(QStringLiteral("bench"));
    std::printf("%d lines of Text(x);: %.3f s\n", count, wall.elapsed() / 1000.0);
    return 0;
}
