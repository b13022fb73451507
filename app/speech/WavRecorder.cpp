#include "WavRecorder.h"

#include "SpeechTexts.h"

#include <QFile>

#include <sndfile.h>

WavRecorder::WavRecorder(int sampleRate, DiskReserve::Probe probe)
    : m_sampleRate(sampleRate), m_probe(std::move(probe))
{
}

WavRecorder::~WavRecorder()
{
    close();
}

bool WavRecorder::open(const QString &path)
{
    close();
    m_path = path;
    m_frames = 0;
    m_bytesSinceCheck = 0;
    m_stoppedForSpace = false;
    m_error.clear();
    SF_INFO info{};
    info.samplerate = m_sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_RF64 | SF_FORMAT_PCM_16;
    m_file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!m_file) {
        m_error = QString::fromLocal8Bit(sf_strerror(nullptr));
        return false;
    }
    // Written as RIFF WAVE with room for the 64-bit sizes, which take the
    // room over only when the file passes 4 GiB.
    sf_command(m_file, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
    sf_command(m_file, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
    // An empty recording is still a complete file.
    sf_command(m_file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    if (!keepsReserve(CheckEveryBytes))
        close();
    return true;
}

bool WavRecorder::keepsReserve(qint64 bytes)
{
    if (!m_probe)
        return true;
    const std::optional<DiskReserve::Space> space = m_probe(m_path);
    if (!space || DiskReserve::allows(*space, bytes))
        return true;
    m_stoppedForSpace = true;
    m_error = SpeechTexts::recordingStoppedForSpace(DiskReserve::reserveFor(space->total));
    return false;
}

bool WavRecorder::write(const short *samples, long long count)
{
    if (!m_file || count <= 0)
        return m_file != nullptr;
    const qint64 bytes = qint64(count) * qint64(sizeof(short));
    if (m_bytesSinceCheck + bytes > CheckEveryBytes || m_bytesSinceCheck == 0) {
        // The reserve must hold until the next ask, CheckEveryBytes from now.
        if (!keepsReserve(bytes + CheckEveryBytes)) {
            close();
            return false;
        }
        m_bytesSinceCheck = 0;
    }
    m_bytesSinceCheck += bytes;
    const sf_count_t done = sf_write_short(m_file, samples, count);
    m_frames += done;
    if (done != count) {
        m_error = QString::fromLocal8Bit(sf_strerror(m_file));
        return false;
    }
    return true;
}

void WavRecorder::close()
{
    if (m_file) {
        sf_close(m_file);
        m_file = nullptr;
    }
}
