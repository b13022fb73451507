// The about dialog: what it shows and what closes it.
#include "TextFit.h"
#include "WindowTexts.h"
#include "frmAbout.h"

#include <QFrame>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

class TestFrmAbout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("QUENORA_DATA_DIR", QUENORA_SOURCE_DIR "/data");
    }

    void versionText_data()
    {
        QTest::addColumn<QString>("majorMinor");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0.1") << "0.1" << "Version 0.1.1";
        QTest::newRow("2.13") << "2.13" << "Version 2.13.1";
        QTest::newRow("patch dropped") << "3.4.7" << "Version 3.4.1";
        QTest::newRow("no minor") << "5" << "Version 5.0.1";
    }
    void versionText()
    {
        QFETCH(QString, majorMinor);
        QFETCH(QString, expected);
        frmAbout about(majorMinor);
        QCOMPARE(about.findChild<QLabel *>("lblVersion")->text(), expected);
    }

    void showsPictureFrameAndLabels()
    {
        frmAbout about("0.1");
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QVERIFY(!about.Image1()->pixmap().isNull());
        QCOMPARE(about.Image1()->geometry(), about.rect());
        QCOMPARE(about.Shape1()->geometry(), about.rect());
        QCOMPARE(about.findChild<QLabel *>("Label4")->text(), QStringLiteral("Erscheinungsdatum: 6. Dezember 2005"));
        QCOMPARE(about.findChild<QLabel *>("Label1")->text(),
                 QStringLiteral("Klicken Sie auf den Dialog um zum Programm zurückzukehren."));
        QLabel *legal = about.findChild<QLabel *>("Label2");
        QVERIFY(legal->text().contains(QLatin1String("GPL-3.0-or-later")));
        // The licence sentence, like every text, is shown whole.
        const QStringList cut = TextFit::cutTexts(&about);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join('\n')));
        for (const char *name : {"Label2", "Label3", "Label5"})
            QVERIFY2(!about.findChild<QLabel *>(name)->text().isEmpty(), name);
        // Every label lies wholly inside the dialog.
        for (QLabel *l : about.findChildren<QLabel *>())
            QVERIFY2(about.rect().contains(l->geometry()), qPrintable(l->objectName()));
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Print stays open") << int(Qt::Key_Print) << false;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << true;
        QTest::newRow("Return") << int(Qt::Key_Return) << true;
        QTest::newRow("a letter") << int(Qt::Key_A) << true;
        QTest::newRow("F12") << int(Qt::Key_F12) << true;
        QTest::newRow("Space") << int(Qt::Key_Space) << true;
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(bool, closes);
        frmAbout about("0.1");
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QSignalSpy finished(&about, &QDialog::finished);
        QTest::keyClick(&about, Qt::Key(key));
        QCOMPARE(finished.count(), closes ? 1 : 0);
        QCOMPARE(about.isVisible(), !closes);
    }

    void clicks_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("closes");
        QTest::newRow("picture") << "Image1" << true;
        QTest::newRow("click hint") << "Label1" << true;
        QTest::newRow("maker") << "Label3" << true;
        QTest::newRow("version") << "lblVersion" << false;
        QTest::newRow("release date") << "Label4" << false;
        QTest::newRow("legal notice") << "Label2" << false;
    }
    void clicks()
    {
        QFETCH(QString, target);
        QFETCH(bool, closes);
        frmAbout about("0.1");
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QSignalSpy finished(&about, &QDialog::finished);
        auto *w = about.findChild<QWidget *>(target);
        QVERIFY(w);
        // Where the widget is really hit: the topmost widget at that point.
        const QPoint inDialog = target == "Image1" ? QPoint(about.width() - 6, 6) : w->geometry().topLeft() + QPoint(3, 5);
        QWidget *hit = about.childAt(inDialog);
        QCOMPARE(hit, w);
        QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(&about, inDialog));
        QCOMPARE(finished.count(), closes ? 1 : 0);
    }

    void withoutThePictureItStillOpens()
    {
        qputenv("QUENORA_DATA_DIR", "/nirgends");
        frmAbout about("0.1");
        qputenv("QUENORA_DATA_DIR", QUENORA_SOURCE_DIR "/data");
        QVERIFY(about.Image1()->pixmap().isNull());
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::keyClick(&about, Qt::Key_Escape);
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
