#pragma once
// WavRecorder: the recorder instance's WAV file, 16-bit PCM mono at the
// engine's rate, written with libsndfile.
//
// The header is rewritten after every write, so the file is a valid WAV at
// every moment: a copy taken while recording, or the file left by a reset in
// the middle of a text, plays what was synthesised up to then. The file is
// RF64 that libsndfile keeps a plain RIFF WAVE while it is under 4 GiB, so a
// long recording never wraps its sizes and a short one plays everywhere.
//
// That holds for the program's own temporary recordings, written in place.
// A user's file (a script's export, quenora-speak --wav) is written beside
// its name instead (ReplacingFile) and takes the place of the old file only
// when the recording is complete: a recording that fails, stops for space or
// is cut short by a reset leaves the old file as it was, and one whose
// program is killed leaves nothing.
//
// Before and while writing it keeps the DiskReserve free on the file's
// volume: below it, the recorder stops for good (until the next open), an
// in-place file stays a valid WAV of what was written, and stoppedForSpace()
// tells. Used on the synthesis thread only.

#include "DiskReserve.h"

#include <QString>

#include <memory>

class ReplacingFile;

struct sf_private_tag;

class WavRecorder
{
public:
    explicit WavRecorder(int sampleRate, DiskReserve::Probe probe = DiskReserve::systemProbe());
    ~WavRecorder();
    WavRecorder(const WavRecorder &) = delete;
    WavRecorder &operator=(const WavRecorder &) = delete;

    enum class Placement { InPlace, ReplaceWhenComplete };

    // Creates (or, in place, truncates) the file; false with errorString()
    // when it cannot be written. A volume already below the reserve leaves
    // a recorder stopped for space (and, in place, an empty WAV).
    bool open(const QString &path, Placement placement = Placement::InPlace);
    bool isOpen() const { return m_file != nullptr; }
    QString path() const { return m_path; }
    // Appends samples; false when the disk refuses them or the reserve was
    // reached.
    bool write(const short *samples, long long count);
    // Ends the file. A replacing recording takes its target's place when
    // complete is true and nothing failed; false with errorString() when it
    // should have and could not.
    bool close(bool complete = true);
    // A recording for a user's file that could not be made: not opened,
    // not written or not put in place. errorString() says why.
    bool failed() const { return m_failed; }
    long long framesWritten() const { return m_frames; }
    QString errorString() const { return m_error; }
    bool stoppedForSpace() const { return m_stoppedForSpace; }

    // The free space is asked for again after this many bytes; the reserve
    // is kept for this much more, so it holds between two asks.
    static constexpr qint64 CheckEveryBytes = qint64(4) << 20;

private:
    bool keepsReserve(qint64 bytes);
    void failUsersFile(const QString &reason);

    int m_sampleRate;
    DiskReserve::Probe m_probe;
    sf_private_tag *m_file = nullptr;
    std::unique_ptr<ReplacingFile> m_replacement;
    bool m_failed = false;
    QString m_path;
    QString m_error;
    long long m_frames = 0;
    qint64 m_bytesSinceCheck = 0;
    bool m_stoppedForSpace = false;
};
