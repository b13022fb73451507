#include "FileTypeRegistration.h"

#include "Dialogs.h"
#include "Paths.h"
#include "clsRegistryAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

FileTypeRegistration::Environment FileTypeRegistration::currentEnvironment()
{
    Environment env;
    env.programPath = QCoreApplication::instance() ? QCoreApplication::applicationFilePath()
                                                   : Paths::executableDir() + QStringLiteral("/quenora");
    env.dataDir = Paths::dataDir();
    env.freedesktopDir = Paths::freedesktopDataDir();
    env.systemWideRegistration = systemWideRegistrationFor(
        env.programPath, QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation),
        QStandardPaths::findExecutable(QStringLiteral("quenora")));
    return env;
}

bool FileTypeRegistration::systemWideRegistrationFor(const QString &programPath, const QStringList &dataDirs,
                                                     const QString &foundOnPath)
{
    const QString program = QFileInfo(programPath).canonicalFilePath();
    if (program.isEmpty() || QFileInfo(foundOnPath).canonicalFilePath() != program)
        return false;
    const QString share = QFileInfo(QFileInfo(program).absolutePath() + QStringLiteral("/../share")).canonicalFilePath();
    if (share.isEmpty()
        || !QFileInfo::exists(share + QStringLiteral("/applications/io.github.quenora.Quenora.desktop"))
        || !QFileInfo::exists(share + QStringLiteral("/mime/packages/quenora-vts.xml")))
        return false;
    for (const QString &dir : dataDirs) {
        if (QFileInfo(dir).canonicalFilePath() == share)
            return true;
    }
    return false;
}

FileTypeRegistration::FileTypeRegistration(clsRegistryAccess &registry, Dialogs &dialogs, Environment environment)
    : m_registry(registry), m_dialogs(dialogs), m_env(std::move(environment))
{
}

void FileTypeRegistration::WriteRegistryString(clsRegistryAccess &registry, const QString &root,
                                               const QString &subkey, const QString &name, const QString &value)
{
    const bool create = registry.CreateKeyIfDoesntExists();
    registry.CreateKeyIfDoesntExists(true);
    registry.WriteString(root + QLatin1Char('\\') + subkey, name, value);
    registry.CreateKeyIfDoesntExists(create);
}

QString FileTypeRegistration::mimeTypeFor(const QString &typeName)
{
    return QStringLiteral("text/x-quenora-") + typeName;
}

QString FileTypeRegistration::desktopStringValue(const QString &value)
{
    QString out = QStringLiteral(""); // empty, never null: null means "cannot"
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                return QString();
            out += c;
        }
    }
    return out;
}

QString FileTypeRegistration::desktopExecQuote(const QString &argument)
{
    QString quoted;
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    // A literal percent sign is doubled in an Exec line; then the whole
    // value is escaped once more as the string it is.
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    const QString value = desktopStringValue(quoted);
    if (value.isNull())
        return QString();
    return QLatin1Char('"') + value + QLatin1Char('"');
}

void FileTypeRegistration::RegisterFileType(const QString &extension)
{
    m_changed = false;
    if (extension.isEmpty()) {
        m_dialogs.message(QStringLiteral("Dateiendung benötigt."), QString(), Dialogs::Icon::Critical,
                          Dialogs::Buttons::Ok);
        return;
    }
    QString ext = extension.toLower();
    QString typeName;
    if (!ext.startsWith(QLatin1Char('.'))) {
        typeName = ext;
        ext.prepend(QLatin1Char('.'));
    } else {
        typeName = ext.mid(1);
    }
    typeName += QStringLiteral("file");

    // Both paths are quoted: the start-up takes a document only from between
    // quotes, and a program folder with a blank would split the command.
    const QString command = QStringLiteral("\"%1\" \"%2\"").arg(QDir::toNativeSeparators(m_env.programPath),
                                                                QStringLiteral("%1"));
    const QString icon = QDir(m_env.dataDir).filePath(QStringLiteral("vts.ico"));
    WriteRegistryString(m_registry, QStringLiteral("HKEY_CLASSES_ROOT"), ext, QString(), typeName);
    WriteRegistryString(m_registry, QStringLiteral("HKEY_CLASSES_ROOT"), typeName + QStringLiteral("\\shell\\open\\command"),
                        QString(), command);
    WriteRegistryString(m_registry, QStringLiteral("HKEY_CLASSES_ROOT"), typeName + QStringLiteral("\\DefaultIcon"),
                        QString(), icon);

    if (!m_env.systemWideRegistration)
        writeDesktopFiles(ext, typeName);
}

void FileTypeRegistration::writeDesktopFiles(const QString &extension, const QString &typeName)
{
    if (m_env.freedesktopDir.isEmpty())
        return;
    const QDir share(m_env.freedesktopDir);
    const QString mimeType = mimeTypeFor(typeName);
    const QString iconName = QString(mimeType).replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString glob = QLatin1Char('*') + extension;

    const QByteArray mimeXml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"" + mimeType.toHtmlEscaped().toUtf8() + "\">\n"
        "    <comment>Quenora-Skript</comment>\n"
        "    <sub-class-of type=\"text/plain\"/>\n"
        "    <icon name=\"" + iconName.toHtmlEscaped().toUtf8() + "\"/>\n"
        "    <glob pattern=\"" + glob.toHtmlEscaped().toUtf8() + "\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n";
    const bool mimeChanged = writeIfChanged(share.filePath(QStringLiteral("mime/packages/quenora-%1.xml").arg(typeName)),
                                            mimeXml);

    // A program path or type name that no entry can hold leaves the old entry
    // (or none) rather than one with a line of someone else's making.
    const QString exec = desktopExecQuote(m_env.programPath);
    const QString iconValue = desktopStringValue(iconName);
    const QString mimeValue = desktopStringValue(mimeType);
    if (exec.isNull() || iconValue.isNull() || mimeValue.isNull() || mimeValue.contains(QLatin1Char(';')))
        return;
    const QByteArray desktop =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Quenora\n"
        "GenericName=Vorleseprogramm\n"
        "Comment=Quenora-Skripte ausführen und Texte vorlesen\n"
        "Exec=" + exec.toUtf8() + " %f\n"
        "Icon=" + iconValue.toUtf8() + "\n"
        "MimeType=" + mimeValue.toUtf8() + ";\n"
        "Terminal=false\n"
        "NoDisplay=true\n";
    const bool desktopChanged = writeIfChanged(
        share.filePath(QStringLiteral("applications/quenora-%1.desktop").arg(typeName)), desktop);

    const bool iconChanged =
        copyIfChanged(QDir(m_env.dataDir).filePath(QStringLiteral("icons/vts.png")),
                      share.filePath(QStringLiteral("icons/hicolor/48x48/mimetypes/%1.png").arg(iconName)))
        | copyIfChanged(QDir(m_env.dataDir).filePath(QStringLiteral("icons/vts.svg")),
                        share.filePath(QStringLiteral("icons/hicolor/scalable/mimetypes/%1.svg").arg(iconName)));

    m_changed = mimeChanged || desktopChanged || iconChanged;
    if (!m_env.refreshDatabases)
        return;
    // Only when something changed, and never waiting: the desktop picks the
    // new files up in the background while Quenora starts.
    const auto run = [](const QString &tool, const QStringList &args) {
        const QString exe = QStandardPaths::findExecutable(tool);
        if (exe.isEmpty())
            return;
        // Their remarks about search paths are of no use to a user of Quenora.
        QProcess process;
        process.setProgram(exe);
        process.setArguments(args);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.startDetached();
    };
    if (mimeChanged)
        run(QStringLiteral("update-mime-database"), {share.filePath(QStringLiteral("mime"))});
    if (desktopChanged)
        run(QStringLiteral("update-desktop-database"), {share.filePath(QStringLiteral("applications"))});
}

bool FileTypeRegistration::writeIfChanged(const QString &file, const QByteArray &content)
{
    QFile existing(file);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return false;
    existing.close();
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    QSaveFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(content) == content.size() && out.commit();
}

bool FileTypeRegistration::copyIfChanged(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    return writeIfChanged(to, source.readAll());
}
