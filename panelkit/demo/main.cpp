// panelkit-demo: a task pane with every kind of entry, for looking at the
// pane by hand, and with --grab for rendering it to a PNG without a screen.

#include "CPanelkitCtrl.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <cstdio>

namespace {

// A strip of 16 x 16 task icons on a magenta (transparent) background.
QPixmap taskIconStrip()
{
    QPixmap strip(16 * 4, 16);
    strip.fill(QColor(255, 0, 255));
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing, false);
    // 0: speaker
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x33, 0x55, 0x99));
    p.drawRect(2, 6, 4, 5);
    p.drawPolygon(QPolygon({QPoint(6, 6), QPoint(11, 2), QPoint(11, 14), QPoint(6, 11)}));
    // 1: disk
    p.setBrush(QColor(0x2A, 0x6E, 0x2A));
    p.drawRect(16 + 2, 2, 12, 12);
    p.setBrush(QColor(0xEE, 0xEE, 0xEE));
    p.drawRect(16 + 5, 3, 6, 4);
    // 2: script page
    p.setBrush(Qt::white);
    p.setPen(QColor(0x55, 0x55, 0x55));
    p.drawRect(32 + 3, 1, 9, 13);
    p.drawLine(32 + 5, 5, 32 + 10, 5);
    p.drawLine(32 + 5, 8, 32 + 10, 8);
    p.drawLine(32 + 5, 11, 32 + 9, 11);
    // 3: stop
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC0, 0x20, 0x20));
    p.drawRect(48 + 3, 3, 10, 10);
    return strip;
}

QIcon groupIcon(const QColor &color)
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color.darker(140), 1.5));
    p.setBrush(color);
    p.drawEllipse(QRectF(2, 2, 20, 20));
    p.setPen(QPen(Qt::white, 2.0));
    p.drawLine(QPointF(8, 12), QPointF(16, 12));
    p.drawLine(QPointF(12, 8), QPointF(12, 16));
    return QIcon(pm);
}

void fill(CPanelkitCtrl &pane)
{
    pane.TPSetTaskImageSize(16);
    pane.TPSetTaskImageList(taskIconStrip());
    pane.TPSetGroupImageSize(24);

    pane.TPAddGroupPic(QStringLiteral("Sprachausgabe"), 10, true, groupIcon(QColor(0x3A, 0x6E, 0xC8)), -1);
    pane.TPAddTask(10, QStringLiteral("Text vorlesen"), 101, 0);
    pane.TPAddTask(10, QStringLiteral("Als WAV-Datei speichern"), 202, 1);
    pane.TPAddTask(10, QStringLiteral("Vorlesen anhalten"), 303, 3);
    pane.TPAddTask(10, QStringLiteral("Stimme wählen (noch nicht verfügbar)"), 404, 0);
    pane.TPEnableTask(404, false);

    pane.TPAddGroup(QStringLiteral("Taskscripts"), 20, true, -1, -1);
    pane.TPAddTask(20, QStringLiteral("Nachrichten"), 1, 2);
    pane.TPAddTask(20, QStringLiteral("Wetterbericht für heute\nund die nächsten drei Tage"), 2, 2);
    pane.TPAddTask(20, QStringLiteral("Termine"), 3, 2);

    pane.TPAddGroup(QStringLiteral("Automatisch vorlesen"), 30, true, -1, -1);
    pane.TPAddOption(30, QStringLiteral("Zwischenablage"), 501, -1, true);
    pane.TPAddOption(30, QStringLiteral("Fenstertitel"), 502, -1, false);
    pane.TPAddOption(30, QStringLiteral("Aus"), 503, -1, false);
    pane.TPSetOption(501, true);

    pane.TPAddGroup(QStringLiteral("Weitere Stimmen"), 40, false, -1, -1);
    pane.TPAddTask(40, QStringLiteral("Stimmen herunterladen"), 999, -1);

    pane.TPSelectTask(101);
}

} // namespace

int main(int argc, char *argv[])
{
    bool grabbing = false;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--grab") == 0)
            grabbing = true;
    }
    // Rendering to a file needs no screen.
    if (grabbing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("panelkit-demo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Zeigt den Aufgabenbereich."));
    parser.addHelpOption();
    QCommandLineOption schemeOption(QStringLiteral("scheme"), QStringLiteral("Farbschema: blue, green oder silver."),
                                    QStringLiteral("name"), QStringLiteral("blue"));
    QCommandLineOption disabledOption(QStringLiteral("disabled"), QStringLiteral("Den Aufgabenbereich gesperrt zeigen."));
    QCommandLineOption grabOption(QStringLiteral("grab"), QStringLiteral("Als PNG-Datei speichern und beenden."),
                                  QStringLiteral("datei"));
    parser.addOption(schemeOption);
    parser.addOption(disabledOption);
    parser.addOption(grabOption);
    if (!parser.parse(QApplication::arguments())) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);

    const QString scheme = parser.value(schemeOption).toLower();
    int xpColor = CPanelkitCtrl::XP_COLOR_BLUE;
    if (scheme == QLatin1String("green"))
        xpColor = CPanelkitCtrl::XP_COLOR_GREEN;
    else if (scheme == QLatin1String("silver"))
        xpColor = CPanelkitCtrl::XP_COLOR_SILVER;
    else if (scheme != QLatin1String("blue")) {
        std::fprintf(stderr, "Unbekanntes Farbschema: %s (blue, green oder silver)\n", qPrintable(scheme));
        return 2;
    }

    CPanelkitCtrl pane;
    pane.setWindowTitle(QStringLiteral("Panelkit"));
    pane.setXPColorTyp(xpColor);
    fill(pane);
    pane.TPEnableWindow(!parser.isSet(disabledOption));
    QObject::connect(&pane, &CPanelkitCtrl::FireSelectItem, [](int item, int group) {
        std::printf("FireSelectItem %d %d\n", item, group);
        std::fflush(stdout);
    });
    QObject::connect(&pane, &CPanelkitCtrl::FireOptionSelectItem, [](int item, int group, int option) {
        std::printf("FireOptionSelectItem %d %d %d\n", item, group, option);
        std::fflush(stdout);
    });
    pane.resize(pane.sizeHint());

    if (parser.isSet(grabOption)) {
        pane.show();
        const QString file = parser.value(grabOption);
        if (!pane.grab().save(file, "PNG")) {
            std::fprintf(stderr, "Die Datei %s konnte nicht gespeichert werden.\n", qPrintable(file));
            return 1;
        }
        return 0;
    }
    pane.show();
    return app.exec();
}
