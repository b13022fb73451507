#pragma once
// BrowserView: the browser view of the main window (wbBrowser). It shows the
// local pages of the program's hypertext folder and never touches the
// network.
//
// Every navigation passes the navigation hook first: a link clicked with the
// mouse or activated with the keyboard, navigate(), setSource() and the
// history keys. The hook sees the address exactly as the page wrote it (a
// QUrl would decode "%20" and lower-case the scheme, and the program's link
// schemes depend on both), and returning true cancels the navigation.
// Addresses the hook lets through are loaded here: local pages in place,
// web and mail addresses handed to the desktop (externalLinkRequested), a
// page that cannot be read replaced by a short message.

#include <QTextBrowser>

#include <functional>

class BrowserView : public QTextBrowser
{
    Q_OBJECT
public:
    // Returns true to cancel the navigation.
    using NavigationHook = std::function<bool(const QString &address)>;

    explicit BrowserView(QWidget *parent = nullptr);

    void setNavigationHook(NavigationHook hook) { m_hook = std::move(hook); }

    // Navigates to an address as written: a file path, a file: URL, an
    // address relative to the page shown, or one of the program's links.
    void navigate(const QString &address);

    // The address of the page shown, or of the page that could not be shown.
    QString currentAddress() const { return m_currentAddress; }
    // True while the view shows the message about a page it could not read.
    bool showsMissingPage() const { return m_missingPage; }

    // The history goes through the hook too (home() does by itself, through
    // setSource); a reload shows the last address again.
    void backward() override;
    void forward() override;
    void reload() override;

    // Offline: pages from local files; pictures and style sheets only from
    // the page's own folder and below (DocumentResources).
    QVariant loadResource(int type, const QUrl &name) override;

signals:
    // A web or mail address the user followed: opened by the desktop.
    void externalLinkRequested(const QString &address);

protected:
    void focusInEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void doSetSource(const QUrl &name, QTextDocument::ResourceType type) override;

private:
    bool cancelledByHook(const QString &address);
    void load(const QString &address, const QUrl &url, QTextDocument::ResourceType type);
    QUrl resolve(const QString &address) const;
    void showMissingPage(const QString &address);
    Q_SLOT void onLinkActivated(const QString &href);

    NavigationHook m_hook;
    QString m_currentAddress;
    QUrl m_currentUrl;
    QUrl m_loadingUrl; // the page being loaded, for its pictures
    bool m_missingPage = false;
    // Set while the base class loads an address the hook has already seen.
    bool m_loading = false;
};
