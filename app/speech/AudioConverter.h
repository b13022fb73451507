#pragma once
// AudioConverter: writes a recording (any file libsndfile reads; in practice
// the recorder's 16-bit WAV) as WAV, FLAC, Ogg Vorbis, Opus or MP3, through
// libsndfile and the encoders it was built with. Used by the export of the
// main window and by quenora-speak.
//
// The target is written through ReplacingFile and takes its name only when
// complete, so a failing, cancelled or killed conversion never leaves a half
// file under the user's name and keeps any file that was there; a folder,
// device or pipe under that name is refused, never replaced. A recording that is still being written is read up to what its
// header says, which the recorder keeps current: the result is a valid,
// shorter file. Errors come back with the number and German description
// that the program's file messages use.
//
// Safe to run on a worker thread; progress and cancelling go through a
// callback.

#include <QList>
#include <QString>

#include <functional>
#include <optional>

enum class AudioFormat { Wav, Flac, OggVorbis, Opus, Mp3 };

class AudioConverter
{
public:
    struct Result {
        enum class Status { Ok, Cancelled, Failed };
        Status status = Status::Failed;
        int errorNumber = 0;
        QString description;
        long long framesWritten = 0;
        int sampleRate = 0;

        bool ok() const { return status == Status::Ok; }
    };

    // Called with the share done (0..1) after every piece; false cancels.
    using Progress = std::function<bool(double)>;

    // Every format, WAV first.
    static QList<AudioFormat> allFormats();
    // The formats whose writer really opens here, WAV first. Each is tried
    // by writing a short piece of silence into memory: libsndfile's own
    // format check says yes for formats whose encoder is missing at run time.
    static QList<AudioFormat> availableFormats();
    static bool writerOpens(AudioFormat format);

    static QString suffix(AudioFormat format);      // "mp3", without the dot
    static QString displayName(AudioFormat format); // "MP3"
    // "MP3 Dateien (*.mp3)|*.mp3"; WAV keeps its long-standing entry.
    static QString filterEntry(AudioFormat format);
    // Known suffixes, any case; nothing for others.
    static std::optional<AudioFormat> formatForSuffix(const QString &suffix);
    // What a target name asks for: its suffix, else WAV (a name without a
    // known suffix has always received the WAV as it is).
    static AudioFormat formatForPath(const QString &path);
    // The rate a format is written at for a source of sourceRate: the same
    // where the encoder takes it, else the next rate it takes.
    static int targetSampleRate(AudioFormat format, int sourceRate);

    // The libsndfile format a WAV copy of frames frames is written in: plain
    // WAV in the source's encoding where that fits 32-bit RIFF sizes, RF64
    // where the data would pass 4 GiB (a plain WAV's sizes would wrap).
    static int wavFileFormat(int sourceFormat, int channels, int sampleRate, qint64 frames);

    static Result convert(const QString &source, const QString &target, AudioFormat format,
                          const Progress &progress = {});
};
