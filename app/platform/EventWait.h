#pragma once
// EventWait: Quenora's one way of waiting on the GUI thread. Speaking to the
// end, the script waits (Warten, WartenBis, Wenn) and a download all wait
// until a condition holds while the window keeps handling its events (keys,
// clicks, timers, repaints), so ESC or a click can end the wait from inside.
// The thread sleeps between events; a short timer bounds each sleep so that
// conditions no event announces (the time of day) are still seen promptly.
// Re-entrant: a handler run inside one wait may start another.

#include <functional>

namespace EventWait {

// How long one sleep lasts at most when no event arrives.
inline constexpr int kDefaultPollMs = 50;

// Returns once done() is true; done() is asked first, so a condition that
// already holds returns without running any event.
void until(const std::function<bool()> &done, int pollMs = kDefaultPollMs);

// Runs the events that are pending now, once, without sleeping.
void letEventsRun();

} // namespace EventWait
