#include "BrowserView.h"

#include "DocumentResources.h"
#include "BrowserAccessible.h"
#include "PagePictures.h"
#include "WindowTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaMethod>

namespace {

bool isLocalScheme(const QString &scheme)
{
    return scheme.isEmpty() || scheme == QLatin1String("file") || scheme == QLatin1String("qrc");
}

bool isExternalScheme(const QString &scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp")
        || scheme == QLatin1String("mailto");
}

QString localPath(const QUrl &url)
{
    if (url.scheme() == QLatin1String("qrc"))
        return QLatin1Char(':') + url.path();
    if (url.scheme().isEmpty())
        return url.path();
    return url.toLocalFile();
}

} // namespace

BrowserView::BrowserView(QWidget *parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("wbBrowser"));
    // The view follows no link by itself: every one goes through navigate().
    setOpenLinks(false);
    setOpenExternalLinks(false);

    // A screen reader sees the page as browsers show one: text, and links
    // it can move between and follow.
    BrowserAccessible::installFactory();
    connect(this, &QTextEdit::textChanged, this, [this] { BrowserAccessible::pageChanged(this); });
    connect(this, &QTextEdit::cursorPositionChanged, this, [this] { BrowserAccessible::selectionChanged(this); });

    // The text control inside the browser reports the anchor's href as the
    // page wrote it, for mouse and keyboard alike; anchorClicked only offers
    // it as a QUrl, already decoded. The control is an internal child of
    // QTextBrowser, reached through the meta-object (no private header); the
    // tests click real links, so a Qt that changes this is noticed.
    QObject *control = nullptr;
    for (QObject *child : children()) {
        if (child->metaObject()->indexOfSignal("linkActivated(QString)") >= 0) {
            control = child;
            break;
        }
    }
    if (control) {
        connect(control, SIGNAL(linkActivated(QString)), this, SLOT(onLinkActivated(QString)));
    } else {
        // A Qt without that control: the decoded address is the best there is.
        connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) { navigate(url.toString()); });
    }
}

bool BrowserView::focusNextPrevChild(bool next)
{
    // Tab moves between the page's links by selecting them, without a
    // signal of the text control: the moved-to link is announced here.
    const bool moved = QTextBrowser::focusNextPrevChild(next);
    BrowserAccessible::selectionChanged(this);
    return moved;
}

void BrowserView::focusInEvent(QFocusEvent *event)
{
    QTextBrowser::focusInEvent(event);
    BrowserAccessible::focusEntered(this);
}

void BrowserView::onLinkActivated(const QString &href)
{
    navigate(href);
}

bool BrowserView::cancelledByHook(const QString &address)
{
    return m_hook && m_hook(address);
}

void BrowserView::navigate(const QString &address)
{
    if (address.isEmpty() || cancelledByHook(address))
        return;
    load(address, resolve(address), QTextDocument::UnknownResource);
}

void BrowserView::doSetSource(const QUrl &name, QTextDocument::ResourceType type)
{
    if (m_loading) {
        QTextBrowser::doSetSource(name, type);
        return;
    }
    const QString address = name.toString();
    if (address.isEmpty() || cancelledByHook(address))
        return;
    load(address, name.isRelative() ? resolve(address) : name, type);
}

QUrl BrowserView::resolve(const QString &address) const
{
    if (address.startsWith(QLatin1Char('/')))
        return QUrl::fromLocalFile(address);
    const QUrl url(address);
    if (!url.isRelative())
        return url;
    // Relative to the page shown, as a page's own links mean it.
    const QUrl base = m_currentUrl.isValid() ? m_currentUrl : source();
    if (base.isValid() && !base.isEmpty())
        return base.resolved(url);
    return QUrl::fromLocalFile(QDir::current().absoluteFilePath(address));
}

void BrowserView::load(const QString &address, const QUrl &url, QTextDocument::ResourceType type)
{
    const QString scheme = url.scheme().toLower();
    if (isExternalScheme(scheme)) {
        emit externalLinkRequested(address);
        return;
    }
    if (!url.isValid() || !isLocalScheme(scheme)) {
        showMissingPage(address);
        return;
    }
    const bool samePage = !m_missingPage && url.hasFragment() && !source().isEmpty()
        && url.adjusted(QUrl::RemoveFragment) == source().adjusted(QUrl::RemoveFragment);
    if (!samePage) {
        const QFileInfo file(localPath(url));
        if (!file.isFile() || !file.isReadable()) {
            showMissingPage(address);
            return;
        }
    }
    m_loading = true;
    m_loadingUrl = url;
    QTextBrowser::doSetSource(url, type);
    m_loadingUrl = QUrl();
    m_loading = false;
    m_missingPage = false;
    m_currentAddress = address;
    m_currentUrl = url;
}

void BrowserView::showMissingPage(const QString &address)
{
    setHtml(WindowTexts::PageMissing(address));
    m_missingPage = true;
    m_currentAddress = address;
    m_currentUrl = QUrl();
}

QVariant BrowserView::loadResource(int type, const QUrl &name)
{
    if (type == QTextDocument::HtmlResource) {
        if (!isLocalScheme(name.scheme().toLower()))
            return QVariant();
        return QTextBrowser::loadResource(type, name);
    }
    // Pictures and style sheets: from the page's own folder and below only.
    const QUrl page = m_loadingUrl.isValid() ? m_loadingUrl : m_currentUrl;
    const DocumentResources resources(DocumentResources::folderOf(page));
    if (type == QTextDocument::ImageResource) {
        const QString file = resources.allowedFile(name.isRelative() && page.isValid() ? page.resolved(name) : name);
        const QImage prefetched = file.isEmpty() ? QImage() : PagePictures::take(file);
        if (!prefetched.isNull())
            return prefetched;
    }
    return resources.load(name.isRelative() && page.isValid() ? page.resolved(name) : name);
}

void BrowserView::backward()
{
    if (!isBackwardAvailable() || cancelledByHook(historyUrl(-1).toString()))
        return;
    m_loading = true;
    QTextBrowser::backward();
    m_loading = false;
    m_missingPage = false;
    m_currentUrl = source();
    m_currentAddress = m_currentUrl.toString();
}

void BrowserView::forward()
{
    if (!isForwardAvailable() || cancelledByHook(historyUrl(1).toString()))
        return;
    m_loading = true;
    QTextBrowser::forward();
    m_loading = false;
    m_missingPage = false;
    m_currentUrl = source();
    m_currentAddress = m_currentUrl.toString();
}

void BrowserView::reload()
{
    if (m_currentUrl.isValid())
        load(m_currentAddress, m_currentUrl, QTextDocument::UnknownResource);
}
