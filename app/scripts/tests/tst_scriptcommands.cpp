#include "ScriptRig.h"
#include "ScriptTexts.h"

#include <QTest>
#include <QTimer>

#include <sys/stat.h>

class tst_ScriptCommands : public QObject
{
    Q_OBJECT
private slots:
    void variables_data();
    void variables();
    void dokument_data();
    void dokument();
    void commandWords_data();
    void commandWords();
    void conditions_data();
    void conditions();
    void voiceSettings_data();
    void voiceSettings();
    void stoppAndSettings();
    void meldungShowsProgramTitle();
    void gatedCommandsAreSilent_data();
    void gatedCommandsAreSilent();
    void wartenEndsOnTheFakeClock_data();
    void wartenEndsOnTheFakeClock();
    void wartenNegativeWaitsUntilStopped();
    void badNumberAsks_data();
    void badNumberAsks();
    void wartenBis();
    void loeschenMatchesNamesOnly();
    void ausfuehrenSplitsLikeAShell_data();
    void ausfuehrenSplitsLikeAShell();
    void speichernWritesPlainText();
    void pathsThatCannotBeUsedAsk_data();
    void pathsThatCannotBeUsedAsk();
    void stimmeChoosesByName_data();
    void stimmeChoosesByName();
    void ersetzenAndBeenden();
    void speakingThatCannotStartAsks();
};

void tst_ScriptCommands::variables_data()
{
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("expected");
    QTest::newRow("time") << "Es ist $Zeit Uhr" << "" << "Es ist 09:07 Uhr";
    QTest::newRow("time part stays for the speaking routine") << "$Zeit[h]" << "" << "09:07[h]";
    QTest::newRow("date") << "$Datum" << "" << "07.12.2026";
    QTest::newRow("clipboard then date") << "$Zwischenablage!" << "heute $Datum" << "heute 07.12.2026!";
    QTest::newRow("selection and document") << "$Markiert/$Text" << "" << "Welt/Hallo Welt";
    QTest::newRow("names are case-sensitive") << "$zeit $DATUM" << "" << "$zeit $DATUM";
    QTest::newRow("escaped comma") << "a%KOMMA%b" << "" << "a,b";
    QTest::newRow("comma from the clipboard") << "$Zwischenablage" << "x%KOMMA%y" << "x,y";
}

void tst_ScriptCommands::variables()
{
    QFETCH(QString, parameter);
    QFETCH(QString, clipboard);
    QFETCH(QString, expected);
    ScriptRig rig;
    rig.clipboard.content = clipboard;
    rig.host.document = QStringLiteral("Hallo Welt");
    rig.host.selection = QStringLiteral("Welt");
    rig.commands->ExecuteCommand(QStringLiteral("Sprechen2"), parameter);
    QCOMPARE(rig.speaker.requests.size(), 1);
    const SpeakRequest &request = rig.speaker.requests.first();
    QCOMPARE(request.source, SpeakRequest::Source::Text);
    QCOMPARE(request.text, expected);
    // Sprechen2: waits, a new temporary recording, no extension filters.
    QCOMPARE(request.wait, true);
    QCOMPARE(request.recording, SpeakRequest::Recording::NewTemporary);
    QCOMPARE(request.applyFilters, false);
}

void tst_ScriptCommands::dokument_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0 replaces") << "0" << "abc";
    QTest::newRow("1 appends") << "1" << "Textabc";
    QTest::newRow("2 appends") << "2" << "Textabc";
    QTest::newRow("none appends") << "" << "Textabc";
    QTest::newRow(" 0 appends") << " 0" << "Textabc";
}

void tst_ScriptCommands::dokument()
{
    QFETCH(QString, mode);
    QFETCH(QString, expected);
    ScriptRig rig;
    rig.host.document = QStringLiteral("Text");
    rig.commands->ExecuteCommand(QStringLiteral("Dokument"), QStringLiteral("abc"), mode);
    QCOMPARE(rig.host.document, expected);
}

void tst_ScriptCommands::commandWords_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("statusTexts");
    QTest::newRow("exact") << "Text" << 1;
    QTest::newRow("blanks around") << "  Text  " << 1;
    QTest::newRow("tab stays") << "\tText" << 0;
    QTest::newRow("lower case") << "text" << 0;
    QTest::newRow("unknown") << "Tex" << 0;
    QTest::newRow("blank then #") << "#Text" << 0;
}

void tst_ScriptCommands::commandWords()
{
    QFETCH(QString, word);
    QFETCH(int, statusTexts);
    ScriptRig rig;
    rig.commands->ExecuteCommand(word, QStringLiteral("x"));
    QCOMPARE(rig.host.statusHistory.size(), statusTexts);
    QCOMPARE(rig.dialogs.messages.size(), 0);
}

void tst_ScriptCommands::conditions_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("p1");
    QTest::addColumn<QString>("p2");
    QTest::addColumn<bool>("running");
    QTest::newRow("Wenn on today's date") << "Wenn" << "$Datum" << "07.12.2026" << true;
    QTest::newRow("Wenn on another date") << "Wenn" << "$Datum" << "24.12.2026" << false;
    QTest::newRow("Wenn blank before the time") << "Wenn" << "$Zeit" << " 09:07" << false;
    QTest::newRow("Wenn is case-sensitive") << "Wenn" << "a" << "A" << false;
    QTest::newRow("Wenn_nicht nothing selected") << "Wenn_nicht" << "$Markiert" << "" << false;
    QTest::newRow("Wenn_nicht differs") << "Wenn_nicht" << "a" << "b" << true;
}

void tst_ScriptCommands::conditions()
{
    QFETCH(QString, command);
    QFETCH(QString, p1);
    QFETCH(QString, p2);
    QFETCH(bool, running);
    ScriptRig rig;
    rig.host.running = true;
    rig.commands->ExecuteCommand(command, p1, p2);
    QCOMPARE(rig.host.running, running);
}

void tst_ScriptCommands::voiceSettings_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stored"); // "<alt>": the earlier value stays
    QTest::newRow("speed") << "Geschwindigkeit" << " 80" << "80";
    QTest::newRow("speed 0") << "Geschwindigkeit" << "0" << "0";
    QTest::newRow("speed as a word") << "Geschwindigkeit" << "schnell" << "<alt>";
    QTest::newRow("speed above 100") << "Geschwindigkeit" << "150" << "<alt>";
    QTest::newRow("speed empty") << "Geschwindigkeit" << "" << "<alt>";
    QTest::newRow("pitch") << "Helligkeit" << "12" << "12";
    QTest::newRow("pitch negative") << "Helligkeit" << "-5" << "<alt>";
    QTest::newRow("volume 100") << "Lautstärke" << "100" << "100";
    QTest::newRow("volume letters") << "Lautstärke" << "abc" << "<alt>";
    QTest::newRow("volume decimal") << "Lautstärke" << "2.5" << "<alt>";
}

// A value the command cannot take is refused with the error prompt and
// stores nothing; a good one is stored as a plain number.
void tst_ScriptCommands::voiceSettings()
{
    QFETCH(QString, command);
    QFETCH(QString, value);
    QFETCH(QString, stored);
    ScriptRig rig;
    rig.host.running = true;
    const SettingKeys::Key &key = command == "Geschwindigkeit" ? SettingKeys::SpeedWhenSpeaking
                                  : command == "Helligkeit"     ? SettingKeys::PitchWhenSpeaking
                                                                : SettingKeys::Volume;
    rig.settings->write(key, "33");
    rig.dialogs.answers << Dialogs::Answer::Yes;
    rig.commands->ExecuteCommand(command, value);
    const bool refused = stored == "<alt>";
    QCOMPARE(rig.settings->read(key), refused ? QStringLiteral("33") : stored);
    QCOMPARE(rig.dialogs.messages.size(), refused ? 1 : 0);
    if (refused) {
        QVERIFY(rig.dialogs.messages.first().text.contains(ScriptTexts::NotAPercentage(value)));
        QCOMPARE(rig.dialogs.messages.first().title, QStringLiteral("Fehler"));
    }
    QVERIFY(rig.host.running);
}

void tst_ScriptCommands::stoppAndSettings()
{
    ScriptRig rig;
    rig.host.running = true;
    rig.commands->ExecuteCommand(QStringLiteral("Pause"));
    rig.commands->ExecuteCommand(QStringLiteral("Exportieren"), QStringLiteral("/tmp/x.wav"));
    rig.commands->ExecuteCommand(QStringLiteral("Sprechen"));
    rig.commands->ExecuteCommand(QStringLiteral("Stopp"));
    QCOMPARE(rig.speaker.pauses, 1);
    QCOMPARE(rig.speaker.recorderOutputs, QStringList{QStringLiteral("/tmp/x.wav")});
    // Sprechen: the document, into the file Exportieren chose, filtered.
    QCOMPARE(rig.speaker.requests.size(), 1);
    QCOMPARE(rig.speaker.requests.first().source, SpeakRequest::Source::Document);
    QCOMPARE(rig.speaker.requests.first().wait, true);
    QCOMPARE(rig.speaker.requests.first().recording, SpeakRequest::Recording::KeepFile);
    QCOMPARE(rig.speaker.requests.first().applyFilters, true);
    // Stopp: the loudspeaker only; a recording goes on.
    QCOMPARE(rig.speaker.loudspeakerStops, 1);
    QCOMPARE(rig.speaker.stops, 0);
    QVERIFY(!rig.host.running);
}

void tst_ScriptCommands::meldungShowsProgramTitle()
{
    ScriptRig rig;
    rig.commands->ExecuteCommand(QStringLiteral("Meldung"), QStringLiteral("Hallo\\"));
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.first().text, QStringLiteral("Hallo\\"));
    QCOMPARE(rig.dialogs.messages.first().title, QStringLiteral("Quenora"));
    QCOMPARE(rig.dialogs.messages.first().icon, Dialogs::Icon::None);
}

void tst_ScriptCommands::gatedCommandsAreSilent_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("p1");
    QTest::addColumn<QString>("p2");
    QTest::newRow("Laden") << "Laden" << "c:\\x.txt" << "";
    QTest::newRow("Ausführen") << "Ausführen" << "/bin/true" << "";
    QTest::newRow("Löschen") << "Löschen" << "$HOME/*.txt" << "";
    QTest::newRow("Speichern") << "Speichern" << "$HOME/out.txt" << "";
    QTest::newRow("Download") << "Download" << "http://127.0.0.1:1/x" << "$HOME/dl.txt";
}

void tst_ScriptCommands::gatedCommandsAreSilent()
{
    QFETCH(QString, command);
    QFETCH(QString, p1);
    QFETCH(QString, p2);
    ScriptRig rig;
    rig.write(rig.path("keep.txt"), "alt");
    p1.replace("$HOME", rig.home.path());
    p2.replace("$HOME", rig.home.path());
    rig.settings->write(SettingKeys::VTSAllowRead, "0");
    rig.settings->write(SettingKeys::VTSAllowDownload, "true"); // only "1" allows
    rig.commands->ExecuteCommand(command, p1, p2);
    QCOMPARE(rig.dialogs.messages.size(), 0);
    QCOMPARE(rig.host.statusHistory.size(), 0);
    QCOMPARE(rig.host.loaded.size(), 0);
    QCOMPARE(rig.shell.calls.size(), 0);
    QCOMPARE(rig.read(rig.path("keep.txt")), QByteArray("alt"));
    QVERIFY(!QFile::exists(rig.path("out.txt")));
    QVERIFY(!QFile::exists(rig.path("dl.txt")));
}

void tst_ScriptCommands::wartenEndsOnTheFakeClock_data()
{
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<int>("stepSeconds");
    QTest::addColumn<int>("expectedElapsed");
    QTest::newRow("0 ends at once") << "0" << 1 << 0;
    QTest::newRow("5 in steps of one") << "5" << 1 << 5;
    QTest::newRow("decimal comma rounds") << "2,4" << 1 << 2;
    // The loop was held up past its second: it still ends.
    QTest::newRow("3 held up past the moment") << "3" << 10 << 10;
}

void tst_ScriptCommands::wartenEndsOnTheFakeClock()
{
    QFETCH(QString, seconds);
    QFETCH(int, stepSeconds);
    QFETCH(int, expectedElapsed);
    ScriptRig rig;
    rig.host.running = true;
    const QDateTime start = rig.clock.now();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { rig.clock.advanceSeconds(stepSeconds); });
    tick.start(1);
    rig.commands->ExecuteCommand(QStringLiteral("Warten"), seconds);
    QCOMPARE(start.secsTo(rig.clock.now()), expectedElapsed);
    QVERIFY(rig.host.running);
    QCOMPARE(rig.dialogs.messages.size(), 0);
}

void tst_ScriptCommands::wartenNegativeWaitsUntilStopped()
{
    ScriptRig rig;
    rig.host.running = true;
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        rig.clock.advanceSeconds(60);
        if (++ticks == 20)
            rig.host.running = false; // ESC
    });
    tick.start(1);
    rig.commands->ExecuteCommand(QStringLiteral("Warten"), QStringLiteral("-5"));
    QCOMPARE(ticks, 20);
}

void tst_ScriptCommands::badNumberAsks_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<Dialogs::Answer>("answer");
    QTest::addColumn<bool>("running");
    QTest::newRow("Warten abc, Ja") << "Warten" << "abc" << Dialogs::Answer::Yes << true;
    QTest::newRow("Warten abc, Nein") << "Warten" << "abc" << Dialogs::Answer::No << false;
    QTest::newRow("Warten empty") << "Warten" << "" << Dialogs::Answer::No << false;
    QTest::newRow("Laden missing file") << "Laden" << "/nicht/da.txt" << Dialogs::Answer::No << false;
    QTest::newRow("Löschen no match") << "Löschen" << "/nicht/da/*.txt" << Dialogs::Answer::Yes << true;
    QTest::newRow("Ausführen open quote") << "Ausführen" << "prog 'a b" << Dialogs::Answer::No << false;
    QTest::newRow("Ausführen lone backslash") << "Ausführen" << "prog a\\" << Dialogs::Answer::Yes << true;
}

void tst_ScriptCommands::badNumberAsks()
{
    QFETCH(QString, command);
    QFETCH(QString, parameter);
    QFETCH(Dialogs::Answer, answer);
    QFETCH(bool, running);
    ScriptRig rig;
    rig.host.running = true;
    rig.dialogs.answers.enqueue(answer);
    rig.commands->ExecuteCommand(command, parameter);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    const auto &m = rig.dialogs.messages.first();
    QVERIFY(m.text.startsWith(QStringLiteral("Folgender Fehler trat während der Ausführung des Taskscripts auf:\r\n\r\n")));
    QVERIFY(m.text.endsWith(QStringLiteral("\r\n\r\nMöchten Sie mit der Ausführung fortfahren?")));
    QCOMPARE(m.title, QStringLiteral("Fehler"));
    QCOMPARE(m.icon, Dialogs::Icon::Critical);
    QCOMPARE(m.buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(rig.host.running, running);
}

void tst_ScriptCommands::wartenBis()
{
    ScriptRig rig;
    rig.host.running = true;
    rig.clock.set(QDateTime(QDate(2026, 12, 7), QTime(21, 4, 58)));
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { rig.clock.advanceSeconds(1); });
    tick.start(1);
    rig.commands->ExecuteCommand(QStringLiteral("WartenBis"), QStringLiteral("21:05:03"));
    QCOMPARE(rig.clock.now().time(), QTime(21, 5, 3));
    QVERIFY(rig.host.running);

    // Without seconds the text never matches: only stopping ends it.
    int ticks = 0;
    QObject::disconnect(&tick, nullptr, nullptr, nullptr);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        rig.clock.advanceSeconds(1);
        if (++ticks == 200)
            rig.host.running = false;
    });
    rig.commands->ExecuteCommand(QStringLiteral("WartenBis"), QStringLiteral("21:05"));
    QCOMPARE(ticks, 200);
}

void tst_ScriptCommands::loeschenMatchesNamesOnly()
{
    ScriptRig rig;
    QDir dir(rig.path("d"));
    dir.mkpath(QStringLiteral("sub.txt"));
    for (const char *name : {"a.txt", "b.txt", "A.TXT", "ab.txt", "x.log", "[a].txt", ".hidden.txt"})
        rig.write(dir.filePath(QString::fromUtf8(name)), "x");
    rig.write(dir.filePath(QStringLiteral("sub.txt/inner.txt")), "x");

    rig.commands->ExecuteCommand(QStringLiteral("Löschen"), dir.filePath(QStringLiteral("?.txt")));
    QCOMPARE(dir.entryList(QDir::Files, QDir::Name),
             (QStringList{"A.TXT", "[a].txt", "ab.txt", "x.log"}));
    rig.commands->ExecuteCommand(QStringLiteral("Löschen"), dir.filePath(QStringLiteral("*.txt")));
    QCOMPARE(dir.entryList(QDir::Files, QDir::Name), (QStringList{"A.TXT", "x.log"}));
    // "*" passes over hidden files; a pattern with the dot takes them.
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral(".hidden.txt"))));
    rig.commands->ExecuteCommand(QStringLiteral("Löschen"), dir.filePath(QStringLiteral(".*.txt")));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral(".hidden.txt"))));
    // Never a folder, never below it.
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("sub.txt/inner.txt"))));
    rig.commands->ExecuteCommand(QStringLiteral("Löschen"), dir.filePath(QStringLiteral("x.log")));
    QCOMPARE(dir.entryList(QDir::Files, QDir::Name), (QStringList{"A.TXT"}));
    QCOMPARE(rig.dialogs.messages.size(), 0);
}

void tst_ScriptCommands::ausfuehrenSplitsLikeAShell_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("plain") << "/usr/bin/prog" << "/usr/bin/prog" << QStringList();
    QTest::newRow("quoted blank") << "prog \"a b\" c" << "prog" << QStringList{"a b", "c"};
    QTest::newRow("no shell expansion") << "prog $(rm -rf x) ; ls" << "prog"
                                        << QStringList{"$(rm", "-rf", "x)", ";", "ls"};
    QTest::newRow("single quotes") << "/usr/bin/touch '/tmp/a b' 'c\"d'" << "/usr/bin/touch"
                                   << QStringList{"/tmp/a b", "c\"d"};
    QTest::newRow("backslash outside quotes") << "prog a\\ b c\\'d" << "prog" << QStringList{"a b", "c'd"};
    QTest::newRow("backslash in double quotes") << "prog \"x\\\"y\\n\"" << "prog" << QStringList{"x\"y\\n"};
    QTest::newRow("empty quotes and tabs") << "prog\t''\t\"\"" << "prog" << QStringList{"", ""};
    QTest::newRow("quotes inside a word") << "prog --name='Anna Bell'" << "prog" << QStringList{"--name=Anna Bell"};
}

void tst_ScriptCommands::ausfuehrenSplitsLikeAShell()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    ScriptRig rig;
    rig.commands->ExecuteCommand(QStringLiteral("Ausführen"), commandLine);
    QCOMPARE(rig.shell.calls.size(), 1);
    QCOMPARE(rig.shell.calls.first().target, program);
    QCOMPARE(rig.shell.calls.first().arguments, arguments);

    // A program that cannot start asks whether to go on.
    rig.shell.result = false;
    rig.commands->ExecuteCommand(QStringLiteral("Ausführen"), commandLine);
    QCOMPARE(rig.dialogs.messages.size(), 1);
}

void tst_ScriptCommands::speichernWritesPlainText()
{
    ScriptRig rig;
    rig.host.document = QStringLiteral("Grüße\nZeile 2");
    const QString target = rig.path("out.txt");
    rig.write(target, "alt");
    rig.commands->ExecuteCommand(QStringLiteral("Speichern"), target);
    QCOMPARE(rig.read(target), QStringLiteral("Grüße\nZeile 2").toUtf8());
    rig.commands->ExecuteCommand(QStringLiteral("Speichern"), rig.path("fehlt/out.txt"));
    QCOMPARE(rig.dialogs.messages.size(), 1);
}

void tst_ScriptCommands::pathsThatCannotBeUsedAsk_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    const QString nul = QStringLiteral("notiz.txt") + QChar(0) + QStringLiteral(".vts");
    QTest::newRow("Exportieren into a folder") << "Exportieren" << "ordner" << "Der Pfad ist ein Ordner, keine Datei";
    QTest::newRow("Exportieren onto a pipe")
        << "Exportieren" << "pipe" << "Der Pfad ist eine benannte Pipe (FIFO), keine gewöhnliche Datei";
    QTest::newRow("Exportieren onto a device")
        << "Exportieren" << "null" << "Der Pfad ist ein Gerät, keine gewöhnliche Datei";
    QTest::newRow("Exportieren into a missing folder") << "Exportieren" << "fehlt/x.wav" << "Pfad nicht gefunden";
    QTest::newRow("Speichern onto a pipe")
        << "Speichern" << "pipe" << "Der Pfad ist eine benannte Pipe (FIFO), keine gewöhnliche Datei";
    QTest::newRow("Speichern with a NUL") << "Speichern" << nul << "Der Pfad enthält ein Nullzeichen";
    QTest::newRow("Löschen with a NUL") << "Löschen" << nul << "Der Pfad enthält ein Nullzeichen";
    QTest::newRow("Laden with a NUL") << "Laden" << nul << "Der Pfad enthält ein Nullzeichen";
}

// A path that cannot be used is refused with its reason in the script's
// error prompt, and nothing under it or under a shortened name changes.
void tst_ScriptCommands::pathsThatCannotBeUsedAsk()
{
    QFETCH(QString, command);
    QFETCH(QString, path);
    QFETCH(QString, reason);
    ScriptRig rig;
    rig.settings->write(SettingKeys::VTSAllowRead, "1");
    const QDir home(rig.home.path());
    QVERIFY(home.mkdir(QStringLiteral("ordner")));
    QCOMPARE(::mkfifo(QFile::encodeName(rig.path("pipe")).constData(), 0600), 0);
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), rig.path("null")));
    rig.write(rig.path("notiz.txt"), "alt");
    const QStringList before = home.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    rig.host.document = QStringLiteral("neu");
    rig.host.running = true;
    rig.dialogs.answers.enqueue(Dialogs::Answer::No);
    rig.commands->ExecuteCommand(command, rig.path(path));
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QVERIFY2(rig.dialogs.messages.first().text.contains(reason), qPrintable(rig.dialogs.messages.first().text));
    QVERIFY(!rig.host.running);
    QVERIFY(rig.speaker.recorderOutputs.isEmpty());
    QVERIFY(rig.host.loaded.isEmpty());
    QCOMPARE(home.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot), before);
    QCOMPARE(rig.read(rig.path("notiz.txt")), QByteArray("alt"));
    struct stat pipe {};
    QCOMPARE(::lstat(QFile::encodeName(rig.path("pipe")).constData(), &pipe), 0);
    QVERIFY(S_ISFIFO(pipe.st_mode));
}

void tst_ScriptCommands::stimmeChoosesByName_data()
{
    // Stored is the voice's position, as the voice dialog stores it.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stored");
    QTest::newRow("first match") << "Deutsch" << "0";
    QTest::newRow("case-insensitive") << "WEIBLICH" << "1";
    QTest::newRow("english female") << "english (f" << "3";
    QTest::newRow("none matches") << "Klingonisch" << "<alt>";
    QTest::newRow("empty") << "" << "<alt>";
    QTest::newRow("blank") << " " << "<alt>";
}

void tst_ScriptCommands::stimmeChoosesByName()
{
    QFETCH(QString, name);
    QFETCH(QString, stored);
    ScriptRig rig;
    rig.settings->write(SettingKeys::Voice, "9");
    rig.commands->ExecuteCommand(QStringLiteral("Stimme"), name);
    const bool refused = stored == "<alt>";
    QCOMPARE(rig.settings->read(SettingKeys::Voice), refused ? QStringLiteral("9") : stored);
    QCOMPARE(rig.dialogs.messages.size(), refused ? 1 : 0);
    if (refused)
        QVERIFY(rig.dialogs.messages.first().text.contains(ScriptTexts::UnknownVoice(name)));
}

void tst_ScriptCommands::ersetzenAndBeenden()
{
    ScriptRig rig;
    rig.host.running = true;
    rig.host.document = QStringLiteral("abAa");
    rig.commands->ExecuteCommand(QStringLiteral("Ersetzen"), QStringLiteral("a"), QStringLiteral("A"));
    QCOMPARE(rig.host.document, QStringLiteral("AbAA"));
    rig.commands->ExecuteCommand(QStringLiteral("Ersetzen"), QString(), QStringLiteral("x"));
    QCOMPARE(rig.host.document, QStringLiteral("AbAA"));
    rig.commands->ExecuteCommand(QStringLiteral("Beenden"));
    QCOMPARE(rig.host.programEnds, 1);
    QVERIFY(!rig.host.running);
}

void tst_ScriptCommands::speakingThatCannotStartAsks()
{
    // A stored setting the engine cannot take: the run's error prompt says
    // why nothing is heard, for both speaking commands.
    for (const QString &command : {QStringLiteral("Sprechen"), QStringLiteral("Sprechen2")}) {
        ScriptRig rig;
        rig.host.running = true;
        rig.speaker.failure = QStringLiteral("Die Einstellung ist keine ganze Zahl.");
        rig.dialogs.answers.enqueue(Dialogs::Answer::No);
        rig.commands->ExecuteCommand(command, QStringLiteral("Hallo"));
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QCOMPARE(rig.dialogs.messages.first().text,
                 ScriptTexts::ErrorPrompt(QStringLiteral("Die Einstellung ist keine ganze Zahl.")));
        QVERIFY(!rig.host.running);
    }
}

QTEST_MAIN(tst_ScriptCommands)
#include "tst_scriptcommands.moc"
