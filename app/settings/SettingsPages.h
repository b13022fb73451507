#pragma once
// The four pages of the settings dialog behind one small interface: a page
// shows its part of SettingsFormValues and puts what the user chose back.
// They hold widgets only; the dialog reads and writes the store.

#include "SettingsFormValues.h"

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class SettingsPage : public QWidget
{
    Q_OBJECT
public:
    virtual void setValues(const SettingsFormValues &values) = 0;
    virtual void collect(SettingsFormValues &values) const = 0;

protected:
    SettingsPage(const char *objectName, const QString &heading, const QString &intro, QWidget *parent);
    // A check box for a key whose default is `fallback`: a stored value it
    // cannot show leaves it at the default, and that value is kept in the
    // store unless the user changes the box.
    QCheckBox *addCheck(QWidget *parent, const char *objectName, const QString &text);
    static void showCheck(QCheckBox *box, const SettingsFormValues::Check &check, bool fallback);
    static SettingsFormValues::Check collectCheck(const QCheckBox *box);
};

class WorkspacePage : public SettingsPage
{
    Q_OBJECT
public:
    explicit WorkspacePage(QWidget *parent = nullptr);
    void setValues(const SettingsFormValues &values) override;
    void collect(SettingsFormValues &values) const override;

    QRadioButton *optBeimStart(int index) const;
    QLineEdit *txtPrefix() const { return m_prefix; }
    QLineEdit *txtSuffix() const { return m_suffix; }
    QLabel *lblSufPrefHelp() const { return m_help; }

private:
    QButtonGroup *m_startView = nullptr;
    QLineEdit *m_prefix = nullptr;
    QLineEdit *m_suffix = nullptr;
    QLabel *m_help = nullptr;
};

class ExtensionsPage : public SettingsPage
{
    Q_OBJECT
public:
    explicit ExtensionsPage(QWidget *parent = nullptr);
    void setValues(const SettingsFormValues &) override {}
    void collect(SettingsFormValues &) const override {}

    QLabel *Label11() const { return m_link; }

signals:
    void extensionManagerRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_link = nullptr;
};

class ScriptsPage : public SettingsPage
{
    Q_OBJECT
public:
    explicit ScriptsPage(QWidget *parent = nullptr);
    void setValues(const SettingsFormValues &values) override;
    void collect(SettingsFormValues &values) const override;

    QCheckBox *chkAllowVTS() const { return m_allowVTS; }
    QCheckBox *chkAllowRead() const { return m_allowRead; }
    QCheckBox *chkVTSAllowDownload() const { return m_allowDownload; }

private:
    QCheckBox *m_allowVTS = nullptr;
    QCheckBox *m_allowRead = nullptr;
    QCheckBox *m_allowDownload = nullptr;
};

class MiscPage : public SettingsPage
{
    Q_OBJECT
public:
    explicit MiscPage(QWidget *parent = nullptr);
    void setValues(const SettingsFormValues &values) override;
    void collect(SettingsFormValues &values) const override;

    QCheckBox *chkReadTitleOnAppChange() const { return m_readTitle; }
    QCheckBox *chkClipspeech() const { return m_clipspeech; }
    QCheckBox *chkRememberMailSend() const { return m_mail; }
    QCheckBox *chkIgnoreOwnTitles() const { return m_ignoreOwn; }

private:
    QCheckBox *m_readTitle = nullptr;
    QCheckBox *m_clipspeech = nullptr;
    QCheckBox *m_mail = nullptr;
    QCheckBox *m_ignoreOwn = nullptr;
};
