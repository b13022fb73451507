#pragma once
// NoteLinks: footnote links of HTML and EPUB documents, as writers such as
// pandoc make them. The reference in the text ("Rhein.<a href="#fn1">1</a>")
// is set apart from the word before it, so it is not read as "Rhein.1"; the
// link back from the note to the text ("↩︎") is no text at all and is left
// out.

#include <QString>

class QTextDocument;

namespace NoteLinks {

// A link's text that only points back: arrows such as "↩", "↩︎", "↑", "⤴".
bool isBackLinkText(const QString &text);
// A footnote reference's text: a short number or mark ("1", "[2]", "*").
bool isMarkerText(const QString &text);
// By the attributes of an <a>: role, epub:type or class name a back link or
// a note reference.
bool isBackLink(const QString &role, const QString &epubType, const QString &cssClass);
bool isNoteReference(const QString &role, const QString &epubType, const QString &cssClass);

// For a document Qt's HTML reader has filled: drops back links and sets
// note references apart. Links to other places are left alone.
void tidy(QTextDocument *doc);

} // namespace NoteLinks
