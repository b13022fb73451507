#include "StartupSequence.h"

#include "DocumentController.h"
#include "ExtensionHost.h"
#include "Paths.h"
#include "SettingsStore.h"
#include "TaskPaneController.h"
#include "ViewSwitch.h"
#include "WindowLifecycle.h"

#include <QMainWindow>
#include <QTextEdit>

StartupSequence::StartupSequence(QMainWindow &window, const WindowServices &services, Parts parts)
    : m_window(window), m_s(services), m_p(std::move(parts))
{
}

void StartupSequence::run(const QString &homePage, const QString &startUpFile, bool speakAtStart)
{
    if (m_loaded)
        return;
    m_loaded = true;
    SettingsStore &settings = m_s.settings;
    settings.write(SettingKeys::Path, Paths::executableDir());
    settings.write(SettingKeys::Version, m_s.version);
    // Nothing speaks while the window is still loading, not even the
    // readers' timers; only "speak at start" below, once all is in place.
    m_isLoading = true;
    m_s.extensions.NotifyStartup();
    m_p.startReaders();
    if (settings.flag(SettingKeys::ShowWB))
        m_p.views.showInBrowser(homePage);
    else
        m_p.views.Textmode();
    m_p.documents.setDefaultExtension(QStringLiteral(".txt"));
    m_p.prepareRecording();
    m_p.tasks.CreateScriptDir();
    m_p.tasks.fillTaskPane();
    m_p.tasks.AddUserdefinedScripts();
    openStartDocuments(startUpFile);
    if (speakAtStart) {
        m_isLoading = false;
        m_p.speakDocument();
    }
    m_p.lifecycle.restorePlacement();
    m_window.show();
    m_isLoading = false;
}

void StartupSequence::openStartDocuments(const QString &startUpFile)
{
    if (m_s.settings.flag(SettingKeys::ShowLastDoc)) {
        // The last document's name is taken over only when it still loads.
        m_p.documents.OpenFile(m_s.settings.read(SettingKeys::LastDoc));
        m_p.views.Textmode();
    }
    if (!startUpFile.isEmpty()) {
        m_p.documents.LoadFile(startUpFile);
        // A start-up file that gives no text shows its own path.
        if (m_p.document.document()->isEmpty()) {
            m_p.document.setPlainText(startUpFile);
            m_p.document.document()->setModified(false);
        }
        m_p.views.Textmode();
    }
}
