// Quenora, the text-to-speech editor.
#include "AppIcon.h"
#include "ProgramInfo.h"
#include "QtTranslations.h"
#include "QuenoraMain.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // --help and --version need no display, window or lock.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    if (const auto status = ProgramInfo::answer(raw))
        return *status;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenora"));
    QApplication::setOrganizationName(QStringLiteral("Quenora"));
    // Ties the window to the desktop entry: its icon and its launcher where
    // the window system asks for that.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quenora.Quenora"));
    QApplication::setWindowIcon(AppIcon::icon());
    QtTranslations::installGerman(app);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    return QuenoraMain(app, arguments);
}
