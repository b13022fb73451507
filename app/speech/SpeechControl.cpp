#include "SpeechControl.h"

#include "Dialogs.h"
#include "EventWait.h"
#include "ExtensionHost.h"
#include "Paths.h"
#include "SettingsStore.h"
#include "SpeechEngine.h"
#include "SpeechNumbers.h"
#include "TextPreparation.h"
#include "VoiceSetup.h"
#include "SpeechTexts.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <optional>

SpeechControl::SpeechControl(SpeechEngine &voice, SpeechEngine &voice2, SpeechHost &host,
                             ExtensionHost &extensions, Dialogs &dialogs, SettingsStore &settings, const Clock &clock,
                             QObject *parent)
    : Speaker(parent),
      m_voice(voice),
      m_voice2(voice2),
      m_host(host),
      m_extensions(extensions),
      m_dialogs(dialogs),
      m_settings(settings),
      m_clock(clock)
{
    connect(&m_voice2, &SpeechEngine::textEnded, this, &SpeechControl::onRecorderEnded);
    // The recorder kept the disk's reserve free: the loudspeaker goes on, the
    // recording stays short, and the user reads why.
    connect(&m_voice2, &SpeechEngine::recordingStopped, this, [this](const QString &reason) {
        m_finishPending = false;
        m_recordingFailure = reason;
        m_host.showStatus(reason);
    });
    // Without a sound device the user hears nothing at all: the window says why.
    connect(&m_voice, &SpeechEngine::soundUnavailable, this,
            [this](const QString &message) { m_host.showStatus(message); });
    connect(&m_voice, &SpeechEngine::wordReached, this, &SpeechControl::onVoiceWord);
    connect(&m_voice, &SpeechEngine::textEnded, this, [this] {
        m_mapping.active = false;
        emit speakingStopped();
        if (m_finishPending && !m_voice.isSpeaking()) {
            m_finishPending = false;
            m_host.showStatus(SpeechTexts::speechFinished());
        }
    });
}

void SpeechControl::letEventsRun()
{
    EventWait::letEventsRun();
}

SpeechControl::Source SpeechControl::sourceOf(const SpeakRequest &request) const
{
    Source source;
    switch (request.source) {
    case SpeakRequest::Source::Document:
        break;
    case SpeakRequest::Source::Selection: {
        const SpeechHost::Selection selection = m_host.selection();
        source = Source{selection.text, selection.start};
        break;
    }
    case SpeakRequest::Source::Text:
        source = Source{request.text, -1};
        break;
    }
    return orWholeDocument(source);
}

SpeechControl::Source SpeechControl::orWholeDocument(const Source &source) const
{
    if (source.text.trimmed().isEmpty())
        return Source{m_host.documentText(), 0};
    return source;
}

std::optional<QString> SpeechControl::configureEngines()
{
    std::optional<int> numbers[4];
    const struct {
        const SettingKeys::Key &key;
        const char *name;
    } stored[4] = {{SettingKeys::Voice, "Stimme"},
                   {SettingKeys::PitchWhenSpeaking, "Tonhöhe"},
                   {SettingKeys::SpeedWhenSpeaking, "Geschwindigkeit"},
                   {SettingKeys::Volume, "Lautstärke"}};
    for (int i = 0; i < 4; ++i) {
        const QString value = m_settings.read(stored[i].key);
        numbers[i] = SpeechNumbers::wholeNumber(value);
        if (!numbers[i])
            return SpeechTexts::settingNotANumber(QString::fromUtf8(stored[i].name), value);
    }
    const VoiceSetup::Percentages percentages{*numbers[0], *numbers[1], *numbers[2], *numbers[3]};
    switch (VoiceSetup::apply(m_voice, &m_voice2, percentages)) {
    case VoiceSetup::Result::Ok:
        break;
    case VoiceSetup::Result::ModeRejected:
        return SpeechTexts::voiceRejected(*numbers[0] + 1);
    case VoiceSetup::Result::Overflow:
        return SpeechTexts::settingsOverflow();
    }
    return std::nullopt;
}

SpeakResult SpeechControl::speak(const SpeakRequest &request)
{
    return speakFrom(request, [this, &request] { return sourceOf(request); });
}

SpeakResult SpeechControl::speakFrom(const SpeakRequest &request, const std::function<Source()> &textToSpeak)
{
    if (m_host.IsLoading())
        return {};

    switch (request.recording) {
    case SpeakRequest::Recording::KeepFile:
        letEventsRun();
        break;
    case SpeakRequest::Recording::NewTemporary:
        setRecorderOutput(QString());
        break;
    case SpeakRequest::Recording::ToFile:
        setRecorderOutput(request.recordingFile);
        break;
    }

    const Source source = textToSpeak();
    const QString body = request.applyFilters ? m_extensions.ApplyTextFilters(source.text) : source.text;
    const TextPreparation::Prepared prepared = TextPreparation(m_clock).prepareParts(
        body, m_settings.read(SettingKeys::Prefix), m_settings.read(SettingKeys::Suffix));

    // The word being heard can be shown in the document only while the
    // document's own text is spoken: not a filtered text, and not one whose
    // time variables changed its length.
    m_mapping = Mapping();
    if (source.documentOffset >= 0 && body == source.text && prepared.body == body)
        m_mapping = Mapping{true, int(prepared.bodyStart), int(body.size()), source.documentOffset};

    resetBoth();
    m_finishPending = false;
    emit speakingStopped();
    // The end message belongs to the text before; it must not stand while
    // this one is read.
    if (m_host.statusText() == SpeechTexts::speechFinished())
        m_host.showCharacterCount();
    letEventsRun();

    // A stored value that is not a whole number, a mode the engine refuses or
    // an overflow ends the routine: nothing is spoken, and the caller learns
    // why (a script shows its error prompt), as does the status bar.
    if (const std::optional<QString> refused = configureEngines()) {
        m_host.showStatus(*refused);
        return SpeakResult{*refused, QString()};
    }

    m_host.setExportButtonEnabled(false);
    letEventsRun();

    m_recordingFailure.clear();
    m_voice.speak(prepared.text);
    m_voice2.speak(prepared.text);

    SpeakResult result{QString(), prepared.text};
    if (request.wait) {
        // Other handlers run inside this wait, another speak among them.
        m_aborted = false;
        EventWait::until([this] { return !m_voice.isSpeaking() || m_aborted; });
        resetBoth();
        enableExportIfRecorded();
        m_mapping.active = false;
        emit speakingStopped();
        // A script's file that could not be written is its caller's failure
        // too, never a text "read completely".
        if (m_recordingUserFile && !m_recordingFailure.isEmpty())
            result.failure = m_recordingFailure;
    }
    return result;
}

void SpeechControl::togglePause()
{
    if (m_isPaused) {
        m_voice.resume();
        m_voice2.resume();
        setPaused(false);
    } else {
        m_voice.pause();
        m_voice2.pause();
        setPaused(true);
    }
    letEventsRun();
    if (m_settings.read(SettingKeys::ShowPauseMsg) == QLatin1String("yes")) {
        m_settings.write(SettingKeys::ShowPauseMsg, QStringLiteral("false"));
        m_dialogs.message(SpeechTexts::pauseHint(), SpeechTexts::titleHint(), Dialogs::Icon::Information,
                          Dialogs::Buttons::Ok);
    }
    letEventsRun();
}

void SpeechControl::resetBoth()
{
    m_voice.reset();
    m_voice2.reset();
    // Both instances forget a pause on reset; so must the flag, or the next
    // Pause would resume instead of pausing.
    setPaused(false);
}

void SpeechControl::setPaused(bool paused)
{
    if (m_isPaused == paused)
        return;
    m_isPaused = paused;
    emit pausedChanged(paused);
}

void SpeechControl::enableExportIfRecorded()
{
    // The recorder's header is valid at every moment, so whatever it wrote
    // before the reset is a playable file; only an empty one is no recording.
    constexpr qint64 wavHeaderSize = 44;
    if (QFileInfo(m_voice2.outputFileName()).size() > wavHeaderSize)
        m_host.setExportButtonEnabled(true);
}

void SpeechControl::stop()
{
    resetBoth();
    enableExportIfRecorded();
    m_finishPending = false;
    m_mapping.active = false;
    emit speakingStopped();
    emit stopped();
}

void SpeechControl::stopLoudspeaker()
{
    m_voice.reset();
}

QStringList SpeechControl::voiceNames() const
{
    QStringList names;
    for (int mode = 1; mode <= m_voice.modeCount(); ++mode)
        names << m_voice.modeName(mode);
    return names;
}

void SpeechControl::ReadFromCursor(int cursorPosition)
{
    // The box's cursor position counts from 0 and is taken as a start counted
    // from 1, so reading begins with the character before the cursor; the
    // cursor before the first character reads the whole document. An empty
    // document is said in the status bar: no box stands in the way of the
    // next key.
    const QString document = m_host.documentText();
    if (document.isEmpty()) {
        m_host.showStatus(SpeechTexts::nothingToRead());
        return;
    }
    const int offset = cursorPosition >= 1 && cursorPosition <= document.size() ? cursorPosition - 1 : 0;
    speakFrom(SpeakRequest::document().withFilters(false),
              [&] { return orWholeDocument(Source{document.mid(offset), offset}); });
}

void SpeechControl::setRecorderOutput(const QString &path)
{
    // The temporary recording grows in place, so it can be exported while
    // it is written; a script's file replaces the old one only when complete.
    m_voice2.setOutputWrittenInPlace(path.isEmpty());
    m_recordingUserFile = !path.isEmpty();
    if (path.isEmpty()) {
        m_recordingNumber = SpeechNumbers::RandomBetween(1, 31000, m_random);
        Paths::ensureDir(Paths::tempDir());
        m_voice2.setOutputFileName(CurrentRecordingPath());
    } else {
        m_voice2.setOutputFileName(path);
    }
}

QString SpeechControl::CurrentRecordingPath() const
{
    return QDir(Paths::tempDir()).filePath(QString::number(m_recordingNumber) + QStringLiteral(".wav"));
}

void SpeechControl::ClearTempFolder()
{
    const QDir temp(Paths::tempDir());
    for (const QString &name : temp.entryList(QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(temp.filePath(name));
}

void SpeechControl::onVoiceWord(int position, int length)
{
    if (!m_mapping.active)
        return;
    const int inText = position - m_mapping.spokenStart;
    if (inText < 0 || inText >= m_mapping.length)
        return;
    emit wordInDocument(m_mapping.documentOffset + inText, qMin(length, m_mapping.length - inText));
}

void SpeechControl::onRecorderEnded()
{
    // The recording is complete: it can be exported. The recorder works far
    // faster than the loudspeaker plays, so "read completely" waits until
    // the loudspeaker has finished too.
    m_host.setExportButtonEnabled(true);
    if (m_voice.isSpeaking())
        m_finishPending = true;
    else
        m_host.showStatus(SpeechTexts::speechFinished());
}
