#include "PlugdeskCommand.h"

#include "QuenoraVersion.h"

#include "ExtensionEntries.h"
#include "PlugdeskTexts.h"

#include <QTextStream>

namespace PlugdeskCommand {

bool wanted(const QStringList &arguments)
{
    return !arguments.isEmpty();
}

namespace {

int list(ExtensionEntries &entries, QTextStream &out, QTextStream &err)
{
    const ExtensionEntries::Listing listing = entries.enumerate();
    if (listing.entries.isEmpty()) {
        err << (listing.error.isEmpty() ? PlugdeskTexts::noneInstalled() : PlugdeskTexts::cannotRead(listing.error))
            << Qt::endl;
        return Failure;
    }
    for (const ExtensionEntries::Entry &e : listing.entries) {
        out << e.displayName << '\t'
            << (ExtensionEntries::looksActive(e.active) ? PlugdeskTexts::active() : PlugdeskTexts::inactive()) << '\t'
            << e.objectName << '\n';
    }
    out.flush();
    return Success;
}

int switchEntries(ExtensionEntries &entries, const QString &text, bool on, QTextStream &out, QTextStream &err)
{
    if (text.isEmpty()) {
        // By the matching rule an empty text would belong to every entry.
        err << PlugdeskTexts::emptyName() << Qt::endl;
        return Usage;
    }
    const ExtensionEntries::Switch result = entries.setActive(text, on);
    if (!result.error.isEmpty()) {
        err << PlugdeskTexts::switchFailed(text, on) << '\n' << result.error << Qt::endl;
        return Failure;
    }
    if (result.switched.isEmpty()) {
        err << PlugdeskTexts::nothingBelongs(text) << Qt::endl;
        return Failure;
    }
    const QString state = on ? PlugdeskTexts::active() : PlugdeskTexts::inactive();
    for (const QString &name : result.switched)
        out << name << '\t' << state << '\n';
    out.flush();
    return Success;
}

} // namespace

int run(const QStringList &arguments, ExtensionEntries &entries, QTextStream &out, QTextStream &err)
{
    const QString first = arguments.value(0);
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        if (arguments.size() > 1) {
            err << PlugdeskTexts::unknownOption(arguments[1]) << Qt::endl;
            return Usage;
        }
        out << PlugdeskTexts::help();
        out.flush();
        return Success;
    }
    if (first == QLatin1String("--version") && arguments.size() == 1) {
        out << "plugdesk " QUENORA_VERSION_STRING "\n";
        out.flush();
        return Success;
    }
    if (first == QLatin1String("--list")) {
        if (arguments.size() > 1) {
            err << PlugdeskTexts::unknownOption(arguments[1]) << Qt::endl;
            return Usage;
        }
        return list(entries, out, err);
    }
    if (first == QLatin1String("--enable") || first == QLatin1String("--disable")) {
        if (arguments.size() < 2) {
            err << PlugdeskTexts::missingName(first) << Qt::endl;
            return Usage;
        }
        if (arguments.size() > 2) {
            err << PlugdeskTexts::unknownOption(arguments[2]) << Qt::endl;
            return Usage;
        }
        return switchEntries(entries, arguments[1], first == QLatin1String("--enable"), out, err);
    }
    err << PlugdeskTexts::unknownOption(first) << Qt::endl;
    return Usage;
}

} // namespace PlugdeskCommand
