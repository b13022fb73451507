#include "PagePictures.h"

#include "DocumentResources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QUrl>

#include <future>
#include <mutex>

namespace PagePictures {

namespace {

struct Pending {
    std::mutex mutex;
    QHash<QString, std::shared_future<QImage>> pictures;
};

Pending &pending()
{
    static Pending p;
    return p;
}

QString key(const QString &filePath)
{
    return QDir::cleanPath(QFileInfo(filePath).absoluteFilePath());
}

} // namespace

QStringList picturesOf(const QString &html, const QString &pageFolder)
{
    static const QRegularExpression attribute(QStringLiteral(R"((?:\bsrc|\bbackground)\s*=\s*["']([^"']+)["'])"),
                                              QRegularExpression::CaseInsensitiveOption);
    QStringList files;
    for (auto it = attribute.globalMatch(html); it.hasNext();) {
        const QString ref = it.next().captured(1).trimmed();
        const QUrl url(ref);
        QString path;
        if (url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) == 0)
            path = url.toLocalFile();
        else if (url.scheme().isEmpty() || QDir::isAbsolutePath(ref))
            path = QDir(pageFolder).filePath(QUrl::fromPercentEncoding(ref.toUtf8()));
        else
            continue; // web addresses are never fetched
        path = key(path);
        if (!path.isEmpty() && !files.contains(path))
            files << path;
    }
    return files;
}

void prefetch(const QString &pagePath)
{
    // A start page is a few kilobytes; anything much larger is not one.
    const std::optional<QByteArray> page = DocumentResources::readRegularFile(pagePath, 1024 * 1024);
    if (!page)
        return;
    const QString folder = QFileInfo(pagePath).absolutePath();
    const QStringList files = picturesOf(QString::fromUtf8(*page), folder);
    // The browser view would show only these; the same rules decide here.
    const DocumentResources resources(folder);
    Pending &p = pending();
    std::lock_guard lock(p.mutex);
    p.pictures.clear();
    for (const QString &file : files) {
        const QString allowed = resources.allowedFile(QUrl::fromLocalFile(file));
        if (allowed.isEmpty())
            continue;
        p.pictures.insert(allowed, std::async(std::launch::async, [allowed] {
                                       const std::optional<QByteArray> bytes =
                                           DocumentResources::readRegularFile(allowed);
                                       return bytes ? QImage::fromData(*bytes) : QImage();
                                   }).share());
    }
}

QImage take(const QString &filePath)
{
    std::shared_future<QImage> picture;
    {
        Pending &p = pending();
        std::lock_guard lock(p.mutex);
        picture = p.pictures.take(key(filePath));
    }
    return picture.valid() ? picture.get() : QImage();
}

} // namespace PagePictures
