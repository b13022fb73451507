#include "frmMain.h"

#include "Dialogs.h"
#include "CheckListView.h"
#include "ExtensionEntries.h"
#include "ExtensionListModel.h"
#include "PlugdeskTexts.h"

#include <QIcon>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace plugdesk {

frmMain::frmMain(ExtensionListModel &model, ExtensionEntries &entries, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent)
    , m_model(model)
    , m_entries(entries)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(PlugdeskTexts::caption());
    QFont tahoma = font();
    // Tahoma where it is installed, the desktop's own font otherwise.
    tahoma.setFamilies({QStringLiteral("Tahoma"), tahoma.family()});
    setFont(tahoma);

    m_Label1 = new QLabel(PlugdeskTexts::instruction(), this);
    m_Label1->setObjectName(QStringLiteral("Label1"));
    m_Label1->setWordWrap(true);

    m_List1 = new CheckListView(this);
    m_List1->setObjectName(QStringLiteral("List1"));
    m_List1->setModel(&m_model);
    m_List1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_List1->setAccessibleName(QStringLiteral("Erweiterungen"));
    m_Label1->setBuddy(m_List1);

    m_txtDesc = new QPlainTextEdit(this);
    m_txtDesc->setObjectName(QStringLiteral("txtDesc"));
    // The text is for reading; nothing would keep an edit.
    m_txtDesc->setReadOnly(true);
    m_txtDesc->setTabChangesFocus(true);
    m_txtDesc->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_txtDesc->setAccessibleName(QStringLiteral("Beschreibung"));
    showDescription(PlugdeskTexts::noDescription() + QStringLiteral("\r\n"));

    auto *buttons = new QDialogButtonBox(this);
    m_cmdClose = buttons->addButton(PlugdeskTexts::close(), QDialogButtonBox::RejectRole);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    // Enter in the list must not end the program by surprise.
    m_cmdClose->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_Label1);
    layout->addWidget(m_List1, 3);
    layout->addWidget(m_txtDesc, 2);
    layout->addWidget(buttons);
    fitToType();

    connect(m_List1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { List1_Click(current); });
    connect(m_List1, &QAbstractItemView::clicked, this, &frmMain::List1_Click);
    connect(&m_model, &ExtensionListModel::writeFailed, this, &frmMain::onWriteFailed);
}

void frmMain::fitToType()
{
    // A few entries and lines of description stay in view at any type size.
    const QFontMetrics fm(font());
    const int row = qMax(fm.height(), style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, m_List1)) + 4;
    m_List1->setMinimumHeight(3 * row + 2 * m_List1->frameWidth());
    m_txtDesc->setMinimumHeight(3 * fm.lineSpacing() + 2 * m_txtDesc->frameWidth() + 8);

    // The window of old at the usual type; wider and taller with larger type,
    // so the instruction shows whole, but never larger than the screen.
    const QRect available = screen()->availableGeometry();
    const int width = qMin(qMax(480, 56 * fm.averageCharWidth()), available.width());
    int height = layout()->totalHeightForWidth(width);
    if (height < 0)
        height = layout()->totalSizeHint().height();
    resize(width, qBound(400, height, available.height()));
}

bool frmMain::Form_Load()
{
    setWindowIcon(QIcon());
    const ExtensionEntries::Listing listing = m_model.load();
    if (listing.entries.isEmpty()) {
        if (!listing.error.isEmpty())
            m_dialogs.message(PlugdeskTexts::cannotRead(listing.error), PlugdeskTexts::errorTitle(),
                              Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        else
            m_dialogs.message(PlugdeskTexts::noneInstalled(), PlugdeskTexts::noneInstalledTitle(),
                              Dialogs::Icon::None, Dialogs::Buttons::Ok);
        return false;
    }
    m_List1->setFocus();
    return true;
}

void frmMain::List1_Click(const QModelIndex &current)
{
    if (!current.isValid())
        return;
    if (const auto text = m_entries.description(m_model.text(current.row())))
        showDescription(*text);
}

void frmMain::showDescription(const QString &text)
{
    // The stored text breaks lines with CR LF; the box wants bare line feeds.
    m_txtDesc->setPlainText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void frmMain::onWriteFailed(int row, bool wanted, const QString &reason)
{
    m_dialogs.message(PlugdeskTexts::notSaved(m_model.text(row), wanted, reason), PlugdeskTexts::errorTitle(),
                      Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
}

} // namespace plugdesk
