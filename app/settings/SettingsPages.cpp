#include "SettingsPages.h"

#include "SettingsDialogTexts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QVBoxLayout>

namespace T = SettingsDialogTexts;

namespace {

// Whether a box still shows a value that could not be read: its key is then
// left as stored unless the user changes it.
constexpr const char *UnreadProperty = "quenoraUnread";
constexpr const char *FallbackProperty = "quenoraFallback";

QGroupBox *group(QWidget *page, const QString &title)
{
    auto *box = new QGroupBox(title, page);
    page->layout()->addWidget(box);
    return box;
}

} // namespace

SettingsPage::SettingsPage(const char *objectName, const QString &heading, const QString &intro, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QLatin1String(objectName));
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    // The page has a fixed height; keep the rows close together.
    layout->setContentsMargins(10, 6, 10, 6);
    layout->setSpacing(4);
    auto *title = new QLabel(heading, this);
    title->setObjectName(QStringLiteral("heading"));
    QFont f = title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    title->setFont(f);
    layout->addWidget(title);
    if (!intro.isEmpty()) {
        auto *text = new QLabel(intro, this);
        text->setWordWrap(true);
        layout->addWidget(text);
    }
}

QCheckBox *SettingsPage::addCheck(QWidget *parent, const char *objectName, const QString &text)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(objectName));
    parent->layout()->addWidget(box);
    return box;
}

void SettingsPage::showCheck(QCheckBox *box, const SettingsFormValues::Check &check, bool fallback)
{
    box->setChecked(check.isChecked(fallback));
    box->setProperty(UnreadProperty, !check.checked.has_value());
    box->setProperty(FallbackProperty, fallback);
}

SettingsFormValues::Check SettingsPage::collectCheck(const QCheckBox *box)
{
    if (box->property(UnreadProperty).toBool() && box->isChecked() == box->property(FallbackProperty).toBool())
        return {};
    return {box->isChecked()};
}

// --- Arbeitsfläche

WorkspacePage::WorkspacePage(QWidget *parent)
    : SettingsPage("frmSetting_0", T::pageWorkspace(), T::workspaceIntro(), parent)
{
    QGroupBox *start = group(this, T::atStart());
    auto *startLayout = new QVBoxLayout(start);
    m_startView = new QButtonGroup(this);
    // No option may be selected (a start view the dialog does not know).
    m_startView->setExclusive(false);
    const QString options[] = {T::startInteractive(), T::startText(), T::startLastDocument()};
    for (int i = 0; i < 3; ++i) {
        auto *option = new QRadioButton(options[i], start);
        option->setObjectName(QStringLiteral("optBeimStart_%1").arg(i));
        m_startView->addButton(option, i);
        startLayout->addWidget(option);
    }
    // Exclusive by hand, so that "none" stays possible until the user picks one.
    connect(m_startView, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked)
            return;
        for (QAbstractButton *other : m_startView->buttons())
            if (m_startView->id(other) != id)
                other->setChecked(false);
    });
    connect(m_startView, &QButtonGroup::idClicked, this, [this](int id) { m_startView->button(id)->setChecked(true); });

    QGroupBox *speaking = group(this, T::whenSpeaking());
    auto *grid = new QGridLayout(speaking);
    grid->addWidget(new QLabel(T::usePrefixSuffix(), speaking), 0, 0, 1, 3);
    auto *prefixLabel = new QLabel(T::prefix(), speaking);
    m_prefix = new QLineEdit(speaking);
    m_prefix->setObjectName(QStringLiteral("txtPrefix"));
    prefixLabel->setBuddy(m_prefix);
    auto *suffixLabel = new QLabel(T::suffix(), speaking);
    m_suffix = new QLineEdit(speaking);
    m_suffix->setObjectName(QStringLiteral("txtSuffix"));
    suffixLabel->setBuddy(m_suffix);
    grid->addWidget(prefixLabel, 1, 0);
    grid->addWidget(m_prefix, 1, 1);
    grid->addWidget(suffixLabel, 2, 0);
    grid->addWidget(m_suffix, 2, 1);
    grid->addWidget(new QLabel(T::mayBeEmpty(), speaking), 1, 2, 2, 1);
    grid->addWidget(new QLabel(T::info(), speaking), 3, 0, Qt::AlignTop);
    m_help = new QLabel(speaking);
    m_help->setObjectName(QStringLiteral("lblSufPrefHelp"));
    m_help->setWordWrap(true);
    QFont small = m_help->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    m_help->setFont(small);
    grid->addWidget(m_help, 3, 1, 1, 2);
    static_cast<QVBoxLayout *>(layout())->addStretch(1);
}

QRadioButton *WorkspacePage::optBeimStart(int index) const
{
    return static_cast<QRadioButton *>(m_startView->button(index));
}

void WorkspacePage::setValues(const SettingsFormValues &values)
{
    m_prefix->setText(values.prefix);
    m_suffix->setText(values.suffix);
    for (QAbstractButton *option : m_startView->buttons())
        option->setChecked(false);
    if (values.startView)
        optBeimStart(*values.startView)->setChecked(true);
}

void WorkspacePage::collect(SettingsFormValues &values) const
{
    values.prefix = m_prefix->text();
    values.suffix = m_suffix->text();
    values.startView.reset();
    for (int i = 0; i < 3; ++i)
        if (optBeimStart(i)->isChecked())
            values.startView = SettingsFormValues::StartView(i);
}

// --- Erweiterungen

ExtensionsPage::ExtensionsPage(QWidget *parent)
    : SettingsPage("frmSetting_1", T::pageExtensions(), T::extensionsIntro(), parent)
{
    QGroupBox *box = group(this, T::extensionsGroup());
    auto *boxLayout = new QVBoxLayout(box);
    m_link = new QLabel(T::extensionsLink(), box);
    m_link->setObjectName(QStringLiteral("Label11"));
    m_link->setWordWrap(true);
    m_link->setCursor(Qt::PointingHandCursor);
    m_link->setFocusPolicy(Qt::StrongFocus);
    m_link->setAccessibleName(T::extensionsLink());
    QPalette p = m_link->palette();
    p.setColor(QPalette::WindowText, p.color(QPalette::Link));
    m_link->setPalette(p);
    QFont f = m_link->font();
    f.setUnderline(true);
    m_link->setFont(f);
    m_link->installEventFilter(this);
    boxLayout->addWidget(m_link);
    static_cast<QVBoxLayout *>(layout())->addStretch(1);
}

bool ExtensionsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_link) {
        if (event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
            && m_link->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
            emit extensionManagerRequested();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                emit extensionManagerRequested();
                return true;
            }
        }
    }
    return SettingsPage::eventFilter(watched, event);
}

// --- Taskscripts

ScriptsPage::ScriptsPage(QWidget *parent)
    : SettingsPage("frmSetting_2", T::scriptsHeading(), T::scriptsIntro(), parent)
{
    QGroupBox *box = group(this, T::scriptsGroup());
    new QVBoxLayout(box);
    m_allowVTS = addCheck(box, "chkAllowVTS", T::allowVTS());
    m_allowRead = addCheck(box, "chkAllowRead", T::allowRead());
    m_allowDownload = addCheck(box, "chkVTSAllowDownload", T::allowDownload());
    static_cast<QVBoxLayout *>(layout())->addStretch(1);
}

void ScriptsPage::setValues(const SettingsFormValues &values)
{
    showCheck(m_allowRead, values.allowRead, true);
    showCheck(m_allowVTS, values.allowVTS, true);
    showCheck(m_allowDownload, values.allowDownload, true);
}

void ScriptsPage::collect(SettingsFormValues &values) const
{
    values.allowRead = collectCheck(m_allowRead);
    values.allowVTS = collectCheck(m_allowVTS);
    values.allowDownload = collectCheck(m_allowDownload);
}

// --- Diverses

MiscPage::MiscPage(QWidget *parent) : SettingsPage("frmSetting_3", T::pageMisc(), QString(), parent)
{
    QGroupBox *box = group(this, T::miscGroup());
    new QVBoxLayout(box);
    m_readTitle = addCheck(box, "chkReadTitleOnAppChange", T::readTitle());
    m_ignoreOwn = addCheck(box, "chkIgnoreOwnTitles", T::ignoreOwnTitles());
    m_clipspeech = addCheck(box, "chkClipspeech", T::readClipboard());
    m_mail = addCheck(box, "chkRememberMailSend", T::launchMail());
    // The own-window option belongs to the title reader.
    m_ignoreOwn->setContentsMargins(20, 0, 0, 0);
    m_ignoreOwn->setEnabled(false);
    connect(m_readTitle, &QCheckBox::toggled, m_ignoreOwn, &QCheckBox::setEnabled);
    static_cast<QVBoxLayout *>(layout())->addStretch(1);
}

void MiscPage::setValues(const SettingsFormValues &values)
{
    showCheck(m_readTitle, values.readTitle, false);
    showCheck(m_clipspeech, values.readClipboard, false);
    showCheck(m_ignoreOwn, values.ignoreOwnTitles, false);
    m_mail->setChecked(values.launchMail);
}

void MiscPage::collect(SettingsFormValues &values) const
{
    values.readTitle = collectCheck(m_readTitle);
    values.readClipboard = collectCheck(m_clipspeech);
    values.ignoreOwnTitles = collectCheck(m_ignoreOwn);
    values.launchMail = m_mail->isChecked();
}
