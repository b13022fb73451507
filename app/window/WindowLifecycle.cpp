#include "WindowLifecycle.h"

#include "Dialogs.h"
#include "DocumentController.h"
#include "ExtensionHost.h"
#include "SettingsStore.h"
#include "Shell.h"
#include "WindowPlacement.h"
#include "WindowTexts.h"
#include "frmSurvey.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

WindowLifecycle::WindowLifecycle(QMainWindow &window, const WindowServices &services, DocumentController &documents,
                                 Ending ending)
    : m_window(window), m_s(services), m_documents(documents), m_ending(std::move(ending))
{
}

void WindowLifecycle::ExitQN()
{
    const auto answer = m_s.dialogs.message(WindowTexts::SaveBeforeExit, WindowTexts::TitleQuestion,
                                            Dialogs::Icon::Question, Dialogs::Buttons::YesNoCancel);
    if (answer == Dialogs::Answer::Cancel)
        return;
    if (answer == Dialogs::Answer::Yes)
        m_documents.SaveDoc();
    endNow();
}

bool WindowLifecycle::closeRequested()
{
    if (m_ended)
        return true;
    // The close box must not lose what was written since the last save: it
    // asks what "Beenden" asks, but only when there is something to lose, and
    // a save that did not happen keeps the window open.
    if (m_documents.isModified()) {
        const auto answer = m_s.dialogs.message(WindowTexts::SaveBeforeExit, WindowTexts::TitleQuestion,
                                                Dialogs::Icon::Question, Dialogs::Buttons::YesNoCancel);
        if (answer == Dialogs::Answer::Cancel || (answer == Dialogs::Answer::Yes && !m_documents.SaveDoc()))
            return false;
    }
    rememberPlacement();
    m_ending.stopScript();
    m_s.extensions.NotifyClose();
    // A document read from another format (a PDF, an e-book) has no file of
    // its own; the next start opens it from where it came.
    const QString lastDocument =
        m_documents.currentPath().isEmpty() ? m_documents.importedFrom() : m_documents.currentPath();
    m_s.settings.write(SettingKeys::LastDoc, lastDocument);
    m_window.hide();
    askSurvey();
    endProcess();
    return true;
}

void WindowLifecycle::askSurvey()
{
    if (m_s.settings.read(SettingKeys::Survey) == QLatin1String("false"))
        return;
    const int choice = m_ending.runSurvey ? m_ending.runSurvey(&m_window) : [this] {
        frmSurvey survey(&m_window);
        survey.exec();
        return int(survey.choice());
    }();
    if (choice == int(frmSurvey::Choice::Yes)) {
        m_s.settings.write(SettingKeys::Survey, QStringLiteral("false"));
        m_s.shell.openUrl(WebAddresses::Survey(m_s.version));
    } else if (choice == int(frmSurvey::Choice::No)) {
        m_s.settings.write(SettingKeys::Survey, QStringLiteral("false"));
    }
}

void WindowLifecycle::endNow()
{
    rememberPlacement();
    endProcess();
}

void WindowLifecycle::endProcess()
{
    m_ended = true;
    m_ending.silence();
    if (m_ending.endProcess)
        m_ending.endProcess();
}

void WindowLifecycle::restorePlacement()
{
    // Until the window has been closed once it has its design-time size and
    // the window manager places it; either way it opens within the screen.
    const auto stored = WindowPlacement::parse(m_s.settings.read(SettingKeys::WindowPlacement));
    if (stored) {
        stored->applyTo(m_window);
    } else if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        m_window.resize(m_window.size().boundedTo(screen->availableGeometry().size()));
    }
}

void WindowLifecycle::rememberPlacement()
{
    if (m_window.isVisible())
        m_s.settings.write(SettingKeys::WindowPlacement, WindowPlacement::of(m_window).toString());
}
