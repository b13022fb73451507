#include "FileTypeRegistration.h"

#include "ScriptedDialogs.h"
#include "SqliteHive.h"
#include "clsRegistryAccess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestFileTypeRegistration : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::shared_ptr<SqliteHive> m_hive;
    ScriptedDialogs m_dialogs;

    FileTypeRegistration::Environment env()
    {
        FileTypeRegistration::Environment e;
        e.programPath = "/opt/Quenora Programm/bin/quenora";
        e.dataDir = QStringLiteral(QUENORA_SOURCE_DIR) + "/data";
        e.freedesktopDir = m_dir.filePath("share");
        e.refreshDatabases = false;
        return e;
    }
    QByteArray read(const QString &relative)
    {
        QFile f(m_dir.filePath("share/" + relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList entries()
    {
        clsRegistryAccess reg(m_hive);
        QStringList out;
        QStringList keys;
        reg.EnumKeys("HKCR", keys);
        for (const QString &k : keys)
            out << k + "=" + reg.ReadString("HKCR\\" + k, "");
        out << reg.ReadString("HKCR\\vtsfile\\shell\\open\\command", "")
            << reg.ReadString("HKCR\\vtsfile\\DefaultIcon", "");
        return out;
    }

private slots:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        m_hive = std::make_shared<SqliteHive>(m_dir.filePath("registry.db"));
        m_dialogs = ScriptedDialogs();
    }

    void spellingsOfTheExtensionGiveTheSameEntries_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::newRow(".vts") << ".vts";
        QTest::newRow("VTS") << "VTS";
        QTest::newRow("vts") << "vts";
        QTest::newRow(".VtS") << ".VtS";
    }
    void spellingsOfTheExtensionGiveTheSameEntries()
    {
        QFETCH(QString, extension);
        clsRegistryAccess reg(m_hive);
        FileTypeRegistration(reg, m_dialogs, env()).RegisterFileType(extension);
        const QStringList expected{
            ".vts=vtsfile",
            "vtsfile=",
            "\"/opt/Quenora Programm/bin/quenora\" \"%1\"",
            QStringLiteral(QUENORA_SOURCE_DIR) + "/data/vts.ico",
        };
        QCOMPARE(entries(), expected);
        QStringList keys;
        QCOMPARE(reg.EnumKeys("HKCR\\vtsfile", keys), 2);
        QCOMPARE(keys, (QStringList{"DefaultIcon", "shell"}));
        QVERIFY(m_dialogs.messages.isEmpty());
    }

    void registeringTwiceChangesNothing()
    {
        clsRegistryAccess reg(m_hive);
        FileTypeRegistration registration(reg, m_dialogs, env());
        registration.RegisterFileType(".vts");
        QVERIFY(registration.desktopFilesChanged());
        const QStringList first = entries();
        const QByteArray desktop = read("applications/quenora-vtsfile.desktop");
        registration.RegisterFileType(".vts");
        QCOMPARE(entries(), first);
        QCOMPARE(read("applications/quenora-vtsfile.desktop"), desktop);
        QVERIFY(!registration.desktopFilesChanged());
    }

    void movedProgramIsRepaired()
    {
        clsRegistryAccess reg(m_hive);
        FileTypeRegistration(reg, m_dialogs, env()).RegisterFileType(".vts");
        auto moved = env();
        moved.programPath = "/usr/bin/quenora";
        FileTypeRegistration again(reg, m_dialogs, moved);
        again.RegisterFileType(".vts");
        QVERIFY(again.desktopFilesChanged());
        QCOMPARE(reg.ReadString("HKCR\\vtsfile\\shell\\open\\command", ""), QStringLiteral("\"/usr/bin/quenora\" \"%1\""));
        QVERIFY(read("applications/quenora-vtsfile.desktop").contains("Exec=\"/usr/bin/quenora\" %f\n"));
    }

    void emptyExtensionIsRefused()
    {
        clsRegistryAccess reg(m_hive);
        FileTypeRegistration(reg, m_dialogs, env()).RegisterFileType(QString());
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages[0].text, QStringLiteral("Dateiendung benötigt."));
        QCOMPARE(m_dialogs.messages[0].icon, Dialogs::Icon::Critical);
        QCOMPARE(m_dialogs.messages[0].buttons, Dialogs::Buttons::Ok);
        QStringList keys;
        QCOMPARE(reg.EnumKeys("HKCR", keys), 0);
        QVERIFY(!QDir(m_dir.filePath("share")).exists());
    }

    void desktopFilesForTheExtension()
    {
        clsRegistryAccess reg(m_hive);
        FileTypeRegistration(reg, m_dialogs, env()).RegisterFileType(".vts");
        const QByteArray mime = read("mime/packages/quenora-vtsfile.xml");
        QVERIFY(mime.contains("<mime-type type=\"text/x-quenora-vtsfile\">"));
        QVERIFY(mime.contains("<glob pattern=\"*.vts\"/>"));
        QVERIFY(mime.contains("<icon name=\"text-x-quenora-vtsfile\"/>"));
        const QByteArray desktop = read("applications/quenora-vtsfile.desktop");
        QVERIFY(desktop.startsWith("[Desktop Entry]\n"));
        QVERIFY(desktop.contains("Exec=\"/opt/Quenora Programm/bin/quenora\" %f\n"));
        QVERIFY(desktop.contains("MimeType=text/x-quenora-vtsfile;\n"));
        QVERIFY(desktop.contains("Icon=text-x-quenora-vtsfile\n"));
        QVERIFY(!read("icons/hicolor/48x48/mimetypes/text-x-quenora-vtsfile.png").isEmpty());
        QVERIFY(!read("icons/hicolor/scalable/mimetypes/text-x-quenora-vtsfile.svg").isEmpty());
    }

    // An installed Quenora whose entry the desktop already reads from the
    // system folders writes no per-user desktop files (they would shadow the
    // system's); the hive entries are written all the same.
    void systemWideInstallWritesNoUserDesktopFiles()
    {
        clsRegistryAccess reg(m_hive);
        auto installed = env();
        installed.systemWideRegistration = true;
        FileTypeRegistration(reg, m_dialogs, installed).RegisterFileType(".vts");
        QVERIFY(!QDir(m_dir.filePath("share")).exists());
        QCOMPARE(reg.ReadString("HKCR\\vtsfile\\shell\\open\\command", ""),
                 QStringLiteral("\"/opt/Quenora Programm/bin/quenora\" \"%1\""));
    }

    void systemWideRegistrationIsRecognised_data()
    {
        QTest::addColumn<bool>("entry");      // share/applications has Quenora's entry
        QTest::addColumn<bool>("mimeType");   // share/mime/packages has the .vts type
        QTest::addColumn<bool>("readByDesktop"); // share is among the data folders
        QTest::addColumn<bool>("onPath");     // "quenora" on the path is this program
        QTest::addColumn<bool>("expected");
        QTest::newRow("installed and found") << true << true << true << true << true;
        QTest::newRow("build tree: no entry") << false << false << true << true << false;
        QTest::newRow("no MIME type") << true << false << true << true << false;
        QTest::newRow("prefix the desktop does not read") << true << true << false << true << false;
        QTest::newRow("another quenora on the path") << true << true << true << false << false;
    }

    void systemWideRegistrationIsRecognised()
    {
        QFETCH(bool, entry);
        QFETCH(bool, mimeType);
        QFETCH(bool, readByDesktop);
        QFETCH(bool, onPath);
        QFETCH(bool, expected);
        const QString prefix = m_dir.filePath("prefix");
        QDir().mkpath(prefix + "/bin");
        QDir().mkpath(prefix + "/share/applications");
        QDir().mkpath(prefix + "/share/mime/packages");
        const QString program = prefix + "/bin/quenora";
        QFile(program).open(QIODevice::WriteOnly);
        if (entry)
            QFile(prefix + "/share/applications/io.github.quenora.Quenora.desktop").open(QIODevice::WriteOnly);
        if (mimeType)
            QFile(prefix + "/share/mime/packages/quenora-vts.xml").open(QIODevice::WriteOnly);
        QString other = m_dir.filePath("other-quenora");
        QFile(other).open(QIODevice::WriteOnly);
        const QStringList dataDirs{m_dir.filePath("home-share"),
                                   readByDesktop ? prefix + "/share/" : m_dir.filePath("elsewhere")};
        QCOMPARE(FileTypeRegistration::systemWideRegistrationFor(program, dataDirs, onPath ? program : other),
                 expected);
    }

    // A program path is outside input: a line break in it must not become
    // a line of the entry (a second Exec= would run something else).
    void controlCharactersCannotAddLines_data()
    {
        QTest::addColumn<QString>("programPath");
        QTest::addColumn<QByteArray>("execLine"); // empty: no entry is written
        QTest::newRow("line feed") << "/opt/q\nExec=/bin/evil" << QByteArray("Exec=\"/opt/q\\nExec=/bin/evil\" %f");
        QTest::newRow("carriage return and tab") << "/opt/a\rb\tc" << QByteArray("Exec=\"/opt/a\\rb\\tc\" %f");
        QTest::newRow("other control character") << "/opt/a\x01b" << QByteArray();
    }
    void controlCharactersCannotAddLines()
    {
        QFETCH(QString, programPath);
        QFETCH(QByteArray, execLine);
        clsRegistryAccess reg(m_hive);
        QDir(m_dir.filePath("share")).removeRecursively();
        FileTypeRegistration::Environment e = env();
        e.programPath = programPath;
        FileTypeRegistration(reg, m_dialogs, e).RegisterFileType(".vts");
        const QString entry = m_dir.filePath("share/applications/quenora-vtsfile.desktop");
        if (execLine.isEmpty()) {
            QVERIFY(!QFile::exists(entry));
            return;
        }
        const QList<QByteArray> lines = read("applications/quenora-vtsfile.desktop").split('\n');
        QCOMPARE(lines.count(execLine), 1);
        int execLines = 0;
        for (const QByteArray &line : lines)
            execLines += line.startsWith("Exec") ? 1 : 0;
        QCOMPARE(execLines, 1);
    }

    void execQuoting_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("plain") << "/usr/bin/quenora" << "\"/usr/bin/quenora\"";
        QTest::newRow("blank") << "/opt/a b/quenora" << "\"/opt/a b/quenora\"";
        QTest::newRow("dollar and quote") << "/opt/$x\"y" << "\"/opt/\\\\$x\\\\\"y\"";
        QTest::newRow("backslash") << "/opt/a\\b" << "\"/opt/a\\\\\\\\b\"";
        QTest::newRow("percent") << "/opt/100%/q" << "\"/opt/100%%/q\"";
    }
    void execQuoting()
    {
        QFETCH(QString, argument);
        QFETCH(QString, quoted);
        QCOMPARE(FileTypeRegistration::desktopExecQuote(argument), quoted);
    }

    void unwritableHiveStartsNormally()
    {
        QFile blocker(m_dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        clsRegistryAccess reg(std::make_shared<SqliteHive>(m_dir.filePath("blocker/registry.db")));
        FileTypeRegistration(reg, m_dialogs, env()).RegisterFileType(".vts");
        QVERIFY(m_dialogs.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFileTypeRegistration)
#include "tst_filetyperegistration.moc"
