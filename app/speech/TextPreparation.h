#pragma once
// TextPreparation: what happens to a text before it is spoken, apart from
// the extension filters: the blank-text rule, the prefix and suffix, and the
// time variables "$Zeit[s]", "$Zeit[m]", "$Zeit[h]" and "$Zeit[w]". Also the
// number helpers of speaking: percent to engine value and RandomBetween.
// The clock and the random source are injectable so tests can fix them.

#include "Clock.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

class TextPreparation
{
public:
    // The time variables read clock; it must outlive this object.
    explicit TextPreparation(const Clock &clock);

    // prefix + " " + text + " " + suffix: both blanks always, also around an
    // empty prefix or suffix.
    static QString wrap(const QString &prefix, const QString &text, const QString &suffix);

    // Replaces, case-sensitively and in this order, "$Zeit[s]" (second,
    // 0-59), "$Zeit[m]" (minute), "$Zeit[h]" (hour, 0-23) and "$Zeit[w]"
    // (weekday, 1-7 with Sunday = 1), all in decimal without leading zeros.
    // The clock is read once, so the values belong to one moment.
    QString replaceTimeVariables(const QString &text) const;
    static QString replaceTimeVariables(const QString &text, const QDateTime &now);

    // The text as the engine gets it: prefix, text and suffix wrapped, the
    // time variables replaced once, with one reading of the clock. No
    // variable spans the blanks wrap() puts in, so this is the wrapped text
    // with its variables replaced.
    struct Prepared {
        QString text;
        QString body;           // the text part after its variables were replaced
        qsizetype bodyStart = 0; // where body begins in text
    };
    Prepared prepareParts(const QString &text, const QString &prefix, const QString &suffix) const;
    QString prepare(const QString &text, const QString &prefix, const QString &suffix) const;

    // min + (max - min) * percent / 100, rounded half to even, with
    // (max - min) * percent formed in 32-bit whole numbers: no value when
    // that overflows.
    static std::optional<int> percentToEngineValue(int min, int max, int percent);

    // A whole number written in a setting ("25", " 7 "); a decimal number is
    // rounded half to even. No value for anything else.
    static std::optional<int> wholeNumber(const QString &text);

    // round(random * (high - low) + low), halves to even; random in [0, 1).
    // Without a random source, the process's generator, seeded once from the
    // system (a generator reseeded from the clock would repeat numbers
    // within one clock tick).
    static int RandomBetween(int low, int high, const std::function<double()> &random = {});

private:
    const Clock &m_clock;
};
