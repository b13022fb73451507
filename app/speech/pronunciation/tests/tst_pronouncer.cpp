#include "ActiveDictionaries.h"
#include "PronunciationFile.h"
#include "Pronouncer.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// The dictionary files, matching in one pass and the map back to the
// written text.
class tst_Pronouncer : public QObject
{
    Q_OBJECT
private slots:
    void parsesLines_data();
    void parsesLines();
    void formatReadsBack();
    void applies_data();
    void applies();
    void mapsSpokenPositionsBack();
    void refusesFiles_data();
    void refusesFiles();
    void badRegexIsSkippedOthersApply();
    void catastrophicRegexIsBounded();
    void sourceSeesChangedFile();
};

namespace {

PronunciationEntry entry(const QString &written, const QString &spoken, const QString &flags = QString())
{
    const PronunciationFile f = PronunciationFile::parse(
        (written + QLatin1Char('\t') + spoken + (flags.isEmpty() ? QString() : QLatin1Char('\t') + flags)).toUtf8());
    Q_ASSERT(f.entries.size() == 1);
    return f.entries.first();
}

} // namespace

void tst_Pronouncer::parsesLines_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("entries"); // written=spoken:flags (w c r), separated by |
    QTest::addColumn<QStringList>("broken");

    QTest::newRow("defaults") << QByteArray("usw.\tund so weiter\n") << "usw.=und so weiter:w" << QStringList();
    QTest::newRow("flags") << QByteArray("EZB\tZentralbank\tc\nk(\\d+)\t\\1 Kilo\twr\n")
                           << "EZB=Zentralbank:c|k(\\d+)=\\1 Kilo:wr" << QStringList();
    QTest::newRow("no flags at all") << QByteArray("ab\tcd\t-\n") << "ab=cd:" << QStringList();
    QTest::newRow("comments, blanks, CR LF, BOM, blanks around fields")
        << QByteArray("\xEF\xBB\xBF# Kommentar\r\n\r\n  \n Nr. \t Nummer \r\n") << "Nr.=Nummer:w" << QStringList();
    QTest::newRow("broken lines named, good ones kept")
        << QByteArray("a\tb\nkein tab\nc\td\tq\n\tleer\ne\tf\tw\tx\ng\th\n\xff\tx\n")
        << "a=b:w|g=h:w"
        << QStringList{"Zeile 2: Geschriebene und gesprochene Form müssen durch einen Tabulator getrennt sein.",
                       "Zeile 3: Unbekannte Option „q“ (erlaubt sind w, c, r und -).",
                       "Zeile 4: Die geschriebene Form ist leer.",
                       "Zeile 5: Mehr als drei durch Tabulatoren getrennte Felder.",
                       "Zeile 7: Die Zeile ist kein gültiger UTF-8-Text."};
    QTest::newRow("last line without end") << QByteArray("x\ty") << "x=y:w" << QStringList();
}

void tst_Pronouncer::parsesLines()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, entries);
    QFETCH(QStringList, broken);
    const PronunciationFile parsed = PronunciationFile::parse(file);
    QStringList got;
    for (const PronunciationEntry &e : parsed.entries) {
        got.append(e.written + QLatin1Char('=') + e.spoken + QLatin1Char(':') + (e.wholeWord ? "w" : "")
                   + (e.caseSensitive ? "c" : "") + (e.regex ? "r" : ""));
    }
    QCOMPARE(got.join(QLatin1Char('|')), entries);
    QCOMPARE(parsed.brokenLines, broken);
}

void tst_Pronouncer::formatReadsBack()
{
    const QList<PronunciationEntry> entries{entry("z. B.", "zum Beispiel"), entry("EZB", "Zentralbank", "c"),
                                            entry("(\\d+)h", "\\1 Uhr", "r"), entry("ab", "cd", "-")};
    QCOMPARE(PronunciationFile::parse(PronunciationFile::format(entries)).entries, entries);
    // Comments and broken lines come back as comments: saving what was read
    // loses no text.
    const PronunciationFile read = PronunciationFile::parse("# mein Wörterbuch\nkaputt\na\tb\n");
    QCOMPARE(PronunciationFile::format(read.entries, read.otherLines), QByteArray("# mein Wörterbuch\n# kaputt\na\tb\n"));
}

void tst_Pronouncer::applies_data()
{
    QTest::addColumn<QStringList>("dictionary"); // written TAB spoken [TAB flags]
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("spoken");

    QTest::newRow("abbreviation") << QStringList{"z. B.\tzum Beispiel", "usw.\tund so weiter"}
                                  << "Obst, z. B. Äpfel usw. und mehr" << "Obst, zum Beispiel Äpfel und so weiter und mehr";
    QTest::newRow("whole word: not inside a word") << QStringList{"Nr.\tNummer", "ca\tzirka"}
                                                   << "Nr. 5, Mr. X, Chr. Nr.7 Decca ca" << "Nummer 5, Mr. X, Chr. Nummer7 Decca zirka";
    QTest::newRow("whole word with umlauts") << QStringList{"bzw\tbeziehungsweise"} << "Übzw bzwä bzw" << "Übzw bzwä beziehungsweise";
    QTest::newRow("inside words when asked") << QStringList{"ph\tf\t-"} << "Philosophie" << "filosofie";
    QTest::newRow("case-insensitive by default, also umlauts") << QStringList{"äbc\tX"} << "ÄBC äbc ÄbC" << "X X X";
    QTest::newRow("case-sensitive") << QStringList{"EZB\tZentralbank\tc"} << "EZB ezb" << "Zentralbank ezb";
    QTest::newRow("one pass: a replacement is not matched again")
        << QStringList{"a\tb", "b\ta", "x\txx\t-"} << "a b x" << "b a xx";
    QTest::newRow("longest at one place") << QStringList{"km\tKilometer", "km/h\tKilometer pro Stunde"}
                                          << "5 km/h, 5 km" << "5 Kilometer pro Stunde, 5 Kilometer";
    QTest::newRow("earlier dictionary wins a tie") << QStringList{"Dr.\tDoktor", "Dr.\tDrive"} << "Dr. No" << "Doktor No";
    QTest::newRow("leftmost wins over overlapping")
        << QStringList{"ab\tX\t-", "bc\tY\t-"} << "abc" << "Xc";
    QTest::newRow("regex with captures") << QStringList{"(\\d+) ?km/h\t\\1 Kilometer pro Stunde\tr",
                                                        "§ ?(\\d+)\tParagraf \\1\tr-"}
                                         << "mit 30 km/h nach §12" << "mit 30 Kilometer pro Stunde nach Paragraf 12";
    QTest::newRow("regex whole word") << QStringList{"[0-9]+er\tZahl\twr"} << "3er a3er" << "Zahl a3er";
    QTest::newRow("empty text") << QStringList{"a\tb"} << "" << "";
    QTest::newRow("outside the BMP") << QStringList{"b\tc"} << "😀b 😀 bb b" << "😀c 😀 bb c";
}

void tst_Pronouncer::applies()
{
    QFETCH(QStringList, dictionary);
    QFETCH(QString, text);
    QFETCH(QString, spoken);
    const PronunciationFile file = PronunciationFile::parse(dictionary.join(QLatin1Char('\n')).toUtf8());
    QVERIFY(file.brokenLines.isEmpty());
    const Pronouncer pronouncer(file.entries);
    QCOMPARE(pronouncer.apply(text).spoken, spoken);
    QVERIFY(pronouncer.problems().isEmpty());
}

void tst_Pronouncer::mapsSpokenPositionsBack()
{
    const Pronouncer pronouncer({entry("EZB", "Zentralbank"), entry("z. B.", "zum Beispiel")});
    const QString written = QStringLiteral("Die EZB hat z. B. Geld.");
    const Pronouncer::Result r = pronouncer.apply(written);
    QCOMPARE(r.spoken, QStringLiteral("Die Zentralbank hat zum Beispiel Geld."));
    // Each spoken word and the written span it marks.
    const struct {
        const char *word;
        const char *marked;
    } rows[] = {{"Die", "Die"}, {"Zentralbank", "EZB"}, {"hat", "hat"}, {"zum", "z. B."},
                {"Beispiel", "z. B."}, {"Geld", "Geld"}, {"Zentral", "EZB"}};
    for (const auto &row : rows) {
        const int at = int(r.spoken.indexOf(QString::fromUtf8(row.word)));
        const int from = r.map.writtenStart(at);
        const int to = r.map.writtenEnd(at + int(qstrlen(row.word)));
        QCOMPARE(written.mid(from, to - from), QString::fromUtf8(row.marked));
    }
    QVERIFY(r.map.isBoundary(r.spoken.indexOf(QStringLiteral("Zentralbank"))));
    QVERIFY(!r.map.isBoundary(r.spoken.indexOf(QStringLiteral("Beispiel"))));
    QVERIFY(r.map.isBoundary(r.spoken.indexOf(QStringLiteral(" Geld"))));
}

void tst_Pronouncer::refusesFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder") << "folder" << "Der Pfad ist ein Ordner, keine Datei";
    QTest::newRow("fifo") << "fifo" << "Der Pfad ist eine benannte Pipe (FIFO), keine gewöhnliche Datei";
    QTest::newRow("missing") << "missing" << "Datei nicht gefunden";
    QTest::newRow("over 16 MB") << "large" << "Die Wörterbuchdatei ist größer als 16 MB.";
    QTest::newRow("unreadable") << "unreadable" << "Zugriff verweigert";
}

void tst_Pronouncer::refusesFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("w.txt"));
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("w.txt")));
    } else if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QLatin1String("large")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(PronunciationFile::MaxBytes + 1));
    } else if (kind == QLatin1String("unreadable")) {
        if (::geteuid() == 0)
            QSKIP("root reads every file");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("a\tb\n");
        f.close();
        QVERIFY(f.setPermissions(QFileDevice::WriteOwner));
    }
    const PronunciationFile file = PronunciationFile::load(path);
    QVERIFY(file.entries.isEmpty());
    QCOMPARE(file.error, QStringLiteral("Das Wörterbuch „%1“ kann nicht gelesen werden: %2").arg(path, reason));
}

void tst_Pronouncer::badRegexIsSkippedOthersApply()
{
    PronunciationEntry bad = entry("a(b", "x", "r");
    bad.origin = QStringLiteral("mein.txt");
    bad.line = 4;
    PronunciationEntry backReference = entry("(a)\\1", "x", "r");
    PronunciationEntry empty = entry("a*", "x", "r");
    const Pronouncer pronouncer({bad, backReference, empty, entry("ab", "cd")});
    QCOMPARE(pronouncer.apply(u"ab aa").spoken, QStringLiteral("cd aa"));
    const QStringList problems = pronouncer.problems();
    QCOMPARE(problems.size(), 3);
    QVERIFY2(problems.at(0).startsWith(QStringLiteral("mein.txt, Zeile 4 („a(b“): Ungültiger regulärer Ausdruck: ")),
             qPrintable(problems.at(0)));
    QVERIFY(problems.at(1).contains(QStringLiteral("wird nicht unterstützt")));
    QVERIFY(problems.at(2).contains(QStringLiteral("passt auf leeren Text")));
    QCOMPARE(Pronouncer::check(bad), problems.at(0).mid(problems.at(0).indexOf(QStringLiteral("Ungültiger"))));
    QVERIFY(Pronouncer::check(entry("ab", "cd")).isEmpty());
}

void tst_Pronouncer::catastrophicRegexIsBounded()
{
    // PCRE2 tries 2^n ways of the first branch at every place the scan
    // found the second; the step limit switches the entry off after the
    // first, so the text is spoken as written and nothing hangs.
    PronunciationEntry evil = entry("(a|a)*c|a*b", "X", "r-");
    evil.origin = QStringLiteral("böse.txt");
    evil.line = 1;
    const Pronouncer pronouncer({evil, entry("Nr.", "Nummer")});
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QString(40, QLatin1Char('a')) + QStringLiteral("b Nr. ");
    const QString spoken = pronouncer.apply(text).spoken;
    QCOMPARE(spoken.count(QStringLiteral("Nummer")), 200);
    QCOMPARE(spoken.count(QLatin1Char('X')), 0);
    QCOMPARE(pronouncer.problems(),
             QStringList{QStringLiteral("böse.txt, Zeile 1 („(a|a)*c|a*b“): Der reguläre Ausdruck braucht zu viele "
                                        "Schritte und wird beim Sprechen übersprungen.")});
}

void tst_Pronouncer::sourceSeesChangedFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mein.txt"));
    QString error;
    QVERIFY(PronunciationFile::save(path, {entry("EZB", "Zentralbank")}, &error));
    FixedDictionaries source({path, dir.filePath(QStringLiteral("fehlt.txt"))});
    const auto first = source.current();
    QCOMPARE(first->apply(u"EZB").spoken, QStringLiteral("Zentralbank"));
    QCOMPARE(source.current(), first); // unchanged: not loaded again
    QCOMPARE(source.fileProblems().size(), 1);
    QVERIFY(PronunciationFile::save(path, {entry("EZB", "Europäische Zentralbank")}, &error));
    QCOMPARE(source.current()->apply(u"EZB").spoken, QStringLiteral("Europäische Zentralbank"));
}

QTEST_GUILESS_MAIN(tst_Pronouncer)
#include "tst_pronouncer.moc"
