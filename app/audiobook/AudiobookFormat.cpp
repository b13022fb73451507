#include "AudiobookFormat.h"

namespace AudiobookFormats {

QString suffix(AudiobookFormat format)
{
    switch (format) {
    case AudiobookFormat::M4b: return QStringLiteral("m4b");
    case AudiobookFormat::Mp3: return QStringLiteral("mp3");
    case AudiobookFormat::Opus: return QStringLiteral("opus");
    }
    return {};
}

QString displayName(AudiobookFormat format)
{
    switch (format) {
    case AudiobookFormat::M4b: return QStringLiteral("M4B (AAC)");
    case AudiobookFormat::Mp3: return QStringLiteral("MP3");
    case AudiobookFormat::Opus: return QStringLiteral("Opus");
    }
    return {};
}

QString encoderName(AudiobookFormat format)
{
    switch (format) {
    case AudiobookFormat::M4b: return QStringLiteral("aac");
    case AudiobookFormat::Mp3: return QStringLiteral("libmp3lame");
    case AudiobookFormat::Opus: return QStringLiteral("libopus");
    }
    return {};
}

QString subtitleSuffix(SubtitleFormat format)
{
    switch (format) {
    case SubtitleFormat::None: return {};
    case SubtitleFormat::Srt: return QStringLiteral("srt");
    case SubtitleFormat::WebVtt: return QStringLiteral("vtt");
    case SubtitleFormat::Lrc: return QStringLiteral("lrc");
    }
    return {};
}

} // namespace AudiobookFormats
