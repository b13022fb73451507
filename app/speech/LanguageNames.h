#pragma once
// LanguageNames: the German name of a language tag such as "en-gb" or
// "vi-vn-x-south", from ICU's display names: the language, then script and
// region in brackets ("Englisch (Vereinigtes Königreich)"). What ICU cannot
// name (a voice variant like "x-rp", a constructed language like "piqd")
// comes from the engine's own name for the voice, with its underscores and
// double blanks cleaned up.

#include <QByteArray>
#include <QString>

namespace LanguageNames {

// engineName: the engine's (English) name of the voice, e.g.
// "English_(Received_Pronunciation)"; used only where ICU has no name.
QString german(const QByteArray &tag, const QString &engineName);

// The part of the engine's name that says which variant of a language a
// voice is: "English_(America,_New_York_City)" gives "New York City".
QString engineVariant(const QString &engineName);

} // namespace LanguageNames
