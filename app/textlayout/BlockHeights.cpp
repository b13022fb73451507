#include "BlockHeights.h"

#include <utility>

void BlockHeights::assign(std::vector<qint64> values)
{
    m_values = std::move(values);
    rebuild();
}

void BlockHeights::insert(int index, int count, qint64 value)
{
    index = qBound(0, index, size());
    if (count <= 0)
        return;
    if (index < size()) {
        m_values.insert(m_values.begin() + index, size_t(count), value);
        rebuild();
        return;
    }
    // Blocks added at the end (a document filled paragraph by paragraph)
    // extend the tree in O(log n) each instead of rebuilding it.
    for (int k = 0; k < count; ++k) {
        const size_t i = m_values.size() + 1;
        const size_t low = i & (~i + 1);
        m_values.push_back(value);
        m_tree.resize(i + 1, 0);
        m_tree[i] = value + offsetOf(int(i - 1)) - offsetOf(int(i - low));
        m_total += value;
    }
}

void BlockHeights::remove(int index, int count)
{
    index = qBound(0, index, size());
    count = qBound(0, count, size() - index);
    if (count == 0)
        return;
    if (index + count == size()) {
        // Every tree entry covers a range ending at its own index, so those
        // before the cut stay right.
        for (int k = 0; k < count; ++k) {
            m_total -= m_values.back();
            m_values.pop_back();
        }
        m_tree.resize(m_values.size() + 1);
        return;
    }
    m_values.erase(m_values.begin() + index, m_values.begin() + index + count);
    rebuild();
}

void BlockHeights::set(int index, qint64 value)
{
    if (index < 0 || index >= size())
        return;
    const qint64 delta = value - m_values[size_t(index)];
    if (delta == 0)
        return;
    m_values[size_t(index)] = value;
    m_total += delta;
    const size_t n = m_values.size();
    for (size_t i = size_t(index) + 1; i <= n; i += i & (~i + 1))
        m_tree[i] += delta;
}

qint64 BlockHeights::offsetOf(int index) const
{
    index = qBound(0, index, size());
    qint64 sum = 0;
    for (size_t i = size_t(index); i > 0; i -= i & (~i + 1))
        sum += m_tree[i];
    return sum;
}

int BlockHeights::indexAt(qint64 offset) const
{
    const size_t n = m_values.size();
    if (n == 0 || offset < 0)
        return 0;
    // Walk down the tree to the largest prefix whose sum stays <= offset.
    size_t step = 1;
    while (step * 2 <= n)
        step *= 2;
    size_t pos = 0;
    qint64 remaining = offset;
    for (; step > 0; step /= 2) {
        const size_t next = pos + step;
        if (next <= n && m_tree[next] <= remaining) {
            pos = next;
            remaining -= m_tree[next];
        }
    }
    // The first pos blocks end at or before offset, so block pos holds it;
    // blocks of no height (hidden ones) are stepped over on the way.
    return int(qMin(pos, n - 1));
}

void BlockHeights::rebuild()
{
    const size_t n = m_values.size();
    m_tree.assign(n + 1, 0);
    m_total = 0;
    for (size_t i = 1; i <= n; ++i) {
        m_tree[i] += m_values[i - 1];
        m_total += m_values[i - 1];
        const size_t parent = i + (i & (~i + 1));
        if (parent <= n)
            m_tree[parent] += m_tree[i];
    }
}
