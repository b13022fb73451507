#pragma once
// RegistryHive: the narrow interface between Quenora's registry class and the
// store that actually holds keys and values.
//
// Keys form a tree below a few fixed roots; names of keys and values compare
// case-insensitively and keep the case they were created with; values carry a
// registry type and raw bytes. Subkeys enumerate in case-insensitive name
// order, values in the order they were created. Every call is one atomic
// operation. On Linux the store is SqliteHive (a database file shared safely
// by several processes); a backend over the Windows registry functions would
// implement the same interface, and no caller would change.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

enum class RootKey {
    ClassesRoot,     // HKEY_CLASSES_ROOT, HKCR
    CurrentUser,     // HKEY_CURRENT_USER, HKCU
    LocalMachine,    // HKEY_LOCAL_MACHINE, HKLM
    Users,           // HKEY_USERS, HKUS
    PerformanceData, // HKEY_PERFORMANCE_DATA, HKPD: never present in the hive
    CurrentConfig,   // HKEY_CURRENT_CONFIG, HKCC
    DynData,         // HKEY_DYN_DATA, HKDD: never present in the hive
};

namespace RegType {
inline constexpr quint32 None = 0;
inline constexpr quint32 String = 1;      // REG_SZ
inline constexpr quint32 ExpandString = 2; // REG_EXPAND_SZ
inline constexpr quint32 Binary = 3;      // REG_BINARY
inline constexpr quint32 DWord = 4;       // REG_DWORD
inline constexpr quint32 MultiString = 7; // REG_MULTI_SZ
} // namespace RegType

struct RegValue {
    QString name;      // empty: the key's default value
    quint32 type = RegType::None;
    QByteArray data;
};

class RegistryHive
{
public:
    // Why the last call failed.
    enum class Status {
        Ok,
        NotFound,   // the key or value does not exist (or the root is not in the hive)
        HasSubkeys, // a key with subkeys cannot be deleted
        Failed,     // the store itself failed: see errorString()
    };

    virtual ~RegistryHive() = default;

    // A non-zero id for the key when it exists.
    virtual std::optional<qint64> openKey(RootKey root, const QString &path) = 0;
    // Creates the key and any missing parents; the id of the key.
    virtual std::optional<qint64> createKey(RootKey root, const QString &path) = 0;
    // Deletes a key that has no subkeys. A root cannot be deleted.
    virtual bool deleteKey(RootKey root, const QString &path) = 0;
    virtual std::optional<QStringList> subkeys(RootKey root, const QString &path) = 0;
    virtual std::optional<QList<RegValue>> values(RootKey root, const QString &path) = 0;
    virtual std::optional<RegValue> value(RootKey root, const QString &path, const QString &name) = 0;
    // Stores a value; with createMissingKey the key (and its parents) are
    // made in the same operation, otherwise a missing key fails.
    virtual bool setValue(RootKey root, const QString &path, const RegValue &value,
                          bool createMissingKey) = 0;
    virtual bool deleteValue(RootKey root, const QString &path, const QString &name) = 0;

    // The same by the id openKey() gave, for walking a tree without looking
    // every path up again from its root (an export of a deep tree would take
    // time in the square of its depth). A key that is gone has none.
    struct Subkey {
        QString name;
        qint64 id = 0;
    };
    virtual std::optional<QList<Subkey>> subkeysOf(qint64 key) = 0;
    virtual std::optional<QList<RegValue>> valuesOf(qint64 key) = 0;

    virtual Status status() const = 0;
    // A German description of the last Failed status.
    virtual QString errorString() const = 0;

    // The current user's hive (Paths::registryFile()), shared by everything in
    // this process that asks for it; opened on first use.
    static std::shared_ptr<RegistryHive> userHive();
};
