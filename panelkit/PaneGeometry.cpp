#include "PaneGeometry.h"

#include "PaneModel.h"

#include <QFontMetrics>
#include <QTextLayout>

QStringList PaneGeometry::entryLines(const QString &text, const QFont &font, int width)
{
    const QFontMetrics fm(font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    QStringList lines;
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        const qsizetype before = lines.size();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(qMax(1, width));
            QString part = paragraph.mid(line.textStart(), line.textLength());
            while (part.endsWith(QLatin1Char(' ')))
                part.chop(1);
            lines << (fm.horizontalAdvance(part) > width ? fm.elidedText(part, Qt::ElideRight, qMax(0, width)) : part);
        }
        layout.endLayout();
        if (lines.size() == before)
            lines << QString();
    }
    return lines;
}

namespace {

// From the work area's left edge to the right of the entry's picture.
int pictureIndent(const PaneItem &item, int taskImageSize, bool hasTaskImages)
{
    return 1 + ((item.icon >= 0 && hasTaskImages) ? taskImageSize + 5 : 4);
}

} // namespace

int PaneGeometry::entryTextIndent(const PaneItem &item, int taskImageSize, bool hasTaskImages) const
{
    return pictureIndent(item, taskImageSize, hasTaskImages) + (item.isOption ? 18 : 0);
}

void PaneGeometry::measure(const PaneModel &model, const Measures &measures)
{
    m_measures = measures;
    const QFontMetrics fm(measures.font);
    const int textHeight = qMax(20, fm.boundingRect(QRect(0, 0, 10000, 10000), Qt::TextWordWrap | Qt::TextExpandTabs,
                                                    QStringLiteral("Hg")).height() + 1);
    m_rowHeight = qMax(textHeight, measures.taskImageSize + 6);
    m_titleHeight = qMax(textHeight, 24);

    const int left = m_marginLeft;
    const int workWidth = qMax(0, measures.clientWidth - m_marginRight - left);
    m_groups.clear();
    m_groups.reserve(model.groups().size());
    m_index.clear();
    m_contentHeight = 10;
    for (const auto &g : model.groups()) {
        Group group;
        group.group = g.get();
        group.expanded = g->expanded;
        group.title = QRect(left, 0, workWidth, m_titleHeight);
        if (measures.groupImageSize > 0 && m_titleHeight < measures.groupImageSize) {
            // The group image stands out above the title.
            group.overhang = measures.groupImageSize - m_titleHeight;
            m_marginBottom = 5;
        }
        m_index[g.get()] = {int(m_groups.size()), -1};
        int body = 0;
        group.entries.reserve(g->entries.size());
        for (const auto &item : g->entries) {
            Entry entry;
            entry.item = item.get();
            entry.isOption = item->isOption;
            entry.textLeft = pictureIndent(*item, measures.taskImageSize, measures.hasTaskImages);
            // The width the painter gives the text (inside the entry's box).
            const int w = measures.clientWidth - 12 - left
                          - entryTextIndent(*item, measures.taskImageSize, measures.hasTaskImages);
            entry.lines = entryLines(item->text, measures.font, w);
            entry.textHeight = int(entry.lines.size()) * fm.lineSpacing();
            entry.rowHeight = qMax(entry.textHeight + 4, m_rowHeight);
            entry.y = body; // relative to the body until placed
            body += entry.rowHeight;
            m_index[item.get()] = {int(m_groups.size()), int(group.entries.size())};
            group.entries.push_back(std::move(entry));
        }
        group.bodyHeight = body;
        group.body = QRect(left, 0, workWidth, body + 2);
        m_contentHeight += m_marginBottom + group.overhang + m_titleHeight + (g->expanded ? body : 0);
        m_groups.push_back(std::move(group));
    }
    m_contentHeight += measures.firstGroupStartPosition;
}

void PaneGeometry::place(int scrollOffset)
{
    const Measures &m = m_measures;
    const int boxRight = m.clientWidth - 10;
    int y = m.firstGroupStartPosition + 4 + (m.groupImageSize == 0 ? 4 : 0) - scrollOffset;
    for (Group &g : m_groups) {
        const int titleTop = y + g.overhang;
        g.title.moveTop(titleTop);
        const int titleRight = g.title.left() + g.title.width();
        g.button = QRect(titleRight - 2 - 17, titleTop + (g.title.height() - 16) / 2, 17, 16);
        g.body.moveTop(titleTop + g.title.height());
        int ey = titleTop + g.title.height() + 1;
        for (Entry &e : g.entries) {
            // Entries of a collapsed group get the place they would have, so
            // that scrolling one into view knows where to go.
            e.y = ey;
            e.box = QRect(QPoint(g.title.left() + 1, ey + 1), QPoint(boxRight, ey + e.rowHeight - 2));
            e.check = e.isOption ? QRect(g.title.left() + e.textLeft + 2, ey, 13, e.rowHeight) : QRect();
            ey += e.rowHeight;
        }
        y = (g.expanded ? ey : titleTop + g.title.height()) + m_marginBottom;
    }
}

const PaneGeometry::Group *PaneGeometry::groupOf(const PaneGroup *group) const
{
    const auto it = m_index.find(group);
    return it == m_index.end() || it->second.second >= 0 ? nullptr : &m_groups[size_t(it->second.first)];
}

const PaneGeometry::Entry *PaneGeometry::entryOf(const PaneItem *item) const
{
    const auto it = m_index.find(item);
    if (it == m_index.end() || it->second.second < 0)
        return nullptr;
    return &m_groups[size_t(it->second.first)].entries[size_t(it->second.second)];
}

PaneGeometry::Hit PaneGeometry::hitTest(const QPoint &pos) const
{
    Hit hit;
    for (const Group &g : m_groups) {
        if (g.title.contains(pos)) {
            hit.group = g.group;
            return hit;
        }
        if (!g.group->expanded)
            continue;
        for (const Entry &e : g.entries) {
            if (e.item->disabled)
                continue; // disabled entries are transparent to the mouse
            if (e.box.adjusted(-1, -1, 1, 1).contains(pos)) {
                hit.group = g.group;
                hit.item = e.item;
                return hit;
            }
        }
    }
    return hit;
}
