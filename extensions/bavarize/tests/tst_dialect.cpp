#include "Dialect.h"
#include "DialectWordTable.h"

#include <QElapsedTimer>
#include <QTest>

#include <string>

class tst_Dialect : public QObject
{
    Q_OBJECT

    static QString filter(const QString &text)
    {
        std::string s = text.toStdString();
        return QString::fromStdString(Dialect().FilterText(s));
    }

private slots:
    void filterText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("dialect");
        QTest::newRow("worked example") << "Hallo, ich bin da." << " servus , i bin doh  , ";
        QTest::newRow("exclamation") << "Ja!" << " jo ! ";
        QTest::newRow("question") << "Ist das gut?" << " is des guad ? ";
        QTest::newRow("capitals") << "NICHT" << " net ";
        QTest::newRow("Fichte") << "Fichte" << " Fichtn ";
        QTest::newRow("fichte") << "fichte" << " Fichtn ";
        QTest::newRow("hyphen stays attached") << "Hallo-Welt" << " Hallo-Welt ";
        QTest::newRow("semicolon stays attached") << "hallo;" << " hallo; ";
        QTest::newRow("CR LF") << "ja\r\nnein" << " jo nein ";
        QTest::newRow("lone LF and CR stay") << "ja\nnein\rda" << " ja\nnein\rda ";
        QTest::newRow("tab stays") << "ja\tda" << " ja\tda ";
        QTest::newRow("umlaut capitals") << "MÄDCHEN" << " madl ";
        QTest::newRow("sharp s") << "Tschüß" << " servus ";
        QTest::newRow("neunzig to itself") << "NEUNZIG" << " neunzig ";
        QTest::newRow("unknown keeps its case") << "Bayern" << " Bayern ";
        QTest::newRow("empty") << "" << "  ";
        QTest::newRow("blanks kept") << "ja  da " << " jo  doh  ";
        QTest::newRow("first pair wins, shared replacement") << "grade grad gerade" << " grod grod grod ";
        QTest::newRow("full stop then comma") << "da.," << " doh  , , ";
        // Two neighbouring words together, before the one-word lookup.
        QTest::newRow("auf wiedersehen") << "Auf Wiedersehen!" << " pfiad die ! ";
        QTest::newRow("auf das") << "auf das Rad" << " aufs radl ";
        QTest::newRow("auf die") << "AUF DIE" << " aufs ";
        QTest::newRow("auf des") << "auf des" << " aufs ";
        QTest::newRow("das alone") << "das auf" << " des auf ";
        QTest::newRow("not neighbours") << "auf  das" << " auf  des ";
        QTest::newRow("auf at the end") << "drauf auf" << " drauf auf ";
        QTest::newRow("auf das auf die") << "auf das auf die" << " aufs aufs ";
    }

    void filterText()
    {
        QFETCH(QString, text);
        QFETCH(QString, dialect);
        QCOMPARE(filter(text), dialect);
    }

    void argumentHoldsPreparedText()
    {
        std::string s = "Hallo, ich bin da.";
        Dialect().FilterText(s);
        QCOMPARE(QString::fromStdString(s), QStringLiteral(" Hallo , ich bin da  , "));
    }

    void table()
    {
        const auto &pairs = DialectWordTable::pairs();
        QCOMPARE(pairs.size(), size_t(109));
        QCOMPARE(QString::fromUtf8(pairs.front().first.data()), QStringLiteral("ja"));
        QCOMPARE(QString::fromUtf8(pairs.back().second.data()), QStringLiteral("dirndl"));
        // Every key reaches its first pair's word, whatever its case.
        for (const auto &p : pairs) {
            const QString key = QString::fromUtf8(p.first.data(), qsizetype(p.first.size()));
            QString expected;
            for (const auto &q : pairs) {
                if (QString::fromUtf8(q.first.data(), qsizetype(q.first.size())).toLower() == key.toLower()) {
                    expected = QString::fromUtf8(q.second.data(), qsizetype(q.second.size()));
                    break;
                }
            }
            // "ß" has no capital of one letter, so such keys are capitalised only.
            const QString upper = key.toUpper().toLower() == key.toLower() ? key.toUpper()
                                                                           : key.left(1).toUpper() + key.mid(1);
            QCOMPARE(filter(upper), QLatin1Char(' ') + expected + QLatin1Char(' '));
        }
    }

    // A megabyte of text in one call: the words and blanks come through in
    // order, each known word replaced.
    void oneMegabyte()
    {
        const QString sentence = QStringLiteral("Ich habe gerade ein neues Fahrrad, das ist gut! ");
        QString text;
        while (text.size() < 1024 * 1024)
            text += sentence;
        const QString expectedOne = QStringLiteral("i hob grod oan neues radl , des is guad ! ");
        QElapsedTimer t;
        t.start();
        const QString out = filter(text);
        qInfo("1 MB in %lld ms", t.elapsed());
        const qsizetype n = text.size() / sentence.size();
        QCOMPARE(out.size(), 1 + n * expectedOne.size() + 1);
        QCOMPARE(out, QLatin1Char(' ') + expectedOne.repeated(n) + QLatin1Char(' '));
    }
};

QTEST_GUILESS_MAIN(tst_Dialect)
#include "tst_dialect.moc"
