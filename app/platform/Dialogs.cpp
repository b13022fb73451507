#include "Dialogs.h"

#include <QStringList>

QString qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the last parenthesised group; with
        // HideNameFilterDetails the user sees the description as written.
        filters.append(QStringLiteral("%1 (%2)").arg(description, patterns.simplified()));
    }
    return filters.join(QStringLiteral(";;"));
}
