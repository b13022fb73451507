#pragma once
// DictionaryEditor: what the dictionary dialog does, without widgets. The
// active set is changed through ActiveDictionaries (stored at once, so the
// next text spoken uses it); a user's dictionary file is written at once
// through ReplacingFile. Shipped dictionaries are read-only: they can be
// switched off, moved and exported, not edited.

#include "ActiveDictionaries.h"

class DictionaryEditor
{
public:
    explicit DictionaryEditor(ActiveDictionaries &active) : m_active(active) {}

    QList<DictionaryRef> dictionaries() const { return m_active.list(); }
    bool setActive(int index, bool on);
    // delta -1 up, +1 down; false at an end.
    bool move(int index, int delta);
    // Removes it from the set; the file stays.
    bool remove(int index);

    // A new, empty dictionary in the user's folder, added switched on;
    // false with the reason (the name taken, not writable).
    bool create(const QString &name, QString *error);
    // A copy of the file in the user's folder, added switched on; the file
    // must load (broken lines are dropped and named in *error).
    bool import(const QString &source, QString *error);
    // The dictionary's entries written to target.
    bool exportTo(int index, const QString &target, QString *error) const;

    PronunciationFile entries(int index) const;
    bool isEditable(int index) const;
    // Writes the entries into the dictionary's file; false with the reason.
    bool save(int index, const QList<PronunciationEntry> &entries, QString *error);

    // The search of the entry table: written or spoken form contains text,
    // case-insensitively.
    static bool matches(const PronunciationEntry &entry, const QString &text);

private:
    bool store(QList<DictionaryRef> list) { return m_active.store(list); }
    QString freePath(const QString &baseName) const;
    bool add(const QString &path, QString *error);
    ActiveDictionaries &m_active;
};
