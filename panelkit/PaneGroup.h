#pragma once
// PaneGroup: one collapsible group of the task pane with its title bar and
// its entries. Owned by the control; display order is insertion order.

#include "PaneItem.h"

#include <QRect>
#include <QString>

#include <memory>
#include <vector>

struct PANELKIT_EXPORT PaneGroup
{
    QString name;
    bool expanded = true;
    qint32 id = 0;
    QRect title;        // relative to the group's top
    QRect body;         // relative to the group's top
    QRect button;       // the circular button, in widget coordinates
    qint32 icon = -1;   // index in the group image list
    qint32 color = -1;  // body colour (0x00BBGGRR), -1 uses GrpBkColor
    qint32 titleOffset = 0; // top of the title in widget coordinates
    qint32 bodyHeight = 0;  // sum of the entry rows
    std::vector<std::unique_ptr<PaneItem>> entries;
};
