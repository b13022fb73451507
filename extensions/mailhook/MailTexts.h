#pragma once
// Every text of the mail launcher that a user can read, and its links.

#include <QString>

namespace MailTexts {

inline const QString Caption = QStringLiteral("Frage");
inline const QString Question = QStringLiteral("Möchten Sie das E-Mail Programm öffnen?");
inline const QString Explanation = QStringLiteral(
    "Wenn Sie möchten, kann Quenora nun Ihr E-Mail Programm öffnen, damit Sie die Sprachausgabe "
    "veröffentlichen können.");
inline const QString UsesOutlook = QStringLiteral("Ich benutze Outlook.");
inline const QString Remember = QStringLiteral("Antwort merken.");
inline const QString Yes = QStringLiteral("Ja");
inline const QString No = QStringLiteral("Nein");

// The recipient is a placeholder for the user to overwrite in the mail
// program; the parameter names are the ones mail programs that take an
// attachment from the link have always been given.
inline const QString Recipient = QStringLiteral("empfaenger@example.com");
inline const QString PlainLink = QStringLiteral("mailto:");
inline const QString LinkParameters = QStringLiteral("?suject=Quenora&attach=");

// Setting names, section "Extension Settings"
inline const QString LaunchMailProgram = QStringLiteral("LaunchMailProgram");
inline const QString Outlook = QStringLiteral("Outlook");

} // namespace MailTexts
