#pragma once
// PronunciationFile: the text file of one dictionary.
//
// UTF-8, one entry a line: the written form, a tab, the spoken form, and
// optionally a tab and the options ("w" whole word, "c" case-sensitive,
// "r" regular expression, any combination such as "wc"; "-" for none).
// Without options an entry is whole-word and case-insensitive. A line
// starting with "#" is a comment, blank lines are passed over, blanks at
// either end of a field do not count, a byte-order mark and CR LF line ends
// are accepted. A broken line is named by its number; the others load.
//
// A file that is a folder, a pipe, a device, unreadable or larger than
// 16 MB is refused with a German reason and never read: it is opened
// without waiting and its kind asked of the open descriptor.

#include "PronunciationEntry.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct PronunciationFile {
    static constexpr qint64 MaxBytes = qint64(16) * 1024 * 1024;

    QList<PronunciationEntry> entries;
    QStringList brokenLines; // "Zeile N: reason"
    QString error;           // the file as a whole could not be read; then no entries
    // The lines that are no entries, to write back with them: comments as
    // they are, broken lines made comments ("# " before them), so saving
    // what was read loses no text.
    QStringList otherLines;

    static PronunciationFile parse(const QByteArray &bytes, const QString &origin = QString());
    static PronunciationFile load(const QString &path);

    // The file's text for these entries (options written only where they
    // differ from the default), after the other lines.
    static QByteArray format(const QList<PronunciationEntry> &entries, const QStringList &otherLines = {});
    // Written through ReplacingFile; false with the reason.
    static bool save(const QString &path, const QList<PronunciationEntry> &entries, QString *error,
                     const QStringList &otherLines = {});
};
