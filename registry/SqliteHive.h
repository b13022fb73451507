#pragma once
// SqliteHive: the registry hive in one SQLite database file.
//
// Several programs (the editor, the extension manager, qnreg, installers)
// use the same hive at once, so the file runs in WAL mode with a busy
// timeout, and every operation is one transaction: a process killed in the
// middle of a write leaves the file readable with every earlier value.
// Case-insensitive names are compared through a stored case-folded copy, so
// "Ä" and "ä" meet as well as "A" and "a". The file is created private to
// the user (0600); its -wal and -shm files follow its mode, and a connection
// that met a read-only hive writes again once the file is writable.

#include "RegistryHive.h"

#include <QMutex>

struct sqlite3;
struct sqlite3_stmt;

class SqliteHive : public RegistryHive
{
public:
    static constexpr int DefaultBusyTimeoutMs = 5000;

    // Opens (creating when missing) the hive file. A file that cannot be
    // opened leaves the hive failing every operation with an error string.
    explicit SqliteHive(const QString &fileName, int busyTimeoutMs = DefaultBusyTimeoutMs);
    ~SqliteHive() override;
    SqliteHive(const SqliteHive &) = delete;
    SqliteHive &operator=(const SqliteHive &) = delete;

    bool isOpen() const { return m_db != nullptr; }
    QString fileName() const { return m_fileName; }

    std::optional<qint64> openKey(RootKey root, const QString &path) override;
    std::optional<qint64> createKey(RootKey root, const QString &path) override;
    bool deleteKey(RootKey root, const QString &path) override;
    std::optional<QStringList> subkeys(RootKey root, const QString &path) override;
    std::optional<QList<RegValue>> values(RootKey root, const QString &path) override;
    std::optional<RegValue> value(RootKey root, const QString &path, const QString &name) override;
    bool setValue(RootKey root, const QString &path, const RegValue &value,
                  bool createMissingKey) override;
    bool deleteValue(RootKey root, const QString &path, const QString &name) override;
    std::optional<QList<Subkey>> subkeysOf(qint64 key) override;
    std::optional<QList<RegValue>> valuesOf(qint64 key) override;

    Status status() const override { return m_status; }
    QString errorString() const override { return m_error; }

    // The case-folded form under which names are compared and sorted.
    static QString foldName(const QString &name);

private:
    class Statement;
    class Transaction;

    // One operation: the lock, an open hive and one transaction around body,
    // which gets the transaction; failed is the result when one is missing.
    template <class Result, class Body>
    Result inTransaction(bool write, Result failed, Body body);
    // A statement with the key id as its one parameter that returns no rows.
    bool runOnKey(int slot, const char *sql, qint64 key, const char *what);

    bool open();
    void close();
    bool reopenIfNowWritable();
    bool createSchema();
    bool fail(const char *what);
    void notFound();
    void ok();
    sqlite3_stmt *prepared(int slot, const char *sql);
    std::optional<qint64> findKey(RootKey root, const QString &path);
    // The values of a key in the order they were made, within a transaction.
    std::optional<QList<RegValue>> readValues(qint64 key);
    std::optional<qint64> makeKey(RootKey root, const QString &path);
    std::optional<qint64> childKey(qint64 parent, const QString &name);

    QString m_fileName;
    int m_busyTimeoutMs;
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_statements[16] = {};
    Status m_status = Status::Ok;
    int m_lastCode = 0; // SQLite's extended code of the last failure
    QString m_error;
    QMutex m_mutex;
};
