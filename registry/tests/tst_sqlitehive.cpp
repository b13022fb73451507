#include "SqliteHive.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <csignal>

#include <sys/stat.h>

class TestSqliteHive : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    int m_n = 0;
    QString newHive() { return m_dir.filePath(QStringLiteral("h%1.db").arg(++m_n)); }

private slots:
    void namesCaseInsensitiveCasePreserving()
    {
        SqliteHive hive(newHive());
        QVERIFY(hive.createKey(RootKey::CurrentUser, "Software\\MixedCase"));
        QVERIFY(hive.openKey(RootKey::CurrentUser, "SOFTWARE\\mixedcase"));
        QCOMPARE(*hive.subkeys(RootKey::CurrentUser, "software"), QStringList{"MixedCase"});
        QVERIFY(hive.setValue(RootKey::CurrentUser, "Software", RegValue{"ÄrgerWert", RegType::String, "1"}, false));
        const auto v = hive.value(RootKey::CurrentUser, "SOFTWARE", "ärgerwert");
        QVERIFY(v);
        QCOMPARE(v->name, QStringLiteral("ÄrgerWert"));
        // Creating again under another spelling finds the same key.
        QCOMPARE(hive.createKey(RootKey::CurrentUser, "software\\MIXEDCASE"),
                 hive.openKey(RootKey::CurrentUser, "Software\\MixedCase"));
    }

    void rootsOfTheHive_data()
    {
        QTest::addColumn<int>("root");
        QTest::addColumn<bool>("present");
        QTest::newRow("HKCR") << int(RootKey::ClassesRoot) << true;
        QTest::newRow("HKCU") << int(RootKey::CurrentUser) << true;
        QTest::newRow("HKLM") << int(RootKey::LocalMachine) << true;
        QTest::newRow("HKUS") << int(RootKey::Users) << true;
        QTest::newRow("HKCC") << int(RootKey::CurrentConfig) << true;
        QTest::newRow("HKPD") << int(RootKey::PerformanceData) << false;
        QTest::newRow("HKDD") << int(RootKey::DynData) << false;
    }
    void rootsOfTheHive()
    {
        QFETCH(int, root);
        QFETCH(bool, present);
        SqliteHive hive(newHive());
        const auto r = RootKey(root);
        QCOMPARE(hive.openKey(r, QString()).has_value(), present);
        QCOMPARE(hive.setValue(r, "K", RegValue{"v", RegType::String, "x"}, true), present);
        QCOMPARE(hive.status(), present ? RegistryHive::Status::Ok : RegistryHive::Status::NotFound);
    }

    void statusTellsWhy()
    {
        SqliteHive hive(newHive());
        QVERIFY(!hive.value(RootKey::CurrentUser, "Nope", "v"));
        QCOMPARE(hive.status(), RegistryHive::Status::NotFound);
        QVERIFY(hive.createKey(RootKey::CurrentUser, "A\\B"));
        QVERIFY(!hive.deleteKey(RootKey::CurrentUser, "A"));
        QCOMPARE(hive.status(), RegistryHive::Status::HasSubkeys);
        QVERIFY(hive.errorString().size() > 0);
        QVERIFY(hive.deleteKey(RootKey::CurrentUser, "A\\B"));
        QCOMPARE(hive.status(), RegistryHive::Status::Ok);
    }

    void twoProcessesWriteAtOnce()
    {
        const QString file = newHive();
        QProcess a;
        QProcess b;
        a.start(QStringLiteral(HIVE_WRITER), {file, "Software\\Shared", "a", "1000"});
        b.start(QStringLiteral(HIVE_WRITER), {file, "Software\\Shared", "b", "1000"});
        QVERIFY(a.waitForFinished(120000));
        QVERIFY(b.waitForFinished(120000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        SqliteHive hive(file);
        const auto values = hive.values(RootKey::CurrentUser, "Software\\Shared");
        QVERIFY(values);
        QCOMPARE(values->size(), 2000);
        for (int i = 0; i < 1000; ++i) {
            QCOMPARE(hive.value(RootKey::CurrentUser, "Software\\Shared", "a" + QString::number(i))->data,
                     QByteArray::number(i));
            QCOMPARE(hive.value(RootKey::CurrentUser, "Software\\Shared", "b" + QString::number(i))->data,
                     QByteArray::number(i));
        }
    }

    void writerKilledMidRunLosesNothingCommitted()
    {
        const QString file = newHive();
        QProcess writer;
        writer.start(QStringLiteral(HIVE_WRITER), {file, "Software\\Crash", "v", "100000000"});
        QVERIFY(writer.waitForStarted());
        long lastCommitted = -1;
        QByteArray pending;
        while (lastCommitted < 300) {
            QVERIFY(writer.waitForReadyRead(30000));
            pending += writer.readAllStandardOutput();
            const qsizetype nl = pending.lastIndexOf('\n');
            if (nl >= 0) {
                const QList<QByteArray> lines = pending.left(nl).split('\n');
                lastCommitted = lines.last().toLong();
                pending = pending.mid(nl + 1);
            }
        }
        ::kill(pid_t(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished(10000));
        pending += writer.readAllStandardOutput();
        for (const QByteArray &line : pending.split('\n')) {
            if (!line.isEmpty())
                lastCommitted = line.toLong();
        }

        SqliteHive hive(file);
        QVERIFY(hive.isOpen());
        const auto values = hive.values(RootKey::CurrentUser, "Software\\Crash");
        QVERIFY(values);
        QVERIFY(values->size() >= lastCommitted + 1);
        for (long i = 0; i <= lastCommitted; ++i)
            QVERIFY2(hive.value(RootKey::CurrentUser, "Software\\Crash", "v" + QString::number(i)),
                     qPrintable(QString::number(i)));
        // And the hive takes new writes.
        QVERIFY(hive.setValue(RootKey::CurrentUser, "Software\\Crash", RegValue{"after", RegType::String, "1"}, false));
    }

    void lockedLongerThanTimeoutFails()
    {
        const QString file = newHive();
        SqliteHive hive(file, 200);
        QVERIFY(hive.setValue(RootKey::CurrentUser, "K", RegValue{"before", RegType::String, "1"}, true));

        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(file).constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

        QVERIFY(!hive.setValue(RootKey::CurrentUser, "K", RegValue{"during", RegType::String, "1"}, true));
        QCOMPARE(hive.status(), RegistryHive::Status::Failed);
        QVERIFY2(hive.errorString().contains("gesperrt"), qPrintable(hive.errorString()));

        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QVERIFY(hive.setValue(RootKey::CurrentUser, "K", RegValue{"after", RegType::String, "1"}, true));
        QVERIFY(hive.value(RootKey::CurrentUser, "K", "before"));
        QVERIFY(!hive.value(RootKey::CurrentUser, "K", "during"));
    }

    void corruptFileFailsEveryCall_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text") << QByteArray(8192, 'x');
        QTest::newRow("damaged header")
            << QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\xff');
    }
    void corruptFileFailsEveryCall()
    {
        QFETCH(QByteArray, content);
        const QString file = newHive();
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        SqliteHive hive(file);
        QVERIFY(!hive.openKey(RootKey::CurrentUser, QString()));
        QCOMPARE(hive.status(), RegistryHive::Status::Failed);
        QVERIFY(!hive.setValue(RootKey::CurrentUser, "K", RegValue{"v", RegType::String, "1"}, true));
        QVERIFY(!hive.subkeys(RootKey::CurrentUser, QString()));
        QVERIFY2(hive.errorString().contains(file), qPrintable(hive.errorString()));
        // The file is left as it was: nobody's data is overwritten.
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), content);
    }

    void unwritableLocationFails()
    {
        // A folder that cannot be created, because a file stands in its way.
        const QString blocker = m_dir.filePath("blocker");
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        SqliteHive hive(blocker + "/sub/registry.db");
        QVERIFY(!hive.isOpen());
        QVERIFY(!hive.setValue(RootKey::CurrentUser, "K", RegValue{"v", RegType::String, "1"}, true));
        QCOMPARE(hive.status(), RegistryHive::Status::Failed);
        QVERIFY(!hive.errorString().isEmpty());
    }

    // The hive holds what the user typed and what extensions store: it is
    // the user's alone, and SQLite's side files take its mode, also when a
    // reader of a read-only hive left them behind read-only.
    void hiveIsPrivateAndSideFilesFollowIt()
    {
        const QString file = newHive();
        const QByteArray shm = QFile::encodeName(file + "-shm");
        {
            SqliteHive hive(file);
            QVERIFY(hive.setValue(RootKey::CurrentUser, "K", RegValue{"v", RegType::String, "1"}, true));
            struct stat st {};
            QCOMPARE(::stat(QFile::encodeName(file).constData(), &st), 0);
            QCOMPARE(st.st_mode & 0777, mode_t(0600));
            QCOMPARE(::stat(shm.constData(), &st), 0);
            QCOMPARE(st.st_mode & 0777, mode_t(0600));
        }
        // What a read-only episode leaves behind.
        QFile leftover(file + "-shm");
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();
        QCOMPARE(::chmod(shm.constData(), 0444), 0);
        SqliteHive hive(file);
        QVERIFY(hive.setValue(RootKey::CurrentUser, "K", RegValue{"v", RegType::String, "2"}, true));
        struct stat st {};
        QCOMPARE(::stat(shm.constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0600));
    }
};

QTEST_GUILESS_MAIN(TestSqliteHive)
#include "tst_sqlitehive.moc"
