#include "ExtensionLoader.h"

#include "Ansi.h"
#include "ExtensionTexts.h"
#include "clsRegistryAccess.h"

#include <QFile>

#include <cstdio>

namespace {

// Splits "Project.Class"; false when either part is missing or the text could
// address another key of the hive.
bool splitIdentifier(const QString &identifier, QString &project, QString &className)
{
    const qsizetype dot = identifier.indexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == identifier.size() - 1)
        return false;
    for (const QChar c : identifier) {
        if (c == QLatin1Char('\\') || c.unicode() < 0x20)
            return false;
    }
    project = identifier.left(dot);
    className = identifier.mid(dot + 1);
    return true;
}

} // namespace

ExtensionLoader::ExtensionLoader(clsRegistryAccess &registry, ExtensionProcess &process, Log log)
    : m_registry(registry)
    , m_process(process)
    , m_log(std::move(log))
{
    if (!m_log) {
        m_log = [](const QString &line) {
            std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
            std::fflush(stderr);
        };
    }
}

ExtensionLoader::~ExtensionLoader() = default;

QString ExtensionLoader::libraryPath(const QString &identifier)
{
    QString project;
    QString className;
    if (!splitIdentifier(identifier, project, className))
        return QString();
    // Read from the hive itself: the registry class's 255-byte string buffer
    // would turn a long install path into no registration at all.
    const auto v = m_registry.hive().value(RootKey::ClassesRoot, identifier + QStringLiteral("\\InprocServer32"),
                                          QString());
    if (!v || (v->type != RegType::String && v->type != RegType::ExpandString))
        return QString();
    QByteArray data = v->data;
    while (data.endsWith('\0'))
        data.chop(1);
    return Ansi::decode(data).trimmed();
}

void ExtensionLoader::report(const QString &library, const QString &text)
{
    const QString line = QStringLiteral("Quenora-Erweiterung %1: %2").arg(library, text);
    if (m_reported.contains(line))
        return;
    m_reported.insert(line);
    m_log(line);
}

ExtensionCall ExtensionLoader::invoke(const QString &identifier, const QString &member,
                                      QList<ExtensionArgument> &args)
{
    ExtensionCall call;
    QString project;
    QString className;
    if (!splitIdentifier(identifier, project, className)) {
        report(QStringLiteral("\"%1\"").arg(identifier),
               QStringLiteral("Der Bezeichner hat nicht die Form Projekt.Klasse."));
        return call;
    }
    const QString path = libraryPath(identifier);
    if (path.isEmpty()) {
        report(identifier, QStringLiteral("Keine Bibliothek unter HKEY_CLASSES_ROOT\\%1\\InprocServer32 eingetragen.")
                               .arg(identifier));
        return call;
    }
    QList<ExtensionProtocol::CallArgument> sent;
    sent.reserve(args.size());
    for (const ExtensionArgument &a : std::as_const(args))
        sent.append({a.text.toUtf8(), a.byRef, a.byRef && a.takeBack});
    ExtensionProcess::Result done =
        m_process.call(QFile::encodeName(path), className.toUtf8(), member.toUtf8(), sent);
    sent.clear();

    using Outcome = ExtensionProcess::Outcome;
    using Status = ExtensionProtocol::Status;
    switch (done.outcome) {
    case Outcome::Answered:
        break;
    case Outcome::Crashed:
        call.status = ExtensionCall::Status::Crashed;
        call.reason = done.detail;
        return call;
    case Outcome::Broken:
        call.status = ExtensionCall::Status::Crashed;
        call.reason = ExtensionTexts::unreadableAnswer();
        return call;
    case Outcome::TimedOut:
        call.status = ExtensionCall::Status::TimedOut;
        call.limitMs = done.limitMs;
        return call;
    case Outcome::Busy:
        // Another call is waiting for the user: this one is not made.
        call.status = ExtensionCall::Status::Failed;
        return call;
    case Outcome::Unavailable:
        report(QStringLiteral("quenora-extension-host"), done.detail);
        return call;
    }

    const ExtensionProtocol::Reply &reply = done.reply;
    for (qsizetype i = 0; i < args.size() && i < reply.replaced.size(); ++i) {
        if (reply.replaced.at(i) && args.at(i).byRef && args.at(i).takeBack)
            args[i].text = *reply.replaced.at(i);
    }
    switch (reply.status) {
    case Status::Ok:
        call.status = ExtensionCall::Status::Ok;
        call.result = reply.result;
        break;
    case Status::UnknownMember:
        // Normal: an extension implements only the events it needs.
        call.status = ExtensionCall::Status::UnknownMember;
        break;
    case Status::NotLoadable:
        call.status = ExtensionCall::Status::NotCreatable;
        report(path, reply.error);
        break;
    case Status::NotCreatable:
        call.status = ExtensionCall::Status::NotCreatable;
        report(path, QStringLiteral("Die Klasse \"%1\" lässt sich nicht erzeugen.").arg(className));
        break;
    case Status::Failed:
        call.status = ExtensionCall::Status::Failed;
        report(path, reply.error.isEmpty()
                         ? QStringLiteral("\"%1.%2\" ist fehlgeschlagen.").arg(className, member)
                         : reply.error);
        break;
    }
    return call;
}
