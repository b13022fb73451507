#include "ExtensionProtocol.h"

#include <algorithm>
#include <cstring>

#include <sys/socket.h>

namespace ExtensionProtocol {

namespace {

const char kNul = '\0';

bool knownKind(quint8 kind)
{
    return kind == quint8(Kind::Call) || kind == quint8(Kind::Reply) || kind == quint8(Kind::Windows);
}

// Reads a payload front to back; any read past its end fails for good.
class Cursor
{
public:
    explicit Cursor(const QByteArray &payload)
        : m_data(payload.constData())
        , m_size(size_t(payload.size()))
    {
    }

    bool u8(quint8 &out)
    {
        if (m_size - m_at < 1)
            return fail();
        out = quint8(m_data[m_at++]);
        return true;
    }

    bool u32(quint32 &out)
    {
        if (m_size - m_at < 4)
            return fail();
        std::memcpy(&out, m_data + m_at, 4);
        m_at += 4;
        return true;
    }

    // A text: its bytes, followed by the NUL the length leaves out.
    bool text(const char *&data, size_t &size)
    {
        quint32 length = 0;
        if (!u32(length) || m_size - m_at < size_t(length) + 1 || m_data[m_at + length] != '\0')
            return fail();
        data = m_data + m_at;
        size = length;
        m_at += size_t(length) + 1;
        return true;
    }

    bool atEnd() const { return m_ok && m_at == m_size; }

private:
    bool fail()
    {
        m_ok = false;
        m_at = m_size;
        return false;
    }

    const char *m_data;
    size_t m_size;
    size_t m_at = 0;
    bool m_ok = true;
};

} // namespace

FrameWriter::FrameWriter(Kind kind)
    : m_kind(kind)
{
    m_own.reserve(256);
}

void FrameWriter::own(const void *data, size_t size)
{
    const size_t offset = size_t(m_own.size());
    m_own.append(static_cast<const char *>(data), qsizetype(size));
    // Neighbouring own bytes are one piece.
    if (!m_pieces.empty() && !m_pieces.back().external && m_pieces.back().offset + m_pieces.back().size == offset)
        m_pieces.back().size += size;
    else
        m_pieces.push_back({nullptr, offset, size});
    m_payload += size;
}

void FrameWriter::addU8(quint8 value)
{
    own(&value, 1);
}

void FrameWriter::addU32(quint32 value)
{
    own(&value, 4);
}

void FrameWriter::addText(const char *data, size_t size)
{
    if (size > MaxPayload) {
        m_payload = size_t(MaxPayload) + 1;
        return;
    }
    addU32(quint32(size));
    if (size > 0) {
        m_pieces.push_back({data, 0, size});
        m_payload += size;
    }
    own(&kNul, 1);
}

std::vector<iovec> FrameWriter::pieces()
{
    // The header goes first; it is own bytes too, kept after the others.
    const size_t headerAt = size_t(m_own.size());
    const quint32 length = quint32(m_payload);
    m_own.append(reinterpret_cast<const char *>(&length), 4);
    m_own.append(char(m_kind));
    std::vector<iovec> out;
    out.reserve(m_pieces.size() + 1);
    out.push_back({m_own.data() + headerAt, HeaderSize});
    for (const Piece &p : m_pieces) {
        if (p.external)
            out.push_back({const_cast<char *>(p.external), p.size});
        else
            out.push_back({m_own.data() + p.offset, p.size});
    }
    return out;
}

ssize_t FrameSending::sendSome(int fd, int flags)
{
    msghdr msg{};
    msg.msg_iov = m_pieces.data() + m_first;
    msg.msg_iovlen = std::min<size_t>(m_pieces.size() - m_first, 512);
    const ssize_t sent = ::sendmsg(fd, &msg, flags);
    ssize_t n = sent;
    while (n > 0 && m_first < m_pieces.size()) {
        iovec &p = m_pieces[m_first];
        const size_t used = std::min(size_t(n), p.iov_len);
        p.iov_base = static_cast<char *>(p.iov_base) + used;
        p.iov_len -= used;
        n -= ssize_t(used);
        if (p.iov_len == 0)
            ++m_first;
    }
    return sent;
}

char *FrameReader::space(size_t &wanted)
{
    if (m_broken || m_ready) {
        wanted = 0;
        return nullptr;
    }
    if (!m_inPayload) {
        wanted = HeaderSize - m_headerFilled;
        return m_header + m_headerFilled;
    }
    // The buffer grows with what arrives, not with what the length
    // promises: a wrong length costs no memory that was never sent.
    if (size_t(m_buffer.size()) == m_payloadFilled)
        m_buffer.resize(qsizetype(std::min(m_payloadSize, std::max<size_t>(m_payloadFilled * 2, 1 << 20))));
    wanted = std::min(m_payloadSize, size_t(m_buffer.size())) - m_payloadFilled;
    return m_buffer.data() + m_payloadFilled;
}

void FrameReader::commit(size_t n)
{
    if (n == 0)
        return;
    if (!m_inPayload) {
        m_headerFilled += n;
        if (m_headerFilled == HeaderSize)
            headerDone();
        return;
    }
    m_payloadFilled += n;
    if (m_payloadFilled == m_payloadSize) {
        m_ready = Frame{Kind(quint8(m_header[4])), QByteArray::fromRawData(m_buffer.constData(), qsizetype(m_payloadSize))};
        m_payloadFilled = 0;
        m_headerFilled = 0;
        m_inPayload = false;
    }
}

void FrameReader::headerDone()
{
    quint32 length = 0;
    std::memcpy(&length, m_header, 4);
    if (length > MaxPayload || !knownKind(quint8(m_header[4]))) {
        m_broken = true;
        return;
    }
    if (length == 0) {
        m_ready = Frame{Kind(quint8(m_header[4])), QByteArray()};
        m_headerFilled = 0;
        return;
    }
    // Kept for the next frames up to 64 MB; a larger one is given back
    // after use.
    constexpr qsizetype kKept = 64 * 1024 * 1024;
    if (m_buffer.size() > kKept)
        m_buffer = QByteArray();
    m_payloadSize = length;
    m_payloadFilled = 0;
    m_inPayload = true;
}

void FrameReader::feed(const char *data, size_t size)
{
    while (size > 0) {
        size_t wanted = 0;
        char *to = space(wanted);
        if (!to || wanted == 0)
            return;
        const size_t n = std::min(wanted, size);
        std::memcpy(to, data, n);
        commit(n);
        data += n;
        size -= n;
    }
}

std::optional<FrameReader::Frame> FrameReader::take()
{
    std::optional<Frame> out = std::move(m_ready);
    m_ready.reset();
    return out;
}

FrameWriter encodeCall(const QByteArray &library, const QByteArray &className, const QByteArray &member,
                       quint64 ownerWindow, const QList<CallArgument> &args)
{
    FrameWriter w(Kind::Call);
    w.addText(library);
    w.addText(className);
    w.addText(member);
    w.addU32(quint32(ownerWindow));
    w.addU32(quint32(ownerWindow >> 32));
    w.addU32(quint32(args.size()));
    for (const CallArgument &a : args) {
        w.addU8(quint8((a.byRef ? 1 : 0) | (a.takeBack ? 2 : 0)));
        w.addText(a.text);
    }
    return w;
}

std::optional<Call> decodeCall(const QByteArray &payload)
{
    Cursor c(payload);
    const char *data = nullptr;
    size_t size = 0;
    Call call;
    const auto view = [&](QByteArray &out) {
        if (!c.text(data, size))
            return false;
        out = QByteArray::fromRawData(data, qsizetype(size));
        return true;
    };
    quint32 argc = 0;
    quint32 windowLow = 0;
    quint32 windowHigh = 0;
    if (!view(call.library) || !view(call.className) || !view(call.member) || !c.u32(windowLow)
        || !c.u32(windowHigh) || !c.u32(argc))
        return std::nullopt;
    call.ownerWindow = quint64(windowLow) | (quint64(windowHigh) << 32);
    // Each argument takes at least six bytes: never reserve more than that.
    if (argc > quint32(payload.size() / 6))
        return std::nullopt;
    for (quint32 i = 0; i < argc; ++i) {
        quint8 flags = 0;
        CallArgument a;
        if (!c.u8(flags) || !view(a.text))
            return std::nullopt;
        a.byRef = flags & 1;
        a.takeBack = flags & 2;
        call.args.append(std::move(a));
    }
    if (!c.atEnd())
        return std::nullopt;
    return call;
}

std::optional<Reply> decodeReply(const QByteArray &payload, qsizetype argc)
{
    Cursor c(payload);
    Reply reply;
    quint8 status = 0;
    const char *data = nullptr;
    size_t size = 0;
    if (!c.u8(status) || status > quint8(Status::NotLoadable))
        return std::nullopt;
    reply.status = Status(status);
    if (!c.text(data, size))
        return std::nullopt;
    reply.result = QString::fromUtf8(data, qsizetype(size));
    if (!c.text(data, size))
        return std::nullopt;
    reply.error = QString::fromUtf8(data, qsizetype(size));
    quint32 count = 0;
    if (!c.u32(count) || qsizetype(count) != argc)
        return std::nullopt;
    for (quint32 i = 0; i < count; ++i) {
        quint8 replaced = 0;
        if (!c.u8(replaced) || replaced > 1)
            return std::nullopt;
        if (!replaced) {
            reply.replaced.append(std::nullopt);
            continue;
        }
        if (!c.text(data, size))
            return std::nullopt;
        reply.replaced.append(QString::fromUtf8(data, qsizetype(size)));
    }
    if (!c.atEnd())
        return std::nullopt;
    return reply;
}

std::optional<bool> decodeWindows(const QByteArray &payload)
{
    if (payload.size() != 1 || quint8(payload.at(0)) > 1)
        return std::nullopt;
    return payload.at(0) == 1;
}

Answer::State Answer::take(FrameReader &reader)
{
    while (m_state == State::Waiting) {
        std::optional<FrameReader::Frame> frame = reader.take();
        if (!frame)
            break;
        if (frame->kind == Kind::Windows) {
            const std::optional<bool> open = decodeWindows(frame->payload);
            if (!open) {
                m_state = State::Broken;
                break;
            }
            if (m_windowOpen && !*open)
                m_windowsClosed = true;
            m_windowOpen = *open;
            continue;
        }
        std::optional<Reply> decoded = frame->kind == Kind::Reply ? decodeReply(frame->payload, m_argc) : std::nullopt;
        if (!decoded) {
            m_state = State::Broken;
            break;
        }
        reply = std::move(*decoded);
        m_state = State::Answered;
    }
    if (m_state == State::Waiting && reader.broken())
        m_state = State::Broken;
    return m_state;
}

bool Answer::windowsClosed()
{
    const bool closed = m_windowsClosed;
    m_windowsClosed = false;
    return closed;
}

} // namespace ExtensionProtocol
