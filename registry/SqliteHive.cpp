#include "SqliteHive.h"

#include "RegistryTexts.h"

#include "Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <sqlite3.h>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum Slot {
    ChildKey,
    InsertKey,
    HasChild,
    DeleteValuesOfKey,
    DeleteKey,
    Subkeys,
    SubkeysById,
    Values,
    Value,
    UpsertValue,
    DeleteValue,
    BeginImmediate,
    BeginDeferred,
    Commit,
    Rollback,
    SlotCount
};

// Fixed row ids of the roots that exist in the hive; the performance-data and
// dynamic-data roots are Windows run-time views and never exist here.
qint64 rootId(RootKey root)
{
    switch (root) {
    case RootKey::ClassesRoot: return 1;
    case RootKey::CurrentUser: return 2;
    case RootKey::LocalMachine: return 3;
    case RootKey::Users: return 4;
    case RootKey::CurrentConfig: return 6;
    case RootKey::PerformanceData:
    case RootKey::DynData:
        break;
    }
    return 0;
}

QStringList splitPath(const QString &path)
{
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

QByteArray utf8(const QString &s)
{
    return s.toUtf8();
}

// SQLite gives its -wal and -shm files the mode the hive has when it makes
// them. A reader that met a read-only hive leaves them read-only behind, and
// every later writer would fail on them; so they follow the hive's mode.
void alignSideFiles(const QByteArray &hive)
{
    struct stat db {};
    if (::stat(hive.constData(), &db) != 0)
        return;
    for (const char *suffix : {"-wal", "-shm"}) {
        const QByteArray side = hive + suffix;
        struct stat st {};
        if (::lstat(side.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()
            && (st.st_mode & 07777) != (db.st_mode & 07777))
            ::chmod(side.constData(), db.st_mode & 07777);
    }
}

} // namespace

// A prepared statement from the cache, reset and cleared when it goes out of
// scope so the next use starts clean.
class SqliteHive::Statement
{
public:
    explicit Statement(sqlite3_stmt *s) : m_s(s) {}
    ~Statement()
    {
        if (m_s) {
            sqlite3_reset(m_s);
            sqlite3_clear_bindings(m_s);
        }
    }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    explicit operator bool() const { return m_s != nullptr; }
    void bind(int i, qint64 v) { sqlite3_bind_int64(m_s, i, v); }
    void bind(int i, const QByteArray &text)
    {
        sqlite3_bind_text(m_s, i, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    void bindBlob(int i, const QByteArray &data)
    {
        // A zero-length blob must still be a blob, not NULL.
        sqlite3_bind_blob(m_s, i, data.isEmpty() ? "" : data.constData(), int(data.size()),
                          SQLITE_TRANSIENT);
    }
    int step() { return sqlite3_step(m_s); }
    qint64 int64(int col) const { return sqlite3_column_int64(m_s, col); }
    QString text(int col) const
    {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_s, col));
        return QString::fromUtf8(p, sqlite3_column_bytes(m_s, col));
    }
    QByteArray blob(int col) const
    {
        const auto *p = static_cast<const char *>(sqlite3_column_blob(m_s, col));
        return QByteArray(p, sqlite3_column_bytes(m_s, col));
    }

private:
    sqlite3_stmt *m_s;
};

// One operation, one transaction: rolled back unless committed.
class SqliteHive::Transaction
{
public:
    Transaction(SqliteHive &hive, bool write) : m_hive(hive)
    {
        Statement s(hive.prepared(write ? BeginImmediate : BeginDeferred,
                                  write ? "BEGIN IMMEDIATE" : "BEGIN"));
        m_active = s && s.step() == SQLITE_DONE;
        if (!m_active)
            hive.fail("begin");
    }
    ~Transaction()
    {
        if (m_active) {
            Statement s(m_hive.prepared(Rollback, "ROLLBACK"));
            if (s)
                s.step();
        }
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool active() const { return m_active; }
    bool commit()
    {
        Statement s(m_hive.prepared(Commit, "COMMIT"));
        const bool done = s && s.step() == SQLITE_DONE;
        if (!done)
            return m_hive.fail("commit");
        m_active = false;
        return true;
    }

private:
    SqliteHive &m_hive;
    bool m_active = false;
};

SqliteHive::SqliteHive(const QString &fileName, int busyTimeoutMs)
    : m_fileName(fileName), m_busyTimeoutMs(busyTimeoutMs)
{
    open();
}

SqliteHive::~SqliteHive()
{
    close();
}

QString SqliteHive::foldName(const QString &name)
{
    return name.toCaseFolded();
}

bool SqliteHive::open()
{
    if (m_db)
        return true;
    const QString dir = QFileInfo(m_fileName).absolutePath();
    if (!Paths::ensureDir(dir)) {
        m_status = Status::Failed;
        m_error = RegistryTexts::folderNotCreated(dir);
        return false;
    }
    const QByteArray file = QFile::encodeName(m_fileName);
    // A new hive is the user's alone (SQLite itself would make it readable
    // for everyone); its side files take the same mode.
    const int created = ::open(file.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (created >= 0)
        ::close(created);
    alignSideFiles(file);
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(file.constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                   nullptr);
    m_db = db;
    if (rc != SQLITE_OK) {
        fail("open");
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, m_busyTimeoutMs);
    // WAL lets readers and one writer of different processes work at once;
    // NORMAL synchronisation keeps every commit across a crash of the process.
    const bool ready = sqlite3_exec(m_db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr) == SQLITE_OK
        && sqlite3_exec(m_db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr) == SQLITE_OK
        && createSchema();
    if (!ready) {
        if (m_status != Status::Failed)
            fail("open");
        for (sqlite3_stmt *&s : m_statements) {
            sqlite3_finalize(s);
            s = nullptr;
        }
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    ok();
    return true;
}

void SqliteHive::close()
{
    for (sqlite3_stmt *&s : m_statements) {
        sqlite3_finalize(s);
        s = nullptr;
    }
    if (m_db)
        sqlite3_close(m_db);
    m_db = nullptr;
}

bool SqliteHive::reopenIfNowWritable()
{
    if (!m_db || sqlite3_db_readonly(m_db, "main") != 1)
        return false;
    if (::access(QFile::encodeName(m_fileName).constData(), W_OK) != 0)
        return false;
    close();
    return open();
}

bool SqliteHive::createSchema()
{
    // A hive that already has its tables is only read here, so a hive on a
    // read-only medium can still be read.
    sqlite3_stmt *check = nullptr;
    if (sqlite3_prepare_v2(m_db, "SELECT count(*) FROM sqlite_master WHERE type='table' AND name IN ('keys','vals')",
                           -1, &check, nullptr) != SQLITE_OK)
        return fail("schema");
    const bool present = sqlite3_step(check) == SQLITE_ROW && sqlite3_column_int(check, 0) == 2;
    sqlite3_finalize(check);
    if (present)
        return true;

    static const char *const schema =
        "BEGIN IMMEDIATE;"
        "CREATE TABLE IF NOT EXISTS keys("
        "  id INTEGER PRIMARY KEY,"
        "  parent INTEGER NOT NULL,"
        "  name TEXT NOT NULL,"
        "  fold TEXT NOT NULL,"
        "  UNIQUE(parent, fold));"
        "CREATE TABLE IF NOT EXISTS vals("
        "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
        "  key INTEGER NOT NULL,"
        "  name TEXT NOT NULL,"
        "  fold TEXT NOT NULL,"
        "  type INTEGER NOT NULL,"
        "  data BLOB NOT NULL,"
        "  UNIQUE(key, fold));"
        "INSERT OR IGNORE INTO keys(id, parent, name, fold) VALUES"
        "  (1, 0, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'),"
        "  (2, 0, 'HKEY_CURRENT_USER', 'hkey_current_user'),"
        "  (3, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine'),"
        "  (4, 0, 'HKEY_USERS', 'hkey_users'),"
        "  (6, 0, 'HKEY_CURRENT_CONFIG', 'hkey_current_config');"
        "COMMIT;";
    if (sqlite3_exec(m_db, schema, nullptr, nullptr, nullptr) != SQLITE_OK) {
        fail("schema");
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

bool SqliteHive::fail(const char *what)
{
    m_status = Status::Failed;
    const int code = m_db ? sqlite3_extended_errcode(m_db) : SQLITE_CANTOPEN;
    m_lastCode = code;
    const QString detail = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        m_error = RegistryTexts::hiveLocked(m_fileName);
        break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        m_error = RegistryTexts::hiveCorrupt(m_fileName);
        break;
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_IOERR:
    case SQLITE_FULL: {
        // The reason in the user's words; SQLite's own text is English.
        const int primary = code & 0xff;
        const QString reason = primary == SQLITE_READONLY ? RegistryTexts::reasonReadOnly()
                               : primary == SQLITE_CANTOPEN ? RegistryTexts::reasonCannotOpen()
                               : primary == SQLITE_PERM     ? RegistryTexts::reasonPermission()
                               : primary == SQLITE_FULL     ? RegistryTexts::reasonDiskFull()
                                                            : RegistryTexts::reasonInputOutput();
        m_error = RegistryTexts::hiveNotWritable(m_fileName, reason);
        break;
    }
    default:
        m_error = RegistryTexts::hiveError(m_fileName, QString::fromLatin1(what), detail);
        break;
    }
    return false;
}

void SqliteHive::notFound()
{
    m_status = Status::NotFound;
    m_error.clear();
}

void SqliteHive::ok()
{
    m_status = Status::Ok;
    m_error.clear();
}

sqlite3_stmt *SqliteHive::prepared(int slot, const char *sql)
{
    if (!m_db)
        return nullptr;
    if (!m_statements[slot]) {
        if (sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_statements[slot], nullptr) != SQLITE_OK) {
            m_statements[slot] = nullptr;
            fail("prepare");
        }
    }
    return m_statements[slot];
}

std::optional<qint64> SqliteHive::childKey(qint64 parent, const QString &name)
{
    Statement s(prepared(ChildKey, "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2"));
    if (!s)
        return std::nullopt;
    s.bind(1, parent);
    s.bind(2, utf8(foldName(name)));
    const int rc = s.step();
    if (rc == SQLITE_ROW)
        return s.int64(0);
    if (rc != SQLITE_DONE)
        fail("lookup");
    return std::nullopt;
}

std::optional<qint64> SqliteHive::findKey(RootKey root, const QString &path)
{
    qint64 id = rootId(root);
    if (id == 0) {
        notFound();
        return std::nullopt;
    }
    for (const QString &part : splitPath(path)) {
        const auto child = childKey(id, part);
        if (!child) {
            if (m_status != Status::Failed)
                notFound();
            return std::nullopt;
        }
        id = *child;
    }
    return id;
}

std::optional<qint64> SqliteHive::makeKey(RootKey root, const QString &path)
{
    qint64 id = rootId(root);
    if (id == 0) {
        notFound();
        return std::nullopt;
    }
    for (const QString &part : splitPath(path)) {
        auto child = childKey(id, part);
        if (!child) {
            if (m_status == Status::Failed)
                return std::nullopt;
            Statement s(prepared(InsertKey, "INSERT INTO keys(parent, name, fold) VALUES(?1, ?2, ?3)"));
            if (!s)
                return std::nullopt;
            s.bind(1, id);
            s.bind(2, utf8(part));
            s.bind(3, utf8(foldName(part)));
            if (s.step() != SQLITE_DONE) {
                fail("create key");
                return std::nullopt;
            }
            child = sqlite3_last_insert_rowid(m_db);
        }
        id = *child;
    }
    return id;
}

template <class Result, class Body>
Result SqliteHive::inTransaction(bool write, Result failed, Body body)
{
    QMutexLocker lock(&m_mutex);
    if (!open())
        return failed;
    // A connection opened while the hive was read-only stays read-only; once
    // the file can be written again, a new connection can write it.
    if (write)
        reopenIfNowWritable();
    for (int attempt = 0;; ++attempt) {
        m_lastCode = SQLITE_OK;
        Result result = failed;
        bool active = false;
        {
            Transaction t(*this, write);
            active = t.active();
            if (active)
                result = body(t);
        }
        // A side file left read-only by a reader: fixed when reopening.
        if (!write || attempt > 0 || m_status != Status::Failed || (m_lastCode & 0xff) != SQLITE_READONLY)
            return active ? result : failed;
        close();
        if (!open())
            return failed;
    }
}

bool SqliteHive::runOnKey(int slot, const char *sql, qint64 key, const char *what)
{
    Statement s(prepared(slot, sql));
    if (!s)
        return false;
    s.bind(1, key);
    return s.step() == SQLITE_DONE || fail(what);
}

std::optional<qint64> SqliteHive::openKey(RootKey root, const QString &path)
{
    return inTransaction(false, std::optional<qint64>(), [&](Transaction &) {
        const auto id = findKey(root, path);
        if (id)
            ok();
        return id;
    });
}

std::optional<qint64> SqliteHive::createKey(RootKey root, const QString &path)
{
    return inTransaction(true, std::optional<qint64>(), [&](Transaction &t) -> std::optional<qint64> {
        const auto id = makeKey(root, path);
        if (!id || !t.commit())
            return std::nullopt;
        ok();
        return id;
    });
}

bool SqliteHive::deleteKey(RootKey root, const QString &path)
{
    return inTransaction(true, false, [&](Transaction &t) {
        const auto id = findKey(root, path);
        if (!id)
            return false;
        if (splitPath(path).isEmpty()) {
            // The roots themselves are permanent.
            m_status = Status::Failed;
            m_error = RegistryTexts::rootNotDeleted();
            return false;
        }
        {
            Statement s(prepared(HasChild, "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1"));
            if (!s)
                return false;
            s.bind(1, *id);
            const int rc = s.step();
            if (rc == SQLITE_ROW) {
                m_status = Status::HasSubkeys;
                m_error = RegistryTexts::subkeysNotDeleted();
                return false;
            }
            if (rc != SQLITE_DONE)
                return fail("delete key");
        }
        if (!runOnKey(DeleteValuesOfKey, "DELETE FROM vals WHERE key = ?1", *id, "delete key")
            || !runOnKey(DeleteKey, "DELETE FROM keys WHERE id = ?1", *id, "delete key") || !t.commit())
            return false;
        ok();
        return true;
    });
}

std::optional<QStringList> SqliteHive::subkeys(RootKey root, const QString &path)
{
    return inTransaction(false, std::optional<QStringList>(), [&](Transaction &) -> std::optional<QStringList> {
        const auto id = findKey(root, path);
        if (!id)
            return std::nullopt;
        Statement s(prepared(Subkeys, "SELECT name FROM keys WHERE parent = ?1 ORDER BY fold, name"));
        if (!s)
            return std::nullopt;
        s.bind(1, *id);
        QStringList names;
        int rc;
        while ((rc = s.step()) == SQLITE_ROW)
            names.append(s.text(0));
        if (rc != SQLITE_DONE) {
            fail("enumerate keys");
            return std::nullopt;
        }
        ok();
        return names;
    });
}

std::optional<QList<RegistryHive::Subkey>> SqliteHive::subkeysOf(qint64 key)
{
    using Subkeys = std::optional<QList<Subkey>>;
    return inTransaction(false, Subkeys(), [&](Transaction &) -> Subkeys {
        Statement s(prepared(SubkeysById, "SELECT name, id FROM keys WHERE parent = ?1 ORDER BY fold, name"));
        if (!s)
            return std::nullopt;
        s.bind(1, key);
        QList<Subkey> list;
        int rc;
        while ((rc = s.step()) == SQLITE_ROW)
            list.append(Subkey{s.text(0), s.int64(1)});
        if (rc != SQLITE_DONE) {
            fail("enumerate keys");
            return std::nullopt;
        }
        ok();
        return list;
    });
}

std::optional<QList<RegValue>> SqliteHive::readValues(qint64 key)
{
    Statement s(prepared(Slot::Values, "SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY id"));
    if (!s)
        return std::nullopt;
    s.bind(1, key);
    QList<RegValue> list;
    int rc;
    while ((rc = s.step()) == SQLITE_ROW)
        list.append(RegValue{s.text(0), quint32(s.int64(1)), s.blob(2)});
    if (rc != SQLITE_DONE) {
        fail("enumerate values");
        return std::nullopt;
    }
    ok();
    return list;
}

std::optional<QList<RegValue>> SqliteHive::valuesOf(qint64 key)
{
    using Values = std::optional<QList<RegValue>>;
    return inTransaction(false, Values(), [&](Transaction &) -> Values { return readValues(key); });
}

std::optional<QList<RegValue>> SqliteHive::values(RootKey root, const QString &path)
{
    using Values = std::optional<QList<RegValue>>;
    return inTransaction(false, Values(), [&](Transaction &) -> Values {
        const auto id = findKey(root, path);
        if (!id)
            return std::nullopt;
        return readValues(*id);
    });
}

std::optional<RegValue> SqliteHive::value(RootKey root, const QString &path, const QString &name)
{
    return inTransaction(false, std::optional<RegValue>(), [&](Transaction &) -> std::optional<RegValue> {
        const auto id = findKey(root, path);
        if (!id)
            return std::nullopt;
        Statement s(prepared(Value, "SELECT name, type, data FROM vals WHERE key = ?1 AND fold = ?2"));
        if (!s)
            return std::nullopt;
        s.bind(1, *id);
        s.bind(2, utf8(foldName(name)));
        const int rc = s.step();
        if (rc == SQLITE_ROW) {
            ok();
            return RegValue{s.text(0), quint32(s.int64(1)), s.blob(2)};
        }
        if (rc == SQLITE_DONE)
            notFound();
        else
            fail("read value");
        return std::nullopt;
    });
}

bool SqliteHive::setValue(RootKey root, const QString &path, const RegValue &value,
                          bool createMissingKey)
{
    return inTransaction(true, false, [&](Transaction &t) {
        const auto id = createMissingKey ? makeKey(root, path) : findKey(root, path);
        if (!id)
            return false;
        // Overwriting keeps the value's place in the enumeration and its name's case.
        Statement s(prepared(UpsertValue,
                             "INSERT INTO vals(key, name, fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
                             "ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, data = excluded.data"));
        if (!s)
            return false;
        s.bind(1, *id);
        s.bind(2, utf8(value.name));
        s.bind(3, utf8(foldName(value.name)));
        s.bind(4, qint64(value.type));
        s.bindBlob(5, value.data);
        if (s.step() != SQLITE_DONE)
            return fail("write value");
        if (!t.commit())
            return false;
        ok();
        return true;
    });
}

bool SqliteHive::deleteValue(RootKey root, const QString &path, const QString &name)
{
    return inTransaction(true, false, [&](Transaction &t) {
        const auto id = findKey(root, path);
        if (!id)
            return false;
        Statement s(prepared(DeleteValue, "DELETE FROM vals WHERE key = ?1 AND fold = ?2"));
        if (!s)
            return false;
        s.bind(1, *id);
        s.bind(2, utf8(foldName(name)));
        if (s.step() != SQLITE_DONE)
            return fail("delete value");
        if (sqlite3_changes(m_db) == 0) {
            notFound();
            return false;
        }
        if (!t.commit())
            return false;
        ok();
        return true;
    });
}

std::shared_ptr<RegistryHive> RegistryHive::userHive()
{
    // One connection per hive file and process: QUENORA_HOME may change
    // between tests, so the cache is keyed by the file.
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<RegistryHive>> hives;
    const QString file = Paths::registryFile();
    QMutexLocker lock(&mutex);
    auto &hive = hives[file];
    if (!hive)
        hive = std::make_shared<SqliteHive>(file);
    return hive;
}
