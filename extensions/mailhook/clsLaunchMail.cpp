#include "clsLaunchMail.h"

#include "Form1.h"
#include "MailSettings.h"
#include "MailTexts.h"

#include <QApplication>
#include <QDesktopServices>

namespace {

// A stored truth value: "1"/"0" as the window writes them, "true"/"false"
// as a user may type them; anything else counts as the default.
bool truthValue(const QString &text, bool byDefault)
{
    const QString t = text.trimmed();
    bool isNumber = false;
    const double number = t.toDouble(&isNumber);
    if (isNumber)
        return number != 0.0;
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return byDefault;
}

} // namespace

clsLaunchMail::clsLaunchMail(MailSettings &settings, UrlOpener opener, FormRunner runner)
    : m_settings(settings), m_opener(std::move(opener)), m_runner(std::move(runner))
{
    if (!m_opener)
        m_opener = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    if (!m_runner)
        m_runner = [](Form1 &form) { form.exec(); };
}

QVariant clsLaunchMail::Export(QString &sFile)
{
    sExpFile = sFile;
    // The question belongs to the window the export was started from: it
    // opens over it and stays in front of it, not somewhere on its own.
    Form1 form(*this, QApplication::activeWindow());
    if (form.Form_Load())
        m_runner(form);
    return QVariant();
}

void clsLaunchMail::OpenMailProgram()
{
    // Read afresh: "Ja" has just written the box's state.
    const bool outlook = truthValue(m_settings.read(MailTexts::Outlook, QStringLiteral("1")), true);
    const QString link = outlook ? mailLink(sExpFile) : MailTexts::PlainLink;
    // The shell's answer is not looked at: without a mail program nothing
    // happens, as it always did.
    m_opener(QUrl(link, QUrl::StrictMode));
}

QString clsLaunchMail::mailLink(const QString &path)
{
    return MailTexts::PlainLink + MailTexts::Recipient + MailTexts::LinkParameters
           + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
}
