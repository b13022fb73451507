#pragma once
// ParallelChapters: the parent side of a parallel export. It starts `jobs`
// worker processes ("program --chapter-worker"), gives each the next chapter
// to speak into a chapter spool, and as soon as a chapter and all before it
// are spoken, replays its spool into the receiver and removes it, so the
// receiver gets the chapters in order while later ones are still spoken.
//
// The spools are hidden files in the export's folder; every one is removed
// on every way out (success, cancel, failure). A worker that dies, fails or
// answers anything but the protocol ends the export with a German reason
// naming the chapter; the other workers are then killed. Needs a Qt event
// dispatcher on the calling thread (it runs a local event loop).

#include "Book.h"
#include "WorkerProtocol.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class ChapterReceiver;

class ParallelChapters
{
public:
    struct Options {
        QString program;
        int jobs = 2;
        QString folder; // where the spools go
        WorkerProtocol::Voice voice;
    };
    // chapter: the first chapter not yet handed to the receiver; share: of
    // the words of all chapters spoken so far (0..1). False cancels.
    using Progress = std::function<bool(int chapter, double share)>;
    enum class Status { Ok, Cancelled, Failed };

    explicit ParallelChapters(const Options &options);
    ~ParallelChapters();
    ParallelChapters(const ParallelChapters &) = delete;
    ParallelChapters &operator=(const ParallelChapters &) = delete;

    // Starts the workers for chapters and waits until the first has its
    // engine ready. Its sample rate, or 0 (see error(); empty when
    // cancelled through progress).
    int start(const QList<BookChapter> &chapters, const Progress &progress = {});
    // Speaks the chapters given to start() into receiver. With Failed and
    // an empty error() the receiver failed and tells why itself.
    Status run(ChapterReceiver &receiver, const Progress &progress = {});

    QString error() const;
    // The spools of this export that exist now (empty after start and run).
    QStringList spools() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
