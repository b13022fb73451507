// quenora-speak: speaks or records a text with the user's voice settings.
#include "ChapterWorker.h"
#include "SpeakCommand.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    // One chapter speaker of a parallel audiobook export.
    if (arguments == QStringList{QString::fromLatin1(ChapterWorker::kOption)})
        return ChapterWorker::run(stdin, stdout);
    return SpeakCommand::run(arguments, stdin, stdout, stderr);
}
