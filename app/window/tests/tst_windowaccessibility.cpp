// The main window as a screen reader and a keyboard user meet it: names of
// its parts, the menu bar's keys, and status messages that are announced.
#include "WindowRig.h"

#include "AccessibilityRecorder.h"
#include "BrowserView.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>

namespace {

// The access key of a caption ("Speichern &unter" -> 'U'), or a null char.
QChar accessKey(const QString &caption)
{
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (caption[i + 1] == QLatin1Char('&')) {
                ++i;
                continue;
            }
            return caption[i + 1].toUpper();
        }
    }
    return QChar();
}

void checkDistinctKeys(const QList<QAction *> &actions, const QString &where)
{
    QSet<QChar> keys;
    for (QAction *a : actions) {
        if (a->isSeparator())
            continue;
        const QChar key = accessKey(a->text());
        if (key.isNull())
            continue;
        QVERIFY2(!keys.contains(key), qPrintable(where + QStringLiteral(": ") + a->text()));
        keys.insert(key);
    }
}

} // namespace

class TestWindowAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void partsHaveGermanNames_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("name");
        QTest::newRow("document box") << "rtfText" << "Dokument";
        QTest::newRow("toolbar") << "Toolbar1" << "Symbolleiste";
        QTest::newRow("start page") << "wbBrowser" << "Quenora – Startseite";
        QTest::newRow("script editor's text") << "rtfSkript" << "Taskscript";
    }
    void partsHaveGermanNames()
    {
        QFETCH(QString, part);
        QFETCH(QString, name);
        WindowRig rig(true);
        frmMain &w = rig.load();
        w.ShowTaskEditor(); // made at first use
        QWidget *widget = w.findChild<QWidget *>(part);
        QVERIFY(widget);
        QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), name);
    }

    // Every top menu and every entry of a menu can be reached by its own key.
    void menusHaveDistinctAccessKeys()
    {
        WindowRig rig;
        frmMain &w = rig.make();
        const QList<QAction *> top = w.menuBar()->actions();
        QVERIFY(top.size() >= 6);
        for (QAction *a : top)
            QVERIFY2(!accessKey(a->text()).isNull(), qPrintable(a->text()));
        checkDistinctKeys(top, QStringLiteral("Menüleiste"));
        for (QAction *a : top)
            checkDistinctKeys(a->menu()->actions(), a->text());
    }

    // F10 opens the menu bar; Escape closes the menu and leaves the menu
    // bar instead of stopping speech there; in the document it stops speech.
    void f10OpensTheMenuBarAndEscapeLeavesIt()
    {
        WindowRig rig;
        frmMain &w = rig.load();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.SpeakText(SpeakRequest::ofText(QStringLiteral("Hallo")).withFilters(false));
        QVERIFY(rig.voice.isSpeaking());

        QTest::keyClick(w.rtfText(), Qt::Key_F10);
        QCOMPARE(w.menuBar()->activeAction(), w.menuBar()->actions().constFirst());
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QVERIFY(rig.voice.isSpeaking());
        QTest::keyClick(w.menuBar(), Qt::Key_Escape);
        QVERIFY(rig.voice.isSpeaking());
        QVERIFY(!w.menuBar()->activeAction());

        QTest::keyClick(w.rtfText(), Qt::Key_Escape);
        QVERIFY(!rig.voice.isSpeaking());
    }

    // A status message that is news is announced as a notification of the
    // status bar; the character count that follows every edit is not.
    void statusMessagesAreAnnounced()
    {
        AccessibilityRecorder recorder;
        WindowRig rig;
        frmMain &w = rig.load();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.SpeakText(SpeakRequest::ofText(QStringLiteral("Hallo")).withFilters(false));
        recorder.clear();
        QVERIFY(rig.voice2.finishText());
        QVERIFY(rig.voice.finishText());
        QTRY_COMPARE(w.statusText(), QStringLiteral("Der Text wurde vollständig vorgelesen."));
        const auto shown = recorder.last(QAccessible::ObjectShow);
        QVERIFY(shown.iface);
        QCOMPARE(shown.role, QAccessible::Notification);
        QCOMPARE(shown.name, QStringLiteral("Der Text wurde vollständig vorgelesen."));
        QCOMPARE(shown.iface->parent()->role(), QAccessible::StatusBar);

        recorder.clear();
        QTest::keyClicks(w.rtfText(), QStringLiteral("abc"));
        QVERIFY(w.statusText().endsWith(QStringLiteral("Zeichen.")));
        QVERIFY(recorder.ofType(QAccessible::ObjectShow).empty());
    }
};

QTEST_MAIN(TestWindowAccessibility)
#include "tst_windowaccessibility.moc"
