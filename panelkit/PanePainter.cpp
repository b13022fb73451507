#include "PanePainter.h"

#include "CPanelkitCtrl_p.h"

#include <QPainter>
#include <QPainterPath>

#include <optional>

PanePainter::PanePainter(const CPanelkitCtrlPrivate &pane, QImage &target, const Options &options)
    : m_pane(pane), m_ctrl(pane.q), m_target(target), m_options(options)
{
    const QRect all(QPoint(0, 0), target.deviceIndependentSize().toSize());
    m_clip = options.everything ? all : (options.clip & all);
    m_disabled = !m_ctrl.isEnabled();
}

OLE_COLOR PanePainter::grey(OLE_COLOR c) const
{
    return m_disabled ? PaneColors::grey(c) : c;
}

OLE_COLOR PanePainter::colorAt(int code) const
{
    return m_pane.colors.at(code);
}

QColor PanePainter::backgroundAt(int x) const
{
    const OLE_COLOR start = grey(colorAt(PaneColors::CtrlBkColorStart));
    const OLE_COLOR end = grey(colorAt(PaneColors::CtrlBkColorEnd));
    if (start == end)
        return PaneColors::toQColor(start);
    const int width = qMax(1, m_pane.geometry.clientWidth());
    auto mix = [&](int shift) {
        const int a = int((start >> shift) & 0xFF), b = int((end >> shift) & 0xFF);
        return qBound(0, a + (b - a) * x / width, 255);
    };
    return QColor(mix(0), mix(8), mix(16));
}

void PanePainter::paint()
{
    QPainter p(&m_target);
    if (!m_options.everything)
        p.setClipRect(m_clip);
    p.setFont(m_ctrl.font());
    paintBackground(p);
    for (const PaneGeometry::Group &group : m_pane.geometry.groups()) {
        const int top = group.top();
        const int bottom = group.title.top() + group.title.height() + 1
                           + (group.group->expanded ? group.bodyHeight + 2 : 0);
        if (!m_options.everything && (bottom < m_clip.top() || top > m_clip.bottom()))
            continue;
        paintGroup(p, group);
    }
}

void PanePainter::paintBackground(QPainter &p)
{
    const OLE_COLOR start = grey(colorAt(PaneColors::CtrlBkColorStart));
    const OLE_COLOR end = grey(colorAt(PaneColors::CtrlBkColorEnd));
    if (start == end) {
        p.fillRect(m_clip, PaneColors::toQColor(start));
        return;
    }
    // Strips two pixels wide from the start colour at the left edge to the
    // end colour at the right edge; only those crossing the clip are drawn.
    const int width = m_pane.geometry.clientWidth();
    const int first = qMax(0, m_clip.left()) & ~1;
    const int limit = qMax(width, m_clip.right() + 1);
    for (int x = first; x <= m_clip.right() && x < limit; x += 2)
        p.fillRect(QRect(x, m_clip.top(), 2, m_clip.height()), backgroundAt(x));
}

void PanePainter::paintGroup(QPainter &p, const PaneGeometry::Group &group)
{
    const bool active = !m_options.hideSelection && group.group == m_pane.model.selectedGroup;
    if (visible(group.title))
        paintTitle(p, group, active);

    if (group.group->expanded) {
        const QRect &body = group.body;
        if (visible(body)) {
            const OLE_COLOR bk = group.group->color == -1 ? colorAt(PaneColors::GrpBkColor)
                                                          : OLE_COLOR(group.group->color) & 0x00FFFFFF;
            p.fillRect(body, color(bk));
            p.setPen(color(colorAt(PaneColors::GrpBorderColor)));
            p.setBrush(Qt::NoBrush);
            p.drawRect(body.adjusted(0, 0, -1, -1));
            for (const PaneGeometry::Entry &entry : group.entries)
                paintItem(p, entry);
        }
    }
}

void PanePainter::paintTitle(QPainter &p, const PaneGeometry::Group &group, bool active)
{
    const QRect &title = group.title;
    if (active) {
        p.fillRect(title, color(colorAt(PaneColors::GrpTitleBkActiveColor)));
    } else {
        const OLE_COLOR end = grey(colorAt(PaneColors::GrpTitleBkColor));
        const OLE_COLOR start = grey(PaneColors::lighten(colorAt(PaneColors::GrpTitleBkColor), 0.75));
        const int w = qMax(1, title.width() - 2);
        for (int x = 0; x < w; x += 2) {
            auto mix = [&](int shift) {
                const int a = int((start >> shift) & 0xFF), b = int((end >> shift) & 0xFF);
                return a + (b - a) * x / w;
            };
            p.fillRect(QRect(title.left() + x, title.top(), 2, title.height()),
                       QColor(mix(0), mix(8), mix(16)));
        }
        p.fillRect(QRect(title.right() - 1, title.top(), 2, title.height()), PaneColors::toQColor(end));
    }

    // Rounded top corners: the background shows through three pixels at
    // each end, two in the outermost column and one beside it.
    const int l = title.left(), r = title.right(), t = title.top();
    p.fillRect(QRect(l, t, 1, 2), backgroundAt(l));
    p.fillRect(QRect(l + 1, t, 1, 1), backgroundAt(l + 1));
    p.fillRect(QRect(r, t, 1, 2), backgroundAt(r));
    p.fillRect(QRect(r - 1, t, 1, 1), backgroundAt(r - 1));

    paintButton(p, group, active);

    const bool hasIcon = group.group->icon >= 0 && m_pane.hasGroupImageList;
    if (hasIcon) {
        const PaneImageList &list = m_disabled ? m_pane.groupImagesGrey : m_pane.groupImages;
        list.draw(p, group.group->icon, QPoint(title.left(), group.top()));
    }

    QRect textRect = title.adjusted(2, 0, -20, 0);
    if (hasIcon)
        textRect.setLeft(textRect.left() + m_pane.groupImageSize + 2);
    const OLE_COLOR text = active ? colorAt(PaneColors::GrpTitleActiveTextColor) : colorAt(PaneColors::GrpTitleTextColor);
    p.setPen(color(text));
    p.setFont(m_pane.titleFont);
    const QString elided = QFontMetrics(m_pane.titleFont).elidedText(group.group->name, Qt::ElideRight, qMax(0, textRect.width()));
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
    p.setFont(m_ctrl.font());

    if (m_ctrl.hasFocus() && m_pane.model.focusGroup == group.group && !m_pane.model.focusItem) {
        QPen pen(color(text), 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(textRect.adjusted(-1, 3, 0, -4));
    }
}

void PanePainter::paintButton(QPainter &p, const PaneGeometry::Group &group, bool active)
{
    const QRect b = group.button;
    const OLE_COLOR bk = colorAt(active ? PaneColors::ButtonBkActive : PaneColors::ButtonBkNormal);
    const OLE_COLOR b1 = colorAt(active ? PaneColors::ButtonBorder1Active : PaneColors::ButtonBorder1Normal);
    const OLE_COLOR b2 = colorAt(active ? PaneColors::ButtonBorder2Active : PaneColors::ButtonBorder2Normal);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = QRectF(b).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(color(b1), 2.0));
    p.setBrush(color(bk));
    p.drawEllipse(outer.adjusted(0.5, 0.5, -0.5, -0.5));
    p.setPen(QPen(color(b2), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(outer.adjusted(1.5, 1.5, -1.5, -1.5));
    p.restore();

    // Double chevron: pointing down on a collapsed group (it will open),
    // up on an expanded one.
    const OLE_COLOR text = active ? colorAt(PaneColors::GrpTitleActiveTextColor) : colorAt(PaneColors::GrpTitleTextColor);
    p.setPen(QPen(color(text), 1.0));
    const int cx = b.left() + b.width() / 2;
    const int cy = b.top() + b.height() / 2;
    for (int i = 0; i < 2; ++i) {
        if (group.group->expanded) {
            const int a = cy - 3 * i;
            p.drawLine(cx, a - 2, cx - 4, a + 2);
            p.drawLine(cx, a - 2, cx + 4, a + 2);
        } else {
            const int a = cy + 3 * i;
            p.drawLine(cx, a + 1, cx - 4, a - 3);
            p.drawLine(cx, a + 1, cx + 4, a - 3);
        }
    }
}

void PanePainter::paintItem(QPainter &p, const PaneGeometry::Entry &entry)
{
    const PaneItem &item = *entry.item;
    const QRect &box = entry.box;
    if (!visible(box.adjusted(-1, -1, 1, 1)))
        return;
    ++m_paintedEntries;

    const bool selected = !m_options.hideSelection && &item == m_pane.model.selectedTask;
    const bool hot = &item == m_pane.model.hotEntry;
    OLE_COLOR border = colorAt(PaneColors::SelectBoxBorderColor);
    std::optional<OLE_COLOR> fill;
    if (hot) {
        fill = colorAt(PaneColors::HilightBoxColor);
        if (!selected)
            border = PaneColors::lighten(border, 0.5);
    }
    if (selected)
        fill = hot ? PaneColors::darken(colorAt(PaneColors::SelectBoxColor), 15) : colorAt(PaneColors::SelectBoxColor);
    if (fill) {
        p.fillRect(box, color(*fill));
        p.setPen(color(border));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box.adjusted(0, 0, -1, -1));
    }

    const int rowHeight = entry.rowHeight;
    int textLeft = box.left() + 4;
    if (item.icon >= 0 && m_pane.hasTaskImageList) {
        const PaneImageList &list = m_disabled ? m_pane.taskImagesGrey : m_pane.taskImages;
        const int size = m_pane.taskImageSize;
        list.draw(p, item.icon, QPoint(box.left() + 4, box.top() + (rowHeight - size) / 2 - 1),
                  item.disabled ? 0.5 : 1.0);
        textLeft = box.left() + size + 5;
    }
    if (item.isOption) {
        const QRect &check = entry.check;
        const int image = (item.checked ? 1 : 0) + (m_disabled ? 2 : 0);
        m_pane.radioImages.draw(p, image, QPoint(check.center().x() - 6, check.center().y() - 7));
        textLeft += 18;
    }

    const QColor textColor = item.disabled ? m_ctrl.palette().color(QPalette::Disabled, QPalette::WindowText)
                                           : color(colorAt(PaneColors::GrpTextColor));
    p.setPen(textColor);
    const QRect textRect(textLeft, box.top(), qMax(0, box.right() - 2 - textLeft), box.height());
    if (!item.multiLine && rowHeight <= m_pane.geometry.rowHeight()) {
        const QString elided = p.fontMetrics().elidedText(item.text, Qt::ElideRight, textRect.width());
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
    } else {
        // The lines the layout pass broke the text into, whole words only.
        const int lineSpacing = p.fontMetrics().lineSpacing();
        int top = entry.y + (rowHeight - entry.textHeight) / 2;
        p.save();
        p.setClipRect(box, Qt::IntersectClip);
        for (const QString &line : entry.lines) {
            p.drawText(QRect(textRect.left(), top, textRect.width(), lineSpacing),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line);
            top += lineSpacing;
        }
        p.restore();
    }

    if (m_ctrl.hasFocus() && m_pane.model.focusItem == &item) {
        QPen pen(textColor, 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(box.adjusted(1, 1, -2, -2));
    }
}
