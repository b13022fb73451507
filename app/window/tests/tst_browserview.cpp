// The browser view's navigation hook, the link rules of the start page and
// the error page, on the real widget (offscreen) and the shipped pages.
#include "AccessibilityRecorder.h"
#include "BrowserView.h"
#include "ErrorPage.h"
#include "NavigationHandler.h"
#include "RecordingSpeaker.h"
#include "PagePictures.h"
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <sys/stat.h>

namespace {

QString pagesDir()
{
    return QStringLiteral(QUENORA_SOURCE_DIR "/data/hypertext");
}

QString page(const char *name)
{
    return QDir(pagesDir()).filePath(QLatin1String(name));
}

// Every href of the document, in order.
QStringList anchors(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QString href = it.fragment().charFormat().anchorHref();
            if (it.fragment().charFormat().isAnchor() && !href.isEmpty() && (out.isEmpty() || out.last() != href))
                out << href;
        }
    }
    return out;
}

// Where on the viewport a link with this href sits (scrolled into view).
QPoint linkPoint(BrowserView &view, const QString &href)
{
    const QTextDocument &doc = *view.document();
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorHref() != href)
                continue;
            QTextCursor c(view.document());
            c.setPosition(it.fragment().position() + 1);
            view.setTextCursor(c);
            view.ensureCursorVisible();
            const QRect r = view.cursorRect(c);
            return QPoint(r.left() + 1, r.center().y());
        }
    }
    return QPoint(-1, -1);
}

struct HookRecorder {
    QStringList seen;
    bool cancel = true;
    BrowserView::NavigationHook hook()
    {
        return [this](const QString &address) {
            seen << address;
            return cancel;
        };
    }
};

} // namespace

class TestBrowserView : public QObject
{
    Q_OBJECT
private slots:
    void startPageOffersTheProgramsActions()
    {
        BrowserView view;
        view.navigate(page("home.htm"));
        QVERIFY(!view.showsMissingPage());
        const QStringList links = anchors(*view.document());
        QVERIFY2(links.contains("qn:Go()"), qPrintable(links.join(' ')));
        QVERIFY(links.contains("qn:Open()"));
        bool speaks = false;
        for (const QString &l : links)
            speaks = speaks || (l.startsWith("speak:") && l.contains("%20"));
        QVERIFY2(speaks, "a greeting spoken through speak: with %20 between its words");
        QCOMPARE(view.documentTitle(), QStringLiteral("Quenora – Startseite"));
    }

    void errorTemplateHoldsThePlaceholder()
    {
        QFile f(page("err.html"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("%MOREINFO"));
    }

    // Mouse clicks on the start page's links reach the hook with the href
    // exactly as the page writes it, %20 included.
    void mouseClicksReachTheHookAsWritten()
    {
        BrowserView view;
        HookRecorder rec;
        view.navigate(page("home.htm"));
        view.setNavigationHook(rec.hook());
        view.resize(420, 420);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        const QStringList links = anchors(*view.document());
        QVERIFY(links.size() >= 3);
        for (const QString &href : links.mid(0, 3)) {
            const QPoint at = linkPoint(view, href);
            QVERIFY2(at.x() >= 0, qPrintable(href));
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
        }
        QCOMPARE(rec.seen, links.mid(0, 3));
        QVERIFY(rec.seen.last().contains("%20"));
        // Cancelled: the start page is still shown.
        QCOMPARE(view.currentAddress(), page("home.htm"));
    }

    void keyboardActivationReachesTheHook()
    {
        BrowserView view;
        HookRecorder rec;
        view.navigate(page("home.htm"));
        view.setNavigationHook(rec.hook());
        view.resize(420, 420);
        view.show();
        view.activateWindow();
        view.setFocus();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QStringList links = anchors(*view.document());
        QVERIFY(links.size() >= 2);

        QTest::keyClick(&view, Qt::Key_Tab);
        QTest::keyClick(&view, Qt::Key_Return);
        QTest::keyClick(&view, Qt::Key_Tab);
        QTest::keyClick(&view, Qt::Key_Return);
        QCOMPARE(rec.seen, links.mid(0, 2));
    }

    // A screen reader reads the page as browsers expose one: named by its
    // title, its text free of the document's internal markers, each link a
    // named, focusable child whose press follows it.
    void aScreenReaderReadsThePageAndItsLinks()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("seite.htm");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<html><head><title>Willkommen</title></head><body><p>Erste Zeile<br>zweite Zeile</p>"
                "<table><tr><td><a href=\"qn:Open\">Dokument \xc3\xb6" "ffnen</a></td>"
                "<td><a href=\"speak:Hallo%20Welt\">Vorlesen</a></td></tr></table>"
                "<p><a href=\"qn:Go\"><img src=\"fehlt.png\"></a></p></body></html>");
        f.close();
        AccessibilityRecorder recorder;
        BrowserView view;
        HookRecorder rec;
        view.navigate(file);
        view.setNavigationHook(rec.hook());
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&view);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::Document);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Willkommen"));
        QAccessibleTextInterface *text = iface->textInterface();
        QVERIFY(text);
        const QString all = text->text(0, text->characterCount());
        QVERIFY2(all.startsWith(QStringLiteral("Erste Zeile\nzweite Zeile\n")), qPrintable(all));
        QVERIFY(all.contains(QStringLiteral("Dokument öffnen")));
        for (const QChar marker : {QChar(0xFDD0), QChar(0xFDD1), QChar(0x2028), QChar(0x2029)})
            QVERIFY2(!all.contains(marker), qPrintable(QString::number(marker.unicode(), 16)));

        QCOMPARE(iface->childCount(), 3);
        const QStringList names{QStringLiteral("Dokument öffnen"), QStringLiteral("Vorlesen"), QStringLiteral("qn:Go")};
        for (int i = 0; i < 3; ++i) {
            QAccessibleInterface *link = iface->child(i);
            QCOMPARE(link->role(), QAccessible::Link);
            QCOMPARE(link->text(QAccessible::Name), names[i]);
            QVERIFY(link->state().focusable);
            QCOMPARE(link->parent(), iface);
            QCOMPARE(iface->indexOfChild(link), i);
        }
        iface->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(rec.seen, QStringList{QStringLiteral("speak:Hallo%20Welt")});

        // Tab moves between the links: each one is announced as it gets the focus.
        view.resize(420, 420);
        view.show();
        view.activateWindow();
        view.setFocus();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_VERIFY(view.hasFocus());
        recorder.clear();
        QTest::keyClick(&view, Qt::Key_Tab);
        QCOMPARE(recorder.last(QAccessible::Focus).iface, iface->child(0));
        QVERIFY(iface->child(0)->state().focused);
        QCOMPARE(iface->focusChild(), iface->child(0));
        QTest::keyClick(&view, Qt::Key_Tab);
        QCOMPARE(recorder.last(QAccessible::Focus).name, QStringLiteral("Vorlesen"));
        // The focus action selects a link as Tab would.
        iface->child(2)->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
        QCOMPARE(recorder.last(QAccessible::Focus).iface, iface->child(2));

        // Another page: the links are those of the new page.
        view.setNavigationHook({});
        view.navigate(page("home.htm"));
        QCOMPARE(iface->childCount(), int(anchors(*view.document()).size()));
        QVERIFY(iface->text(QAccessible::Name).contains(QStringLiteral("Startseite")));
    }

    void setSourceAndRelativeLinksGoThroughTheHook()
    {
        BrowserView view;
        HookRecorder rec;
        rec.cancel = false;
        view.setNavigationHook(rec.hook());
        view.setSource(QUrl::fromLocalFile(page("home.htm")));
        QCOMPARE(rec.seen, QStringList{QUrl::fromLocalFile(page("home.htm")).toString()});
        // A relative link of the page resolves against the page.
        view.navigate("About.htm");
        QCOMPARE(rec.seen.last(), QStringLiteral("About.htm"));
        QCOMPARE(view.documentTitle(), QStringLiteral("Über Quenora"));
        QCOMPARE(view.source(), QUrl::fromLocalFile(page("About.htm")));
        // The history too.
        view.backward();
        QCOMPARE(view.source(), QUrl::fromLocalFile(page("home.htm")));
        QCOMPARE(rec.seen.last(), QUrl::fromLocalFile(page("About.htm")).toString().replace("About", "home"));
    }

    void cancelledNavigationLoadsNothing()
    {
        BrowserView view;
        view.navigate(page("home.htm"));
        const QString before = view.toHtml();
        HookRecorder rec;
        view.setNavigationHook(rec.hook());
        view.navigate(page("About.htm"));
        view.setSource(QUrl::fromLocalFile(page("help.htm")));
        QCOMPARE(rec.seen.size(), 2);
        QCOMPARE(view.toHtml(), before);
        QCOMPARE(view.source(), QUrl::fromLocalFile(page("home.htm")));
    }

    void missingPageShowsAMessage_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("missing file") << QStringLiteral("/nirgends/home.htm");
        QTest::newRow("a folder") << QStringLiteral(QUENORA_SOURCE_DIR "/data");
        QTest::newRow("unknown scheme") << QStringLiteral("gopher:<b>x</b>");
        QTest::newRow("own scheme without a handler") << QStringLiteral("qn:Go()");
    }
    void missingPageShowsAMessage()
    {
        QFETCH(QString, address);
        BrowserView view;
        view.navigate(address);
        QVERIFY(view.showsMissingPage());
        const QString text = view.toPlainText();
        QVERIFY2(text.contains("Diese Seite kann nicht angezeigt werden"), qPrintable(text));
        // The address shows as text, never as markup.
        QVERIFY2(text.contains(address), qPrintable(text));
        // A readable page afterwards shows normally again.
        view.navigate(page("home.htm"));
        QVERIFY(!view.showsMissingPage());
        QVERIFY(view.toPlainText().contains("Willkommen bei Quenora"));
    }

    void webAddressesGoToTheDesktop_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("http") << QStringLiteral("http://example.com/a%20b");
        QTest::newRow("https") << QStringLiteral("https://example.com/");
        QTest::newRow("mail") << QStringLiteral("mailto:anna@example.com");
    }
    void webAddressesGoToTheDesktop()
    {
        QFETCH(QString, address);
        BrowserView view;
        view.navigate(page("home.htm"));
        QSignalSpy external(&view, &BrowserView::externalLinkRequested);
        view.navigate(address);
        QCOMPARE(external.count(), 1);
        QCOMPARE(external.at(0).at(0).toString(), address);
        QCOMPARE(view.source(), QUrl::fromLocalFile(page("home.htm")));
    }

    // Pictures come from the page's own folder and below only: never from
    // the web, a device, a FIFO or a folder beside the page.
    void picturesOnlyFromThePagesFolder()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("seiten"));
        QFile f(dir.filePath("seiten/p.htm"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<html><body background=\"/dev/zero\"><img src=\"http://192.0.2.1/x.png\"><img src=\"pic.jpg\">"
                "<img src=\"/dev/zero\"><img src=\"rohr.png\"><img src=\"../aussen.jpg\"></body></html>");
        f.close();
        QVERIFY(QFile::copy(page("farbverlauf.jpg"), dir.filePath("seiten/pic.jpg")));
        QVERIFY(QFile::copy(page("farbverlauf.jpg"), dir.filePath("aussen.jpg")));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("seiten/rohr.png")).constData(), 0600), 0);
        BrowserView view;
        view.navigate(dir.filePath("seiten/p.htm"));
        QVERIFY(!view.showsMissingPage());
        for (const char *refused : {"http://192.0.2.1/x.png", "/dev/zero", "rohr.png", "../aussen.jpg"})
            QVERIFY2(view.loadResource(QTextDocument::ImageResource, QUrl(refused)).toByteArray().isEmpty(), refused);
        QVERIFY(!view.loadResource(QTextDocument::ImageResource, QUrl("pic.jpg")).toByteArray().isEmpty());
    }

    void fragmentLinksStayOnThePage()
    {
        BrowserView view;
        view.resize(400, 300);
        view.navigate(page("help.htm"));
        view.navigate("#variablen");
        QVERIFY(!view.showsMissingPage());
        QCOMPARE(view.source().adjusted(QUrl::RemoveFragment), QUrl::fromLocalFile(page("help.htm")));
    }
};

// ---------------------------------------------------------------------------

namespace {
struct ActionLog {
    QStringList log;
    RecordingSpeaker speaker;
    ActionLog()
    {
        speaker.whileSpeaking = [this] {
            const SpeakRequest &r = speaker.requests.last();
            // The text just put into the document, waited for, into a fresh
            // recording, through the filters.
            const bool asLinks = r.source == SpeakRequest::Source::Document && r.wait
                                 && r.recording == SpeakRequest::Recording::NewTemporary && r.applyFilters;
            log << (asLinks ? "speak document" : "speak otherwise");
        };
    }
    NavigationHandler::Actions actions()
    {
        NavigationHandler::Actions a;
        a.textmode = [this] { log << "Textmode"; };
        a.openDocument = [this] { log << "OpenDoc"; };
        a.showTextView = [this] { log << "showTextView"; };
        a.setDocumentText = [this](const QString &t) { log << "document:" + t; };
        a.showStartPage = [this] { log << "startPage"; };
        return a;
    }
};
} // namespace

class TestNavigationHandler : public QObject
{
    Q_OBJECT
private slots:
    void addresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<int>("messages");
        QTest::newRow("qn:Go()") << "qn:Go()" << true << QStringList{"Textmode"} << 0;
        QTest::newRow("qn:Go(anything)") << "qn:Go(x)" << true << QStringList{"Textmode"} << 0;
        QTest::newRow("qn:Go without parentheses is swallowed") << "qn:Go" << true << QStringList{} << 0;
        QTest::newRow("qn:Open()") << "qn:Open()" << true << QStringList{"OpenDoc", "showTextView"} << 0;
        QTest::newRow("qn:Speak()") << "qn:Speak(Hallo)" << true << QStringList{"startPage"} << 1;
        QTest::newRow("unknown qn: command") << "qn:Drucken()" << true << QStringList{} << 0;
        QTest::newRow("qn: alone") << "qn:" << true << QStringList{} << 0;
        QTest::newRow("commands are case-sensitive") << "qn:go()" << true << QStringList{} << 0;
        QTest::newRow("the scheme is case-sensitive") << "QN:Go()" << false << QStringList{} << 0;
        QTest::newRow("speak: two words")
            << "speak:Hallo%20Welt" << true
            << QStringList{"showTextView", "document:Hallo Welt", "speak document"} << 0;
        QTest::newRow("speak: only %20 is decoded")
            << "speak:A%2Fb%20c%25d" << true << QStringList{"showTextView", "document:A%2Fb c%25d", "speak document"}
            << 0;
        QTest::newRow("speak: empty") << "speak:" << true << QStringList{"showTextView", "document:", "speak document"} << 0;
        QTest::newRow("Speak: is an ordinary address") << "Speak:Hallo" << false << QStringList{} << 0;
        QTest::newRow("a page") << "/usr/share/quenora/hypertext/home.htm" << false << QStringList{} << 0;
        QTest::newRow("a relative page") << "About.htm" << false << QStringList{} << 0;
        QTest::newRow("the web") << "https://example.com/" << false << QStringList{} << 0;
    }
    void addresses()
    {
        QFETCH(QString, address);
        QFETCH(bool, cancel);
        QFETCH(QStringList, actions);
        QFETCH(int, messages);
        ActionLog log;
        ScriptedDialogs dialogs;
        NavigationHandler handler(log.actions(), log.speaker, dialogs);
        QCOMPARE(handler.BeforeNavigate(address), cancel);
        QCOMPARE(log.log, actions);
        QCOMPARE(dialogs.messages.size(), messages);
        if (messages)
            QCOMPARE(dialogs.messages.first().text, QString());
    }

};

// ---------------------------------------------------------------------------

class TestErrorPage : public QObject
{
    Q_OBJECT
private slots:
    void moreInfo_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("expected");
        QTest::newRow("with description")
            << 76 << "Pfad nicht gefunden" << "<p><p>Fehlernummer: 76<br>Fehlerbeschreibung: Pfad nicht gefunden";
        QTest::newRow("empty description")
            << 53 << "" << "<p><p>Fehlernummer: 53<br>Fehlerbeschreibung: (keine Fehlernummer!)";
        QTest::newRow("markup in the description is shown as text")
            << 5 << "/home/a<b>&c" << "<p><p>Fehlernummer: 5<br>Fehlerbeschreibung: /home/a&lt;b&gt;&amp;c";
        QTest::newRow("negative") << -1 << "x" << "<p><p>Fehlernummer: -1<br>Fehlerbeschreibung: x";
    }
    void moreInfo()
    {
        QFETCH(int, number);
        QFETCH(QString, description);
        QFETCH(QString, expected);
        QCOMPARE(ErrorPage::moreInfo(number, description), expected);
    }

    void everyPlaceholderIsReplaced()
    {
        QCOMPARE(ErrorPage::fill("a%MOREINFOb%MOREINFO", 1, "d"),
                 "a" + ErrorPage::moreInfo(1, "d") + "b" + ErrorPage::moreInfo(1, "d"));
        QCOMPARE(ErrorPage::fill("", 1, "d"), QString());
    }

    void writeReplacesTheOldPage()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath("hypertext/err2.html");
        QVERIFY(ErrorPage::write(page("err.html"), target, 76, "erste"));
        QVERIFY(ErrorPage::write(page("err.html"), target, 53, QString()));
        QFile f(target);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        QVERIFY(html.contains("Fehlernummer: 53"));
        QVERIFY(html.endsWith("</html>\n"));
        QVERIFY(!html.contains("erste"));
        QVERIFY(!html.contains("%MOREINFO"));
        QVERIFY(html.contains("Ein Fehler ist aufgetreten"));
    }

    void missingTemplateGivesAnEmptyPage()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath("err2.html");
        QVERIFY(ErrorPage::write(dir.filePath("nope.html"), target, 76, "x"));
        QCOMPARE(QFileInfo(target).size(), 0);
    }

    void unwritableTargetRemovesTheStalePage()
    {
        QTemporaryDir dir;
        // A folder where the page should be: nothing can be written there.
        const QString target = dir.filePath("err2.html");
        QVERIFY(QDir().mkpath(target + "/blocked"));
        QVERIFY(!ErrorPage::write(page("err.html"), target + "/blocked", 1, "x"));
    }
};

// ---------------------------------------------------------------------------

class TestPagePictures : public QObject
{
    Q_OBJECT
private slots:
    void picturesOf_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("src and background")
            << "<img src=\"a.png\"><td background=\"b.jpg\">" << QStringList{"/p/a.png", "/p/b.jpg"};
        QTest::newRow("single quotes, blanks, upper case")
            << "<IMG SRC = 'a.png'>" << QStringList{"/p/a.png"};
        QTest::newRow("sub-folder and parent folder")
            << "<img src=\"img/a.png\"><img src=\"../b.png\">" << QStringList{"/p/img/a.png", "/b.png"};
        QTest::newRow("absolute path and file URL")
            << "<img src=\"/x/a.png\"><img src=\"file:///y/b.png\">" << QStringList{"/x/a.png", "/y/b.png"};
        QTest::newRow("an escaped blank") << "<img src=\"mein%20Bild.png\">" << QStringList{"/p/mein Bild.png"};
        QTest::newRow("web pictures are never fetched")
            << "<img src=\"https://example.com/a.png\"><img src=\"qrc:/b.png\">" << QStringList{};
        QTest::newRow("named twice, fetched once") << "<img src=\"a.png\"><img src=\"./a.png\">" << QStringList{"/p/a.png"};
        QTest::newRow("text that looks like an attribute is harmless") << "<p>src=\"a.png\" steht im Text</p>" << QStringList{"/p/a.png"};
        QTest::newRow("datasrc is not src") << "<x datasrc=\"a.png\">" << QStringList{};
    }
    void picturesOf()
    {
        QFETCH(QString, html);
        QFETCH(QStringList, files);
        QCOMPARE(PagePictures::picturesOf(html, "/p"), files);
    }

    // The view takes the prefetched picture instead of decoding it again.
    void theBrowserViewShowsThePrefetchedPicture()
    {
        QTemporaryDir dir;
        QImage picture(7, 5, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(dir.filePath("bild.png")));
        QFile page(dir.filePath("seite.htm"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><body><img src=\"bild.png\"><p>Text</p></body></html>");
        page.close();

        PagePictures::prefetch(page.fileName());
        BrowserView view;
        view.navigate(page.fileName());
        QVERIFY(!view.showsMissingPage());
        const QImage shown = view.document()->resource(QTextDocument::ImageResource, QUrl("bild.png")).value<QImage>();
        QCOMPARE(shown.size(), QSize(7, 5));
        // Handed out once: the view had it.
        QVERIFY(PagePictures::take(dir.filePath("bild.png")).isNull());
    }

    void badPagesAndPicturesPrefetchNothing()
    {
        QTemporaryDir dir;
        PagePictures::prefetch(dir.filePath("fehlt.htm"));
        QFile page(dir.filePath("seite.htm"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<img src=\"kaputt.png\"><img src=\"fehlt.png\"><img src=\"");
        page.close();
        QFile broken(dir.filePath("kaputt.png"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("\x89PNG kein Bild");
        broken.close();
        PagePictures::prefetch(page.fileName());
        QVERIFY(PagePictures::take(dir.filePath("kaputt.png")).isNull());
        QVERIFY(PagePictures::take(dir.filePath("fehlt.png")).isNull());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int status = 0;
    {
        TestBrowserView t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestNavigationHandler t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestErrorPage t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestPagePictures t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "tst_browserview.moc"
