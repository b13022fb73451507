#pragma once
// BookCommand: quenora-speak's audiobook mode, many documents into
// audiobooks unattended:
//
//   quenora-speak --chapters [--out FILE | --out-dir DIR [--one-file]]
//                 [--format m4b|mp3|opus] [--subtitles srt|vtt|lrc] [--normalize]
//                 [--jobs N] [--force] [--level N] [--chapter-rule PATTERN]
//                 [voice options] DOCUMENT...
//
// Each document is read as the editor reads it, split into chapters by its
// headings (or the rule) and handed to the exporter. Where the files go:
//   --out FILE            one document, one file with chapter marks; the
//                         suffix gives the format.
//   --out-dir DIR         files per chapter and a playlist in DIR, or with
//                         several documents in DIR/<document name>/.
//   --out-dir DIR --one-file  DIR/<document name>.<format> per document.
// The document name is the file name without its suffix, made safe for file
// names; a name an earlier document of the same run has gets " (2)", " (3)".
//
// A document whose output is complete (the one file exists; or the playlist
// exists and every file it lists does, since the writer writes each file
// whole and the playlist last) is skipped unless --force. Documents go on
// after one fails; the summary names each failure with its reason. Exit
// status 0 when every document was converted or skipped, 1 otherwise.
//
// What the files need that the documents cannot give (the folder, the
// format) is refused before anything is spoken.

#include "AudiobookFormat.h"
#include "AudiobookWriter.h"
#include "Book.h"
#include "BookExport.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <optional>

class Clock;

class BookCommand
{
public:
    struct Options {
        QStringList documents;
        QString outFile; // --out
        QString outDir;  // --out-dir
        bool oneFile = false;
        std::optional<AudiobookFormat> format;
        SubtitleFormat subtitles = SubtitleFormat::None;
        bool normalize = false;
        int jobs = 0; // 0: as many as there are cores
        bool force = false;
        int level = 0; // 0: the top level present
        QString chapterRule;
        bool help = false;
        // The voice and dictionary options, left for the speaking part.
        QStringList voiceArguments;
    };

    // True when the arguments ask for audiobooks (--chapters or --out-dir).
    static bool wanted(const QStringList &arguments);
    // Arguments without the program name. False with a German message.
    static bool parse(const QStringList &arguments, Options *options, QString *error);

    using Exporter = std::function<AudiobookWriter::Result(const Book &, const AudiobookOptions &,
                                                           const BookVoice &, const BookExport::Workers &,
                                                           const Clock &, const BookExport::Progress &)>;

    struct Environment {
        Exporter exporter;     // BookExport::run
        const Clock &clock;
        QString program;       // started for each worker: this program
        int cores = 1;         // the jobs without --jobs
        bool terminal = false; // out is a terminal: one progress line, rewritten
        // The signal that asked to stop (SIGINT, ...), 0 while none did.
        std::function<int()> stopSignal;
    };

    explicit BookCommand(const Environment &environment);

    int run(const Options &options, const BookVoice &voice, std::FILE *out, std::FILE *err) const;

    // From now on SIGINT, SIGTERM and SIGHUP ask to stop (a second one ends
    // the program); what the Environment's stopSignal reads.
    static std::function<int()> catchStopSignals();

private:
    struct Target;
    struct Outcome;
    Outcome convert(const Options &options, const BookVoice &voice, const Target &target, int index, int count,
                    std::FILE *out) const;

    const Environment &m_env;
};
