#pragma once
// DialectWordTable: the standard German words the dialect filter knows and
// how each is written in dialect. Keys are compared in lower case; the first
// pair in table order wins. Four keys of two words ("auf wiedersehen",
// "auf das", ...) are matched on two neighbouring words before the one-word
// lookup.

#include <string_view>
#include <utility>
#include <vector>

namespace DialectWordTable {

using Pair = std::pair<std::string_view, std::string_view>;

// The one-word pairs, in their order.
const std::vector<Pair> &pairs();
// The two-word pairs, keys written with one blank between the words.
const std::vector<Pair> &twoWordPairs();

// The dialect word for a word already in lower case; null when it is no key.
const std::string_view *lookup(std::string_view lowerWord);
// Whether a word in lower case begins one of the two-word keys.
bool beginsTwoWordKey(std::string_view lowerWord);
// The dialect words for two neighbouring words in lower case; null when the
// two are no key.
const std::string_view *lookupTwo(std::string_view lowerFirst, std::string_view lowerSecond);

// The longest key in bytes.
std::size_t longestKey();
// How many times its key's bytes a dialect word has at most, rounded up.
std::size_t longestGrowth();

} // namespace DialectWordTable
