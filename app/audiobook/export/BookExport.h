#pragma once
// BookExport: speaks a Book into audiobook files: each selected chapter is
// synthesised by the speech engine with the user's voice settings and
// pronunciation dictionaries (ChapterSynthesizer), its samples and sentence
// and word positions go to an AudiobookWriter, which writes the files.
//
// With one job everything happens in this process. With more, chapters are
// synthesised at the same time in worker processes (the engine allows one
// synthesis per process), each into a chapter spool that is handed to the
// writer in chapter order.

#include "AudiobookWriter.h"
#include "Book.h"
#include "VoiceSetup.h"

#include <QString>
#include <QStringList>

#include <functional>

class ChapterSynthesizer;
class Clock;

// How the book is spoken.
struct BookVoice {
    VoiceSetup::Percentages percentages;
    enum class Dictionaries { Active, Files, None };
    Dictionaries dictionaries = Dictionaries::Active;
    QStringList dictionaryFiles; // with Files, in order
};

struct BookProgress {
    int chapter = 0;        // index in the selected chapters being spoken
    int chapters = 0;
    QString title;
    double share = 0.0;     // of the whole export, 0..1
    qint64 msLeft = -1;     // estimated, -1 while unknown
    bool encoding = false;  // the files are being written (after synthesis)
};

class BookExport
{
public:
    // Called on the calling thread; false cancels.
    using Progress = std::function<bool(const BookProgress &)>;

    struct Workers {
        int jobs = 1;
        // The program started for each worker ("quenora-speak"); empty:
        // every chapter is synthesised in this process.
        QString program;
    };

    // Speaks the selected chapters of book. refusal() of the options is
    // checked before any synthesis. clock times the estimate of what is left.
    static AudiobookWriter::Result run(const Book &book, const AudiobookOptions &options, const BookVoice &voice,
                                       const Workers &workers, const Clock &clock, const Progress &progress = {});

    // The export in this process with the given synthesiser (run() with
    // one job does this with an espeak-ng one).
    static AudiobookWriter::Result speak(const Book &book, const AudiobookOptions &options,
                                         ChapterSynthesizer &synthesizer, const Clock &clock,
                                         const Progress &progress = {});
};
