#pragma once
// ZipArchive: reads entries of a ZIP archive held in memory (libzip), for
// the packed document formats. Nothing is ever written to disk. Every
// archive is treated as hostile: entry names that climb out of the archive
// ("../", absolute paths) make the whole archive refused, encrypted entries
// are refused, and unpacked sizes are counted while reading against the
// limits of ImportLimits, never trusted from the archive's directory.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

struct zip;

class ZipArchive
{
public:
    ZipArchive();
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    // Opens the archive; false with a German message when it is damaged,
    // truncated, has too many entries or an unsafe entry name.
    bool open(const QByteArray &bytes);

    QStringList entryNames() const { return m_names; }
    bool contains(const QString &name) const;

    // Reads one entry whole; false with a German message when it is missing,
    // encrypted, damaged or bigger than the limits allow.
    bool read(const QString &name, QByteArray *out);

    QString errorMessage() const { return m_error; }

private:
    bool fail(const QString &message);

    QByteArray m_bytes; // libzip reads from this buffer; it must outlive the archive
    zip *m_zip = nullptr;
    QStringList m_names;
    qint64 m_totalRead = 0;
    QString m_error;
};
