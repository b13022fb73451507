#pragma once
// The extension manager's one window: the instruction Label1, the check-box
// list List1 over ExtensionListModel, the description box txtDesc and the
// button cmdClose. A dialog to the desktop and to screen readers: Escape
// and the button close it as well as the window manager's close box.
// Every message goes through Dialogs; the window keeps no list of entries of
// its own beyond the model's rows.

#include <QDialog>

class Dialogs;
class ExtensionEntries;
class ExtensionListModel;
class QLabel;
class QListView;
class QModelIndex;
class QPlainTextEdit;
class QPushButton;

namespace plugdesk {

class frmMain : public QDialog
{
    Q_OBJECT

public:
    frmMain(ExtensionListModel &model, ExtensionEntries &entries, Dialogs &dialogs, QWidget *parent = nullptr);

    // Fills the list. False when there is nothing to manage: the user has
    // been told and the program ends.
    bool Form_Load();

    QListView *List1() const { return m_List1; }
    QPlainTextEdit *txtDesc() const { return m_txtDesc; }
    QLabel *Label1() const { return m_Label1; }
    QPushButton *cmdClose() const { return m_cmdClose; }

private:
    void List1_Click(const QModelIndex &current);
    void showDescription(const QString &text);
    void fitToType();
    void onWriteFailed(int row, bool wanted, const QString &reason);

    ExtensionListModel &m_model;
    ExtensionEntries &m_entries;
    Dialogs &m_dialogs;
    QLabel *m_Label1 = nullptr;
    QListView *m_List1 = nullptr;
    QPlainTextEdit *m_txtDesc = nullptr;
    QPushButton *m_cmdClose = nullptr;
};

} // namespace plugdesk
