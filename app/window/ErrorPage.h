#pragma once
// ErrorPage: the page the browser view shows when the script library cannot
// be listed. The template err.html (shipped with the program) holds the
// placeholder %MOREINFO; the filled page err2.html is written into the
// user's folder, since the program's own folder is read-only.

#include <QString>

class ErrorPage
{
public:
    // The extra text that replaces %MOREINFO. The description is plain text
    // and is escaped, so a path with "<" or "&" in it shows as written.
    static QString moreInfo(int number, const QString &description);
    // The template with every %MOREINFO replaced.
    static QString fill(const QString &pageTemplate, int number, const QString &description);

    // Reads the template (a missing one counts as empty), writes the filled
    // page to target through QSaveFile. When the write fails the old page is
    // removed, so an earlier error is never shown for this one. False then.
    static bool write(const QString &templatePath, const QString &target, int number, const QString &description);
};
