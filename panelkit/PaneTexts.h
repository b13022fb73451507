#pragma once
// Every text of the task pane that a user sees or hears, in one place.

#include <QCoreApplication>
#include <QString>

namespace PaneTexts {

// Demo content shown by a freshly created pane, before its host fills it.
inline QString demoGroup(int n) { return QStringLiteral("Gruppe %1").arg(n); }
inline QString demoEntry(int n) { return QStringLiteral("Eintrag %1").arg(n); }

// The About dialog.
inline QString aboutCaption() { return QStringLiteral("About Panelkit Control"); }
inline QString aboutText() { return QStringLiteral("Panelkit Control, Version 1.0"); }

// What a screen reader announces.
inline QString accessiblePaneName() { return QStringLiteral("Aufgabenbereich"); }
// The words screen readers use for the states themselves.
inline QString accessibleExpanded() { return QStringLiteral("ausgeklappt"); }
inline QString accessibleCollapsed() { return QStringLiteral("eingeklappt"); }
// Said when a group opens or closes: "Tasks, eingeklappt".
inline QString accessibleGroupToggled(const QString &group, bool expanded)
{
    return group + QStringLiteral(", ") + (expanded ? accessibleExpanded() : accessibleCollapsed());
}
inline QString accessibleToggleAction() { return QStringLiteral("Auf- oder zuklappen"); }

} // namespace PaneTexts
