#pragma once
// PaneKeyboardNavigator: the pane without a mouse. The focus stops are the
// group titles and, in expanded groups, the enabled entries that are not
// separators; the arrows, Home and End move between them, Return and Space
// act on the focused one, Left collapses its group and Right expands it.
// The focus lives in the model (focusItem, focusGroup).

#include <vector>

class PaneModel;
class QKeyEvent;
struct PaneGroup;
struct PaneItem;

class PaneKeyboardNavigator
{
public:
    class Host
    {
    public:
        virtual ~Host() = default;
        virtual void activate(const PaneItem *item, bool onRadioButton) = 0;
        virtual void toggle(const PaneGroup *group) = 0;
        virtual void expand(PaneGroup *group, bool expand) = 0;
        // The focus moved: bring it into view, draw it, tell the reader.
        virtual void focusMoved(bool reveal) = 0;
        virtual bool scrollPage(bool down) = 0;
    };

    struct Stop
    {
        PaneGroup *group = nullptr;
        PaneItem *item = nullptr;
    };

    PaneKeyboardNavigator(Host &host, PaneModel &model) : m_host(host), m_model(model) {}

    std::vector<Stop> stops() const;
    // Focuses the stop of that entry (or title, with item nullptr); false
    // when it is no stop.
    bool setFocus(const PaneItem *item, const PaneGroup *group);
    // The pane got the focus: keep a valid stop, else the selected entry's,
    // else the first.
    void focusEntered();
    // False for keys the pane does not take.
    bool handleKey(const QKeyEvent &event);

private:
    void move(int delta);

    Host &m_host;
    PaneModel &m_model;
};
