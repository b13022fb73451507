// Export of a deep key tree: `qnreg export --subkeys` of a chain of keys,
// the time and the peak memory of the process. The file holds every key's
// full path, so it grows with the square of the depth; the export should
// take time in proportion to the file and memory independent of it.
// Run: build/bench/registry/bench_reg_export [levels, default 10000]
#include "SqliteHive.h"
#include "clsRegistryAccess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>

namespace {

double peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int levels = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    if (levels < 1) {
        std::fprintf(stderr, "Aufruf: bench_reg_export [Ebenen]\n");
        return 1;
    }
    QTemporaryDir dir;
    clsRegistryAccess reg(std::make_shared<SqliteHive>(dir.filePath("registry.db")));
    const QString base = "HKCU\\Software\\Tief";
    QString deepest = base;
    deepest.reserve(base.size() + 2 * levels);
    for (int i = 0; i < levels; ++i)
        deepest += QStringLiteral("\\a");

    QElapsedTimer t;
    t.start();
    if (!reg.WriteString(deepest, "ende", "1")) {
        std::fprintf(stderr, "Anlegen fehlgeschlagen: %s\n", qPrintable(reg.lastError()));
        return 1;
    }
    const double createMs = t.nsecsElapsed() / 1e6;
    const double memoryBefore = peakMiB();

    const QString file = dir.filePath("tief.reg");
    t.restart();
    if (!reg.ExportToReg(base, file, true)) {
        std::fprintf(stderr, "Export fehlgeschlagen: %s\n", qPrintable(reg.lastError()));
        return 1;
    }
    const double exportMs = t.nsecsElapsed() / 1e6;
    std::printf("levels:                 %d\n", levels);
    std::printf("tree created in:        %.0f ms\n", createMs);
    std::printf("export --subkeys:       %.0f ms, file %.1f MB\n", exportMs,
                QFileInfo(file).size() / 1e6);
    std::printf("peak memory:            %.0f MiB before the export, %.0f MiB after\n", memoryBefore, peakMiB());
    return 0;
}
