#include "ModeList.h"

#include "LanguageNames.h"
#include "SpeechEngine.h"
#include "SpeechTexts.h"

#include <QHash>
#include <QSet>

namespace {

// The languages a German user most likely wants, at the positions that
// stored voice numbers have always meant.
constexpr const char *preferred[] = {"de", "en-us", "es", "it", "nl", "pt"};

const QHash<QByteArray, int> &languageIds()
{
    static const QHash<QByteArray, int> ids = {
        {"af", 1078},    {"am", 1118},     {"an", 4096},     {"ar", 1025},   {"as", 1101},
        {"az", 1068},    {"ba", 1133},     {"be", 1059},     {"bg", 1026},   {"bn", 1093},
        {"bpy", 4096},   {"bs", 5146},     {"ca", 1027},     {"chr", 1116},  {"cmn", 2052},
        {"cs", 1029},    {"cv", 4096},     {"cy", 1106},     {"da", 1030},   {"de", 1031},
        {"el", 1032},    {"en", 2057},     {"en-029", 9225}, {"en-gb", 2057}, {"en-us", 1033},
        {"eo", 4096},    {"es", 1034},     {"es-419", 58378}, {"et", 1061},  {"eu", 1069},
        {"fa", 1065},    {"fi", 1035},     {"fr", 1036},     {"fr-fr", 1036}, {"fr-be", 2060},
        {"fr-ch", 4108}, {"ga", 2108},     {"gd", 1169},     {"gn", 1140},   {"gu", 1095},
        {"haw", 1141},   {"he", 1037},     {"hi", 1081},     {"hr", 1050},   {"hu", 1038},
        {"hy", 1067},    {"id", 1057},     {"is", 1039},     {"it", 1040},   {"ja", 1041},
        {"ka", 1079},    {"kk", 1087},     {"kl", 1135},     {"kn", 1099},   {"ko", 1042},
        {"kok", 1111},   {"ky", 1088},     {"lb", 1134},     {"lt", 1063},   {"lv", 1062},
        {"mi", 1153},    {"mk", 1071},     {"ml", 1100},     {"mr", 1102},   {"ms", 1086},
        {"mt", 1082},    {"my", 1109},     {"nb", 1044},     {"ne", 1121},   {"nl", 1043},
        {"om", 1138},    {"or", 1096},     {"pa", 1094},     {"pap", 1145},  {"pl", 1045},
        {"pt", 2070},    {"pt-br", 1046},  {"qu", 1131},     {"quc", 1158},  {"ro", 1048},
        {"ru", 1049},    {"sd", 2137},     {"si", 1115},     {"sk", 1051},   {"sl", 1060},
        {"smj", 4155},   {"sq", 1052},     {"sr", 2074},     {"sv", 1053},   {"sw", 1089},
        {"ta", 1097},    {"te", 1098},     {"th", 1054},     {"tk", 1090},   {"tn", 1074},
        {"tr", 1055},    {"tt", 1092},     {"ug", 1152},     {"uk", 1058},   {"ur", 1056},
        {"uz", 1091},    {"vi", 1066},     {"yue", 3076},
    };
    return ids;
}

// The German name; a voice whose name another voice already has (two
// voices of one language) adds what the engine says sets it apart.
QString displayName(const ModeList::InstalledVoice &voice, QSet<QString> &given)
{
    QString name = LanguageNames::german(voice.language, voice.name);
    if (given.contains(name)) {
        const QString variant = LanguageNames::engineVariant(voice.name);
        if (!variant.isEmpty())
            name += QStringLiteral(" (%1)").arg(variant);
    }
    given.insert(name);
    return name;
}

void appendPair(QList<SpeechMode> &modes, const QString &language, const QByteArray &identifier,
                int languageId)
{
    modes.append({SpeechTexts::modeName(language, SpeechEngine::Male), identifier, languageId,
                  SpeechEngine::Male});
    // f3 is the clearest of espeak's female variants at normal speed.
    modes.append({SpeechTexts::modeName(language, SpeechEngine::Female), identifier + "+f3",
                  languageId, SpeechEngine::Female});
}

} // namespace

int ModeList::languageId(const QByteArray &language)
{
    const QByteArray code = language.toLower();
    const auto &ids = languageIds();
    if (auto it = ids.constFind(code); it != ids.cend())
        return *it;
    const int dash = code.indexOf('-');
    if (dash > 0) {
        if (auto it = ids.constFind(code.left(dash)); it != ids.cend())
            return *it;
    }
    return 4096;
}

QList<SpeechMode> ModeList::build(const QList<InstalledVoice> &voices)
{
    QList<InstalledVoice> usable;
    for (const InstalledVoice &voice : voices) {
        if (voice.identifier.startsWith("mb/") || voice.identifier.isEmpty()
            || voice.language.isEmpty())
            continue;
        usable.append(voice);
    }

    QList<SpeechMode> modes;
    QSet<QByteArray> taken;
    QSet<QString> given;
    for (const char *code : preferred) {
        for (const InstalledVoice &voice : usable) {
            if (voice.language.compare(code, Qt::CaseInsensitive) != 0)
                continue;
            appendPair(modes, displayName(voice, given), voice.identifier, languageId(voice.language));
            taken.insert(voice.identifier);
            break;
        }
    }
    for (const InstalledVoice &voice : usable) {
        if (taken.contains(voice.identifier))
            continue;
        taken.insert(voice.identifier);
        appendPair(modes, displayName(voice, given), voice.identifier, languageId(voice.language));
    }
    return modes;
}
