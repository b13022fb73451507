// Quenora, the text-to-speech editor.
#include "AppIcon.h"
#include "QtTranslations.h"
#include "QuenoraMain.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenora"));
    QApplication::setOrganizationName(QStringLiteral("Quenora"));
    QApplication::setWindowIcon(AppIcon::icon());
    QtTranslations::installGerman(app);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    return QuenoraMain(app, arguments);
}
