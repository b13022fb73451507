#pragma once
// PaneItem: one entry of a task pane group, a task (a clickable link) or an
// option (a radio-button entry). Owned by its PaneGroup; where it is drawn
// and the lines its text is broken into belong to the pane geometry.

#include "PanelkitExport.h"

#include <QString>

struct PANELKIT_EXPORT PaneItem
{
    QString text;
    qint32 id = 0;
    bool disabled = false;
    bool multiLine = false;
    bool isOption = false;
    bool checked = false;
    qint32 icon = -1;   // index in the task image list
    qint32 optionIndex = -1;
    PaneItem *radioHead = nullptr;

    // A task whose caption is a rule of dashes ("----------") separates the
    // entries around it: a screen reader hears a separator, the keyboard
    // passes over it.
    bool isSeparator() const
    {
        return !isOption && text.size() >= 3 && text.count(QLatin1Char('-')) == text.size();
    }
};
