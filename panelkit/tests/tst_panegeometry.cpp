// Tests of the task pane's geometry without a widget: where titles, rows
// and radio buttons lie, and what a point hits.

#include "PaneGeometry.h"
#include "PaneModel.h"

#include <QGuiApplication>
#include <QTest>

namespace {

// Two groups of tasks and options; the second collapsed or not.
void fill(PaneModel &model, bool secondExpanded)
{
    model.addGroup(QStringLiteral("Sprache"), 10, true, -1, -1);
    model.addEntry(10, QStringLiteral("Vorlesen"), 101, -1);
    model.addEntry(10, QStringLiteral("Gesperrt"), 102, -1)->disabled = true;
    PaneItem *option = model.addEntry(10, QStringLiteral("Zwischenablage"), 103, -1);
    model.linkRadioGroup(model.groupById(10), option, true);
    model.addGroup(QStringLiteral("Skripte"), 20, secondExpanded, -1, -1);
    model.addEntry(20, QStringLiteral("Nachrichten"), 201, -1);
    model.addEntry(20, QStringLiteral("Zwei\nZeilen"), 202, -1);
}

PaneGeometry::Measures measures(int firstGroupStart = 0, int groupImageSize = 0)
{
    PaneGeometry::Measures m;
    m.font = QFont(QStringLiteral("DejaVu Sans"), 9);
    m.clientWidth = 220;
    m.groupImageSize = groupImageSize;
    m.firstGroupStartPosition = firstGroupStart;
    return m;
}

} // namespace

class TestPaneGeometry : public QObject
{
    Q_OBJECT
private slots:
    void groupsFollowEachOther_data();
    void groupsFollowEachOther();
    void hitTest_data();
    void hitTest();
    void scrollingMovesEverything();
};

void TestPaneGeometry::groupsFollowEachOther_data()
{
    QTest::addColumn<bool>("secondExpanded");
    QTest::addColumn<int>("groupImageSize");
    QTest::newRow("expanded") << true << 0;
    QTest::newRow("second collapsed") << false << 0;
    QTest::newRow("group image taller than the title") << true << 40;
}

void TestPaneGeometry::groupsFollowEachOther()
{
    QFETCH(bool, secondExpanded);
    QFETCH(int, groupImageSize);
    PaneModel model;
    fill(model, secondExpanded);
    PaneGeometry geometry;
    geometry.measure(model, measures(0, groupImageSize));
    geometry.place(0);
    QCOMPARE(geometry.groups().size(), size_t(2));
    const PaneGeometry::Group &first = geometry.groups()[0];
    const PaneGeometry::Group &second = geometry.groups()[1];
    const int overhang = groupImageSize ? groupImageSize - first.title.height() : 0;
    QCOMPARE(first.overhang, overhang);
    const int marginBottom = groupImageSize ? 5 : 10;

    // Rows follow the title without a gap, each box inside its row.
    int rowTop = first.title.bottom() + 2;
    for (const PaneGeometry::Entry &e : first.entries) {
        QCOMPARE(e.y, rowTop);
        QCOMPARE(e.box.top(), rowTop + 1);
        QCOMPARE(e.box.bottom(), rowTop + e.rowHeight - 2);
        rowTop += e.rowHeight;
    }
    QCOMPARE(first.body.top(), first.title.bottom() + 1);
    QCOMPARE(first.body.height(), first.bodyHeight + 2);
    QCOMPARE(second.title.top(), rowTop + marginBottom + overhang);
    QCOMPARE(second.top(), rowTop + marginBottom);

    // An option's radio button lies inside its box; a task has none.
    const PaneGeometry::Entry *option = geometry.entryOf(model.itemById(103));
    QVERIFY(option->box.contains(option->check.center()));
    QVERIFY(geometry.entryOf(model.itemById(101))->check.isNull());
    // The button sits at the title's right end.
    QVERIFY(first.title.contains(first.button));
    QVERIFY(first.button.right() > first.title.center().x());

    // Two lines make a taller row.
    const PaneGeometry::Entry *twoLines = geometry.entryOf(model.itemById(202));
    QCOMPARE(twoLines->lines.size(), 2);
    QVERIFY(twoLines->rowHeight > geometry.entryOf(model.itemById(201))->rowHeight);

    // A collapsed group's body does not count towards the content.
    const int bodies = first.bodyHeight + (secondExpanded ? second.bodyHeight : 0);
    QCOMPARE(geometry.contentHeight(),
             10 + 2 * (marginBottom + overhang + first.title.height()) + bodies);
}

void TestPaneGeometry::hitTest_data()
{
    QTest::addColumn<int>("target"); // what the point is put on
    QTest::addColumn<bool>("secondExpanded");
    QTest::addColumn<int>("hitGroup");
    QTest::addColumn<int>("hitItem");
    QTest::newRow("a title") << 20 << true << 20 << -1;
    QTest::newRow("a task") << 101 << true << 10 << 101;
    QTest::newRow("an option") << 103 << true << 10 << 103;
    QTest::newRow("a disabled task") << 102 << true << -1 << -1;
    QTest::newRow("a task of a collapsed group") << 201 << false << -1 << -1;
    QTest::newRow("the margin left of a box") << -101 << true << -1 << -1;
}

void TestPaneGeometry::hitTest()
{
    QFETCH(int, target);
    QFETCH(bool, secondExpanded);
    QFETCH(int, hitGroup);
    QFETCH(int, hitItem);
    PaneModel model;
    fill(model, secondExpanded);
    PaneGeometry geometry;
    geometry.measure(model, measures());
    geometry.place(0);
    QPoint point;
    if (const PaneGroup *group = model.groupById(target))
        point = geometry.groupOf(group)->title.center();
    else if (target < 0)
        point = QPoint(geometry.entryOf(model.itemById(-target))->box.left() - 3,
                       geometry.entryOf(model.itemById(-target))->box.center().y());
    else
        point = geometry.entryOf(model.itemById(target))->box.center();
    const PaneGeometry::Hit hit = geometry.hitTest(point);
    QCOMPARE(hit.group ? hit.group->id : -1, hitGroup);
    QCOMPARE(hit.item ? hit.item->id : -1, hitItem);
}

void TestPaneGeometry::scrollingMovesEverything()
{
    PaneModel model;
    fill(model, true);
    PaneGeometry geometry;
    geometry.measure(model, measures(7));
    geometry.place(0);
    const QRect title = geometry.groups()[1].title;
    const QRect box = geometry.entryOf(model.itemById(202))->box;
    const QRect check = geometry.entryOf(model.itemById(103))->check;
    QCOMPARE(geometry.groups()[0].title.top(), 7 + 8);
    geometry.place(25);
    QCOMPARE(geometry.groups()[1].title, title.translated(0, -25));
    QCOMPARE(geometry.entryOf(model.itemById(202))->box, box.translated(0, -25));
    QCOMPARE(geometry.entryOf(model.itemById(103))->check, check.translated(0, -25));
    QCOMPARE(geometry.hitTest(box.translated(0, -25).center()).item, model.itemById(202));
}

QTEST_MAIN(TestPaneGeometry)
#include "tst_panegeometry.moc"
