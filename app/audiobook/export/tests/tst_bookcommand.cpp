// quenora-speak's audiobook mode: the command line, where each document's
// files go, skipping what is complete, progress, the summary and the exit
// status, with an exporter that writes the files the writer would without
// speaking; and once the real program on a small EPUB.

#include "BookCommand.h"
#include "FakeClock.h"
#include "SafeFileName.h"

#include <QtTest>

#include <csignal>
#include <cstdio>

namespace {

// Writes what the audiobook writer writes (empty audio files, the playlist
// last) and keeps what it was asked.
struct FakeExporter {
    QList<AudiobookOptions> calls;
    QList<BookExport::Workers> workers;
    QStringList titles;    // of the last book
    QString failWith;      // for documents whose names start with failing
    QString failing = QStringLiteral("voll");
    std::optional<BookProgress> progress; // told once
    std::function<void()> whileSpeaking;

    AudiobookWriter::Result operator()(const Book &book, const AudiobookOptions &options, const BookVoice &,
                                       const BookExport::Workers &jobs, const Clock &,
                                       const BookExport::Progress &tell)
    {
        calls.append(options);
        workers.append(jobs);
        titles.clear();
        AudiobookWriter::Result result;
        if (whileSpeaking)
            whileSpeaking();
        if (progress && !tell(*progress)) {
            result.status = AudiobookWriter::Result::Status::Cancelled;
            return result;
        }
        result.message = failWith;
        if (!failWith.isEmpty() && book.name.startsWith(failing))
            return result;
        const QDir folder(options.folder);
        QByteArray playlist;
        for (int i = 0; i < book.chapters.size(); ++i) {
            titles.append(book.chapters[i].title);
            if (options.layout == AudiobookLayout::FilePerChapter || i == 0)
                result.files.append(folder.filePath(
                    options.layout == AudiobookLayout::OneFileWithChapters
                        ? options.file
                        : SafeFileName::numbered(i + 1, int(book.chapters.size()), book.chapters[i].title, "K",
                                                 AudiobookFormats::suffix(options.format))));
        }
        for (const QString &file : std::as_const(result.files)) {
            QFile(file).open(QIODevice::WriteOnly);
            playlist += QFileInfo(file).fileName().toUtf8() + '\n';
        }
        if (options.layout == AudiobookLayout::FilePerChapter) {
            result.playlist = folder.filePath(SafeFileName::fromTitle(options.book.title, "x") + ".m3u8");
            QFile f(result.playlist);
            if (!f.open(QIODevice::WriteOnly) || f.write(playlist) != playlist.size())
                return result;
        }
        result.status = AudiobookWriter::Result::Status::Ok;
        return result;
    }
};

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

QString readBack(std::FILE *file)
{
    std::rewind(file);
    QByteArray bytes;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, qsizetype(n));
    std::fclose(file);
    return QString::fromUtf8(bytes);
}

} // namespace

class tst_BookCommand : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void refusesBeforeSpeaking_data();
    void refusesBeforeSpeaking();
    void placesEachDocumentsFiles_data();
    void placesEachDocumentsFiles();
    void skipsCompleteOutput_data();
    void skipsCompleteOutput();
    void progressOnATerminalAndOnAPipe_data();
    void progressOnATerminalAndOnAPipe();
    void failuresAreSummedUpAndTheRestRuns();
    void aSignalStopsTheExport_data();
    void aSignalStopsTheExport();
    void convertsAnEpubWithRealSpeech();

private:
    void writeDocument(const QString &relative, const QByteArray &markdown = kTwoChapters);
    Run run(const QStringList &arguments, bool terminal = false);

    static constexpr const char *kTwoChapters = "# Anfang\n\nEs war einmal.\n\n# Ende\n\nUnd aus.\n";
    std::unique_ptr<QTemporaryDir> m_dir;
    FakeExporter m_exporter;
    FakeClock m_clock;
    std::function<int()> m_stopSignal;
};

void tst_BookCommand::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
    m_exporter = FakeExporter();
    m_stopSignal = {};
}

void tst_BookCommand::writeDocument(const QString &relative, const QByteArray &markdown)
{
    QVERIFY(QDir().mkpath(QFileInfo(relative).path()));
    QFile file(relative);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(markdown) == markdown.size());
}

Run tst_BookCommand::run(const QStringList &arguments, bool terminal)
{
    Run r;
    BookCommand::Options options;
    if (!BookCommand::parse(arguments, &options, &r.err))
        return r;
    const BookCommand::Environment environment{
        [this](auto &&...args) { return m_exporter(args...); }, m_clock, "/opt/quenora/quenora-speak", 4, terminal,
        m_stopSignal};
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    r.exitCode = BookCommand(environment).run(options, BookVoice(), out, err);
    r.out = readBack(out);
    r.err = readBack(err);
    return r;
}

void tst_BookCommand::refusesBeforeSpeaking_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode"); // -1: the command line is refused
    QTest::addColumn<QString>("message");
    QTest::newRow("several documents into one file")
        << QStringList{"--chapters", "--out", "b.m4b", "a.md", "b.md"} << -1 << "--out-dir ORDNER --one-file";
    QTest::newRow("unknown suffix") << QStringList{"--chapters", "--out", "b.wav", "a.md"} << -1
                                    << "Die Endung von „b.wav“ ist kein Hörbuchformat";
    QTest::newRow("format against suffix")
        << QStringList{"--chapters", "--out", "b.mp3", "--format", "m4b", "a.md"} << -1 << "--format m4b passt nicht";
    QTest::newRow("no target") << QStringList{"--chapters", "a.md"} << -1 << "--out DATEI oder --out-dir ORDNER";
    QTest::newRow("jobs zero") << QStringList{"--out-dir", "d", "--jobs", "0", "a.md"} << -1 << "--jobs braucht";
    QTest::newRow("level") << QStringList{"--out-dir", "d", "--level", "7", "a.md"} << -1 << "--level braucht";
    QTest::newRow("rule") << QStringList{"--out-dir", "d", "--chapter-rule", "(Kapitel", "a.md"} << -1
                          << "Das Muster für Kapitelanfänge ist ungültig";
    QTest::newRow("text only") << QStringList{"--out-dir", "d", "--dry-run", "a.md"} << -1
                               << "--dry-run gilt nicht für Hörbücher";
    QTest::newRow("folder is a file") << QStringList{"--out-dir", "a.md", "a.md"} << 1
                                      << "Der Ordner „a.md“ konnte nicht angelegt werden.";
    QTest::newRow("folder of the file missing") << QStringList{"--chapters", "--out", "fehlt/b.m4b", "a.md"} << 1
                                                << "Der Ordner „fehlt“ existiert nicht.";
}

void tst_BookCommand::refusesBeforeSpeaking()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    writeDocument("a.md");
    QVERIFY(BookCommand::wanted(arguments));
    const Run r = run(arguments);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(m_exporter.calls.isEmpty());
}

void tst_BookCommand::placesEachDocumentsFiles_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("calls"); // per document: "layout folder file format jobs"
    QTest::newRow("one document into one file")
        << QStringList{"--chapters", "--out", "aus/Buch.m4b", "a/roman.md"} << QStringList{"eine aus Buch.m4b m4b 4"};
    QTest::newRow("ogg is opus") << QStringList{"--chapters", "--out=aus/Buch.ogg", "--jobs", "2", "a/roman.md"}
                                 << QStringList{"eine aus Buch.ogg opus 2"};
    QTest::newRow("one document per chapter") << QStringList{"--out-dir", "aus", "a/roman.md"}
                                              << QStringList{"kapitel aus - mp3 4"};
    QTest::newRow("several per chapter: a folder each")
        << QStringList{"--out-dir", "aus", "--format", "opus", "a/roman.md", "b/essay.md"}
        << QStringList{"kapitel aus/roman - opus 4", "kapitel aus/essay - opus 4"};
    QTest::newRow("one file each, named after the document")
        << QStringList{"--out-dir", "aus", "--one-file", "--format", "m4b", "a/roman.md", "b/essay.md"}
        << QStringList{"eine aus roman.m4b m4b 4", "eine aus essay.m4b m4b 4"};
    QTest::newRow("the same name twice")
        << QStringList{"--out-dir", "aus", "--one-file", "a/roman.md", "b/Roman.md", "--file", "c/roman.md"}
        << QStringList{"eine aus roman.mp3 mp3 4", "eine aus Roman (2).mp3 mp3 4", "eine aus roman (3).mp3 mp3 4"};
}

void tst_BookCommand::placesEachDocumentsFiles()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, calls);
    for (const char *document : {"a/roman.md", "b/essay.md", "b/Roman.md", "c/roman.md"})
        writeDocument(document);
    QVERIFY(QDir().mkdir("aus")); // --out needs its folder, --out-dir makes it
    const Run r = run(arguments);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QStringList seen;
    for (qsizetype i = 0; i < m_exporter.calls.size(); ++i) {
        const AudiobookOptions &o = m_exporter.calls[i];
        const bool one = o.layout == AudiobookLayout::OneFileWithChapters;
        seen.append(QStringList{one ? "eine" : "kapitel", QDir::cleanPath(o.folder), one ? o.file : "-",
                                AudiobookFormats::suffix(o.format), QString::number(m_exporter.workers[i].jobs)}
                        .join(u' '));
        QCOMPARE(m_exporter.workers[i].program, QStringLiteral("/opt/quenora/quenora-speak"));
    }
    QCOMPARE(seen, calls);
    QCOMPARE(m_exporter.titles, (QStringList{"Anfang", "Ende"}));
    QVERIFY(r.out.contains(QStringLiteral("%1 umgewandelt, 0 übersprungen, 0 fehlgeschlagen").arg(calls.size())));
}

void tst_BookCommand::skipsCompleteOutput_data()
{
    QTest::addColumn<QStringList>("layout");
    QTest::addColumn<QString>("damage"); // a file removed after the first run
    QTest::addColumn<bool>("force");
    QTest::addColumn<bool>("convertedAgain");
    const QStringList oneFile{"--out-dir", "aus", "--one-file"};
    const QStringList perChapter{"--out-dir", "aus"};
    QTest::newRow("one file there") << oneFile << "" << false << false;
    QTest::newRow("one file there, forced") << oneFile << "" << true << true;
    QTest::newRow("one file gone") << oneFile << "aus/roman.mp3" << false << true;
    QTest::newRow("every chapter there") << perChapter << "" << false << false;
    QTest::newRow("every chapter there, forced") << perChapter << "" << true << true;
    QTest::newRow("a chapter gone") << perChapter << "aus/02 Ende.mp3" << false << true;
    QTest::newRow("no playlist") << perChapter << "aus/roman.m3u8" << false << true;
}

void tst_BookCommand::skipsCompleteOutput()
{
    QFETCH(QStringList, layout);
    QFETCH(QString, damage);
    QFETCH(bool, force);
    QFETCH(bool, convertedAgain);
    writeDocument("roman.md");
    QCOMPARE(run(layout + QStringList{"roman.md"}).exitCode, 0);
    QVERIFY(damage.isEmpty() || QFile::remove(damage));

    const Run again = run(layout + (force ? QStringList{"--force"} : QStringList()) + QStringList{"roman.md"});
    QCOMPARE(again.exitCode, 0);
    QCOMPARE(m_exporter.calls.size(), convertedAgain ? 2 : 1);
    QCOMPARE(again.out.contains(QStringLiteral("„roman.md“: übersprungen")), !convertedAgain);
    QVERIFY(again.out.contains(convertedAgain ? "1 umgewandelt, 0 übersprungen" : "0 umgewandelt, 1 übersprungen"));
}

void tst_BookCommand::progressOnATerminalAndOnAPipe_data()
{
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("terminal") << true
                              << QStringList{"\r[1/1] roman.md – Kapitel 2/2 Ende – 62 % – noch 1:05\x1b[K",
                                             "„roman.md“: umgewandelt, 2 Dateien.\n"}
                              << QStringList{"geschrieben:", "\n["};
    QTest::newRow("pipe") << false
                          << QStringList{"geschrieben: aus/01 Anfang.mp3\n", "geschrieben: aus/02 Ende.mp3\n",
                                         "geschrieben: aus/roman.m3u8\n"}
                          << QStringList{"\r", "Kapitel 2/2"};
}

void tst_BookCommand::progressOnATerminalAndOnAPipe()
{
    QFETCH(bool, terminal);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, absent);
    writeDocument("roman.md");
    m_exporter.progress = BookProgress{1, 2, "Ende", 0.625, 64200, false};
    const Run r = run({"--out-dir", "aus", "roman.md"}, terminal);
    QCOMPARE(r.exitCode, 0);
    for (const QString &text : expected)
        QVERIFY2(r.out.contains(text), qPrintable(r.out));
    for (const QString &text : absent)
        QVERIFY2(!r.out.contains(text), qPrintable(r.out));
}

void tst_BookCommand::failuresAreSummedUpAndTheRestRuns()
{
    for (const char *name : {"gut.md", "voll.md", "auch gut.md"})
        writeDocument(name);
    writeDocument("leer.md", " \n\n");
    writeDocument("ohne Kapitel.md", "Nur ein Satz.\n");
    m_exporter.failWith = QStringLiteral("Die Datei „x.mp3“ konnte nicht geschrieben werden: Datenträger voll");
    const Run r = run({"--out-dir", "aus", "--one-file", "gut.md", "fehlt.md", "leer.md", "voll.md",
                       "auch gut.md", "ohne Kapitel.md"});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(m_exporter.calls.size(), 4);
    QVERIFY(QFileInfo::exists("aus/auch gut.mp3"));
    QVERIFY(r.out.contains("„ohne Kapitel.md“ hat keine Überschriften und wird ein einziges Kapitel."));
    const QString summary = r.out.mid(r.out.indexOf("Hörbücher:"));
    QVERIFY2(summary.startsWith("Hörbücher: 3 umgewandelt, 0 übersprungen, 3 fehlgeschlagen.\n"), qPrintable(summary));
    QVERIFY(summary.contains("„fehlt.md“: "));
    QVERIFY(summary.contains("„leer.md“: Das Dokument enthält keinen Text zum Vorlesen."));
    QVERIFY(summary.contains("„voll.md“: Die Datei „x.mp3“ konnte nicht geschrieben werden: Datenträger voll"));
    QVERIFY(!summary.contains("gut.md"));
    QVERIFY(r.err.contains("quenora-speak: „fehlt.md“: fehlgeschlagen: "));
}

void tst_BookCommand::aSignalStopsTheExport_data()
{
    // The export ends cancelled, or failed because its workers got the
    // terminal's signal as well.
    QTest::addColumn<QString>("exportFails");
    QTest::newRow("cancelled") << "";
    QTest::newRow("worker gone") << "Kapitel 1 „Anfang“: der Hilfsprozess hat sich unerwartet beendet.";
}

void tst_BookCommand::aSignalStopsTheExport()
{
    QFETCH(QString, exportFails);
    writeDocument("a.md");
    writeDocument("b.md");
    int signal = 0;
    m_stopSignal = [&signal] { return signal; };
    if (exportFails.isEmpty())
        m_exporter.progress = BookProgress();
    m_exporter.failWith = exportFails;
    m_exporter.failing = "a";
    m_exporter.whileSpeaking = [&signal] { signal = SIGTERM; };
    const Run r = run({"--out-dir", "aus", "a.md", "b.md"});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(m_exporter.calls.size(), 1);
    QVERIFY2(r.out.contains("„a.md“: abgebrochen durch das Signal SIGTERM"), qPrintable(r.out));
    QVERIFY(r.out.contains("„b.md“: nicht begonnen"));
    QVERIFY(!QFileInfo::exists("aus/a"));
}

void tst_BookCommand::convertsAnEpubWithRealSpeech()
{
    QVERIFY(QFile::copy(QStringLiteral(BOOK_DATA "/drei-kapitel.epub"), m_dir->filePath("drei kapitel.epub")));
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUENORA_HOME", m_dir->filePath("home"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(m_dir->path());
    const QStringList arguments{"--out-dir", "aus", "--jobs", "2", "drei kapitel.epub"};
    const QStringList expected{"01 Die Quelle.mp3", "02 Die Stadt.mp3", "03 Das Meer.mp3"};
    for (const bool again : {false, true}) {
        program.start(QStringLiteral(QUENORA_SPEAK_BINARY), arguments);
        QVERIFY(program.waitForFinished(240000));
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0,
                 qPrintable(out + program.readAllStandardError()));
        if (again) {
            QVERIFY2(out.contains("„drei kapitel.epub“: übersprungen"), qPrintable(out));
            continue;
        }
        const QDir folder(m_dir->filePath("aus"));
        QCOMPARE(folder.entryList({"*.mp3"}, QDir::Files, QDir::Name), expected);
        for (const QString &file : expected) {
            QVERIFY(QFileInfo(folder.filePath(file)).size() > 1000);
            QVERIFY2(out.contains("geschrieben: aus/" + file + "\n"), qPrintable(out));
        }
        // Named after the book's own title.
        QCOMPARE(folder.entryList({"*.m3u8"}, QDir::Files), QStringList{"Drei Kapitel über den Fluss.m3u8"});
        QFile playlist(folder.filePath("Drei Kapitel über den Fluss.m3u8"));
        QVERIFY(playlist.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(playlist.readAll());
        QVERIFY(text.indexOf(expected[0]) < text.indexOf(expected[1]));
        QVERIFY(text.indexOf(expected[1]) < text.indexOf(expected[2]));
    }
    // One file with chapter marks; the encoding libraries' own log lines
    // (English, for their developers) stay out of the user's terminal.
    program.start(QStringLiteral(QUENORA_SPEAK_BINARY),
                  {"--chapters", "--out", "buch.m4b", "--jobs", "1", "drei kapitel.epub"});
    QVERIFY(program.waitForFinished(240000));
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(program.readAllStandardError()), QString());
    QVERIFY(QFileInfo(m_dir->filePath("buch.m4b")).size() > 1000);
}

QTEST_GUILESS_MAIN(tst_BookCommand)
#include "tst_bookcommand.moc"
