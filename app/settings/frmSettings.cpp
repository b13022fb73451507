#include "frmSettings.h"

#include "Dialogs.h"
#include "PageLabel.h"
#include "Paths.h"
#include "PlugdeskLauncher.h"
#include "SettingsDialogTexts.h"
#include "SettingsFormValues.h"
#include "SettingsPages.h"
#include "SettingsStore.h"

#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace T = SettingsDialogTexts;

namespace {

// Design geometry in twips (1440 to the inch), at 96 pixels per inch: the
// dialog's size at the usual type. Larger type makes everything larger.
constexpr int twips(int t) { return t * 96 / 1440; }

constexpr int PageLeft = 2040;
constexpr int PageHeight = 5160;
constexpr int PageWidth = 8100;
constexpr int ButtonRow = 600;

} // namespace

frmSettings::frmSettings(SettingsStore &settings, Dialogs &dialogs, PlugdeskLauncher &plugdesk, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_dialogs(dialogs), m_plugdesk(plugdesk)
{
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(T::caption());
    // The dialog shows no window icon (an empty one would bring back the program's).
    QPixmap noIcon(16, 16);
    noIcon.fill(Qt::transparent);
    setWindowIcon(QIcon(noIcon));
    setModal(true);

    // The gradient behind everything, kept to the dialog's size; the mouse
    // over it turns the page labels white.
    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setScaledContents(true);
    m_image->setPixmap(QPixmap(QDir(Paths::dataDir()).filePath(QStringLiteral("hypertext/farbverlauf.jpg"))));
    if (m_image->pixmap().isNull())
        m_image->setStyleSheet(QStringLiteral("background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                                              "stop:0 #1c3f8c, stop:1 #6f9be0);"));
    m_image->setMouseTracking(true);
    m_image->installEventFilter(this);

    m_pages = new QStackedWidget(this);
    m_workspace = new WorkspacePage(m_pages);
    m_extensions = new ExtensionsPage(m_pages);
    m_scripts = new ScriptsPage(m_pages);
    m_misc = new MiscPage(m_pages);
    m_pageList = {m_workspace, m_extensions, m_scripts, m_misc};
    for (SettingsPage *page : m_pageList)
        m_pages->addWidget(page);
    m_workspace->lblSufPrefHelp()->setText(T::prefixHelp());
    connect(m_extensions, &ExtensionsPage::extensionManagerRequested, this, &frmSettings::startExtensionManager);

    // The page names in a column left of the pages; it is as wide as the
    // longest name needs.
    auto *names = new QVBoxLayout;
    names->setContentsMargins(twips(120), twips(360), twips(45), 0);
    names->setSpacing(twips(80));
    const QString captions[PageCount] = {T::pageWorkspace(), T::pageExtensions(), T::pageScripts(), T::pageMisc()};
    for (int i = 0; i < PageCount; ++i) {
        auto *label = new PageLabel(i, captions[i], this);
        label->setMinimumHeight(twips(400));
        names->addWidget(label);
        connect(label, &PageLabel::activated, this, &frmSettings::showPage);
        connect(label, &PageLabel::moveRequested, this, [this](int index, int step) {
            m_labels.at((index + step + PageCount) % PageCount)->setFocus(Qt::OtherFocusReason);
        });
        m_labels[i] = label;
    }
    names->addStretch(1);
    // Tab goes through the page names first, then the shown page, then the button.
    for (int i = 0; i + 1 < PageCount; ++i)
        setTabOrder(m_labels[i], m_labels[i + 1]);

    m_apply = new QPushButton(T::apply(), this);
    m_apply->setObjectName(QStringLiteral("Command1"));
    m_apply->setDefault(true);
    m_apply->setMinimumSize(twips(1500), twips(375));
    auto *buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(0, 0, twips(120), 0);
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_apply);
    connect(m_apply, &QPushButton::clicked, this, &frmSettings::Command1_Click);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->setColumnMinimumWidth(0, twips(PageLeft));
    grid->setRowMinimumHeight(1, twips(ButtonRow));
    grid->addLayout(names, 0, 0);
    grid->addWidget(m_pages, 0, 1);
    grid->addLayout(buttonRow, 1, 0, 1, 2);
    // Not to be resized by hand: the size the contents need at the type
    // size in use, never less than the design.
    grid->setSizeConstraint(QLayout::SetFixedSize);

    // All pages get the room of the one that needs most, so the dialog
    // keeps its size from page to page.
    const int pageWidth = qMax(twips(PageWidth), m_pages->sizeHint().width());
    int pageHeight = twips(PageHeight);
    for (SettingsPage *page : m_pageList)
        pageHeight = qMax(pageHeight, page->hasHeightForWidth() ? page->heightForWidth(pageWidth)
                                                                : page->sizeHint().height());
    m_pages->setFixedSize(pageWidth, pageHeight);

    showPage(0);
    GetSettings();
}

void frmSettings::showPage(int index)
{
    if (index < 0 || index >= PageCount)
        return;
    m_pages->setCurrentIndex(index);
    for (int i = 0; i < PageCount; ++i)
        m_labels[i]->setCurrent(i == index);
}

int frmSettings::currentPage() const
{
    return m_pages->currentIndex();
}

void frmSettings::GetSettings()
{
    const SettingsFormValues values = SettingsFormValues::read(m_settings);
    for (SettingsPage *page : m_pageList)
        page->setValues(values);
}

void frmSettings::ApplySettings()
{
    SettingsFormValues values;
    for (SettingsPage *page : m_pageList)
        page->collect(values);
    values.write(m_settings);
}

void frmSettings::Command1_Click()
{
    SettingsFormValues values;
    for (SettingsPage *page : m_pageList)
        page->collect(values);
    if (values.needsRestart(m_settings))
        m_dialogs.message(T::restartNotice(), T::restartTitle(), Dialogs::Icon::Information, Dialogs::Buttons::Ok);
    ApplySettings();
    accept();
}

void frmSettings::startExtensionManager()
{
    // The user clicked and expects something to happen: say why nothing does.
    const PlugdeskLauncher::Result result = m_plugdesk.launch();
    if (result != PlugdeskLauncher::Result::Started)
        m_dialogs.message(m_plugdesk.message(result), PlugdeskLauncher::messageTitle(), Dialogs::Icon::Critical,
                          Dialogs::Buttons::Ok);
}

void frmSettings::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    m_image->setGeometry(rect());
}

bool frmSettings::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_image && (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter)) {
        for (PageLabel *label : m_labels)
            label->clearHover();
    }
    return QDialog::eventFilter(watched, event);
}
