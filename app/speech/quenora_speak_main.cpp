// quenora-speak: speaks or records a text with the user's voice settings.
#include "SpeakCommand.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return SpeakCommand::run(arguments, stdin, stdout, stderr);
}
