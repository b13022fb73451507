#pragma once
// ExtensionLoader: creates extension objects by identifier and calls their
// members by name, the way the host's events need it.
//
// An identifier "Project.Class" names its library through
// HKEY_CLASSES_ROOT\<identifier>\InprocServer32 (default value: the library's
// full path) in the hive. The library is loaded once and stays loaded; the
// object is created for the one call and released right after it. Whatever
// goes wrong (no registration, a library that does not load, a missing entry
// point, a foreign ABI version, no such class, no such member, a failing
// member) comes back as a status; the loader says which on stderr, once per
// library and kind of failure, and never to the user.

#include "ExtensionLibrary.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>

class clsRegistryAccess;

struct ExtensionArgument {
    QString text;
    bool byRef = false;
    // Whether a replacement by the extension comes back into text. The host
    // discards every replacement, and converting one of a long text costs.
    bool takeBack = false;
};

struct ExtensionCall {
    enum class Status { Ok, NotCreatable, UnknownMember, Failed };
    Status status = Status::NotCreatable;
    QString result; // the member's result when status is Ok
};

class ExtensionLoader
{
public:
    using Log = std::function<void(const QString &line)>;

    // log receives each diagnostic line; by default it goes to stderr.
    explicit ExtensionLoader(clsRegistryAccess &registry, Log log = {});
    ~ExtensionLoader();

    // One call on a new object of the class the identifier names. A
    // by-reference argument with takeBack that the extension replaced comes
    // back replaced in args, also when the call failed afterwards.
    ExtensionCall invoke(const QString &identifier, const QString &member, QList<ExtensionArgument> &args);

    // The library path registered for an identifier; empty when there is none.
    QString libraryPath(const QString &identifier);

private:
    const ExtensionLibrary *library(const QString &path);
    void report(const QString &library, const QString &text);

    clsRegistryAccess &m_registry;
    Log m_log;
    // Held by pointer: a plug-in's modal window lets events run, so a call
    // may load further libraries while an outer call still uses its own.
    QHash<QString, std::shared_ptr<ExtensionLibrary>> m_libraries;
    QSet<QString> m_reported;
};
