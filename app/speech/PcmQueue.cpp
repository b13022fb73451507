#include "PcmQueue.h"

#include <algorithm>
#include <cstring>

quint64 PcmQueue::generation() const
{
    std::lock_guard lock(m_mutex);
    return m_generation;
}

void PcmQueue::clear(quint64 generation)
{
    std::lock_guard lock(m_mutex);
    m_generation = generation;
    m_read = m_written;
    m_samples.clear();
    m_samples.shrink_to_fit();
    m_offset = 0;
    m_marks.clear();
}

bool PcmQueue::append(quint64 generation, const qint16 *samples, qint64 count)
{
    std::function<void(qint64)> observer;
    qint64 written = 0;
    {
        std::lock_guard lock(m_mutex);
        if (generation != m_generation || count < 0)
            return false;
        if (count > 0)
            m_samples.insert(m_samples.end(), samples, samples + count);
        m_written += count;
        written = m_written;
        observer = m_observer;
    }
    if (observer)
        observer(written);
    return true;
}

bool PcmQueue::addMark(quint64 generation, const Mark &mark)
{
    std::lock_guard lock(m_mutex);
    if (generation != m_generation)
        return false;
    Mark m = mark;
    // A mark can never lie in audio that has already been played.
    m.frame = std::max(m.frame, m_read);
    auto at = std::upper_bound(m_marks.begin(), m_marks.end(), m.frame,
                               [](qint64 f, const Mark &x) { return f < x.frame; });
    m_marks.insert(at, m);
    return true;
}

qint64 PcmQueue::framesWritten() const
{
    std::lock_guard lock(m_mutex);
    return m_written;
}

qint64 PcmQueue::framesRead() const
{
    std::lock_guard lock(m_mutex);
    return m_read;
}

qint64 PcmQueue::framesAvailable() const
{
    std::lock_guard lock(m_mutex);
    return m_written - m_read;
}

qint64 PcmQueue::read(qint16 *samples, qint64 maxFrames)
{
    std::lock_guard lock(m_mutex);
    const qint64 n = std::clamp<qint64>(m_written - m_read, 0, std::max<qint64>(maxFrames, 0));
    if (n > 0)
        std::memcpy(samples, m_samples.data() + m_offset, std::size_t(n) * sizeof(qint16));
    m_offset += std::size_t(n);
    m_read += n;
    compact();
    return n;
}

qint64 PcmQueue::skip(qint64 maxFrames)
{
    std::lock_guard lock(m_mutex);
    const qint64 n = std::clamp<qint64>(m_written - m_read, 0, std::max<qint64>(maxFrames, 0));
    m_offset += std::size_t(n);
    m_read += n;
    compact();
    return n;
}

void PcmQueue::compact()
{
    // Drop what was played once it is the larger part, so a long text does
    // not keep all of its audio alive until the end.
    if (m_offset > 65536 && m_offset * 2 > m_samples.size()) {
        m_samples.erase(m_samples.begin(), m_samples.begin() + std::ptrdiff_t(m_offset));
        m_offset = 0;
    }
}

std::vector<PcmQueue::Mark> PcmQueue::takeMarksUpTo(qint64 frame)
{
    std::lock_guard lock(m_mutex);
    auto end = std::upper_bound(m_marks.begin(), m_marks.end(), frame,
                                [](qint64 f, const Mark &x) { return f < x.frame; });
    std::vector<Mark> taken(m_marks.begin(), end);
    m_marks.erase(m_marks.begin(), end);
    return taken;
}

bool PcmQueue::hasMarks() const
{
    std::lock_guard lock(m_mutex);
    return !m_marks.empty();
}

void PcmQueue::setAppendObserver(std::function<void(qint64)> observer)
{
    std::lock_guard lock(m_mutex);
    m_observer = std::move(observer);
}
