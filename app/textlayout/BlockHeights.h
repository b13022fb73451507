#pragma once

#include <QtGlobal>

#include <vector>

// The vertical advance of every block in 1/64 pixel units (the fixed-point
// unit QTextLayout itself works in, so sums are exact and match a layout that
// adds them one after the other). A Fenwick tree gives the offset of a
// block, the block at an offset and the total in O(log n); a change of the
// block count rebuilds it in O(n), which for 100,000 blocks is well under a
// millisecond.
class BlockHeights
{
public:
    void assign(std::vector<qint64> values);
    void insert(int index, int count, qint64 value);
    void remove(int index, int count);

    int size() const { return int(m_values.size()); }
    qint64 value(int index) const { return m_values[size_t(index)]; }
    void set(int index, qint64 value);

    // Sum of the values of the blocks before index.
    qint64 offsetOf(int index) const;
    qint64 total() const { return m_total; }
    // The block whose span [offsetOf(i), offsetOf(i) + value(i)) holds offset;
    // offsets past the end give the last block, negative ones the first.
    int indexAt(qint64 offset) const;

private:
    void rebuild();

    std::vector<qint64> m_values;
    std::vector<qint64> m_tree; // 1-based
    qint64 m_total = 0;
};
