#include "ExtensionLoader.h"

#include "Ansi.h"
#include "clsRegistryAccess.h"

#include <cstdio>
#include <vector>

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

// The plug-in's texts are handed back to the plug-in's own qn_free, whatever
// happened in the call.
struct PluginText {
    qn_free_fn free;
    char *&text;
    ~PluginText()
    {
        if (text)
            free(text);
        text = nullptr;
    }
};

QString fromPlugin(const char *data, size_t size)
{
    if (!data)
        return QString();
    return QString::fromUtf8(data, qsizetype(size));
}

} // namespace

ExtensionLoader::ExtensionLoader(clsRegistryAccess &registry, Log log)
    : m_registry(registry)
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

const ExtensionLibrary *ExtensionLoader::library(const QString &path)
{
    if (const auto it = m_libraries.constFind(path); it != m_libraries.constEnd())
        return it->get();
    // A library that failed is tried again at the next call: it may have been
    // installed or repaired meanwhile. Only the message is not repeated.
    ExtensionLibrary::Loaded loaded = ExtensionLibrary::load(path);
    if (!loaded.library) {
        report(path, loaded.errorText);
        return nullptr;
    }
    const ExtensionLibrary *lib = loaded.library.get();
    m_libraries.insert(path, std::shared_ptr<ExtensionLibrary>(std::move(loaded.library)));
    return lib;
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
    const ExtensionLibrary *lib = library(path);
    if (!lib)
        return call;
    const ExtensionEntryPoints &e = lib->entryPoints();

    const QByteArray classUtf8 = className.toUtf8();
    qn_object *object = e.create(classUtf8.constData());
    if (!object) {
        report(path, QStringLiteral("Die Klasse \"%1\" lässt sich nicht erzeugen.").arg(className));
        return call;
    }

    // The texts handed to the plug-in must outlive the call.
    QList<QByteArray> utf8;
    utf8.reserve(args.size());
    std::vector<qn_arg> raw(size_t(args.size()));
    for (qsizetype i = 0; i < args.size(); ++i) {
        utf8.append(args.at(i).text.toUtf8());
        qn_arg &a = raw[size_t(i)];
        a.data = utf8.last().constData();
        a.size = size_t(utf8.last().size());
        a.by_ref = args.at(i).byRef ? 1 : 0;
        a.replaced = nullptr;
        a.replaced_size = 0;
    }
    qn_result result{nullptr, 0};
    const QByteArray memberUtf8 = member.toUtf8();
    const int status = e.invoke(object, memberUtf8.constData(), raw.empty() ? nullptr : raw.data(), raw.size(),
                                &result);

    {
        PluginText resultText{e.free, result.data};
        for (size_t i = 0; i < raw.size(); ++i) {
            PluginText replaced{e.free, raw[i].replaced};
            if (raw[i].replaced && args.at(qsizetype(i)).byRef && args.at(qsizetype(i)).takeBack)
                args[qsizetype(i)].text = fromPlugin(raw[i].replaced, raw[i].replaced_size);
        }
        if (status == QN_OK)
            call.result = fromPlugin(result.data, result.size);
    }
    e.release(object);

    switch (status) {
    case QN_OK:
        call.status = ExtensionCall::Status::Ok;
        break;
    case QN_UNKNOWN_MEMBER:
        call.status = ExtensionCall::Status::UnknownMember;
        report(path, QStringLiteral("Die Klasse \"%1\" hat kein Element \"%2\".").arg(className, member));
        break;
    default:
        call.status = ExtensionCall::Status::Failed;
        report(path, QStringLiteral("\"%1.%2\" ist fehlgeschlagen.").arg(className, member));
        break;
    }
    return call;
}
