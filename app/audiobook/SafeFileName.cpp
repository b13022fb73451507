#include "SafeFileName.h"

namespace SafeFileName {

namespace {

bool dropped(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

} // namespace

QString oneLine(const QString &title)
{
    QString line;
    line.reserve(title.size());
    for (QChar c : title)
        line += dropped(c) ? QChar(u' ') : c;
    return line.simplified();
}

QString fromTitle(const QString &title, const QString &fallback)
{
    QString name;
    name.reserve(std::min<qsizetype>(title.size(), 4 * kMaxCharacters));
    for (QChar c : title) {
        if (name.size() > 4 * kMaxCharacters)
            break; // the rest is cut anyway
        if (dropped(c)) {
            name += u' ';
            continue;
        }
        switch (c.unicode()) {
        case u'/':
        case u'\\':
        case u':':
            name += u'-';
            break;
        case u'*':
        case u'?':
        case u'"':
        case u'<':
        case u'>':
        case u'|':
            break;
        default:
            name += c;
        }
    }
    name = name.simplified();
    while (!name.isEmpty() && (name.front() == u'.' || name.front() == u' ' || name.front() == u'-'))
        name.remove(0, 1);

    // Cut to the limits, never between the halves of a surrogate pair.
    auto cutTo = [&name](qsizetype length) {
        if (length < name.size()) {
            if (length > 0 && name.at(length - 1).isHighSurrogate())
                --length;
            name.truncate(length);
        }
    };
    cutTo(kMaxCharacters);
    while (name.toUtf8().size() > kMaxBytes)
        cutTo(name.size() - 1);
    while (!name.isEmpty() && (name.back() == u'.' || name.back() == u' '))
        name.chop(1);
    return name.isEmpty() ? fallback : name;
}

QString numbered(int number, int total, const QString &title, const QString &fallback, const QString &suffix)
{
    const int digits = std::max(2, int(QString::number(std::max(total, number)).size()));
    return QStringLiteral("%1 %2.%3")
        .arg(number, digits, 10, QLatin1Char('0'))
        .arg(fromTitle(title, fallback), suffix);
}

} // namespace SafeFileName
