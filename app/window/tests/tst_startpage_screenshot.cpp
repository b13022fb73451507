// Pictures of the shipped pages as the window shows them, for a person to
// look at: the start page at the window's default size, the about page, the
// help page, the error page and the about dialog. Run under xvfb-run, the
// pictures are taken from the X screen, so they show what a user would see;
// they land in <build>/screenshots/. Only what must hold whatever the fonts
// is checked: the picture has the window's size and the page was drawn.
#include "BrowserView.h"
#include "WindowRig.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QString shotsDir()
{
    const QString dir = QStringLiteral(QUENORA_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir;
}

// The widget as the screen shows it (the real X server under xvfb), or as it
// paints itself where there is no screen to take it from.
QImage picture(QWidget &w)
{
    QScreen *screen = w.screen();
    if (QGuiApplication::platformName() == QLatin1String("xcb") && screen) {
        const QPoint at = w.mapToGlobal(QPoint(0, 0));
        return screen->grabWindow(0, at.x(), at.y(), w.width(), w.height()).toImage();
    }
    return w.grab().toImage();
}

int distinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

} // namespace

class TestStartPageScreenshot : public QObject
{
    Q_OBJECT
    std::unique_ptr<WindowRig> m_rig;
    frmMain *m_window = nullptr;

    void save(const QImage &image, const QString &name)
    {
        const QString path = QDir(shotsDir()).filePath(name);
        QVERIFY2(image.save(path), qPrintable(path));
        qInfo("screenshot: %s", qPrintable(path));
    }

    // Waits until the page has been painted on the screen.
    QImage settle(QWidget &w)
    {
        QApplication::processEvents();
        QTest::qWait(300);
        return picture(w);
    }

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
        const QSize defaultSize = w.size();
        const QImage shot = settle(w);
        save(shot, "startpage.png");
        QCOMPARE(shot.size(), defaultSize);
        // The page's header is drawn in the browser: dark blue with light text.
        BrowserView &b = *w.wbBrowser();
        const QPoint header = b.viewport()->mapTo(&w, QPoint(12, 12));
        const QColor c = shot.pixelColor(header);
        QVERIFY2(c.blue() > c.red() + 40 && c.lightness() < 140, qPrintable(c.name()));
        QVERIFY(distinctColours(shot) > 20);
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
        const QImage shot = settle(w);
        save(shot, file);
        QVERIFY(distinctColours(shot) > 20);

        // The whole page at the view's width, to read it without scrolling.
        QTextDocument *doc = w.wbBrowser()->document();
        QImage whole(doc->size().toSize(), QImage::Format_RGB32);
        whole.fill(Qt::white);
        QPainter painter(&whole);
        doc->drawContents(&painter);
        painter.end();
        save(whole, QString(file).replace(".png", "-whole.png"));
    }

    void aboutDialog()
    {
        QImage shot;
        QTimer::singleShot(0, this, [&] {
            QWidget *about = QApplication::activeModalWidget();
            if (!about)
                return;
            if (QTest::qWaitForWindowExposed(about))
                shot = settle(*about);
            QTest::keyClick(about, Qt::Key_Escape);
        });
        m_window->action("mnuAbout")->trigger();
        QVERIFY(!shot.isNull());
        save(shot, "aboutdialog.png");
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
        const QImage shot = settle(w);
        save(shot, "mainwindow.png");
        QVERIFY(w.isTextMode());
        // The document box shows the text: dark glyphs on its light page.
        const QRect box(w.rtfText()->viewport()->mapTo(&w, QPoint(0, 0)), w.rtfText()->viewport()->size());
        int dark = 0;
        for (int y = box.top(); y < box.top() + qMin(box.height(), 120); y += 2)
            for (int x = box.left(); x < box.right(); x += 2)
                dark += shot.pixelColor(x, y).lightness() < 96;
        QVERIFY2(dark > 50, "no text painted in the document box");
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
    TestStartPageScreenshot test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startpage_screenshot.moc"
