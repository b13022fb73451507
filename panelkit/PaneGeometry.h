#pragma once
// PaneGeometry: where every part of the task pane lies. One layout pass
// (measure) breaks the entries' texts into lines and gives each row and
// title its height; placing it (place) at a scroll position turns that into
// rectangles in widget coordinates. The painter draws these rectangles and
// the hit test answers from the same ones, so what is drawn is what reacts
// to the mouse. Needs fonts, but no widget.

#include <QFont>
#include <QRect>
#include <QStringList>

#include <unordered_map>
#include <vector>

class PaneModel;
struct PaneGroup;
struct PaneItem;

class PaneGeometry
{
public:
    // What the layout depends on besides the model.
    struct Measures
    {
        QFont font;
        int clientWidth = 0;      // the width left of the scroll bar
        int taskImageSize = 0;
        int groupImageSize = 0;
        bool hasTaskImages = false;
        int firstGroupStartPosition = 0;
    };
    struct Entry
    {
        PaneItem *item = nullptr;
        QRect box;          // the entry's box as painted (the hit area is one pixel larger)
        QRect check;        // an option's radio button; null for a task
        QStringList lines;  // as drawn: broken between words, a too long word elided
        int textHeight = 0;
        int rowHeight = 0;
        int y = 0;          // top of the row; rows of a collapsed group keep their place
        int textLeft = 0;   // right of the picture: where an option's radio button starts
        bool isOption = false;
    };
    struct Group
    {
        PaneGroup *group = nullptr;
        int overhang = 0;   // how far a tall group image stands out above the title
        QRect title;
        QRect button;       // the circular expand/collapse button
        QRect body;         // below the title, as tall as all rows (drawn when expanded)
        int bodyHeight = 0; // the sum of the rows
        bool expanded = true;
        std::vector<Entry> entries;
        int top() const { return title.top() - overhang; }
    };
    struct Hit
    {
        PaneGroup *group = nullptr;
        PaneItem *item = nullptr;
    };

    // The lines an entry's text is drawn in at a width: broken at its line
    // feeds and between words, never inside one; a word longer than the
    // width ends in an ellipsis.
    static QStringList entryLines(const QString &text, const QFont &font, int width);

    // The layout pass over the whole model; then place() must follow.
    void measure(const PaneModel &model, const Measures &measures);
    // Widget coordinates at a scroll position; cheap, no text is measured,
    // and no record is read (one may have gone since the layout pass).
    void place(int scrollOffset);

    // From the work area's left edge to where the painter starts the text.
    int entryTextIndent(const PaneItem &item, int taskImageSize, bool hasTaskImages) const;

    const std::vector<Group> &groups() const { return m_groups; }
    const Group *groupOf(const PaneGroup *group) const;
    const Entry *entryOf(const PaneItem *item) const;
    // The title or enabled entry of an expanded group at a point.
    Hit hitTest(const QPoint &pos) const;

    int contentHeight() const { return m_contentHeight; }
    int rowHeight() const { return m_rowHeight; }
    int clientWidth() const { return m_measures.clientWidth; }
    int marginLeft() const { return m_marginLeft; }
    int marginRight() const { return m_marginRight; }

private:
    Measures m_measures;
    std::vector<Group> m_groups;
    std::unordered_map<const void *, std::pair<int, int>> m_index; // record -> (group, entry or -1)
    int m_marginLeft = 8, m_marginRight = 8, m_marginBottom = 10;
    int m_rowHeight = 20;
    int m_titleHeight = 24;
    int m_contentHeight = 0;
};
