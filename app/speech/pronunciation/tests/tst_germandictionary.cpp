#include "PronunciationFile.h"
#include "Pronouncer.h"

#include <espeak-ng/speak_lib.h>

#include <QtTest>

// The shipped German dictionary against the engine: every entry must still
// change what is heard. When an espeak-ng update learns a word, its entry
// fails here and can go.
class tst_GermanDictionary : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void loadsCleanly();
    void everyEntryChangesWhatIsHeard();
};

namespace {

const QString Shipped = QStringLiteral(QUENORA_SOURCE_DIR "/data/pronunciation/deutsch.txt");

// The phonemes espeak-ng would speak for a text, clause by clause, as
// "espeak-ng -v de -x" prints them.
QString phonemes(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const void *rest = utf8.constData();
    QString out;
    while (rest) {
        if (const char *clause = espeak_TextToPhonemes(&rest, espeakCHARS_UTF8, 0))
            out += QString::fromUtf8(clause) + QLatin1Char('|');
    }
    return out;
}

QString inSentence(const QString &words)
{
    return QStringLiteral("Wir sehen 5 %1 das Haus").arg(words);
}

} // namespace

void tst_GermanDictionary::initTestCase()
{
    if (espeak_Initialize(AUDIO_OUTPUT_RETRIEVAL, 0, nullptr, espeakINITIALIZE_DONT_EXIT) <= 0)
        QSKIP("espeak-ng has no voice data here");
    QCOMPARE(espeak_SetVoiceByName("de"), EE_OK);
}

void tst_GermanDictionary::loadsCleanly()
{
    const PronunciationFile file = PronunciationFile::load(Shipped);
    QCOMPARE(file.error, QString());
    QCOMPARE(file.brokenLines, QStringList());
    QVERIFY(file.entries.size() > 50);
    QCOMPARE(Pronouncer(file.entries).problems(), QStringList());
}

void tst_GermanDictionary::everyEntryChangesWhatIsHeard()
{
    const PronunciationFile file = PronunciationFile::load(Shipped);
    const Pronouncer pronouncer(file.entries);
    QStringList unchanged;
    for (const PronunciationEntry &e : file.entries) {
        // The dictionary itself finds the entry in a sentence ...
        QCOMPARE(pronouncer.apply(inSentence(e.written)).spoken, inSentence(e.spoken));
        // ... and the engine says something else without it.
        if (phonemes(inSentence(e.written)) == phonemes(inSentence(e.spoken)))
            unchanged.append(QStringLiteral("Zeile %1: %2").arg(e.line).arg(e.written));
    }
    QVERIFY2(unchanged.isEmpty(), qPrintable(QStringLiteral("espeak-ng spricht diese Einträge schon richtig: ")
                                             + unchanged.join(QStringLiteral(", "))));
}

QTEST_GUILESS_MAIN(tst_GermanDictionary)
#include "tst_germandictionary.moc"
