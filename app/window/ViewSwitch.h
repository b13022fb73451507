#pragma once
// ViewSwitch: which of the window's two views is shown, the document box
// (text mode) or the browser (interactive mode). Every switch goes through
// here and is announced by viewShown, so the view menu's check marks follow
// the view whoever switched it (a menu, a toolbar button, a link of a page,
// the load sequence).

#include <QObject>
#include <QString>

class BrowserView;
class QStackedWidget;
class QTextEdit;

class ViewSwitch : public QObject
{
    Q_OBJECT
public:
    ViewSwitch(QStackedWidget &views, QTextEdit &document, BrowserView &browser, QObject *parent = nullptr);

    // The document box, shown and focused.
    void Textmode();
    // The browser, with whatever page it shows.
    void InteractiveMode();
    // The browser with the given page.
    void showInBrowser(const QString &page);
    // The error page with number and description; nothing for number 0.
    void ShowErrorPage(int number, const QString &description);
    bool isTextMode() const;

signals:
    void viewShown(bool textMode);

private:
    QStackedWidget &m_views;
    QTextEdit &m_document;
    BrowserView &m_browser;
};
