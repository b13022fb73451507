// The shipped extensions of an installed Quenora reach a user's hive at the
// first start, name the libraries of the install they were started from, and
// never overwrite what the user switched.
#include "ShippedExtensions.h"

#include "SqliteHive.h"
#include "clsRegistryAccess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kEntry = QStringLiteral("HKCU\\Software\\VB and VBA Program Settings\\Quenora\\Extensions\\Bavarize");
const QString kClass = QStringLiteral("HKCR\\Bavarize.Dialect\\InprocServer32");

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// As the build writes it: for the prefix it was configured with.
QByteArray regFile(const QByteArray &libraryPath)
{
    return "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\Bavarize.Dialect\\InprocServer32]\r\n@=\"" + libraryPath
        + "\"\r\n\r\n[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Quenora\\Extensions\\Bavarize]\r\n"
          "\"Active\"=\"true\"\r\n\"ObjectName\"=\"Bavarize.Dialect\"\r\n"
          "\"DisplayName\"=\"Bavarize\"\r\n\"Description\"=\"Bairisch$CRLFvorlesen\"\r\n";
}

} // namespace

class TestShippedExtensions : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    std::shared_ptr<SqliteHive> m_hive;
    QString m_regs;
    QString m_plugins;

private slots:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        m_hive = std::make_shared<SqliteHive>(m_dir.filePath("registry.db"));
        m_regs = m_dir.filePath("share/quenora/extensions");
        m_plugins = m_dir.filePath("lib/quenora/extensions");
        QDir().mkpath(m_regs);
        QDir().mkpath(m_plugins);
        write(m_plugins + "/libbavarize.so", "not loaded here");
        write(m_regs + "/Bavarize.reg", regFile("/usr/local/lib/quenora/extensions/libbavarize.so"));
    }

    void firstStartRegistersTheLibraryOfThisInstall()
    {
        clsRegistryAccess reg(m_hive);
        QCOMPARE(ShippedExtensions(reg, m_regs, m_plugins).registerAll(), QStringList{"Bavarize"});
        QCOMPARE(reg.ReadString(kEntry, "Active"), QStringLiteral("true"));
        QCOMPARE(reg.ReadString(kEntry, "ObjectName"), QStringLiteral("Bavarize.Dialect"));
        QCOMPARE(reg.ReadString(kClass, "@"), m_plugins + "/libbavarize.so");
    }

    void laterStartsChangeNothing()
    {
        clsRegistryAccess reg(m_hive);
        ShippedExtensions shipped(reg, m_regs, m_plugins);
        shipped.registerAll();
        QCOMPARE(shipped.registerAll(), QStringList());
    }

    void theUsersSwitchSurvives()
    {
        clsRegistryAccess reg(m_hive);
        ShippedExtensions shipped(reg, m_regs, m_plugins);
        shipped.registerAll();
        reg.WriteString(kEntry, "Active", "false");
        shipped.registerAll();
        QCOMPARE(reg.ReadString(kEntry, "Active"), QStringLiteral("false"));
    }

    void anEntryRemovedLaterStaysRemoved()
    {
        clsRegistryAccess reg(m_hive);
        ShippedExtensions shipped(reg, m_regs, m_plugins);
        shipped.registerAll();
        QVERIFY(reg.KillKey(kEntry));
        QCOMPARE(shipped.registerAll(), QStringList());
        QVERIFY(!reg.KeyExists(kEntry));
    }

    void aMovedInstallIsRepaired()
    {
        clsRegistryAccess reg(m_hive);
        ShippedExtensions(reg, m_regs, m_plugins).registerAll();
        const QString moved = m_dir.filePath("moved/lib/quenora/extensions");
        QDir().mkpath(moved);
        QVERIFY(QFile::rename(m_plugins + "/libbavarize.so", moved + "/libbavarize.so"));
        QCOMPARE(ShippedExtensions(reg, m_regs, moved).registerAll(), QStringList{"Bavarize"});
        QCOMPARE(reg.ReadString(kClass, "@"), moved + "/libbavarize.so");
    }

    void aLibraryThisInstallLacksIsNotRegistered()
    {
        QFile::remove(m_plugins + "/libbavarize.so");
        clsRegistryAccess reg(m_hive);
        QCOMPARE(ShippedExtensions(reg, m_regs, m_plugins).registerAll(), QStringList());
        QVERIFY(!reg.KeyExists(kEntry));
    }

    void filesThatAreNoRegistrationAreSkipped_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no entry") << QByteArray("REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\X\\InprocServer32]\r\n@=\"/a/libbavarize.so\"\r\n");
        QTest::newRow("no library") << QByteArray(
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Quenora\\Extensions\\X]\r\n");
        QTest::newRow("binary junk") << QByteArray(4096, '\xff');
    }

    void filesThatAreNoRegistrationAreSkipped()
    {
        QFETCH(QByteArray, content);
        write(m_regs + "/Bavarize.reg", content);
        clsRegistryAccess reg(m_hive);
        QCOMPARE(ShippedExtensions(reg, m_regs, m_plugins).registerAll(), QStringList());
        QStringList keys;
        QVERIFY(reg.EnumKeys("HKCU\\Software\\VB and VBA Program Settings\\Quenora\\Extensions", keys) <= 0);
    }
};

QTEST_GUILESS_MAIN(TestShippedExtensions)
#include "tst_shippedextensions.moc"
