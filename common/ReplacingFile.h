#pragma once
// ReplacingFile: writes a user's file so that the name only ever holds the
// old file or the complete new one.
//
// The new content goes into a file without a name (O_TMPFILE) in the
// target's own folder, so nothing is left behind when the program is killed
// while writing; commit() flushes it to the disk and links it into place,
// replacing the old file in one step. Where the file system cannot make
// unnamed files (FAT sticks, some network shares) the new file gets a
// hidden name beside the target (".name.quenora-XXXXXX") and holds a lock
// on it; such a file whose writer is gone is removed by the next write into
// that folder.
//
// The target must be a regular file or not exist yet: a folder, a device, a
// pipe or a socket is refused before anything is written and again just
// before the new file takes its place, so saving never turns /dev/null or a
// FIFO into a regular file. A read-only file is refused too. A link to a
// file is kept: the file it points to is replaced.
//
// Errors come as the numbers and German descriptions of FileErrors.
// Used by everything that writes a user's file: documents, recordings and
// their conversions, downloads, scripts.

#include <QByteArrayView>
#include <QString>

class ReplacingFile
{
public:
    struct Refusal {
        int number = 0; // 0: the target may be written
        QString description;
        explicit operator bool() const { return number != 0; }
    };

    enum class NewFile {
        Unnamed, // where the file system can; else Hidden
        Hidden,  // always with a hidden name (tests of the fallback)
    };

    explicit ReplacingFile(QString target, NewFile newFile = NewFile::Unnamed);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    // Why the target cannot be written, told before any work is done: a
    // NUL in the name, a missing folder, a folder, device, pipe or socket
    // under that name, a read-only file. Nothing is created.
    static Refusal checkTarget(const QString &target);

    // Checks the target and creates the new, empty file beside it.
    bool open();
    bool isOpen() const { return m_fd >= 0; }
    int handle() const { return m_fd; }
    // A name under which the unfinished file can be opened once more, for
    // libraries that want a name instead of a descriptor.
    QString readablePath() const;

    // Appends the bytes; false (with the reason) when they were not all
    // written.
    bool write(QByteArrayView bytes);

    // Flushes the file to the disk, gives it the old file's permissions (a
    // new file gets those of any new file of this user) and puts it in
    // place of the target. False with the reason; the old file is then
    // untouched and the new one gone.
    bool commit();
    // Throws the new file away; the old one stays. Also done by the
    // destructor when commit() was not called.
    void discard();

    const Refusal &error() const { return m_error; }
    int errorNumber() const { return m_error.number; }
    QString errorDescription() const { return m_error.description; }
    // Sets the reason from errno, fallback when it has no number of its own.
    void failWithErrno(int error, int fallback);

private:
    bool fail(int number, const QString &description = QString());
    bool linkIntoPlace();
    bool openNamed(const QString &folder);

    QString m_target;
    QString m_final;     // the target, or the file a link as target points to
    QString m_namedPath; // the hidden name where unnamed files cannot be made
    NewFile m_newFile;
    int m_fd = -1;
    Refusal m_error;
};
