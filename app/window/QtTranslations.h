#pragma once
// QtTranslations: Qt's own texts (file dialogs, the document box's context
// menu, standard buttons) in German, from the translations the Qt packages
// install. Without them Qt stays English and the program works as before.

class QCoreApplication;

namespace QtTranslations {

// Loads qtbase's German catalogue into the application; false when it is
// not installed.
bool installGerman(QCoreApplication &app);

} // namespace QtTranslations
