#include "SpeechNumbers.h"

#include <QRandomGenerator>

#include <algorithm>
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

namespace SpeechNumbers {

std::optional<int> percentToEngineValue(int min, int max, int percent)
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

std::optional<int> wholeNumber(const QString &text)
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

int RandomBetween(int low, int high, const std::function<double()> &random)
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

} // namespace SpeechNumbers
