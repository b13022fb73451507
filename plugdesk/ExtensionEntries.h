#pragma once
// plugdesk: the extension manager. It lists the entries of the Extensions key
// that installers write, and switches each on or off by writing its Active
// value, which Quenora's extension host reads afresh at every event. The two
// programs share nothing but that key in the hive.
//
//   ExtensionEntries    the key itself: enumerate, match items to entries,
//                       descriptions, switching (clsRegistryAccess, no widgets)
//   ExtensionListModel  the check-box list over it (Qt model, no widgets)
//   plugdesk::frmMain   the window (Dialogs for every message)
//   PlugdeskCommand     --list / --enable / --disable without a window
//
// Uses the registry library (its own clsRegistryAccess) and common; of the
// main program only the Dialogs interface.
//
// Nothing is cached: every operation enumerates the key again and finds the
// entries that belong to a list item by its text (an entry belongs when the
// item text occurs in its DisplayName), so several entries can share an item.

#include "clsRegistryAccess.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class ExtensionEntries
{
public:
    struct Entry {
        QString subkey;
        QString displayName; // "(unbekannte Extension)" when it has none
        QString active;      // as stored, empty when missing
        QString objectName;
    };

    struct Listing {
        QList<Entry> entries;
        QString error; // the hive failed (locked, damaged): why; empty otherwise
    };

    struct Switch {
        QStringList switched; // display names of the entries written
        QString error;        // empty when every write stuck
        bool ok() const { return error.isEmpty() && !switched.isEmpty(); }
    };

    static QString keyPath();

    explicit ExtensionEntries(clsRegistryAccess &registry);

    // Every entry, in the order the hive enumerates the key. No entries and
    // no error: the key is missing or has no sub-keys.
    Listing enumerate();

    // The description of the last entry that belongs to itemText, with its
    // "$CRLF" markers turned into CR LF; nothing when none belongs.
    std::optional<QString> description(const QString &itemText);

    // Writes Active = "true"/"false" to every entry that belongs to itemText.
    // When one write fails, the entries already written get their old value
    // back, so the key is left as it was and the caller can say so.
    Switch setActive(const QString &itemText, bool on);

    static bool belongsTo(const QString &displayName, const QString &itemText);
    // The check the list shows for a stored Active text.
    static bool looksActive(const QString &active);

private:
    QString entryPath(const QString &subkey) const;
    QString displayNameOf(const QString &path);
    QString failure(const QString &fallback) const;

    clsRegistryAccess &m_registry;
};
