#pragma once
// ImportControl: what a reader is told besides its bytes: the password of an
// encrypted PDF, where to report progress, and a flag to stop early. Readers
// poll the flag between pages and chapters, so cancelling takes effect
// within one page.

#include <QString>

#include <algorithm>
#include <atomic>
#include <functional>

struct ImportControl {
    QString password;
    // Percent done, 0..100; called from the reading thread.
    std::function<void(int)> progress;
    const std::atomic<bool> *cancel = nullptr;

    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
    void report(qint64 done, qint64 total) const
    {
        if (progress && total > 0)
            progress(int(std::clamp<qint64>(done * 100 / total, 0, 100)));
    }
};

enum class ImportStatus {
    Ok,
    Failed,         // message says why
    NeedsPassword,  // an encrypted PDF and no password given
    WrongPassword,  // the password given does not open it
    Cancelled,
};
