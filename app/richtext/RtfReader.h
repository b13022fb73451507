#pragma once
// RtfReader: RTF into a QTextDocument.
//
// Every file is treated as hostile: one pass over the bytes with an explicit
// group stack of bounded depth (no recursion), parameters clamped, tables
// bounded, so any input loads in time linear in its size. A damaged file
// (unbalanced braces, cut off, bad escapes) loads what can be read.
//
// What is read: text in reading order in the document's and the fonts' code
// pages and \uN; the font and colour tables; bold, italic, underline,
// strike-out, font, size, colours, capitals, super- and subscript;
// paragraph alignment, indents and spacing; lists; field results (links);
// footnotes in place; tables as tab-separated rows. What is not text
// (tables of fonts, colours and styles, document information, pictures,
// objects, headers and footers, field instructions, hidden text and unknown
// ignorable destinations) is skipped.
//
// How it is built: RtfParser.h (the group stack) over the tokenizer, the
// keyword table, the text decoder, the document tables and the builder.

#include <QByteArrayView>
#include <QString>

class QTextDocument;

class RtfReader
{
public:
    struct Result {
        // The file's structure was broken (groups left open or closed too
        // often, nesting deeper than we follow, cut-off escapes); what
        // could be read has been loaded.
        bool damaged = false;
        // From the document information ({\info ...}): the title and author
        // as written (not cleaned), the year of its creation time or 0.
        QString title;
        QString author;
        int year = 0;
    };

    // Replaces the whole content of doc with what the RTF bytes hold.
    static Result read(QByteArrayView rtf, QTextDocument *doc);
};
