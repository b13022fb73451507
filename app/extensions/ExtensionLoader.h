#pragma once
// ExtensionLoader: creates extension objects by identifier and calls their
// members by name, the way the host's events need it.
//
// An identifier "Project.Class" names its library through
// HKEY_CLASSES_ROOT\<identifier>\InprocServer32 (default value: the library's
// full path) in the hive. The library itself is loaded and called in the
// extension-host process (ExtensionProcess), never in this one: the object
// is created there for the one call and released right after it. Whatever
// goes wrong comes back as a status. Real faults (no registration, a library
// that does not load, a missing entry point, a foreign ABI version, no such
// class, a failing member) are said on stderr once per library and kind;
// a member the extension does not have is normal and says nothing. A crash
// or time-out is the caller's to tell the user (PluginExtensionHost).

#include "ExtensionProcess.h"

#include <QList>
#include <QSet>
#include <QString>

#include <functional>

class clsRegistryAccess;

struct ExtensionArgument {
    QString text;
    bool byRef = false;
    // Whether a replacement by the extension comes back into text. The host
    // discards every replacement, and converting one of a long text costs.
    bool takeBack = false;
};

struct ExtensionCall {
    enum class Status { Ok, NotCreatable, UnknownMember, Failed, Crashed, TimedOut };
    Status status = Status::NotCreatable;
    QString result;  // the member's result when status is Ok
    QString reason;  // Crashed: how the process ended (German)
    qint64 limitMs = 0; // TimedOut: the limit that ran out
};

class ExtensionLoader
{
public:
    using Log = std::function<void(const QString &line)>;

    // log receives each diagnostic line; by default it goes to stderr.
    ExtensionLoader(clsRegistryAccess &registry, ExtensionProcess &process, Log log = {});
    ~ExtensionLoader();

    // One call on a new object of the class the identifier names. A
    // by-reference argument with takeBack that the extension replaced comes
    // back replaced in args, also when the call failed afterwards.
    ExtensionCall invoke(const QString &identifier, const QString &member, QList<ExtensionArgument> &args);

    // The library path registered for an identifier; empty when there is none.
    QString libraryPath(const QString &identifier);

private:
    void report(const QString &library, const QString &text);

    clsRegistryAccess &m_registry;
    ExtensionProcess &m_process;
    Log m_log;
    QSet<QString> m_reported;
};
