#pragma once
// DocumentResources: where a shown document's pictures and style sheets may
// come from, for the document box and the browser view alike.
//
// A document names its pictures itself (<img src>, background="…",
// ![bild](…), <link href>), so every address is outside input. Allowed are
// the document's own data (data: addresses, and what an importer put into
// the document) and, for a page or an HTML or Markdown file, regular files
// in the document's own folder and below, up to kMaxFileSize. Everything
// else is refused: other folders, symbolic links that lead out of the
// folder, devices, FIFOs, sockets, web addresses. A file is opened without
// waiting (a FIFO answers at once and is refused) and never read past the
// limit, so a picture can neither block the window nor fill the memory.
//
// GuardedTextDocument is a QTextDocument that loads its resources only
// through DocumentResources, with the document's folder taken from its
// DocumentUrl (which ImportedDocument::buildInto sets). Qt's own document
// would read any local file a document names.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>

#include <optional>

class DocumentResources
{
public:
    // A picture larger than this is not shown.
    static constexpr qint64 kMaxFileSize = qint64(64) * 1024 * 1024;

    // folder: the document's own folder; empty when nothing may be read
    // from files (documents that carry their pictures inside).
    explicit DocumentResources(const QString &folder = QString());

    // The folder of a document address (a file: URL or path), or empty.
    static QString folderOf(const QUrl &documentUrl);

    // The local file an address names, when it is one this document may
    // read: inside the folder after resolving symbolic links; empty if not.
    QString allowedFile(const QUrl &address) const;

    // The resource for an address as the document wrote it:
    // - a data: address: an invalid QVariant, for QTextDocument to decode;
    // - an allowed regular file: its bytes;
    // - anything else: an empty QByteArray (the missing-picture symbol),
    //   which also keeps Qt from looking for the file itself.
    QVariant load(const QUrl &address) const;

    // The bytes of a regular file, read without blocking and only up to
    // limit; nothing for a FIFO, device, socket or folder, a larger file or
    // one that cannot be read.
    static std::optional<QByteArray> readRegularFile(const QString &path, qint64 limit = kMaxFileSize);

private:
    QString m_folder; // canonical, without a trailing slash; empty: none
};

class GuardedTextDocument : public QTextDocument
{
    Q_OBJECT
public:
    explicit GuardedTextDocument(QObject *parent = nullptr);

protected:
    QVariant loadResource(int type, const QUrl &name) override;

private:
    // Pictures are asked for at every paint: each is read and decoded once
    // for as long as the document's folder stays the same.
    QString m_cachedFolder;
    QHash<QUrl, QVariant> m_cache;
};
