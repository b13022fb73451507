#include "PaneModel.h"

#include <algorithm>

namespace {

QString normalizedText(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

} // namespace

PaneGroup *PaneModel::groupAt(int index) const
{
    return index >= 0 && index < groupCount() ? m_groups[size_t(index)].get() : nullptr;
}

PaneGroup *PaneModel::groupById(int id) const
{
    for (const auto &g : m_groups) {
        if (g->id == id)
            return g.get();
    }
    return nullptr;
}

PaneItem *PaneModel::itemById(int id) const
{
    for (const auto &g : m_groups) {
        for (const auto &item : g->entries) {
            if (item->id == id)
                return item.get();
        }
    }
    return nullptr;
}

PaneGroup *PaneModel::groupOf(const PaneItem *item) const
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

bool PaneModel::contains(const PaneGroup *group) const
{
    return std::any_of(m_groups.begin(), m_groups.end(), [&](const auto &g) { return g.get() == group; });
}

PaneGroup *PaneModel::addGroup(const QString &name, int id, bool expanded, int icon, int color)
{
    auto group = std::make_unique<PaneGroup>();
    group->name = normalizedText(name);
    group->id = id;
    group->expanded = expanded;
    group->icon = icon < 0 ? -1 : icon;
    group->color = color;
    m_groups.push_back(std::move(group));
    return m_groups.back().get();
}

PaneItem *PaneModel::addEntry(int groupId, const QString &text, int id, int icon)
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
    group->entries.push_back(std::move(item));
    return group->entries.back().get();
}

void PaneModel::linkRadioGroup(PaneGroup *group, PaneItem *item, bool first)
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

std::vector<PaneItem *> PaneModel::radioGroupOf(const PaneGroup *group, const PaneItem *item) const
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

void PaneModel::uncheckRadioGroup(const PaneGroup *group, const PaneItem *item)
{
    for (PaneItem *e : radioGroupOf(group, item))
        e->checked = false;
}

int PaneModel::checkedOption(const PaneItem *item) const
{
    if (!item || !item->isOption || !item->radioHead)
        return -1;
    const std::vector<PaneItem *> members = radioGroupOf(groupOf(item), item);
    for (size_t i = 0; i < members.size(); ++i) {
        if (members[i]->checked)
            return int(i);
    }
    return -1;
}

void PaneModel::forgetItem(const PaneItem *item)
{
    if (m_onRemove)
        m_onRemove(item);
    if (selectedTask == item) {
        selectedTask = nullptr;
        selectedGroup = nullptr;
    }
    if (hotEntry == item)
        hotEntry = nullptr;
    if (focusItem == item)
        focusItem = nullptr;
}

void PaneModel::forgetGroup(const PaneGroup *group)
{
    for (const auto &item : group->entries)
        forgetItem(item.get());
    if (m_onRemove)
        m_onRemove(group);
    if (selectedGroup == group) {
        selectedGroup = nullptr;
        selectedTask = nullptr;
    }
    if (focusGroup == group) {
        focusGroup = nullptr;
        focusItem = nullptr;
    }
}

bool PaneModel::removeGroup(int id)
{
    if (id < 0)
        return false;
    auto it = std::find_if(m_groups.begin(), m_groups.end(), [&](const auto &g) { return g->id == id; });
    if (it == m_groups.end())
        return false;
    forgetGroup(it->get());
    m_groups.erase(it);
    return true;
}

bool PaneModel::removeItem(PaneItem *item)
{
    PaneGroup *group = groupOf(item);
    if (!group)
        return false;
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
    return true;
}

void PaneModel::clear()
{
    for (const auto &g : m_groups)
        forgetGroup(g.get());
    m_groups.clear();
    selectedTask = nullptr;
    selectedGroup = nullptr;
    hotEntry = nullptr;
    focusItem = nullptr;
    focusGroup = nullptr;
}

void PaneModel::leaveGroup(const PaneGroup *group)
{
    if (hotEntry && groupOf(hotEntry) == group)
        hotEntry = nullptr;
    if (focusItem && groupOf(focusItem) == group) {
        focusItem = nullptr;
        focusGroup = const_cast<PaneGroup *>(group);
    }
}
