#pragma once
// PanePainter: draws the task pane into an image, restricted to a clip
// rectangle so that a hover or selection change repaints only its rows.
// It reads the rectangles that the control's layout pass placed in widget
// coordinates and never changes the model; hit testing uses the same
// rectangles, so what is drawn is what reacts to the mouse.

#include "PaneColors.h"

#include <QRect>
#include <QStringList>

class CPanelkitCtrl;
class QFont;
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

    PanePainter(const CPanelkitCtrl &ctrl, QImage &target, const Options &options);

    // The lines an entry's text is drawn in at a width: broken at its line
    // feeds and between words, never inside one; a word longer than the
    // width ends in an ellipsis.
    static QStringList entryLines(const QString &text, const QFont &font, int width);

    void paint();
    int paintedEntries() const { return m_paintedEntries; }

private:
    OLE_COLOR grey(OLE_COLOR c) const;
    QColor color(OLE_COLOR c) const { return PaneColors::toQColor(grey(c)); }
    OLE_COLOR colorAt(int code) const;
    QColor backgroundAt(int x) const;
    bool visible(const QRect &r) const { return m_options.everything || m_clip.intersects(r); }

    void paintBackground(QPainter &p);
    void paintGroup(QPainter &p, const PaneGroup &group);
    void paintTitle(QPainter &p, const PaneGroup &group, const QRect &title, bool active);
    void paintButton(QPainter &p, const PaneGroup &group, bool active);
    void paintItem(QPainter &p, const PaneItem &item);

    const CPanelkitCtrl &m_ctrl;
    QImage &m_target;
    Options m_options;
    QRect m_clip;
    bool m_disabled = false;
    int m_paintedEntries = 0;
};
