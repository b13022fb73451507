#pragma once
// One voice of the engine as the program offers it: a language spoken by a
// male or a female voice.

#include <QByteArray>
#include <QString>

struct SpeechMode {
    QString name;          // shown in the voice dialog, e.g. "Deutsch (weiblich)"
    QByteArray espeakName; // what espeak-ng selects, e.g. "gmw/de+f3"
    int languageId = 0;    // Windows language id, e.g. 1031
    int gender = 0;        // SpeechEngine::Gender
};
