#pragma once
// frmSettings: the settings dialog. A column of page labels on the left
// (mouse, Tab and arrow keys) switches between four pages; "&Übernehmen"
// stores what the pages show and closes the dialog, with a notice first when
// the window-title reader was switched, which only a restart applies. The
// extensions page starts the extension manager. Reads the store each time it
// is opened; writes it only on "&Übernehmen".

#include <QDialog>

#include <array>

class Dialogs;
class PageLabel;
class PlugdeskLauncher;
class QLabel;
class QPushButton;
class QStackedWidget;
class SettingsPage;
class SettingsStore;
class WorkspacePage;
class ExtensionsPage;
class ScriptsPage;
class MiscPage;

class frmSettings : public QDialog
{
    Q_OBJECT
public:
    static constexpr int PageCount = 4;

    frmSettings(SettingsStore &settings, Dialogs &dialogs, PlugdeskLauncher &plugdesk, QWidget *parent = nullptr);

    // Every control from the store / every control into the store.
    void GetSettings();
    void ApplySettings();
    // "&Übernehmen": the restart notice when needed, ApplySettings, close.
    void Command1_Click();

    void showPage(int index);
    int currentPage() const;

    PageLabel *pageLabel(int index) const { return m_labels.at(index); }
    WorkspacePage *workspacePage() const { return m_workspace; }
    ExtensionsPage *extensionsPage() const { return m_extensions; }
    ScriptsPage *scriptsPage() const { return m_scripts; }
    MiscPage *miscPage() const { return m_misc; }
    QPushButton *Command1() const { return m_apply; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void startExtensionManager();

    SettingsStore &m_settings;
    Dialogs &m_dialogs;
    PlugdeskLauncher &m_plugdesk;
    QLabel *m_image = nullptr;
    QStackedWidget *m_pages = nullptr;
    std::array<PageLabel *, PageCount> m_labels{};
    std::array<SettingsPage *, PageCount> m_pageList{};
    WorkspacePage *m_workspace = nullptr;
    ExtensionsPage *m_extensions = nullptr;
    ScriptsPage *m_scripts = nullptr;
    MiscPage *m_misc = nullptr;
    QPushButton *m_apply = nullptr;
};
