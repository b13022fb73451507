#pragma once
// Book: what an audiobook export speaks: the document's chapters as plain
// text (paragraphs separated by '\n'), each with a title the user may edit
// and a check box, and what the document says about itself (title, author,
// year, cover). Made from the document in the document box or a file read
// the way the editor reads it.

#include "AudiobookFormat.h"
#include "ChapterFinder.h"

#include <QList>
#include <QString>

#include <vector>

class QTextDocument;

struct BookChapter {
    QString title;
    QString text;        // paragraphs separated by '\n'
    int words = 0;
    bool selected = true;
};

struct Book {
    QString name;        // the document's file name, for messages and progress
    BookInfo info;
    QList<BookChapter> chapters;
    // From the chapter finder: false when the document had no structure
    // and is one chapter; the level used and the levels present.
    bool structured = false;
    int level = 0;
    std::vector<int> levels;
    QString error;       // German, set when the rule was invalid

    static Book fromDocument(const QTextDocument &doc, const ChapterFinder::Options &options = {});
    // The selected chapters only, in order.
    Book selected() const;
    int words() const;
    // A chapter's spoken length at the engine's speed in words per minute.
    static double estimatedSeconds(int words, int wordsPerMinute);
};
