#pragma once
// UrlDownload: fetches one http, https, ftp or ftps address into a file with
// libcurl, on a worker thread, so the window stays responsive meanwhile. The
// data goes into a temporary file beside the target, which replaces the
// target only once the transfer is complete: a failed or cancelled download
// leaves the old file as it was. Other schemes (file:, ...) are refused, so a
// script cannot read local files through a download. A transfer stops at a
// size limit and before the disk's reserve (DiskReserve) would be touched.

#include "DiskReserve.h"

#include <QString>

#include <atomic>
#include <memory>
#include <thread>

class UrlDownload
{
public:
    struct Limits {
        int connectTimeoutMs = 15000;
        // The whole transfer; 0: no limit beyond the stall limit.
        int totalTimeoutMs = 10 * 60 * 1000;
        // A transfer slower than 1 byte per second for this long is stalled.
        int stallTimeoutMs = 30000;
        // The largest file taken, in MB: as large as a document can be.
        int maxMegabytes = 512;
        // The free space of the target's volume; empty: not asked.
        DiskReserve::Probe freeSpace = DiskReserve::systemProbe();
    };
    // The free space is asked for again after this many bytes.
    static constexpr qint64 CheckEveryBytes = qint64(4) << 20;
    struct Result {
        bool ok = false;
        QString error; // German, for the status bar
    };

    UrlDownload(const QString &url, const QString &target, const Limits &limits);
    ~UrlDownload(); // cancels and joins

    UrlDownload(const UrlDownload &) = delete;
    UrlDownload &operator=(const UrlDownload &) = delete;

    // Starts the transfer; done() becomes true when it has ended.
    void start();
    bool done() const;
    // Asks the transfer to stop soon; done() follows.
    void cancel();
    // Valid once done().
    Result result() const;

    // The scheme check alone (also used before starting a thread).
    static bool allowedUrl(const QString &url);

    // Shared with the worker, which may outlive a cancelled request briefly.
    struct State;

private:
    std::shared_ptr<State> m_state;
    std::thread m_thread;
};
