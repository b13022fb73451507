#pragma once
// SpeechNumbers: the number rules of speaking: a percentage of the settings
// scaled into an engine's range, a whole number read from a setting's text,
// and the random number of a temporary recording. Pure functions; the
// random source is injectable so tests can fix it.

#include <QString>

#include <functional>
#include <optional>

namespace SpeechNumbers {

// min + (max - min) * percent / 100, rounded half to even, with
// (max - min) * percent formed in 32-bit whole numbers: no value when
// that overflows.
std::optional<int> percentToEngineValue(int min, int max, int percent);

// A whole number written in a setting ("25", " 7 "); a decimal number is
// rounded half to even. No value for anything else.
std::optional<int> wholeNumber(const QString &text);

// round(random * (high - low) + low), halves to even; random in [0, 1).
// Without a random source, the process's generator, seeded once from the
// system (a generator reseeded from the clock would repeat numbers
// within one clock tick).
int RandomBetween(int low, int high, const std::function<double()> &random = {});

} // namespace SpeechNumbers
