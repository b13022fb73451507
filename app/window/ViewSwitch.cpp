#include "ViewSwitch.h"

#include "BrowserView.h"
#include "ErrorPage.h"
#include "Paths.h"

#include <QDir>
#include <QStackedWidget>
#include <QTextEdit>

ViewSwitch::ViewSwitch(QStackedWidget &views, QTextEdit &document, BrowserView &browser, QObject *parent)
    : QObject(parent), m_views(views), m_document(document), m_browser(browser)
{
}

void ViewSwitch::Textmode()
{
    m_views.setCurrentWidget(&m_document);
    m_document.setFocus();
    emit viewShown(true);
}

void ViewSwitch::InteractiveMode()
{
    m_views.setCurrentWidget(&m_browser);
    emit viewShown(false);
}

void ViewSwitch::showInBrowser(const QString &page)
{
    InteractiveMode();
    m_browser.navigate(page);
}

void ViewSwitch::ShowErrorPage(int number, const QString &description)
{
    if (number == 0)
        return;
    const QString page = Paths::errorPageFile();
    ErrorPage::write(QDir(Paths::dataDir()).filePath(QStringLiteral("hypertext/err.html")), page, number,
                     description);
    m_browser.navigate(page);
    InteractiveMode();
}

bool ViewSwitch::isTextMode() const
{
    return m_views.currentWidget() == &m_document;
}
