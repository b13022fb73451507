#include "LanguageNames.h"

#include <QList>
#include <QStringList>

#include <cctype>

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace {

QString fromIcu(const icu::UnicodeString &text)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text.getBuffer()), text.length());
}

// Made anew for each name rather than kept in a static: the names are built
// on the engine's thread, which may still run while a program that ended
// early destroys its statics.
icu::Locale german()
{
    return icu::Locale("de");
}

// ICU answers with the code itself (as given, or in capitals) when it has
// no name for it; "Pinyin" for "pinyin" is a name.
bool named(const QString &name, const QByteArray &code)
{
    return !name.isEmpty() && name != QString::fromLatin1(code.toLower())
           && name != QString::fromLatin1(code.toUpper());
}

QString languageName(const QByteArray &code)
{
    icu::UnicodeString name;
    icu::Locale(code.constData()).getDisplayLanguage(german(), name);
    const QString text = fromIcu(name);
    return named(text, code) ? text : QString();
}

QString scriptName(const QByteArray &code)
{
    icu::UnicodeString name;
    icu::Locale::createFromName(("und_" + code).constData()).getDisplayScript(german(), name);
    const QString text = fromIcu(name);
    return named(text, code) ? text : QString();
}

QString regionName(const QByteArray &code)
{
    icu::UnicodeString name;
    icu::Locale("und", code.toUpper().constData()).getDisplayCountry(german(), name);
    const QString text = fromIcu(name);
    return named(text, code) ? text : QString();
}

QString variantName(const QByteArray &code)
{
    icu::UnicodeString name;
    icu::Locale("und", "ZZ", code.toUpper().constData()).getDisplayVariant(german(), name);
    const QString text = fromIcu(name);
    return named(text, code) ? text : QString();
}

QString cleaned(const QString &engineName)
{
    QString text = engineName;
    text.replace(QLatin1Char('_'), QLatin1Char(' '));
    return text.simplified();
}

} // namespace

QString LanguageNames::engineVariant(const QString &engineName)
{
    // The last part in brackets at the end, without brackets inside it.
    const QString text = cleaned(engineName);
    if (!text.endsWith(QLatin1Char(')')))
        return QString();
    const qsizetype open = text.lastIndexOf(QLatin1Char('('));
    if (open < 0)
        return QString();
    const QString inner = text.mid(open + 1, text.size() - open - 2);
    if (inner.contains(QLatin1Char(')')))
        return QString();
    return inner.split(QLatin1Char(',')).constLast().trimmed();
}

QString LanguageNames::german(const QByteArray &tag, const QString &engineName)
{
    const QList<QByteArray> parts = tag.toLower().replace('_', '-').split('-');
    const QString language = languageName(parts.value(0));
    if (language.isEmpty()) {
        const QString own = cleaned(engineName);
        return own.isEmpty() ? QString::fromLatin1(tag) : own;
    }
    QStringList details;
    bool unnamedVariant = false;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray &part = parts.at(i);
        if (part == "x") { // private use: only the engine knows what it means
            unnamedVariant = true;
            break;
        }
        QString name;
        if (part.size() == 4 && i == 1)
            name = scriptName(part);
        else if (part.size() == 2 || (part.size() == 3 && std::isdigit(static_cast<unsigned char>(part[0]))))
            name = regionName(part);
        else
            name = variantName(part);
        if (name.isEmpty())
            unnamedVariant = true;
        else
            details << name;
    }
    if (unnamedVariant) {
        const QString variant = engineVariant(engineName);
        if (!variant.isEmpty() && !details.contains(variant))
            details << variant;
    }
    return details.isEmpty() ? language : QStringLiteral("%1 (%2)").arg(language, details.join(QStringLiteral(", ")));
}
