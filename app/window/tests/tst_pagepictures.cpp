// The shipped pages as the screen shows them: the start page at the window's
// default size, the about page, the help page, the error page, the about
// dialog and the text view with a document. Under xvfb-run the pictures are
// taken from the X screen; each is taken once the screen shows what the
// window painted (no fixed wait), and each must show what makes it that
// page, whatever the fonts.
//
// With QUENORA_SCREENSHOTS naming a folder the pictures are kept there
// (scripts/screenshots.sh; the README's picture is mainwindow.png).
#include "BrowserView.h"
#include "CPanelkitCtrl.h"
#include "WindowRig.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

namespace {

// The widget as the screen shows it (the real X server under xvfb), or as it
// paints itself where there is no screen to take it from.
QImage onScreen(QWidget &w)
{
    QScreen *screen = w.screen();
    if (QGuiApplication::platformName() == QLatin1String("xcb") && screen) {
        const QPoint at = w.mapToGlobal(QPoint(0, 0));
        return screen->grabWindow(0, at.x(), at.y(), w.width(), w.height()).toImage();
    }
    return w.grab().toImage();
}

// Pixels that differ between two pictures of the same size, counted on a
// grid; a blinking text cursor differs in a handful.
int differing(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return std::numeric_limits<int>::max();
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int row = 0; row < x.height(); row += 2)
        for (int col = 0; col < x.width(); col += 2)
            n += x.pixel(col, row) != y.pixel(col, row);
    return n;
}

// The picture once the screen shows what the widget painted; a null image
// when it does not within the time.
QImage settled(QWidget &w)
{
    const QDeadlineTimer deadline(20000);
    do {
        QApplication::processEvents();
        const QImage shot = onScreen(w);
        if (differing(shot, w.grab().toImage()) < 40)
            return shot;
        QTest::qWait(20);
    } while (!deadline.hasExpired());
    return QImage();
}

int distinctColours(const QImage &image, const QRect &area)
{
    QSet<QRgb> colours;
    for (int y = area.top(); y <= area.bottom(); y += 5)
        for (int x = area.left(); x <= area.right(); x += 5)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

// Dark pixels (glyphs) in an area of the picture.
int darkPixels(const QImage &image, const QRect &area)
{
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); y += 2)
        for (int x = area.left(); x <= area.right(); x += 2)
            dark += image.pixelColor(x, y).lightness() < 96;
    return dark;
}

QRect areaOf(QWidget &w, QWidget &window)
{
    return QRect(w.mapTo(&window, QPoint(0, 0)), w.size());
}

void keep(const QImage &image, const QString &name)
{
    const QString folder = qEnvironmentVariable("QUENORA_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(name);
    QVERIFY2(image.save(path), qPrintable(path));
    qInfo("screenshot: %s", qPrintable(path));
}

} // namespace

class TestPagePictures : public QObject
{
    Q_OBJECT
    std::unique_ptr<WindowRig> m_rig;
    frmMain *m_window = nullptr;

private slots:
    void initTestCase()
    {
        m_rig = std::make_unique<WindowRig>(true);
        m_window = &m_rig->load();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    void startPageAtTheDefaultSize()
    {
        frmMain &w = *m_window;
        const QImage shot = settled(w);
        QVERIFY2(!shot.isNull(), "the screen never showed what the window painted");
        keep(shot, "startpage.png");
        QCOMPARE(shot.size(), w.size());
        // The page's header is drawn in the browser: dark blue with light text.
        BrowserView &b = *w.wbBrowser();
        const QColor c = shot.pixelColor(b.viewport()->mapTo(&w, QPoint(12, 12)));
        QVERIFY2(c.blue() > c.red() + 40 && c.lightness() < 140, qPrintable(c.name()));
        // The page's links are written below the header.
        const QRect page = areaOf(*b.viewport(), w);
        QVERIFY(darkPixels(shot, page.adjusted(0, page.height() / 3, 0, 0)) > 50);
    }

    void otherPages_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("file");
        QTest::newRow("about page") << "mnuMoreInfo" << "aboutpage.png";
        QTest::newRow("help page") << "mnuShowHelp" << "helppage.png";
        QTest::newRow("error page") << "" << "errorpage.png";
    }
    void otherPages()
    {
        QFETCH(QString, menu);
        QFETCH(QString, file);
        frmMain &w = *m_window;
        if (menu.isEmpty())
            w.ShowErrorPage(76, QStringLiteral("Der Ordner scripts kann nicht gelesen werden."));
        else
            w.action(menu)->trigger();
        QVERIFY(!w.wbBrowser()->showsMissingPage());
        const QImage shot = settled(w);
        QVERIFY2(!shot.isNull(), "the screen never showed what the window painted");
        keep(shot, file);
        // The page is drawn: more than a background and one text colour, and
        // text in its upper part.
        const QRect page = areaOf(*w.wbBrowser()->viewport(), w);
        QVERIFY(distinctColours(shot, page) > 20);
        QVERIFY(darkPixels(shot, page.adjusted(0, 0, 0, -page.height() / 2)) > 50);

        // The whole page at the view's width, to read it without scrolling.
        QTextDocument *doc = w.wbBrowser()->document();
        QImage whole(doc->size().toSize(), QImage::Format_RGB32);
        whole.fill(Qt::white);
        QPainter painter(&whole);
        doc->drawContents(&painter);
        painter.end();
        keep(whole, QString(file).replace(".png", "-whole.png"));
    }

    void aboutDialog()
    {
        QImage shot;
        QTimer::singleShot(0, this, [&] {
            QWidget *about = QApplication::activeModalWidget();
            if (!about)
                return;
            if (QTest::qWaitForWindowExposed(about))
                shot = settled(*about);
            QTest::keyClick(about, Qt::Key_Escape);
        });
        m_window->action("mnuAbout")->trigger();
        QVERIFY2(!shot.isNull(), "the about dialog was not on the screen as it painted itself");
        keep(shot, "aboutdialog.png");
        // The gradient fills it: its top-left is darker than its bottom-right.
        QVERIFY(shot.pixelColor(40, 40).lightness() < shot.pixelColor(shot.width() - 40, shot.height() - 12).lightness());
    }

    // The picture of the README: the text view with a document, the task
    // pane beside it.
    void textViewWithADocument()
    {
        frmMain &w = *m_window;
        w.Textmode();
        w.rtfText()->setHtml(QStringLiteral(
            "<h2>Willkommen bei Quenora</h2>"
            "<p>Schreiben, öffnen oder fügen Sie einen Text ein und lassen Sie ihn sich "
            "<b>vorlesen</b>: mit der Stimme, der Geschwindigkeit und der Tonhöhe, die Ihnen gefallen.</p>"
            "<ul><li>Vorlesen ab der Schreibmarke</li><li>Zwischenablage und Fenstertitel vorlesen</li>"
            "<li>Taskscripts für wiederkehrende Aufgaben</li></ul>"));
        const QImage shot = settled(w);
        QVERIFY2(!shot.isNull(), "the screen never showed what the window painted");
        keep(shot, "mainwindow.png");
        QVERIFY(w.isTextMode());
        // The document box shows the text: dark glyphs on its light page.
        const QRect box = areaOf(*w.rtfText()->viewport(), w);
        QVERIFY2(darkPixels(shot, box.adjusted(0, 0, 0, qMin(120, box.height()) - box.height())) > 50,
                 "no text painted in the document box");
        // Beside it the task pane: its gradient, its group boxes and their entries.
        QVERIFY(distinctColours(shot, areaOf(*w.ctlTask(), w)) > 20);
    }

    void cleanupTestCase()
    {
        m_window = nullptr;
        m_rig.reset();
    }
};

int main(int argc, char **argv)
{
    // A real X display when there is one (xvfb-run gives one), so the
    // pictures come from the screen; offscreen otherwise.
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestPagePictures test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pagepictures.moc"
