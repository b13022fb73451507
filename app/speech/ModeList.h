#pragma once
// ModeList: the engine's modes, built from the voices espeak-ng has installed.
//
// German comes first, then English, Spanish, Italian, Dutch and Portuguese,
// then every other installed language in espeak-ng's order; each language as
// a male mode followed by a female one. This order is what the stored voice
// number means; the voice dialog shows the modes sorted by name. Names are
// German (LanguageNames). espeak's own gender field is not used:
// its voices are all male unless a variant makes them female, so the list
// decides. MBROLA voices ("mb/...") are left out because their data is
// usually not installed and espeak then fails to speak at all.

#include "SpeechMode.h"

#include <QList>

class ModeList
{
public:
    struct InstalledVoice {
        QByteArray language;   // "de", "en-us", ...
        QString name;          // "German", "English_(America)", ...
        QByteArray identifier; // "gmw/de", ...
    };

    static QList<SpeechMode> build(const QList<InstalledVoice> &voices);

    // The Windows language id for an espeak language code; 4096 (a custom,
    // unspecified locale) when Windows has none.
    static int languageId(const QByteArray &language);
};
