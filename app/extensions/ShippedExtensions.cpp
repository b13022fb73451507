#include "ShippedExtensions.h"

#include "Ansi.h"
#include "clsRegistryAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// A registration file is a few lines; anything larger is not one of ours.
constexpr qint64 kMaxRegFileSize = 64 * 1024;

QString defaultValueOf(clsRegistryAccess &registry, const QString &key)
{
    const QString value = registry.ReadString(key, QStringLiteral("@"));
    return value;
}

} // namespace

bool ShippedExtensions::read(const QString &regFile, Registration &out)
{
    QFile f(regFile);
    if (f.size() > kMaxRegFileSize || !f.open(QIODevice::ReadOnly))
        return false;
    const QString text = Ansi::decode(f.readAll());
    static const QRegularExpression entry(
        QStringLiteral(R"(^\[(HKEY_CURRENT_USER\\[^\]\r\n]*\\Extensions\\[^\]\\\r\n]+)\]\r?$)"),
        QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression classKey(
        QStringLiteral(R"(^\[(HKEY_CLASSES_ROOT\\[^\]\r\n]+\\InprocServer32)\]\r?$)"),
        QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression library(QStringLiteral(R"re(^@="([^"\r\n]+)"\r?$)re"),
                                            QRegularExpression::MultilineOption);
    const auto e = entry.match(text);
    const auto c = classKey.match(text);
    const auto l = library.match(text);
    if (!e.hasMatch() || !c.hasMatch() || !l.hasMatch())
        return false;
    // .reg strings escape backslashes; the file name is what counts.
    QString path = l.captured(1);
    path.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || name.contains(QLatin1Char('\\')))
        return false;
    out = {e.captured(1), c.captured(1), name};
    return true;
}

const QString ShippedExtensions::RegisteredKey =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Quenora\\ShippedExtensions");

ShippedExtensions::ShippedExtensions(clsRegistryAccess &registry, QString regFolder, QString pluginFolder)
    : m_registry(registry), m_regFolder(std::move(regFolder)), m_pluginFolder(std::move(pluginFolder))
{
}

QStringList ShippedExtensions::registerAll()
{
    QStringList changed;
    const QDir folder(m_regFolder);
    const QStringList files = folder.entryList({QStringLiteral("*.reg")}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        Registration r;
        if (!read(folder.filePath(file), r))
            continue;
        const QString library = QDir(m_pluginFolder).filePath(r.libraryName);
        // A library this install does not have is not registered: the entry
        // would only produce a failure at every event.
        if (!QFileInfo(library).isFile())
            continue;
        const bool create = m_registry.CreateKeyIfDoesntExists();
        m_registry.CreateKeyIfDoesntExists(true);
        bool touched = false;
        const QString entry = r.entryKey.section(QLatin1Char('\\'), -1);
        const bool importedBefore = m_registry.ReadString(RegisteredKey, entry, QString()) == QLatin1String("1");
        if (!m_registry.KeyExists(r.entryKey) && importedBefore) {
            // Removed since: not brought back.
        } else if (!m_registry.KeyExists(r.entryKey)) {
            if (m_registry.ImportFromReg(folder.filePath(file)) == 1)
                touched = true;
            // The file names the library where it was built for; this
            // install's own copy is the one to load.
            if (defaultValueOf(m_registry, r.classKey) != library) {
                m_registry.WriteString(r.classKey, QStringLiteral("@"), library);
                touched = true;
            }
        } else {
            const QString current = defaultValueOf(m_registry, r.classKey);
            if (current.isEmpty() || !QFileInfo(current).isFile()) {
                m_registry.WriteString(r.classKey, QStringLiteral("@"), library);
                touched = true;
            }
        }
        if (!importedBefore && m_registry.KeyExists(r.entryKey))
            m_registry.WriteString(RegisteredKey, entry, QStringLiteral("1"));
        m_registry.CreateKeyIfDoesntExists(create);
        if (touched)
            changed << entry;
    }
    return changed;
}
