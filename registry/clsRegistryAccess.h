#pragma once
// clsRegistryAccess: Quenora's registry class. Addresses keys by one path
// string that starts with a root name ("HKEY_CURRENT_USER\Software\..." or
// "HKCU\Software\..."), reads and writes string, DWORD and binary values,
// enumerates and deletes keys and values, and exports a key tree to a
// REGEDIT4 .reg file or imports one.
//
// It works on a RegistryHive (by default the user's hive in SQLite). No
// operation reports an error other than by its result: 0, false, -1 or the
// caller's default; lastError() tells a tool why, when the hive itself failed.
// The main program's extension host, the extension manager and qnreg use it.
//
// The results of the fixed 255-character buffers of the original class are
// kept on purpose (a string value of more than 255 bytes reads as the
// default), because callers rely on them; SettingsStore has no such limit.

#include "RegistryHive.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <memory>
#include <optional>

class clsRegistryAccess
{
public:
    // A non-zero number on success, 0 on failure; callers only test for zero.
    using Handle = qint64;
    // Called with each key path before the key is written to the .reg file.
    using ProgressCallback = std::function<void(const QString &keyPath)>;

    static constexpr int BufferSize = 255;

    clsRegistryAccess();
    explicit clsRegistryAccess(std::shared_ptr<RegistryHive> hive);

    // "Let/Get. Should key will be created if no exists (when writting data to registry)"
    bool CreateKeyIfDoesntExists() const { return m_createKeyIfDoesntExists; }
    void CreateKeyIfDoesntExists(bool offon) { m_createKeyIfDoesntExists = offon; }

    // "Creates key in registry..."
    Handle CreateKey(const QString &sPath);
    // "Deletes key from registry..." A key that still has subkeys stays.
    Handle KillKey(const QString &sPath);
    // "Checks if some key exists..."
    bool KeyExists(const QString &sPath);
    // "Enumerates subkeys of some key..." -1 (and Key untouched) when the key
    // cannot be opened, else the number of names put into Key.
    qint32 EnumKeys(const QString &sPath, QStringList &Key);
    // "Checks for subkeys in some key..."
    bool HaveSubkey(const QString &sPath);

    // "Writes data of string type..." Name "@" is the key's default value.
    Handle WriteString(const QString &sPath, const QString &sName, const QString &sValue);
    // "Reads data of string type..."
    QString ReadString(const QString &sPath, const QString &sName, const QString &sDefault = QString());
    // "Writes data of dword type..."
    Handle WriteDWORD(const QString &sPath, const QString &sName, qint32 lValue);
    // "Reads data of dword type..."
    qint32 ReadDWORD(const QString &sPath, const QString &sName, qint32 lDefault = 0);
    // "Writes data of binary type..." sValue is a hex string ("0A FF 00").
    Handle WriteBinary(const QString &sPath, const QString &sName, const QString &sValue);
    // "Reads data of binary type..." The hex string of the data.
    QString ReadBinary(const QString &sPath, const QString &sName, const QString &sDefault = QString());
    // "Deletes value from registry..."
    Handle KillValue(const QString &sPath, const QString &sName);
    // "Checks if some value exists in registry"
    bool ValueExists(const QString &sPath, const QString &sName);
    // "Enumerates all values from specified key..." OnlyType -1 takes every
    // value, else only values of that registry type. sValue receives the hex
    // string of binaries, the number of DWORDs, the text of strings and an
    // empty variant for other types. -1 when the key cannot be opened.
    qint32 EnumValues(const QString &sPath, QStringList &sName, QVariantList &sValue, qint32 OnlyType = -1);

    // "Exports contents of some key (and it's subkeys) to .reg file..."
    // 1 on success, 0 on failure (also when sRegFile already exists).
    qint32 ExportToReg(const QString &sPath, const QString &sRegFile, bool IncludeSubkeys = false,
                       const ProgressCallback &Output = {});
    // "Imports .reg file into registry..." 1 on success, 0 on failure.
    qint32 ImportFromReg(const QString &sRegFile);
    // What the last import could not take, one German line per fault with
    // its line number ("Zeile 12: ungültiger Hex-Wert"); empty after a
    // complete import.
    QStringList importFaults() const { return m_importFaults; }

    // "Converts hex (string) into it's binary value..." Blanks anywhere are
    // ignored, either case is accepted; ok is false for a non-hex digit.
    static QByteArray StrToBin(const QString &sBin, bool *ok = nullptr);
    // Each byte as a blank and two upper-case hex digits (" 0A FF").
    static QString BinToStr(const QByteArray &sStr);
    static bool isBinValid(const QString &sBin);
    // Blanks taken off both ends, as every read of this class does; tabs
    // and other white space stay.
    static QString trimBlanks(const QString &s);

    // Splits a key path into its root and subkey path; no root when the
    // root part names none of the seven roots.
    struct KeyPath {
        std::optional<RootKey> root;
        QString subkey;
    };
    static KeyPath ParsePath(const QString &sPath);
    // The path with a short root name at its start replaced by the long one.
    static QString LongRootPath(const QString &sPath);

    // Why the last operation failed when the hive itself failed (locked,
    // corrupt, not writable); empty when it merely found nothing.
    QString lastError() const { return m_lastError; }

    RegistryHive &hive() { return *m_hive; }

private:
    std::optional<RegValue> readValue(const QString &sPath, const QString &sName);
    Handle writeValue(const QString &sPath, const QString &sName, quint32 type, const QByteArray &data);
    void noteResult();
    static void exportKey(const QString &sPath, const QList<RegValue> &values, QByteArray &out);
    void noteImportFault(qsizetype line, const QString &fault);

    std::shared_ptr<RegistryHive> m_hive;
    bool m_createKeyIfDoesntExists = true;
    QString m_lastError;
    QStringList m_importFaults;
};
