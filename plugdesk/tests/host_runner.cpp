// Test helper: stands in for a running Quenora. It keeps one extension host
// on the hive of $QUENORA_HOME for its whole life and sends it the event
// named on each line of standard input ("filter TEXT", "newfile", "export
// PATH"), printing one line per event (the filtered text, or "ok") once it
// has been delivered. A test switches entries in between from another process.
#include "Clock.h"
#include "ExtensionLoader.h"
#include "PluginExtensionHost.h"
#include "clsRegistryAccess.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    clsRegistryAccess registry;
    SystemClock clock;
    ExtensionProcess process(QStringLiteral(EXTENSION_HOST), clock);
    ExtensionLoader loader(registry, process);
    PluginExtensionHost host(registry, loader);

    QTextStream in(stdin);
    QTextStream out(stdout);
    QString line;
    while (in.readLineInto(&line)) {
        const QString event = line.section(QLatin1Char(' '), 0, 0);
        const QString argument = line.section(QLatin1Char(' '), 1);
        if (event == QLatin1String("filter")) {
            out << host.ApplyTextFilters(argument) << '\n';
        } else if (event == QLatin1String("newfile")) {
            host.NotifyNewFile();
            out << "ok\n";
        } else if (event == QLatin1String("export")) {
            host.NotifyExport(argument);
            out << "ok\n";
        } else {
            out << "unbekannt: " << line << '\n';
        }
        out.flush();
    }
    return 0;
}
