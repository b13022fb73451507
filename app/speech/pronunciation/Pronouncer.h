#pragma once
// Pronouncer: the active entries of all dictionaries, compiled once, applied
// to a text in one pass.
//
// All entries go into one Hyperscan database (literal entries escaped,
// regular expressions as they are), which finds every match of every entry
// in one scan without backtracking. Among the matches, the leftmost wins;
// at one place the longest, then the earlier entry (the order of the
// dictionaries, then of their lines). A replacement is never looked at
// again, so nothing loops or grows without bound. Regular expressions get
// their exact extent and captures (\1 ... \9 in the spoken form) from PCRE2,
// anchored where Hyperscan found them and bounded by a step limit: an entry
// that reaches it is switched off for this Pronouncer and reported.
//
// Whole word: the match does not begin right after a letter or digit when
// its first character is one, and does not end right before one when its
// last character is one. Case-insensitive entries fold case by Unicode.
//
// Entries that cannot be used (an invalid or unsupported regular
// expression, one that matches empty text) are skipped and reported; the
// others apply. Thread-safe after construction; compiled at first use.

#include "OffsetMap.h"
#include "PronunciationEntry.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class Pronouncer
{
public:
    explicit Pronouncer(QList<PronunciationEntry> entries = {});
    ~Pronouncer();
    Pronouncer(const Pronouncer &) = delete;
    Pronouncer &operator=(const Pronouncer &) = delete;

    struct Result {
        QString spoken;
        OffsetMap map; // spoken positions back to the written text
    };
    Result apply(QStringView written) const;

    const QList<PronunciationEntry> &entries() const { return m_entries; }
    bool isEmpty() const { return m_entries.isEmpty(); }

    // Entries skipped, each as a German sentence naming dictionary, line and
    // reason; grows when a regular expression reaches its step limit.
    QStringList problems() const;
    // Why this entry cannot be used on its own; empty when it can.
    static QString check(const PronunciationEntry &entry);

    // The step limit of one regular-expression match.
    static constexpr unsigned StepLimit = 200000;

private:
    struct Compiled;
    void compile() const;
    QList<PronunciationEntry> m_entries;
    std::unique_ptr<Compiled> m_compiled;
};
