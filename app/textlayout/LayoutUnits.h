#pragma once

// Lengths of the document layout are kept in 1/64 pixels, rounded the way
// QTextLayout rounds them, so that adding them up gives the same positions a
// line-by-line layout gives.

#include <QtGlobal>
#include <QtMath>

namespace LayoutUnits {

inline qint64 fx(qreal v)
{
    return qRound64(v * 64.0);
}

// Margins and indents from a document; absurd ones (a broken file) are
// capped so that the sums of them stay far from overflowing.
inline qint64 fxLength(qreal v)
{
    return qIsFinite(v) ? fx(qBound(qreal(-1e6), v, qreal(1e6))) : 0;
}

// A position asked about, which may be anything.
inline qint64 fxCoordinate(qreal v)
{
    return qIsFinite(v) ? fx(qBound(qreal(-1e12), v, qreal(1e12))) : 0;
}

inline qreal real(qint64 v)
{
    return qreal(v) / 64.0;
}

} // namespace LayoutUnits
