#include "ExtensionLibrary.h"

#include "ExtensionTexts.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <dlfcn.h>
#include <sys/stat.h>

ExtensionLibrary::ExtensionLibrary(QString path, void *handle)
    : m_path(std::move(path))
    , m_handle(handle)
{
}

// A loaded plug-in stays in the process: code of it may still be referred
// to (atexit handlers, Qt's metatypes of a plug-in with widgets).
ExtensionLibrary::~ExtensionLibrary() = default;

namespace {

// Why the file itself cannot be the library, in German, from the system's
// own answer about it; empty when it is a regular file.
QString fileProblem(const QByteArray &path)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) {
        switch (errno) {
        case ENOENT:
            return ExtensionTexts::fileMissing();
        case ELOOP:
            return ExtensionTexts::pathLoops();
        case EACCES:
            return ExtensionTexts::pathNotSearchable();
        case ENOTDIR:
            return ExtensionTexts::pathPartNotFolder();
        case ENAMETOOLONG:
            return ExtensionTexts::pathTooLong();
        default:
            return ExtensionTexts::fileUncheckable(errno);
        }
    }
    if (S_ISDIR(st.st_mode))
        return ExtensionTexts::isFolder();
    if (!S_ISREG(st.st_mode))
        return ExtensionTexts::notRegularFile();
    return QString();
}

template<typename Fn>
void resolve(void *handle, const char *name, Fn &target, QString &missing)
{
    target = reinterpret_cast<Fn>(::dlsym(handle, name));
    if (!target) {
        if (!missing.isEmpty())
            missing += QStringLiteral(", ");
        missing += QString::fromLatin1(name);
    }
}

} // namespace

ExtensionLibrary::Loaded ExtensionLibrary::load(const QString &path)
{
    Loaded out;
    // A relative path would be searched for along the library path and in the
    // working folder, so an entry could pick up a stranger's library.
    if (!QFileInfo(path).isAbsolute()) {
        out.error = LoadError::MissingLibrary;
        out.errorText = ExtensionTexts::libraryPathRelative(path);
        return out;
    }
    // An absolute name makes the dynamic loader open exactly this file; no
    // prefix or suffix is tried.
    const QByteArray name = QFile::encodeName(path);
    const QString problem = fileProblem(name);
    if (!problem.isEmpty()) {
        out.error = LoadError::MissingLibrary;
        out.errorText = ExtensionTexts::libraryNotLoaded(problem);
        return out;
    }
    // Every symbol is resolved now rather than in the middle of an event.
    void *handle = ::dlopen(name.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char *why = ::dlerror();
        out.error = LoadError::MissingLibrary;
        out.errorText = ExtensionTexts::libraryNotLoaded(why ? QString::fromLocal8Bit(why)
                                                                 : ExtensionTexts::unknownReason());
        return out;
    }

    ExtensionEntryPoints e;
    QString missing;
    resolve(handle, QN_SYMBOL_ABI_VERSION, e.abiVersion, missing);
    resolve(handle, QN_SYMBOL_CREATE, e.create, missing);
    resolve(handle, QN_SYMBOL_INVOKE, e.invoke, missing);
    resolve(handle, QN_SYMBOL_RELEASE, e.release, missing);
    resolve(handle, QN_SYMBOL_FREE, e.free, missing);
    if (!missing.isEmpty()) {
        out.error = LoadError::MissingSymbol;
        out.errorText = ExtensionTexts::missingEntryPoints(missing);
        ::dlclose(handle);
        return out;
    }

    const quint32 version = e.abiVersion();
    if (version < QN_ABI_VERSION_MIN || version > QN_ABI_VERSION) {
        out.error = LoadError::WrongAbiVersion;
        out.errorText = ExtensionTexts::wrongInterfaceVersion(version, QN_ABI_VERSION_MIN, QN_ABI_VERSION);
        ::dlclose(handle);
        return out;
    }
    out.library.reset(new ExtensionLibrary(path, handle));
    out.library->m_entry = e;
    return out;
}

ExtensionLibrary::Invocation::~Invocation()
{
    // The plug-in's texts go back to the plug-in's own qn_free.
    if (result.data)
        m_free(result.data);
    for (qn_arg &a : args) {
        if (a.replaced)
            m_free(a.replaced);
    }
}

std::unique_ptr<ExtensionLibrary::Invocation>
ExtensionLibrary::invoke(const char *className, const char *member,
                         const QList<ExtensionProtocol::CallArgument> &args) const
{
    std::unique_ptr<Invocation> call(new Invocation(m_entry.free));
    qn_object *object = m_entry.create(className);
    if (!object) {
        call->status = ExtensionProtocol::Status::NotCreatable;
        return call;
    }
    call->args.resize(size_t(args.size()));
    for (qsizetype i = 0; i < args.size(); ++i) {
        qn_arg &a = call->args[size_t(i)];
        const QByteArray &text = args.at(i).text;
        // An empty text is given as "" (never NULL), as it always was.
        a.data = text.isEmpty() ? "" : text.constData();
        a.size = size_t(text.size());
        a.by_ref = args.at(i).byRef ? 1 : 0;
        a.replaced = nullptr;
        a.replaced_size = 0;
    }
    const int status = m_entry.invoke(object, member, call->args.empty() ? nullptr : call->args.data(),
                                      call->args.size(), &call->result);
    m_entry.release(object);
    switch (status) {
    case QN_OK:
        call->status = ExtensionProtocol::Status::Ok;
        break;
    case QN_UNKNOWN_MEMBER:
        call->status = ExtensionProtocol::Status::UnknownMember;
        break;
    default:
        call->status = ExtensionProtocol::Status::Failed;
        break;
    }
    return call;
}
