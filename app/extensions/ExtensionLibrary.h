#pragma once
// ExtensionLibrary: one plug-in library loaded through the C ABI of
// quenora_extension.h. Every symbol is resolved when the library is loaded,
// the required entry points are gathered into one struct, and the library's
// ABI version is checked before anything of it is used. A library that fails
// any of these steps is not used at all; the reason is kept as text.

#include "quenora_extension.h"

#include <QLibrary>
#include <QString>

#include <memory>

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

    const ExtensionEntryPoints &entryPoints() const { return m_entry; }
    QString path() const { return m_library.fileName(); }

private:
    explicit ExtensionLibrary(const QString &path);

    QLibrary m_library;
    ExtensionEntryPoints m_entry;
};
