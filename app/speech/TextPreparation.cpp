#include "TextPreparation.h"

#include <QRandomGenerator>

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

// Rounds a / b (b > 0) to the nearest whole number, halves to even.
qint64 divideHalfEven(qint64 a, qint64 b)
{
    qint64 q = a / b;
    qint64 r = a % b;
    if (r < 0) {
        r += b;
        --q;
    }
    if (2 * r > b || (2 * r == b && (q % 2 != 0)))
        ++q;
    return q;
}

} // namespace

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

std::optional<int> TextPreparation::percentToEngineValue(int min, int max, int percent)
{
    const qint64 span = qint64(max) - qint64(min);
    const qint64 product = span * qint64(percent);
    constexpr qint64 lo = std::numeric_limits<qint32>::min();
    constexpr qint64 hi = std::numeric_limits<qint32>::max();
    if (span < lo || span > hi || product < lo || product > hi)
        return std::nullopt;
    const qint64 value = qint64(min) + divideHalfEven(product, 100);
    if (value < lo || value > hi)
        return std::nullopt;
    return int(value);
}

std::optional<int> TextPreparation::wholeNumber(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    const int whole = t.toInt(&ok);
    if (ok)
        return whole;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d) || d < std::numeric_limits<int>::min() - 0.5
        || d > std::numeric_limits<int>::max() + 0.5)
        return std::nullopt;
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(d);
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(r);
}

int TextPreparation::RandomBetween(int low, int high, const std::function<double()> &random)
{
    double r = random ? random() : QRandomGenerator::global()->generateDouble();
    if (!(r >= 0.0))
        r = 0.0;
    if (r >= 1.0)
        r = std::nextafter(1.0, 0.0);
    std::fesetround(FE_TONEAREST);
    const double value = std::nearbyint(r * (double(high) - double(low)) + double(low));
    return int(std::clamp(value, double(std::min(low, high)), double(std::max(low, high))));
}
