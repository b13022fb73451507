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

ScriptCommands::ScriptCommands(ScriptHost &host, SettingsStore &settings, Dialogs &dialogs, Shell &shell,
                               Clock &clock, Clipboard &clipboard)
    : m_host(host), m_settings(settings), m_dialogs(dialogs), m_shell(shell), m_clock(clock), m_clipboard(clipboard)
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

bool ScriptCommands::isKnownCommand(const QString &word)
{
    // Every word run() answers to; a word added there belongs here too.
    static const QStringList words{
        QStringLiteral("Meldung"),     QStringLiteral("Sprechen"),        QStringLiteral("Sprechen2"),
        QStringLiteral("Pause"),       QStringLiteral("Stopp"),           QStringLiteral("Geschwindigkeit"),
        QStringLiteral("Lautstärke"),  QStringLiteral("Helligkeit"),      QStringLiteral("Exportieren"),
        QStringLiteral("Laden"),       QStringLiteral("Text"),            QStringLiteral("Dokument"),
        QStringLiteral("Wiederholen"), QStringLiteral("Wenn"),            QStringLiteral("Wenn_nicht"),
        QStringLiteral("WartenBis"),   QStringLiteral("Warten"),          QStringLiteral("Ersetzen"),
        QStringLiteral("Ausführen"),   QStringLiteral("Download"),        QStringLiteral("Löschen"),
        QStringLiteral("Speichern"),   QStringLiteral("Stimme"),          QStringLiteral("Beenden"),
        QStringLiteral("Springe")};
    return words.contains(word);
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

    const QString command = commandWord(sBefehl);
    m_failureInStatusBar = false;

    std::optional<Failure> failure;
    const Outcome outcome = run(command, sPara1, sPara2, failure);
    if (failure) {
        const QString prompt = where.line > 0
                                   ? ScriptTexts::ErrorPrompt(failure->description, where.script, where.line)
                                   : ScriptTexts::ErrorPrompt(failure->description);
        const auto answer =
            m_dialogs.message(prompt, ScriptTexts::TitleError, Dialogs::Icon::Critical, Dialogs::Buttons::YesNo);
        if (answer != Dialogs::Answer::Yes)
            m_host.setScriptRunning(false);
        return {};
    }
    return outcome;
}

bool ScriptCommands::allowed(const SettingKeys::Key &key) const
{
    return m_settings.read(key) == QLatin1String("1");
}

ScriptCommands::Outcome ScriptCommands::run(const QString &c, const QString &p1, const QString &p2,
                                            std::optional<Failure> &failure)
{
    const auto is = [&c](const char *word) { return c == QString::fromUtf8(word); };

    if (is("Meldung")) {
        m_dialogs.message(p1, ScriptTexts::ProgramTitle, Dialogs::Icon::None, Dialogs::Buttons::Ok);
    } else if (is("Sprechen") || is("Sprechen2")) {
        const QString notSpoken = is("Sprechen")
                                      ? m_host.speakText(m_host.documentText(), true, QStringLiteral("-1"), true)
                                      : m_host.speakText(p1, true, QString(), false);
        if (!notSpoken.isEmpty())
            failure = Failure{notSpoken};
    } else if (is("Pause")) {
        m_host.togglePause();
    } else if (is("Stopp")) {
        m_host.setScriptRunning(false);
        m_host.stopSpeaker();
    } else if (is("Geschwindigkeit")) {
        storePercentage(SettingKeys::SpeedWhenSpeaking, p1, failure);
    } else if (is("Lautstärke")) {
        storePercentage(SettingKeys::Volume, p1, failure);
    } else if (is("Helligkeit")) {
        storePercentage(SettingKeys::PitchWhenSpeaking, p1, failure);
    } else if (is("Exportieren")) {
        exportTo(p1, failure);
    } else if (is("Laden")) {
        if (allowed(SettingKeys::VTSAllowRead) && !refusedForNul(p1, failure)) {
            if (!WholeFile::FileExists(p1))
                failure = Failure{ScriptTexts::FileNotFound(p1)};
            else if (QString why; !m_host.loadDocument(p1, &why))
                failure = Failure{ScriptTexts::CannotLoad(p1, why)};
        }
    } else if (is("Text")) {
        m_host.showStatus(p1);
    } else if (is("Dokument")) {
        m_host.setDocumentText(p2 == QLatin1String("0") ? p1 : m_host.documentText() + p1);
    } else if (is("Wiederholen")) {
        m_host.setScriptRunning(false);
        return {Outcome::Restart, 0};
    } else if (is("Wenn")) {
        if (p2 != p1)
            m_host.setScriptRunning(false);
        else
            EventWait::letEventsRun();
    } else if (is("Wenn_nicht")) {
        if (p2 == p1)
            m_host.setScriptRunning(false);
    } else if (is("WartenBis")) {
        waitUntilTime(p1);
    } else if (is("Warten")) {
        waitSeconds(p1, failure);
    } else if (is("Ersetzen")) {
        // An empty search text would insert the replacement between every
        // two characters; it finds nothing instead.
        if (!p1.isEmpty())
            m_host.setDocumentText(m_host.documentText().replace(p1, p2, Qt::CaseSensitive));
    } else if (is("Ausführen")) {
        if (allowed(SettingKeys::VTSAllowRead))
            startProgram(p1, failure);
    } else if (is("Download")) {
        if (allowed(SettingKeys::VTSAllowDownload))
            download(p1, p2, failure);
    } else if (is("Löschen")) {
        if (allowed(SettingKeys::VTSAllowRead) && !refusedForNul(p1, failure))
            deleteFiles(p1, failure);
    } else if (is("Speichern")) {
        if (allowed(SettingKeys::VTSAllowRead) && !refusedForNul(p1, failure))
            saveDocument(p1, failure);
    } else if (is("Stimme")) {
        chooseVoice(p1, failure);
    } else if (is("Beenden")) {
        m_host.setScriptRunning(false);
        m_host.endProgram();
    } else if (is("Springe")) {
        bool ok = false;
        const int line = p1.trimmed().toInt(&ok);
        if (!ok || line < 1)
            failure = Failure{ScriptTexts::BadLineNumber(p1)};
        else
            return {Outcome::Jump, line};
    }
    return {};
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
    m_host.setRecorderOutput(path);
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
    const QStringList voices = m_host.voiceNames();
    for (int i = 0; !name.trimmed().isEmpty() && i < voices.size(); ++i) {
        if (voices.at(i).contains(name, Qt::CaseInsensitive)) {
            m_settings.write(SettingKeys::Voice, QString::number(i));
            return;
        }
    }
    failure = Failure{ScriptTexts::UnknownVoice(name)};
}
