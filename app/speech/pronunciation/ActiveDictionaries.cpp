#include "ActiveDictionaries.h"

#include "Paths.h"
#include "SettingKeys.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace {
const QString ShippedPrefix = QStringLiteral("data:");
const QString ShippedGerman = QStringLiteral("data:deutsch.txt");
} // namespace

QString DictionaryRef::path() const
{
    return isShipped() ? ActiveDictionaries::shippedFolder() + QLatin1Char('/') + place.mid(ShippedPrefix.size())
                       : place;
}

QString DictionaryRef::displayName() const
{
    return QFileInfo(path()).completeBaseName();
}

bool DictionaryRef::isShipped() const
{
    return place.startsWith(ShippedPrefix);
}

DictionaryLoader::Stamp DictionaryLoader::stampOf(const QString &path)
{
    Stamp stamp;
    stamp.path = path;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        stamp.size = st.st_size;
        stamp.modified = QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
        stamp.inode = quint64(st.st_ino) ^ (quint64(st.st_ctim.tv_nsec) << 20) ^ quint64(st.st_ctim.tv_sec);
    }
    return stamp;
}

std::shared_ptr<const Pronouncer> DictionaryLoader::load(const QStringList &paths)
{
    QList<Stamp> stamps;
    for (const QString &path : paths)
        stamps.append(stampOf(path));
    if (m_loaded && stamps == m_stamps)
        return m_pronouncer;
    QList<PronunciationEntry> entries;
    m_fileProblems.clear();
    for (const QString &path : paths) {
        const PronunciationFile file = PronunciationFile::load(path);
        if (!file.error.isEmpty())
            m_fileProblems.append(file.error);
        for (const QString &line : file.brokenLines)
            m_fileProblems.append(QFileInfo(path).fileName() + QStringLiteral(", ") + line);
        entries += file.entries;
    }
    m_stamps = stamps;
    m_loaded = true;
    m_pronouncer = std::make_shared<const Pronouncer>(std::move(entries));
    return m_pronouncer;
}

ActiveDictionaries::ActiveDictionaries(SettingsStore &settings) : m_settings(settings) {}

QString ActiveDictionaries::shippedFolder()
{
    return Paths::dataDir() + QStringLiteral("/pronunciation");
}

QString ActiveDictionaries::userFolder()
{
    return Paths::userDataDir() + QStringLiteral("/pronunciation");
}

QList<DictionaryRef> ActiveDictionaries::parse(const QString &setting)
{
    QList<DictionaryRef> list;
    for (const QString &line : setting.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab < 0 || line.mid(tab + 1).isEmpty())
            continue;
        list.append({line.mid(tab + 1), line.left(tab) != QLatin1String("0")});
    }
    return list;
}

QString ActiveDictionaries::format(const QList<DictionaryRef> &dictionaries)
{
    QStringList lines;
    for (const DictionaryRef &d : dictionaries)
        lines.append((d.active ? QStringLiteral("1\t") : QStringLiteral("0\t")) + d.place);
    return lines.join(QLatin1Char('\n'));
}

QList<DictionaryRef> ActiveDictionaries::list() const
{
    const QString stored = m_settings.read(SettingKeys::PronunciationDictionaries);
    if (stored.isEmpty()) {
        // An install without the shipped dictionary speaks without one
        // rather than complaining at every text.
        const DictionaryRef german{ShippedGerman, true};
        return QFileInfo::exists(german.path()) ? QList<DictionaryRef>{german} : QList<DictionaryRef>{};
    }
    return parse(stored);
}

bool ActiveDictionaries::store(const QList<DictionaryRef> &dictionaries)
{
    // An empty list is stored as a line switched off, so that it stays empty.
    const QString value = dictionaries.isEmpty() ? QStringLiteral("0\t") : format(dictionaries);
    return m_settings.write(SettingKeys::PronunciationDictionaries, value);
}

std::shared_ptr<const Pronouncer> ActiveDictionaries::current()
{
    QStringList paths;
    for (const DictionaryRef &d : list()) {
        if (d.active)
            paths.append(d.path());
    }
    return m_loader.load(paths);
}
