// Tests of the task pane: object model, mouse and keyboard, scrolling,
// rendering and accessibility.

#include "AccessibilityRecorder.h"
#include "CPanelkitCtrl.h"
#include "PaneImageList.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QMessageBox>
#include <QProxyStyle>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVariantAnimation>

#include <cstring>

namespace {

// A pane that a host has filled: two groups of tasks and a group of options.
void fillStandard(CPanelkitCtrl &pane)
{
    pane.TPAddGroup(QStringLiteral("Sprache"), 10, true, -1, -1);
    pane.TPAddTask(10, QStringLiteral("Vorlesen"), 101, -1);
    pane.TPAddTask(10, QStringLiteral("Speichern"), 202, -1);
    pane.TPAddTask(10, QStringLiteral("Anhalten"), 303, -1);
    pane.TPAddGroup(QStringLiteral("Skripte"), 20, true, -1, -1);
    pane.TPAddTask(20, QStringLiteral("Nachrichten"), 1, -1);
    pane.TPAddTask(20, QStringLiteral("Wetter"), 2, -1);
    pane.TPAddGroup(QStringLiteral("Lesen"), 30, true, -1, -1);
    pane.TPAddOption(30, QStringLiteral("Zwischenablage"), 501, -1, true);
    pane.TPAddOption(30, QStringLiteral("Fenstertitel"), 502, -1, false);
    pane.TPAddOption(30, QStringLiteral("Aus"), 503, -1, false);
}

void showPane(CPanelkitCtrl &pane, int w = 220, int h = 400)
{
    pane.resize(w, h);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
}

// Ends a running expand animation at its last frame, as its time line does
// once the style's duration has passed, without waiting for it.
void finishAnimation(CPanelkitCtrl &pane)
{
    auto *timeLine = pane.findChild<QVariantAnimation *>();
    QVERIFY(timeLine);
    if (timeLine->state() == QAbstractAnimation::Running)
        timeLine->setCurrentTime(timeLine->duration());
}

// A style whose widget animations last as long as it is told.
class AnimationStyle : public QProxyStyle
{
public:
    explicit AnimationStyle(int durationMs) : QProxyStyle(QStringLiteral("Fusion")), m_duration(durationMs) {}
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_Widget_Animation_Duration)
            return m_duration;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    int m_duration;
};

QPoint textPoint(CPanelkitCtrl &pane, int id)
{
    const QRect box = pane.itemRect(id);
    return QPoint(box.right() - 10, box.center().y());
}

QRgb rgbOf(OLE_COLOR c)
{
    return PaneColors::toQColor(c).rgb();
}

} // namespace

class TestPanelkit : public QObject
{
    Q_OBJECT

private slots:
    // --- object model ---
    void freshPaneShowsDemoContent();
    void firstAddGroupReplacesDemoContent();
    void paintingTakesOverDemoContent();
    void addReturnValues_data();
    void addReturnValues();
    void duplicateGroupIdsUseTheFirst();
    void radioGroupIndexes();
    void setOptionFiresAndChecks();
    void setOptionOnTaskDoesNothing();
    void adjacentRadioGroupsStayIndependent();
    void deletingHeadLeavesNoDanglingHead();
    void setColorCodes_data();
    void setColorCodes();
    void schemes_data();
    void schemes();
    void colourPropertySwitchesToOwnScheme();
    void schemeReachableOnlyByName();
    void firstGroupStartPositionMovesGroups();
    void sameFirstGroupStartPositionChangesNothing_data();
    void sameFirstGroupStartPositionChangesNothing();
    void deletesClearReferences_data();
    void deletesClearReferences();
    void deleteReturnValues();
    void redrawSuspendedSelectsSilently();
    void expandWithoutAnimationIsImmediate_data();
    void expandWithoutAnimationIsImmediate();
    void expandAnimatesButModelChangesAtOnce();
    void expandAnimationLastsAsTheStyleSays();
    void imageListBeforeSizeHoldsNothing();
    void greyImageKeepsBlackAndMask();
    void picturesBecomeIcons();
    void multiLineEntryGetsTallerRow();
    void largeTypeBreaksBetweenWordsOnly_data();
    void largeTypeBreaksBetweenWordsOnly();
    void badInputNeverCrashes();

    // --- mouse ---
    void singleClickOnTitleDoesNothing();
    void clickOnButtonToggles();
    void doubleClickOnTitleToggles();
    void clickOnOptionText();
    void clickOnRadioButton();
    void clickOnSelectedEntryFiresAgain();
    void disabledEntryIgnoresMouse();
    void hoverMarksEntryAndUsesHandCursor();
    void hoverRepaintsOnlyAffectedRows();
    void disabledPaneIgnoresMouse();
    void receiverMayClearPaneDuringEvent();

    // --- scrolling ---
    void scrollBarFollowsContent();
    void ensureVisibleScrollsEntryIntoView_data();
    void ensureVisibleScrollsEntryIntoView();
    void selectTaskRevealsCollapsedGroup();
    void deleteWhileJobPendingIsSafe();
    void wheelScrolls();

    // --- keyboard ---
    void keyboardMovesAndActivates();
    void keyboardCollapsesAndExpands();
    void focusFrameIsVisible();

    // --- rendering ---
    void flatOrGradientBackground_data();
    void flatOrGradientBackground();
    void activeTitleColour();
    void disabledPaneIsGrey();
    void schemesRenderDifferently();

    // --- other ---
    void aboutBox();
    void accessibleTree();
    void accessibleActions();
    void accessibleFocusEvents();
    void enteringThePaneAnnouncesTheFocusedEntry();
    void collapsingAnnouncesExactlyWhatChanged();
    void aDashRuleIsASeparator();
};

// --- object model -------------------------------------------------------------

void TestPanelkit::freshPaneShowsDemoContent()
{
    CPanelkitCtrl pane;
    QCOMPARE(pane.groupCount(), 2);
    QCOMPARE(pane.groupAt(0)->name, QStringLiteral("Gruppe 1"));
    QCOMPARE(pane.groupAt(0)->id, 0);
    QCOMPARE(pane.groupAt(0)->entries.size(), size_t(4));
    QCOMPARE(pane.groupAt(1)->name, QStringLiteral("Gruppe 2"));
    QCOMPARE(pane.groupAt(1)->entries.size(), size_t(2));
    QCOMPARE(pane.findItem(6)->text, QStringLiteral("Eintrag 6"));
    QCOMPARE(pane.TPGetCurSel(), 2);
    QCOMPARE(pane.hotEntry(), pane.findItem(3));
    QVERIFY(!pane.isContentTakenOver());
    QCOMPARE(pane.XPColorTyp(), -1);
    QCOMPARE(pane.CtrlBkColorStart(), OLE_COLOR(0xE6A17A));
}

void TestPanelkit::firstAddGroupReplacesDemoContent()
{
    CPanelkitCtrl pane;
    // Tasks alone keep the demo content; they land in the demo group.
    QCOMPARE(pane.TPAddTask(0, QStringLiteral("Extra"), 77, -1), 1);
    QCOMPARE(pane.groupCount(), 2);
    QCOMPARE(pane.TPAddGroup(QStringLiteral("Neu"), 5, true, -1, -1), 5);
    QCOMPARE(pane.groupCount(), 1);
    QCOMPARE(pane.groupAt(0)->name, QStringLiteral("Neu"));
    QCOMPARE(pane.TPGetCurSel(), -1);
    QCOMPARE(pane.hotEntry(), nullptr);
    QVERIFY(pane.isContentTakenOver());
    // Later groups are appended.
    pane.TPAddGroup(QStringLiteral("Zwei"), 6, true, -1, -1);
    QCOMPARE(pane.groupCount(), 2);
}

void TestPanelkit::paintingTakesOverDemoContent()
{
    CPanelkitCtrl pane;
    showPane(pane);
    QTRY_VERIFY(pane.isContentTakenOver());
    pane.TPAddGroup(QStringLiteral("Neu"), 5, true, -1, -1);
    QCOMPARE(pane.groupCount(), 3);
}

void TestPanelkit::addReturnValues_data()
{
    QTest::addColumn<int>("kind"); // 0 task, 1 option, 2 task pic, 3 option pic
    QTest::addColumn<int>("groupId");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("entriesInGroup7");
    QTest::newRow("task into existing group") << 0 << 7 << 1 << 1;
    QTest::newRow("task into unknown group") << 0 << 8 << -1 << 0;
    QTest::newRow("task into negative id group") << 0 << -3 << -1 << 0;
    QTest::newRow("option into existing group") << 1 << 7 << 1 << 1;
    QTest::newRow("option into unknown group") << 1 << 99 << -1 << 0;
    QTest::newRow("task picture into existing group") << 2 << 7 << 1 << 1;
    QTest::newRow("option picture into unknown group") << 3 << 12 << -1 << 0;
}

void TestPanelkit::addReturnValues()
{
    QFETCH(int, kind);
    QFETCH(int, groupId);
    QFETCH(int, expected);
    QFETCH(int, entriesInGroup7);
    CPanelkitCtrl pane;
    QCOMPARE(pane.TPAddGroup(QStringLiteral("G"), 7, true, -1, -1), 7);
    // A group with a negative id exists, yet entries are never added to it.
    QCOMPARE(pane.TPAddGroup(QStringLiteral("N"), -3, true, -1, -1), -3);
    int result = 0;
    switch (kind) {
    case 0: result = pane.TPAddTask(groupId, QStringLiteral("T"), 55, -1); break;
    case 1: result = pane.TPAddOption(groupId, QStringLiteral("O"), 55, -1, true); break;
    case 2: result = pane.TPAddTaskPic(groupId, QStringLiteral("T"), 55, QPixmap()); break;
    default: result = pane.TPAddOptionPic(groupId, QStringLiteral("O"), 55, QPixmap(), false); break;
    }
    QCOMPARE(result, expected);
    QCOMPARE(int(pane.findGroup(7)->entries.size()), entriesInGroup7);
    QCOMPARE(int(pane.findGroup(-3)->entries.size()), 0);
}

void TestPanelkit::duplicateGroupIdsUseTheFirst()
{
    CPanelkitCtrl pane;
    pane.TPAddGroup(QStringLiteral("Erste"), 4, true, -1, -1);
    pane.TPAddGroup(QStringLiteral("Zweite"), 4, true, -1, -1);
    pane.TPAddTask(4, QStringLiteral("T"), 1, -1);
    QCOMPARE(pane.groupAt(0)->entries.size(), size_t(1));
    QCOMPARE(pane.groupAt(1)->entries.size(), size_t(0));
    QVERIFY(pane.TPDeleteGroup(4, false));
    QCOMPARE(pane.groupCount(), 1);
    QCOMPARE(pane.groupAt(0)->name, QStringLiteral("Zweite"));
    QVERIFY(pane.TPDeleteGroup(4, false));
    QVERIFY(!pane.TPDeleteGroup(4, false));
}

void TestPanelkit::radioGroupIndexes()
{
    CPanelkitCtrl pane;
    pane.TPAddGroup(QStringLiteral("G"), 1, true, -1, -1);
    pane.TPAddTask(1, QStringLiteral("Aufgabe"), 10, -1);
    pane.TPAddOption(1, QStringLiteral("ohne Kopf"), 11, -1, false);
    pane.TPAddOption(1, QStringLiteral("A"), 20, -1, true);
    pane.TPAddOption(1, QStringLiteral("B"), 21, -1, false);
    pane.TPAddOption(1, QStringLiteral("C"), 22, -1, false);
    QCOMPARE(pane.findItem(11)->optionIndex, -1);
    QCOMPARE(pane.findItem(11)->radioHead, nullptr);
    QCOMPARE(pane.findItem(20)->optionIndex, 0);
    QCOMPARE(pane.findItem(21)->optionIndex, 1);
    QCOMPARE(pane.findItem(22)->optionIndex, 2);
    QCOMPARE(pane.findItem(22)->radioHead, pane.findItem(20));
    QCOMPARE(pane.TPGetOption(21), -1); // nothing checked yet
    QCOMPARE(pane.TPGetOption(11), -1); // no head
    QCOMPARE(pane.TPGetOption(10), -1); // a task
    QCOMPARE(pane.TPGetOption(12345), -1);
    pane.TPSetOption(22, true);
    QCOMPARE(pane.TPGetOption(20), 2);
    QCOMPARE(pane.TPGetOption(21), 2);
    pane.TPSetOption(21, true);
    QCOMPARE(pane.TPGetOption(22), 1);
    QVERIFY(!pane.findItem(22)->checked);
    pane.TPSetOption(21, false);
    QCOMPARE(pane.TPGetOption(20), -1);
}

void TestPanelkit::setOptionFiresAndChecks()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    QSignalSpy option(&pane, &CPanelkitCtrl::FireOptionSelectItem);
    QSignalSpy select(&pane, &CPanelkitCtrl::FireSelectItem);
    pane.TPSetOption(503, true);
    QCOMPARE(option.count(), 1);
    QCOMPARE(option.at(0), (QVariantList{503, 30, 2}));
    QCOMPARE(select.count(), 0);
    QCOMPARE(pane.TPGetOption(501), 2);
}

void TestPanelkit::setOptionOnTaskDoesNothing()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    QSignalSpy option(&pane, &CPanelkitCtrl::FireOptionSelectItem);
    pane.TPSetOption(101, true);
    pane.TPSetOption(4711, true);
    QCOMPARE(option.count(), 0);
    QVERIFY(!pane.findItem(101)->checked);
}

void TestPanelkit::adjacentRadioGroupsStayIndependent()
{
    // Two radio groups directly after each other: checking in one must not
    // uncheck the other, and the index read must be the group's own.
    CPanelkitCtrl pane;
    pane.TPAddGroup(QStringLiteral("G"), 1, true, -1, -1);
    pane.TPAddOption(1, QStringLiteral("A1"), 1, -1, true);
    pane.TPAddOption(1, QStringLiteral("A2"), 2, -1, false);
    pane.TPAddOption(1, QStringLiteral("B1"), 3, -1, true);
    pane.TPAddOption(1, QStringLiteral("B2"), 4, -1, false);
    pane.TPSetOption(4, true);
    pane.TPSetOption(1, true);
    QVERIFY(pane.findItem(4)->checked);
    QCOMPARE(pane.TPGetOption(1), 0);
    QCOMPARE(pane.TPGetOption(2), 0);
    QCOMPARE(pane.TPGetOption(3), 1);
}

void TestPanelkit::deletingHeadLeavesNoDanglingHead()
{
    CPanelkitCtrl pane;
    pane.TPAddGroup(QStringLiteral("G"), 1, true, -1, -1);
    pane.TPAddOption(1, QStringLiteral("A"), 1, -1, true);
    pane.TPAddOption(1, QStringLiteral("B"), 2, -1, false);
    QVERIFY(pane.TPDeleteTask(1, false));
    QCOMPARE(pane.findItem(2)->radioHead, nullptr);
    QCOMPARE(pane.TPGetOption(2), -1);
    pane.TPSetOption(2, true); // must not touch the deleted head
    QVERIFY(pane.findItem(2)->checked);
}

void TestPanelkit::setColorCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("changes");
    QTest::newRow("9 is below the table") << 9 << false;
    QTest::newRow("10 background start") << 10 << true;
    QTest::newRow("19 selection box") << 19 << true;
    QTest::newRow("27 active button") << 27 << true;
    QTest::newRow("28 is above the table") << 28 << false;
    QTest::newRow("negative") << -5 << false;
}

void TestPanelkit::setColorCodes()
{
    QFETCH(int, code);
    QFETCH(bool, changes);
    CPanelkitCtrl pane;
    pane.setXPColorTyp(CPanelkitCtrl::XP_COLOR_GREEN);
    QCOMPARE(pane.XPColorTyp(), 1);
    QList<OLE_COLOR> before;
    for (int c = 10; c <= 27; ++c)
        before << PaneColors().at(c);
    const QString names[] = {"CtrlBkColorStart", "CtrlBkColorEnd", "GrpTitleBkColor", "GrpTitleTextColor",
                             "GrpTitleBkActiveColor", "GrpTitleActiveTextColor", "GrpBkColor", "GrpTextColor",
                             "GrpBorderColor", "SelectBoxColor", "HilightBoxColor", "SelectBoxBorderColor",
                             "ButtonBorder1Normal", "ButtonBorder2Normal", "ButtonBkNormal", "ButtonBorder1Active",
                             "ButtonBorder2Active", "ButtonBkActive"};
    QList<uint> values;
    for (const QString &n : names)
        values << pane.property(n.toLatin1()).toUInt();
    pane.TPSetColor(code, 0x123456);
    QCOMPARE(pane.XPColorTyp(), -1);
    for (int c = 10; c <= 27; ++c) {
        const uint now = pane.property(names[c - 10].toLatin1()).toUInt();
        if (changes && c == code)
            QCOMPARE(now, 0x123456u);
        else
            QCOMPARE(now, values[c - 10]);
    }
}

void TestPanelkit::schemes_data()
{
    QTest::addColumn<int>("scheme");
    QTest::addColumn<uint>("bkStart");
    QTest::addColumn<uint>("titleText");
    QTest::addColumn<uint>("buttonBkActive");
    QTest::addColumn<uint>("selectBorder"); // 0: the palette's highlight colour
    QTest::newRow("blue") << 0 << 0xE6A17Au << 0xC65D21u << 0xC85820u << 0u;
    QTest::newRow("green") << 1 << 0xA4D3C4u << 0x2D6656u << 0x50A482u << 0x6A9CE8u;
    QTest::newRow("silver") << 2 << 0xD1C3BFu << 0x3D3D3Fu << 0x97756Fu << 0x98D4A4u;
    QTest::newRow("any other value is blue") << 7 << 0xE6A17Au << 0xC65D21u << 0xC85820u << 0u;
}

void TestPanelkit::schemes()
{
    QFETCH(int, scheme);
    QFETCH(uint, bkStart);
    QFETCH(uint, titleText);
    QFETCH(uint, buttonBkActive);
    QFETCH(uint, selectBorder);
    CPanelkitCtrl pane;
    QPalette pal = pane.palette();
    pal.setColor(QPalette::Highlight, QColor(0x12, 0x34, 0x56));
    pane.setPalette(pal);
    pane.TPSetColor(10, 0x010101); // something no scheme has
    QSignalSpy changed(&pane, &CPanelkitCtrl::colorsChanged);
    pane.setXPColorTyp(scheme);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(pane.XPColorTyp(), scheme);
    QCOMPARE(pane.CtrlBkColorStart(), bkStart);
    QCOMPARE(pane.GrpTitleTextColor(), titleText);
    QCOMPARE(pane.ButtonBkActive(), buttonBkActive);
    QCOMPARE(pane.SelectBoxBorderColor(), selectBorder ? selectBorder : 0x563412u);
    QVERIFY(pane.isModified());

    // The own scheme keeps whatever is set.
    pane.TPSetColor(11, 0x0000FF);
    pane.setXPColorTyp(CPanelkitCtrl::XP_COLOR_OWN);
    QCOMPARE(pane.CtrlBkColorEnd(), 0x0000FFu);
    QCOMPARE(pane.CtrlBkColorStart(), bkStart);
}

void TestPanelkit::colourPropertySwitchesToOwnScheme()
{
    CPanelkitCtrl pane;
    pane.setXPColorTyp(CPanelkitCtrl::XP_COLOR_SILVER);
    pane.setModified(false);
    QSignalSpy changed(&pane, &CPanelkitCtrl::colorsChanged);
    QVERIFY(pane.setProperty("GrpBkColor", 0x00ABCDEFu));
    QCOMPARE(pane.GrpBkColor(), 0xABCDEFu);
    QCOMPARE(pane.XPColorTyp(), -1);
    QCOMPARE(changed.count(), 1);
    QVERIFY(pane.isModified());
    // The same value again changes nothing and says nothing.
    pane.setGrpBkColor(0xABCDEF);
    QCOMPARE(changed.count(), 1);
}

void TestPanelkit::schemeReachableOnlyByName()
{
    CPanelkitCtrl pane;
    const QMetaObject *mo = pane.metaObject();
    QVERIFY(mo->indexOfProperty("TPSetXPColor") >= 0);
    QCOMPARE(mo->indexOfMethod("TPSetXPColor(int)"), -1);
    QVERIFY(pane.setProperty("TPSetXPColor", 1));
    QCOMPARE(pane.XPColorTyp(), 1);
    QCOMPARE(pane.property("TPSetXPColor").toInt(), 1);
    QCOMPARE(pane.GrpTitleTextColor(), 0x2D6656u);
    for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i)
        QVERIFY(mo->property(i).isWritable());
    QCOMPARE(mo->propertyCount() - mo->propertyOffset(), 21);
}

void TestPanelkit::firstGroupStartPositionMovesGroups()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    const int top = pane.groupTitleRect(10).top();
    const int content = pane.contentHeight();
    QSignalSpy changed(&pane, &CPanelkitCtrl::firstGroupStartPositionChanged);
    pane.TPSetFirstGroupStartPosition(30);
    QCOMPARE(pane.FirstGroupStartPosition(), 30);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(pane.groupTitleRect(10).top(), top + 30);
    QCOMPARE(pane.contentHeight(), content + 30);
}

void TestPanelkit::sameFirstGroupStartPositionChangesNothing_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("changes");
    QTest::newRow("the same") << 12 << false;
    QTest::newRow("another") << 13 << true;
}

void TestPanelkit::sameFirstGroupStartPositionChangesNothing()
{
    QFETCH(int, value);
    QFETCH(bool, changes);
    CPanelkitCtrl pane;
    fillStandard(pane);
    pane.setFirstGroupStartPosition(12);
    pane.setModified(false);
    QSignalSpy changed(&pane, &CPanelkitCtrl::firstGroupStartPositionChanged);
    pane.setFirstGroupStartPosition(value);
    QCOMPARE(pane.isModified(), changes);
    QCOMPARE(changed.count(), changes ? 1 : 0);
    QCOMPARE(pane.FirstGroupStartPosition(), value);
}

void TestPanelkit::deletesClearReferences_data()
{
    QTest::addColumn<int>("what"); // 0 task, 1 its group, 2 all, 3 another task
    QTest::addColumn<bool>("cleared");
    QTest::newRow("selected and hot task") << 0 << true;
    QTest::newRow("their group") << 1 << true;
    QTest::newRow("everything") << 2 << true;
    QTest::newRow("an unrelated task") << 3 << false;
}

void TestPanelkit::deletesClearReferences()
{
    QFETCH(int, what);
    QFETCH(bool, cleared);
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    pane.TPSelectTask(202);
    QTest::mouseMove(&pane, textPoint(pane, 202));
    QCOMPARE(pane.hotEntry(), pane.findItem(202));
    QCOMPARE(pane.TPGetCurSel(), 202);
    switch (what) {
    case 0: QVERIFY(pane.TPDeleteTask(202, false)); break;
    case 1: QVERIFY(pane.TPDeleteGroup(10, true)); break;
    case 2: pane.TPDeleteAll(); break;
    default: QVERIFY(pane.TPDeleteTask(1, false)); break;
    }
    if (cleared) {
        QCOMPARE(pane.TPGetCurSel(), -1);
        QCOMPARE(pane.selectedTask(), nullptr);
        QCOMPARE(pane.selectedGroup(), nullptr);
        QCOMPARE(pane.hotEntry(), nullptr);
    } else {
        QCOMPARE(pane.TPGetCurSel(), 202);
        QCOMPARE(pane.hotEntry(), pane.findItem(202));
    }
    // Painting and hovering after the delete must not touch freed records.
    (void)pane.renderPane();
    QTest::mouseMove(&pane, QPoint(50, 60));
    QTest::mouseMove(&pane, QPoint(50, 120));
}

void TestPanelkit::deleteReturnValues()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    QVERIFY(!pane.TPDeleteGroup(-1, false));
    QVERIFY(!pane.TPDeleteGroup(999, false));
    QVERIFY(!pane.TPDeleteTask(999, false));
    QVERIFY(pane.TPDeleteTask(2, false));
    QCOMPARE(pane.findItem(2), nullptr);
    QVERIFY(pane.TPDeleteGroup(30, false));
    QCOMPARE(pane.findItem(501), nullptr);
    QCOMPARE(pane.groupCount(), 2);
}

void TestPanelkit::redrawSuspendedSelectsSilently()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    QSignalSpy select(&pane, &CPanelkitCtrl::FireSelectItem);
    pane.TPSetRedraw(false);
    QVERIFY(pane.isRedrawSuspended());
    pane.TPSelectTask(2);
    QCOMPARE(pane.TPGetCurSel(), 2);
    QCOMPARE(select.count(), 0);
    QTest::mouseClick(&pane, Qt::LeftButton, {}, textPoint(pane, 101));
    QCOMPARE(pane.TPGetCurSel(), 2);
    QCOMPARE(pane.selectedGroup(), pane.findGroup(20));
    QCOMPARE(select.count(), 0);
    pane.TPSetRedraw(true);
    QTest::mouseClick(&pane, Qt::LeftButton, {}, textPoint(pane, 101));
    QCOMPARE(pane.TPGetCurSel(), 101);
    QCOMPARE(select.count(), 1);
}

void TestPanelkit::expandWithoutAnimationIsImmediate_data()
{
    QTest::addColumn<int>("why");
    QTest::newRow("animation disabled") << 0;
    QTest::newRow("redraw suspended") << 1;
    QTest::newRow("pane hidden") << 2;
    QTest::newRow("style without animations") << 3;
}

void TestPanelkit::expandWithoutAnimationIsImmediate()
{
    QFETCH(int, why);
    AnimationStyle noAnimations(0);
    CPanelkitCtrl pane;
    if (why == 3)
        pane.setStyle(&noAnimations);
    fillStandard(pane);
    showPane(pane);
    if (why == 0)
        pane.TPEnableAnimation(false);
    else if (why == 1)
        pane.TPSetRedraw(false);
    else if (why == 2)
        pane.hide();
    pane.TPExpandGroup(20, false);
    QVERIFY(!pane.findGroup(20)->expanded);
    QVERIFY(!pane.isAnimating());
    pane.TPExpandGroup(20, true);
    QVERIFY(pane.findGroup(20)->expanded);
    QVERIFY(!pane.isAnimating());
}

void TestPanelkit::expandAnimatesButModelChangesAtOnce()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    const int before = pane.groupTitleRect(30).top();
    pane.TPExpandGroup(10, false);
    QVERIFY(!pane.findGroup(10)->expanded);
    QVERIFY(pane.isAnimating());
    QVERIFY(pane.groupTitleRect(30).top() < before);
    // A second request during the animation is not lost.
    pane.TPExpandGroup(20, false);
    QVERIFY(!pane.findGroup(20)->expanded);
    QVERIFY(pane.isAnimating());
    finishAnimation(pane);
    QVERIFY(!pane.isAnimating());
    // Expanding what is already expanded changes nothing.
    const int top = pane.groupTitleRect(30).top();
    pane.TPExpandGroup(30, true);
    QVERIFY(!pane.isAnimating());
    QCOMPARE(pane.groupTitleRect(30).top(), top);
    // Unknown ids do nothing.
    pane.TPExpandGroup(4242, false);
    QVERIFY(!pane.isAnimating());
}

void TestPanelkit::expandAnimationLastsAsTheStyleSays()
{
    AnimationStyle style(480);
    CPanelkitCtrl pane;
    pane.setStyle(&style);
    fillStandard(pane);
    showPane(pane);
    pane.TPSelectTask(101);
    QTRY_COMPARE(pane.pendingJobs(), 0);
    pane.TPExpandGroup(10, false);
    auto *timeLine = pane.findChild<QVariantAnimation *>();
    QVERIFY(timeLine);
    QCOMPARE(timeLine->duration(), 480);
    timeLine->setCurrentTime(240);
    QVERIFY(pane.isAnimating());
    const QImage halfway = pane.grab().toImage();
    timeLine->setCurrentTime(480);
    QVERIFY(!pane.isAnimating());
    QVERIFY(halfway != pane.grab().toImage());
    QCOMPARE(pane.selectedGroup(), pane.findGroup(10));
    QCOMPARE(pane.groupTitleRect(20).top(), pane.groupTitleRect(10).bottom() + 1 + 10);
}

void TestPanelkit::imageListBeforeSizeHoldsNothing()
{
    CPanelkitCtrl pane;
    pane.TPAddGroup(QStringLiteral("G"), 1, true, -1, -1);
    QPixmap strip(64, 16);
    strip.fill(Qt::red);
    pane.TPSetTaskImageList(strip); // size still 0
    QCOMPARE(pane.TPAddTask(1, QStringLiteral("mit Bild 3"), 1, 3), 1);
    QCOMPARE(pane.TPAddTaskPic(1, QStringLiteral("Bild"), 2, strip), 1);
    QCOMPARE(pane.findItem(2)->icon, -1);
    showPane(pane);
    (void)pane.renderPane(); // an icon index beyond the list draws nothing
}

void TestPanelkit::greyImageKeepsBlackAndMask()
{
    QImage img(3, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, qRgba(0, 0, 0, 255));
    img.setPixel(1, 0, qRgba(200, 100, 50, 255));
    img.setPixel(2, 0, qRgba(10, 20, 30, 0));
    const QImage grey = PaneImageList::greyImage(img);
    QCOMPARE(grey.pixel(0, 0), qRgba(0, 0, 0, 255));
    const int g = int(0.299 * 200 + 0.587 * 100 + 0.114 * 50);
    QCOMPARE(grey.pixel(1, 0), qRgba(g, g, g, 255));
    QCOMPARE(qAlpha(grey.pixel(2, 0)), 0);
    QCOMPARE(PaneColors::grey(0x3264C8), OLE_COLOR(g) * 0x010101u);
}

void TestPanelkit::picturesBecomeIcons()
{
    CPanelkitCtrl pane;
    pane.TPSetTaskImageSize(16);
    pane.TPSetGroupImageSize(16);
    QPixmap strip(48, 16);
    strip.fill(QColor(255, 0, 255));
    pane.TPSetTaskImageList(strip);
    QPixmap pic(16, 16);
    pic.fill(Qt::blue);
    QCOMPARE(pane.TPAddGroupPic(QStringLiteral("G"), 1, true, QIcon(pic), -1), 1);
    QCOMPARE(pane.findGroup(1)->icon, 0);
    QCOMPARE(pane.TPAddGroupPic(QStringLiteral("H"), 2, true, QPixmap(), -1), 2);
    QCOMPARE(pane.findGroup(2)->icon, -1);
    QCOMPARE(pane.TPAddTaskPic(1, QStringLiteral("T"), 5, pic), 1);
    QCOMPARE(pane.findItem(5)->icon, 3); // after the three of the strip
    QCOMPARE(pane.TPAddOptionPic(1, QStringLiteral("O"), 6, QIcon(pic), true), 1);
    QCOMPARE(pane.findItem(6)->icon, 4);
    QVERIFY(pane.findItem(6)->isOption);

    // A magenta pixel of a bitmap is transparent once drawn.
    pane.TPDeleteAll();
    pane.TPAddGroup(QStringLiteral("G"), 1, true, -1, 0xFFFFFF);
    QPixmap masked(16, 16);
    masked.fill(QColor(255, 0, 255));
    pane.TPAddTaskPic(1, QStringLiteral("T"), 7, masked);
    showPane(pane);
    const QImage img = pane.renderPane();
    const QRect box = pane.itemRect(7);
    QCOMPARE(QColor(img.pixel(box.left() + 8, box.center().y())), QColor(Qt::white));
}

void TestPanelkit::multiLineEntryGetsTallerRow()
{
    CPanelkitCtrl pane;
    pane.TPAddGroup(QStringLiteral("G"), 1, true, -1, -1);
    pane.TPAddTask(1, QStringLiteral("eine Zeile"), 1, -1);
    pane.TPAddTask(1, QStringLiteral("erste Zeile\r\nzweite Zeile"), 2, -1);
    showPane(pane);
    QVERIFY(pane.findItem(2)->multiLine);
    QVERIFY(!pane.findItem(1)->multiLine);
    QVERIFY(pane.itemRect(2).height() > pane.itemRect(1).height());
    QCOMPARE(pane.itemRect(1).height(), pane.rowHeight() - 2);
}

void TestPanelkit::largeTypeBreaksBetweenWordsOnly_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("the width it asks for") << 0;
    QTest::newRow("narrower than a word") << 150;
}

// Large type in a pane of the width it asks for shows every entry whole on
// one line; in a narrower one entries break between words, and a word too
// long for the line ends in an ellipsis, never cut off or broken inside.
void TestPanelkit::largeTypeBreaksBetweenWordsOnly()
{
    QFETCH(int, width);
    CPanelkitCtrl pane;
    QFont large = pane.font();
    large.setPointSizeF(large.pointSizeF() * 2.5);
    pane.setFont(large);
    pane.TPAddGroup(QStringLiteral("Quenora"), 1, true, -1, -1);
    const QStringList texts{QStringLiteral("Text vorlesen"), QStringLiteral("Geschwindigkeit ändern"),
                            QStringLiteral("Helligkeit ändern"), QStringLiteral("Taskscript erstellen")};
    for (int i = 0; i < texts.size(); ++i)
        pane.TPAddTask(1, texts[i], i + 1, -1);
    showPane(pane, width ? width : pane.sizeHint().width(), 900);

    const QFontMetrics fm(large);
    for (int i = 0; i < texts.size(); ++i) {
        const QStringList lines = pane.entryLines(i + 1);
        const QStringList words = texts[i].split(QLatin1Char(' '));
        if (width == 0) {
            QCOMPARE(lines, QStringList{texts[i]});
            continue;
        }
        QVERIFY2(lines.size() >= 2, qPrintable(lines.join('|')));
        for (const QString &line : lines) {
            QVERIFY2(fm.horizontalAdvance(line) <= pane.itemRect(i + 1).width(), qPrintable(line));
            if (line.endsWith(QChar(0x2026))) {
                const QString start = line.chopped(1);
                QVERIFY2(std::any_of(words.begin(), words.end(), [&](const QString &w) { return w.startsWith(start); }),
                         qPrintable(line));
            } else {
                for (const QString &part : line.split(QLatin1Char(' ')))
                    QVERIFY2(words.contains(part), qPrintable(line));
            }
        }
        QVERIFY(pane.itemRect(i + 1).height() >= int(lines.size()) * fm.lineSpacing());
    }
    if (width)
        QVERIFY(pane.entryLines(2).first().endsWith(QChar(0x2026))); // "Geschwindigkeit"
}

void TestPanelkit::badInputNeverCrashes()
{
    CPanelkitCtrl pane;
    showPane(pane, 40, 30);
    pane.TPAddGroup(QString(), INT_MIN, true, INT_MAX, INT_MIN);
    pane.TPAddGroup(QString(5000, QLatin1Char('x')), INT_MAX, false, -7, 0x7FFFFFFF);
    pane.TPAddTask(INT_MAX, QString(), INT_MIN, INT_MAX);
    pane.TPAddTask(INT_MAX, QString(3000, QLatin1Char('\n')), 3, 99);
    pane.TPAddOption(INT_MAX, QStringLiteral("o"), 4, -1, false);
    pane.TPSetTaskImageSize(-5);
    pane.TPSetGroupImageSize(32767);
    pane.TPSetTaskImageList(QPixmap());
    pane.TPSetGroupImageList(QPixmap(10, 10));
    pane.TPSetFirstGroupStartPosition(-100000);
    pane.TPEnableTask(-1, false);
    pane.TPEnsureVisible(-1);
    pane.TPEnsureVisible(3);
    pane.TPSelectTask(INT_MIN);
    pane.TPExpandGroup(INT_MAX, true);
    pane.resize(0, 0);
    (void)pane.renderPane();
    pane.resize(300, 10);
    (void)pane.renderPane();
    QTRY_COMPARE(pane.pendingJobs(), 0);
}

// --- mouse --------------------------------------------------------------------

void TestPanelkit::singleClickOnTitleDoesNothing()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    QSignalSpy select(&pane, &CPanelkitCtrl::FireSelectItem);
    const QRect title = pane.groupTitleRect(20);
    QTest::mouseClick(&pane, Qt::LeftButton, {}, QPoint(title.left() + 20, title.center().y()));
    QVERIFY(pane.findGroup(20)->expanded);
    QVERIFY(!pane.isAnimating());
    QCOMPARE(select.count(), 0);
}

void TestPanelkit::clickOnButtonToggles()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    QTest::mouseClick(&pane, Qt::LeftButton, {}, pane.groupButtonRect(20).center());
    QVERIFY(!pane.findGroup(20)->expanded);
    finishAnimation(pane);
    QVERIFY(!pane.isAnimating());
    QTest::mouseClick(&pane, Qt::LeftButton, {}, pane.groupButtonRect(20).center());
    QVERIFY(pane.findGroup(20)->expanded);
}

void TestPanelkit::doubleClickOnTitleToggles()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    const QRect title = pane.groupTitleRect(20);
    const QPoint p(title.left() + 20, title.center().y());
    QTest::mouseDClick(&pane, Qt::LeftButton, {}, p);
    QVERIFY(!pane.findGroup(20)->expanded);
    finishAnimation(pane);
    QVERIFY(!pane.isAnimating());
    QTest::mouseDClick(&pane, Qt::LeftButton, {}, pane.groupTitleRect(20).topLeft() + QPoint(20, 5));
    QVERIFY(pane.findGroup(20)->expanded);
}

void TestPanelkit::clickOnOptionText()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    QSignalSpy select(&pane, &CPanelkitCtrl::FireSelectItem);
    QSignalSpy option(&pane, &CPanelkitCtrl::FireOptionSelectItem);
    QTest::mouseClick(&pane, Qt::LeftButton, {}, textPoint(pane, 502));
    QCOMPARE(select.count(), 1);
    QCOMPARE(select.at(0), (QVariantList{502, 30}));
    QCOMPARE(option.count(), 0);
    QVERIFY(!pane.findItem(502)->checked);
    QCOMPARE(pane.TPGetCurSel(), 502);
    QCOMPARE(pane.selectedGroup(), pane.findGroup(30));
}

void TestPanelkit::clickOnRadioButton()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    pane.TPSetOption(501, true);
    QSignalSpy select(&pane, &CPanelkitCtrl::FireSelectItem);
    QSignalSpy option(&pane, &CPanelkitCtrl::FireOptionSelectItem);
    const QRect check = pane.checkRect(503);
    QVERIFY(check.isValid());
    QTest::mouseClick(&pane, Qt::LeftButton, {}, check.center());
    QCOMPARE(option.count(), 1);
    QCOMPARE(option.at(0), (QVariantList{503, 30, 2}));
    QCOMPARE(select.count(), 0);
    QVERIFY(pane.findItem(503)->checked);
    QVERIFY(!pane.findItem(501)->checked);
    QCOMPARE(pane.TPGetOption(501), 2);
    // Clicking the checked radio button again keeps it checked.
    QTest::mouseClick(&pane, Qt::LeftButton, {}, check.center());
    QVERIFY(pane.findItem(503)->checked);
}

void TestPanelkit::clickOnSelectedEntryFiresAgain()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    QSignalSpy select(&pane, &CPanelkitCtrl::FireSelectItem);
    QTest::mouseClick(&pane, Qt::LeftButton, {}, textPoint(pane, 1));
    QTest::mouseClick(&pane, Qt::LeftButton, {}, textPoint(pane, 1));
    QCOMPARE(select.count(), 2);
    QCOMPARE(select.at(1), (QVariantList{1, 20}));
    // Right button does not select.
    QTest::mouseClick(&pane, Qt::RightButton, {}, textPoint(pane, 2));
    QCOMPARE(select.count(), 2);
    // A double click (press, release, double click, release) acts once,
    // through its press.
    QTest::mouseClick(&pane, Qt::LeftButton, {}, textPoint(pane, 2));
    QTest::mouseDClick(&pane, Qt::LeftButton, {}, textPoint(pane, 2));
    QCOMPARE(select.count(), 3);
    QCOMPARE(select.last(), (QVariantList{2, 20}));
}

void TestPanelkit::disabledEntryIgnoresMouse()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    pane.TPEnableTask(202, false);
    QVERIFY(pane.findItem(202)->disabled);
    QSignalSpy select(&pane, &CPanelkitCtrl::FireSelectItem);
    QTest::mouseMove(&pane, textPoint(pane, 202));
    QCOMPARE(pane.hotEntry(), nullptr);
    QCOMPARE(pane.cursor().shape(), Qt::ArrowCursor);
    QTest::mouseClick(&pane, Qt::LeftButton, {}, textPoint(pane, 202));
    QCOMPARE(select.count(), 0);
    QCOMPARE(pane.TPGetCurSel(), -1);
    pane.TPEnableTask(202, true);
    QTest::mouseClick(&pane, Qt::LeftButton, {}, textPoint(pane, 202));
    QCOMPARE(select.count(), 1);
}

void TestPanelkit::hoverMarksEntryAndUsesHandCursor()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    QTest::mouseMove(&pane, textPoint(pane, 101));
    QCOMPARE(pane.hotEntry(), pane.findItem(101));
    QCOMPARE(pane.cursor().shape(), Qt::PointingHandCursor);
    // Over the background the arrow returns and the hover goes after a while.
    QTest::mouseMove(&pane, QPoint(2, pane.height() - 2));
    QCOMPARE(pane.cursor().shape(), Qt::ArrowCursor);
    QTRY_COMPARE(pane.hotEntry(), nullptr);
}

void TestPanelkit::hoverRepaintsOnlyAffectedRows()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    QTRY_VERIFY(pane.lastPaintedEntryCount() >= 8);
    QTest::mouseMove(&pane, textPoint(pane, 101));
    QTRY_COMPARE(pane.lastPaintedEntryCount(), 1);
    // From the first group to the last: two rows, not what lies between.
    QTest::mouseMove(&pane, textPoint(pane, 503));
    QTRY_COMPARE(pane.lastPaintedEntryCount(), 2);
    QCOMPARE(pane.hotEntry(), pane.findItem(503));
}

void TestPanelkit::disabledPaneIgnoresMouse()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    pane.TPEnableWindow(false);
    QVERIFY(!pane.isEnabled());
    QSignalSpy select(&pane, &CPanelkitCtrl::FireSelectItem);
    QTest::mouseClick(&pane, Qt::LeftButton, {}, textPoint(pane, 101));
    QCOMPARE(select.count(), 0);
    pane.TPEnableWindow(true);
    QTest::mouseClick(&pane, Qt::LeftButton, {}, textPoint(pane, 101));
    QCOMPARE(select.count(), 1);
}

void TestPanelkit::receiverMayClearPaneDuringEvent()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    connect(&pane, &CPanelkitCtrl::FireSelectItem, &pane, [&pane] { pane.TPDeleteAll(); });
    connect(&pane, &CPanelkitCtrl::FireOptionSelectItem, &pane, [&pane] { pane.TPDeleteAll(); });
    const QPoint radio = pane.checkRect(502).center();
    QTest::mouseClick(&pane, Qt::LeftButton, {}, textPoint(pane, 2));
    QCOMPARE(pane.groupCount(), 0);
    fillStandard(pane);
    QTest::mouseClick(&pane, Qt::LeftButton, {}, radio);
    QCOMPARE(pane.groupCount(), 0);
    fillStandard(pane);
    pane.TPSelectTask(303);
    QCOMPARE(pane.groupCount(), 0);
    QTRY_COMPARE(pane.pendingJobs(), 0);
    (void)pane.renderPane();
}

// --- scrolling ------------------------------------------------------------------

void TestPanelkit::scrollBarFollowsContent()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane, 220, 300);
    QTRY_VERIFY(pane.contentHeight() > 0);
    QVERIFY(!pane.isScrollBarShown());
    const int wideRight = pane.itemRect(101).right();
    for (int g = 0; g < 6; ++g) {
        pane.TPAddGroup(QStringLiteral("Mehr"), 100 + g, true, -1, -1);
        for (int i = 0; i < 4; ++i)
            pane.TPAddTask(100 + g, QStringLiteral("Eintrag"), 1000 + g * 10 + i, -1);
    }
    QTRY_VERIFY(pane.isScrollBarShown());
    QVERIFY(pane.itemRect(101).right() < wideRight); // the layout narrowed
    pane.verticalScrollBar()->setValue(pane.verticalScrollBar()->maximum());
    QVERIFY(pane.scrollPosition() > 0);
    for (int g = 0; g < 6; ++g)
        QVERIFY(pane.TPDeleteGroup(100 + g, false));
    QTRY_VERIFY(!pane.isScrollBarShown());
    QCOMPARE(pane.scrollPosition(), 0);
    QCOMPARE(pane.verticalScrollBar()->value(), 0);
    QCOMPARE(pane.itemRect(101).right(), wideRight);
}

void TestPanelkit::ensureVisibleScrollsEntryIntoView_data()
{
    QTest::addColumn<bool>("smooth");
    QTest::newRow("smooth") << true;
    QTest::newRow("animation off") << false;
}

void TestPanelkit::ensureVisibleScrollsEntryIntoView()
{
    QFETCH(bool, smooth);
    CPanelkitCtrl pane;
    pane.TPEnableAnimation(smooth);
    pane.TPAddGroup(QStringLiteral("Lang"), 1, true, -1, -1);
    for (int i = 0; i < 40; ++i)
        pane.TPAddTask(1, QStringLiteral("Eintrag %1").arg(i), i, -1);
    showPane(pane, 200, 200);
    QTRY_VERIFY(pane.isScrollBarShown());
    QVERIFY(pane.itemRect(35).top() > pane.height());
    pane.TPEnsureVisible(35);
    QTRY_COMPARE(pane.pendingJobs(), 0);
    QVERIFY(pane.itemRect(35).top() >= 0);
    QVERIFY(pane.itemRect(35).bottom() < pane.height());
    // And back up again.
    pane.TPEnsureVisible(1);
    QTRY_COMPARE(pane.pendingJobs(), 0);
    QVERIFY(pane.itemRect(1).top() >= 0);
    QVERIFY(pane.itemRect(1).bottom() < pane.height());
}

void TestPanelkit::selectTaskRevealsCollapsedGroup()
{
    CPanelkitCtrl pane;
    pane.TPAddGroup(QStringLiteral("Oben"), 1, true, -1, -1);
    for (int i = 0; i < 20; ++i)
        pane.TPAddTask(1, QStringLiteral("Eintrag %1").arg(i), i, -1);
    pane.TPAddGroup(QStringLiteral("Unten"), 2, false, -1, -1);
    pane.TPAddTask(2, QStringLiteral("Versteckt"), 77, -1);
    showPane(pane, 200, 250);
    QSignalSpy select(&pane, &CPanelkitCtrl::FireSelectItem);
    pane.TPSelectTask(77);
    QCOMPARE(select.count(), 1);
    QCOMPARE(select.at(0), (QVariantList{77, 2}));
    QTRY_VERIFY(pane.findGroup(2)->expanded);
    finishAnimation(pane);
    QTRY_COMPARE(pane.pendingJobs(), 0);
    QVERIFY(pane.itemRect(77).top() >= 0);
    QVERIFY(pane.itemRect(77).bottom() < pane.height());
}

void TestPanelkit::deleteWhileJobPendingIsSafe()
{
    CPanelkitCtrl pane;
    pane.TPAddGroup(QStringLiteral("Lang"), 1, true, -1, -1);
    for (int i = 0; i < 60; ++i)
        pane.TPAddTask(1, QStringLiteral("Eintrag %1").arg(i), i, -1);
    showPane(pane, 200, 200);
    pane.TPEnsureVisible(59);
    pane.TPEnsureVisible(58);
    QVERIFY(pane.pendingJobs() > 0);
    QVERIFY(pane.TPDeleteTask(59, false));
    pane.TPDeleteAll();
    QTRY_COMPARE(pane.pendingJobs(), 0);
    QCOMPARE(pane.scrollPosition(), 0);
}

void TestPanelkit::wheelScrolls()
{
    CPanelkitCtrl pane;
    pane.TPAddGroup(QStringLiteral("Lang"), 1, true, -1, -1);
    for (int i = 0; i < 40; ++i)
        pane.TPAddTask(1, QStringLiteral("Eintrag %1").arg(i), i, -1);
    showPane(pane, 200, 200);
    QTRY_VERIFY(pane.isScrollBarShown());
    QWheelEvent wheel(QPointF(50, 50), pane.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&pane, &wheel);
    QVERIFY(pane.scrollPosition() > 0);
}

// --- keyboard -------------------------------------------------------------------

void TestPanelkit::keyboardMovesAndActivates()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    pane.TPEnableTask(202, false);
    showPane(pane);
    pane.activateWindow();
    pane.setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(pane.hasFocus());
    QCOMPARE(pane.focusGroup(), pane.findGroup(10));
    QCOMPARE(pane.focusItem(), nullptr);
    QSignalSpy select(&pane, &CPanelkitCtrl::FireSelectItem);
    QSignalSpy option(&pane, &CPanelkitCtrl::FireOptionSelectItem);
    QTest::keyClick(&pane, Qt::Key_Down);
    QCOMPARE(pane.focusItem(), pane.findItem(101));
    QTest::keyClick(&pane, Qt::Key_Down); // 202 is disabled and skipped
    QCOMPARE(pane.focusItem(), pane.findItem(303));
    QTest::keyClick(&pane, Qt::Key_Return);
    QCOMPARE(select.count(), 1);
    QCOMPARE(select.at(0), (QVariantList{303, 10}));
    QTest::keyClick(&pane, Qt::Key_Up);
    QCOMPARE(pane.focusItem(), pane.findItem(101));
    QTest::keyClick(&pane, Qt::Key_End);
    QCOMPARE(pane.focusItem(), pane.findItem(503));
    QTest::keyClick(&pane, Qt::Key_Space);
    QCOMPARE(option.count(), 1);
    QCOMPARE(option.at(0), (QVariantList{503, 30, 2}));
    QVERIFY(pane.findItem(503)->checked);
    QTest::keyClick(&pane, Qt::Key_Return); // the option's text: a selection
    QCOMPARE(select.count(), 2);
    QCOMPARE(select.at(1), (QVariantList{503, 30}));
}

void TestPanelkit::keyboardCollapsesAndExpands()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    pane.setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(pane.hasFocus());
    QTest::keyClick(&pane, Qt::Key_Down);
    QCOMPARE(pane.focusItem(), pane.findItem(101));
    QTest::keyClick(&pane, Qt::Key_Left);
    QVERIFY(!pane.findGroup(10)->expanded);
    QCOMPARE(pane.focusItem(), nullptr);
    QCOMPARE(pane.focusGroup(), pane.findGroup(10));
    QTest::keyClick(&pane, Qt::Key_Down); // next stop is the next title
    QCOMPARE(pane.focusGroup(), pane.findGroup(20));
    QTest::keyClick(&pane, Qt::Key_Up);
    QTest::keyClick(&pane, Qt::Key_Right);
    QVERIFY(pane.findGroup(10)->expanded);
    QTest::keyClick(&pane, Qt::Key_Space); // a title: toggles
    QVERIFY(!pane.findGroup(10)->expanded);
}

void TestPanelkit::focusFrameIsVisible()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    pane.setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(pane.hasFocus());
    QTest::keyClick(&pane, Qt::Key_Down);
    const QRect box = pane.itemRect(101);
    const QImage focused = pane.renderPane().copy(box);
    pane.clearFocus();
    QTRY_VERIFY(!pane.hasFocus());
    const QImage unfocused = pane.renderPane().copy(box);
    QVERIFY(focused != unfocused);
    // Only the frame differs, not the text or the fill in the middle.
    QCOMPARE(focused.pixel(box.width() - 6, box.height() / 2), unfocused.pixel(box.width() - 6, box.height() / 2));
}

// --- rendering ------------------------------------------------------------------

void TestPanelkit::flatOrGradientBackground_data()
{
    QTest::addColumn<uint>("start");
    QTest::addColumn<uint>("end");
    QTest::newRow("same colours: flat") << 0x336699u << 0x336699u;
    QTest::newRow("different colours: gradient") << 0x000000u << 0xFFFFFFu;
}

void TestPanelkit::flatOrGradientBackground()
{
    QFETCH(uint, start);
    QFETCH(uint, end);
    CPanelkitCtrl pane;
    pane.TPAddGroup(QStringLiteral("G"), 1, false, -1, -1);
    showPane(pane, 200, 200);
    pane.setCtrlBkColorStart(start);
    pane.setCtrlBkColorEnd(end);
    const QImage img = pane.grab().toImage();
    const int y = img.height() - 5; // below every group
    const QRgb left = img.pixel(0, y);
    const QRgb right = img.pixel(img.width() - 1, y);
    QCOMPARE(left, rgbOf(start));
    if (start == end) {
        for (int x = 0; x < img.width(); x += 7)
            QCOMPARE(img.pixel(x, y), rgbOf(start));
    } else {
        QVERIFY(qRed(right) > 240);
        QVERIFY(qRed(img.pixel(img.width() / 2, y)) > 100);
        QVERIFY(qRed(img.pixel(img.width() / 2, y)) < 150);
        // Strips two pixels wide.
        QCOMPARE(img.pixel(100, y), img.pixel(101, y));
    }
}

void TestPanelkit::activeTitleColour()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    pane.TPSelectTask(1);
    const QImage img = pane.renderPane();
    const QRect active = pane.groupTitleRect(20);
    const QRect other = pane.groupTitleRect(10);
    QCOMPARE(img.pixel(active.left() + 4, active.top() + 3), rgbOf(pane.GrpTitleBkActiveColor()));
    // An inactive title runs from a light left end to GrpTitleBkColor.
    QCOMPARE(img.pixel(other.right(), other.top() + 3), rgbOf(pane.GrpTitleBkColor()));
    QVERIFY(QColor(img.pixel(other.left() + 4, other.top() + 3)).lightness()
            > QColor(rgbOf(pane.GrpTitleBkColor())).lightness());
    // Rounded corners show the background.
    QCOMPARE(img.pixel(active.left(), active.top()), img.pixel(active.left() - 1, active.top()));
    // The selected entry's box.
    const QRect box = pane.itemRect(1);
    QCOMPARE(img.pixel(box.left() + 2, box.top() + 2), rgbOf(pane.SelectBoxColor()));
    QCOMPARE(img.pixel(box.left(), box.center().y()), rgbOf(pane.SelectBoxBorderColor()));
}

void TestPanelkit::disabledPaneIsGrey()
{
    CPanelkitCtrl pane;
    pane.TPSetTaskImageSize(16);
    QPixmap strip(16, 16);
    strip.fill(QColor(200, 30, 30));
    pane.TPSetTaskImageList(strip);
    fillStandard(pane);
    pane.TPAddTask(10, QStringLiteral("mit Bild"), 9, 0);
    pane.TPSetOption(502, true);
    pane.TPSelectTask(2);
    showPane(pane);
    const QImage colour = pane.renderPane();
    pane.TPEnableWindow(false);
    const QImage grey = pane.renderPane();
    int coloured = 0;
    for (int y = 0; y < colour.height(); ++y) {
        for (int x = 0; x < colour.width(); ++x) {
            const QRgb c = colour.pixel(x, y);
            if (qRed(c) != qGreen(c) || qGreen(c) != qBlue(c))
                ++coloured;
            const QRgb g = grey.pixel(x, y);
            if (qRed(g) != qGreen(g) || qGreen(g) != qBlue(g))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is not grey").arg(x).arg(y)));
        }
    }
    QVERIFY(coloured > 1000);
}

void TestPanelkit::schemesRenderDifferently()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    QList<QRgb> titles;
    for (int scheme : {0, 1, 2}) {
        pane.setXPColorTyp(scheme);
        const QImage img = pane.renderPane();
        const QRect t = pane.groupTitleRect(20);
        titles << img.pixel(t.right() - 1, t.top() + 2);
        QCOMPARE(titles.last(), rgbOf(pane.GrpTitleBkColor()));
    }
    QVERIFY(titles[0] != titles[1]);
    QVERIFY(titles[1] != titles[2]);
}

// --- other ------------------------------------------------------------------------

void TestPanelkit::aboutBox()
{
    CPanelkitCtrl pane;
    QString caption, text;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        caption = box->windowTitle();
        text = box->text();
        box->accept();
    });
    pane.AboutBox();
    QCOMPARE(caption, QStringLiteral("About Panelkit Control"));
    QCOMPARE(text, QStringLiteral("Panelkit Control, Version 1.0"));
}

void TestPanelkit::accessibleTree()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    pane.TPEnableTask(303, false);
    pane.TPSetOption(502, true);
    pane.TPExpandGroup(20, false);
    pane.TPSelectTask(101);
    showPane(pane);
    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(&pane);
    QVERIFY(root);
    QCOMPARE(root->role(), QAccessible::Pane);
    QCOMPARE(root->childCount(), 3);
    QAccessibleInterface *g1 = root->child(0);
    QCOMPARE(g1->text(QAccessible::Name), QStringLiteral("Sprache"));
    QCOMPARE(g1->role(), QAccessible::Grouping);
    QVERIFY(g1->state().expanded);
    QCOMPARE(root->indexOfChild(g1), 0);
    QVERIFY(root->child(1)->state().collapsed);
    QCOMPARE(g1->childCount(), 3);
    QAccessibleInterface *task = g1->child(0);
    QCOMPARE(task->text(QAccessible::Name), QStringLiteral("Vorlesen"));
    QCOMPARE(task->role(), QAccessible::Link);
    QVERIFY(task->state().selected);
    QCOMPARE(task->parent(), g1);
    QVERIFY(g1->child(2)->state().disabled);
    QAccessibleInterface *opt = root->child(2)->child(1);
    QCOMPARE(opt->role(), QAccessible::RadioButton);
    QVERIFY(opt->state().checked);
    QVERIFY(!root->child(2)->child(0)->state().checked);
    QCOMPARE(task->rect().size(), pane.itemRect(101).size());
    QCOMPARE(root->childAt(task->rect().center().x(), task->rect().center().y()), g1);

    // A deleted record's interface goes invalid and is not handed out again.
    pane.TPDeleteGroup(10, false);
    QCOMPARE(root->childCount(), 2);
    QCOMPARE(root->child(0)->text(QAccessible::Name), QStringLiteral("Skripte"));
}

void TestPanelkit::accessibleActions()
{
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(&pane);
    QAccessibleInterface *group = root->child(1);
    QAccessibleActionInterface *groupActions = group->actionInterface();
    QVERIFY(groupActions);
    QVERIFY(groupActions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    groupActions->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(!pane.findGroup(20)->expanded);

    QSignalSpy select(&pane, &CPanelkitCtrl::FireSelectItem);
    QSignalSpy option(&pane, &CPanelkitCtrl::FireOptionSelectItem);
    root->child(0)->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(select.count(), 1);
    QCOMPARE(select.at(0), (QVariantList{202, 10}));
    root->child(2)->child(0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(option.count(), 1);
    QVERIFY(pane.findItem(501)->checked);
}

void TestPanelkit::accessibleFocusEvents()
{
    // What a screen reader asks when focus moves: the focused child.
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(&pane);
    pane.setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(pane.hasFocus());
    QCOMPARE(root->focusChild(), root->child(0));
    QVERIFY(root->child(0)->state().focused);
    QTest::keyClick(&pane, Qt::Key_Down);
    QAccessibleInterface *focused = root->focusChild();
    QVERIFY(focused);
    QCOMPARE(focused->text(QAccessible::Name), QStringLiteral("Vorlesen"));
    QVERIFY(focused->state().focused);
    QVERIFY(!root->child(0)->state().focused);
}

void TestPanelkit::enteringThePaneAnnouncesTheFocusedEntry()
{
    // Qt announces the pane itself when it gets the focus; the entry that
    // has the keyboard focus must be the last word, or a reader stays on
    // "Aufgabenbereich".
    AccessibilityRecorder recorder;
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(&pane);
    pane.setFocus(Qt::BacktabFocusReason);
    QTRY_VERIFY(pane.hasFocus());
    QTRY_COMPARE(recorder.last(QAccessible::Focus).iface, root->child(0));
    QTest::keyClick(&pane, Qt::Key_Down);
    pane.clearFocus();
    recorder.clear();
    pane.setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(recorder.last(QAccessible::Focus).name, QStringLiteral("Vorlesen"));
}

void TestPanelkit::collapsingAnnouncesExactlyWhatChanged()
{
    AccessibilityRecorder recorder;
    CPanelkitCtrl pane;
    fillStandard(pane);
    showPane(pane);
    QAccessibleInterface *group = QAccessible::queryAccessibleInterface(&pane)->child(1);
    QVERIFY(group->state().expanded);
    recorder.clear();
    group->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(group->state().collapsed);
    const auto changes = recorder.ofType(QAccessible::StateChanged);
    QCOMPARE(changes.size(), size_t(1));
    QCOMPARE(changes[0].iface, group);
    QAccessible::State expected;
    expected.expanded = expected.collapsed = true;
    QVERIFY(std::memcmp(&changes[0].changed, &expected, sizeof expected) == 0);
    QCOMPARE(recorder.last(QAccessible::DescriptionChanged).iface, group);
    QCOMPARE(group->text(QAccessible::Description), QStringLiteral("eingeklappt"));
    // A notification of the pane is shown with what happened: what a
    // reader behind Qt 6.4's bridge hears.
    const auto said = recorder.last(QAccessible::ObjectShow);
    QCOMPARE(said.role, QAccessible::Notification);
    QCOMPARE(said.name, QStringLiteral("Skripte, eingeklappt"));
    QCOMPARE(said.iface->parent(), QAccessible::queryAccessibleInterface(&pane));
    QVERIFY(!said.iface->state().invisible);
    recorder.clear();
    group->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(recorder.last(QAccessible::ObjectShow).name, QStringLiteral("Skripte, ausgeklappt"));
    QCOMPARE(recorder.ofType(QAccessible::ObjectShow).size(), size_t(1));

    // Nothing changed, nothing said.
    recorder.clear();
    pane.TPExpandGroup(20, true);
    QVERIFY(recorder.ofType(QAccessible::StateChanged).empty());
    QVERIFY(recorder.ofType(QAccessible::ObjectShow).empty());
}

void TestPanelkit::aDashRuleIsASeparator()
{
    CPanelkitCtrl pane;
    pane.TPAddGroup(QStringLiteral("Tasks"), 1, true, -1, -1);
    pane.TPAddTask(1, QStringLiteral("Taskscript erstellen"), 1000, -1);
    pane.TPAddTask(1, QStringLiteral("----------"), 999, -1);
    pane.TPAddTask(1, QStringLiteral("Nachrichten"), 1, -1);
    showPane(pane);
    QAccessibleInterface *rule = QAccessible::queryAccessibleInterface(&pane)->child(0)->child(1);
    QCOMPARE(rule->role(), QAccessible::Separator);
    QCOMPARE(rule->text(QAccessible::Name), QString());
    QVERIFY(!rule->state().focusable);
    QVERIFY(rule->actionInterface()->actionNames().isEmpty());
    // The keyboard passes over it.
    pane.setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(pane.hasFocus());
    pane.setKeyboardFocus(pane.findItem(1000), nullptr);
    QTest::keyClick(&pane, Qt::Key_Down);
    QCOMPARE(pane.focusItem(), pane.findItem(1));
}

QTEST_MAIN(TestPanelkit)
#include "tst_panelkit.moc"
