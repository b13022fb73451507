#pragma once
// clsLaunchMail: the mail launcher extension. After Quenora has exported a
// recording it offers, in the question window Form1, to open the user's mail
// program with the file attached, and can remember the answer. Its one
// member is Export; MailhookPlugin.cpp puts it behind the C ABI as
// "Mailhook.clsLaunchMail".
//
// The mail program is the desktop's handler of "mailto:" links
// (QDesktopServices); tests put their own opener in its place and see the
// link that would be opened.

#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>

class Form1;
class MailSettings;

class clsLaunchMail
{
public:
    using UrlOpener = std::function<void(const QUrl &)>;
    // Shows the window modally; tests answer it instead.
    using FormRunner = std::function<void(Form1 &)>;

    explicit clsLaunchMail(MailSettings &settings, UrlOpener opener = {}, FormRunner runner = {});

    // Keeps the path, then asks (or does what was remembered); returns when
    // the window has closed. The result is always empty.
    QVariant Export(QString &sFile);

    // Opens the mail link with the file when Outlook is true, else the plain
    // link. The window's "Ja" and its remembered answer both come here.
    void OpenMailProgram();

    // "mailto:<recipient>?suject=Quenora&attach=<path>", the path
    // percent-encoded so blanks, "&" and "#" stay part of the one parameter.
    static QString mailLink(const QString &path);

    MailSettings &settings() { return m_settings; }

    QString sExpFile;

private:
    MailSettings &m_settings;
    UrlOpener m_opener;
    FormRunner m_runner;
};
