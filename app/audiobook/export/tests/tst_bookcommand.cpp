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

// Writes what the audiobook writer writes for the layout (empty audio
// files, the playlist last) and keeps what it was asked.
struct FakeExporter {
    struct Call {
        QString document;
        QStringList titles;
        AudiobookOptions options;
        BookExport::Workers workers;
    };
    QList<Call> calls;
    QString failWith;      // for documents whose names start with failing: Failed with this message
    QString failing = QStringLiteral("voll");
    BookProgress progress; // told once when set
    bool tellProgress = false;
    std::function<void()> whileSpeaking;

    AudiobookWriter::Result operator()(const Book &book, const AudiobookOptions &options, const BookVoice &,
                                       const BookExport::Workers &workers, const Clock &,
                                       const BookExport::Progress &tell)
    {
        Call call{book.name, {}, options, workers};
        for (const BookChapter &chapter : book.chapters)
            call.titles.append(chapter.title);
        calls.append(call);
        AudiobookWriter::Result result;
        if (whileSpeaking)
            whileSpeaking();
        if (tellProgress && tell && !tell(progress)) {
            result.status = AudiobookWriter::Result::Status::Cancelled;
            return result;
        }
        if (!failWith.isEmpty() && book.name.startsWith(failing)) {
            result.message = failWith;
            return result;
        }
        const QDir folder(options.folder);
        if (options.layout == AudiobookLayout::OneFileWithChapters) {
            result.files.append(folder.filePath(options.file));
        } else {
            for (int i = 0; i < book.chapters.size(); ++i)
                result.files.append(folder.filePath(SafeFileName::numbered(
                    i + 1, int(book.chapters.size()), book.chapters[i].title, QStringLiteral("Kapitel"),
                    AudiobookFormats::suffix(options.format))));
        }
        QString playlist = QStringLiteral("#EXTM3U\n");
        for (const QString &file : std::as_const(result.files)) {
            QFile f(file);
            if (!f.open(QIODevice::WriteOnly))
                return result;
            playlist += QFileInfo(file).fileName() + u'\n';
        }
        if (options.layout == AudiobookLayout::FilePerChapter) {
            result.playlist = folder.filePath(SafeFileName::fromTitle(options.book.title, QStringLiteral("x"))
                                              + QStringLiteral(".m3u8"));
            QFile f(result.playlist);
            if (!f.open(QIODevice::WriteOnly) || f.write(playlist.toUtf8()) < 0)
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
    void audiobooksOnlyWhenAskedFor_data();
    void audiobooksOnlyWhenAskedFor();
    void refusesBadCommandLines_data();
    void refusesBadCommandLines();
    void placesEachDocumentsFiles_data();
    void placesEachDocumentsFiles();
    void skipsCompleteOutput_data();
    void skipsCompleteOutput();
    void progressOnATerminalAndOnAPipe_data();
    void progressOnATerminalAndOnAPipe();
    void failuresAreSummedUpAndTheRestRuns();
    void anUnusableFolderIsRefusedBeforeSpeaking();
    void aSignalStopsTheExport_data();
    void aSignalStopsTheExport();
    void convertsAnEpubWithRealSpeech();

private:
    QString writeDocument(const QString &relative, const QByteArray &markdown);
    Run run(const QStringList &arguments, bool terminal = false);

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

QString tst_BookCommand::writeDocument(const QString &relative, const QByteArray &markdown)
{
    const QString path = m_dir->filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(markdown) != markdown.size())
        return {};
    return path;
}

Run tst_BookCommand::run(const QStringList &arguments, bool terminal)
{
    Run r;
    BookCommand::Options options;
    if (!BookCommand::parse(arguments, &options, &r.err))
        return r;
    const BookCommand::Environment environment{
        [this](auto &&...args) { return m_exporter(args...); },
        m_clock,
        QStringLiteral("/opt/quenora/quenora-speak"),
        4,
        terminal,
        m_stopSignal,
    };
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    r.exitCode = BookCommand(environment).run(options, BookVoice(), out, err);
    r.out = readBack(out);
    r.err = readBack(err);
    return r;
}

void tst_BookCommand::audiobooksOnlyWhenAskedFor_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("wanted");
    QTest::newRow("recording a text") << QStringList{"--out", "x.mp3", "Hallo"} << false;
    QTest::newRow("a value, not the option") << QStringList{"--file", "--chapters", "Hallo"} << false;
    QTest::newRow("after --") << QStringList{"--voice", "1", "--", "--chapters"} << false;
    QTest::newRow("chapters") << QStringList{"--out", "x.mp3", "--chapters", "a.md"} << true;
    QTest::newRow("a folder") << QStringList{"--out-dir=d", "a.md"} << true;
}

void tst_BookCommand::audiobooksOnlyWhenAskedFor()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, wanted);
    QCOMPARE(BookCommand::wanted(arguments), wanted);
}

void tst_BookCommand::refusesBadCommandLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("several documents into one file")
        << QStringList{"--chapters", "--out", "b.m4b", "a.md", "b.md"} << "--out-dir ORDNER --one-file";
    QTest::newRow("unknown suffix") << QStringList{"--chapters", "--out", "b.wav", "a.md"}
                                    << "Die Endung von „b.wav“ ist kein Hörbuchformat";
    QTest::newRow("format against suffix") << QStringList{"--chapters", "--out", "b.mp3", "--format", "m4b", "a.md"}
                                           << "--format m4b passt nicht";
    QTest::newRow("no target") << QStringList{"--chapters", "a.md"} << "--out DATEI oder --out-dir ORDNER";
    QTest::newRow("one file without folder") << QStringList{"--chapters", "--out", "b.mp3", "--one-file", "a.md"}
                                             << "--one-file gilt nur mit --out-dir";
    QTest::newRow("no document") << QStringList{"--out-dir", "d"} << "kein Dokument";
    QTest::newRow("jobs zero") << QStringList{"--out-dir", "d", "--jobs", "0", "a.md"} << "--jobs braucht";
    QTest::newRow("jobs not a number") << QStringList{"--out-dir", "d", "--jobs=2.5", "a.md"} << "--jobs braucht";
    QTest::newRow("level") << QStringList{"--out-dir", "d", "--level", "7", "a.md"} << "--level braucht";
    QTest::newRow("format") << QStringList{"--out-dir", "d", "--format", "wav", "a.md"} << "„wav“";
    QTest::newRow("subtitles") << QStringList{"--out-dir", "d", "--subtitles", "ass", "a.md"} << "„ass“";
    QTest::newRow("rule") << QStringList{"--out-dir", "d", "--chapter-rule", "(Kapitel", "a.md"}
                          << "Das Muster für Kapitelanfänge ist ungültig";
    QTest::newRow("text only option") << QStringList{"--out-dir", "d", "--dry-run", "a.md"}
                                      << "--dry-run gilt nicht für Hörbücher";
    QTest::newRow("missing value") << QStringList{"a.md", "--out-dir"} << "--out-dir braucht einen Wert";
}

void tst_BookCommand::refusesBadCommandLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QVERIFY(BookCommand::wanted(arguments));
    const Run r = run(arguments);
    QCOMPARE(r.exitCode, -1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(m_exporter.calls.isEmpty());
}

void tst_BookCommand::placesEachDocumentsFiles_data()
{
    QTest::addColumn<QStringList>("arguments");
    // Per exporter call: "layout folder file format jobs", relative to the test folder.
    QTest::addColumn<QStringList>("calls");
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
        QVERIFY(!writeDocument(document, "# Anfang\n\nEs war einmal.\n\n# Ende\n\nUnd aus.\n").isEmpty());
    QVERIFY(QDir(m_dir->path()).mkdir("aus")); // --out needs its folder, --out-dir makes it
    const Run r = run(arguments);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QStringList seen;
    const QDir here(m_dir->path());
    for (const FakeExporter::Call &call : std::as_const(m_exporter.calls)) {
        const bool one = call.options.layout == AudiobookLayout::OneFileWithChapters;
        seen.append(QStringList{one ? "eine" : "kapitel", QDir::cleanPath(call.options.folder),
                                one ? call.options.file : "-", AudiobookFormats::suffix(call.options.format),
                                QString::number(call.workers.jobs)}
                        .join(u' '));
        QCOMPARE(call.workers.program, QStringLiteral("/opt/quenora/quenora-speak"));
        QCOMPARE(call.titles, (QStringList{"Anfang", "Ende"}));
        QVERIFY(QFileInfo(here.filePath(call.options.folder)).isDir());
    }
    QCOMPARE(seen, calls);
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
    QVERIFY(!writeDocument("roman.md", "# Anfang\n\nEs war einmal.\n\n# Ende\n\nUnd aus.\n").isEmpty());
    QCOMPARE(run(layout + QStringList{"roman.md"}).exitCode, 0);
    QCOMPARE(m_exporter.calls.size(), 1);
    if (!damage.isEmpty())
        QVERIFY(QFile::remove(m_dir->filePath(damage)));

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
    QVERIFY(!writeDocument("roman.md", "# Anfang\n\nEs war einmal.\n\n# Ende\n\nUnd aus.\n").isEmpty());
    m_exporter.tellProgress = true;
    m_exporter.progress.chapter = 1;
    m_exporter.progress.chapters = 2;
    m_exporter.progress.title = QStringLiteral("Ende");
    m_exporter.progress.share = 0.625;
    m_exporter.progress.msLeft = 64200;
    const Run r = run({"--out-dir", "aus", "roman.md"}, terminal);
    QCOMPARE(r.exitCode, 0);
    for (const QString &text : expected)
        QVERIFY2(r.out.contains(text), qPrintable(r.out));
    for (const QString &text : absent)
        QVERIFY2(!r.out.contains(text), qPrintable(r.out));
}

void tst_BookCommand::failuresAreSummedUpAndTheRestRuns()
{
    const QByteArray text = "# Anfang\n\nEs war einmal.\n";
    QVERIFY(!writeDocument("gut.md", text).isEmpty());
    QVERIFY(!writeDocument("leer.md", " \n\n").isEmpty());
    QVERIFY(!writeDocument("voll.md", text).isEmpty());
    QVERIFY(!writeDocument("auch gut.md", text).isEmpty());
    QVERIFY(!writeDocument("ohne Kapitel.md", "Nur ein Satz.\n").isEmpty());
    m_exporter.failWith = QStringLiteral("Die Datei „x.mp3“ konnte nicht geschrieben werden: Datenträger voll");
    const Run r = run({"--out-dir", "aus", "--one-file", "gut.md", "fehlt.md", "leer.md", "voll.md",
                       "auch gut.md", "ohne Kapitel.md"});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(m_exporter.calls.size(), 4);
    QVERIFY(QFileInfo::exists(m_dir->filePath("aus/auch gut.mp3")));
    QVERIFY(r.out.contains("„ohne Kapitel.md“ hat keine Überschriften und wird ein einziges Kapitel."));
    const QString summary = r.out.mid(r.out.indexOf("Hörbücher:"));
    QVERIFY2(summary.startsWith("Hörbücher: 3 umgewandelt, 0 übersprungen, 3 fehlgeschlagen.\n"), qPrintable(summary));
    QVERIFY(summary.contains("„fehlt.md“: "));
    QVERIFY(summary.contains("„leer.md“: Das Dokument enthält keinen Text zum Vorlesen."));
    QVERIFY(summary.contains("„voll.md“: Die Datei „x.mp3“ konnte nicht geschrieben werden: Datenträger voll"));
    QVERIFY(!summary.contains("gut.md"));
    QVERIFY(r.err.contains("quenora-speak: „fehlt.md“: fehlgeschlagen: "));
}

void tst_BookCommand::anUnusableFolderIsRefusedBeforeSpeaking()
{
    QVERIFY(!writeDocument("roman.md", "# Anfang\n\nEs war einmal.\n").isEmpty());
    QVERIFY(!writeDocument("datei", "kein Ordner").isEmpty());
    const Run r = run({"--out-dir", "datei", "roman.md"});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("Der Ordner „datei“ konnte nicht angelegt werden."), qPrintable(r.err));
    const Run one = run({"--chapters", "--out", "fehlt/Buch.m4b", "roman.md"});
    QCOMPARE(one.exitCode, 1);
    QVERIFY2(one.err.contains("Der Ordner „fehlt“ existiert nicht."), qPrintable(one.err));
    QVERIFY(m_exporter.calls.isEmpty());
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
    QVERIFY(!writeDocument("a.md", "# Anfang\n\nEs war einmal.\n").isEmpty());
    QVERIFY(!writeDocument("b.md", "# Anfang\n\nEs war einmal.\n").isEmpty());
    int signal = 0;
    m_stopSignal = [&signal] { return signal; };
    m_exporter.tellProgress = exportFails.isEmpty();
    m_exporter.failWith = exportFails;
    m_exporter.failing = "a";
    m_exporter.whileSpeaking = [&signal] { signal = SIGTERM; };
    const Run r = run({"--out-dir", "aus", "a.md", "b.md"});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(m_exporter.calls.size(), 1);
    QVERIFY2(r.out.contains("„a.md“: abgebrochen durch das Signal SIGTERM"), qPrintable(r.out));
    QVERIFY(r.out.contains("„b.md“: nicht begonnen"));
    QVERIFY(!QFileInfo::exists(m_dir->filePath("aus/a")));
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
}

QTEST_GUILESS_MAIN(tst_BookCommand)
#include "tst_bookcommand.moc"
