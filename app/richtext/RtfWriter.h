#pragma once
// RtfWriter: a QTextDocument as RTF.
//
// Writes what RtfReader reads back unchanged: text, font family and size,
// bold, italic, underline, strike-out, capitals, super- and subscript,
// colours, links, paragraph alignment, indents and spacing, page breaks and
// lists. The header names code page 1252 (\ansicpg1252); characters outside
// it are written as \uN with a '?' for readers without Unicode. Each run of
// text is its own group, which every RTF reader follows.

#include <QByteArray>

class QTextDocument;

class RtfWriter
{
public:
    static QByteArray write(const QTextDocument &doc);
};
