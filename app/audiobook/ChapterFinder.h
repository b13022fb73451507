#pragma once
// ChapterFinder: the chapters of the document in the document box, read from
// the document itself, so the list follows the user's edits as the
// formatting does.
//
// A chapter starts at a block whose heading level (QTextBlockFormat::
// headingLevel, set by every reader that knows headings) is the chosen level
// or a higher one (a smaller number); the default level is the top level
// present. For plain text a rule may say instead which lines start chapters
// (a pattern such as "^(Kapitel|Teil) "). Text before the first start is a
// chapter of its own without title. A document without any start is one
// chapter, flagged as such, not an error.

#include <QRegularExpression>
#include <QString>

#include <vector>

class QTextDocument;

struct Chapter {
    QString title;      // one line, at most ChapterFinder::kMaxTitleLength characters; empty for text before the first heading
    int position = 0;   // character position in the document where it starts
    int end = 0;        // where the next one starts (or the document's end)
    int level = 0;      // heading level of its start (1..6); 0 without one
};

struct ChapterList {
    std::vector<Chapter> chapters;
    // The level that starts chapters (the chosen one, or the top level
    // present when the chosen one does not occur); 0 without headings.
    int level = 0;
    // The heading levels present in the document, ascending.
    std::vector<int> levels;
    // False: no heading (or no line matching the rule) was found, and the
    // whole document is one chapter.
    bool structured = false;
    // Set when the rule is no valid pattern (German); the list is then the
    // whole document as one chapter.
    QString error;
};

class ChapterFinder
{
public:
    static constexpr int kMaxTitleLength = 250;

    struct Options {
        int level = 0;              // 0: the top level present
        QRegularExpression rule;    // empty pattern: use the headings
    };

    static ChapterList find(const QTextDocument &doc, const Options &options);
    static ChapterList find(const QTextDocument &doc) { return find(doc, Options()); }

    // A block's text as a chapter title: one line, control and format
    // characters gone, white space collapsed, cut at kMaxTitleLength.
    static QString title(const QString &text);
};
