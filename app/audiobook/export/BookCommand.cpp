#include "BookCommand.h"

#include "AudiobookTexts.h"
#include "ChapterFinder.h"
#include "DocumentIO.h"
#include "DocumentResources.h"
#include "RichTextMessages.h"
#include "SafeFileName.h"
#include "SpeechTexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <csignal>

namespace Texts = AudiobookTexts::Command;

namespace {

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

const QStringList kBookValueOptions = {
    QStringLiteral("--out"),   QStringLiteral("--out-dir"), QStringLiteral("--format"),
    QStringLiteral("--subtitles"), QStringLiteral("--jobs"), QStringLiteral("--level"),
    QStringLiteral("--chapter-rule"), QStringLiteral("--file"),
};
const QStringList kVoiceValueOptions = {
    QStringLiteral("--voice"), QStringLiteral("--speed"),  QStringLiteral("--pitch"),
    QStringLiteral("--volume"), QStringLiteral("--dictionary"),
};
// What only speaking a text knows.
const QStringList kTextOnlyOptions = {
    QStringLiteral("--wav"), QStringLiteral("--dry-run"), QStringLiteral("--list-voices"),
    QStringLiteral("--no-filters"),
};

// An argument split into its name and a value given with '='.
struct Argument {
    QString name;
    std::optional<QString> inlineValue;
};

Argument split(const QString &arg)
{
    if (const qsizetype eq = arg.indexOf(u'='); eq > 2 && arg.startsWith(QLatin1String("--")))
        return {arg.left(eq), arg.mid(eq + 1)};
    return {arg, std::nullopt};
}

std::optional<AudiobookFormat> formatNamed(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("m4b"))
        return AudiobookFormat::M4b;
    if (n == QLatin1String("mp3"))
        return AudiobookFormat::Mp3;
    if (n == QLatin1String("opus"))
        return AudiobookFormat::Opus;
    return std::nullopt;
}

std::optional<AudiobookFormat> formatOfFile(const QString &file)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QLatin1String("ogg"))
        return AudiobookFormat::Opus;
    return formatNamed(suffix);
}

std::optional<SubtitleFormat> subtitlesNamed(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("srt"))
        return SubtitleFormat::Srt;
    if (n == QLatin1String("vtt"))
        return SubtitleFormat::WebVtt;
    if (n == QLatin1String("lrc"))
        return SubtitleFormat::Lrc;
    return std::nullopt;
}

std::optional<int> wholeNumber(const QString &value, int low, int high)
{
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    if (!ok || n < low || n > high)
        return std::nullopt;
    return n;
}

// The rest of the options once they are all read.
QString check(BookCommand::Options &o)
{
    if (!o.outFile.isEmpty() && !o.outDir.isEmpty())
        return Texts::outAndOutDir();
    if (o.outFile.isEmpty() && o.outDir.isEmpty())
        return Texts::chaptersWithoutTarget();
    if (o.oneFile && o.outDir.isEmpty())
        return Texts::oneFileWithoutOutDir();
    if (o.documents.isEmpty())
        return Texts::noDocuments();
    if (!o.outFile.isEmpty()) {
        if (o.documents.size() > 1)
            return Texts::outWithSeveralDocuments();
        const std::optional<AudiobookFormat> format = formatOfFile(o.outFile);
        if (!format)
            return Texts::unknownSuffix(o.outFile);
        if (o.format && *o.format != *format)
            return Texts::formatAndSuffix(AudiobookFormats::suffix(*o.format), o.outFile);
        o.format = format;
    }
    if (!o.chapterRule.isEmpty()) {
        const QRegularExpression rule(o.chapterRule);
        if (!rule.isValid())
            return AudiobookTexts::invalidChapterRule(rule.errorString());
    }
    return {};
}

// A document as messages name it, on one line: a file name may hold
// control characters. The summary names it as it was given, the progress
// line by its file name.
QString shown(const QString &path)
{
    return SafeFileName::oneLine(path);
}

QString signalName(int signal)
{
    switch (signal) {
    case SIGINT: return QStringLiteral("SIGINT");
    case SIGTERM: return QStringLiteral("SIGTERM");
    case SIGHUP: return QStringLiteral("SIGHUP");
    }
    return QString::number(signal);
}

// "1:02:03" or "4:05".
QString duration(qint64 ms)
{
    const qint64 seconds = (ms + 999) / 1000;
    const qint64 h = seconds / 3600;
    const qint64 m = seconds / 60 % 60;
    const qint64 s = seconds % 60;
    if (h > 0)
        return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(m).arg(s, 2, 10, QLatin1Char('0'));
}

// The playlist is written last and each file whole: when it and every file
// it lists are there, the book is complete.
bool playlistComplete(const QString &playlist)
{
    QFile file(playlist);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QDir folder = QFileInfo(playlist).dir();
    int entries = 0;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (!QFileInfo(folder.filePath(line)).isFile())
            return false;
        ++entries;
    }
    return entries > 0;
}

volatile std::sig_atomic_t g_stopSignal = 0;

void onStopSignal(int signal)
{
    g_stopSignal = signal;
}

} // namespace

bool BookCommand::wanted(const QStringList &arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const Argument arg = split(arguments.at(i));
        if (arg.name == QLatin1String("--"))
            return false;
        if (arg.name == QLatin1String("--chapters") || arg.name == QLatin1String("--out-dir"))
            return true;
        const bool takesValue = kBookValueOptions.contains(arg.name) || kVoiceValueOptions.contains(arg.name)
                                || arg.name == QLatin1String("--wav");
        if (takesValue && !arg.inlineValue)
            ++i;
    }
    return false;
}

bool BookCommand::parse(const QStringList &arguments, Options *options, QString *error)
{
    Options o;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &raw = arguments.at(i);
        if (optionsEnded || raw == QLatin1String("-") || !raw.startsWith(u'-')) {
            o.documents.append(raw);
            continue;
        }
        if (raw == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const Argument arg = split(raw);
        const bool bookValue = kBookValueOptions.contains(arg.name);
        const bool voiceValue = kVoiceValueOptions.contains(arg.name);
        if (bookValue || voiceValue) {
            std::optional<QString> value = arg.inlineValue;
            if (!value && i + 1 < arguments.size())
                value = arguments.at(++i);
            if (!value || value->isEmpty()) {
                *error = SpeechTexts::missingValue(arg.name);
                return false;
            }
            const QString &v = *value;
            if (voiceValue) {
                o.voiceArguments << arg.name << v;
            } else if (arg.name == QLatin1String("--out")) {
                o.outFile = v;
            } else if (arg.name == QLatin1String("--out-dir")) {
                o.outDir = v;
            } else if (arg.name == QLatin1String("--file")) {
                o.documents.append(v);
            } else if (arg.name == QLatin1String("--format")) {
                o.format = formatNamed(v);
                if (!o.format) {
                    *error = Texts::invalidFormat(v);
                    return false;
                }
            } else if (arg.name == QLatin1String("--subtitles")) {
                const std::optional<SubtitleFormat> subtitles = subtitlesNamed(v);
                if (!subtitles) {
                    *error = Texts::invalidSubtitles(v);
                    return false;
                }
                o.subtitles = *subtitles;
            } else if (arg.name == QLatin1String("--jobs")) {
                const std::optional<int> jobs = wholeNumber(v, 1, 1024);
                if (!jobs) {
                    *error = Texts::invalidJobs(v);
                    return false;
                }
                o.jobs = *jobs;
            } else if (arg.name == QLatin1String("--level")) {
                const std::optional<int> level = wholeNumber(v, 1, 6);
                if (!level) {
                    *error = Texts::invalidLevel(v);
                    return false;
                }
                o.level = *level;
            } else {
                o.chapterRule = v;
            }
            continue;
        }
        if (arg.inlineValue) {
            *error = SpeechTexts::unknownOption(raw);
            return false;
        }
        if (arg.name == QLatin1String("--chapters"))
            continue;
        if (arg.name == QLatin1String("--one-file"))
            o.oneFile = true;
        else if (arg.name == QLatin1String("--normalize"))
            o.normalize = true;
        else if (arg.name == QLatin1String("--force"))
            o.force = true;
        else if (arg.name == QLatin1String("--no-dictionary"))
            o.voiceArguments << arg.name;
        else if (arg.name == QLatin1String("--help") || arg.name == QLatin1String("-h"))
            o.help = true;
        else {
            *error = kTextOnlyOptions.contains(arg.name) ? Texts::notForAudiobooks(arg.name)
                                                        : SpeechTexts::unknownOption(raw);
            return false;
        }
    }
    if (!o.help) {
        if (const QString problem = check(o); !problem.isEmpty()) {
            *error = problem;
            return false;
        }
    }
    *options = o;
    return true;
}

// Where one document's audiobook goes.
struct BookCommand::Target {
    QString document;
    AudiobookOptions files; // layout, format, folder and the one file's name
    bool ownFolder = false; // the folder is made for this document
};

struct BookCommand::Outcome {
    enum class Kind { Converted, Skipped, Failed } kind = Kind::Failed;
    QString reason;
};

BookCommand::BookCommand(const Environment &environment)
    : m_env(environment)
{
}

std::function<int()> BookCommand::catchStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // A second signal ends the program the usual way.
    action.sa_flags = SA_RESETHAND;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    return [] { return int(g_stopSignal); };
}

int BookCommand::run(const Options &options, const BookVoice &voice, std::FILE *out, std::FILE *err) const
{
    const AudiobookFormat format = options.format.value_or(AudiobookFormat::Mp3);
    const bool severalFolders = options.outFile.isEmpty() && !options.oneFile && options.documents.size() > 1;

    // What holds for every document is refused before anything is spoken.
    AudiobookOptions shared;
    shared.format = format;
    shared.subtitles = options.subtitles;
    shared.normalize = options.normalize;
    if (options.outFile.isEmpty()) {
        shared.folder = options.outDir;
        shared.layout = AudiobookLayout::FilePerChapter;
        if (!QDir().mkpath(options.outDir)) {
            print(err, QStringLiteral("quenora-speak: ") + Texts::folderNotCreated(options.outDir) + u'\n');
            return 1;
        }
    } else {
        const QFileInfo file(options.outFile);
        shared.folder = file.path();
        shared.file = file.fileName();
        shared.layout = AudiobookLayout::OneFileWithChapters;
    }
    if (const QString refused = AudiobookWriter::refusal(shared); !refused.isEmpty()) {
        print(err, QStringLiteral("quenora-speak: ") + refused + u'\n');
        return 1;
    }

    // Every document's name, unique within this run.
    QList<Target> targets;
    QSet<QString> taken;
    for (const QString &document : options.documents) {
        Target target;
        target.document = document;
        target.files = shared;
        if (options.outFile.isEmpty() && (options.oneFile || severalFolders)) {
            const QString base =
                SafeFileName::fromTitle(QFileInfo(document).completeBaseName(), AudiobookTexts::bookFallback());
            QString name = base;
            for (int n = 2; taken.contains(name.toCaseFolded()); ++n)
                name = QStringLiteral("%1 (%2)").arg(base).arg(n);
            taken.insert(name.toCaseFolded());
            if (options.oneFile) {
                target.files.layout = AudiobookLayout::OneFileWithChapters;
                target.files.file = name + u'.' + AudiobookFormats::suffix(format);
            } else {
                target.files.folder = QDir(options.outDir).filePath(name);
                target.ownFolder = true;
            }
        }
        targets.append(target);
    }

    int converted = 0;
    int skipped = 0;
    QList<QPair<QString, QString>> failures;
    for (qsizetype i = 0; i < targets.size(); ++i) {
        const Outcome outcome = convert(options, voice, targets.at(i), int(i) + 1, int(targets.size()), out);
        const QString name = shown(targets.at(i).document);
        switch (outcome.kind) {
        case Outcome::Kind::Converted:
            ++converted;
            break;
        case Outcome::Kind::Skipped:
            ++skipped;
            print(out, Texts::skipped(name) + u'\n');
            break;
        case Outcome::Kind::Failed:
            failures.append({name, outcome.reason});
            print(err, QStringLiteral("quenora-speak: ") + Texts::failed(name, outcome.reason) + u'\n');
            break;
        }
    }

    QString summary = Texts::summary(converted, skipped, int(failures.size())) + u'\n';
    for (const auto &[name, reason] : std::as_const(failures))
        summary += Texts::failedLine(name, reason) + u'\n';
    print(out, summary);
    return failures.isEmpty() ? 0 : 1;
}

BookCommand::Outcome BookCommand::convert(const Options &options, const BookVoice &voice, const Target &target,
                                          int index, int count, std::FILE *out) const
{
    using Kind = Outcome::Kind;
    const int stop = m_env.stopSignal ? m_env.stopSignal() : 0;
    if (stop != 0)
        return {Kind::Failed, Texts::notStarted()};
    AudiobookOptions files = target.files;
    const bool oneFile = files.layout == AudiobookLayout::OneFileWithChapters;
    if (oneFile && !options.force && QFileInfo(QDir(files.folder).filePath(files.file)).isFile())
        return {Kind::Skipped, {}};

    GuardedTextDocument doc;
    const DocumentLoadResult loaded = DocumentIO::loadFile(target.document, &doc);
    if (!loaded.ok) {
        QString why = loaded.errorDescription;
        if (loaded.importStatus == ImportStatus::NeedsPassword || loaded.importStatus == ImportStatus::WrongPassword)
            why = RichTextMessages::passwordProtected();
        return {Kind::Failed, why};
    }
    ChapterFinder::Options find;
    find.level = options.level;
    if (!options.chapterRule.isEmpty())
        find.rule = QRegularExpression(options.chapterRule);
    Book book = Book::fromDocument(doc, find).selected();
    if (!book.error.isEmpty())
        return {Kind::Failed, book.error};
    if (book.words() == 0)
        return {Kind::Failed, Texts::noText()};
    const QString name = shown(QFileInfo(target.document).fileName());
    book.name = QFileInfo(target.document).fileName();
    if (book.info.title.trimmed().isEmpty())
        book.info.title = QFileInfo(target.document).completeBaseName();
    files.book = book.info;

    if (!oneFile && !options.force) {
        const QString playlist = QDir(files.folder).filePath(
            SafeFileName::fromTitle(files.book.title, AudiobookTexts::bookFallback()) + QStringLiteral(".m3u8"));
        if (playlistComplete(playlist))
            return {Kind::Skipped, {}};
    }
    if (target.ownFolder && !QDir().mkpath(files.folder))
        return {Kind::Failed, Texts::folderNotCreated(files.folder)};
    if (const QString refused = AudiobookWriter::refusal(files); !refused.isEmpty())
        return {Kind::Failed, refused};
    if (!book.structured)
        print(out, Texts::unstructured(shown(target.document)) + u'\n');

    QString lastLine;
    const BookExport::Progress progress = [&](const BookProgress &p) {
        if (m_env.terminal) {
            const int percent = int(p.share * 100.0);
            QString line = p.encoding ? Texts::progressEncoding(index, count, name, percent)
                                      : Texts::progress(index, count, name, p.chapter + 1, p.chapters,
                                                        SafeFileName::oneLine(p.title).left(40), percent);
            if (p.msLeft >= 0)
                line += Texts::timeLeft(duration(p.msLeft));
            if (line != lastLine) {
                print(out, u'\r' + line + QStringLiteral("\x1b[K"));
                lastLine = line;
            }
        }
        return !m_env.stopSignal || m_env.stopSignal() == 0;
    };
    BookExport::Workers workers;
    workers.jobs = options.jobs > 0 ? options.jobs : std::max(1, m_env.cores);
    workers.program = m_env.program;
    const AudiobookWriter::Result result = m_env.exporter(book, files, voice, workers, m_env.clock, progress);
    if (!lastLine.isEmpty())
        print(out, QStringLiteral("\r\x1b[K"));

    if (!result.ok()) {
        // A folder made for this document goes again if nothing is in it.
        if (target.ownFolder)
            QDir().rmdir(files.folder);
        const int signal = m_env.stopSignal ? m_env.stopSignal() : 0;
        // Workers get the terminal's signal too: how the export then ended
        // is the signal's doing.
        if (signal != 0)
            return {Kind::Failed, Texts::stoppedBySignal(signalName(signal))};
        return {Kind::Failed, result.message.isEmpty() ? AudiobookTexts::encoderFailed() : result.message};
    }
    if (m_env.terminal) {
        print(out, Texts::converted(name, int(result.files.size())) + u'\n');
    } else {
        QStringList written = result.files + result.subtitles;
        if (!result.playlist.isEmpty())
            written.append(result.playlist);
        for (const QString &file : std::as_const(written))
            print(out, Texts::written(file) + u'\n');
    }
    return {Kind::Converted, {}};
}
