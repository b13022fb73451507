#include "CPanelkitCtrl.h"

#include "PaneAccessible.h"
#include "PaneJobQueue.h"
#include "PanePainter.h"
#include "PaneTexts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kHoverMs = 200;
constexpr int kAnimationFrameMs = 5;
constexpr int kLineStep = 10;

int scrollDelay(int distance)
{
    if (distance <= 10)
        return 30;
    if (distance <= 80)
        return 10;
    return 0;
}

QString normalizedText(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

} // namespace

CPanelkitCtrl::CPanelkitCtrl(QWidget *parent)
    : QWidget(parent), m_radioImages(PaneImageList::radioButtons())
{
    PaneAccessible::installFactory();
    m_jobs = std::make_unique<PaneJobQueue>([this](PaneJob &job) { return runJobStep(job); });

    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(PaneTexts::accessiblePaneName());

    m_titleFont = font();
    m_titleFont.setBold(true);

    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    m_scrollBar->setSingleStep(kLineStep);
    m_scrollBar->setFocusPolicy(Qt::NoFocus); // the pane takes the keys
    m_scrollBar->hide();
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &CPanelkitCtrl::onScrollValueChanged);
    connect(m_scrollBar, &QScrollBar::actionTriggered, this, &CPanelkitCtrl::onScrollAction);

    m_hoverTimer.setSingleShot(false);
    connect(&m_hoverTimer, &QTimer::timeout, this, &CPanelkitCtrl::onHoverTimer);
    connect(&m_animationTimer, &QTimer::timeout, this, &CPanelkitCtrl::onAnimationTick);

    createDemoContent();
}

CPanelkitCtrl::~CPanelkitCtrl()
{
    // Queued jobs are dropped without running; they would touch a dying widget.
    m_jobs->clear();
    m_hoverTimer.stop();
    m_animationTimer.stop();
}

QSize CPanelkitCtrl::sizeHint() const
{
    // As wide as the widest title or entry needs on one line, up to a width
    // that leaves the host room; longer entries then break between words.
    const QFontMetrics fm(font());
    const QFontMetrics titleMetrics(m_titleFont);
    int text = 0;
    for (const auto &g : m_groups) {
        int title = titleMetrics.horizontalAdvance(g->name) + 2 + 20;
        if (g->icon >= 0 && m_hasGroupImageList)
            title += m_groupImageSize + 2;
        text = qMax(text, title + m_marginLeft + m_marginRight);
        for (const auto &item : g->entries)
            for (const QString &line : item->text.split(QLatin1Char('\n')))
                text = qMax(text, m_marginLeft + entryTextIndent(item.get()) + fm.horizontalAdvance(line) + 12);
    }
    const int widest = m_marginLeft + m_marginRight + 40 * fm.averageCharWidth();
    // The scroll bar's room is always kept, so showing it never asks for more.
    return QSize(qMin(qMax(text, 120), widest) + m_scrollBar->sizeHint().width(), 360);
}

QSize CPanelkitCtrl::minimumSizeHint() const
{
    return QSize(m_marginLeft + m_marginRight + 8 * QFontMetrics(font()).averageCharWidth(), 0);
}

int CPanelkitCtrl::entryTextIndent(const PaneItem *item) const
{
    // From the work area's left edge to where the painter starts the text.
    int indent = 1 + ((item->icon >= 0 && m_hasTaskImageList) ? m_taskImageSize + 5 : 4);
    if (item->isOption)
        indent += 18;
    return indent;
}

// --- model -----------------------------------------------------------------

void CPanelkitCtrl::createDemoContent()
{
    // A fresh pane shows something; the host's first group replaces it.
    auto addDemoGroup = [this](int number, int id) {
        auto group = std::make_unique<PaneGroup>();
        group->name = PaneTexts::demoGroup(number);
        group->id = id;
        group->expanded = true;
        group->icon = 0;
        m_groups.push_back(std::move(group));
    };
    addDemoGroup(1, 0);
    for (int i = 1; i <= 4; ++i)
        addEntry(0, PaneTexts::demoEntry(i), i, 0);
    addDemoGroup(2, 1);
    for (int i = 5; i <= 6; ++i)
        addEntry(1, PaneTexts::demoEntry(i), i, 0);
    TPSelectTask(2);
    m_hotEntry = itemById(3);
    m_modified = false;
}

void CPanelkitCtrl::takeOverContent()
{
    if (m_contentTakenOver)
        return;
    m_contentTakenOver = true;
    TPDeleteAll();
}

const PaneGroup *CPanelkitCtrl::groupAt(int index) const
{
    return index >= 0 && index < groupCount() ? m_groups[size_t(index)].get() : nullptr;
}

const PaneGroup *CPanelkitCtrl::findGroup(int m_nID) const { return groupById(m_nID); }
const PaneItem *CPanelkitCtrl::findItem(int m_nID) const { return itemById(m_nID); }
const PaneGroup *CPanelkitCtrl::groupOf(const PaneItem *item) const { return groupOfItem(item); }

PaneGroup *CPanelkitCtrl::groupById(int id) const
{
    for (const auto &g : m_groups) {
        if (g->id == id)
            return g.get();
    }
    return nullptr;
}

PaneItem *CPanelkitCtrl::itemById(int id) const
{
    for (const auto &g : m_groups) {
        for (const auto &item : g->entries) {
            if (item->id == id)
                return item.get();
        }
    }
    return nullptr;
}

PaneGroup *CPanelkitCtrl::groupOfItem(const PaneItem *item) const
{
    if (!item)
        return nullptr;
    for (const auto &g : m_groups) {
        for (const auto &e : g->entries) {
            if (e.get() == item)
                return g.get();
        }
    }
    return nullptr;
}

bool CPanelkitCtrl::containsItem(const PaneItem *item) const
{
    return groupOfItem(item) != nullptr;
}

PaneItem *CPanelkitCtrl::addEntry(int groupId, const QString &text, int id, int icon)
{
    if (groupId < 0)
        return nullptr;
    PaneGroup *group = groupById(groupId);
    if (!group)
        return nullptr;
    auto item = std::make_unique<PaneItem>();
    item->text = normalizedText(text);
    item->id = id;
    item->icon = icon < 0 ? -1 : icon;
    item->multiLine = item->text.contains(QLatin1Char('\n'));
    PaneItem *raw = item.get();
    group->entries.push_back(std::move(item));
    markLayoutDirty();
    repaintPane();
    return raw;
}

void CPanelkitCtrl::linkRadioGroup(PaneGroup *group, PaneItem *item, bool first)
{
    item->isOption = true;
    item->checked = false;
    if (first) {
        item->radioHead = item;
        item->optionIndex = 0;
        return;
    }
    // Walk back from the new option over the options before it: the first
    // one that heads its own radio group heads this one too.
    int count = 0;
    for (auto it = group->entries.rbegin(); it != group->entries.rend(); ++it) {
        PaneItem *e = it->get();
        if (!e->isOption)
            break;
        if (e->radioHead == e) {
            item->radioHead = e;
            item->optionIndex = count;
            return;
        }
        ++count;
    }
    item->radioHead = nullptr;
    item->optionIndex = -1;
}

std::vector<PaneItem *> CPanelkitCtrl::radioGroupOf(const PaneGroup *group, const PaneItem *item) const
{
    std::vector<PaneItem *> members;
    if (!group || !item || !item->radioHead)
        return members;
    auto it = std::find_if(group->entries.begin(), group->entries.end(),
                           [&](const auto &e) { return e.get() == item->radioHead; });
    // Consecutive options from the head on; the next head starts a radio
    // group of its own, so two adjacent radio groups stay independent.
    for (; it != group->entries.end(); ++it) {
        PaneItem *e = it->get();
        if (!e->isOption || (e->radioHead == e && e != item->radioHead))
            break;
        members.push_back(e);
    }
    return members;
}

void CPanelkitCtrl::uncheckRadioGroup(PaneGroup *group, PaneItem *item)
{
    for (PaneItem *e : radioGroupOf(group, item))
        e->checked = false;
}

void CPanelkitCtrl::forgetItem(const PaneItem *item)
{
    emit aboutToRemove(item);
    if (m_selectedTask == item) {
        m_selectedTask = nullptr;
        m_selectedGroup = nullptr;
    }
    if (m_hotEntry == item)
        m_hotEntry = nullptr;
    if (m_focusItem == item)
        m_focusItem = nullptr;
    m_jobs->forgetItem(item);
}

void CPanelkitCtrl::forgetGroup(const PaneGroup *group)
{
    for (const auto &item : group->entries) {
        forgetItem(item.get());
        // Options of other groups never point into this one, but an option
        // whose head goes away must not keep the pointer.
    }
    emit aboutToRemove(group);
    if (m_selectedGroup == group) {
        m_selectedGroup = nullptr;
        m_selectedTask = nullptr;
    }
    if (m_focusGroup == group) {
        m_focusGroup = nullptr;
        m_focusItem = nullptr;
    }
}

// --- methods of the control interface ---------------------------------------

int CPanelkitCtrl::TPAddGroup(const QString &m_szGroupName, int m_nID, bool m_bExpand, int m_nIconPos, int m_nColorref)
{
    takeOverContent();
    auto group = std::make_unique<PaneGroup>();
    group->name = normalizedText(m_szGroupName);
    group->id = m_nID;
    group->expanded = m_bExpand;
    group->icon = m_nIconPos < 0 ? -1 : m_nIconPos;
    group->color = m_nColorref;
    m_groups.push_back(std::move(group));
    markLayoutDirty();
    repaintPane();
    return m_nID;
}

int CPanelkitCtrl::TPAddTask(int m_nGroupID, const QString &m_szTaskName, int m_nID, int m_nIconPos)
{
    return addEntry(m_nGroupID, m_szTaskName, m_nID, m_nIconPos) ? 1 : -1;
}

void CPanelkitCtrl::TPSelectTask(int m_nID)
{
    PaneItem *item = itemById(m_nID);
    if (!item)
        return;
    PaneGroup *group = groupOfItem(item);
    m_selectedTask = item;
    m_selectedGroup = group;
    m_focusItem = item;
    m_focusGroup = group;
    notifyAccessibleState(item);
    notifyAccessibleFocus();
    PaneJob job;
    job.kind = PaneJob::RevealSelected;
    job.id = m_nID;
    job.item = item;
    const int groupId = group->id;
    // The job is handed over before the signal, whose receivers may delete
    // the entry (the queue then falls back to the id).
    if (m_contentTakenOver)
        m_jobs->enqueue(job);
    else
        runJobNow(job);
    if (!m_redrawSuspended)
        emit FireSelectItem(m_nID, groupId);
}

int CPanelkitCtrl::TPGetCurSel() const
{
    return m_selectedTask ? m_selectedTask->id : -1;
}

void CPanelkitCtrl::TPDeleteAll()
{
    if (m_animation)
        finishAnimation();
    for (const auto &g : m_groups)
        forgetGroup(g.get());
    m_groups.clear();
    m_selectedTask = nullptr;
    m_selectedGroup = nullptr;
    m_hotEntry = nullptr;
    m_focusItem = nullptr;
    m_focusGroup = nullptr;
    markLayoutDirty();
    repaintPane();
}

void CPanelkitCtrl::TPEnsureVisible(int m_nID)
{
    PaneJob job;
    job.kind = PaneJob::ScrollIntoView;
    job.id = m_nID;
    job.item = itemById(m_nID);
    m_jobs->enqueue(job);
}

void CPanelkitCtrl::TPEnableTask(int m_nID, bool m_bEnable)
{
    PaneItem *item = itemById(m_nID);
    if (!item)
        return;
    item->disabled = !m_bEnable;
    if (item->disabled && m_hotEntry == item)
        m_hotEntry = nullptr;
    if (item->disabled && m_focusItem == item) {
        m_focusItem = nullptr;
        m_focusGroup = groupOfItem(item);
    }
    notifyAccessibleState(item);
    repaintPane();
}

void CPanelkitCtrl::TPSetColor(int m_Typ, OLE_COLOR crColor)
{
    const bool changed = m_colors.at(m_Typ) != (crColor & 0x00FFFFFF) || m_xpColorTyp != -1;
    m_colors.set(m_Typ, crColor);
    m_xpColorTyp = -1;
    if (changed)
        emit colorsChanged();
}

void CPanelkitCtrl::TPEnableAnimation(bool m_bEnable)
{
    m_animationEnabled = m_bEnable;
}

void CPanelkitCtrl::TPSetRedraw(bool m_bEnable)
{
    setUpdatesEnabled(m_bEnable);
    m_redrawSuspended = !m_bEnable;
    if (m_bEnable) {
        if (m_animation)
            finishAnimation();
        repaintPane();
    }
}

int CPanelkitCtrl::TPAddOption(int nGroupID, const QString &m_szTaskName, int m_nID, int m_nIconPos, bool m_bFirst)
{
    PaneItem *item = addEntry(nGroupID, m_szTaskName, m_nID, m_nIconPos);
    if (!item)
        return -1;
    // The new option is already the last entry; the backward walk starts there.
    linkRadioGroup(groupById(nGroupID), item, m_bFirst);
    return 1;
}

void CPanelkitCtrl::TPSetOption(int m_nID, bool m_bChecked)
{
    PaneItem *item = itemById(m_nID);
    if (!item || !item->isOption)
        return;
    PaneGroup *group = groupOfItem(item);
    uncheckRadioGroup(group, item);
    item->checked = m_bChecked;
    notifyAccessibleState(item);
    repaintPane();
    emit FireOptionSelectItem(m_nID, group->id, item->optionIndex);
}

int CPanelkitCtrl::TPGetOption(int m_nID) const
{
    const PaneItem *item = itemById(m_nID);
    if (!item || !item->isOption || !item->radioHead)
        return -1;
    const std::vector<PaneItem *> members = radioGroupOf(groupOfItem(item), item);
    for (size_t i = 0; i < members.size(); ++i) {
        if (members[i]->checked)
            return int(i);
    }
    return -1;
}

void CPanelkitCtrl::TPExpandGroup(int m_nID, bool m_bExpand)
{
    PaneGroup *group = groupById(m_nID);
    if (!group)
        return;
    expandGroup(group, m_bExpand, true);
    repaintPane();
}

bool CPanelkitCtrl::TPDeleteGroup(int m_nID, bool m_bDelay)
{
    if (m_bDelay && isVisible() && !m_animation)
        repaint();
    if (m_nID < 0)
        return false;
    auto it = std::find_if(m_groups.begin(), m_groups.end(), [&](const auto &g) { return g->id == m_nID; });
    if (it == m_groups.end())
        return false;
    if (m_animation)
        finishAnimation();
    forgetGroup(it->get());
    m_groups.erase(it);
    markLayoutDirty();
    repaintPane();
    return true;
}

bool CPanelkitCtrl::TPDeleteTask(int m_nID, bool m_bDelay)
{
    if (m_bDelay && isVisible() && !m_animation)
        repaint();
    PaneItem *item = itemById(m_nID);
    if (!item)
        return false;
    if (m_animation)
        finishAnimation();
    PaneGroup *group = groupOfItem(item);
    forgetItem(item);
    // Options that this one headed lose their head rather than pointing
    // at freed memory; so do options it counted towards.
    for (const auto &e : group->entries) {
        if (e->radioHead == item) {
            e->radioHead = nullptr;
            e->optionIndex = -1;
        }
    }
    auto &entries = group->entries;
    entries.erase(std::find_if(entries.begin(), entries.end(), [&](const auto &e) { return e.get() == item; }));
    markLayoutDirty();
    repaintPane();
    return true;
}

void CPanelkitCtrl::TPSetTaskImageSize(qint16 m_nSize)
{
    m_taskImageSize = qMax<int>(0, m_nSize);
    markLayoutDirty();
}

void CPanelkitCtrl::TPSetGroupImageSize(qint16 m_nSize)
{
    m_groupImageSize = qMax<int>(0, m_nSize);
    markLayoutDirty();
}

void CPanelkitCtrl::TPSetTaskImageMask(OLE_COLOR m_crMask) { m_taskImageMask = m_crMask; }
void CPanelkitCtrl::TPSetGroupImageMask(OLE_COLOR m_crMask) { m_groupImageMask = m_crMask; }

void CPanelkitCtrl::installImageList(bool groupList, const PaneImageList &list)
{
    if (groupList) {
        m_groupImages = list;
        m_groupImagesGrey = list.greyed();
        m_hasGroupImageList = true;
    } else {
        m_taskImages = list;
        m_taskImagesGrey = list.greyed();
        m_hasTaskImageList = true;
    }
    markLayoutDirty();
    repaintPane();
}

void CPanelkitCtrl::TPSetTaskImageList(const QPixmap &m_Picture)
{
    PaneImageList list(m_taskImageSize);
    list.addStrip(m_Picture, m_taskImageMask);
    installImageList(false, list);
}

void CPanelkitCtrl::TPSetGroupImageList(const QPixmap &m_Picture)
{
    PaneImageList list(m_groupImageSize);
    list.addStrip(m_Picture, m_groupImageMask);
    installImageList(true, list);
}

int CPanelkitCtrl::addPicture(bool groupList, const QPixmap &pixmap, const QIcon &icon)
{
    if (pixmap.isNull() && icon.isNull())
        return -1;
    bool &has = groupList ? m_hasGroupImageList : m_hasTaskImageList;
    PaneImageList &list = groupList ? m_groupImages : m_taskImages;
    PaneImageList &grey = groupList ? m_groupImagesGrey : m_taskImagesGrey;
    if (!has)
        installImageList(groupList, PaneImageList(groupList ? m_groupImageSize : m_taskImageSize));
    const int index = icon.isNull() ? list.addBitmap(pixmap, groupList ? m_groupImageMask : m_taskImageMask)
                                    : list.addIcon(icon);
    // The greyed copy grows with the list, so a disabled pane never shows
    // a picture that was added after the list was installed in colour.
    if (index >= 0)
        grey = list.greyed();
    markLayoutDirty();
    return index;
}

int CPanelkitCtrl::TPAddGroupPic(const QString &m_szGroupName, int m_nID, bool m_bExpand, const QPixmap &m_Picture, int m_nColorref)
{
    const int result = TPAddGroup(m_szGroupName, m_nID, m_bExpand, -1, m_nColorref);
    m_groups.back()->icon = addPicture(true, m_Picture, QIcon());
    return result;
}

int CPanelkitCtrl::TPAddGroupPic(const QString &m_szGroupName, int m_nID, bool m_bExpand, const QIcon &m_Picture, int m_nColorref)
{
    const int result = TPAddGroup(m_szGroupName, m_nID, m_bExpand, -1, m_nColorref);
    m_groups.back()->icon = addPicture(true, QPixmap(), m_Picture);
    return result;
}

int CPanelkitCtrl::TPAddTaskPic(int m_nGroupID, const QString &m_szTaskName, int m_nID, const QPixmap &m_Picture)
{
    PaneItem *item = addEntry(m_nGroupID, m_szTaskName, m_nID, -1);
    if (!item)
        return -1;
    item->icon = addPicture(false, m_Picture, QIcon());
    return 1;
}

int CPanelkitCtrl::TPAddTaskPic(int m_nGroupID, const QString &m_szTaskName, int m_nID, const QIcon &m_Picture)
{
    PaneItem *item = addEntry(m_nGroupID, m_szTaskName, m_nID, -1);
    if (!item)
        return -1;
    item->icon = addPicture(false, QPixmap(), m_Picture);
    return 1;
}

int CPanelkitCtrl::TPAddOptionPic(int m_nGroupID, const QString &m_szTaskName, int m_nID, const QPixmap &m_Picture, bool m_bFirst)
{
    PaneItem *item = addEntry(m_nGroupID, m_szTaskName, m_nID, -1);
    if (!item)
        return -1;
    item->icon = addPicture(false, m_Picture, QIcon());
    linkRadioGroup(groupById(m_nGroupID), item, m_bFirst);
    return 1;
}

int CPanelkitCtrl::TPAddOptionPic(int m_nGroupID, const QString &m_szTaskName, int m_nID, const QIcon &m_Picture, bool m_bFirst)
{
    PaneItem *item = addEntry(m_nGroupID, m_szTaskName, m_nID, -1);
    if (!item)
        return -1;
    item->icon = addPicture(false, QPixmap(), m_Picture);
    linkRadioGroup(groupById(m_nGroupID), item, m_bFirst);
    return 1;
}

void CPanelkitCtrl::TPSetFirstGroupStartPosition(int m_TopSpace)
{
    setFirstGroupStartPosition(m_TopSpace);
}

void CPanelkitCtrl::TPEnableWindow(bool m_bEnable)
{
    setEnabled(m_bEnable);
}

void CPanelkitCtrl::AboutBox()
{
    QMessageBox box(QMessageBox::Information, PaneTexts::aboutCaption(), PaneTexts::aboutText(),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("panelkitAboutBox"));
    box.exec();
}

// --- properties ---------------------------------------------------------------

OLE_COLOR CPanelkitCtrl::highlightColor() const
{
    return PaneColors::fromQColor(palette().color(QPalette::Active, QPalette::Highlight));
}

void CPanelkitCtrl::setColorProperty(int code, OLE_COLOR value)
{
    const bool changed = m_colors.at(code) != (value & 0x00FFFFFF) || m_xpColorTyp != -1;
    m_colors.set(code, value);
    m_xpColorTyp = -1;
    m_modified = true;
    repaintPane();
    if (changed)
        emit colorsChanged();
}

void CPanelkitCtrl::setXPColorTyp(int value)
{
    const PaneColors before = m_colors;
    const int typBefore = m_xpColorTyp;
    m_colors.applyScheme(value, highlightColor());
    m_xpColorTyp = value;
    m_modified = true;
    repaintPane();
    if (!(before == m_colors) || typBefore != value)
        emit colorsChanged();
}

void CPanelkitCtrl::setTpSetXPColor(int value)
{
    setXPColorTyp(value);
}

void CPanelkitCtrl::setFirstGroupStartPosition(int value)
{
    m_modified = true;
    markLayoutDirty();
    repaintPane();
    if (m_firstGroupStartPosition == value)
        return;
    m_firstGroupStartPosition = value;
    emit firstGroupStartPositionChanged(value);
}

// --- layout -------------------------------------------------------------------

bool CPanelkitCtrl::isScrollBarShown() const
{
    return !m_scrollBar->isHidden();
}

int CPanelkitCtrl::scrollPosition() const
{
    return isScrollBarShown() ? m_scrollBar->value() : 0;
}

int CPanelkitCtrl::contentHeight() const
{
    const_cast<CPanelkitCtrl *>(this)->ensureLayout();
    return m_contentHeight;
}

int CPanelkitCtrl::rowHeight() const
{
    const_cast<CPanelkitCtrl *>(this)->ensureLayout();
    return m_rowHeight;
}

QRect CPanelkitCtrl::clientRect() const
{
    QRect r = rect();
    if (isScrollBarShown())
        r.setWidth(qMax(0, r.width() - m_scrollBar->sizeHint().width()));
    return r;
}

int CPanelkitCtrl::workLeft() const
{
    return clientRect().left() + m_marginLeft;
}

int CPanelkitCtrl::workRight() const
{
    return clientRect().left() + clientRect().width() - m_marginRight;
}

void CPanelkitCtrl::ensureLayout()
{
    if (m_layoutDirty)
        layoutPass();
}

void CPanelkitCtrl::layoutPass()
{
    ++m_layoutDepth;
    const QFontMetrics fm(font());
    m_textHeight = qMax(20, fm.boundingRect(QRect(0, 0, 10000, 10000), Qt::TextWordWrap | Qt::TextExpandTabs,
                                            QStringLiteral("Hg")).height() + 1);
    m_rowHeight = qMax(m_textHeight, m_taskImageSize + 6);
    m_titleHeight = qMax(m_textHeight, 24);

    const int left = workLeft();
    const int workWidth = qMax(0, workRight() - left);
    m_contentHeight = 10;
    for (const auto &g : m_groups) {
        g->title = QRect(left, 0, workWidth, m_titleHeight);
        if (m_groupImageSize > 0 && m_titleHeight < m_groupImageSize) {
            // The group image stands out above the title.
            g->title.moveTop(m_groupImageSize - m_titleHeight);
            m_marginBottom = 5;
        }
        int body = 0;
        for (const auto &item : g->entries) {
            // The width the painter gives the text (inside the entry's box).
            const int w = clientRect().width() - 12 - left - entryTextIndent(item.get());
            item->lines = PanePainter::entryLines(item->text, font(), w);
            item->textHeight = int(item->lines.size()) * fm.lineSpacing();
            const int h = qMax(item->textHeight + 4, m_rowHeight);
            item->row = QRect(left, body, qMax(0, workWidth - m_marginRight), h);
            body += h;
        }
        g->bodyHeight = body;
        g->body = QRect(left, g->title.top() + g->title.height(), workWidth, body + 2);
        m_contentHeight += m_marginBottom + g->title.top() + g->title.height() + (g->expanded ? body : 0);
    }
    m_contentHeight += m_firstGroupStartPosition;
    m_needsScrollBar = height() < m_contentHeight;

    if (m_needsScrollBar != isScrollBarShown() && m_layoutDepth < 3) {
        if (m_needsScrollBar) {
            m_scrollBar->show();
        } else {
            m_scrollBar->hide();
            m_scrollBar->setValue(0);
        }
        m_scrollBar->setGeometry(width() - m_scrollBar->sizeHint().width(), 0, m_scrollBar->sizeHint().width(), height());
        layoutPass(); // the width changed
        --m_layoutDepth;
        return;
    }
    updateScrollBar();
    m_layoutDirty = false;
    placeGroups();
    --m_layoutDepth;
}

void CPanelkitCtrl::updateScrollBar()
{
    const QSignalBlocker blocker(m_scrollBar);
    if (isScrollBarShown()) {
        m_scrollBar->setRange(0, qMax(0, m_contentHeight - height()));
        m_scrollBar->setPageStep(qMax(1, height()));
    } else {
        m_scrollBar->setRange(0, 0);
    }
    m_scrollOffset = scrollPosition();
}

void CPanelkitCtrl::placeGroups()
{
    m_scrollOffset = scrollPosition();
    int y = m_firstGroupStartPosition + 4 + (m_groupImageSize == 0 ? 4 : 0) - m_scrollOffset;
    for (const auto &g : m_groups) {
        const int titleTop = y + g->title.top();
        g->titleOffset = titleTop;
        const int titleRight = g->title.left() + g->title.width();
        g->button = QRect(titleRight - 2 - 17, titleTop + (g->title.height() - 16) / 2, 17, 16);
        int ey = titleTop + g->title.height() + 1;
        for (const auto &item : g->entries) {
            // Entries of a collapsed group get the place they would have, so
            // that scrolling one into view knows where to go.
            item->y = ey;
            int textLeft = item->row.left() + 1 + 4;
            if (item->icon >= 0 && m_hasTaskImageList)
                textLeft = item->row.left() + 1 + m_taskImageSize + 5;
            item->check = item->isOption ? QRect(textLeft + 2, ey, 13, item->row.height()) : QRect();
            ey += item->row.height();
        }
        y = (g->expanded ? ey : titleTop + g->title.height()) + m_marginBottom;
    }
}

QRect CPanelkitCtrl::entryBox(const PaneItem *item) const
{
    const int right = clientRect().width() - 10;
    return QRect(QPoint(item->row.left() + 1, item->y + 1), QPoint(right, item->y + item->row.height() - 2));
}

QRect CPanelkitCtrl::itemRect(int m_nID) const
{
    const_cast<CPanelkitCtrl *>(this)->ensureLayout();
    const PaneItem *item = itemById(m_nID);
    return item ? entryBox(item) : QRect();
}

QRect CPanelkitCtrl::checkRect(int m_nID) const
{
    const_cast<CPanelkitCtrl *>(this)->ensureLayout();
    const PaneItem *item = itemById(m_nID);
    return item ? item->check : QRect();
}

QRect CPanelkitCtrl::groupTitleRect(int m_nID) const
{
    const_cast<CPanelkitCtrl *>(this)->ensureLayout();
    const PaneGroup *g = groupById(m_nID);
    return g ? QRect(g->title.left(), g->titleOffset, g->title.width(), g->title.height()) : QRect();
}

QRect CPanelkitCtrl::groupButtonRect(int m_nID) const
{
    const_cast<CPanelkitCtrl *>(this)->ensureLayout();
    const PaneGroup *g = groupById(m_nID);
    return g ? g->button : QRect();
}

int CPanelkitCtrl::pendingJobs() const
{
    return m_jobs->pendingCount();
}

void CPanelkitCtrl::onScrollValueChanged(int value)
{
    m_scrollOffset = value;
    placeGroups();
    repaintPane();
}

void CPanelkitCtrl::onScrollAction(int action)
{
    // A page is a little more than a menu line, as the pane always scrolled;
    // the slider itself still shows the window's share of the content.
    if (action != QAbstractSlider::SliderPageStepAdd && action != QAbstractSlider::SliderPageStepSub)
        return;
    const int page = (fontMetrics().height() + 6) * 9 / 8;
    const int delta = action == QAbstractSlider::SliderPageStepAdd ? page : -page;
    m_scrollBar->setSliderPosition(qBound(m_scrollBar->minimum(), m_scrollBar->value() + delta, m_scrollBar->maximum()));
}

// --- painting -----------------------------------------------------------------

void CPanelkitCtrl::repaintPane()
{
    if (!m_animation)
        update();
}

void CPanelkitCtrl::redrawEntry(const PaneItem *item)
{
    if (!item || !containsItem(item)) {
        repaintPane();
        return;
    }
    ensureLayout();
    if (!m_animation)
        update(entryBox(item).adjusted(-1, -1, 1, 1) & clientRect());
}

QImage CPanelkitCtrl::renderPane()
{
    ensureLayout();
    const QRect client = clientRect();
    QImage image(client.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    PanePainter::Options options;
    options.clip = QRect(QPoint(0, 0), image.size());
    options.everything = true;
    options.hideSelection = m_hideSelection;
    PanePainter painter(*this, image, options);
    painter.paint();
    m_lastPaintedEntries = painter.paintedEntries();
    return image;
}

void CPanelkitCtrl::paintEvent(QPaintEvent *event)
{
    if (m_redrawSuspended)
        return;
    // Showing itself means a host has taken the pane as it stands.
    m_contentTakenOver = true;
    const bool scrollBarBefore = isScrollBarShown();
    ensureLayout();
    QPainter widgetPainter(this);
    if (m_animation) {
        paintAnimationFrame(widgetPainter);
        return;
    }
    const QRect client = clientRect();
    const qreal dpr = devicePixelRatioF();
    const QSize pixels = (QSizeF(client.size()) * dpr).toSize().expandedTo(QSize(1, 1));
    const bool fresh = m_buffer.size() != pixels;
    if (fresh) {
        m_buffer = QImage(pixels, QImage::Format_RGB32);
        m_buffer.setDevicePixelRatio(dpr);
    }
    // Each rectangle of the dirty region is painted on its own, so two
    // far-apart rows (old and new hover) do not drag in what lies between.
    const bool full = fresh || m_repaintEverything;
    const QRegion region = full ? QRegion(client) : (event->region() & client);
    m_lastPaintedEntries = 0;
    for (const QRect &r : region) {
        PanePainter::Options options;
        options.clip = r;
        options.everything = false;
        options.hideSelection = m_hideSelection;
        PanePainter painter(*this, m_buffer, options);
        painter.paint();
        m_lastPaintedEntries += painter.paintedEntries();
        widgetPainter.drawImage(r, m_buffer, QRectF(QPointF(r.topLeft()) * dpr, QSizeF(r.size()) * dpr));
    }
    m_repaintEverything = false;
    if (scrollBarBefore != isScrollBarShown())
        QMetaObject::invokeMethod(this, [this] { update(); }, Qt::QueuedConnection);
}

void CPanelkitCtrl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = m_scrollBar->sizeHint().width();
    m_scrollBar->setGeometry(width() - w, 0, w, height());
    m_layoutDirty = true;
    // The scroll bar must be settled before the first paint, or a one-shot
    // render (grab) would miss it.
    if (isVisible())
        ensureLayout();
    repaintPane();
}

void CPanelkitCtrl::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    ensureLayout();
}

void CPanelkitCtrl::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        notifyAccessibleState(nullptr);
        repaintPane();
        break;
    case QEvent::FontChange:
        m_titleFont = font();
        m_titleFont.setBold(true);
        markLayoutDirty();
        repaintPane();
        break;
    case QEvent::PaletteChange:
        repaintPane();
        break;
    default:
        break;
    }
}

// --- mouse ----------------------------------------------------------------------

CPanelkitCtrl::Hit CPanelkitCtrl::hitTest(const QPoint &pos)
{
    ensureLayout();
    m_pointerOverEntry = false;
    Hit hit;
    if (!clientRect().contains(pos))
        return hit;
    for (const auto &g : m_groups) {
        const QRect title(g->title.left(), g->titleOffset, g->title.width(), g->title.height());
        if (title.contains(pos)) {
            m_pointerOverEntry = true;
            hit.group = g.get();
            return hit;
        }
        if (!g->expanded)
            continue;
        for (const auto &item : g->entries) {
            if (item->disabled)
                continue; // disabled entries are transparent to the mouse
            if (entryBox(item.get()).adjusted(-1, -1, 1, 1).contains(pos)) {
                m_pointerOverEntry = true;
                hit.group = g.get();
                hit.item = item.get();
                return hit;
            }
        }
    }
    return hit;
}

void CPanelkitCtrl::updateCursor()
{
    if (m_pointerOverEntry) {
        if (cursor().shape() != Qt::PointingHandCursor || !testAttribute(Qt::WA_SetCursor))
            setCursor(Qt::PointingHandCursor);
    } else if (testAttribute(Qt::WA_SetCursor)) {
        unsetCursor();
    }
}

void CPanelkitCtrl::mouseMoveEvent(QMouseEvent *event)
{
    m_lastMousePos = event->position().toPoint();
    if (m_animation)
        return;
    const Hit hit = hitTest(m_lastMousePos);
    updateCursor();
    if (!hit.item)
        return;
    m_hoverTimer.stop();
    if (m_hotEntry != hit.item) {
        PaneItem *old = m_hotEntry;
        m_hotEntry = hit.item;
        if (old)
            redrawEntry(old);
        redrawEntry(hit.item);
    }
    m_hoverTimer.start(kHoverMs);
}

void CPanelkitCtrl::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_lastMousePos = QPoint(-1, -1);
    m_pointerOverEntry = false;
    updateCursor();
}

void CPanelkitCtrl::onHoverTimer()
{
    if (m_animation)
        return;
    const Hit hit = hitTest(m_lastMousePos);
    updateCursor();
    if (hit.item)
        return;
    PaneItem *old = m_hotEntry;
    m_hotEntry = nullptr;
    if (old)
        redrawEntry(old);
    else
        repaintPane();
    m_hoverTimer.stop();
}

void CPanelkitCtrl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    const Hit hit = hitTest(pos);
    if (!hit.group)
        return;
    if (!hit.item) {
        if (hit.group->button.contains(pos)) {
            m_focusGroup = hit.group;
            m_focusItem = nullptr;
            expandGroup(hit.group, !hit.group->expanded, true);
            repaintPane();
        }
        return;
    }
    if (m_redrawSuspended)
        return;
    clickEntry(hit.item, hit.group, hit.item->isOption && hit.item->check.contains(pos));
}

void CPanelkitCtrl::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const Hit hit = hitTest(event->position().toPoint());
    if (hit.group && !hit.item) {
        expandGroup(hit.group, !hit.group->expanded, true);
        repaintPane();
        return;
    }
    // The press before this double click has already acted on the entry;
    // the double click itself is taken so that it reaches no parent.
}

void CPanelkitCtrl::clickEntry(PaneItem *item, PaneGroup *group, bool onRadioButton)
{
    PaneGroup *previousGroup = m_selectedGroup;
    PaneItem *previousTask = m_selectedTask;
    m_selectedTask = item;
    m_selectedGroup = group;
    m_focusItem = item;
    m_focusGroup = group;

    // Repaint requests first: the signal's receivers may change the pane.
    if (group == previousGroup) {
        if (previousTask && previousTask != item)
            redrawEntry(previousTask);
        redrawEntry(item);
    } else {
        repaintPane();
    }
    const int id = item->id;
    const int groupId = group->id;
    if (previousTask != item)
        notifyAccessibleState(previousTask);
    notifyAccessibleState(item);
    notifyAccessibleFocus();
    if (onRadioButton) {
        uncheckRadioGroup(group, item);
        item->checked = !item->checked;
        notifyAccessibleState(item);
        emit FireOptionSelectItem(id, groupId, item->optionIndex);
    } else {
        emit FireSelectItem(id, groupId);
    }
}

void CPanelkitCtrl::activateItem(const PaneItem *item, bool onRadioButton)
{
    if (m_redrawSuspended || !item || item->disabled || !isEnabled())
        return;
    PaneGroup *group = groupOfItem(item);
    if (!group)
        return;
    clickEntry(const_cast<PaneItem *>(item), group, onRadioButton && item->isOption);
}

void CPanelkitCtrl::toggleGroup(const PaneGroup *group)
{
    for (const auto &g : m_groups) {
        if (g.get() == group) {
            expandGroup(g.get(), !g->expanded, true);
            repaintPane();
            return;
        }
    }
}

void CPanelkitCtrl::wheelEvent(QWheelEvent *event)
{
    if (isScrollBarShown()) {
        QCoreApplication::sendEvent(m_scrollBar, event);
        return;
    }
    event->ignore();
}

// --- expand and collapse --------------------------------------------------------

void CPanelkitCtrl::expandGroup(PaneGroup *group, bool expand, bool animate)
{
    if (m_animation)
        finishAnimation();
    if (group->expanded == expand) {
        markLayoutDirty();
        return;
    }
    if (!expand) {
        if (m_hotEntry && groupOfItem(m_hotEntry) == group)
            m_hotEntry = nullptr;
        if (m_focusItem && groupOfItem(m_focusItem) == group) {
            m_focusItem = nullptr;
            m_focusGroup = group;
        }
    }
    const bool canAnimate = animate && m_animationEnabled && !m_redrawSuspended && isVisible()
                            && width() > 0 && height() > 0;
    if (canAnimate) {
        startAnimation(group, expand);
    } else {
        group->expanded = expand;
        markLayoutDirty();
        repaintPane();
    }
    notifyAccessibleState(group);
}

void CPanelkitCtrl::startAnimation(PaneGroup *group, bool expand)
{
    m_hotEntry = nullptr;
    m_hideSelection = group == m_selectedGroup;
    m_repaintEverything = true;
    if (expand) {
        group->expanded = true;
        markLayoutDirty();
    }
    ensureLayout();
    const int bodyTop = group->titleOffset + group->title.height();
    const int bodyHeight = group->bodyHeight + 2;
    const QRect client = clientRect();
    if (bodyTop >= client.height() || bodyTop + bodyHeight <= 0 || client.isEmpty()
        || bodyHeight > 4 * qMax(client.height(), 1024)) {
        // Nothing of the body would move on screen, or the body is so tall
        // that its picture would cost more than the animation is worth.
        group->expanded = expand;
        m_hideSelection = false;
        markLayoutDirty();
        update();
        return;
    }
    Animation anim;
    anim.bodyTop = bodyTop;
    anim.bodyHeight = bodyHeight;
    anim.step = qMax(1, bodyHeight / 20);
    anim.expanding = expand;
    anim.expandedImage = QImage(client.width(), client.height() + bodyHeight, QImage::Format_RGB32);
    PanePainter::Options options;
    options.clip = anim.expandedImage.rect();
    options.everything = true;
    options.hideSelection = m_hideSelection;
    PanePainter painter(*this, anim.expandedImage, options);
    painter.paint();
    anim.shown = expand ? 1 : bodyHeight;
    if (!expand) {
        group->expanded = false;
        markLayoutDirty();
    }
    m_animation = std::move(anim);
    m_animationTimer.start(kAnimationFrameMs);
    update();
}

void CPanelkitCtrl::onAnimationTick()
{
    if (!m_animation) {
        m_animationTimer.stop();
        return;
    }
    Animation &a = *m_animation;
    if (a.expanding) {
        if (a.shown + a.step >= a.bodyHeight) {
            finishAnimation();
            return;
        }
        a.shown += a.step;
    } else {
        if (a.shown - a.step <= 0) {
            finishAnimation();
            return;
        }
        a.shown -= a.step;
    }
    update();
}

void CPanelkitCtrl::paintAnimationFrame(QPainter &painter)
{
    const Animation &a = *m_animation;
    const QRect client = clientRect();
    const int w = client.width();
    const int top = qMax(0, a.bodyTop);
    painter.drawImage(QRect(0, 0, w, top), a.expandedImage, QRect(0, 0, w, top));
    painter.drawImage(QRect(0, a.bodyTop, w, a.shown), a.expandedImage, QRect(0, a.bodyTop, w, a.bodyHeight));
    const int belowTop = a.bodyTop + a.shown;
    const int belowHeight = client.height() - belowTop;
    if (belowHeight > 0)
        painter.drawImage(QRect(0, belowTop, w, belowHeight), a.expandedImage,
                          QRect(0, a.bodyTop + a.bodyHeight, w, belowHeight));
}

void CPanelkitCtrl::finishAnimation()
{
    m_animationTimer.stop();
    m_animation.reset();
    m_hideSelection = false;
    m_repaintEverything = true;
    markLayoutDirty();
    update();
}

// --- jobs -------------------------------------------------------------------------

void CPanelkitCtrl::runJobNow(PaneJob job)
{
    // Before a host has taken the pane over nothing animates or scrolls
    // smoothly, so the job finishes without waiting.
    for (int guard = 0; guard < 100000; ++guard) {
        if (m_animation)
            finishAnimation();
        if (runJobStep(job) < 0)
            return;
    }
}

int CPanelkitCtrl::runJobStep(PaneJob &job)
{
    if (job.phase == 0 && job.kind == PaneJob::RevealSelected) {
        PaneItem *item = (job.item && containsItem(job.item)) ? const_cast<PaneItem *>(job.item) : itemById(job.id);
        if (!item || item->disabled)
            return -1;
        job.item = item;
        PaneGroup *group = groupOfItem(item);
        if (!group->expanded) {
            expandGroup(group, true, m_contentTakenOver);
            repaintPane();
        }
        job.phase = 1;
        return m_animation ? kAnimationFrameMs : 0;
    }
    if (job.phase <= 1) {
        if (m_animation)
            return kAnimationFrameMs;
        job.phase = 2;
    }
    return scrollStep(job, m_animationEnabled && m_contentTakenOver);
}

int CPanelkitCtrl::scrollStep(PaneJob &job, bool smoothAllowed)
{
    if (job.phase == 2) {
        PaneItem *item = (job.item && containsItem(job.item)) ? const_cast<PaneItem *>(job.item) : itemById(job.id);
        if (!item)
            return -1;
        job.item = item;
        if (item->disabled || !isVisible()) {
            repaintPane();
            return -1;
        }
        m_repaintEverything = true;
        ensureLayout();
        if (!isScrollBarShown()) {
            repaintPane();
            return -1;
        }
        const int p0 = m_scrollOffset;
        const int t = p0 + item->y;
        const int rh = item->row.height();
        const int winH = height();
        if (p0 <= t && t <= p0 + winH - rh) {
            repaintPane();
            return -1;
        }
        if (!smoothAllowed) {
            m_scrollBar->setValue(t);
            repaintPane();
            return -1;
        }
        job.position = m_scrollBar->value();
        job.rowHeight = rh;
        job.up = job.position > t;
        job.target = job.up ? qMax(t, 5) : t + rh - winH + 10;
        job.phase = 3;
    }

    // One smooth step: two pixels, with longer waits close to the target.
    // Far from it the steps grow with the distance, so that a long way
    // (a tall pane) takes a moment rather than thousands of frames.
    auto stride = [](int distance) { return distance > 80 ? qMax(2, (distance - 80) / 4) : 2; };
    int &p = job.position;
    if (job.up) {
        if (!(p > job.target - job.rowHeight + 2) || p < m_scrollBar->minimum()) {
            repaintPane();
            return -1;
        }
        m_scrollBar->setValue(p);
        const int distance = std::abs(p - job.target + 5);
        p -= stride(distance);
        return scrollDelay(distance);
    }
    if (!(p < job.target) || p > m_scrollBar->maximum()) {
        repaintPane();
        return -1;
    }
    m_scrollBar->setValue(p);
    const int distance = std::abs(p - job.target);
    p += stride(distance);
    return scrollDelay(distance);
}

// --- keyboard -----------------------------------------------------------------------

std::vector<CPanelkitCtrl::FocusStop> CPanelkitCtrl::focusStops() const
{
    std::vector<FocusStop> stops;
    for (const auto &g : m_groups) {
        stops.push_back({g.get(), nullptr});
        if (!g->expanded)
            continue;
        for (const auto &item : g->entries) {
            if (!item->disabled && !item->isSeparator())
                stops.push_back({g.get(), item.get()});
        }
    }
    return stops;
}

void CPanelkitCtrl::setKeyboardFocus(const PaneItem *item, const PaneGroup *group)
{
    const std::vector<FocusStop> stops = focusStops();
    for (const FocusStop &s : stops) {
        if (s.item == item && (s.group == group || (item && !group))) {
            m_focusItem = s.item;
            m_focusGroup = s.group;
            ensureLayout();
            scrollRectIntoView(m_focusItem ? entryBox(m_focusItem) : groupTitleRect(m_focusGroup->id));
            update();
            notifyAccessibleFocus();
            return;
        }
    }
}

void CPanelkitCtrl::moveFocus(int delta)
{
    const std::vector<FocusStop> stops = focusStops();
    if (stops.empty())
        return;
    int current = -1;
    for (size_t i = 0; i < stops.size(); ++i) {
        if (stops[i].item == m_focusItem && stops[i].group == m_focusGroup)
            current = int(i);
    }
    int next;
    if (current < 0)
        next = delta > 0 ? 0 : int(stops.size()) - 1;
    else
        next = qBound(0, current + delta, int(stops.size()) - 1);
    setKeyboardFocus(stops[size_t(next)].item, stops[size_t(next)].group);
}

void CPanelkitCtrl::scrollRectIntoView(const QRect &rect)
{
    if (!isScrollBarShown() || rect.isNull())
        return;
    const int h = height();
    if (rect.top() < 0)
        m_scrollBar->setValue(m_scrollBar->value() + rect.top() - 2);
    else if (rect.bottom() >= h)
        m_scrollBar->setValue(m_scrollBar->value() + rect.bottom() - h + 3);
}

void CPanelkitCtrl::keyPressEvent(QKeyEvent *event)
{
    PaneGroup *group = m_focusGroup;
    switch (event->key()) {
    case Qt::Key_Up:
        moveFocus(-1);
        return;
    case Qt::Key_Down:
        moveFocus(1);
        return;
    case Qt::Key_Home:
        moveFocus(-int(focusStops().size()));
        return;
    case Qt::Key_End:
        moveFocus(int(focusStops().size()));
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (isScrollBarShown())
            m_scrollBar->triggerAction(event->key() == Qt::Key_PageDown ? QAbstractSlider::SliderPageStepAdd
                                                                         : QAbstractSlider::SliderPageStepSub);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_focusItem)
            activateItem(m_focusItem, event->key() == Qt::Key_Space);
        else if (group)
            toggleGroup(group);
        return;
    case Qt::Key_Left:
        if (group) {
            m_focusItem = nullptr;
            if (group->expanded)
                expandGroup(group, false, true);
            update();
            notifyAccessibleFocus();
        }
        return;
    case Qt::Key_Right:
        if (group && !group->expanded) {
            expandGroup(group, true, true);
            update();
        }
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CPanelkitCtrl::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    const std::vector<FocusStop> stops = focusStops();
    const bool valid = std::any_of(stops.begin(), stops.end(), [this](const FocusStop &s) {
        return s.item == m_focusItem && s.group == m_focusGroup;
    });
    if (!valid && !stops.empty()) {
        const auto selected = std::find_if(stops.begin(), stops.end(), [this](const FocusStop &s) {
            return s.item && s.item == m_selectedTask;
        });
        const FocusStop &s = selected != stops.end() ? *selected : stops.front();
        m_focusItem = s.item;
        m_focusGroup = s.group;
    }
    update();
    // Qt tells of the pane's own focus after this handler returns; the
    // focused entry's event has to come after it, or a screen reader stays
    // on the pane.
    QTimer::singleShot(0, this, [this] { notifyAccessibleFocus(); });
}

void CPanelkitCtrl::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void CPanelkitCtrl::notifyAccessibleFocus()
{
    if (hasFocus())
        PaneAccessible::notifyFocus(this, m_focusItem ? static_cast<const void *>(m_focusItem) : m_focusGroup);
}

void CPanelkitCtrl::notifyAccessibleState(const void *record)
{
    PaneAccessible::notifyStateChanged(this, record);
}
