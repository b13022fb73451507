#pragma once
// SafeFileName: file names made from chapter and book titles.
//
// A title may hold anything a document holds: slashes, control characters,
// a leading dot, ten thousand characters. What is left is a name every
// player's file system takes: no control or format characters, no
// separators or characters FAT refuses, no leading dot or space, no
// trailing dot or space, whitespace collapsed, at most kMaxCharacters
// characters and kMaxBytes bytes of UTF-8 (never half a character). A
// title that leaves nothing gets the fallback.

#include <QString>

namespace SafeFileName {

inline constexpr int kMaxCharacters = 80;
inline constexpr int kMaxBytes = 160;

QString fromTitle(const QString &title, const QString &fallback);
// "07 Titel.mp3": numbered with as many digits as total needs, at least two.
QString numbered(int number, int total, const QString &title, const QString &fallback, const QString &suffix);
// A title fit for one line of a playlist or a tag: control characters
// become spaces, whitespace collapses; the length is kept.
QString oneLine(const QString &title);

} // namespace SafeFileName
