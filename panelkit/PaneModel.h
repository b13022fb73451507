#pragma once
// PaneModel: what the task pane holds, without a widget. The groups with
// their entries in display order, the radio groups of the options, the
// look-ups by id and record, and the references into the records (the
// selection, the entry under the mouse, the keyboard focus). Removing a
// record first tells the listener and drops every reference to it, so
// nothing keeps pointing at freed memory.

#include "PaneGroup.h"

#include <functional>
#include <memory>
#include <vector>

class PaneModel
{
public:
    // Told before an entry or group is destroyed.
    using RemoveListener = std::function<void(const void *record)>;

    void setRemoveListener(RemoveListener listener) { m_onRemove = std::move(listener); }

    const std::vector<std::unique_ptr<PaneGroup>> &groups() const { return m_groups; }
    int groupCount() const { return int(m_groups.size()); }
    PaneGroup *groupAt(int index) const;
    PaneGroup *groupById(int id) const;
    PaneItem *itemById(int id) const;
    PaneGroup *groupOf(const PaneItem *item) const;
    bool contains(const PaneItem *item) const { return groupOf(item) != nullptr; }
    bool contains(const PaneGroup *group) const;

    PaneGroup *addGroup(const QString &name, int id, bool expanded, int icon, int color);
    // Appends to the first group with that id; nullptr when there is none.
    PaneItem *addEntry(int groupId, const QString &text, int id, int icon);
    // Makes the group's last entry an option of a radio group: a new one
    // when `first`, else the one of the options right before it.
    void linkRadioGroup(PaneGroup *group, PaneItem *item, bool first);
    std::vector<PaneItem *> radioGroupOf(const PaneGroup *group, const PaneItem *item) const;
    void uncheckRadioGroup(const PaneGroup *group, const PaneItem *item);
    // The index of the checked option in its radio group, or -1.
    int checkedOption(const PaneItem *item) const;

    bool removeGroup(int id);
    bool removeItem(PaneItem *item);
    void clear();

    // Collapsing a group takes the mouse mark and the keyboard focus out of it.
    void leaveGroup(const PaneGroup *group);

    PaneItem *selectedTask = nullptr;
    PaneGroup *selectedGroup = nullptr;
    PaneItem *hotEntry = nullptr;
    PaneItem *focusItem = nullptr;
    PaneGroup *focusGroup = nullptr;

private:
    void forgetItem(const PaneItem *item);
    void forgetGroup(const PaneGroup *group);

    std::vector<std::unique_ptr<PaneGroup>> m_groups;
    RemoveListener m_onRemove;
};
