#pragma once
// ExtensionLibrary: one plug-in library loaded through the C ABI of
// quenora_extension.h, in the extension-host process. Exactly the file named
// is loaded (never a name the dynamic loader would guess from it), every
// symbol is resolved when it is loaded, the required entry points are
// gathered into one struct, and the library's ABI version is checked before
// anything of it is used. A library that fails any of these steps is not
// used at all; the reason is kept as German text.

#include "ExtensionProtocol.h"
#include "quenora_extension.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

struct ExtensionEntryPoints {
    qn_abi_version_fn abiVersion = nullptr;
    qn_create_fn create = nullptr;
    qn_invoke_fn invoke = nullptr;
    qn_release_fn release = nullptr;
    qn_free_fn free = nullptr;
};

class ExtensionLibrary
{
public:
    enum class LoadError { None, MissingLibrary, MissingSymbol, WrongAbiVersion };

    struct Loaded {
        std::unique_ptr<ExtensionLibrary> library; // null on failure
        LoadError error = LoadError::None;
        QString errorText; // German, with the loader's own text where it has one
    };

    // Loads the library at path; never throws, never leaves it half usable.
    static Loaded load(const QString &path);

    // One call: a new object of the class, the member invoked, the object
    // released. What the plug-in allocated (its result, its replacements)
    // stays readable in the Invocation and goes back to its qn_free when the
    // Invocation is destroyed, whatever the status.
    class Invocation
    {
    public:
        ~Invocation();
        Invocation(const Invocation &) = delete;
        Invocation &operator=(const Invocation &) = delete;

        ExtensionProtocol::Status status = ExtensionProtocol::Status::NotCreatable;
        qn_result result{nullptr, 0};
        std::vector<qn_arg> args;

    private:
        friend class ExtensionLibrary;
        explicit Invocation(qn_free_fn free)
            : m_free(free)
        {
        }
        qn_free_fn m_free;
    };

    // The texts are NUL-terminated after their size (the protocol's frame
    // keeps them so); they must outlive the Invocation.
    std::unique_ptr<Invocation> invoke(const char *className, const char *member,
                                       const QList<ExtensionProtocol::CallArgument> &args) const;

    const ExtensionEntryPoints &entryPoints() const { return m_entry; }
    QString path() const { return m_path; }

    ~ExtensionLibrary();

private:
    ExtensionLibrary(QString path, void *handle);

    QString m_path;
    void *m_handle;
    ExtensionEntryPoints m_entry;
};
