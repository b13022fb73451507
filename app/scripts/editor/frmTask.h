#pragma once
// frmTask: the command builder. Offers the command words, shows the chosen
// one's parameter pattern and help text, checks a numeric first parameter and
// hands each finished statement line to whoever listens (the editor appends
// it). Kept and reused: the last selection and fields stay between uses.

#include "ScriptCommands.h"

#include <QDialog>
#include <QList>

class Dialogs;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmTask : public QDialog
{
    Q_OBJECT
public:
    explicit frmTask(Dialogs &dialogs, QWidget *parent = nullptr);

    QComboBox *cmbCommand() const { return m_cmbCommand; }
    QLineEdit *txtParameter() const { return m_txtParameter; }
    QLineEdit *txtParameter2() const { return m_txtParameter2; }
    QLabel *lblCommandBold() const { return m_lblCommandBold; }
    QLabel *lblParameter() const { return m_lblParameter; }
    QLabel *lblDesc() const { return m_lblDesc; }

    // What the "Befehlsinfo" frame shows, as one text: the statement's
    // pattern and the help text of the chosen command.
    QString commandInfo() const;

    // "&Hinzufügen": builds the statement of the current fields, or shows
    // ShowError and builds nothing.
    void addStatement();

signals:
    void statementAdded(const QString &statement);

private:
    void FillCMB();
    void EnableParameter1();
    void DisableParameter1();
    void EnableParameter2();
    void DisableParameter2();
    void ShowError(const QString &word, ScriptCommands::ParameterType type);
    void commandSelected(int index);

    Dialogs &m_dialogs;
    // The rows of the command table the box offers, by the box's index.
    QList<const ScriptCommands::Command *> m_commands;

    QComboBox *m_cmbCommand;
    QLineEdit *m_txtParameter;
    QLineEdit *m_txtParameter2;
    QLabel *m_lblCommandBold;
    QLabel *m_lblParameter;
    QLabel *m_lblDesc;
};
