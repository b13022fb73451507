#pragma once
// WavRecorder: the recorder instance's WAV file, 16-bit PCM mono at the
// engine's rate, written with libsndfile.
//
// The header is rewritten after every write, so the file is a valid WAV at
// every moment: a copy taken while recording, or the file left by a reset in
// the middle of a text, plays what was synthesised up to then. Used on the
// synthesis thread only.

#include <QString>

struct sf_private_tag;

class WavRecorder
{
public:
    explicit WavRecorder(int sampleRate);
    ~WavRecorder();
    WavRecorder(const WavRecorder &) = delete;
    WavRecorder &operator=(const WavRecorder &) = delete;

    // Creates (or truncates) the file; false with errorString() when it
    // cannot be written.
    bool open(const QString &path);
    bool isOpen() const { return m_file != nullptr; }
    QString path() const { return m_path; }
    // Appends samples; false when the disk refuses them.
    bool write(const short *samples, long long count);
    void close();
    long long framesWritten() const { return m_frames; }
    QString errorString() const { return m_error; }

private:
    int m_sampleRate;
    sf_private_tag *m_file = nullptr;
    QString m_path;
    QString m_error;
    long long m_frames = 0;
};
