#pragma once
// TextPreparation: what happens to a text before it is spoken, apart from
// the extension filters: the blank-text rule, the prefix and suffix, and the
// time variables "$Zeit[s]", "$Zeit[m]", "$Zeit[h]" and "$Zeit[w]". The
// clock is injectable so tests can fix it.

#include "Clock.h"

#include <QDateTime>
#include <QString>

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

private:
    const Clock &m_clock;
};
