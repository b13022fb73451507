#pragma once
// The Bavarize extension: a filter that rewrites standard German into
// Bavarian dialect spelling, word by word, before Quenora speaks a text.
//
// Dialect is the extension's one class (members Startup and FilterText);
// DialectWordTable holds the word pairs. Both work on UTF-8 bytes and use Qt
// only to lower-case words outside ASCII. BavarizePlugin.cpp exposes Dialect
// through the C ABI of quenora_extension.h; nothing else of Quenora is seen.

#include <string>
#include <string_view>

class Dialect
{
public:
    // Does nothing: the extension has nothing to prepare.
    void Startup() {}

    // The dialect text of sText. On return sText holds the text with its
    // added blanks and the punctuation set apart, as the words were split.
    std::string FilterText(std::string &sText) const;

    // The text with a blank before and after it and the punctuation set
    // apart from the words, ready to be split at single blanks.
    static std::string prepare(std::string_view text);
};
