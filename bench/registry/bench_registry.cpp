// Registry throughput: values written and read per second through the
// registry class in one process, and the wall time of a whole `qnreg get`
// process. Run: build/bench/registry/bench_registry [path/to/qnreg]
#include "SqliteHive.h"
#include "clsRegistryAccess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double perSecond(int n, qint64 ns)
{
    return n / (double(ns) / 1e9);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString hiveFile = dir.filePath("registry.db");
    const int n = 20000;
    {
        clsRegistryAccess reg(std::make_shared<SqliteHive>(hiveFile));
        const QString key = "HKCU\\Software\\VB and VBA Program Settings\\Quenora\\Bench";

        QElapsedTimer t;
        t.start();
        for (int i = 0; i < n; ++i)
            reg.WriteString(key, QString::number(i % 500), QString::number(i));
        const qint64 writeNs = t.nsecsElapsed();

        t.restart();
        qint64 sum = 0;
        for (int i = 0; i < n; ++i)
            sum += reg.ReadString(key, QString::number(i % 500)).size();
        const qint64 readNs = t.nsecsElapsed();

        t.restart();
        for (int i = 0; i < n / 10; ++i) {
            QStringList names;
            QVariantList values;
            sum += reg.EnumValues(key, names, values, -1);
        }
        const qint64 enumNs = t.nsecsElapsed();

        std::printf("writes (WriteString, one transaction each): %.0f per second\n", perSecond(n, writeNs));
        std::printf("reads  (ReadString):                        %.0f per second\n", perSecond(n, readNs));
        std::printf("EnumValues of 500 values:                   %.0f per second\n", perSecond(n / 10, enumNs));
        if (sum == 0)
            std::printf("(nothing read)\n");
    }

    const QString qnreg = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                   : QCoreApplication::applicationDirPath() + "/../../registry/qnreg";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUENORA_HOME", dir.path());
    std::vector<double> ms;
    for (int i = 0; i < 30; ++i) {
        QProcess p;
        p.setProcessEnvironment(env);
        QElapsedTimer t;
        t.start();
        p.start(qnreg, {"get", "HKCU\\Software\\VB and VBA Program Settings\\Quenora\\Bench", "7"});
        if (!p.waitForFinished(10000) || p.exitCode() != 0) {
            std::fprintf(stderr, "qnreg failed: %s\n", qPrintable(p.errorString()));
            return 1;
        }
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("qnreg get as a whole process:               median %.1f ms, best %.1f ms (30 runs)\n",
                ms[ms.size() / 2], ms.front());
    return 0;
}
