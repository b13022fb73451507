#pragma once
// NavigationHandler: what the browser view's links do before the view
// follows them. Pages drive the program through two link schemes:
//   qn:<Command>(...)  a command of the program (qn:Go, qn:Open, qn:Speak);
//                      every qn: address is cancelled, known or not;
//   speak:<text>       the text becomes the document and the document is
//                      spoken; "%20" is the only escape decoded.
// Every other address is let through and the view loads it.
//
// Window-free: the window's side is a set of actions and the Speaker, so
// the rules are tested without a window, and the window wires them to its
// own members.

#include <QString>

#include <functional>

class Dialogs;
class Speaker;

class NavigationHandler
{
public:
    struct Actions {
        std::function<void()> textmode;          // Textmode()
        std::function<void()> openDocument;      // OpenDoc()
        std::function<void()> showTextView;      // text box shown and focused
        std::function<void(const QString &)> setDocumentText;
        std::function<void()> showStartPage;
    };

    NavigationHandler(Actions actions, Speaker &speaker, Dialogs &dialogs);

    // Runs before every navigation with the address as written; true cancels it.
    bool BeforeNavigate(const QString &address);

    // "qn:Go" of "qn:Go()": the address up to its first "("; empty without one.
    static QString command(const QString &address);
    // The text of a speak: address, with every "%20" a blank.
    static QString speakText(const QString &address);

private:
    Actions m_actions;
    Speaker &m_speaker;
    Dialogs &m_dialogs;
};
