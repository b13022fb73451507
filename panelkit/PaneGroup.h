#pragma once
// PaneGroup: one collapsible group of the task pane with its title bar and
// its entries. Owned by the pane's model; display order is insertion order.
// Where a group is drawn is the pane geometry's business, not the record's.

#include "PaneItem.h"

#include <QString>

#include <memory>
#include <vector>

struct PANELKIT_EXPORT PaneGroup
{
    QString name;
    bool expanded = true;
    qint32 id = 0;
    qint32 icon = -1;   // index in the group image list
    qint32 color = -1;  // body colour (0x00BBGGRR), -1 uses GrpBkColor
    std::vector<std::unique_ptr<PaneItem>> entries;
};
