#include "ExtensionLibrary.h"

#include <QFileInfo>

ExtensionLibrary::ExtensionLibrary(const QString &path)
    : m_library(path)
{
    // Unresolved symbols show up here, at load, rather than in the middle of
    // an event.
    m_library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
}

namespace {

template<typename Fn>
bool resolve(QLibrary &library, const char *name, Fn &target, QString &missing)
{
    target = reinterpret_cast<Fn>(library.resolve(name));
    if (!target) {
        if (!missing.isEmpty())
            missing += QStringLiteral(", ");
        missing += QString::fromLatin1(name);
    }
    return target != nullptr;
}

} // namespace

ExtensionLibrary::Loaded ExtensionLibrary::load(const QString &path)
{
    Loaded out;
    // A relative path would be searched for along the library path and in the
    // working folder, so an entry could pick up a stranger's library.
    if (!QFileInfo(path).isAbsolute()) {
        out.error = LoadError::MissingLibrary;
        out.errorText = QStringLiteral("Der Pfad der Bibliothek ist nicht absolut: \"%1\"").arg(path);
        return out;
    }
    std::unique_ptr<ExtensionLibrary> lib(new ExtensionLibrary(path));
    if (!lib->m_library.load()) {
        out.error = LoadError::MissingLibrary;
        out.errorText = QStringLiteral("Die Bibliothek lässt sich nicht laden: %1").arg(lib->m_library.errorString());
        return out;
    }

    ExtensionEntryPoints &e = lib->m_entry;
    QString missing;
    resolve(lib->m_library, QN_SYMBOL_ABI_VERSION, e.abiVersion, missing);
    resolve(lib->m_library, QN_SYMBOL_CREATE, e.create, missing);
    resolve(lib->m_library, QN_SYMBOL_INVOKE, e.invoke, missing);
    resolve(lib->m_library, QN_SYMBOL_RELEASE, e.release, missing);
    resolve(lib->m_library, QN_SYMBOL_FREE, e.free, missing);
    if (!missing.isEmpty()) {
        out.error = LoadError::MissingSymbol;
        out.errorText = QStringLiteral("Der Bibliothek fehlen Einsprungpunkte: %1 (%2)")
                            .arg(missing, lib->m_library.errorString());
        lib->m_library.unload();
        return out;
    }

    const quint32 version = e.abiVersion();
    if (version < QN_ABI_VERSION_MIN || version > QN_ABI_VERSION) {
        out.error = LoadError::WrongAbiVersion;
        out.errorText = QStringLiteral("Die Bibliothek hat die Schnittstellenversion %1, unterstützt wird %2 bis %3")
                            .arg(version)
                            .arg(QN_ABI_VERSION_MIN)
                            .arg(QN_ABI_VERSION);
        lib->m_library.unload();
        return out;
    }
    out.library = std::move(lib);
    return out;
}
