#include "TextPreparation.h"

TextPreparation::TextPreparation(const Clock &clock) : m_clock(clock) {}

QString TextPreparation::wrap(const QString &prefix, const QString &text, const QString &suffix)
{
    return prefix + QLatin1Char(' ') + text + QLatin1Char(' ') + suffix;
}

QString TextPreparation::replaceTimeVariables(const QString &text) const
{
    return replaceTimeVariables(text, m_clock.now());
}

QString TextPreparation::replaceTimeVariables(const QString &text, const QDateTime &now)
{
    const QTime time = now.time();
    // Qt counts Monday = 1 .. Sunday = 7; here Sunday = 1 .. Saturday = 7.
    const int weekday = now.date().dayOfWeek() % 7 + 1;
    QString result = text;
    result.replace(QStringLiteral("$Zeit[s]"), QString::number(time.second()));
    result.replace(QStringLiteral("$Zeit[m]"), QString::number(time.minute()));
    result.replace(QStringLiteral("$Zeit[h]"), QString::number(time.hour()));
    result.replace(QStringLiteral("$Zeit[w]"), QString::number(weekday));
    return result;
}

TextPreparation::Prepared TextPreparation::prepareParts(const QString &text, const QString &prefix,
                                                        const QString &suffix) const
{
    const QDateTime now = m_clock.now();
    const QString spokenPrefix = replaceTimeVariables(prefix, now);
    Prepared prepared;
    prepared.body = replaceTimeVariables(text, now);
    prepared.bodyStart = spokenPrefix.size() + 1;
    prepared.text = wrap(spokenPrefix, prepared.body, replaceTimeVariables(suffix, now));
    return prepared;
}

QString TextPreparation::prepare(const QString &text, const QString &prefix,
                                 const QString &suffix) const
{
    return prepareParts(text, prefix, suffix).text;
}
