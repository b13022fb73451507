#pragma once
// PaneItem: one entry of a task pane group, a task (a clickable link) or an
// option (a radio-button entry). Owned by its PaneGroup; geometry is written
// by the control's layout pass and read by painting and hit testing alike.

#include "PanelkitExport.h"

#include <QRect>
#include <QString>
#include <QStringList>

struct PANELKIT_EXPORT PaneItem
{
    QString text;
    qint32 id = 0;
    qint32 textHeight = 0;
    QStringList lines;  // as drawn: broken between words, a too long word elided
    QRect row;          // relative to the work area, top 0
    QRect check;        // the radio button of an option, in widget coordinates
    bool disabled = false;
    bool multiLine = false;
    bool isOption = false;
    bool checked = false;
    qint32 y = 0;       // top of the row in widget coordinates
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
