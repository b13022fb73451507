#include "NavigationHandler.h"

#include "Dialogs.h"
#include "Speaker.h"
#include "WindowTexts.h"

namespace {

const QString QnScheme = QStringLiteral("qn:");
const QString SpeakScheme = QStringLiteral("speak:");

void run(const std::function<void()> &action)
{
    if (action)
        action();
}

} // namespace

NavigationHandler::NavigationHandler(Actions actions, Speaker &speaker, Dialogs &dialogs)
    : m_actions(std::move(actions)), m_speaker(speaker), m_dialogs(dialogs)
{
}

QString NavigationHandler::command(const QString &address)
{
    const qsizetype paren = address.indexOf(QLatin1Char('('));
    return paren < 0 ? QString() : address.left(paren);
}

QString NavigationHandler::speakText(const QString &address)
{
    QString text = address;
    text.replace(QStringLiteral("%20"), QStringLiteral(" "));
    return text.mid(SpeakScheme.size());
}

bool NavigationHandler::BeforeNavigate(const QString &address)
{
    // Both prefixes compare exactly: "QN:" and "Speak:" are ordinary addresses.
    bool cancel = false;
    if (address.startsWith(QnScheme, Qt::CaseSensitive)) {
        const QString cmd = command(address);
        if (cmd == QLatin1String("qn:Go")) {
            run(m_actions.textmode);
        } else if (cmd == QLatin1String("qn:Open")) {
            run(m_actions.openDocument);
            run(m_actions.showTextView);
        } else if (cmd == QLatin1String("qn:Speak")) {
            // The start page's speak command never had a text of its own: it
            // shows an empty message and brings the start page back.
            m_dialogs.message(QString(), WindowTexts::Caption, Dialogs::Icon::None, Dialogs::Buttons::Ok);
            run(m_actions.showStartPage);
        }
        cancel = true;
    }
    if (address.startsWith(SpeakScheme, Qt::CaseSensitive)) {
        const QString text = speakText(address);
        run(m_actions.showTextView);
        if (m_actions.setDocumentText)
            m_actions.setDocumentText(text);
        m_speaker.speak(SpeakRequest::document().waiting().recordingInto(QString()).withFilters(true));
        cancel = true;
    }
    return cancel;
}
