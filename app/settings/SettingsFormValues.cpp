#include "SettingsFormValues.h"

#include "SettingsStore.h"

#include <cmath>

namespace {

// The whole number a stored text stands for; nothing when it is none.
std::optional<long long> wholeNumber(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    const long long whole = t.toLongLong(&ok);
    if (ok)
        return whole;
    const double d = t.toDouble(&ok);
    if (!ok || d != d || d > 9e18 || d < -9e18)
        return std::nullopt;
    return static_cast<long long>(std::llround(d));
}

SettingsFormValues::Check readCheck(const SettingsStore &store, const SettingKeys::Key &key)
{
    return {SettingsFormValues::checkValue(store.read(key))};
}

void writeCheck(SettingsStore &store, const SettingKeys::Key &key, const SettingsFormValues::Check &check)
{
    if (check.checked)
        store.write(key, *check.checked ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace

std::optional<bool> SettingsFormValues::checkValue(const QString &stored)
{
    const auto number = wholeNumber(stored);
    if (number == 0)
        return false;
    if (number == 1)
        return true;
    return std::nullopt;
}

SettingsFormValues SettingsFormValues::read(const SettingsStore &store)
{
    SettingsFormValues v;
    v.prefix = store.read(SettingKeys::Prefix);
    v.suffix = store.read(SettingKeys::Suffix);
    v.allowRead = readCheck(store, SettingKeys::VTSAllowRead);
    v.allowVTS = readCheck(store, SettingKeys::VTSAllow);
    v.allowDownload = readCheck(store, SettingKeys::VTSAllowDownload);
    v.readTitle = readCheck(store, SettingKeys::ReadTitleOnAppChange);
    v.readClipboard = readCheck(store, SettingKeys::ReadClipboardOnChange);
    v.ignoreOwnTitles = readCheck(store, SettingKeys::IgnoreOwnWindowTitles);
    // Exactly "true", as the mail launcher compares it.
    v.launchMail = store.read(SettingKeys::LaunchMailProgram) == QLatin1String("true");

    const QString showWB = store.read(SettingKeys::ShowWB);
    if (showWB == QLatin1String("1"))
        v.startView = InteractiveMode;
    else if (showWB == QLatin1String("0"))
        v.startView = TextMode;
    if (store.flag(SettingKeys::ShowLastDoc))
        v.startView = LastDocument;
    return v;
}

void SettingsFormValues::write(SettingsStore &store) const
{
    store.write(SettingKeys::Prefix, prefix);
    store.write(SettingKeys::Suffix, suffix);
    writeCheck(store, SettingKeys::VTSAllowRead, allowRead);
    writeCheck(store, SettingKeys::VTSAllow, allowVTS);
    writeCheck(store, SettingKeys::VTSAllowDownload, allowDownload);
    store.write(SettingKeys::LaunchMailProgram, launchMail ? QStringLiteral("true") : QStringLiteral("false"));
    writeCheck(store, SettingKeys::ReadTitleOnAppChange, readTitle);
    writeCheck(store, SettingKeys::ReadClipboardOnChange, readClipboard);
    writeCheck(store, SettingKeys::IgnoreOwnWindowTitles, ignoreOwnTitles);
    if (!startView)
        return;
    store.write(SettingKeys::ShowWB, *startView == InteractiveMode ? QStringLiteral("1") : QStringLiteral("0"));
    store.write(SettingKeys::ShowLastDoc, *startView == LastDocument ? QStringLiteral("1") : QStringLiteral("0"));
}

bool SettingsFormValues::needsRestart(const SettingsStore &store) const
{
    if (!readTitle.checked)
        return false;
    // Whatever the stored text is, the reader runs only for "1"; anything
    // that is not a number counts as 0.
    const long long stored = wholeNumber(store.read(SettingKeys::ReadTitleOnAppChange)).value_or(0);
    return stored != (*readTitle.checked ? 1 : 0);
}
