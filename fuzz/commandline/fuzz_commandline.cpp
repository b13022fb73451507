// Any bytes as a command line: cut at NUL bytes into arguments (as the
// kernel hands them over), then read by the editor's start-up parser and by
// quenora-speak's option parser. The start-up path is always a part of the
// line it came from; a refused option line always says why, and an accepted
// one never makes up text or names that were not given.
#include "SpeakCommand.h"
#include "StartupCommandLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QStringList arguments;
    for (const QByteArray &part : QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\0'))
        arguments << QString::fromUtf8(part);

    const QString line = StartupCommandLine::fromArguments(arguments);
    const StartupRequest request = StartupCommandLine::parse(line);
    if (!request.quotedPath.isEmpty() && !line.contains(request.quotedPath))
        fail("the start-up path is not part of its command line");
    if (request.speakAtStart && !line.contains(QLatin1String("/s"), Qt::CaseInsensitive))
        fail("speaking at start without /s");

    SpeakCommand::Options options;
    QString error;
    if (!SpeakCommand::parse(arguments, &options, &error)) {
        if (error.isEmpty())
            fail("a refused command line must say why");
        return 0;
    }
    const QString all = arguments.join(QLatin1Char(' '));
    for (const QString &given : {options.wavPath, options.documentPath, options.text}) {
        if (given.size() > all.size())
            fail("a value longer than the whole command line");
    }
    if (!options.documentPath.isEmpty() && !arguments.join(QLatin1Char('=')).contains(options.documentPath))
        fail("a document name that was not given");
    if (!options.readStdin && options.documentPath.isEmpty() && options.text.isEmpty() && !arguments.contains(QString()))
        fail("neither standard input, a document nor a text");
    return 0;
}
