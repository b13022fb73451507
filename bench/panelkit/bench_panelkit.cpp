// Benchmark of the task pane: painting 50 groups of 20 entries, and a hover
// change, which must repaint only the two rows it affects.

#include "CPanelkitCtrl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>

#include <cstdio>

namespace {

void fill(CPanelkitCtrl &pane)
{
    for (int g = 0; g < 50; ++g) {
        pane.TPAddGroup(QStringLiteral("Gruppe %1").arg(g), g, true, -1, -1);
        for (int i = 0; i < 20; ++i) {
            const int id = g * 100 + i;
            if (i % 5 == 4)
                pane.TPAddOption(g, QStringLiteral("Option %1").arg(id), id, -1, i == 4);
            else
                pane.TPAddTask(g, QStringLiteral("Eintrag %1 mit etwas Text").arg(id), id, -1);
        }
    }
}

double msPer(qint64 ns, int n)
{
    return double(ns) / 1e6 / n;
}

void moveTo(CPanelkitCtrl &pane, const QPoint &p)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(p), pane.mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&pane, &move);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    CPanelkitCtrl pane;
    pane.TPEnableAnimation(false);
    fill(pane);
    pane.resize(240, 600);
    pane.show();
    QApplication::processEvents();

    // Layout of all 1000 entries (text measured once per entry).
    const int layoutRuns = 50;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < layoutRuns; ++i) {
        pane.TPSetFirstGroupStartPosition(i % 2); // marks the layout dirty
        (void)pane.contentHeight();
    }
    const double layoutMs = msPer(t.nsecsElapsed(), layoutRuns);

    // Full paint of the visible window.
    const int paintRuns = 200;
    t.restart();
    for (int i = 0; i < paintRuns; ++i)
        pane.repaint();
    const double windowMs = msPer(t.nsecsElapsed(), paintRuns);
    const int windowEntries = pane.lastPaintedEntryCount();

    // Full paint of every group and entry: a pane as tall as its content.
    CPanelkitCtrl tall;
    tall.TPEnableAnimation(false);
    fill(tall);
    tall.resize(240, 600);
    const int content = tall.contentHeight();
    tall.resize(240, content + 20);
    const int allRuns = 10;
    int allEntries = 0;
    t.restart();
    for (int i = 0; i < allRuns; ++i) {
        const QImage img = tall.renderPane();
        allEntries = tall.lastPaintedEntryCount();
    }
    const double allMs = msPer(t.nsecsElapsed(), allRuns);

    // Hover change between two entries far apart in the window.
    const QRect a = pane.itemRect(1);
    const QRect b = pane.itemRect(14);
    moveTo(pane, a.center());
    QApplication::processEvents();
    const int hoverRuns = 500;
    int hoverEntries = 0;
    t.restart();
    for (int i = 0; i < hoverRuns; ++i) {
        moveTo(pane, (i % 2 ? a : b).center());
        QApplication::processEvents(); // the paint of the dirty rows
        hoverEntries = qMax(hoverEntries, pane.lastPaintedEntryCount());
    }
    const double hoverMs = msPer(t.nsecsElapsed(), hoverRuns);

    std::printf("panelkit benchmark, 50 groups x 20 entries, pane 240 x 600\n");
    std::printf("  layout pass (1000 entries):           %8.3f ms\n", layoutMs);
    std::printf("  full paint of the window:             %8.3f ms  (%d entries drawn)\n", windowMs, windowEntries);
    std::printf("  full paint of all groups (%d px):   %8.3f ms  (%d entries drawn)\n", content, allMs, allEntries);
    std::printf("  hover change incl. its paint:         %8.3f ms  (at most %d entries drawn)\n", hoverMs, hoverEntries);
    return hoverEntries <= 2 ? 0 : 1;
}
