#include "NoteLinks.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <vector>

namespace {

bool hasWord(const QString &list, QLatin1String word)
{
    const QStringList words = list.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return words.contains(word, Qt::CaseInsensitive);
}

} // namespace

bool NoteLinks::isBackLinkText(const QString &text)
{
    bool any = false;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case 0x21A9: // ↩
        case 0x2191: // ↑
        case 0x2934: // ⤴
        case 0x21B5: // ↵
        case 0x2B0F: // ⬏
            any = true;
            break;
        case 0xFE0E: // text and emoji presentation selectors
        case 0xFE0F:
        case 0x00A0:
            break;
        default:
            if (!c.isSpace())
                return false;
        }
    }
    return any;
}

bool NoteLinks::isMarkerText(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("^\\s*(\\[?\\d{1,4}\\]?|\\*{1,3}|†|‡)\\s*$"));
    return marker.match(text).hasMatch();
}

bool NoteLinks::isBackLink(const QString &role, const QString &epubType, const QString &cssClass)
{
    return hasWord(role, QLatin1String("doc-backlink")) || hasWord(epubType, QLatin1String("backlink"))
           || hasWord(cssClass, QLatin1String("footnote-back")) || hasWord(cssClass, QLatin1String("footnote-backref"));
}

bool NoteLinks::isNoteReference(const QString &role, const QString &epubType, const QString &cssClass)
{
    return hasWord(role, QLatin1String("doc-noteref")) || hasWord(epubType, QLatin1String("noteref"))
           || hasWord(cssClass, QLatin1String("footnote-ref")) || hasWord(cssClass, QLatin1String("footnote-reference"));
}

void NoteLinks::tidy(QTextDocument *doc)
{
    // Qt keeps of a link only its target and text: an internal link whose
    // text is an arrow goes back, one whose raised text is a number refers.
    struct Edit {
        int position;
        int length; // 0: insert a blank before position
    };
    std::vector<Edit> edits;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        QChar before;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat format = f.charFormat();
            const QString text = f.text();
            const bool internal = format.isAnchor() && format.anchorHref().contains(QLatin1Char('#'));
            if (internal && isBackLinkText(text)) {
                edits.push_back({f.position(), f.length()});
                continue; // the character before stays what it was
            }
            if (internal && isMarkerText(text) && format.verticalAlignment() == QTextCharFormat::AlignSuperScript
                && !before.isNull() && !before.isSpace())
                edits.push_back({f.position(), 0});
            if (!text.isEmpty())
                before = text.back();
        }
    }
    if (edits.empty())
        return;
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    // From the end, so the positions still to come stay valid.
    for (auto e = edits.rbegin(); e != edits.rend(); ++e) {
        cursor.setPosition(e->position);
        if (e->length == 0) {
            cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor);
            const QTextCharFormat plain = cursor.charFormat();
            cursor.setPosition(e->position);
            cursor.insertText(QStringLiteral(" "), plain);
            continue;
        }
        cursor.setPosition(e->position + e->length, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        // A blank that stood only before the back link goes with it.
        const QTextBlock block = cursor.block();
        if (cursor.position() == block.position() + block.length() - 1 && cursor.position() > block.position()
            && doc->characterAt(cursor.position() - 1).isSpace())
            cursor.deletePreviousChar();
    }
    cursor.endEditBlock();
}
