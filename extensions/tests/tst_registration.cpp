#include "SqliteHive.h"
#include "clsRegistryAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The installer's side of the shipped extensions: the REGEDIT4 files made at
// build time and the import step of ./run.sh, run against a fresh hive.
class tst_Registration : public QObject
{
    Q_OBJECT

    const QString kExtensions = QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Quenora\\Extensions");

    std::unique_ptr<QTemporaryDir> m_home;

    void runImport()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUENORA_HOME"), m_home->path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("bash"), {QStringLiteral(QUENORA_SOURCE_DIR "/extensions/register-extensions.sh"),
                                         QStringLiteral(QNREG_BINARY), QStringLiteral(PLUGIN_DIR)});
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    }

    std::shared_ptr<SqliteHive> hive() const
    {
        return std::make_shared<SqliteHive>(m_home->filePath(QStringLiteral("registry.db")));
    }

    QStringList regFiles() const
    {
        return QDir(QStringLiteral(PLUGIN_DIR)).entryList({QStringLiteral("*.reg")}, QDir::Files, QDir::Name);
    }

    // Every value of the Extensions key and of each extension's library
    // registration, as one text.
    QString snapshot()
    {
        clsRegistryAccess reg(hive());
        QString out;
        QStringList entries;
        reg.EnumKeys(kExtensions, entries);
        for (const QString &e : std::as_const(entries)) {
            const QString path = kExtensions + QLatin1Char('\\') + e;
            QStringList names;
            QVariantList values;
            reg.EnumValues(path, names, values);
            for (qsizetype i = 0; i < names.size(); ++i)
                out += path + QLatin1Char(' ') + names.at(i) + QLatin1Char('=') + values.at(i).toString() + QLatin1Char('\n');
            const QString id = reg.ReadString(path, QStringLiteral("ObjectName"));
            out += id + QLatin1Char('=') + reg.ReadString(QStringLiteral("HKCR\\") + id + QStringLiteral("\\InprocServer32"), QStringLiteral("@")) + QLatin1Char('\n');
        }
        return out;
    }

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
    }

    void freshHiveListsEveryShippedExtension()
    {
        QVERIFY(regFiles().contains(QStringLiteral("Bavarize.reg")));
        runImport();
        clsRegistryAccess reg(hive());
        QStringList entries;
        reg.EnumKeys(kExtensions, entries);
        QStringList expected;
        for (const QString &f : regFiles())
            expected << QFileInfo(f).completeBaseName();
        QCOMPARE(entries, expected);
        for (const QString &e : std::as_const(entries)) {
            const QString path = kExtensions + QLatin1Char('\\') + e;
            // The dialect filter changes every spoken word: it waits until
            // the user switches it on.
            QCOMPARE(reg.ReadString(path, QStringLiteral("Active")),
                     e == QLatin1String("Bavarize") ? QStringLiteral("false") : QStringLiteral("true"));
            QVERIFY(!reg.ReadString(path, QStringLiteral("DisplayName")).isEmpty());
            const QString id = reg.ReadString(path, QStringLiteral("ObjectName"));
            QVERIFY2(id.startsWith(e + QLatin1Char('.')), qPrintable(id));
            const QString library = reg.ReadString(QStringLiteral("HKCR\\") + id + QStringLiteral("\\InprocServer32"), QStringLiteral("@"));
            QVERIFY2(QFileInfo(library).isFile(), qPrintable(library));
        }
        QCOMPARE(reg.ReadString(kExtensions + QStringLiteral("\\Bavarize"), QStringLiteral("ObjectName")),
                 QStringLiteral("Bavarize.Dialect"));
        QVERIFY(reg.ReadString(kExtensions + QStringLiteral("\\Bavarize"), QStringLiteral("Description")).contains(QLatin1String("$CRLF")));
    }

    void secondImportChangesNothing()
    {
        runImport();
        const QString first = snapshot();
        runImport();
        QCOMPARE(snapshot(), first);
    }

    void usersChoiceSurvives()
    {
        runImport();
        {
            clsRegistryAccess reg(hive());
            QVERIFY(reg.WriteString(kExtensions + QStringLiteral("\\Bavarize"), QStringLiteral("Active"), QStringLiteral("true")));
        }
        runImport();
        clsRegistryAccess reg(hive());
        QCOMPARE(reg.ReadString(kExtensions + QStringLiteral("\\Bavarize"), QStringLiteral("Active")), QStringLiteral("true"));
    }

    void libraryThatMovedIsRegisteredAgain()
    {
        runImport();
        const QString key = QStringLiteral("HKCR\\Bavarize.Dialect\\InprocServer32");
        QString library;
        {
            clsRegistryAccess reg(hive());
            library = reg.ReadString(key, QStringLiteral("@"));
            QVERIFY(reg.WriteString(key, QStringLiteral("@"), QStringLiteral("/alter/Baum/libbavarize.so")));
            QVERIFY(reg.WriteString(kExtensions + QStringLiteral("\\Bavarize"), QStringLiteral("Active"), QStringLiteral("true")));
        }
        runImport();
        clsRegistryAccess reg(hive());
        QCOMPARE(reg.ReadString(key, QStringLiteral("@")), library);
        QCOMPARE(reg.ReadString(kExtensions + QStringLiteral("\\Bavarize"), QStringLiteral("Active")), QStringLiteral("true"));
    }

    // The file for the installed layout names the installed library and
    // imports as cleanly as the one of the build tree.
    void installedRegistrationFile()
    {
        const QString file = QStringLiteral(INSTALLED_REG_DIR "/Bavarize.reg");
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.startsWith("REGEDIT4\r\n"));
        QVERIFY(text.contains("@=\"" INSTALLED_PLUGIN_DIR "/libbavarize.so\"\r\n"));
        clsRegistryAccess reg(hive());
        QCOMPARE(reg.ImportFromReg(file), 1);
        QCOMPARE(reg.ReadString(QStringLiteral("HKCR\\Bavarize.Dialect\\InprocServer32"), QStringLiteral("@")),
                 QStringLiteral(INSTALLED_PLUGIN_DIR "/libbavarize.so"));
    }
};

QTEST_GUILESS_MAIN(tst_Registration)
#include "tst_registration.moc"
