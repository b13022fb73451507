#pragma once
// ChapterWorker: the worker process of a parallel export. quenora-speak
// runs it when started as "quenora-speak --chapter-worker": it reads the
// voice and then chapters from in, speaks each into a chapter spool file
// with a ChapterSynthesizer of its own, and tells on out how far it is
// and when a spool is complete. Not meant to be started by hand.

#include <cstdio>

namespace ChapterWorker {

inline constexpr const char *kOption = "--chapter-worker";

// Needs a QCoreApplication. Exit status 0 when in ended after the last
// chapter, 1 otherwise.
int run(std::FILE *in, std::FILE *out);

} // namespace ChapterWorker
