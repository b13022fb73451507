// Fuzz target: any bytes as what the extension-host process sends the
// editor during one call. The first byte gives the number of arguments the
// call had (0 to 3), the second how the stream is cut into reads (as the
// socket would deliver it); the rest goes through the editor's FrameReader
// and Answer exactly as ExtensionProcess feeds them. The answer must end
// waiting, answered with one replacement slot per argument, or broken, and
// no text may be longer than the bytes that came.
#include "ExtensionProtocol.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <algorithm>

using namespace ExtensionProtocol;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const qsizetype argc = data[0] % 4;
    const size_t chunk = size_t(data[1]) + 1;
    const char *stream = reinterpret_cast<const char *>(data + 2);
    size_t left = size - 2;

    FrameReader reader;
    Answer answer(argc);
    while (left > 0 && answer.state() == Answer::State::Waiting) {
        const size_t n = std::min(chunk, left);
        // Through space()/commit() as the socket reads go.
        size_t given = 0;
        while (given < n) {
            size_t wanted = 0;
            char *to = reader.space(wanted);
            if (!to || wanted == 0)
                break;
            const size_t part = std::min(wanted, n - given);
            std::memcpy(to, stream + given, part);
            reader.commit(part);
            given += part;
            if (answer.take(reader) != Answer::State::Waiting)
                break;
        }
        stream += n;
        left -= n;
        answer.windowsClosed();
    }
    if (answer.state() == Answer::State::Answered) {
        const Reply &r = answer.reply;
        if (r.replaced.size() != argc || size_t(r.result.size()) > size || size_t(r.error.size()) > size)
            __builtin_trap();
        for (const auto &text : r.replaced) {
            if (text && size_t(text->size()) > size)
                __builtin_trap();
        }
    }
    return 0;
}
