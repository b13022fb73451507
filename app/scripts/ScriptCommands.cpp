#include "ScriptCommands.h"

#include "Clipboard.h"
#include "Clock.h"
#include "Dialogs.h"
#include "EventWait.h"
#include "FileErrors.h"
#include "ReplacingFile.h"
#include "ScriptHost.h"
#include "ScriptTexts.h"
#include "SettingsStore.h"
#include "Shell.h"
#include "Speaker.h"
#include "WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <optional>

namespace {

// The words of a command line as a shell splits them: blanks and tabs part
// them; '...' keeps everything as it stands; "..." keeps everything but a
// backslash before a double quote, a backslash, $ or `; elsewhere a
// backslash takes the next character as it is. Nothing is expanded. No
// words for an open quote or a line that ends in a lone backslash.
std::optional<QStringList> splitCommandLine(const QString &line)
{
    QStringList words;
    QString word;
    bool inWord = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == QLatin1Char('\'')) {
            const qsizetype end = line.indexOf(QLatin1Char('\''), i + 1);
            if (end < 0)
                return std::nullopt;
            word += line.mid(i + 1, end - i - 1);
            i = end;
        } else if (c == QLatin1Char('"')) {
            for (++i;; ++i) {
                if (i >= line.size())
                    return std::nullopt;
                const QChar d = line.at(i);
                if (d == QLatin1Char('"'))
                    break;
                if (d == QLatin1Char('\\') && i + 1 < line.size()
                    && QStringLiteral("\"\\$`").contains(line.at(i + 1)))
                    word += line.at(++i);
                else
                    word += d;
            }
        } else if (c == QLatin1Char('\\')) {
            if (++i >= line.size())
                return std::nullopt;
            word += line.at(i);
        } else {
            word += c;
        }
    }
    if (inWord)
        words << word;
    return words;
}

// A number of seconds as a script writes it: "10", "-5", "2.5" or "2,5".
std::optional<double> secondsFrom(const QString &text)
{
    bool ok = false;
    double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok)
        value = QLocale(QLocale::German).toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > 1e9)
        return std::nullopt;
    return value;
}

// Only "*" and "?" are wildcards; everything else in a name is literal.
QRegularExpression namePattern(const QString &pattern)
{
    QString expression;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('*'))
            expression += QLatin1String(".*");
        else if (c == QLatin1Char('?'))
            expression += QLatin1Char('.');
        else
            expression += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(expression),
                              QRegularExpression::DotMatchesEverythingOption);
}

// A name as the user reads it in a message: a NUL shown as "\0".
QString shownPath(QString path)
{
    return path.replace(QChar(0), QLatin1String("\\0"));
}

} // namespace

ScriptCommands::ScriptCommands(ScriptHost &host, Speaker &speaker, SettingsStore &settings, Dialogs &dialogs,
                               Shell &shell, Clock &clock, Clipboard &clipboard)
    : m_host(host),
      m_speaker(speaker),
      m_settings(settings),
      m_dialogs(dialogs),
      m_shell(shell),
      m_clock(clock),
      m_clipboard(clipboard)
{
}

QString ScriptCommands::substituteVariables(QString text) const
{
    // In this order, each in the result of the one before, so a clipboard
    // text holding "$Datum" ends up as the date. A source is read only when
    // its name occurs, which keeps a plain line cheap in a long script.
    const auto step = [&text](QLatin1String name, const auto &value) {
        if (text.contains(name))
            text.replace(name, value());
    };
    step(QLatin1String("$Zwischenablage"), [this] { return m_clipboard.text(); });
    step(QLatin1String("$Zeit"), [this] { return m_clock.now().toString(QStringLiteral("HH:mm")); });
    step(QLatin1String("$Datum"), [this] { return m_clock.now().toString(QStringLiteral("dd.MM.yyyy")); });
    step(QLatin1String("$Windows"), [] { return qEnvironmentVariable("windir"); });
    step(QLatin1String("$Markiert"), [this] { return m_host.selectedText(); });
    step(QLatin1String("$Text"), [this] { return m_host.documentText(); });
    return text;
}

QString ScriptCommands::commandWord(const QString &sBefehl)
{
    // Only blanks are trimmed: a tab stays part of the word, so a
    // tab-indented line matches nothing.
    qsizetype from = 0;
    qsizetype to = sBefehl.size();
    while (from < to && sBefehl.at(from) == QLatin1Char(' '))
        ++from;
    while (to > from && sBefehl.at(to - 1) == QLatin1Char(' '))
        --to;
    return sBefehl.mid(from, to - from);
}

const QStringList &ScriptCommands::variableNames()
{
    static const QStringList names{QStringLiteral("$Zwischenablage"), QStringLiteral("$Zeit"),
                                   QStringLiteral("$Datum"),          QStringLiteral("$Windows"),
                                   QStringLiteral("$Markiert"),       QStringLiteral("$Text")};
    return names;
}

ScriptCommands::Outcome ScriptCommands::ExecuteCommand(const QString &sBefehl, QString sPara1, QString sPara2)
{
    return ExecuteCommand(Where{}, sBefehl, std::move(sPara1), std::move(sPara2));
}

ScriptCommands::Outcome ScriptCommands::ExecuteCommand(const Where &where, const QString &sBefehl, QString sPara1,
                                                       QString sPara2)
{
    sPara1 = substituteVariables(std::move(sPara1));
    sPara2 = substituteVariables(std::move(sPara2));
    sPara1.replace(QLatin1String("%KOMMA%"), QLatin1String(","));
    sPara2.replace(QLatin1String("%KOMMA%"), QLatin1String(","));

    const Command *row = command(commandWord(sBefehl));
    m_failureInStatusBar = false;
    if (!row)
        return {};

    Call call{sPara1, sPara2, {}, std::nullopt};
    row->run(*this, call);
    if (const std::optional<Failure> &failure = call.failure) {
        const QString prompt = where.line > 0
                                   ? ScriptTexts::ErrorPrompt(failure->description, where.script, where.line)
                                   : ScriptTexts::ErrorPrompt(failure->description);
        const auto answer =
            m_dialogs.message(prompt, ScriptTexts::TitleError, Dialogs::Icon::Critical, Dialogs::Buttons::YesNo);
        if (answer != Dialogs::Answer::Yes)
            m_host.setScriptRunning(false);
        return {};
    }
    return call.outcome;
}

bool ScriptCommands::allowed(const SettingKeys::Key &key) const
{
    return m_settings.flag(key);
}

const QList<ScriptCommands::Command> &ScriptCommands::commands()
{
    using T = ParameterType;
    constexpr Builder offers = Builder::Offers;
    constexpr Builder omits = Builder::Omits;
    static const QList<Command> table{
        {QStringLiteral("Sprechen"), T::Nothing, 0, offers, ScriptTexts::HelpSprechen,
         [](ScriptCommands &s, Call &c) {
             // Into the recorder's file, which Exportieren may have chosen.
             const SpeakResult result =
                 s.m_speaker.speak(SpeakRequest::document().waiting().keepingRecording().withFilters(true));
             if (!result.ok())
                 c.failure = Failure{result.failure};
         }},
        {QStringLiteral("Sprechen2"), T::Text, 1, offers, ScriptTexts::HelpSprechen2,
         [](ScriptCommands &s, Call &c) {
             const SpeakResult result =
                 s.m_speaker.speak(SpeakRequest::ofText(c.p1).waiting().recordingInto(QString()).withFilters(false));
             if (!result.ok())
                 c.failure = Failure{result.failure};
         }},
        {QStringLiteral("Stopp"), T::Nothing, 0, offers, ScriptTexts::HelpStopp,
         [](ScriptCommands &s, Call &) {
             s.m_host.setScriptRunning(false);
             s.m_speaker.stopLoudspeaker();
         }},
        // One field for a type of "Nichts": the builder has always shown
        // it, and drops what is typed there.
        {QStringLiteral("Pause"), T::Nothing, 1, offers, ScriptTexts::HelpPause,
         [](ScriptCommands &s, Call &) { s.m_speaker.togglePause(); }},
        {QStringLiteral("Laden"), T::Text, 1, offers, ScriptTexts::HelpLaden,
         [](ScriptCommands &s, Call &c) {
             if (s.allowed(SettingKeys::VTSAllowRead) && !refusedForNul(c.p1, c.failure)) {
                 if (!WholeFile::FileExists(c.p1))
                     c.failure = Failure{ScriptTexts::FileNotFound(c.p1)};
                 else if (QString why; !s.m_host.loadDocument(c.p1, &why))
                     c.failure = Failure{ScriptTexts::CannotLoad(c.p1, why)};
             }
         }},
        {QStringLiteral("Speichern"), T::Text, 1, offers, ScriptTexts::HelpSpeichern,
         [](ScriptCommands &s, Call &c) {
             if (s.allowed(SettingKeys::VTSAllowRead) && !refusedForNul(c.p1, c.failure))
                 s.saveDocument(c.p1, c.failure);
         }},
        {QStringLiteral("Löschen"), T::Text, 1, omits, QString(),
         [](ScriptCommands &s, Call &c) {
             if (s.allowed(SettingKeys::VTSAllowRead) && !refusedForNul(c.p1, c.failure))
                 s.deleteFiles(c.p1, c.failure);
         }},
        {QStringLiteral("Stimme"), T::Text, 1, offers, ScriptTexts::HelpStimme,
         [](ScriptCommands &s, Call &c) { s.chooseVoice(c.p1, c.failure); }},
        {QStringLiteral("Geschwindigkeit"), T::Percent, 1, offers, ScriptTexts::HelpGeschwindigkeit,
         [](ScriptCommands &s, Call &c) { s.storePercentage(SettingKeys::SpeedWhenSpeaking, c.p1, c.failure); }},
        {QStringLiteral("Lautstärke"), T::Percent, 1, omits, QString(),
         [](ScriptCommands &s, Call &c) { s.storePercentage(SettingKeys::Volume, c.p1, c.failure); }},
        {QStringLiteral("Helligkeit"), T::Percent, 1, offers, ScriptTexts::HelpHelligkeit,
         [](ScriptCommands &s, Call &c) { s.storePercentage(SettingKeys::PitchWhenSpeaking, c.p1, c.failure); }},
        {QStringLiteral("Exportieren"), T::Text, 1, offers, ScriptTexts::HelpExportieren,
         [](ScriptCommands &s, Call &c) { s.exportTo(c.p1, c.failure); }},
        {QStringLiteral("Beenden"), T::Mode, 1, offers, ScriptTexts::HelpBeenden,
         [](ScriptCommands &s, Call &) {
             s.m_host.setScriptRunning(false);
             s.m_host.endProgram();
         }},
        {QStringLiteral("Wiederholen"), T::Nothing, 0, offers, ScriptTexts::HelpWiederholen,
         [](ScriptCommands &s, Call &c) {
             s.m_host.setScriptRunning(false);
             c.outcome = {Outcome::Restart, 0};
         }},
        {QStringLiteral("Springe"), T::Number, 1, offers, ScriptTexts::HelpSpringe,
         [](ScriptCommands &, Call &c) {
             bool ok = false;
             const int line = c.p1.trimmed().toInt(&ok);
             if (!ok || line < 1)
                 c.failure = Failure{ScriptTexts::BadLineNumber(c.p1)};
             else
                 c.outcome = {Outcome::Jump, line};
         }},
        {QStringLiteral("Text"), T::Text, 1, offers, ScriptTexts::HelpText,
         [](ScriptCommands &s, Call &c) { s.m_host.showStatus(c.p1); }},
        {QStringLiteral("Meldung"), T::Text, 1, offers, ScriptTexts::HelpMeldung,
         [](ScriptCommands &s, Call &c) {
             s.m_dialogs.message(c.p1, ScriptTexts::ProgramTitle, Dialogs::Icon::None, Dialogs::Buttons::Ok);
         }},
        {QStringLiteral("WartenBis"), T::Time, 1, offers, ScriptTexts::HelpWartenBis,
         [](ScriptCommands &s, Call &c) { s.waitUntilTime(c.p1); }},
        {QStringLiteral("Ersetzen"), T::Text, 2, offers, ScriptTexts::HelpErsetzen,
         [](ScriptCommands &s, Call &c) {
             // An empty search text would insert the replacement between
             // every two characters; it finds nothing instead.
             if (!c.p1.isEmpty())
                 s.m_host.setDocumentText(s.m_host.documentText().replace(c.p1, c.p2, Qt::CaseSensitive));
         }},
        {QStringLiteral("Warten"), T::Number, 1, offers, ScriptTexts::HelpWarten,
         [](ScriptCommands &s, Call &c) { s.waitSeconds(c.p1, c.failure); }},
        {QStringLiteral("Wenn_nicht"), T::Text, 2, offers, ScriptTexts::HelpWennNicht,
         [](ScriptCommands &s, Call &c) {
             if (c.p2 == c.p1)
                 s.m_host.setScriptRunning(false);
         }},
        {QStringLiteral("Wenn"), T::Text, 2, offers, ScriptTexts::HelpWenn,
         [](ScriptCommands &s, Call &c) {
             if (c.p2 != c.p1)
                 s.m_host.setScriptRunning(false);
             else
                 EventWait::letEventsRun();
         }},
        {QStringLiteral("Ausführen"), T::Text, 1, offers, ScriptTexts::HelpAusfuehren,
         [](ScriptCommands &s, Call &c) {
             if (s.allowed(SettingKeys::VTSAllowRead))
                 s.startProgram(c.p1, c.failure);
         }},
        {QStringLiteral("Dokument"), T::Text, 2, offers, ScriptTexts::HelpDokument,
         [](ScriptCommands &s, Call &c) {
             s.m_host.setDocumentText(c.p2 == QLatin1String("0") ? c.p1 : s.m_host.documentText() + c.p1);
         }},
        {QStringLiteral("Download"), T::Text, 2, offers, ScriptTexts::HelpDownload,
         [](ScriptCommands &s, Call &c) {
             if (s.allowed(SettingKeys::VTSAllowDownload))
                 s.download(c.p1, c.p2, c.failure);
         }},
    };
    return table;
}

const ScriptCommands::Command *ScriptCommands::command(const QString &word)
{
    for (const Command &row : commands()) {
        if (row.word == word)
            return &row;
    }
    return nullptr;
}

QString ScriptCommands::typeWord(ParameterType type)
{
    switch (type) {
    case ParameterType::Nothing:
        return ScriptTexts::TypeNothing;
    case ParameterType::Text:
        return ScriptTexts::TypeText;
    case ParameterType::Percent:
        return ScriptTexts::TypePercent;
    case ParameterType::Number:
        return ScriptTexts::TypeNumber;
    case ParameterType::Time:
        return ScriptTexts::TypeTime;
    case ParameterType::Mode:
        return ScriptTexts::TypeMode;
    }
    return QString();
}

void ScriptCommands::waitSeconds(const QString &parameter, std::optional<Failure> &failure)
{
    const auto seconds = secondsFrom(parameter);
    if (!seconds) {
        failure = Failure{ScriptTexts::NotANumber(parameter)};
        return;
    }
    const qint64 start = m_clock.now().toSecsSinceEpoch();
    const qint64 end = start + qint64(std::llround(*seconds));
    // A negative time is never reached: that wait lasts until the run is
    // stopped. Any other ends once the moment has come, also when the loop
    // was held up past it (a message box, a busy machine).
    const bool endless = *seconds < 0;
    EventWait::until([&] {
        return !m_host.scriptRunning() || (!endless && end - m_clock.now().toSecsSinceEpoch() <= 0);
    });
}

void ScriptCommands::waitUntilTime(const QString &parameter)
{
    EventWait::until([&] {
        return !m_host.scriptRunning() || m_clock.now().time().toString(QStringLiteral("HH:mm:ss")) == parameter;
    });
}

void ScriptCommands::storePercentage(const SettingKeys::Key &key, const QString &value,
                                     std::optional<Failure> &failure)
{
    // Stored only when the speaking routine and the dialogs can take it: a
    // whole number of percent. Anything else would stay stored for good.
    bool ok = false;
    const int percent = value.trimmed().toInt(&ok);
    if (!ok || percent < 0 || percent > 100) {
        failure = Failure{ScriptTexts::NotAPercentage(value)};
        return;
    }
    m_settings.write(key, QString::number(percent));
}

void ScriptCommands::download(const QString &url, const QString &target, std::optional<Failure> &failure)
{
    UrlDownload transfer(url, target, m_downloadLimits);
    transfer.start();
    bool cancelled = false;
    EventWait::until([&] {
        if (!cancelled && !m_host.scriptRunning()) {
            // ESC: the transfer stops, the old file stays.
            transfer.cancel();
            cancelled = true;
        }
        return transfer.done();
    });
    const UrlDownload::Result r = transfer.result();
    EventWait::letEventsRun();
    if (r.ok)
        return;
    m_host.showStatus(ScriptTexts::DownloadFailedPrefix + r.error);
    m_failureInStatusBar = true;
    // Stopped by ESC: the run ends anyway, there is nothing to ask.
    if (!cancelled)
        failure = Failure{ScriptTexts::DownloadFailed(url, r.error)};
}

// A NUL ends a name for the system, so "notiz.txt<NUL>.vts" would be taken
// as "notiz.txt": such a path is refused.
bool ScriptCommands::refusedForNul(const QString &path, std::optional<Failure> &failure)
{
    if (!path.contains(QChar(0)))
        return false;
    failure = Failure{ScriptTexts::CannotUsePath(shownPath(path), FileErrors::pathWithNul())};
    return true;
}

void ScriptCommands::exportTo(const QString &path, std::optional<Failure> &failure)
{
    // Empty: a fresh temporary recording. A file that can never be written
    // is said now, not found out after the speaking.
    if (!path.isEmpty()) {
        if (const ReplacingFile::Refusal refused = ReplacingFile::checkTarget(path)) {
            failure = Failure{ScriptTexts::CannotExport(shownPath(path), refused.description)};
            return;
        }
    }
    m_speaker.setRecorderOutput(path);
}

void ScriptCommands::deleteFiles(const QString &pattern, std::optional<Failure> &failure)
{
    const QFileInfo info(pattern);
    const QString name = info.fileName();
    const QDir dir = info.dir();
    QStringList victims;
    if (!name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?'))) {
        if (info.isFile())
            victims << info.filePath();
    } else if (!name.isEmpty()) {
        const QRegularExpression match = namePattern(name);
        // Files only, this folder only: a folder is never deleted. A hidden
        // file is matched only by a pattern that starts with its dot, as a
        // shell's "*" never takes ".bashrc" along.
        QDir::Filters filters = QDir::Files | QDir::System | QDir::CaseSensitive;
        if (name.startsWith(QLatin1Char('.')))
            filters |= QDir::Hidden;
        const QStringList names = dir.entryList(filters, QDir::Name);
        for (const QString &n : names) {
            if (match.match(n).hasMatch())
                victims << dir.filePath(n);
        }
    }
    if (victims.isEmpty()) {
        failure = Failure{ScriptTexts::FileNotFound(pattern)};
        return;
    }
    for (const QString &path : victims) {
        if (!QFile::remove(path)) {
            failure = Failure{ScriptTexts::CannotDelete(path)};
            return;
        }
    }
}

void ScriptCommands::startProgram(const QString &commandLine, std::optional<Failure> &failure)
{
    // Split as a shell would, but no shell runs: nothing in the line is
    // expanded or executed beyond the one program.
    const std::optional<QStringList> words = splitCommandLine(commandLine);
    if (!words) {
        failure = Failure{ScriptTexts::BadCommandLine(commandLine)};
        return;
    }
    QStringList arguments = *words;
    if (arguments.isEmpty()) {
        failure = Failure{ScriptTexts::NoProgram};
        return;
    }
    const QString program = arguments.takeFirst();
    if (!m_shell.startProgram(program, arguments))
        failure = Failure{ScriptTexts::CannotStart(program)};
}

void ScriptCommands::saveDocument(const QString &path, std::optional<Failure> &failure)
{
    QString description;
    if (path.isEmpty()) {
        failure = Failure{ScriptTexts::CannotSave(path, ScriptTexts::DownloadNoTarget)};
        return;
    }
    if (WholeFile::WriteWholeFile(path, m_host.documentText(), &description) != 0)
        failure = Failure{ScriptTexts::CannotSave(shownPath(path), description)};
}

void ScriptCommands::chooseVoice(const QString &name, std::optional<Failure> &failure)
{
    // The first voice whose name contains the text; stored as its position,
    // as the voice dialog stores it (position p is spoken as mode p + 1).
    const QStringList voices = m_speaker.voiceNames();
    for (int i = 0; !name.trimmed().isEmpty() && i < voices.size(); ++i) {
        if (voices.at(i).contains(name, Qt::CaseInsensitive)) {
            m_settings.write(SettingKeys::Voice, QString::number(i));
            return;
        }
    }
    failure = Failure{ScriptTexts::UnknownVoice(name)};
}
