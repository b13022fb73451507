#include "Paths.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestPaths : public QObject
{
    Q_OBJECT
private slots:
    void everythingWritableBelowHome()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        qputenv("QUENORA_HOME", tmp.path().toUtf8());
        const QString home = QDir::cleanPath(tmp.path());
        QCOMPARE(Paths::home(), home);
        QCOMPARE(Paths::userDataDir(), home);
        QCOMPARE(Paths::scriptsDir(), home + "/scripts");
        QCOMPARE(Paths::tempDir(), home + "/temp");
        QCOMPARE(Paths::errorPageFile(), home + "/hypertext/err2.html");
        QCOMPARE(Paths::registryFile(), home + "/registry.db");
        QCOMPARE(Paths::freedesktopDataDir(), home + "/share");
        QCOMPARE(Paths::runtimeDir(), home);
    }

    void xdgFoldersWithoutHome()
    {
        QTemporaryDir tmp;
        qunsetenv("QUENORA_HOME");
        qputenv("XDG_DATA_HOME", (tmp.path() + "/data").toUtf8());
        qputenv("XDG_CONFIG_HOME", (tmp.path() + "/config").toUtf8());
        qputenv("XDG_CACHE_HOME", (tmp.path() + "/cache").toUtf8());
        QCOMPARE(Paths::scriptsDir(), tmp.path() + "/data/quenora/scripts");
        QCOMPARE(Paths::registryFile(), tmp.path() + "/config/quenora/registry.db");
        QCOMPARE(Paths::tempDir(), tmp.path() + "/cache/quenora/temp");
        QCOMPARE(Paths::freedesktopDataDir(), tmp.path() + "/data");
    }

    void dataDirOverride()
    {
        qputenv("QUENORA_DATA_DIR", "/opt/q/data/");
        QCOMPARE(Paths::dataDir(), QStringLiteral("/opt/q/data"));
        qunsetenv("QUENORA_DATA_DIR");
        QCOMPARE(Paths::dataDir(), Paths::executableDir());
    }

    void ensureDirCreatesParents()
    {
        QTemporaryDir tmp;
        QVERIFY(Paths::ensureDir(tmp.path() + "/a/b/c"));
        QVERIFY(QDir(tmp.path() + "/a/b/c").exists());
        // Recordings and scripts are the user's own: every new folder is private.
        for (const char *folder : {"/a", "/a/b", "/a/b/c"})
            QCOMPARE(QFile::permissions(tmp.path() + folder) & 0x0077, QFileDevice::Permissions());
        QVERIFY(!Paths::ensureDir(QString()));
    }
};

QTEST_MAIN(TestPaths)
#include "tst_paths.moc"
