#pragma once
// One entry of a pronunciation dictionary: a written form and how it is
// spoken, with its options.

#include <QString>

struct PronunciationEntry {
    QString written;
    QString spoken;            // a regular expression's spoken form may name captures \1 ... \9
    bool wholeWord = true;     // the match neither starts nor ends inside a word
    bool caseSensitive = false;
    bool regex = false;
    // Where it comes from, for messages: the dictionary's name and its line
    // (from 1; 0 when not read from a file).
    QString origin;
    int line = 0;

    bool operator==(const PronunciationEntry &o) const
    {
        return written == o.written && spoken == o.spoken && wholeWord == o.wholeWord
            && caseSensitive == o.caseSensitive && regex == o.regex;
    }
};
