#include "WavAnalysis.h"

#include <QFile>

#include <sndfile.h>

#include <algorithm>
#include <cmath>

WavAnalysis WavAnalysis::read(const QString &path)
{
    WavAnalysis result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    const QByteArray bytes = file.readAll();
    if (bytes.size() >= 44 && bytes.startsWith("RIFF")) {
        auto u32 = [&bytes](qsizetype at) {
            quint32 v = 0;
            for (int i = 3; i >= 0; --i)
                v = (v << 8) | quint8(bytes.at(at + i));
            return v;
        };
        const quint32 riff = u32(4);
        // The data chunk is the last chunk libsndfile writes.
        const qsizetype data = bytes.indexOf("data", 12);
        const quint32 dataSize = data > 0 && data + 8 <= bytes.size() ? u32(data + 4) : 0;
        result.headerMatchesSize = data > 0 && riff == quint32(bytes.size() - 8)
                                   && dataSize == quint32(bytes.size() - data - 8);
    }
    SF_INFO info{};
    SNDFILE *sf = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!sf)
        return result;
    // Recordings are RF64 kept as RIFF WAVE, whose format chunk is the
    // extensible one: libsndfile reads them as WAVEX.
    const int type = info.format & SF_FORMAT_TYPEMASK;
    result.valid = (type == SF_FORMAT_WAV || type == SF_FORMAT_WAVEX)
                   && (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16;
    result.sampleRate = info.samplerate;
    result.channels = info.channels;
    result.frames = info.frames;
    result.samples.resize(std::size_t(info.frames * info.channels));
    sf_read_short(sf, result.samples.data(), sf_count_t(result.samples.size()));
    sf_close(sf);
    return result;
}

double WavAnalysis::rms() const
{
    if (samples.empty())
        return 0.0;
    double sum = 0;
    for (short s : samples)
        sum += double(s) * s;
    return std::sqrt(sum / double(samples.size()));
}

int WavAnalysis::peak() const
{
    int p = 0;
    for (short s : samples)
        p = std::max(p, std::abs(int(s)));
    return p;
}

double WavAnalysis::medianPitch() const
{
    if (sampleRate <= 0 || channels != 1)
        return 0.0;
    const int window = sampleRate / 25; // 40 ms
    const int minLag = sampleRate / 500;
    const int maxLag = sampleRate / 60;
    std::vector<double> pitches;
    for (std::size_t start = 0; start + std::size_t(window + maxLag) < samples.size();
         start += std::size_t(window / 2)) {
        const short *x = samples.data() + start;
        double energy = 0;
        for (int i = 0; i < window; ++i)
            energy += double(x[i]) * x[i];
        if (energy / window < 500.0 * 500.0)
            continue; // too quiet to be voiced
        double best = 0;
        int bestLag = 0;
        for (int lag = minLag; lag <= maxLag; ++lag) {
            double c = 0, e2 = 0;
            for (int i = 0; i < window; ++i) {
                c += double(x[i]) * x[i + lag];
                e2 += double(x[i + lag]) * x[i + lag];
            }
            const double r = c / std::sqrt(energy * e2 + 1.0);
            if (r > best) {
                best = r;
                bestLag = lag;
            }
        }
        if (best > 0.6 && bestLag > 0)
            pitches.push_back(double(sampleRate) / bestLag);
    }
    if (pitches.empty())
        return 0.0;
    std::nth_element(pitches.begin(), pitches.begin() + long(pitches.size() / 2), pitches.end());
    return pitches[pitches.size() / 2];
}
