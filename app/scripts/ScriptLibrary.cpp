#include "ScriptLibrary.h"

#include "Paths.h"

#include <QDir>

#include <algorithm>

namespace ScriptLibrary {

void CreateScriptDir()
{
    Paths::ensureDir(Paths::scriptsDir());
    Paths::ensureDir(Paths::tempDir());
}

QStringList scriptFiles(const QString &folder)
{
    QDir dir(folder);
    dir.setNameFilters({QStringLiteral("*.vts")});
    // Without QDir::CaseSensitive the filter matches Test.VTS as well.
    QStringList names = dir.entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

QString caption(const QString &fileName, bool showVts)
{
    QString text = QString(fileName).remove(QLatin1String(".vts"), Qt::CaseSensitive);
    if (showVts)
        text += QLatin1String(".vts");
    return text;
}

QString GetSelectedItem(const QString &folder, int hID)
{
    const QStringList files = scriptFiles(folder);
    const qsizetype index = hID <= 1 ? 0 : qsizetype(hID) - 1;
    return index < files.size() ? files.at(index) : QString();
}

int idOfScript(const QString &folder, const QString &name)
{
    const QStringList files = scriptFiles(folder);
    for (int i = 0; i < files.size(); ++i) {
        if (files.at(i) == name || files.at(i) == name + QLatin1String(".vts"))
            return i + 1;
    }
    return 0;
}

} // namespace ScriptLibrary
