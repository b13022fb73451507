#include "EpubReader.h"

#include "ImportMessages.h"
#include "SafeXmlReader.h"
#include "XhtmlReader.h"
#include "ZipArchive.h"

#include <QDir>
#include <QHash>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace {

const QLatin1String kDublinCore("http://purl.org/dc/elements/1.1/");
// A title, author or date longer than this is cut (the document box cleans
// it further); more creators than this are not listed.
constexpr qsizetype kMaxMetadataText = 4096;
constexpr qsizetype kMaxCreators = 20;

ImportStatus fail(QString *message, const QString &text)
{
    *message = text;
    return ImportStatus::Failed;
}

// An href of the package file as an entry name of the archive.
QString resolve(const QString &baseDir, const QString &href)
{
    QString path = QUrl::fromPercentEncoding(href.section(QLatin1Char('#'), 0, 0).toUtf8());
    if (!baseDir.isEmpty())
        path = baseDir + QLatin1Char('/') + path;
    path = QDir::cleanPath(path);
    return path.startsWith(QLatin1String("./")) ? path.mid(2) : path;
}

// A chapter title of the table of contents, with its nesting (1: top).
struct TocEntry {
    QString title;
    int level = 1;
};

// The first title the table of contents gives each chapter file: from the
// navigation document's "toc" nav (its nested lists), else from the NCX
// (its nested navPoints). Links into the middle of a file count too, as
// long as they are the file's first.
QHash<QString, TocEntry> tableOfContents(const QByteArray &data, const QString &partName, bool ncx)
{
    QHash<QString, TocEntry> titles;
    const QString dir = partName.contains(QLatin1Char('/')) ? partName.section(QLatin1Char('/'), 0, -2) : QString();
    SafeXmlReader xml(data, partName);
    int navDepth = 0;   // depth of the toc nav element; 0 outside it
    int level = 0;      // lists (or navPoints) open around the current entry
    QString href;
    QString title;
    bool inTitle = false;
    for (SafeXmlReader::Token t; (t = xml.next()) != SafeXmlReader::Token::End;) {
        const QStringView name = xml.name();
        if (t == SafeXmlReader::Token::StartElement) {
            if (!ncx && navDepth == 0 && name == QLatin1String("nav")
                && xml.attribute(u"type").split(QLatin1Char(' ')).contains(QLatin1String("toc")))
                navDepth = xml.depth();
            else if ((!ncx && navDepth && name == QLatin1String("ol")) || (ncx && name == QLatin1String("navPoint")))
                ++level;
            else if (!ncx && navDepth && name == QLatin1String("a"))
                href = xml.attribute(u"href"), title.clear(), inTitle = true;
            else if (ncx && name == QLatin1String("text"))
                title.clear(), inTitle = true;
            else if (ncx && name == QLatin1String("content"))
                href = xml.attribute(u"src");
        } else if (t == SafeXmlReader::Token::Text && inTitle) {
            if (title.size() < 1000)
                title += xml.text();
        } else if (t == SafeXmlReader::Token::EndElement) {
            if (!ncx && navDepth && name == QLatin1String("nav") && xml.depth() <= navDepth)
                navDepth = 0;
            else if ((!ncx && navDepth && name == QLatin1String("ol")) || (ncx && name == QLatin1String("navPoint")))
                level = std::max(0, level - 1);
            else if (name == QLatin1String(ncx ? "text" : "a"))
                inTitle = false;
            // An NCX entry is complete with its content element, after the label.
            const bool complete = ncx ? name == QLatin1String("content") : name == QLatin1String("a") && navDepth;
            if (complete && !href.isEmpty() && !title.simplified().isEmpty()) {
                const QString path = resolve(dir, href);
                if (!titles.contains(path))
                    titles.insert(path, {title.simplified(), std::clamp(level, 1, 6)});
                href.clear();
            }
        }
    }
    return titles;
}

} // namespace

ImportStatus EpubReader::read(const QByteArray &bytes, const ImportControl &control, ImportedDocument *out,
                              QString *message)
{
    ZipArchive zip;
    if (!zip.open(bytes))
        return fail(message, zip.errorMessage());

    const QString containerName = QStringLiteral("META-INF/container.xml");
    QByteArray container;
    if (!zip.read(containerName, &container))
        return fail(message, zip.errorMessage());
    QString rootFile;
    {
        SafeXmlReader xml(container, containerName);
        for (SafeXmlReader::Token t; (t = xml.next()) != SafeXmlReader::Token::End;) {
            if (t == SafeXmlReader::Token::StartElement && xml.name() == QLatin1String("rootfile") && rootFile.isEmpty()) {
                const QString type = xml.attribute(u"media-type");
                if (type.isEmpty() || type == QLatin1String("application/oebps-package+xml"))
                    rootFile = xml.attribute(u"full-path");
            }
        }
        if (xml.refused() || rootFile.isEmpty())
            return fail(message, xml.refused() ? xml.errorMessage() : ImportMessages::EpubNoChapters);
    }
    rootFile = resolve(QString(), rootFile);

    QByteArray opf;
    if (!zip.read(rootFile, &opf))
        return fail(message, zip.errorMessage());
    const QString baseDir = rootFile.contains(QLatin1Char('/')) ? rootFile.section(QLatin1Char('/'), 0, -2) : QString();
    QHash<QString, QString> manifest; // id -> archive path
    QStringList spine;
    QString navPath;
    QString ncxPath;
    QString coverId;   // EPUB 2: <meta name="cover" content="id">
    QString coverPath; // EPUB 3: the item with the property cover-image
    QStringList creators;
    {
        SafeXmlReader xml(opf, rootFile);
        QString *field = nullptr; // the metadata element being read
        QString creator;
        for (SafeXmlReader::Token t; (t = xml.next()) != SafeXmlReader::Token::End;) {
            if (t == SafeXmlReader::Token::Text) {
                if (field && field->size() < kMaxMetadataText)
                    field->append(xml.text());
                continue;
            }
            if (t == SafeXmlReader::Token::EndElement) {
                if (field == &creator && !creator.trimmed().isEmpty() && creators.size() < kMaxCreators)
                    creators.append(creator.simplified());
                field = nullptr;
                continue;
            }
            if (xml.namespaceUri() == kDublinCore) {
                // The first title and date count; every creator does.
                if (xml.name() == QLatin1String("title") && out->title.isEmpty())
                    field = &out->title;
                else if (xml.name() == QLatin1String("date") && out->date.isEmpty())
                    field = &out->date;
                else if (xml.name() == QLatin1String("creator")) {
                    creator.clear();
                    field = &creator;
                }
                continue;
            }
            if (xml.name() == QLatin1String("meta") && xml.attribute(u"name") == QLatin1String("cover"))
                coverId = xml.attribute(u"content");
            if (xml.name() == QLatin1String("item")) {
                const QString path = resolve(baseDir, xml.attribute(u"href"));
                manifest.insert(xml.attribute(u"id"), path);
                const QStringList properties = xml.attribute(u"properties").split(QLatin1Char(' '));
                if (properties.contains(QLatin1String("nav")))
                    navPath = path;
                else if (xml.attribute(u"media-type") == QLatin1String("application/x-dtbncx+xml"))
                    ncxPath = path;
                if (properties.contains(QLatin1String("cover-image")) && coverPath.isEmpty())
                    coverPath = path;
            }
            else if (xml.name() == QLatin1String("itemref"))
                spine.append(xml.attribute(u"idref"));
        }
        if (xml.refused())
            return fail(message, xml.errorMessage());
        if (xml.damaged() && spine.isEmpty())
            return fail(message, xml.errorMessage());
    }

    out->author = creators.join(QStringLiteral(", "));
    if (coverPath.isEmpty())
        coverPath = manifest.value(coverId);
    // A cover that cannot be read is left out; the book still opens.
    if (!coverPath.isEmpty() && !zip.read(coverPath, &out->cover))
        out->cover.clear();

    QStringList chapters;
    for (const QString &id : spine) {
        const QString path = manifest.value(id);
        if (!path.isEmpty() && !chapters.contains(path))
            chapters.append(path);
    }
    if (chapters.isEmpty())
        return fail(message, ImportMessages::EpubNoChapters);

    // Chapter files without a heading of their own get the title the table
    // of contents gives them, so the book keeps its chapters.
    QHash<QString, TocEntry> toc;
    for (const auto &[path, ncx] : {std::pair{navPath, false}, std::pair{ncxPath, true}}) {
        QByteArray data;
        if (toc.isEmpty() && !path.isEmpty() && zip.read(path, &data))
            toc = tableOfContents(data, path, ncx);
    }

    ImportedDocumentBuilder builder(*out);
    for (qsizetype i = 0; i < chapters.size(); ++i) {
        if (control.cancelled())
            return ImportStatus::Cancelled;
        QByteArray chapter;
        if (!zip.read(chapters.at(i), &chapter)) {
            // A chapter the package lists but the archive lacks is skipped;
            // anything else (a bomb, encryption, damage) stops the import.
            if (!zip.contains(chapters.at(i)))
                continue;
            return fail(message, zip.errorMessage());
        }
        QString error;
        const size_t first = out->blocks.size();
        if (!XhtmlReader::read(chapter, chapters.at(i), builder, &error))
            return fail(message, error);
        builder.endBlock();
        const auto entry = toc.constFind(chapters.at(i));
        const auto begin = out->blocks.begin() + qsizetype(first);
        if (entry != toc.cend() && begin != out->blocks.end()
            && std::none_of(begin, out->blocks.end(),
                            [](const TextBlock &b) { return b.kind == TextBlock::Kind::Heading; })) {
            TextBlock heading;
            heading.kind = TextBlock::Kind::Heading;
            heading.headingLevel = entry->level;
            heading.runs.push_back({entry->title});
            out->blocks.insert(begin, std::move(heading));
        }
        control.report(i + 1, chapters.size());
    }
    builder.finish();
    if (out->blocks.empty())
        return fail(message, ImportMessages::EpubNoChapters);
    return ImportStatus::Ok;
}
