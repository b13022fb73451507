#include "OffsetMap.h"

#include <algorithm>

void OffsetMap::addReplacement(int spokenFrom, int spokenTo, int writtenFrom, int writtenTo)
{
    m_replacements.append({spokenFrom, spokenTo, writtenFrom, writtenTo});
}

int OffsetMap::lastStartingAtOrBefore(int spoken) const
{
    auto it = std::upper_bound(m_replacements.begin(), m_replacements.end(), spoken,
                               [](int s, const Replacement &r) { return s < r.spokenFrom; });
    return int(it - m_replacements.begin()) - 1;
}

int OffsetMap::writtenStart(int spoken) const
{
    const int i = lastStartingAtOrBefore(spoken);
    if (i < 0)
        return spoken;
    const Replacement &r = m_replacements.at(i);
    if (spoken < r.spokenTo)
        return r.writtenFrom;
    return r.writtenTo + (spoken - r.spokenTo);
}

int OffsetMap::writtenEnd(int spoken) const
{
    // An end is inside a replacement when it lies after its start.
    const int i = lastStartingAtOrBefore(spoken - 1);
    if (i < 0)
        return spoken;
    const Replacement &r = m_replacements.at(i);
    if (spoken <= r.spokenTo)
        return r.writtenTo;
    return r.writtenTo + (spoken - r.spokenTo);
}

bool OffsetMap::isBoundary(int spoken) const
{
    const int i = lastStartingAtOrBefore(spoken);
    return i < 0 || spoken == m_replacements.at(i).spokenFrom || spoken >= m_replacements.at(i).spokenTo;
}
