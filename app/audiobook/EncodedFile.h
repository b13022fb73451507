#pragma once
// EncodedFile: one compressed audio file written with FFmpeg's libraries:
// M4B (AAC in MP4, the "ipod" muxer), MP3 (LAME, ID3v2 with CHAP/CTOC) or
// Opus in Ogg (chapter comments). Tags and chapter marks go in through
// FFmpeg's metadata; the cover is an attached picture (MP4, MP3) or a
// METADATA_BLOCK_PICTURE comment (Opus).
//
// Takes mono float samples at any rate in pieces; libswresample turns them
// into the encoder's rate and sample format. The file is written through
// ReplacingFile: it takes its name only when finish() succeeds, so a
// failure, a cancel or a kill leaves no partial file and keeps an older
// one of that name.

#include "AudiobookFormat.h"

#include <QList>
#include <QString>

#include <memory>

class EncodedFile
{
public:
    EncodedFile(AudiobookFormat format, int inputRate);
    ~EncodedFile();
    EncodedFile(const EncodedFile &) = delete;
    EncodedFile &operator=(const EncodedFile &) = delete;

    // Whether this FFmpeg has the format's encoder and muxer.
    static bool available(AudiobookFormat format);

    // Chapters are in frames of the input rate and must be known before the
    // first sample: the containers keep them in their headers.
    bool open(const QString &path, const FileTags &tags, const QList<ChapterMark> &chapters = {});
    bool write(const float *samples, qint64 count);
    bool writeSilence(qint64 count);
    bool finish();
    // Throws the unfinished file away.
    void discard();

    // German reason of the last failure.
    QString error() const { return m_error; }
    int outputRate() const;

private:
    struct State;
    bool fail(const QString &reason);
    bool encodeAvailable(bool flush);

    AudiobookFormat m_format;
    int m_inputRate;
    QString m_path;
    QString m_error;
    std::unique_ptr<State> m_state;
};
