#include "EpubReader.h"

#include "ImportMessages.h"
#include "SafeXmlReader.h"
#include "XhtmlReader.h"
#include "ZipArchive.h"

#include <QDir>
#include <QHash>
#include <QUrl>

namespace {

struct Package {
    QString rootFile;
    QStringList chapters; // archive paths in spine order
};

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
    {
        SafeXmlReader xml(opf, rootFile);
        for (SafeXmlReader::Token t; (t = xml.next()) != SafeXmlReader::Token::End;) {
            if (t != SafeXmlReader::Token::StartElement)
                continue;
            if (xml.name() == QLatin1String("item"))
                manifest.insert(xml.attribute(u"id"), resolve(baseDir, xml.attribute(u"href")));
            else if (xml.name() == QLatin1String("itemref"))
                spine.append(xml.attribute(u"idref"));
        }
        if (xml.refused())
            return fail(message, xml.errorMessage());
        if (xml.damaged() && spine.isEmpty())
            return fail(message, xml.errorMessage());
    }

    QStringList chapters;
    for (const QString &id : spine) {
        const QString path = manifest.value(id);
        if (!path.isEmpty() && !chapters.contains(path))
            chapters.append(path);
    }
    if (chapters.isEmpty())
        return fail(message, ImportMessages::EpubNoChapters);

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
        if (!XhtmlReader::read(chapter, chapters.at(i), builder, &error))
            return fail(message, error);
        builder.endBlock();
        control.report(i + 1, chapters.size());
    }
    builder.finish();
    if (out->blocks.empty())
        return fail(message, ImportMessages::EpubNoChapters);
    return ImportStatus::Ok;
}
