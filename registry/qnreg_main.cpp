// qnreg: look into and change Quenora's registry hive from the command line.
#include "QnregCommand.h"
#include "RegistryHive.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    // Help and version never create or open the hive.
    const bool infoOnly = args.size() == 1
        && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")
            || args[0] == QLatin1String("--version"));
    const QnregResult r = runQnreg(args, infoOnly ? nullptr : RegistryHive::userHive());
    std::fwrite(r.out.constData(), 1, size_t(r.out.size()), stdout);
    std::fwrite(r.err.constData(), 1, size_t(r.err.size()), stderr);
    return r.exitCode;
}
