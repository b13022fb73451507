// Any bytes as a task script: decoded, cut into lines and every line parsed.
// The statement never holds a "(" (everything from the second one on is
// dropped) and never more than the line it came from.
#include "Ansi.h"
#include "ScriptParser.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = Ansi::decode(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (const QString &line : ScriptParser::splitLines(text)) {
        const auto statement = ScriptParser::parseLine(line);
        if (!statement)
            continue;
        if (statement->command.contains(QLatin1Char('(')) || statement->para1.contains(QLatin1Char('('))
            || statement->para2.contains(QLatin1Char('(')))
            std::abort();
        // "\," grows into %KOMMA%: at most six more characters for each.
        if (statement->command.size() + statement->para1.size() + statement->para2.size()
            > line.size() * 4 + 8)
            std::abort();
    }
    return 0;
}
