#pragma once
// Every text of the voice, volume, speed and pitch dialogs, in one place.

#include <QString>

namespace VoiceDialogTexts {

inline QString voiceCaption() { return QStringLiteral("Stimme wählen"); }
inline QString voiceLabel() { return QStringLiteral("Stimme / Sprecher:"); }
inline QString languagePrefix() { return QStringLiteral("Sprache: "); }
inline QString genderPrefix() { return QStringLiteral("Geschlecht: "); }
inline QString male() { return QStringLiteral("Männlich"); }
inline QString female() { return QStringLiteral("Weiblich"); }
inline QString unknownLanguage() { return QStringLiteral("Unbekannt"); }
inline QString noVoices() { return QStringLiteral("Es ist keine Stimme installiert."); }

inline QString volumeCaption() { return QStringLiteral("Sprachlautstärke"); }
inline QString volumeLabel() { return QStringLiteral("Sprach-/Stimmenlautstärke (0-100%):"); }
inline QString speedCaption() { return QStringLiteral("Geschwindigkeit"); }
inline QString speedLabel() { return QStringLiteral("Sprach-/Stimmengeschwindigkeit (0-100%):"); }
inline QString pitchCaption() { return QStringLiteral("Stimmenhelligkeit"); }
inline QString pitchLabel() { return QStringLiteral("Sprach-/Stimmenhelligkeit (0-100%):"); }

inline QString ok() { return QStringLiteral("OK"); }
inline QString cancel() { return QStringLiteral("Abbrechen"); }
inline QString preview() { return QStringLiteral("&Probehören"); }
inline QString previewTip()
{
    return QStringLiteral("Einen kurzen Satz mit den gezeigten Werten vorlesen, ohne sie zu speichern");
}
inline QString previewSentence()
{
    return QStringLiteral("Guten Tag! So klingt Quenora mit diesen Einstellungen.");
}

} // namespace VoiceDialogTexts
