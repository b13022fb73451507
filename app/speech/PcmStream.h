#pragma once
// PcmStream: the QIODevice a QAudioSink pulls from. It takes mono samples
// from a PcmQueue and hands them on as interleaved stereo, each channel
// scaled by its own volume.

#include "PcmQueue.h"

#include <QIODevice>

#include <atomic>
#include <memory>
#include <vector>

class PcmStream : public QIODevice
{
    Q_OBJECT
public:
    explicit PcmStream(std::shared_ptr<PcmQueue> queue, QObject *parent = nullptr);

    // 0.0 .. 1.0 for each channel.
    void setGains(double left, double right);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    std::shared_ptr<PcmQueue> m_queue;
    std::atomic<int> m_leftGain{65536}; // 16.16 fixed point
    std::atomic<int> m_rightGain{65536};
    std::vector<qint16> m_mono;
};
