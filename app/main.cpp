// Quenora, the text-to-speech editor.
#include "QuenoraMain.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenora"));
    QApplication::setOrganizationName(QStringLiteral("Quenora"));
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    return QuenoraMain(app, arguments);
}
