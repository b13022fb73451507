#pragma once
// MarkdownReader: what Qt's Markdown reader does not know, done before it.
// YAML front matter (a "---" block at the very start, as pandoc writes it)
// is no text: its title and author become the document's metadata and the
// block is left out. Footnotes ("[^id]" in the text, "[^id]: text" as a
// definition) are numbered in the order they are referred to: the reference
// becomes a raised number set apart from the word before it, the notes go
// to the end as "1 text", as the other importers put them.

#include <QString>

namespace MarkdownReader {

struct Prepared {
    QString markdown; // for QTextDocument::setMarkdown
    QString title;
    QString author;   // several authors joined by ", "
    QString date;
};

Prepared prepare(const QString &markdown);

} // namespace MarkdownReader
