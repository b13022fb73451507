#pragma once
// ActiveDictionaries: the dictionaries the user speaks with, in the order
// set, each switched on or off, stored in the setting
// Pronunciation/Dictionaries (one line each: "1" or "0", a tab, the place).
// A place "data:NAME" is a dictionary shipped in the install's data folder
// (<data>/pronunciation/NAME), anything else a file path; the user's own
// dictionaries live in <user data>/pronunciation. Without the setting, the
// shipped German dictionary is active (where it is installed).
//
// current() reads the setting and asks each file's size and time at every
// call, and loads and compiles again only when something changed.
// FixedDictionaries is the same for a given list of files (quenora-speak
// --dictionary).

#include "PronunciationFile.h"
#include "PronunciationSource.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class SettingsStore;

struct DictionaryRef {
    QString place; // "data:NAME" or a path
    bool active = true;

    QString path() const;
    QString displayName() const;
    bool isShipped() const;
    bool operator==(const DictionaryRef &o) const { return place == o.place && active == o.active; }
};

// Loads the files in order into one Pronouncer, remembering what each file
// looked like, so a later call can tell whether anything changed.
class DictionaryLoader
{
public:
    std::shared_ptr<const Pronouncer> load(const QStringList &paths);
    // Why files or lines were left out, as German sentences.
    QStringList fileProblems() const { return m_fileProblems; }

private:
    struct Stamp {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        quint64 inode = 0;
        bool operator==(const Stamp &o) const = default;
    };
    static Stamp stampOf(const QString &path);
    QList<Stamp> m_stamps;
    bool m_loaded = false;
    std::shared_ptr<const Pronouncer> m_pronouncer;
    QStringList m_fileProblems;
};

class ActiveDictionaries : public PronunciationSource
{
public:
    explicit ActiveDictionaries(SettingsStore &settings);

    QList<DictionaryRef> list() const;
    bool store(const QList<DictionaryRef> &dictionaries);

    std::shared_ptr<const Pronouncer> current() override;
    QStringList fileProblems() const override { return m_loader.fileProblems(); }

    // The shipped dictionaries' folder and the user's.
    static QString shippedFolder();
    static QString userFolder();
    static QList<DictionaryRef> parse(const QString &setting);
    static QString format(const QList<DictionaryRef> &dictionaries);

private:
    SettingsStore &m_settings;
    DictionaryLoader m_loader;
};

class FixedDictionaries : public PronunciationSource
{
public:
    explicit FixedDictionaries(QStringList paths) : m_paths(std::move(paths)) {}
    std::shared_ptr<const Pronouncer> current() override { return m_loader.load(m_paths); }
    QStringList fileProblems() const override { return m_loader.fileProblems(); }

private:
    QStringList m_paths;
    DictionaryLoader m_loader;
};
