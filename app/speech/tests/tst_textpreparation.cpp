#include "FakeSpeechEngine.h"
#include "FakeClock.h"
#include "TextPreparation.h"
#include "VoiceSetup.h"

#include <QtTest>

#include <limits>

class tst_TextPreparation : public QObject
{
    Q_OBJECT
private slots:
    void wrap_data();
    void wrap();
    void timeVariables_data();
    void timeVariables();
    void prepareUsesInjectedClockAlsoInPrefix();
    void voiceSetupAppliesDefaultsToBoth();
    void voiceSetupRejectsUnknownMode();
    void voiceSetupStopsOnOverflow();
};

void tst_TextPreparation::wrap_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("expected");
    QTest::newRow("both empty") << "" << "Text" << "" << " Text ";
    QTest::newRow("prefix only") << "Achtung" << "Text" << "" << "Achtung Text ";
    QTest::newRow("suffix only") << "" << "Text" << "Ende" << " Text Ende";
    QTest::newRow("both") << "Achtung" << "Text" << "Ende" << "Achtung Text Ende";
    QTest::newRow("empty text") << "A" << "" << "B" << "A  B";
}

void tst_TextPreparation::wrap()
{
    QFETCH(QString, prefix);
    QFETCH(QString, text);
    QFETCH(QString, suffix);
    QFETCH(QString, expected);
    QCOMPARE(TextPreparation::wrap(prefix, text, suffix), expected);
}

void tst_TextPreparation::timeVariables_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const QDateTime sunday(QDate(2026, 12, 6), QTime(7, 5, 9));
    const QDateTime saturday(QDate(2026, 12, 12), QTime(23, 59, 0));
    QTest::newRow("all four, no leading zeros")
        << sunday << "$Zeit[h]:$Zeit[m]:$Zeit[s] Tag $Zeit[w]" << "7:5:9 Tag 1";
    QTest::newRow("saturday is 7, midnight minute")
        << saturday << "$Zeit[w] $Zeit[h] $Zeit[m] $Zeit[s]" << "7 23 59 0";
    QTest::newRow("every occurrence") << sunday << "$Zeit[m]$Zeit[m]" << "55";
    QTest::newRow("case-sensitive") << sunday << "$zeit[h] $ZEIT[m] $Zeit[H]" << "$zeit[h] $ZEIT[m] $Zeit[H]";
    QTest::newRow("unknown letter untouched") << sunday << "$Zeit[x]" << "$Zeit[x]";
    QTest::newRow("monday") << QDateTime(QDate(2026, 12, 7), QTime(0, 0, 0)) << "$Zeit[w]" << "2";
}

void tst_TextPreparation::timeVariables()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TextPreparation::replaceTimeVariables(text, now), expected);
}

void tst_TextPreparation::prepareUsesInjectedClockAlsoInPrefix()
{
    // Counts its reads: the values must belong to one moment.
    struct CountingClock : FakeClock {
        using FakeClock::FakeClock;
        QDateTime now() const override
        {
            ++reads;
            return FakeClock::now();
        }
        mutable int reads = 0;
    } clock(QDateTime(QDate(2026, 12, 8), QTime(14, 30, 0)));
    TextPreparation prep(clock);
    QCOMPARE(prep.prepare(QStringLiteral("Text $Zeit[m]"), QStringLiteral("Es ist $Zeit[h] Uhr"),
                          QStringLiteral("Tag $Zeit[w]")),
             QStringLiteral("Es ist 14 Uhr Text 30 Tag 3"));
    QCOMPARE(clock.reads, 1);
}

void tst_TextPreparation::voiceSetupAppliesDefaultsToBoth()
{
    FakeSpeechEngine voice, voice2;
    QCOMPARE(VoiceSetup::apply(voice, &voice2, {}), VoiceSetup::Result::Ok);
    QCOMPARE(voice.calls(), QStringList({"selectMode:2", "setPitch:50", "setSpeed:172",
                                         "setLeftVolume:100", "setRightVolume:100"}));
    QCOMPARE(voice2.calls(), QStringList({"selectMode:2", "setPitch:50", "setSpeed:172",
                                          "setLeftVolume:100", "setRightVolume:100"}));
    QCOMPARE(voice2.currentMode(), 2);
}

void tst_TextPreparation::voiceSetupRejectsUnknownMode()
{
    FakeSpeechEngine voice, voice2;
    VoiceSetup::Percentages settings;
    settings.voicePosition = voice.modeCount(); // one past the last
    QCOMPARE(VoiceSetup::apply(voice, &voice2, settings), VoiceSetup::Result::ModeRejected);
    QCOMPARE(voice.currentMode(), 1);
    QVERIFY(!voice.calls().join(' ').contains("setPitch"));
    settings.voicePosition = std::numeric_limits<int>::max();
    QCOMPARE(VoiceSetup::apply(voice, &voice2, settings), VoiceSetup::Result::ModeRejected);
}

void tst_TextPreparation::voiceSetupStopsOnOverflow()
{
    FakeSpeechEngine voice;
    VoiceSetup::Percentages settings;
    settings.speed = 10000000; // 370 * 10^7 does not fit in 32 bits
    QCOMPARE(VoiceSetup::apply(voice, nullptr, settings), VoiceSetup::Result::Overflow);
    QVERIFY(!voice.calls().join(' ').contains("setSpeed"));
}

QTEST_GUILESS_MAIN(tst_TextPreparation)
#include "tst_textpreparation.moc"
