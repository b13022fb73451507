#include "SettingsStore.h"

#include "SqliteHive.h"
#include "clsRegistryAccess.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// What a never-written key reads as, for each reader.
const struct {
    const char *tag;
    SettingKeys::Key key;
    const char *expected;
} kDefaults[] = {
    {"Prefix", SettingKeys::Prefix, ""},
    {"VTSAllow", SettingKeys::VTSAllow, "1"},
    {"ReadClipboardOnChange", SettingKeys::ReadClipboardOnChange, "0"},
    {"ShowWB", SettingKeys::ShowWB, "1"},
    {"ShowLastDoc", SettingKeys::ShowLastDoc, "0"},
    {"ShowPauseMsg", SettingKeys::ShowPauseMsg, "yes"},
    {"Survey", SettingKeys::Survey, "true"},
    {"Voice", SettingKeys::Voice, "1"},
    {"Speed when speaking", SettingKeys::SpeedWhenSpeaking, "25"},
    {"Speed in dialog", SettingKeys::SpeedInDialog, "60"},
    {"Pitch when speaking", SettingKeys::PitchWhenSpeaking, "50"},
    {"Pitch in dialog", SettingKeys::PitchInDialog, "60"},
    {"Volume", SettingKeys::Volume, "100"},
    {"LaunchMailProgram", SettingKeys::LaunchMailProgram, ""},
    {"Outlook in question", SettingKeys::OutlookInQuestion, "0"},
    {"Outlook when sending", SettingKeys::OutlookWhenSending, "1"},
};

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::shared_ptr<SqliteHive> m_hive;

private slots:
    // A hive that cannot be written is told once, not at every setting
    // and not never.
    void failedWritesAreToldOnce()
    {
        const QString blocker = m_dir.filePath("blocker");
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        SettingsStore store(std::make_shared<SqliteHive>(blocker + "/registry.db"));
        QStringList told;
        store.setWriteFailureNotice([&](const QString &message) { told << message; });
        QVERIFY(!store.write(SettingKeys::LastDoc, "a"));
        QVERIFY(!store.write(SettingKeys::Survey, "false"));
        QVERIFY(!store.write(SettingKeys::Voice, "3"));
        QCOMPARE(told.size(), 1);
        QVERIFY2(told.first().contains(QStringLiteral("nicht gespeichert")), qPrintable(told.first()));
        QVERIFY2(told.first().contains(QStringLiteral("Registrierungsdatenbank")), qPrintable(told.first()));

        // A working hive tells nothing.
        SettingsStore working(m_hive);
        working.setWriteFailureNotice([&](const QString &message) { told << message; });
        QVERIFY(working.write(SettingKeys::LastDoc, "b"));
        QCOMPARE(told.size(), 1);
    }

    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath("registry.db"));
        m_hive = std::make_shared<SqliteHive>(m_dir.filePath("registry.db"));
        QVERIFY(m_hive->isOpen());
    }

    void namesMeetWhateverTheirCase_data()
    {
        QTest::addColumn<QString>("writeSection");
        QTest::addColumn<QString>("writeKey");
        QTest::addColumn<QString>("readSection");
        QTest::addColumn<QString>("readKey");
        QTest::newRow("Prefix/prefix") << "Settings" << "Prefix" << "settings" << "prefix";
        QTest::newRow("upper case read") << "Voice" << "Speed" << "VOICE" << "SPEED";
        QTest::newRow("section with blank") << "Extension Settings" << "Outlook" << "extension settings" << "OUTLOOK";
        QTest::newRow("umlaut key") << "Settings" << "Größe" << "SETTINGS" << "GRÖSSE";
    }
    void namesMeetWhateverTheirCase()
    {
        QFETCH(QString, writeSection);
        QFETCH(QString, writeKey);
        QFETCH(QString, readSection);
        QFETCH(QString, readKey);
        SettingsStore store(m_hive);
        QVERIFY(store.write("Quenora", writeSection, writeKey, "Guten Tag"));
        const QString got = store.read("Quenora", readSection, readKey, "default");
        if (QTest::currentDataTag() == QByteArray("umlaut key")) {
            // "ß" has no single upper-case letter, so "GRÖSSE" is another name.
            QCOMPARE(got, QStringLiteral("default"));
            QCOMPARE(store.read("Quenora", readSection, QStringLiteral(u"GRÖßE"), "default"), QStringLiteral("Guten Tag"));
        } else {
            QCOMPARE(got, QStringLiteral("Guten Tag"));
        }
    }

    void eachReaderGetsItsOwnDefault_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kDefaults)); ++i)
            QTest::newRow(kDefaults[i].tag) << i;
    }
    void eachReaderGetsItsOwnDefault()
    {
        QFETCH(int, row);
        SettingsStore store(m_hive);
        QCOMPARE(store.read(kDefaults[row].key), QString::fromLatin1(kDefaults[row].expected));
    }

    void flagIsOnOnlyForExactlyOne_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("on");
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("true") << "true" << false;
        QTest::newRow("blank around 1") << " 1" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("never written, default 1") << "<none>" << true;
    }
    void flagIsOnOnlyForExactlyOne()
    {
        QFETCH(QString, stored);
        QFETCH(bool, on);
        SettingsStore store(m_hive);
        if (stored != QLatin1String("<none>"))
            QVERIFY(store.write(SettingKeys::ShowWB, stored));
        QCOMPARE(store.flag(SettingKeys::ShowWB), on);
    }

    void twoReadersOfOneValueShareIt()
    {
        SettingsStore store(m_hive);
        QVERIFY(store.write(SettingKeys::SpeedInDialog, "70"));
        QCOMPARE(store.read(SettingKeys::SpeedWhenSpeaking), QStringLiteral("70"));
    }

    void storedWhereOtherProgramsLookForIt()
    {
        SettingsStore store(m_hive);
        QVERIFY(store.write(SettingKeys::Prefix, "Achtung"));
        clsRegistryAccess reg(m_hive);
        QCOMPARE(reg.ReadString("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Quenora\\Settings",
                                "Prefix"),
                 QStringLiteral("Achtung"));
        QVERIFY(reg.WriteString("HKCU\\Software\\VB and VBA Program Settings\\Quenora\\Voice", "Volume", "80"));
        QCOMPARE(store.read(SettingKeys::Volume), QStringLiteral("80"));
    }

    void valuesKeepEveryCharacter()
    {
        // No buffer limit and no trimming: the text comes back as written.
        SettingsStore store(m_hive);
        const QString text = QStringLiteral(u"  Grüße, „Zitat“ = 100 € ") + QString(400, QLatin1Char('x'));
        QVERIFY(store.write(SettingKeys::Suffix, text));
        QCOMPARE(store.read(SettingKeys::Suffix), text);
        QVERIFY(store.write(SettingKeys::Suffix, QString()));
        QCOMPARE(store.read(SettingKeys::Suffix), QString());
    }

    void anotherConnectionSeesWritesAtOnce()
    {
        // Nothing is cached: what one program writes, the next read anywhere sees.
        SettingsStore writer(m_hive);
        SettingsStore reader(std::make_shared<SqliteHive>(m_dir.filePath("registry.db")));
        QCOMPARE(reader.read(SettingKeys::LastDoc), QString());
        QVERIFY(writer.write(SettingKeys::LastDoc, "/home/anna/brief.rtf"));
        QCOMPARE(reader.read(SettingKeys::LastDoc), QStringLiteral("/home/anna/brief.rtf"));
    }

    void brokenHiveGivesDefaults()
    {
        const QString file = m_dir.filePath("garbage.db");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        f.close();
        SettingsStore store(std::make_shared<SqliteHive>(file));
        QCOMPARE(store.read(SettingKeys::ShowWB), QStringLiteral("1"));
        QVERIFY(!store.write(SettingKeys::ShowWB, "0"));
    }

    void userHiveFollowsQuenoraHome()
    {
        qputenv("QUENORA_HOME", m_dir.filePath("home").toUtf8());
        SettingsStore store;
        QVERIFY(store.write(SettingKeys::Survey, "false"));
        QVERIFY(QFile::exists(m_dir.filePath("home/registry.db")));
        QCOMPARE(SettingsStore().read(SettingKeys::Survey), QStringLiteral("false"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
