#include "WavRecorder.h"

#include <QFile>

#include <sndfile.h>

WavRecorder::WavRecorder(int sampleRate) : m_sampleRate(sampleRate) {}

WavRecorder::~WavRecorder()
{
    close();
}

bool WavRecorder::open(const QString &path)
{
    close();
    m_path = path;
    m_frames = 0;
    m_error.clear();
    SF_INFO info{};
    info.samplerate = m_sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    m_file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!m_file) {
        m_error = QString::fromLocal8Bit(sf_strerror(nullptr));
        return false;
    }
    sf_command(m_file, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
    // An empty recording is still a complete file.
    sf_command(m_file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    return true;
}

bool WavRecorder::write(const short *samples, long long count)
{
    if (!m_file || count <= 0)
        return m_file != nullptr;
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
