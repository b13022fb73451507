#include "WavRecorder.h"

#include "FileErrors.h"
#include "ReplacingFile.h"
#include "SpeechTexts.h"

#include <QFile>

#include <sndfile.h>

#include <cerrno>

WavRecorder::WavRecorder(int sampleRate, DiskReserve::Probe probe)
    : m_sampleRate(sampleRate), m_probe(std::move(probe))
{
}

WavRecorder::~WavRecorder()
{
    close(false);
}

bool WavRecorder::open(const QString &path, Placement placement)
{
    // A recording still open was not finished: it does not replace anything.
    close(false);
    m_path = path;
    m_frames = 0;
    m_bytesSinceCheck = 0;
    m_stoppedForSpace = false;
    m_failed = false;
    m_error.clear();
    SF_INFO info{};
    info.samplerate = m_sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_RF64 | SF_FORMAT_PCM_16;
    if (placement == Placement::ReplaceWhenComplete) {
        m_replacement = std::make_unique<ReplacingFile>(path);
        if (!m_replacement->open()) {
            failUsersFile(m_replacement->errorDescription());
            m_replacement.reset();
            return false;
        }
        m_file = sf_open_fd(m_replacement->handle(), SFM_WRITE, &info, SF_FALSE);
    } else {
        m_file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    }
    if (!m_file) {
        m_error = QString::fromLocal8Bit(sf_strerror(nullptr));
        if (m_replacement)
            failUsersFile(FileErrors::description(FileErrors::kDeviceIoError));
        m_replacement.reset();
        return false;
    }
    // Written as RIFF WAVE with room for the 64-bit sizes, which take the
    // room over only when the file passes 4 GiB.
    sf_command(m_file, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
    sf_command(m_file, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
    // An empty recording is still a complete file.
    sf_command(m_file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    if (!keepsReserve(CheckEveryBytes))
        close(false);
    return true;
}

void WavRecorder::failUsersFile(const QString &reason)
{
    m_error = SpeechTexts::recordingFailed(m_path, reason);
    m_failed = true;
}

bool WavRecorder::keepsReserve(qint64 bytes)
{
    if (!m_probe)
        return true;
    // A new file beside its target is asked for by a name of its own, which
    // tells its volume and its size so far.
    const std::optional<DiskReserve::Space> space =
        m_probe(m_replacement ? m_replacement->readablePath() : m_path);
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
            close(false);
            return false;
        }
        m_bytesSinceCheck = 0;
    }
    m_bytesSinceCheck += bytes;
    const sf_count_t done = sf_write_short(m_file, samples, count);
    m_frames += done;
    if (done != count) {
        m_error = QString::fromLocal8Bit(sf_strerror(m_file));
        if (m_replacement) {
            m_replacement->failWithErrno(errno, FileErrors::kDeviceIoError);
            failUsersFile(m_replacement->errorDescription());
        }
        return false;
    }
    return true;
}

bool WavRecorder::close(bool complete)
{
    if (m_file) {
        errno = 0;
        if (sf_close(m_file) != 0 && m_replacement && !m_failed) {
            m_replacement->failWithErrno(errno, FileErrors::kDeviceIoError);
            failUsersFile(m_replacement->errorDescription());
        }
        m_file = nullptr;
    }
    if (!m_replacement)
        return true;
    const std::unique_ptr<ReplacingFile> replacement = std::move(m_replacement);
    if (!complete || m_failed || m_stoppedForSpace) {
        replacement->discard();
        return !m_failed;
    }
    if (!replacement->commit()) {
        failUsersFile(replacement->errorDescription());
        return false;
    }
    return true;
}
