// The dialect filter through the whole host chain: ApplyTextFilters reads the
// Extensions key, finds the library through HKEY_CLASSES_ROOT, sends the
// text to the extension-host process, which creates the object, calls
// FilterText, releases it and sends the result back, on a German text of
// some megabytes. For comparison the same call made in this process (as the
// host did before the plug-ins moved out) and the filter alone.
//
//   bench_extensions [megabytes]   (default 10; goal: at least 100 MB/s)

#include "Clock.h"
#include "Dialect.h"
#include "ExtensionLibrary.h"
#include "ExtensionLoader.h"
#include "PluginExtensionHost.h"
#include "SqliteHive.h"
#include "clsRegistryAccess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include <unistd.h>

namespace {

QString germanText(int megabytes)
{
    const QString paragraph = QStringLiteral(
        "Hallo, ich bin da. Ja, das Fahrrad ist kaputt! Müsste ich nicht gerade zur Toilette? "
        "Die Entscheidung über den Inhalt fällt ungefähr in zwanzig Minuten; danke für alles.\r\n"
        "Auf Wiedersehen, Leute. Der Widerstand der Personen war bestimmt größer als erwartet, "
        "und das Wasser läuft über den Weg zur Fichte hinter dem Haus.\r\n");
    QString text;
    text.reserve(megabytes * 1024 * 1024 + paragraph.size());
    const QString block = paragraph.repeated(256);
    const qsizetype blockBytes = block.toUtf8().size();
    for (qsizetype bytes = 0; bytes < qsizetype(megabytes) * 1024 * 1024; bytes += blockBytes)
        text += block;
    return text;
}

// CPU time of this thread in milliseconds: on a busy machine the wall clock
// measures the other processes as much as this one.
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// CPU time of a whole process (the extension-host process) in milliseconds,
// from /proc; the kernel counts it in clock ticks.
double processCpuMs(pid_t pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = f.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    const double ticks = fields.at(11).toDouble() + fields.at(12).toDouble();
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int megabytes = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    QTemporaryDir dir;
    auto hive = std::make_shared<SqliteHive>(dir.filePath(QStringLiteral("registry.db")));
    clsRegistryAccess reg(hive);
    reg.WriteString(QStringLiteral("HKEY_CLASSES_ROOT\\Bavarize.Dialect\\InprocServer32"), QStringLiteral("@"),
                    QStringLiteral(BAVARIZE_PLUGIN));
    const QString entry = PluginExtensionHost::ExtensionsKey + QStringLiteral("\\Bavarize");
    reg.WriteString(entry, QStringLiteral("Active"), QStringLiteral("true"));
    reg.WriteString(entry, QStringLiteral("ObjectName"), QStringLiteral("Bavarize.Dialect"));
    SystemClock clock;
    ExtensionProcess process(QStringLiteral(EXTENSION_HOST), clock);
    ExtensionLoader loader(reg, process);
    PluginExtensionHost host(reg, loader);
    // The same library called in this process, as the host once did.
    ExtensionLibrary::Loaded inProcess = ExtensionLibrary::load(QStringLiteral(BAVARIZE_PLUGIN));
    if (!inProcess.library) {
        std::printf("%s\n", qPrintable(inProcess.errorText));
        return 1;
    }

    const QString text = germanText(megabytes);
    const double mb = double(text.toUtf8().size()) / (1024.0 * 1024.0);
    std::printf("Text: %.1f MB (UTF-8), %lld characters\n", mb, (long long)text.size());

    std::vector<double> chain;
    std::vector<double> chainCpu;
    std::vector<double> chainBothCpu;
    std::vector<double> direct;
    std::vector<double> directCpu;
    std::vector<double> alone;
    std::vector<double> aloneCpu;
    std::vector<double> utf8Cpu;
    QElapsedTimer t;
    // The first call starts the process: not measured.
    host.ApplyTextFilters(QStringLiteral("Hallo"));
    for (int round = 0; round < 5; ++round) {
        double cpu = cpuMs();
        double helperCpu = processCpuMs(process.processId());
        t.start();
        const QString out = host.ApplyTextFilters(text);
        chain.push_back(double(t.nsecsElapsed()) / 1e6);
        chainCpu.push_back(cpuMs() - cpu);
        chainBothCpu.push_back(chainCpu.back() + processCpuMs(process.processId()) - helperCpu);
        if (out == text) {
            std::printf("The filter did not run.\n");
            return 1;
        }
        // In this process: UTF-8 there, the call, the result back.
        cpu = cpuMs();
        t.start();
        {
            const QByteArray utf8 = text.toUtf8();
            const QList<ExtensionProtocol::CallArgument> args{{utf8, true, false}};
            const auto call = inProcess.library->invoke("Dialect", "FilterText", args);
            const QString back = QString::fromUtf8(call->result.data, qsizetype(call->result.size));
            if (back != out) {
                std::printf("The filter gave another text in this process.\n");
                return 1;
            }
        }
        direct.push_back(double(t.nsecsElapsed()) / 1e6);
        directCpu.push_back(cpuMs() - cpu);
        std::string s = text.toStdString();
        cpu = cpuMs();
        t.start();
        const std::string d = Dialect().FilterText(s);
        alone.push_back(double(t.nsecsElapsed()) / 1e6);
        aloneCpu.push_back(cpuMs() - cpu);
        // What the host's QString interface costs by itself: the text to
        // UTF-8 for the plug-in, its result back.
        cpu = cpuMs();
        const QByteArray bytes = text.toUtf8();
        const QString back = QString::fromUtf8(bytes);
        utf8Cpu.push_back(cpuMs() - cpu);
        if (back.size() != text.size())
            return 1;
    }
    const auto line = [mb](const char *what, const char *clock, double ms) {
        std::printf("%-34s %-9s %8.1f ms  %6.2f ms/MB  %7.1f MB/s\n", what, clock, ms, ms / mb, mb / (ms / 1000.0));
    };
    line("ApplyTextFilters, whole chain", "wall", median(chain));
    line("", "cpu", median(chainCpu));
    line("", "cpu both", median(chainBothCpu));
    line("The same call in this process", "wall", median(direct));
    line("", "cpu", median(directCpu));
    line("Dialect::FilterText alone", "wall", median(alone));
    line("", "cpu", median(aloneCpu));
    line("UTF-8 there and back", "cpu", median(utf8Cpu));
    std::printf("Goal: the whole chain at least 100 MB/s (\"cpu both\": this process and the extension host).\n");
    return 0;
}
