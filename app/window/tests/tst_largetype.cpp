// Large type without scaling, as a low-vision user sets it up (twice the
// usual font resolution): the about dialog, the toolbar and the task pane
// keep every text readable.
#include "CPanelkitCtrl.h"
#include "TextFit.h"
#include "WindowRig.h"
#include "frmAbout.h"

#include <QApplication>
#include <QTemporaryFile>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

class TestLargeType : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("QUENORA_DATA_DIR", QUENORA_SOURCE_DIR "/data");
        QVERIFY2(QFontMetrics(QApplication::font()).height() >= 24, "the large type did not take");
    }

    void aboutDialogLinesFitAndKeepApart()
    {
        frmAbout about("0.1");
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        const QStringList faults = TextFit::cutTexts(&about) + TextFit::overlappingTexts(&about);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        for (const QLabel *l : about.findChildren<QLabel *>())
            QVERIFY2(about.rect().contains(l->geometry()), qPrintable(l->objectName()));
    }

    void toolbarHidesNoButton()
    {
        WindowRig rig;
        frmMain &window = rig.load();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *toolbar = window.findChild<QToolBar *>("Toolbar1");
        QVERIFY(toolbar);
        int buttons = 0;
        for (QAction *a : toolbar->actions()) {
            if (a->isSeparator())
                continue;
            ++buttons;
            QVERIFY2(toolbar->widgetForAction(a) && toolbar->widgetForAction(a)->isVisible(), qPrintable(a->text()));
        }
        QCOMPARE(buttons, 7);
        const auto *overflow = toolbar->findChild<QToolButton *>("qt_toolbar_ext_button");
        QVERIFY(!overflow || !overflow->isVisible());
    }

    void taskPaneShowsItsEntriesWhole()
    {
        WindowRig rig;
        frmMain &window = rig.load();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *pane = window.findChild<CPanelkitCtrl *>("ctlTask");
        QVERIFY(pane);
        QVERIFY(pane->groupCount() >= 2);
        for (int g = 0; g < pane->groupCount(); ++g)
            for (const auto &item : pane->groupAt(g)->entries)
                QCOMPARE(pane->entryLines(item->id), QStringList{item->text});
    }
};

int main(int argc, char **argv)
{
    // Set before the application reads them. The headless screen is given
    // the size of a usual desktop (the platform's own is 800 x 600).
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qputenv("QT_FONT_DPI", "192");
    QTemporaryFile screens;
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && screens.open()) {
        screens.write(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1600, "height": 1000}]})");
        screens.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    }
    QApplication app(argc, argv);
    TestLargeType test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_largetype.moc"
