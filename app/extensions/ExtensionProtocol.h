#pragma once
// ExtensionProtocol: what the editor and its extension-host process
// (quenora-extension-host) say to each other over their socket.
//
// Every message is one frame: a 32-bit length (host byte order: both ends
// are the same machine), one byte of kind, then `length` bytes of payload.
// A text in a payload is a 32-bit length, its bytes and one NUL that the
// length does not count, so the receiver can hand it on as a C string in
// place, without a copy.
//
//   editor -> host   Call    library, class, member, owner window, argc,
//                            argc x (flags, text)
//   host -> editor   Reply   status, result, error text, argc x (replaced?, text)
//   host -> editor   Windows 1 while a plug-in shows a window of its own, 0 after
//
// FrameWriter gathers a frame as pieces (small numbers in its own buffer,
// long texts by pointer), so a text of many megabytes goes out without a
// copy; FrameReader receives a stream into one buffer per frame. Decoding
// never trusts the other side: a frame that does not parse is refused, and
// the editor then treats the host as broken.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include <sys/uio.h>

namespace ExtensionProtocol {

// The largest payload either side accepts: what a QByteArray can hold.
constexpr quint32 MaxPayload = 0x7fffffffu - 64;
constexpr size_t HeaderSize = 5;

enum class Kind : quint8 { Call = 'C', Reply = 'R', Windows = 'W' };

// How a call ended in the host process.
enum class Status : quint8 {
    Ok = 0,            // the member ran
    UnknownMember = 1, // the object has no such member
    Failed = 2,        // the member failed
    NotCreatable = 3,  // the library has no such class
    NotLoadable = 4    // the library did not load (error says why)
};

struct CallArgument {
    QByteArray text; // UTF-8
    bool byRef = false;
    bool takeBack = false;
};

// A call as the host process receives it; the texts point into the frame.
struct Call {
    QByteArray library;
    QByteArray className;
    QByteArray member;
    // The editor's window a plug-in window belongs over (an X11 window id),
    // or 0.
    quint64 ownerWindow = 0;
    QList<CallArgument> args;
};

// A reply as the editor receives it.
struct Reply {
    Status status = Status::Failed;
    QString result;
    QString error;
    // One per argument: the replacement when the argument was taken back
    // and replaced.
    QList<std::optional<QString>> replaced;
};

// One frame being gathered for sending.
class FrameWriter
{
public:
    explicit FrameWriter(Kind kind);
    void addU8(quint8 value);
    void addU32(quint32 value);
    // The bytes must stay valid until the frame is sent.
    void addText(const char *data, size_t size);
    void addText(const QByteArray &bytes) { addText(bytes.constData(), size_t(bytes.size())); }
    // False when the payload would exceed MaxPayload.
    bool fits() const { return m_payload <= MaxPayload; }
    // The pieces to send, header first.
    std::vector<iovec> pieces();

private:
    struct Piece {
        const char *external = nullptr; // null: m_own[offset, offset + size)
        size_t offset = 0;
        size_t size = 0;
    };
    void own(const void *data, size_t size);

    QByteArray m_own;
    std::vector<Piece> m_pieces;
    size_t m_payload = 0;
    Kind m_kind;
};

// What is left to send of a frame, for both ends' sending loops.
class FrameSending
{
public:
    explicit FrameSending(FrameWriter &frame) : m_pieces(frame.pieces()) {}
    bool done() const { return m_first == m_pieces.size(); }
    // One sendmsg of what is left (the kernel takes at most IOV_MAX pieces
    // at a time) with the given flags; what it took is taken off. The bytes
    // sent, or -1 with errno set.
    ssize_t sendSome(int fd, int flags);

private:
    std::vector<iovec> m_pieces;
    size_t m_first = 0;
};

// Receives a byte stream and cuts it into frames. Its buffer is kept from
// frame to frame (up to a size), so a long text does not cost fresh memory
// at every call.
class FrameReader
{
public:
    struct Frame {
        Kind kind = Kind::Reply;
        // A view into the reader's buffer: valid until the reader is used
        // again.
        QByteArray payload;
    };

    // Where the next bytes go and how many are wanted at most; after
    // writing n bytes there, commit(n).
    char *space(size_t &wanted);
    void commit(size_t n);
    // Copies bytes in (for callers that already hold them).
    void feed(const char *data, size_t size);
    // The next complete frame, if there is one.
    std::optional<Frame> take();
    // The stream cannot be a frame stream (a length beyond MaxPayload or an
    // unknown kind); nothing more is taken from it.
    bool broken() const { return m_broken; }

private:
    void headerDone();

    char m_header[HeaderSize] = {};
    size_t m_headerFilled = 0;
    QByteArray m_buffer;
    size_t m_payloadSize = 0;
    size_t m_payloadFilled = 0;
    bool m_inPayload = false;
    bool m_broken = false;
    std::optional<Frame> m_ready;
};

// Editor side: what the frames arriving during one call amount to. Only
// Windows frames and one Reply may come; anything else, or a frame that does
// not decode, makes the answer broken for good.
class Answer
{
public:
    enum class State { Waiting, Answered, Broken };

    explicit Answer(qsizetype argc)
        : m_argc(argc)
    {
    }
    // Takes every complete frame the reader holds.
    State take(FrameReader &reader);
    State state() const { return m_state; }
    // Whether a plug-in window is open now.
    bool windowOpen() const { return m_windowOpen; }
    // True once after the plug-in's windows were all closed.
    bool windowsClosed();
    // The reply, once Answered.
    Reply reply;

private:
    qsizetype m_argc;
    State m_state = State::Waiting;
    bool m_windowOpen = false;
    bool m_windowsClosed = false;
};

// Editor side: the call's frame (the argument texts are sent in place).
FrameWriter encodeCall(const QByteArray &library, const QByteArray &className, const QByteArray &member,
                       quint64 ownerWindow, const QList<CallArgument> &args);
std::optional<Reply> decodeReply(const QByteArray &payload, qsizetype argc);
// A Windows frame: whether a plug-in window is open.
std::optional<bool> decodeWindows(const QByteArray &payload);

// Host side. The texts of the decoded call are views into payload.
std::optional<Call> decodeCall(const QByteArray &payload);

} // namespace ExtensionProtocol
