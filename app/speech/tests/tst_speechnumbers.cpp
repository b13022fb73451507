// The number rules of speaking: percentages into an engine's range, whole
// numbers from settings, the random number of a recording.
#include "SpeechNumbers.h"

#include <QSet>
#include <QtTest>

#include <limits>

class tst_SpeechNumbers : public QObject
{
    Q_OBJECT
private slots:
    void percentToEngineValue_data();
    void percentToEngineValue();
    void wholeNumber_data();
    void wholeNumber();
    void randomBetween_data();
    void randomBetween();
    void randomBetweenStaysInRange();
};

void tst_SpeechNumbers::percentToEngineValue_data()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("expected");
    QTest::newRow("0 % is the minimum") << 80 << 450 << 0 << true << 80;
    QTest::newRow("100 % is the maximum") << 80 << 450 << 100 << true << 450;
    QTest::newRow("stored speed 25 %: 92.5 rounds to 92") << 80 << 450 << 25 << true << 172;
    QTest::newRow("stored pitch 50 %") << 0 << 100 << 50 << true << 50;
    QTest::newRow("half down to even") << 0 << 5 << 50 << true << 2;
    QTest::newRow("half up to even") << 0 << 3 << 50 << true << 2;
    QTest::newRow("just above half") << 0 << 101 << 50 << true << 50;
    QTest::newRow("negative range") << -10 << 0 << 25 << true << -8;
    QTest::newRow("above 100 %") << 0 << 100 << 150 << true << 150;
    QTest::newRow("product overflows 32 bits")
        << 0 << std::numeric_limits<int>::max() << 2 << false << 0;
    QTest::newRow("range overflows 32 bits")
        << std::numeric_limits<int>::min() << std::numeric_limits<int>::max() << 1 << false << 0;
    QTest::newRow("largest product that fits") << 0 << 21474836 << 100 << true << 21474836;
}

void tst_SpeechNumbers::percentToEngineValue()
{
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, percent);
    QFETCH(bool, valid);
    QFETCH(int, expected);
    const std::optional<int> value = SpeechNumbers::percentToEngineValue(min, max, percent);
    QCOMPARE(value.has_value(), valid);
    if (valid)
        QCOMPARE(*value, expected);
}

void tst_SpeechNumbers::wholeNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << "25" << true << 25;
    QTest::newRow("blanks") << " 7 " << true << 7;
    QTest::newRow("negative") << "-3" << true << -3;
    QTest::newRow("decimal half to even") << "2.5" << true << 2;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("word") << "laut" << false << 0;
    QTest::newRow("too large") << "99999999999" << false << 0;
}

void tst_SpeechNumbers::wholeNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, expected);
    const std::optional<int> value = SpeechNumbers::wholeNumber(text);
    QCOMPARE(value.has_value(), valid);
    if (valid)
        QCOMPARE(*value, expected);
}

void tst_SpeechNumbers::randomBetween_data()
{
    QTest::addColumn<double>("random");
    QTest::addColumn<int>("expected");
    QTest::newRow("zero gives low") << 0.0 << 1;
    QTest::newRow("almost one gives high") << 0.99999999 << 31000;
    QTest::newRow("half rounds to even") << 0.5 << 15500;
    QTest::newRow("out of range source is held in") << 3.0 << 31000;
}

void tst_SpeechNumbers::randomBetween()
{
    QFETCH(double, random);
    QFETCH(int, expected);
    QCOMPARE(SpeechNumbers::RandomBetween(1, 31000, [random] { return random; }), expected);
}

void tst_SpeechNumbers::randomBetweenStaysInRange()
{
    QSet<int> seen;
    for (int i = 0; i < 2000; ++i) {
        const int n = SpeechNumbers::RandomBetween(1, 31000);
        QVERIFY2(n >= 1 && n <= 31000, qPrintable(QString::number(n)));
        seen.insert(n);
    }
    // Calls in quick succession must not repeat one number.
    QVERIFY(seen.size() > 1900);
}

QTEST_APPLESS_MAIN(tst_SpeechNumbers)
#include "tst_speechnumbers.moc"
