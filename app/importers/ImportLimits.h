#pragma once
// Limits for documents that arrive packed (EPUB, ODT, DOCX are ZIP archives).
// A hostile archive can claim small sizes and unpack to gigabytes, or hold
// millions of entries; these bound what one document may cost. Sizes are
// counted while unpacking, never taken from the archive's own directory.

#include <QtGlobal>

namespace ImportLimits {

// Entries in one archive (a large EPUB has a few thousand).
inline constexpr qint64 kMaxEntries = 20000;
// Unpacked size of one entry that is read.
inline constexpr qint64 kMaxEntrySize = qint64(128) * 1024 * 1024;
// Unpacked size of all entries read from one archive together.
inline constexpr qint64 kMaxTotalSize = qint64(512) * 1024 * 1024;
// Unpacked to packed size of one entry; text compresses about 3 to 20 times,
// a bomb about a thousand times. Only checked above kRatioCheckFrom bytes,
// where a small, very repetitive part cannot trip it.
inline constexpr qint64 kMaxCompressionRatio = 200;
inline constexpr qint64 kRatioCheckFrom = qint64(1) * 1024 * 1024;
// Nesting of XML elements; deeper documents are refused rather than walked.
inline constexpr int kMaxXmlDepth = 512;

} // namespace ImportLimits
