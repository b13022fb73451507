#include "DocumentResources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isDataAddress(const QUrl &address)
{
    return address.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0;
}

} // namespace

DocumentResources::DocumentResources(const QString &folder)
{
    if (!folder.isEmpty()) {
        const QFileInfo info(folder);
        if (info.isDir())
            m_folder = info.canonicalFilePath();
        if (m_folder == QLatin1String("/"))
            m_folder.clear(); // the whole disk is no document's folder
    }
}

QString DocumentResources::folderOf(const QUrl &documentUrl)
{
    if (documentUrl.isEmpty())
        return QString();
    QString path;
    if (documentUrl.isLocalFile())
        path = documentUrl.toLocalFile();
    else if (documentUrl.scheme().isEmpty())
        path = documentUrl.path();
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return QString();
    // "…/seite.html" names its folder; "…/bilder/" names itself.
    return path.endsWith(QLatin1Char('/')) ? QDir::cleanPath(path) : QFileInfo(path).absolutePath();
}

QString DocumentResources::allowedFile(const QUrl &address) const
{
    if (m_folder.isEmpty())
        return QString();
    QString path;
    if (address.isLocalFile()) {
        path = address.toLocalFile();
    } else if (address.scheme().isEmpty()) {
        path = address.path();
        if (path.isEmpty())
            return QString();
        if (!QDir::isAbsolutePath(path))
            path = m_folder + QLatin1Char('/') + path;
    } else {
        return QString(); // the web, qrc: and every other scheme
    }
    // Symbolic links are followed before the check, so one pointing out of
    // the folder is refused like the place it points to.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty() || !canonical.startsWith(m_folder + QLatin1Char('/')))
        return QString();
    return canonical;
}

std::optional<QByteArray> DocumentResources::readRegularFile(const QString &path, qint64 limit)
{
    // O_NONBLOCK: opening a FIFO for reading would wait for a writer.
    // O_NOFOLLOW: a link put in the checked file's place is not followed.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return std::nullopt;
    std::optional<QByteArray> result;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= limit) {
        QByteArray bytes;
        bytes.resize(qsizetype(st.st_size));
        qsizetype got = 0;
        bool failed = false;
        // A file that grows while it is read is cut at the size it had.
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                failed = n < 0;
                break;
            }
            got += n;
        }
        if (!failed) {
            bytes.truncate(got);
            result = std::move(bytes);
        }
    }
    ::close(fd);
    return result;
}

QVariant DocumentResources::load(const QUrl &address) const
{
    if (isDataAddress(address))
        return QVariant();
    const QString file = allowedFile(address);
    if (!file.isEmpty()) {
        if (std::optional<QByteArray> bytes = readRegularFile(file))
            return *bytes;
    }
    return QByteArray();
}

GuardedTextDocument::GuardedTextDocument(QObject *parent) : QTextDocument(parent)
{
}

QVariant GuardedTextDocument::loadResource(int type, const QUrl &name)
{
    const QString folder = DocumentResources::folderOf(QUrl(metaInformation(QTextDocument::DocumentUrl)));
    if (folder != m_cachedFolder) {
        m_cache.clear();
        m_cachedFolder = folder;
    }
    if (const auto cached = m_cache.constFind(name); cached != m_cache.cend())
        return *cached;
    QVariant r = DocumentResources(folder).load(name);
    if (!r.isValid())
        return QTextDocument::loadResource(type, name); // data: addresses, decoded by Qt
    if (type == QTextDocument::ImageResource) {
        const QImage image = QImage::fromData(r.toByteArray());
        if (!image.isNull())
            r = image;
    }
    m_cache.insert(name, r);
    return r;
}
