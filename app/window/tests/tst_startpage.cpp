// The start page and the browser view inside the main window: the views,
// the program's link schemes on the real pages, the error page and the
// about dialog.
#include "BrowserView.h"
#include "WindowRig.h"
#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

namespace {

const QString Greeting = QStringLiteral("speak:Herzlich%20willkommen%20bei%20Quenora!%20Ich%20lese%20Ihnen%20gerne%20Ihre%20Texte%20vor.");

struct Rig : WindowRig {
    explicit Rig(bool startPage = true) : WindowRig(startPage)
    {
        voice.setAutoFinishMs(0);
        voice2.setAutoFinishMs(0);
    }
    BrowserView &browser() { return *window->wbBrowser(); }
    QString pageTitle() { return browser().documentTitle(); }
};

// Clicks the link with this href in the browser view, as a user would.
bool clickLink(BrowserView &view, const QString &href)
{
    for (QTextBlock b = view.document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorHref() != href)
                continue;
            QTextCursor c(view.document());
            c.setPosition(it.fragment().position() + 1);
            view.setTextCursor(c);
            view.ensureCursorVisible();
            const QRect r = view.cursorRect(c);
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(r.left() + 1, r.center().y()));
            return true;
        }
    }
    return false;
}

} // namespace

class TestStartPage : public QObject
{
    Q_OBJECT
private slots:
    void startsWithTheStartPage()
    {
        Rig rig;
        frmMain &w = rig.load();
        QVERIFY(!w.isTextMode());
        QCOMPARE(rig.pageTitle(), QStringLiteral("Quenora – Startseite"));
        QVERIFY(!rig.browser().showsMissingPage());
        QVERIFY(w.action("mnuInternet")->isChecked());
        QVERIFY(!w.action("mnuTextmode")->isChecked());
    }

    void qnGoWithParenthesesSwitchesToTheText()
    {
        Rig rig;
        frmMain &w = rig.load();
        rig.browser().navigate("qn:Go");
        QVERIFY(!w.isTextMode());
        QCOMPARE(rig.pageTitle(), QStringLiteral("Quenora – Startseite"));
        rig.browser().navigate("qn:Go()");
        QVERIFY(w.isTextMode());
        QVERIFY(w.action("mnuTextmode")->isChecked());
        QVERIFY(!w.action("mnuInternet")->isChecked());
        QVERIFY(rig.dialogs.messages.isEmpty());
    }

    void clickingTheStartPagesLinks()
    {
        Rig rig;
        frmMain &w = rig.load();
        w.resize(w.size()); // the window's default size
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(clickLink(rig.browser(), "qn:Go()"));
        QVERIFY(w.isTextMode());

        w.InteractiveMode();
        QVERIFY(clickLink(rig.browser(), Greeting));
        QCOMPARE(w.rtfText()->toPlainText(),
                 QStringLiteral("Herzlich willkommen bei Quenora! Ich lese Ihnen gerne Ihre Texte vor."));
        QVERIFY(w.isTextMode());

        w.InteractiveMode();
        rig.dialogs.files.enqueue(std::nullopt);
        QVERIFY(clickLink(rig.browser(), "qn:Open()"));
        QCOMPARE(rig.dialogs.fileDialogs.size(), 1);
        QVERIFY(w.isTextMode());
    }

    void speakReplacesTheDocumentAndSpeaksIt()
    {
        Rig rig;
        frmMain &w = rig.load();
        w.rtfText()->setPlainText("Alter Text");
        const QString recordingBefore = w.CurrentRecordingPath();
        rig.browser().navigate("speak:Guten%20Tag");
        QCOMPARE(w.rtfText()->toPlainText(), QStringLiteral("Guten Tag"));
        QCOMPARE(rig.voice.spokenTexts().size(), 1);
        QVERIFY2(rig.voice.spokenTexts().first().contains("Guten Tag"), qPrintable(rig.voice.spokenTexts().first()));
        QCOMPARE(rig.voice2.spokenTexts(), rig.voice.spokenTexts());
        // Waited until spoken, into a fresh recording, through the filters.
        QVERIFY(!rig.voice.isSpeaking());
        QVERIFY(w.CurrentRecordingPath() != recordingBefore);
        QCOMPARE(rig.extensions.events.count("Filter"), 1);
        QVERIFY(w.isTextMode());
        QCOMPARE(rig.pageTitle(), QStringLiteral("Quenora – Startseite"));
    }

    void unknownCommandIsCancelledSilently()
    {
        Rig rig;
        frmMain &w = rig.load();
        const QString before = rig.browser().toHtml();
        rig.browser().navigate("qn:Drucken()");
        QVERIFY(!w.isTextMode());
        QCOMPARE(rig.browser().toHtml(), before);
        QVERIFY(rig.dialogs.messages.isEmpty());
        QVERIFY(rig.shell.calls.isEmpty());
        QVERIFY(rig.voice.spokenTexts().isEmpty());
    }

    void qnOpenLoadsAndShowsTheTextWithItsCheck()
    {
        Rig rig;
        frmMain &w = rig.load();
        const QString doc = rig.home.filePath("brief.txt");
        QFile f(doc);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Liebe Anna");
        f.close();
        rig.dialogs.files.enqueue(doc);
        rig.browser().navigate("qn:Open()");
        QCOMPARE(w.rtfText()->toPlainText(), QStringLiteral("Liebe Anna"));
        QVERIFY(w.isTextMode());
        // The view menu ticks the view shown.
        QVERIFY(w.action("mnuTextmode")->isChecked());
        QVERIFY(!w.action("mnuInternet")->isChecked());
    }

    void qnSpeakShowsAnEmptyMessageAndTheStartPage()
    {
        Rig rig;
        frmMain &w = rig.load();
        w.action("mnuMoreInfo")->trigger();
        rig.dialogs.answers.enqueue(Dialogs::Answer::Ok);
        rig.browser().navigate("qn:Speak(Hallo)");
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QCOMPARE(rig.dialogs.messages.first().text, QString());
        QCOMPARE(rig.pageTitle(), QStringLiteral("Quenora – Startseite"));
        QVERIFY(rig.voice.spokenTexts().isEmpty());
    }

    void moreInfoShowsTheAboutPageAndInteractiveModeKeepsIt()
    {
        Rig rig(false);
        frmMain &w = rig.load();
        QVERIFY(w.isTextMode());
        w.action("mnuMoreInfo")->trigger();
        QVERIFY(!w.isTextMode());
        QCOMPARE(rig.pageTitle(), QStringLiteral("Über Quenora"));
        QVERIFY(w.action("mnuInternet")->isChecked());
        w.Textmode();
        w.InteractiveMode();
        QCOMPARE(rig.pageTitle(), QStringLiteral("Über Quenora"));
        w.action("mnuShowHelp")->trigger();
        QCOMPARE(rig.pageTitle(), QStringLiteral("Quenora – Hilfe"));
    }

    void textmodeFocusesTheDocument()
    {
        Rig rig;
        frmMain &w = rig.load();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        rig.browser().setFocus();
        w.Textmode();
        QTRY_COMPARE(QApplication::focusWidget(), w.rtfText());
    }

    void webLinksOpenInTheDesktopsBrowser()
    {
        Rig rig;
        rig.load();
        rig.browser().navigate("https://example.com/quenora/");
        QCOMPARE(rig.shell.calls.size(), 1);
        QCOMPARE(rig.shell.calls.first().kind, QStringLiteral("url"));
        QCOMPARE(rig.shell.calls.first().target, QStringLiteral("https://example.com/quenora/"));
        QCOMPARE(rig.pageTitle(), QStringLiteral("Quenora – Startseite"));
    }

    void errorPage_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("ending");
        QTest::newRow("empty description") << "" << "Fehlerbeschreibung: (keine Fehlernummer!)";
        QTest::newRow("with description") << "Zugriff verweigert" << "Fehlerbeschreibung: Zugriff verweigert";
    }
    void errorPage()
    {
        QFETCH(QString, description);
        QFETCH(QString, ending);
        Rig rig(false);
        frmMain &w = rig.load();
        w.ShowErrorPage(76, description);
        const QString written = rig.home.filePath("hypertext/err2.html");
        QFile f(written);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        QVERIFY2(html.contains("<p><p>Fehlernummer: 76<br>" + ending + "\n"), qPrintable(html));
        QVERIFY(!w.isTextMode());
        QCOMPARE(rig.browser().source(), QUrl::fromLocalFile(written));
        QVERIFY(rig.browser().toPlainText().contains("Fehlernummer: 76"));
    }

    void errorNumberZeroDoesNothing()
    {
        Rig rig(false);
        frmMain &w = rig.load();
        w.ShowErrorPage(0, "egal");
        QVERIFY(!QFile::exists(rig.home.filePath("hypertext/err2.html")));
        QVERIFY(w.isTextMode());
    }

    void missingStartPageShowsAMessage()
    {
        Rig rig;
        QTemporaryDir empty;
        qputenv("QUENORA_DATA_DIR", empty.path().toUtf8());
        frmMain &w = rig.load();
        QVERIFY(!w.isTextMode());
        QVERIFY(rig.browser().showsMissingPage());
        QVERIFY(rig.browser().toPlainText().contains("Diese Seite kann nicht angezeigt werden"));
        w.action("mnuMoreInfo")->trigger();
        QVERIFY(rig.browser().toPlainText().contains("About.htm"));
        // The error page without its template: the page is empty, nothing breaks.
        w.ShowErrorPage(1, "x");
        QVERIFY(!rig.browser().showsMissingPage());
    }

    void aboutDialogStaysOpenOnPrint()
    {
        Rig rig;
        frmMain &w = rig.load();
        QStringList seen;
        QTimer::singleShot(0, [&] {
            QWidget *about = QApplication::activeModalWidget();
            QVERIFY(about);
            seen << about->objectName();
            QTest::keyClick(about, Qt::Key_Print);
            seen << (about->isVisible() ? "open" : "closed");
            QTest::keyClick(about, Qt::Key_Space);
            seen << (about->isVisible() ? "open" : "closed");
        });
        w.action("mnuAbout")->trigger();
        QCOMPARE(seen, (QStringList{"frmAbout", "open", "closed"}));
        QCOMPARE(w.action("mnuAbout")->shortcut(), QKeySequence(Qt::Key_F12));
    }
};

QTEST_MAIN(TestStartPage)
#include "tst_startpage.moc"
