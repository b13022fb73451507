#pragma once
// OffsetMap: where a position of the spoken text lies in the written text
// it was made from. Only the replacements are kept; between them the two
// texts are the same, shifted. Positions in QString units.

#include <QList>

class OffsetMap
{
public:
    // Replacements are added in increasing order.
    void addReplacement(int spokenFrom, int spokenTo, int writtenFrom, int writtenTo);

    // The written position of a spoken one; inside a replacement, its start.
    int writtenStart(int spoken) const;
    // The written position of a spoken end; inside a replacement, its end.
    int writtenEnd(int spoken) const;
    // False inside a replacement: the spoken text cannot be resumed there.
    bool isBoundary(int spoken) const;
    bool isEmpty() const { return m_replacements.isEmpty(); }
    int replacementCount() const { return int(m_replacements.size()); }

private:
    struct Replacement {
        int spokenFrom, spokenTo, writtenFrom, writtenTo;
    };
    // The last replacement starting at or before spoken (index), or -1.
    int lastStartingAtOrBefore(int spoken) const;
    QList<Replacement> m_replacements;
};
