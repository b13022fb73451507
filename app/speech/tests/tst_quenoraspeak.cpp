#include "SettingsStore.h"
#include "WavAnalysis.h"

#include <QtTest>

#include <csignal>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

// The quenora-speak program, run as a user would run it, each test with its
// own settings hive.
class tst_QuenoraSpeak : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void dryRunPrintsWhatWouldBeSpoken_data();
    void dryRunPrintsWhatWouldBeSpoken();
    void dictionaryOptions_data();
    void dictionaryOptions();
    void listVoices();
    void errorsExitWithOneAndAGermanMessage_data();
    void errorsExitWithOneAndAGermanMessage();
    void unreadableInputIsAnError();
    void recordsAValidWavAndLeavesNoTemporaryFile();
    void storedSettingsApplyUnlessAnOptionIsGiven();
    void playsWithoutASoundCard();
    void help();
    void speaksADocumentFile();
    void refusesTargetsThatAreNoRegularFiles_data();
    void refusesTargetsThatAreNoRegularFiles();
    void interruptedRecordingLeavesNoTemporaryFile_data();
    void interruptedRecordingLeavesNoTemporaryFile();

private:
    struct Result {
        int exitCode = -1;
        QString out;
        QString err;
        qint64 ms = 0;
    };
    Result run(const QStringList &args, const QByteArray &input = {}, bool nullAudio = true);
    std::unique_ptr<QTemporaryDir> m_home;
};

void tst_QuenoraSpeak::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("QUENORA_HOME", QFile::encodeName(m_home->path()));
}

void tst_QuenoraSpeak::cleanup()
{
    m_home.reset();
}

tst_QuenoraSpeak::Result tst_QuenoraSpeak::run(const QStringList &args, const QByteArray &input,
                                               bool nullAudio)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUENORA_HOME"), m_home->path());
    if (nullAudio)
        env.insert(QStringLiteral("QUENORA_AUDIO"), QStringLiteral("null"));
    process.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(QUENORA_SPEAK_BINARY), args);
    Result r;
    if (!process.waitForStarted(10000))
        return r;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return r;
    }
    r.ms = clock.elapsed();
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}

void tst_QuenoraSpeak::dryRunPrintsWhatWouldBeSpoken_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("expected");
    const QString weekday = QString::number(QDate::currentDate().dayOfWeek() % 7 + 1);
    QTest::newRow("plain") << "" << "" << QStringList{"Hallo"} << QByteArray() << " Hallo \n";
    QTest::newRow("prefix, empty suffix") << "Achtung" << "" << QStringList{"Hallo"} << QByteArray()
                                          << "Achtung Hallo \n";
    QTest::newRow("prefix and suffix") << "Achtung" << "Ende" << QStringList{"Hallo"} << QByteArray()
                                       << "Achtung Hallo Ende\n";
    QTest::newRow("words joined") << "" << "" << QStringList{"Hallo", "Welt"} << QByteArray()
                                  << " Hallo Welt \n";
    QTest::newRow("time variable in the suffix")
        << "" << "Tag $Zeit[w]" << QStringList{"x"} << QByteArray() << " x Tag " + weekday + "\n";
    QTest::newRow("stdin through the Ansi codec")
        << "" << "" << QStringList{"-"} << QByteArray("Gr\xfc\xdf" "e\r\n") << " Grüße \n";
    QTest::newRow("stdin as UTF-8 without TEXT")
        << "" << "" << QStringList{} << QByteArray("Grüße\nzwei Zeilen\n") << " Grüße\nzwei Zeilen \n";
    QTest::newRow("text after --") << "" << "" << QStringList{"--", "-5 Grad"} << QByteArray()
                                   << " -5 Grad \n";
}

void tst_QuenoraSpeak::dryRunPrintsWhatWouldBeSpoken()
{
    QFETCH(QString, prefix);
    QFETCH(QString, suffix);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(QString, expected);
    SettingsStore store;
    QVERIFY(store.write(SettingKeys::Prefix, prefix));
    QVERIFY(store.write(SettingKeys::Suffix, suffix));
    const Result r = run(QStringList{"--dry-run"} + args, input);
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, expected);
}

void tst_QuenoraSpeak::dictionaryOptions_data()
{
    QTest::addColumn<QString>("storedSet"); // the setting of the active set; "" unset
    QTest::addColumn<QStringList>("args");  // "@x" is the file x in the test's folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString text = QStringLiteral("Die EZB senkt z. B. den Zins");
    QTest::newRow("shipped German dictionary by default")
        << "" << QStringList{text} << 0 << " Die EZB senkt zum Beispiel den Zins \n" << "";
    QTest::newRow("active set switched off") << "0\tdata:deutsch.txt" << QStringList{text} << 0
                                             << " Die EZB senkt z. B. den Zins \n" << "";
    QTest::newRow("user's dictionary before the shipped one")
        << "1\t@eins.txt\n1\tdata:deutsch.txt" << QStringList{text} << 0
        << " Die Europäische Zentralbank senkt zum Beispiel den Zins \n" << "";
    QTest::newRow("--dictionary instead of the active set, in order")
        << "" << QStringList{"--dictionary", "@zwei.txt", "--dictionary=@eins.txt", text} << 0
        << " Die Zentralbank senkt z. B. den Zins \n" << "";
    QTest::newRow("--no-dictionary") << "1\t@eins.txt" << QStringList{"--no-dictionary", text} << 0
                                     << " Die EZB senkt z. B. den Zins \n" << "";
    QTest::newRow("broken lines said, the rest applies")
        << "" << QStringList{"--dictionary", "@kaputt.txt", text} << 0 << " Die Bank senkt z. B. den Zins \n"
        << "quenora-speak: kaputt.txt, Zeile 2: Geschriebene und gesprochene Form müssen durch einen Tabulator "
           "getrennt sein.\nquenora-speak: kaputt.txt, Zeile 3 („(x“): Ungültiger regulärer Ausdruck: ";
    QTest::newRow("missing --dictionary file") << "" << QStringList{"--dictionary", "@fehlt.txt", text} << 1 << ""
                                               << "quenora-speak: Das Wörterbuch „@fehlt.txt“ kann nicht gelesen "
                                                  "werden: Datei nicht gefunden\n";
    QTest::newRow("--dictionary a FIFO") << "" << QStringList{"--dictionary", "@pipe", text} << 1 << ""
                                         << "quenora-speak: Das Wörterbuch „@pipe“ kann nicht gelesen werden: Der "
                                            "Pfad ist eine benannte Pipe (FIFO), keine gewöhnliche Datei\n";
    QTest::newRow("both options") << "" << QStringList{"--no-dictionary", "--dictionary", "@eins.txt", text} << 1
                                  << "" << "quenora-speak: --dictionary und --no-dictionary schließen einander aus.";
}

void tst_QuenoraSpeak::dictionaryOptions()
{
    QFETCH(QString, storedSet);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const QString folder = m_home->path() + QLatin1Char('/');
    const auto write = [&](const char *name, const QByteArray &bytes) {
        QFile f(folder + QLatin1String(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("eins.txt", "EZB\tEuropäische Zentralbank\tc\n");
    write("zwei.txt", "# zuerst\nEZB\tZentralbank\n");
    write("kaputt.txt", "EZB\tBank\nohne Tab\n(x\ty\tr\n");
    QCOMPARE(::mkfifo(QFile::encodeName(folder + QStringLiteral("pipe")).constData(), 0600), 0);
    if (!storedSet.isEmpty()) {
        SettingsStore store;
        QVERIFY(store.write(SettingKeys::PronunciationDictionaries, QString(storedSet).replace('@', folder)));
    }
    for (QString &arg : args)
        arg.replace(QLatin1Char('@'), folder);
    const Result r = run(QStringList{"--dry-run", "--no-filters"} + args);
    QVERIFY2(err.isEmpty() ? r.err.isEmpty() : r.err.startsWith(QString(err).replace(QLatin1Char('@'), folder)),
             qPrintable(r.err));
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.out, out);
}

void tst_QuenoraSpeak::listVoices()
{
    const Result r = run({"--list-voices"});
    QCOMPARE(r.exitCode, 0);
    QStringList lines = r.out.split(QLatin1Char('\n'));
    QCOMPARE(lines.takeLast(), QString());
    QVERIFY(lines.size() >= 12);
    QCOMPARE(lines.at(0), QStringLiteral("0\t1\tDeutsch (männlich)\t1031\tmännlich"));
    QCOMPARE(lines.at(1), QStringLiteral("1\t2\tDeutsch (weiblich)\t1031\tweiblich"));
    QCOMPARE(lines.at(2), QStringLiteral("2\t3\tEnglisch (Vereinigte Staaten) (männlich)\t1033\tmännlich"));
    const QRegularExpression format(QStringLiteral("^(\\d+)\t(\\d+)\t[^\t]+\t\\d+\t(männlich|weiblich)$"));
    for (int i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch m = format.match(lines.at(i));
        QVERIFY2(m.hasMatch(), qPrintable(lines.at(i)));
        QCOMPARE(m.captured(1).toInt(), i);
        QCOMPARE(m.captured(2).toInt(), i + 1);
    }
}

void tst_QuenoraSpeak::errorsExitWithOneAndAGermanMessage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("storedVoice");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown option") << QStringList{"--laut", "x"} << "" << "Unbekannte Option: --laut";
    QTest::newRow("voice out of range") << QStringList{"--voice", "9999", "x"} << "" << "gibt es nicht";
    QTest::newRow("negative voice") << QStringList{"--voice", "-1", "x"} << "" << "gibt es nicht";
    QTest::newRow("voice not a number") << QStringList{"--voice", "zwei", "x"} << "" << "gibt es nicht";
    QTest::newRow("stored voice out of range") << QStringList{"x"} << "9999" << "gibt es nicht";
    QTest::newRow("stored voice not a number") << QStringList{"x"} << "zwei" << "keine ganze Zahl";
    QTest::newRow("stored voice beyond 32 bits") << QStringList{"x"} << "99999999999"
                                                 << "außerhalb des Bereichs";
    QTest::newRow("speed above 100") << QStringList{"--speed", "101", "x"} << "" << "Ungültiger Wert für --speed";
    QTest::newRow("pitch not a number") << QStringList{"--pitch=hoch", "x"} << "" << "Ungültiger Wert für --pitch";
    QTest::newRow("missing value") << QStringList{"--volume"} << "" << "braucht einen Wert";
    QTest::newRow("wav without a file") << QStringList{"x", "--wav"} << "" << "braucht einen Wert";
    QTest::newRow("wav into a missing folder")
        << QStringList{"--wav", "/nonexistent-quenora/x.wav", "x"} << "" << "Pfad nicht gefunden";
    QTest::newRow("wav onto a folder") << QStringList{"--wav", QDir::tempPath(), "x"} << ""
                                       << "Der Pfad ist ein Ordner";
}

void tst_QuenoraSpeak::errorsExitWithOneAndAGermanMessage()
{
    QFETCH(QStringList, args);
    QFETCH(QString, storedVoice);
    QFETCH(QString, message);
    if (!storedVoice.isEmpty()) {
        SettingsStore store;
        QVERIFY(store.write(SettingKeys::Voice, storedVoice));
    }
    const Result r = run(args);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.startsWith(QStringLiteral("quenora-speak: ")) && r.err.contains(message),
             qPrintable(r.err));
    QCOMPARE(r.out, QString());
}

void tst_QuenoraSpeak::unreadableInputIsAnError()
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUENORA_HOME"), m_home->path());
    process.setProcessEnvironment(env);
    process.setStandardInputFile(m_home->path()); // a folder cannot be read as text
    process.start(QStringLiteral(QUENORA_SPEAK_BINARY), {"--dry-run", "-"});
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(QString::fromUtf8(process.readAllStandardError()).contains("Standardeingabe lässt sich nicht lesen"));
}

void tst_QuenoraSpeak::recordsAValidWavAndLeavesNoTemporaryFile()
{
    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("aufnahme.wav"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("kein WAV");
    }
    const Result r = run({"--wav", path, "Dies ist eine Aufnahme mit der gespeicherten Stimme."});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    const WavAnalysis wav = WavAnalysis::read(path);
    QVERIFY(wav.valid);
    QVERIFY(wav.headerMatchesSize);
    QVERIFY2(wav.seconds() > 1.0, qPrintable(QString::number(wav.seconds())));
    QVERIFY(wav.rms() > 300);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"aufnahme.wav"});
    QVERIFY(QFileInfo(path).permissions() & QFileDevice::ReadOther);
}

void tst_QuenoraSpeak::storedSettingsApplyUnlessAnOptionIsGiven()
{
    QTemporaryDir out;
    const QString text = QStringLiteral("Eins zwei drei vier fünf sechs sieben acht neun zehn.");
    SettingsStore store;
    QVERIFY(store.write(SettingKeys::SpeedWhenSpeaking, QStringLiteral("100")));
    QVERIFY(store.write(SettingKeys::Volume, QStringLiteral("0")));
    QCOMPARE(run({"--wav", out.filePath("stored.wav"), text}).exitCode, 0);
    QCOMPARE(run({"--wav", out.filePath("options.wav"), "--speed", "0", "--volume", "100", text}).exitCode, 0);
    const WavAnalysis stored = WavAnalysis::read(out.filePath("stored.wav"));
    const WavAnalysis options = WavAnalysis::read(out.filePath("options.wav"));
    QVERIFY(stored.valid && options.valid);
    QVERIFY(stored.peak() <= 1);       // stored volume 0
    QVERIFY(options.rms() > 300);      // --volume 100
    QVERIFY(options.seconds() > 3 * stored.seconds()); // stored speed 100 against --speed 0
}

void tst_QuenoraSpeak::playsWithoutASoundCard()
{
    const Result r = run({"Hallo, hier spricht Quenora."});
    QCOMPARE(r.exitCode, 0);
    // One line about the silent output, nothing else, in this program's name.
    QCOMPARE(r.err.count(QLatin1Char('\n')), 1);
    QVERIFY2(r.err.startsWith(QStringLiteral("quenora-speak: ")), qPrintable(r.err));
    QVERIFY(r.err.contains(QStringLiteral("stumm")));
    // Paced like real speech, not finished at synthesis speed.
    QVERIFY2(r.ms > 800, qPrintable(QString::number(r.ms)));
}

void tst_QuenoraSpeak::help()
{
    const Result r = run({"--help"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.startsWith(QStringLiteral("Aufruf: quenora-speak")));
}

void tst_QuenoraSpeak::refusesTargetsThatAreNoRegularFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("fifo") << "fifo";
    QTest::newRow("link to a device") << "link to /dev/null";
    QTest::newRow("character device") << "device";
}

void tst_QuenoraSpeak::refusesTargetsThatAreNoRegularFiles()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("ziel"));
    const QByteArray name = QFile::encodeName(target);
    if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    } else if (kind == QLatin1String("device")) {
        if (::mknod(name.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("Ein Gerät kann hier nur root anlegen.");
    } else {
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), target));
    }
    struct stat before {};
    QCOMPARE(::lstat(name.constData(), &before), 0);

    const Result r = run({"--wav", target, "Hallo"});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QStringLiteral("keine gewöhnliche Datei")), qPrintable(r.err));
    struct stat after {};
    QCOMPARE(::lstat(name.constData(), &after), 0);
    QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"ziel"});
}

void tst_QuenoraSpeak::interruptedRecordingLeavesNoTemporaryFile_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<QString>("name");
    QTest::newRow("SIGKILL") << int(SIGKILL) << "lang.wav";
    QTest::newRow("SIGTERM") << int(SIGTERM) << "lang.wav";
    QTest::newRow("SIGINT (Ctrl+C)") << int(SIGINT) << "lang.wav";
    QTest::newRow("SIGKILL while recording for MP3") << int(SIGKILL) << "lang.mp3";
}

// However the program ends while recording, the old file stays as it was
// and nothing else is left in its folder.
void tst_QuenoraSpeak::interruptedRecordingLeavesNoTemporaryFile()
{
    QFETCH(int, signalNumber);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString target = dir.filePath(name);
    {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("die alte Aufnahme");
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUENORA_HOME"), m_home->path());
    process.setProcessEnvironment(env);
    // Minutes of synthesis: it is still recording when the signal comes.
    process.start(QStringLiteral(QUENORA_SPEAK_BINARY), {"--wav", target, "-"});
    QVERIFY(process.waitForStarted(10000));
    process.write(QByteArray("Das ist ein Satz zum Vorlesen. ").repeated(40000));
    process.closeWriteChannel();
    // The recording grows in a file of the process's that has no name.
    const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(process.processId()));
    const auto recordingSize = [&] {
        for (const QFileInfo &fd : descriptors.entryInfoList(QDir::Files | QDir::System)) {
            if (fd.symLinkTarget().startsWith(dir.path()) && fd.symLinkTarget().endsWith(QStringLiteral("(deleted)")))
                return fd.size();
        }
        return qint64(0);
    };
    QTRY_VERIFY_WITH_TIMEOUT(recordingSize() > 1000, 30000);
    ::kill(pid_t(process.processId()), signalNumber);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::CrashExit);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{name});
    QFile old(target);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("die alte Aufnahme"));
}

QTEST_GUILESS_MAIN(tst_QuenoraSpeak)
#include "tst_quenoraspeak.moc"

void tst_QuenoraSpeak::speaksADocumentFile()
{
    // A document is read exactly as the editor shows it: RTF without its
    // control words, plain text through the Ansi codec.
    const QString rtf = m_home->filePath("brief.rtf");
    QFile r(rtf);
    QVERIFY(r.open(QIODevice::WriteOnly));
    r.write("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}}\\f0 Liebe {\\b Gr\\'fc\\'dfe}\\par}");
    r.close();
    Result res = run({"--dry-run", "--file", rtf});
    QCOMPARE(res.err, QString());
    QCOMPARE(res.exitCode, 0);
    QCOMPARE(res.out, QStringLiteral(u" Liebe Grüße \n"));

    const QString txt = m_home->filePath("notiz.txt");
    QFile t(txt);
    QVERIFY(t.open(QIODevice::WriteOnly));
    t.write("Zeile eins\r\nZeile zwei \xE4");
    t.close();
    res = run({"--dry-run", "--file=" + txt});
    QCOMPARE(res.exitCode, 0);
    QCOMPARE(res.out, QStringLiteral(u" Zeile eins\nZeile zwei ä \n"));

    res = run({"--dry-run", "--file", m_home->filePath("fehlt.rtf")});
    QCOMPARE(res.exitCode, 1);
    QVERIFY2(res.err.startsWith("quenora-speak: ") && res.err.contains("fehlt.rtf"), qPrintable(res.err));
    res = run({"--dry-run", "--file", txt, "und Text"});
    QCOMPARE(res.exitCode, 1);
    QVERIFY(res.err.contains("nicht beides"));
}
