#pragma once
// The Bavarize extension: a filter that rewrites standard German into
// Bavarian dialect spelling, word by word, before Quenora speaks a text.
//
// Dialect is the extension's one class (members Startup and FilterText);
// DialectWordTable holds the word pairs. Both work on UTF-8 bytes and use Qt
// only to lower-case words outside ASCII. BavarizePlugin.cpp exposes Dialect
// through the C ABI of quenora_extension.h; nothing else of Quenora is seen.
//
// Texts of many megabytes pass through here before they are spoken, so the
// two steps also write into buffers the caller provides: the plug-in hands
// those buffers to the host as they are, without another copy.

#include <cstddef>
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

    // Step one: the text with a blank before and after it and the
    // punctuation set apart from the words, ready to be split at single
    // blanks. prepareInto writes at most preparedSizeBound(text.size())
    // bytes to out and returns how many it wrote.
    static std::size_t preparedSizeBound(std::size_t textSize);
    static std::size_t prepareInto(std::string_view text, char *out);

    // Step two: the prepared text split at every single blank, each word
    // looked up, the words joined again. Writes at most
    // dialectSizeBound(prepared.size()) bytes and returns how many.
    static std::size_t dialectSizeBound(std::size_t preparedSize);
    static std::size_t dialectInto(std::string_view prepared, char *out);
};
