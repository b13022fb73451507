#include "Dialogs.h"

#include <QStringList>

namespace {

class HiddenProgress : public Dialogs::Progress
{
public:
    void setValue(int) override {}
    bool isShown() const override { return false; }
};

} // namespace

std::unique_ptr<Dialogs::Progress> Dialogs::progress(const ProgressRequest &request, std::function<void()> cancel)
{
    Q_UNUSED(request);
    Q_UNUSED(cancel);
    return std::make_unique<HiddenProgress>();
}

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

QString defaultSuffixForFilter(const QString &filter, int index, const QString &fallback)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (index < 0 || 2 * qsizetype(index) + 1 >= parts.size())
        return fallback;
    const QStringList patterns = parts[2 * index + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (patterns.size() != 1)
        return fallback;
    const QString pattern = patterns.constFirst().trimmed();
    if (!pattern.startsWith(QLatin1String("*.")))
        return fallback;
    const QString suffix = pattern.mid(2);
    // "*.*" and other wildcards name no type of their own.
    if (suffix.isEmpty() || suffix.contains(QLatin1Char('*')) || suffix.contains(QLatin1Char('?')))
        return fallback;
    return suffix;
}
