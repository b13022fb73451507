#include "ErrorPage.h"

#include "WholeFile.h"
#include "Paths.h"
#include "WindowTexts.h"

#include <QFile>
#include <QFileInfo>

QString ErrorPage::moreInfo(int number, const QString &description)
{
    QString more = WindowTexts::ErrorPageNumber + QString::number(number) + WindowTexts::ErrorPageDescription
        + description.toHtmlEscaped();
    if (description.isEmpty())
        more += WindowTexts::ErrorPageNoNumber;
    return more;
}

QString ErrorPage::fill(const QString &pageTemplate, int number, const QString &description)
{
    QString page = pageTemplate;
    page.replace(QStringLiteral("%MOREINFO"), moreInfo(number, description));
    return page;
}

bool ErrorPage::write(const QString &templatePath, const QString &target, int number, const QString &description)
{
    const QString page = fill(WholeFile::ReadWholeFile(templatePath), number, description);
    Paths::ensureDir(QFileInfo(target).absolutePath());
    if (WholeFile::WriteWholeFile(target, page) == 0)
        return true;
    QFile::remove(target);
    return false;
}
