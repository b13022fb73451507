// A worker for the tests of the parallel export: speaks the worker protocol
// like quenora-speak --chapter-worker, but with synthetic speech. A chapter
// whose text is one of the words below misbehaves on purpose.
//   ABSTURZ  the worker dies in the middle of the chapter
//   UNSINN   it answers a line that is no protocol
//   FEHLER   it reports the chapter as failed
//   KAPUTT   it reports a cut-off spool as done
//   HAENGT   it stops answering (until killed)

#include "ChapterSpool.h"
#include "SyntheticChapter.h"
#include "WorkerProtocol.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include <unistd.h>

namespace {

void say(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::string line;
    if (!std::getline(std::cin, line))
        return 1;
    const std::optional<WorkerProtocol::Voice> voice = WorkerProtocol::parseVoice(QByteArray::fromStdString(line));
    if (!voice) {
        say(WorkerProtocol::errorLine(-1, QStringLiteral("keine Stimme")));
        return 1;
    }
    say(WorkerProtocol::readyLine(SyntheticChapter::kRate));
    const qint64 pause = qint64(voice->paragraphPauseMs) * SyntheticChapter::kRate / 1000;
    while (std::getline(std::cin, line)) {
        const std::optional<WorkerProtocol::Chapter> chapter =
            WorkerProtocol::parseChapter(QByteArray::fromStdString(line));
        if (!chapter)
            return 1;
        const QString &text = chapter->text;
        if (text == QLatin1String("UNSINN")) {
            say("Ich bin kein Protokoll\n");
            continue;
        }
        if (text == QLatin1String("FEHLER")) {
            say(WorkerProtocol::errorLine(chapter->index, QStringLiteral("Festplatte voll")));
            continue;
        }
        if (text == QLatin1String("HAENGT")) {
            while (true)
                ::pause();
        }
        ChapterSpool spool(chapter->spool, SyntheticChapter::kRate, pause);
        spool.open();
        SyntheticChapter::speak(chapter->index, chapter->title, text, spool, [&](double share) {
            say(WorkerProtocol::progressLine(chapter->index, share));
            if (text == QLatin1String("ABSTURZ"))
                ::raise(SIGKILL);
        });
        spool.close();
        if (text == QLatin1String("KAPUTT"))
            QFile::resize(chapter->spool, QFile(chapter->spool).size() - 3);
        say(WorkerProtocol::doneLine(chapter->index));
    }
    return 0;
}
