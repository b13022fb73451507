#pragma once
// PanePainter: draws the task pane into an image, restricted to a clip
// rectangle so that a hover or selection change repaints only its rows.
// It reads the rectangles of the pane's geometry and never changes the
// model; hit testing uses the same rectangles, so what is drawn is what
// reacts to the mouse.

#include "PaneColors.h"

#include "PaneGeometry.h"

#include <QRect>

class CPanelkitCtrl;
class CPanelkitCtrlPrivate;
class QImage;
class QPainter;
struct PaneGroup;
struct PaneItem;

class PanePainter
{
public:
    struct Options
    {
        QRect clip;
        bool everything = false;     // draw what lies outside the clip too
        bool hideSelection = false;  // during an animation of the selected group
    };

    PanePainter(const CPanelkitCtrlPrivate &pane, QImage &target, const Options &options);

    void paint();
    int paintedEntries() const { return m_paintedEntries; }

private:
    OLE_COLOR grey(OLE_COLOR c) const;
    QColor color(OLE_COLOR c) const { return PaneColors::toQColor(grey(c)); }
    OLE_COLOR colorAt(int code) const;
    QColor backgroundAt(int x) const;
    bool visible(const QRect &r) const { return m_options.everything || m_clip.intersects(r); }

    void paintBackground(QPainter &p);
    void paintGroup(QPainter &p, const PaneGeometry::Group &group);
    void paintTitle(QPainter &p, const PaneGeometry::Group &group, bool active);
    void paintButton(QPainter &p, const PaneGeometry::Group &group, bool active);
    void paintItem(QPainter &p, const PaneGeometry::Entry &entry);

    const CPanelkitCtrlPrivate &m_pane;
    const CPanelkitCtrl &m_ctrl;
    QImage &m_target;
    Options m_options;
    QRect m_clip;
    bool m_disabled = false;
    int m_paintedEntries = 0;
};
