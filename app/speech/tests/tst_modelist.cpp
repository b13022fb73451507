#include "EspeakEngine.h"
#include "LanguageNames.h"
#include "ModeList.h"

#include <QtTest>

class tst_ModeList : public QObject
{
    Q_OBJECT
private slots:
    void preferredLanguagesComeFirst();
    void languageIds_data();
    void languageIds();
    void mbrolaAndBrokenEntriesAreSkipped();
    void installedVoicesStartWithGerman_data();
    void installedVoicesStartWithGerman();
    void installedListHasEveryLanguageAsPair();
    void twoVoicesOfOneLanguage();
    void germanNames_data();
    void germanNames();
};

static QList<ModeList::InstalledVoice> sampleVoices()
{
    // In espeak's own (alphabetical) order, German not first.
    return {
        {"af", "Afrikaans", "gmw/af"},      {"de", "German", "gmw/de"},
        {"en-gb", "English_(Great_Britain)", "gmw/en"},
        {"en-us", "English_(America)", "gmw/en-US"},
        {"es", "Spanish_(Spain)", "roa/es"}, {"it", "Italian", "roa/it"},
        {"nl", "Dutch", "gmw/nl"},          {"piqd", "Klingon", "art/piqd"},
        {"pt", "Portuguese_(Portugal)", "roa/pt"},
    };
}

void tst_ModeList::preferredLanguagesComeFirst()
{
    const QList<SpeechMode> modes = ModeList::build(sampleVoices());
    QStringList names;
    for (const SpeechMode &m : modes)
        names << QString::fromLatin1(m.espeakName);
    QCOMPARE(names, QStringList({"gmw/de", "gmw/de+f3", "gmw/en-US", "gmw/en-US+f3", "roa/es",
                                 "roa/es+f3", "roa/it", "roa/it+f3", "gmw/nl", "gmw/nl+f3",
                                 "roa/pt", "roa/pt+f3", "gmw/af", "gmw/af+f3", "gmw/en",
                                 "gmw/en+f3", "art/piqd", "art/piqd+f3"}));
    QCOMPARE(modes.at(0).name, QStringLiteral("Deutsch (männlich)"));
    QCOMPARE(modes.at(1).name, QStringLiteral("Deutsch (weiblich)"));
    QCOMPARE(modes.at(2).name, QStringLiteral("Englisch (Vereinigte Staaten) (männlich)"));
    QCOMPARE(modes.at(14).name, QStringLiteral("Englisch (Vereinigtes Königreich) (männlich)"));
    QCOMPARE(modes.at(16).name, QStringLiteral("Klingon (männlich)"));
    for (int i = 0; i < modes.size(); ++i)
        QCOMPARE(modes.at(i).gender, i % 2 == 0 ? int(SpeechEngine::Male) : int(SpeechEngine::Female));
}

void tst_ModeList::languageIds_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<int>("id");
    QTest::newRow("de") << QByteArray("de") << 1031;
    QTest::newRow("en-us") << QByteArray("en-us") << 1033;
    QTest::newRow("en-gb") << QByteArray("en-gb") << 2057;
    QTest::newRow("es") << QByteArray("es") << 1034;
    QTest::newRow("it") << QByteArray("it") << 1040;
    QTest::newRow("nl") << QByteArray("nl") << 1043;
    QTest::newRow("pt") << QByteArray("pt") << 2070;
    QTest::newRow("pt-br") << QByteArray("pt-br") << 1046;
    QTest::newRow("regional falls back to language") << QByteArray("en-gb-scotland") << 2057;
    QTest::newRow("upper case") << QByteArray("DE") << 1031;
    QTest::newRow("no Windows id") << QByteArray("piqd") << 4096;
}

void tst_ModeList::languageIds()
{
    QFETCH(QByteArray, language);
    QFETCH(int, id);
    QCOMPARE(ModeList::languageId(language), id);
}

void tst_ModeList::mbrolaAndBrokenEntriesAreSkipped()
{
    const QList<SpeechMode> modes = ModeList::build({
        {"de", "German_mbrola_1", "mb/mb-de1"},
        {"", "Nameless", "xx/none"},
        {"de", "German", "gmw/de"},
        {"de", "German", "gmw/de"}, // listed twice
        {"fr-fr", "French_(France)", ""},
    });
    QCOMPARE(modes.size(), 2);
    QCOMPARE(modes.at(0).espeakName, QByteArray("gmw/de"));
}

void tst_ModeList::installedVoicesStartWithGerman_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("gender");
    QTest::newRow("1 German male") << 1 << 1031 << 1;
    QTest::newRow("2 German female") << 2 << 1031 << 2;
    QTest::newRow("3 English male") << 3 << 1033 << 1;
    QTest::newRow("4 English female") << 4 << 1033 << 2;
    QTest::newRow("5 Spanish") << 5 << 1034 << 1;
    QTest::newRow("7 Italian") << 7 << 1040 << 1;
    QTest::newRow("9 Dutch") << 9 << 1043 << 1;
    QTest::newRow("12 Portuguese female") << 12 << 2070 << 2;
}

void tst_ModeList::installedVoicesStartWithGerman()
{
    EspeakEngine engine;
    if (!EspeakEngine::isAvailable())
        QSKIP("espeak-ng has no voice data here");
    QFETCH(int, mode);
    QFETCH(int, language);
    QFETCH(int, gender);
    QCOMPARE(engine.language(mode), language);
    QCOMPARE(engine.gender(mode), gender);
    QVERIFY(!engine.modeName(mode).isEmpty());
}

void tst_ModeList::installedListHasEveryLanguageAsPair()
{
    EspeakEngine engine;
    if (!EspeakEngine::isAvailable())
        QSKIP("espeak-ng has no voice data here");
    QVERIFY(engine.modeCount() > 12);
    QCOMPARE(engine.modeCount() % 2, 0);
    QCOMPARE(engine.modeName(0), QString());
    QCOMPARE(engine.language(engine.modeCount() + 1), 0);
    QCOMPARE(engine.gender(0), 0);
    QSet<QString> names;
    for (int m = 1; m <= engine.modeCount(); ++m) {
        const QString name = engine.modeName(m);
        QVERIFY2(!names.contains(name), qPrintable(name));
        names.insert(name);
        QVERIFY2(!name.contains(QLatin1String("  ")) && !name.contains(QLatin1Char('_')), qPrintable(name));
    }
    QCOMPARE(names.size(), engine.modeCount());
}

void tst_ModeList::twoVoicesOfOneLanguage()
{
    const QList<SpeechMode> modes = ModeList::build({
        {"yue", "Chinese_(Cantonese)", "sit/yue"},
        {"yue", "Chinese_(Cantonese,_latin_as_Jyutping)", "sit/yue-Latn-jyutping"},
    });
    QCOMPARE(modes.at(0).name, QStringLiteral("Kantonesisch (männlich)"));
    QCOMPARE(modes.at(2).name, QStringLiteral("Kantonesisch (latin as Jyutping) (männlich)"));
}

// The names come from ICU's German display names; only what ICU cannot
// name keeps the engine's own words.
void tst_ModeList::germanNames_data()
{
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<QString>("engineName");
    QTest::addColumn<QString>("german");
    QTest::newRow("language") << QByteArray("ar") << "Arabic" << "Arabisch";
    QTest::newRow("three letters") << QByteArray("yue") << "Chinese_(Cantonese)" << "Kantonesisch";
    QTest::newRow("region") << QByteArray("es-419") << "Spanish_(Latin_America)" << "Spanisch (Lateinamerika)";
    QTest::newRow("script and variant") << QByteArray("cmn-latn-pinyin") << "Chinese_(Mandarin,_latin_as_Pinyin)"
                                        << "Chinesisch (Lateinisch, Pinyin)";
    QTest::newRow("private variant") << QByteArray("en-gb-x-rp") << "English_(Received_Pronunciation)"
                                     << "Englisch (Vereinigtes Königreich, Received Pronunciation)";
    QTest::newRow("unknown variant") << QByteArray("en-us-nyc") << "English_(America,_New_York_City)"
                                     << "Englisch (Vereinigte Staaten, New York City)";
    QTest::newRow("trailing blank") << QByteArray("chr-US-Qaaa-x-west") << "Cherokee " << "Cherokee (Vereinigte Staaten)";
    QTest::newRow("unknown to ICU") << QByteArray("qdb") << "Lang_Belta" << "Lang Belta";
    QTest::newRow("nothing at all") << QByteArray("qdb") << "" << "qdb";
}

void tst_ModeList::germanNames()
{
    QFETCH(QByteArray, tag);
    QFETCH(QString, engineName);
    QFETCH(QString, german);
    QCOMPARE(LanguageNames::german(tag, engineName), german);
}

QTEST_GUILESS_MAIN(tst_ModeList)
#include "tst_modelist.moc"
