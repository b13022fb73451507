#include "AudiobookChoices.h"

#include "SettingsStore.h"

#include <array>
#include <utility>

namespace {

template <typename T, std::size_t N>
T fromName(const QString &stored, const std::array<std::pair<const char *, T>, N> &names, T fallback)
{
    for (const auto &[name, value] : names) {
        if (stored == QLatin1String(name))
            return value;
    }
    return fallback;
}

template <typename T, std::size_t N>
QString toName(T value, const std::array<std::pair<const char *, T>, N> &names)
{
    for (const auto &[name, v] : names) {
        if (v == value)
            return QLatin1String(name);
    }
    return {};
}

constexpr std::array<std::pair<const char *, AudiobookLayout>, 2> kLayouts{{
    {"files", AudiobookLayout::FilePerChapter},
    {"one", AudiobookLayout::OneFileWithChapters},
}};
constexpr std::array<std::pair<const char *, AudiobookFormat>, 3> kFormats{{
    {"mp3", AudiobookFormat::Mp3},
    {"m4b", AudiobookFormat::M4b},
    {"opus", AudiobookFormat::Opus},
}};
constexpr std::array<std::pair<const char *, SubtitleFormat>, 4> kSubtitles{{
    {"none", SubtitleFormat::None},
    {"srt", SubtitleFormat::Srt},
    {"vtt", SubtitleFormat::WebVtt},
    {"lrc", SubtitleFormat::Lrc},
}};

// A pause in milliseconds, within what the dialog offers.
int pause(const SettingsStore &settings, const SettingKeys::Key &key, int fallback)
{
    bool ok = false;
    const int ms = settings.read(key).trimmed().toInt(&ok);
    return ok && ms >= 0 && ms <= AudiobookChoices::kMaxPauseMs ? ms : fallback;
}

} // namespace

AudiobookChoices AudiobookChoices::load(const SettingsStore &settings)
{
    AudiobookChoices c;
    c.layout = fromName(settings.read(SettingKeys::AudiobookLayout), kLayouts, c.layout);
    c.format = fromName(settings.read(SettingKeys::AudiobookFormat), kFormats, c.format);
    c.subtitles = fromName(settings.read(SettingKeys::AudiobookSubtitles), kSubtitles, c.subtitles);
    c.normalize = settings.flag(SettingKeys::AudiobookNormalize);
    c.silenceBeforeMs = pause(settings, SettingKeys::AudiobookSilenceBefore, c.silenceBeforeMs);
    c.silenceAfterMs = pause(settings, SettingKeys::AudiobookSilenceAfter, c.silenceAfterMs);
    c.paragraphPauseMs = pause(settings, SettingKeys::AudiobookParagraphPause, c.paragraphPauseMs);
    c.folder = settings.read(SettingKeys::AudiobookFolder);
    c.rule = settings.read(SettingKeys::AudiobookRule);
    return c;
}

bool AudiobookChoices::save(SettingsStore &settings) const
{
    const std::pair<const SettingKeys::Key &, QString> values[] = {
        {SettingKeys::AudiobookLayout, toName(layout, kLayouts)},
        {SettingKeys::AudiobookFormat, toName(format, kFormats)},
        {SettingKeys::AudiobookSubtitles, toName(subtitles, kSubtitles)},
        {SettingKeys::AudiobookNormalize, normalize ? QStringLiteral("1") : QStringLiteral("0")},
        {SettingKeys::AudiobookSilenceBefore, QString::number(silenceBeforeMs)},
        {SettingKeys::AudiobookSilenceAfter, QString::number(silenceAfterMs)},
        {SettingKeys::AudiobookParagraphPause, QString::number(paragraphPauseMs)},
        {SettingKeys::AudiobookFolder, folder},
        {SettingKeys::AudiobookRule, rule},
    };
    bool ok = true;
    for (const auto &[key, value] : values)
        ok = settings.write(key, value) && ok;
    return ok;
}
