#include "QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>

namespace {

class QtProgress : public Dialogs::Progress
{
public:
    QtProgress(const Dialogs::ProgressRequest &request, std::function<void()> cancel, QWidget *owner)
        : m_dialog(new QProgressDialog(request.label, request.cancel, 0, 1000, owner))
    {
        m_dialog->setWindowTitle(request.title);
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(request.showAfterMs);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        QObject::connect(m_dialog, &QProgressDialog::canceled, m_dialog, [cancel = std::move(cancel)] { cancel(); });
        m_dialog->setValue(0);
    }
    // Deleted at once: a window opened next may run its own event loop, in
    // which a later deletion would not happen and the dialog's show timer
    // could still bring it back. Its owner may have taken it already.
    ~QtProgress() override { delete m_dialog; }

    void setValue(int permille) override
    {
        if (m_dialog && !m_dialog->wasCanceled())
            m_dialog->setValue(permille);
    }
    void setLabel(const QString &label) override
    {
        if (m_dialog)
            m_dialog->setLabelText(label);
    }
    bool isShown() const override { return m_dialog && m_dialog->isVisible(); }

private:
    QPointer<QProgressDialog> m_dialog;
};

} // namespace

QWidget *QtDialogs::owner() const
{
    // The window the user works in: a modal dialog when one is open (the
    // command builder, the settings), else the active window of the
    // program; the box then opens over it and stays above it.
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    // A parent not on screen (yet) would put the box at the screen's corner;
    // without one it is centred on the screen.
    if (m_parent && m_parent->isVisible())
        return m_parent->window();
    return nullptr;
}

Dialogs::Answer QtDialogs::message(const QString &text, const QString &title, Icon icon, Buttons buttons)
{
    QMessageBox box(owner());
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    // German captions whatever the system's translation files say.
    if (auto *b = box.button(QMessageBox::Yes))
        b->setText(QStringLiteral("&Ja"));
    if (auto *b = box.button(QMessageBox::No))
        b->setText(QStringLiteral("&Nein"));
    if (auto *b = box.button(QMessageBox::Cancel))
        b->setText(QStringLiteral("Abbrechen"));
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default:
        // Closing the box with Esc or the title bar is its cancel, or "No"
        // where there is no cancel.
        return buttons == Buttons::YesNo ? Answer::No : buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

std::optional<QString> QtDialogs::runFileDialog(const FileRequest &request, bool save)
{
    QFileDialog dialog(owner(), request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile
                            : (request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile));
    const QStringList nameFilters = qtNameFilters(request.filter).split(QStringLiteral(";;"));
    dialog.setNameFilters(nameFilters);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (request.selectedFilter > 0 && request.selectedFilter < nameFilters.size())
        dialog.selectNameFilter(nameFilters[request.selectedFilter]);
    // A name typed without a suffix gets the type of the filter shown, so
    // the chosen file type is the type written.
    const auto followFilter = [&dialog, &request, nameFilters](const QString &chosen) {
        // With the details hidden Qt may report the description alone.
        int index = int(nameFilters.indexOf(chosen));
        for (int i = 0; index < 0 && i < nameFilters.size(); ++i)
            if (!chosen.isEmpty() && nameFilters[i].startsWith(chosen))
                index = i;
        dialog.setDefaultSuffix(defaultSuffixForFilter(request.filter, index, request.defaultSuffix));
    };
    followFilter(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followFilter);
    if (!request.initialPath.isEmpty()) {
        // A folder is where the dialog starts; a file is shown selected in
        // its folder.
        const QFileInfo info(request.initialPath);
        if (info.isDir()) {
            dialog.setDirectory(info.absoluteFilePath());
        } else {
            dialog.setDirectory(info.absolutePath());
            dialog.selectFile(info.fileName());
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::openFile(const FileRequest &request)
{
    return runFileDialog(request, false);
}

std::optional<QString> QtDialogs::saveFile(const FileRequest &request)
{
    return runFileDialog(request, true);
}

std::optional<QString> QtDialogs::chooseFolder(const FileRequest &request)
{
    QFileDialog dialog(owner(), request.title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (!request.initialPath.isEmpty())
        dialog.setDirectory(QFileInfo(request.initialPath).absoluteFilePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::password(const QString &text, const QString &title)
{
    QInputDialog dialog(owner());
    dialog.setWindowTitle(title);
    dialog.setLabelText(text);
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::unique_ptr<Dialogs::Progress> QtDialogs::progress(const ProgressRequest &request, std::function<void()> cancel)
{
    // Modal to the program's window even before it is shown (a document
    // opened at start-up), so it blocks that window once it appears.
    QWidget *over = owner();
    if (!over && m_parent)
        over = m_parent->window();
    return std::make_unique<QtProgress>(request, std::move(cancel), over);
}
