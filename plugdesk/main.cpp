// plugdesk: the extension manager. Without arguments it opens its window;
// with --list, --enable, --disable or --help it works without one.
#include "ExtensionEntries.h"
#include "ExtensionListModel.h"
#include "PlugdeskCommand.h"
#include "QtDialogs.h"
#include "RegistryHive.h"
#include "frmMain.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    // Help and version never create or open the hive.
    const bool infoOnly = arguments.size() == 1
        && (arguments[0] == QLatin1String("--help") || arguments[0] == QLatin1String("-h")
            || arguments[0] == QLatin1String("--version"));
    clsRegistryAccess registry(infoOnly ? nullptr : RegistryHive::userHive());
    ExtensionEntries entries(registry);

    if (PlugdeskCommand::wanted(arguments)) {
        // No display is needed to list or switch.
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return PlugdeskCommand::run(arguments, entries, out, err);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("plugdesk"));
    ExtensionListModel model(entries);
    QtDialogs dialogs;
    plugdesk::frmMain window(model, entries, dialogs);
    dialogs.setParent(&window);
    if (!window.Form_Load())
        return 0;
    window.show();
    return app.exec();
}
