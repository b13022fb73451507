#pragma once
// A fresh hive in a temporary folder with entries written the way an
// installer writes them, for the extension manager's tests.

#include "ExtensionEntries.h"
#include "SqliteHive.h"
#include "clsRegistryAccess.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

struct ExtensionsFixture {
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("registry.db"));
    // A short time-out: a test that holds a lock waits no longer than this.
    std::shared_ptr<SqliteHive> hive = std::make_shared<SqliteHive>(file, 50);
    clsRegistryAccess registry{hive};

    static QString path(const QString &subkey) { return ExtensionEntries::keyPath() + '\\' + subkey; }

    // A null display name or active leaves that value out.
    void add(const QString &subkey, const QString &displayName, const QString &active,
             const QString &objectName = QString())
    {
        QVERIFY(registry.CreateKey(path(subkey)));
        if (!displayName.isNull())
            QVERIFY(registry.WriteString(path(subkey), "DisplayName", displayName));
        if (!active.isNull())
            QVERIFY(registry.WriteString(path(subkey), "Active", active));
        if (!objectName.isNull())
            QVERIFY(registry.WriteString(path(subkey), "ObjectName", objectName));
    }
    void describe(const QString &subkey, const QByteArray &bytes)
    {
        QVERIFY(registry.WriteBinary(path(subkey), "Description", clsRegistryAccess::BinToStr(bytes)));
    }
    QString active(const QString &subkey) { return registry.ReadString(path(subkey), "Active", "<none>"); }
};

// A hive that takes a set number of writes and then refuses the next ones
// (by default all of them) the way a hive on a read-only medium or one
// locked by another program does; reads pass through.
class RefusingHive : public RegistryHive
{
public:
    RefusingHive(std::shared_ptr<RegistryHive> inner, int writesAllowed, int refusals = 1 << 30)
        : m_inner(std::move(inner)), m_writesAllowed(writesAllowed), m_refusals(refusals) {}

    std::optional<qint64> openKey(RootKey r, const QString &p) override { return pass(m_inner->openKey(r, p)); }
    std::optional<qint64> createKey(RootKey r, const QString &p) override
    {
        return allowed() ? pass(m_inner->createKey(r, p)) : std::nullopt;
    }
    bool deleteKey(RootKey r, const QString &p) override { return allowed() && pass(m_inner->deleteKey(r, p)); }
    std::optional<QStringList> subkeys(RootKey r, const QString &p) override { return pass(m_inner->subkeys(r, p)); }
    std::optional<QList<RegValue>> values(RootKey r, const QString &p) override { return pass(m_inner->values(r, p)); }
    std::optional<RegValue> value(RootKey r, const QString &p, const QString &n) override
    {
        return pass(m_inner->value(r, p, n));
    }
    bool setValue(RootKey r, const QString &p, const RegValue &v, bool create) override
    {
        return allowed() && pass(m_inner->setValue(r, p, v, create));
    }
    bool deleteValue(RootKey r, const QString &p, const QString &n) override
    {
        return allowed() && pass(m_inner->deleteValue(r, p, n));
    }
    std::optional<QList<Subkey>> subkeysOf(qint64 key) override { return pass(m_inner->subkeysOf(key)); }
    std::optional<QList<RegValue>> valuesOf(qint64 key) override { return pass(m_inner->valuesOf(key)); }
    Status status() const override { return m_status; }
    QString errorString() const override { return m_error; }

    int refused = 0;

private:
    bool allowed()
    {
        if (m_writesAllowed > 0 || refused >= m_refusals) {
            --m_writesAllowed;
            return true;
        }
        ++refused;
        m_status = Status::Failed;
        m_error = QStringLiteral("Die Registrierungsdatenbank kann nicht geschrieben werden: schreibgeschützt");
        return false;
    }
    template <class T>
    T pass(T result)
    {
        m_status = m_inner->status();
        m_error = m_inner->errorString();
        return result;
    }

    std::shared_ptr<RegistryHive> m_inner;
    int m_writesAllowed;
    int m_refusals;
    Status m_status = Status::Ok;
    QString m_error;
};
