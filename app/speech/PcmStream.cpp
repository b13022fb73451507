#include "PcmStream.h"

#include <algorithm>
#include <cstring>

PcmStream::PcmStream(std::shared_ptr<PcmQueue> queue, QObject *parent)
    : QIODevice(parent), m_queue(std::move(queue))
{
}

void PcmStream::setGains(double left, double right)
{
    m_leftGain = int(std::clamp(left, 0.0, 1.0) * 65536.0);
    m_rightGain = int(std::clamp(right, 0.0, 1.0) * 65536.0);
}

qint64 PcmStream::bytesAvailable() const
{
    return m_queue->framesAvailable() * 4 + QIODevice::bytesAvailable();
}

qint64 PcmStream::readData(char *data, qint64 maxSize)
{
    const qint64 frames = maxSize / 4;
    if (frames <= 0)
        return 0;
    if (qint64(m_mono.size()) < frames)
        m_mono.resize(std::size_t(frames));
    const qint64 got = m_queue->read(m_mono.data(), frames);
    const int left = m_leftGain;
    const int right = m_rightGain;
    auto *out = reinterpret_cast<qint16 *>(data);
    for (qint64 i = 0; i < got; ++i) {
        const qint64 s = m_mono[std::size_t(i)];
        out[2 * i] = qint16((s * left) >> 16);
        out[2 * i + 1] = qint16((s * right) >> 16);
    }
    return got * 4;
}

qint64 PcmStream::writeData(const char *, qint64)
{
    return -1;
}
