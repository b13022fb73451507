#include "ChapterSpool.h"

#include "AudiobookTexts.h"
#include "FileErrors.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

// The file: a header ("QNKS", version, sample rate), then records of a kind
// byte, a 32-bit payload length and the payload, ended by an 'E' record
// with the chapter's frames. Numbers in the machine's byte order: a spool
// is read back on the machine that wrote it.
namespace {

constexpr char kMagic[4] = {'Q', 'N', 'K', 'S'};
constexpr quint32 kVersion = 1;
constexpr qint64 kHeaderBytes = 12;
constexpr qint64 kRecordHead = 5;
// A record's payload is never larger: samples come in pieces of at most
// this many bytes, and a title or sentence is far smaller.
constexpr quint32 kMaxPayload = quint32(4) << 20;
constexpr qint64 kMaxSampleFrames = kMaxPayload / sizeof(short) / 2;
// Further than this (about a year of audio) no pause or mark can be.
constexpr qint64 kMaxFrameDistance = qint64(1) << 40;

bool plausible(qint64 frames)
{
    return frames > -kMaxFrameDistance && frames < kMaxFrameDistance;
}

template <typename T>
void put(QByteArray &bytes, T value)
{
    bytes.append(reinterpret_cast<const char *>(&value), sizeof value);
}

template <typename T>
bool take(const QByteArray &bytes, qsizetype &at, T &value)
{
    if (at + qsizetype(sizeof value) > bytes.size())
        return false;
    std::memcpy(&value, bytes.constData() + at, sizeof value);
    at += qsizetype(sizeof value);
    return true;
}

QString errnoText(int error)
{
    return FileErrors::description(FileErrors::numberForErrno(error, FileErrors::kDeviceIoError));
}

} // namespace

ChapterSpool::ChapterSpool(const QString &path, int sampleRate, qint64 pauseFrames)
    : m_path(path), m_rate(sampleRate), m_pauseFrames(std::max<qint64>(0, pauseFrames))
{
}

ChapterSpool::~ChapterSpool()
{
    if (m_file)
        std::fclose(m_file);
}

void ChapterSpool::failed(int error)
{
    if (m_error.isEmpty())
        m_error = AudiobookTexts::spoolFailed(errnoText(error));
}

bool ChapterSpool::open()
{
    m_file = std::fopen(QFile::encodeName(m_path).constData(), "wbe");
    if (!m_file) {
        failed(errno);
        return false;
    }
    QByteArray header(kMagic, sizeof kMagic);
    put(header, kVersion);
    put(header, quint32(m_rate));
    if (std::fwrite(header.constData(), 1, size_t(header.size()), m_file) != size_t(header.size())) {
        failed(errno);
        return false;
    }
    return true;
}

bool ChapterSpool::record(char kind, const QByteArray &payload)
{
    if (!m_file || !m_error.isEmpty()) {
        if (m_error.isEmpty())
            m_error = AudiobookTexts::notOpen();
        return false;
    }
    QByteArray head(1, kind);
    put(head, quint32(payload.size()));
    if (std::fwrite(head.constData(), 1, size_t(head.size()), m_file) != size_t(head.size())
        || std::fwrite(payload.constData(), 1, size_t(payload.size()), m_file) != size_t(payload.size())) {
        failed(errno);
        return false;
    }
    return true;
}

void ChapterSpool::beginChapter(const QString &title)
{
    m_frames = 0;
    QByteArray text = title.toUtf8();
    text.truncate(kMaxPayload);
    record('B', text);
}

bool ChapterSpool::write(const short *samples, qint64 count)
{
    while (count > 0) {
        const qint64 piece = std::min(count, kMaxSampleFrames);
        if (!record('S', QByteArray::fromRawData(reinterpret_cast<const char *>(samples),
                                                 qsizetype(piece * qint64(sizeof(short))))))
            return false;
        samples += piece;
        count -= piece;
        m_frames += piece;
    }
    return m_error.isEmpty();
}

bool ChapterSpool::paragraphBreak()
{
    QByteArray payload;
    put(payload, m_pauseFrames);
    if (!record('P', payload))
        return false;
    m_frames += m_pauseFrames;
    return true;
}

void ChapterSpool::markSentence(qint64 frame, const QString &text)
{
    QByteArray payload;
    put(payload, frame - m_frames);
    QByteArray utf8 = text.toUtf8();
    utf8.truncate(kMaxPayload - qsizetype(sizeof(qint64)));
    payload.append(utf8);
    record('M', payload);
}

void ChapterSpool::markWord(qint64 frame, int positionInSentence)
{
    QByteArray payload;
    put(payload, frame - m_frames);
    put(payload, qint32(positionInSentence));
    record('W', payload);
}

bool ChapterSpool::close()
{
    if (!m_file)
        return m_error.isEmpty();
    QByteArray payload;
    put(payload, m_frames);
    record('E', payload);
    if (std::fflush(m_file) != 0)
        failed(errno);
    if (std::fclose(m_file) != 0)
        failed(errno);
    m_file = nullptr;
    return m_error.isEmpty();
}

ChapterSpool::Replay ChapterSpool::replay(const QString &path, int sampleRate, ChapterReceiver &receiver)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Replay result;
        result.status = Replay::Status::Damaged;
        result.error = AudiobookTexts::spoolNotReadable(file.errorString());
        return result;
    }
    return replay(file, sampleRate, receiver);
}

ChapterSpool::Replay ChapterSpool::replay(QIODevice &file, int sampleRate, ChapterReceiver &receiver)
{
    Replay result;
    const auto damaged = [&result](const QString &reason) {
        result.status = Replay::Status::Damaged;
        result.error = AudiobookTexts::chapterSpoolDamaged(reason);
        return result;
    };
    file.seek(0);
    const qint64 size = file.size();
    const QByteArray header = file.read(kHeaderBytes);
    if (header.size() < kHeaderBytes)
        return damaged(AudiobookTexts::spoolTruncated());
    qsizetype at = sizeof kMagic;
    quint32 version = 0;
    quint32 rate = 0;
    take(header, at, version);
    take(header, at, rate);
    if (std::memcmp(header.constData(), kMagic, sizeof kMagic) != 0 || version != kVersion)
        return damaged(AudiobookTexts::spoolNotASpool());
    if (rate != quint32(sampleRate))
        return damaged(AudiobookTexts::spoolOtherRate(int(std::min<quint32>(rate, INT_MAX)), sampleRate));

    qint64 frames = 0;
    bool begun = false;
    std::vector<short> samples;
    while (true) {
        const qint64 offset = file.pos();
        const QByteArray head = file.read(kRecordHead);
        if (head.size() < kRecordHead)
            return damaged(AudiobookTexts::spoolTruncated());
        const char kind = head.at(0);
        quint32 length = 0;
        qsizetype headAt = 1;
        take(head, headAt, length);
        if (length > kMaxPayload)
            return damaged(AudiobookTexts::spoolBadRecord(offset));
        if (qint64(length) > size - file.pos())
            return damaged(AudiobookTexts::spoolTruncated());
        const QByteArray payload = file.read(length);
        if (payload.size() != qsizetype(length))
            return damaged(AudiobookTexts::spoolTruncated());
        qsizetype p = 0;
        qint64 number = 0;
        // Everything but the title needs a begun chapter.
        if (kind != 'B' && !begun)
            return damaged(AudiobookTexts::spoolBadRecord(offset));
        switch (kind) {
        case 'B':
            if (begun)
                return damaged(AudiobookTexts::spoolBadRecord(offset));
            begun = true;
            receiver.beginChapter(QString::fromUtf8(payload));
            break;
        case 'S': {
            if (length % sizeof(short) != 0)
                return damaged(AudiobookTexts::spoolBadRecord(offset));
            samples.resize(length / sizeof(short));
            std::memcpy(samples.data(), payload.constData(), length);
            if (!receiver.write(samples.data(), qint64(samples.size()))) {
                result.status = Replay::Status::ReceiverFailed;
                return result;
            }
            frames += qint64(samples.size());
            break;
        }
        case 'P':
            if (!take(payload, p, number) || p != payload.size() || number < 0 || !plausible(number))
                return damaged(AudiobookTexts::spoolBadRecord(offset));
            if (!receiver.paragraphBreak()) {
                result.status = Replay::Status::ReceiverFailed;
                return result;
            }
            frames += number;
            if (frames >= kMaxFrameDistance)
                return damaged(AudiobookTexts::spoolBadRecord(offset));
            break;
        case 'M':
            if (!take(payload, p, number) || !plausible(number))
                return damaged(AudiobookTexts::spoolBadRecord(offset));
            receiver.markSentence(receiver.chapterFrames() + number, QString::fromUtf8(payload.mid(p)));
            break;
        case 'W': {
            qint32 position = 0;
            if (!take(payload, p, number) || !take(payload, p, position) || p != payload.size() || !plausible(number))
                return damaged(AudiobookTexts::spoolBadRecord(offset));
            receiver.markWord(receiver.chapterFrames() + number, position);
            break;
        }
        case 'E':
            if (!take(payload, p, number) || p != payload.size() || number != frames || file.pos() != size)
                return damaged(AudiobookTexts::spoolBadRecord(offset));
            return result;
        default:
            return damaged(AudiobookTexts::spoolBadRecord(offset));
        }
    }
}
