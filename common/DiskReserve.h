#pragma once
// DiskReserve: how much free space a recording must leave on its volume.
//
// Every speak also records, at about 40 MB a second of synthesis for a long
// text, so a recording could fill the disk that the desktop, the hive and
// every other program need. The recorder stops writing before the free space
// of its volume falls below the reserve: 5 % of the volume, at least 64 MiB
// and at most 1 GiB, so a small stick can still take a recording and a large
// disk keeps no more than it needs. Downloads keep the same reserve. The
// probe is injected so tests can pretend a volume is full without writing
// gigabytes.

#include <QString>

#include <functional>
#include <optional>

class DiskReserve
{
public:
    struct Space {
        qint64 available = 0; // bytes this user may still write
        qint64 total = 0;     // size of the volume
    };
    // The free space of the volume holding path; nothing when it cannot be
    // told (then the recorder writes on, as it always could).
    using Probe = std::function<std::optional<Space>(const QString &path)>;

    static constexpr qint64 MinimumBytes = qint64(64) << 20;
    static constexpr qint64 MaximumBytes = qint64(1) << 30;

    // statvfs on the path, or on its folder when the file does not exist yet.
    static std::optional<Space> systemSpace(const QString &path);
    static Probe systemProbe() { return &DiskReserve::systemSpace; }

    static qint64 reserveFor(qint64 totalBytes);
    // True when bytes more can be written and the reserve still stays free.
    static bool allows(const Space &space, qint64 bytes);
};
