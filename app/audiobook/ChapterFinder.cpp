#include "ChapterFinder.h"

#include "AudiobookTexts.h"
#include "DocumentMetadata.h"
#include "LongLines.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {

// A block that starts a chapter, before the level is chosen.
struct Start {
    QTextBlock block;
    int level = 0;
};

bool blank(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.isSpace() || c == QChar::ObjectReplacementCharacter || c.category() == QChar::Other_Format;
    });
}

} // namespace

QString ChapterFinder::title(const QString &text)
{
    static_assert(kMaxTitleLength == DocumentMetadata::kMaxTextLength);
    return DocumentMetadata::oneLine(text);
}

ChapterList ChapterFinder::find(const QTextDocument &doc, const Options &options)
{
    ChapterList list;
    std::vector<Start> starts;
    const bool byRule = !options.rule.pattern().isEmpty();
    if (byRule && !options.rule.isValid())
        list.error = AudiobookTexts::invalidChapterRule(options.rule.errorString());

    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        // A long line split into blocks starts at its first block only.
        if (LongLines::continuesLine(block))
            continue;
        int level = 0;
        if (byRule) {
            if (list.error.isEmpty() && options.rule.match(block.text()).hasMatch())
                level = 1;
        } else {
            level = block.blockFormat().headingLevel();
            if (level < 1 || level > 6)
                level = 0;
        }
        if (level == 0 || blank(block.text()))
            continue;
        starts.push_back({block, level});
        if (std::find(list.levels.begin(), list.levels.end(), level) == list.levels.end())
            list.levels.push_back(level);
    }
    std::sort(list.levels.begin(), list.levels.end());

    if (!list.levels.empty()) {
        const bool present = options.level >= list.levels.front();
        list.level = present ? std::min(options.level, 6) : list.levels.front();
        list.structured = true;
    }

    const int documentEnd = std::max(0, doc.characterCount() - 1);
    auto add = [&](Chapter chapter) {
        if (!list.chapters.empty())
            list.chapters.back().end = chapter.position;
        list.chapters.push_back(std::move(chapter));
    };
    bool first = true;
    for (const Start &s : starts) {
        if (s.level > list.level)
            continue;
        if (first && s.block.position() > 0) {
            // Text before the first heading (a title page, a preface
            // without heading) is spoken too: a chapter without title.
            const QString before = doc.toPlainText().left(s.block.position());
            if (!blank(before))
                add({QString(), 0, 0, 0});
        }
        first = false;
        add({title(s.block.text()), s.block.position(), 0, s.level});
    }
    if (list.chapters.empty())
        add({QString(), 0, 0, 0});
    list.chapters.back().end = documentEnd;
    return list;
}
