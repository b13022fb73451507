#include "DictionaryEditor.h"

#include "Paths.h"
#include "PronunciationTexts.h"

#include <QDir>
#include <QFileInfo>

bool DictionaryEditor::setActive(int index, bool on)
{
    QList<DictionaryRef> list = dictionaries();
    if (index < 0 || index >= list.size())
        return false;
    list[index].active = on;
    return store(list);
}

bool DictionaryEditor::move(int index, int delta)
{
    QList<DictionaryRef> list = dictionaries();
    const int to = index + delta;
    if (index < 0 || index >= list.size() || to < 0 || to >= list.size())
        return false;
    list.move(index, to);
    return store(list);
}

bool DictionaryEditor::remove(int index)
{
    QList<DictionaryRef> list = dictionaries();
    if (index < 0 || index >= list.size())
        return false;
    list.removeAt(index);
    return store(list);
}

QString DictionaryEditor::freePath(const QString &baseName) const
{
    const QString folder = ActiveDictionaries::userFolder();
    QString path = folder + QLatin1Char('/') + baseName + QStringLiteral(".txt");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder + QStringLiteral("/%1 (%2).txt").arg(baseName).arg(n);
    return path;
}

bool DictionaryEditor::add(const QString &path, QString *error)
{
    QList<DictionaryRef> list = dictionaries();
    list.append({path, true});
    if (!store(list)) {
        *error = PronunciationTexts::SettingNotStored;
        return false;
    }
    return true;
}

bool DictionaryEditor::create(const QString &name, QString *error)
{
    const QString baseName = name.trimmed();
    if (baseName.isEmpty() || baseName.contains(QLatin1Char('/')) || baseName.startsWith(QLatin1Char('.'))
        || baseName.contains(QChar(0))) {
        *error = PronunciationTexts::BadName;
        return false;
    }
    if (!Paths::ensureDir(ActiveDictionaries::userFolder())) {
        *error = PronunciationTexts::NoUserFolder;
        return false;
    }
    const QString path = ActiveDictionaries::userFolder() + QLatin1Char('/') + baseName + QStringLiteral(".txt");
    if (QFileInfo::exists(path)) {
        *error = PronunciationTexts::nameTaken(baseName);
        return false;
    }
    return PronunciationFile::save(path, {}, error) && add(path, error);
}

bool DictionaryEditor::import(const QString &source, QString *error)
{
    const PronunciationFile file = PronunciationFile::load(source);
    if (!file.error.isEmpty()) {
        *error = file.error;
        return false;
    }
    if (!Paths::ensureDir(ActiveDictionaries::userFolder())) {
        *error = PronunciationTexts::NoUserFolder;
        return false;
    }
    const QString path = freePath(QFileInfo(source).completeBaseName());
    if (!PronunciationFile::save(path, file.entries, error, file.otherLines) || !add(path, error))
        return false;
    error->clear();
    if (!file.brokenLines.isEmpty())
        *error = PronunciationTexts::importedWithout(file.brokenLines);
    return true;
}

bool DictionaryEditor::exportTo(int index, const QString &target, QString *error) const
{
    const PronunciationFile file = entries(index);
    if (!file.error.isEmpty()) {
        *error = file.error;
        return false;
    }
    return PronunciationFile::save(target, file.entries, error, file.otherLines);
}

PronunciationFile DictionaryEditor::entries(int index) const
{
    const QList<DictionaryRef> list = dictionaries();
    if (index < 0 || index >= list.size())
        return {};
    return PronunciationFile::load(list.at(index).path());
}

bool DictionaryEditor::isEditable(int index) const
{
    const QList<DictionaryRef> list = dictionaries();
    return index >= 0 && index < list.size() && !list.at(index).isShipped();
}

bool DictionaryEditor::save(int index, const QList<PronunciationEntry> &entries, QString *error)
{
    if (!isEditable(index)) {
        *error = PronunciationTexts::ShippedReadOnly;
        return false;
    }
    // The file's comments stay, its broken lines as comments.
    const QString path = dictionaries().at(index).path();
    return PronunciationFile::save(path, entries, error, PronunciationFile::load(path).otherLines);
}

bool DictionaryEditor::matches(const PronunciationEntry &entry, const QString &text)
{
    return text.isEmpty() || entry.written.contains(text, Qt::CaseInsensitive)
        || entry.spoken.contains(text, Qt::CaseInsensitive);
}
