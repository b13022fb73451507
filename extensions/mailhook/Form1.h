#pragma once
// Form1: the question "Möchten Sie das E-Mail Programm öffnen?" with the
// boxes "Ich benutze Outlook." and "Antwort merken." and the buttons "Ja"
// and "Nein". It reaches the exported file and the settings through the
// clsLaunchMail that shows it. Modal: the host waits until it is closed.

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class clsLaunchMail;

class Form1 : public QDialog
{
    Q_OBJECT
public:
    explicit Form1(clsLaunchMail &owner, QWidget *parent = nullptr);

    // The window's load step. False when a remembered "Ja" has already
    // opened the mail program and the window is not to be shown at all.
    bool Form_Load();

    QCheckBox *chkOutlook() const { return m_chkOutlook; }
    QCheckBox *chkRemember() const { return m_chkRemember; }
    QPushButton *cmdYes() const { return m_cmdYes; }
    QPushButton *cmdNo() const { return m_cmdNo; }
    bool iconRemoved() const { return m_iconRemoved; }

private:
    void cmdYes_Click();
    void cmdNo_Click();
    void storeOutlook();

    clsLaunchMail &m_owner;
    QLabel *m_image1 = nullptr;
    QCheckBox *m_chkOutlook = nullptr;
    QCheckBox *m_chkRemember = nullptr;
    QPushButton *m_cmdYes = nullptr;
    QPushButton *m_cmdNo = nullptr;
    bool m_iconRemoved = false;
};
