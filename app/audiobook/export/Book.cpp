#include "Book.h"

#include "DocumentMetadata.h"
#include "LongLines.h"

#include <QTextBlock>
#include <QTextDocument>

#include <cmath>

namespace {

// A paragraph as it is spoken: soft line breaks and tabs become blanks,
// pictures and format characters go.
QString spokenText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c == u'\t' || c == QChar::Nbsp)
            out.append(u' ');
        else if (c == QChar::ObjectReplacementCharacter || c.category() == QChar::Other_Format
                 || c.category() == QChar::Other_Control)
            continue;
        else
            out.append(c);
    }
    return out;
}

// Words are runs of non-blanks with a letter or digit in them.
int countWords(const QString &text)
{
    int words = 0;
    bool inWord = false;
    bool counted = false;
    for (const QChar c : text) {
        if (c.isSpace()) {
            inWord = false;
            continue;
        }
        if (!inWord) {
            inWord = true;
            counted = false;
        }
        if (!counted && c.isLetterOrNumber()) {
            ++words;
            counted = true;
        }
    }
    return words;
}

// The text of the blocks from position to end, one paragraph per line; a
// long line split into blocks stays one paragraph.
QString chapterText(const QTextDocument &doc, int position, int end)
{
    QStringList paragraphs;
    for (QTextBlock block = doc.findBlock(position); block.isValid() && block.position() < end;
         block = block.next()) {
        const QString text = spokenText(block.text());
        QChar joiner;
        if (!paragraphs.isEmpty() && LongLines::continuesLine(block, &joiner)) {
            if (!joiner.isNull())
                paragraphs.back().append(joiner);
            paragraphs.back().append(text);
            continue;
        }
        paragraphs.append(text);
    }
    QStringList spoken;
    for (const QString &p : std::as_const(paragraphs)) {
        const QString trimmed = p.trimmed();
        if (!trimmed.isEmpty())
            spoken.append(trimmed);
    }
    return spoken.join(u'\n');
}

} // namespace

Book Book::fromDocument(const QTextDocument &doc, const ChapterFinder::Options &options)
{
    const ChapterList list = ChapterFinder::find(doc, options);
    Book book;
    const DocumentMetadata meta = DocumentMetadata::of(doc);
    book.info = BookInfo{meta.title, meta.author, meta.year, meta.cover};
    book.structured = list.structured;
    book.level = list.level;
    book.levels = list.levels;
    book.error = list.error;
    for (const Chapter &found : list.chapters) {
        BookChapter chapter;
        chapter.title = found.title;
        chapter.text = chapterText(doc, found.position, found.end);
        chapter.words = countWords(chapter.text);
        // Text before the first heading that is only blanks is no chapter.
        if (chapter.text.isEmpty() && found.title.isEmpty() && list.chapters.size() > 1)
            continue;
        book.chapters.append(chapter);
    }
    return book;
}

Book Book::selected() const
{
    Book book = *this;
    book.chapters.clear();
    for (const BookChapter &chapter : chapters) {
        if (chapter.selected)
            book.chapters.append(chapter);
    }
    return book;
}

int Book::words() const
{
    int total = 0;
    for (const BookChapter &chapter : chapters)
        total += chapter.words;
    return total;
}

double Book::estimatedSeconds(int words, int wordsPerMinute)
{
    if (words <= 0 || wordsPerMinute <= 0)
        return 0.0;
    return std::ceil(double(words) * 60.0 / double(wordsPerMinute));
}
