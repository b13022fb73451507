#pragma once
// The kinds of file an audiobook is written as, and what goes into each.

#include <QByteArray>
#include <QList>
#include <QString>

enum class AudiobookFormat { M4b, Mp3, Opus };
enum class AudiobookLayout { FilePerChapter, OneFileWithChapters };
enum class SubtitleFormat { None, Srt, WebVtt, Lrc };

// What the document says about itself; empty where it says nothing.
struct BookInfo {
    QString title;
    QString author;
    QString year;
    QByteArray cover; // JPEG or PNG bytes
};

// The tags of one written file.
struct FileTags {
    QString title;
    QString album;
    QString artist;
    QString year;
    int track = 0; // 0: no track number
    int trackTotal = 0;
    QByteArray cover;
};

// A chapter mark of a file, in frames of the audio given to the file.
struct ChapterMark {
    QString title;
    qint64 start = 0;
    qint64 end = 0;
};

namespace AudiobookFormats {

QString suffix(AudiobookFormat format);      // "m4b", without the dot
QString displayName(AudiobookFormat format); // "M4B (AAC)"
QString encoderName(AudiobookFormat format); // FFmpeg's name of the encoder
QString subtitleSuffix(SubtitleFormat format);

} // namespace AudiobookFormats
