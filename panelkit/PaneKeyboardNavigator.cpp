#include "PaneKeyboardNavigator.h"

#include "PaneModel.h"

#include <QKeyEvent>

#include <algorithm>

std::vector<PaneKeyboardNavigator::Stop> PaneKeyboardNavigator::stops() const
{
    std::vector<Stop> stops;
    for (const auto &g : m_model.groups()) {
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

bool PaneKeyboardNavigator::setFocus(const PaneItem *item, const PaneGroup *group)
{
    for (const Stop &s : stops()) {
        if (s.item == item && (s.group == group || (item && !group))) {
            m_model.focusItem = s.item;
            m_model.focusGroup = s.group;
            m_host.focusMoved(true);
            return true;
        }
    }
    return false;
}

void PaneKeyboardNavigator::move(int delta)
{
    const std::vector<Stop> all = stops();
    if (all.empty())
        return;
    int current = -1;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].item == m_model.focusItem && all[i].group == m_model.focusGroup)
            current = int(i);
    }
    int next;
    if (current < 0)
        next = delta > 0 ? 0 : int(all.size()) - 1;
    else
        next = qBound(0, current + delta, int(all.size()) - 1);
    setFocus(all[size_t(next)].item, all[size_t(next)].group);
}

void PaneKeyboardNavigator::focusEntered()
{
    const std::vector<Stop> all = stops();
    const bool valid = std::any_of(all.begin(), all.end(), [this](const Stop &s) {
        return s.item == m_model.focusItem && s.group == m_model.focusGroup;
    });
    if (!valid && !all.empty()) {
        const auto selected = std::find_if(all.begin(), all.end(), [this](const Stop &s) {
            return s.item && s.item == m_model.selectedTask;
        });
        const Stop &s = selected != all.end() ? *selected : all.front();
        m_model.focusItem = s.item;
        m_model.focusGroup = s.group;
    }
}

bool PaneKeyboardNavigator::handleKey(const QKeyEvent &event)
{
    PaneGroup *group = m_model.focusGroup;
    switch (event.key()) {
    case Qt::Key_Up:
        move(-1);
        return true;
    case Qt::Key_Down:
        move(1);
        return true;
    case Qt::Key_Home:
        move(-int(stops().size()));
        return true;
    case Qt::Key_End:
        move(int(stops().size()));
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        m_host.scrollPage(event.key() == Qt::Key_PageDown);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_model.focusItem)
            m_host.activate(m_model.focusItem, event.key() == Qt::Key_Space);
        else if (group)
            m_host.toggle(group);
        return true;
    case Qt::Key_Left:
        if (group) {
            m_model.focusItem = nullptr;
            if (group->expanded)
                m_host.expand(group, false);
            m_host.focusMoved(false);
        }
        return true;
    case Qt::Key_Right:
        if (group && !group->expanded)
            m_host.expand(group, true);
        return true;
    default:
        return false;
    }
}
