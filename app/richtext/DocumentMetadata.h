#pragma once
// DocumentMetadata: what a document says about itself (title, author, year
// and a cover picture), kept with the document in the document box the way
// its formatting is. Loading a document sets it (DocumentIO), a new document
// clears it (QTextDocument::clear), editing the text leaves it alone.
//
// On the QTextDocument the title is its DocumentTitle; the rest is one
// resource under a private address, which clear() empties with the title.
//
// Everything here comes from outside: cleaned() makes any title, author and
// date one short line of text and a year of four digits or nothing, and
// keeps a cover only when it is a JPEG or PNG picture that can be decoded
// and is no larger than kMaxCoverBytes.

#include <QByteArray>
#include <QMetaType>
#include <QString>

class QTextDocument;

struct DocumentMetadata {
    enum class CoverType { None, Jpeg, Png };

    // Longer titles and author names are cut at a word and end in "…".
    static constexpr qsizetype kMaxTextLength = 250;
    static constexpr qsizetype kMaxCoverBytes = qsizetype(10) * 1024 * 1024;

    QString title;
    QString author;
    QString year;       // four digits or empty
    QByteArray cover;   // the picture's bytes as the document holds them
    CoverType coverType = CoverType::None;

    bool isEmpty() const { return title.isEmpty() && author.isEmpty() && year.isEmpty() && cover.isEmpty(); }
    // "image/jpeg", "image/png", or empty without a cover.
    QString coverMimeType() const;

    // From what a source says: text made one line without control
    // characters and cut at kMaxTextLength, the year taken from the date, the
    // cover kept only if it is a picture as described above. Any thread.
    static DocumentMetadata cleaned(const QString &title, const QString &author, const QString &date,
                                    const QByteArray &cover);
    // The first year of four digits (1000 to 2999) standing on its own in a
    // date as documents write it ("2021-03-04", "D:20210304…", "4. März
    // 2021"); empty when there is none.
    static QString yearOf(const QString &date);
    static QString oneLine(const QString &text);
    static CoverType coverTypeOf(const QByteArray &bytes);

    // What the document holds; empty for a document never given any.
    static DocumentMetadata of(const QTextDocument &doc);
    // Replaces what the document holds (an empty one clears it). Neither
    // the text nor its undo history change.
    void store(QTextDocument *doc) const;

    bool operator==(const DocumentMetadata &) const = default;
};

Q_DECLARE_METATYPE(DocumentMetadata)
