#include "SpeakCommand.h"

#include "Ansi.h"
#include "Clock.h"
#include "ActiveDictionaries.h"
#include "AudioConverter.h"
#include "AudiobookTexts.h"
#include "BookCommand.h"
#include "DocumentIO.h"
#include "EspeakEngine.h"
#include "ExportTexts.h"
#include "ExtensionLoader.h"
#include "Paths.h"
#include "PluginExtensionHost.h"
#include "ReplacingFile.h"
#include "SettingKeys.h"
#include "SettingsStore.h"
#include "SpeechNumbers.h"
#include "SpeechTexts.h"
#include "TextPreparation.h"
#include "VoiceSetup.h"
#include "clsRegistryAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QThread>

#include <cerrno>

#include <unistd.h>


namespace {

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = Ansi::encode(text);
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

// Speaking a text, then making audiobooks.
QString usage()
{
    return SpeechTexts::usage() + AudiobookTexts::Command::usage();
}

int fail(std::FILE *err, const QString &message)
{
    print(err, QStringLiteral("quenora-speak: ") + message + QLatin1Char('\n'));
    return 1;
}

enum class ReadResult { Ok, Failed, TooLarge };

// Standard input has the size limit of a document: a pipe from /dev/zero
// must not grow the process without bound.
ReadResult readAll(std::FILE *in, QByteArray *bytes, qint64 limit)
{
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, in);
        if (bytes->size() + qint64(n) > limit)
            return ReadResult::TooLarge;
        bytes->append(buffer, qsizetype(n));
        if (n < sizeof buffer)
            return std::ferror(in) ? ReadResult::Failed : ReadResult::Ok;
    }
}

// A percentage given on the command line: a whole number from 0 to 100.
std::optional<int> optionPercent(const QString &value)
{
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    if (!ok || n < 0 || n > 100)
        return std::nullopt;
    return n;
}

} // namespace

bool SpeakCommand::parse(const QStringList &arguments, Options *options, QString *error)
{
    Options o;
    QStringList words;
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (optionsEnded || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
            words.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString name = arg;
        std::optional<QString> inlineValue;
        if (const qsizetype eq = arg.indexOf(QLatin1Char('=')); eq > 2) {
            name = arg.left(eq);
            inlineValue = arg.mid(eq + 1);
        }
        auto value = [&]() -> std::optional<QString> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < arguments.size())
                return arguments.at(++i);
            return std::nullopt;
        };
        std::optional<QString> *target = nullptr;
        if (name == QLatin1String("--voice"))
            target = &o.voice;
        else if (name == QLatin1String("--speed"))
            target = &o.speed;
        else if (name == QLatin1String("--pitch"))
            target = &o.pitch;
        else if (name == QLatin1String("--volume"))
            target = &o.volume;
        const bool recordOption = name == QLatin1String("--wav") || name == QLatin1String("--out");
        const bool dictionaryOption = name == QLatin1String("--dictionary");
        const bool pathOption = recordOption || dictionaryOption || name == QLatin1String("--file");
        if (target || pathOption) {
            const std::optional<QString> v = value();
            if (!v || (pathOption && v->isEmpty())) {
                *error = SpeechTexts::missingValue(name);
                return false;
            }
            if (target)
                *target = *v;
            else if (recordOption)
                o.wavPath = *v;
            else if (dictionaryOption)
                o.dictionaries.append(*v);
            else
                o.documentPath = *v;
            continue;
        }
        if (!inlineValue && name == QLatin1String("--list-voices"))
            o.listVoices = true;
        else if (!inlineValue && name == QLatin1String("--dry-run"))
            o.dryRun = true;
        else if (!inlineValue && name == QLatin1String("--no-filters"))
            o.noFilters = true;
        else if (!inlineValue && name == QLatin1String("--no-dictionary"))
            o.noDictionary = true;
        else if (!inlineValue && (name == QLatin1String("--help") || name == QLatin1String("-h")))
            o.help = true;
        else {
            *error = SpeechTexts::unknownOption(arg);
            return false;
        }
    }
    if (o.noDictionary && !o.dictionaries.isEmpty()) {
        *error = SpeechTexts::dictionaryAndNone();
        return false;
    }
    if (!o.documentPath.isEmpty() && !words.isEmpty()) {
        *error = SpeechTexts::fileAndText();
        return false;
    }
    o.readStdin = o.documentPath.isEmpty() && (words.isEmpty() || words == QStringList{QStringLiteral("-")});
    if (!o.readStdin)
        o.text = words.join(QLatin1Char(' '));
    *options = o;
    return true;
}

int SpeakCommand::run(const QStringList &arguments, std::FILE *in, std::FILE *out, std::FILE *err)
{
    return run(arguments, in, out, err, Limits{});
}

namespace {

// A step that can end the program: the German message, or nothing.
using Refusal = std::optional<QString>;

void listVoices(EspeakEngine &engine, std::FILE *out)
{
    for (int mode = 1; mode <= engine.modeCount(); ++mode) {
        print(out, QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                       .arg(mode - 1)
                       .arg(mode)
                       .arg(engine.modeName(mode))
                       .arg(engine.language(mode))
                       .arg(SpeechTexts::genderWord(engine.gender(mode))));
    }
}

// The voice, pitch, speed and volume to speak with: the options first, then
// the stored values with the defaults of speaking.
Refusal voiceSettings(const SpeakCommand::Options &options, EspeakEngine &engine, const SettingsStore &store,
                      VoiceSetup::Percentages *percent)
{
    struct Value {
        const std::optional<QString> &option;
        const char *optionName;
        const SettingKeys::Key &key;
        int *target;
    };
    const Value values[] = {
        {options.voice, "--voice", SettingKeys::Voice, &percent->voicePosition},
        {options.pitch, "--pitch", SettingKeys::PitchWhenSpeaking, &percent->pitch},
        {options.speed, "--speed", SettingKeys::SpeedWhenSpeaking, &percent->speed},
        {options.volume, "--volume", SettingKeys::Volume, &percent->volume},
    };
    for (const Value &v : values) {
        const QString name = QString::fromLatin1(v.optionName);
        if (v.option) {
            std::optional<int> n;
            if (v.target == &percent->voicePosition) {
                bool ok = false;
                const int position = v.option->trimmed().toInt(&ok);
                if (!ok || position < 0 || position >= engine.modeCount())
                    return SpeechTexts::voiceOutOfRange(*v.option, engine.modeCount());
                n = position;
            } else {
                n = optionPercent(*v.option);
                if (!n)
                    return SpeechTexts::invalidPercent(name, *v.option);
            }
            *v.target = *n;
        } else {
            const QString stored = store.read(v.key);
            const std::optional<int> n = SpeechNumbers::wholeNumber(stored);
            if (!n) {
                const QString key = QStringLiteral("%1/%2").arg(QLatin1String(v.key.section),
                                                                QLatin1String(v.key.name));
                // A number too large for the engine is not "no number".
                bool isNumber = false;
                stored.trimmed().toDouble(&isNumber);
                return isNumber ? SpeechTexts::storedValueOutOfRange(key, stored)
                                : SpeechTexts::invalidStoredValue(key, stored);
            }
            *v.target = *n;
        }
    }
    if (engine.modeCount() == 0)
        return SpeechTexts::noVoices();
    if (percent->voicePosition < 0 || percent->voicePosition >= engine.modeCount())
        return SpeechTexts::voiceOutOfRange(QString::number(percent->voicePosition), engine.modeCount());
    return std::nullopt;
}

// The text to speak: the words of the command line, a document (--file) or
// standard input.
Refusal readText(const SpeakCommand::Options &options, std::FILE *in, const SpeakCommand::Limits &limits,
                 QString *text)
{
    *text = options.text;
    if (!options.documentPath.isEmpty()) {
        // Exactly what the editor's document box would show.
        const DocumentText document = DocumentIO::readText(options.documentPath);
        if (!document.ok)
            return document.errorMessage;
        *text = document.text;
    } else if (options.readStdin) {
        QByteArray bytes;
        const ReadResult read = in ? readAll(in, &bytes, limits.inputBytes) : ReadResult::Failed;
        if (read == ReadResult::TooLarge)
            return SpeechTexts::inputTooLarge(limits.inputBytes);
        if (read == ReadResult::Failed)
            return SpeechTexts::unreadableInput();
        *text = Ansi::decode(bytes);
        if (text->startsWith(QChar(0xFEFF)))
            text->remove(0, 1);
        // The line end that every shell pipe adds is not part of the text.
        while (text->endsWith(QLatin1Char('\n')) || text->endsWith(QLatin1Char('\r')))
            text->chop(1);
    }
    return std::nullopt;
}

// The text as the engine gets it: filtered (unless --no-filters), in prefix
// and suffix, the time variables replaced.
QString prepareText(const QString &text, const SpeakCommand::Options &options, const SettingsStore &store)
{
    SystemClock clock;
    QString body = text;
    if (!options.noFilters) {
        // The editor's own extension host, so a dry run shows exactly what
        // the active filters make of the text.
        // A filter that crashes or hangs is switched off, said on stderr, and
        // the text goes on as it was.
        clsRegistryAccess registry;
        ExtensionProcess process(Paths::extensionHostProgram(), clock);
        ExtensionLoader loader(registry, process);
        body = PluginExtensionHost(registry, loader).ApplyTextFilters(body);
    }
    return TextPreparation(clock).prepare(body, store.read(SettingKeys::Prefix), store.read(SettingKeys::Suffix));
}

// The dictionaries the engine applies: files named on the command line must
// load; of the active set, what cannot be used is said and the rest applies.
struct Dictionaries {
    SettingsStore settings;
    std::unique_ptr<PronunciationSource> source;
    std::shared_ptr<const Pronouncer> pronouncer;

    void reportProblems(std::FILE *err) const
    {
        if (!pronouncer)
            return;
        for (const QString &problem : source->fileProblems() + pronouncer->problems())
            print(err, QStringLiteral("quenora-speak: ") + problem + QLatin1Char('\n'));
    }
};

Refusal chooseDictionaries(const SpeakCommand::Options &options, Dictionaries *dictionaries)
{
    if (!options.dictionaries.isEmpty()) {
        for (const QString &path : options.dictionaries) {
            if (const PronunciationFile file = PronunciationFile::load(path); !file.error.isEmpty())
                return file.error;
        }
        dictionaries->source = std::make_unique<FixedDictionaries>(options.dictionaries);
    } else if (!options.noDictionary) {
        dictionaries->source = std::make_unique<ActiveDictionaries>(dictionaries->settings);
    }
    dictionaries->pronouncer = dictionaries->source ? dictionaries->source->current() : nullptr;
    return std::nullopt;
}

Refusal configureEngine(EspeakEngine &engine, const VoiceSetup::Percentages &percent)
{
    switch (VoiceSetup::apply(engine, nullptr, percent)) {
    case VoiceSetup::Result::Ok:
        break;
    case VoiceSetup::Result::ModeRejected:
        return SpeechTexts::voiceOutOfRange(QString::number(percent.voicePosition), engine.modeCount());
    case VoiceSetup::Result::Overflow:
        return SpeechTexts::valueOutOfRange();
    }
    return std::nullopt;
}

// Speaks spoken to the loudspeaker, or records it into --wav/--out.
Refusal speakOrRecord(EspeakEngine &engine, const QString &spoken, const SpeakCommand::Options &options,
                      const SpeakCommand::Limits &limits)
{
    // A WAV is recorded straight into a new file beside the target, which
    // replaces it only when complete. Other formats are made from a WAV
    // recorded into a file without a name in the target's folder, which
    // vanishes with the program however it ends.
    const QString target = options.wavPath.isEmpty() ? QString() : QFileInfo(options.wavPath).absoluteFilePath();
    const AudioFormat format = AudioConverter::formatForPath(target);
    std::optional<ReplacingFile> scratch;
    if (!target.isEmpty()) {
        if (const ReplacingFile::Refusal refused = ReplacingFile::checkTarget(target))
            return SpeechTexts::unwritableWav(options.wavPath, refused.description);
        // A format this system cannot write is said before minutes of
        // speech are made for nothing.
        if (format != AudioFormat::Wav && !AudioConverter::writerOpens(format))
            return SpeechTexts::unwritableWav(options.wavPath,
                                              ExportTexts::writerRefused(AudioConverter::displayName(format)));
        if (format == AudioFormat::Wav) {
            engine.setOutputFileName(target);
        } else {
            scratch.emplace(target);
            if (!scratch->open())
                return SpeechTexts::unwritableWav(options.wavPath, scratch->errorDescription());
            engine.setOutputWrittenInPlace(true);
            engine.setOutputFileName(scratch->readablePath());
        }
    }
    if (limits.freeSpace)
        engine.setFreeSpaceProbe(limits.freeSpace);

    QEventLoop loop;
    QString recordingStopped;
    QObject::connect(&engine, &SpeechEngine::textEnded, &loop, [&] {
        if (!engine.isSpeaking())
            loop.quit();
    });
    QObject::connect(&engine, &SpeechEngine::recordingStopped, &loop, [&](const QString &reason) {
        recordingStopped = reason;
        loop.quit();
    });
    engine.speak(spoken);
    if (engine.isSpeaking())
        loop.exec();
    if (!recordingStopped.isEmpty()) {
        // A recording that stopped for space or failed replaces nothing.
        engine.reset();
        return recordingStopped;
    }
    if (scratch) {
        const AudioConverter::Result converted = AudioConverter::convert(scratch->readablePath(), target, format);
        scratch->discard();
        if (!converted.ok())
            return SpeechTexts::unwritableWav(options.wavPath, converted.description);
    } else if (!target.isEmpty() && !QFileInfo::exists(target)) {
        return SpeechTexts::recordingFailed(options.wavPath);
    }
    return std::nullopt;
}

// The voice a book is spoken with: the options and stored settings as for
// a text, the dictionaries named or the active ones.
Refusal bookVoice(const SpeakCommand::Options &options, std::FILE *err, BookVoice *voice)
{
    EspeakEngine engine;
    const auto voicesBuilt = qScopeGuard([&engine] { engine.modeCount(); });
    const SettingsStore store;
    if (const Refusal refused = voiceSettings(options, engine, store, &voice->percentages))
        return refused;
    Dictionaries dictionaries;
    if (const Refusal refused = chooseDictionaries(options, &dictionaries))
        return refused;
    dictionaries.reportProblems(err);
    voice->dictionaryFiles = options.dictionaries;
    voice->dictionaries = !options.dictionaries.isEmpty() ? BookVoice::Dictionaries::Files
                          : options.noDictionary          ? BookVoice::Dictionaries::None
                                                          : BookVoice::Dictionaries::Active;
    return std::nullopt;
}

int speakBooks(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    BookCommand::Options book;
    QString error;
    if (!BookCommand::parse(arguments, &book, &error))
        return fail(err, error + QLatin1Char('\n') + usage());
    if (book.help) {
        print(out, usage());
        return 0;
    }
    SpeakCommand::Options options;
    if (!SpeakCommand::parse(book.voiceArguments, &options, &error))
        return fail(err, error + QLatin1Char('\n') + usage());
    BookVoice voice;
    if (const Refusal refused = bookVoice(options, err, &voice))
        return fail(err, *refused);
    const SystemClock clock;
    const BookCommand::Environment environment{
        BookExport::run,
        clock,
        QCoreApplication::applicationFilePath(),
        QThread::idealThreadCount(),
        ::isatty(::fileno(out)) == 1,
        BookCommand::catchStopSignals(),
    };
    return BookCommand(environment).run(book, voice, out, err);
}

} // namespace

int SpeakCommand::run(const QStringList &arguments, std::FILE *in, std::FILE *out, std::FILE *err,
                      const Limits &limits)
{
    if (BookCommand::wanted(arguments))
        return speakBooks(arguments, out, err);
    Options options;
    QString error;
    if (!parse(arguments, &options, &error))
        return fail(err, error + QLatin1Char('\n') + usage());
    if (options.help) {
        print(out, usage());
        return 0;
    }

    EspeakEngine engine;
    // The engine's thread builds the voice list while this goes on. Every way
    // out waits for that first: a refusal right after this line would else
    // destroy the statics the list is built from while the thread reads them.
    const auto voicesBuilt = qScopeGuard([&engine] { engine.modeCount(); });
    if (options.listVoices) {
        listVoices(engine, out);
        return 0;
    }

    const SettingsStore store;
    VoiceSetup::Percentages percent;
    if (const Refusal refused = voiceSettings(options, engine, store, &percent))
        return fail(err, *refused);
    QString text;
    if (const Refusal refused = readText(options, in, limits, &text))
        return fail(err, *refused);
    const QString spoken = prepareText(text, options, store);
    Dictionaries dictionaries;
    if (const Refusal refused = chooseDictionaries(options, &dictionaries))
        return fail(err, *refused);
    engine.setPronunciation(dictionaries.source.get());
    if (options.dryRun) {
        const Pronouncer *pronouncer = dictionaries.pronouncer.get();
        print(out, (pronouncer ? pronouncer->apply(spoken).spoken : spoken) + QLatin1Char('\n'));
        dictionaries.reportProblems(err);
        return 0;
    }
    if (const Refusal refused = configureEngine(engine, percent))
        return fail(err, *refused);
    const Refusal refused = speakOrRecord(engine, spoken, options, limits);
    dictionaries.reportProblems(err);
    if (refused)
        return fail(err, *refused);
    return 0;
}
