// Fuzz target: any bytes as a chapter spool that a worker process left for
// the parallel audiobook export, replayed into a receiver; and every line
// of the same bytes as an answer of a worker. The replay must end complete,
// damaged with a German reason, or refused by the receiver; the receiver
// hears of one chapter before anything else and never of more samples than
// the bytes hold. An answer read must be in range.
#include "ChapterReceiver.h"
#include "ChapterSpool.h"
#include "WorkerProtocol.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kRate = 22050;

class CheckingReceiver : public ChapterReceiver
{
public:
    explicit CheckingReceiver(qint64 bytes) : m_bytes(bytes) {}
    void beginChapter(const QString &) override
    {
        if (m_begun)
            std::abort();
        m_begun = true;
    }
    qint64 chapterFrames() const override { return m_frames; }
    bool write(const short *samples, qint64 count) override
    {
        if (!m_begun || count < 0)
            std::abort();
        volatile short last = count > 0 ? samples[count - 1] : 0; // the samples must be readable
        (void)last;
        m_samples += count;
        m_frames += count;
        if (m_samples * qint64(sizeof(short)) > m_bytes)
            std::abort();
        // Refuse now and then, as a full disk would.
        return m_samples % 4099 != 7;
    }
    bool paragraphBreak() override
    {
        if (!m_begun)
            std::abort();
        m_frames += 11;
        return true;
    }
    void markSentence(qint64, const QString &) override
    {
        if (!m_begun)
            std::abort();
    }
    void markWord(qint64, int) override
    {
        if (!m_begun)
            std::abort();
    }

private:
    const qint64 m_bytes;
    bool m_begun = false;
    qint64 m_frames = 0;
    qint64 m_samples = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CheckingReceiver receiver(static_cast<qint64>(size));
    const ChapterSpool::Replay replay = ChapterSpool::replay(buffer, kRate, receiver);
    if (replay.status == ChapterSpool::Replay::Status::Damaged
        && !replay.error.startsWith(QStringLiteral("Die Zwischendatei eines Kapitels ist beschädigt: ")))
        std::abort();
    if (replay.status != ChapterSpool::Replay::Status::Damaged && !replay.error.isEmpty())
        std::abort();

    for (const QByteArray &line : bytes.split('\n')) {
        const std::optional<WorkerProtocol::Answer> answer = WorkerProtocol::parseAnswer(line);
        if (answer && (answer->index < -1 || answer->share < 0.0 || answer->share > 1.0))
            std::abort();
    }
    return 0;
}
