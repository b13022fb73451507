#include "clsRegistryAccess.h"
#include "SqliteHive.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Forwards to a real hive and counts the key names it is asked to look up
// from a root: an export must not look the whole path up again per key.
class CountingHive : public RegistryHive
{
public:
    explicit CountingHive(std::shared_ptr<RegistryHive> inner) : m_inner(std::move(inner)) {}
    qint64 namesLookedUp = 0;

    std::optional<qint64> openKey(RootKey root, const QString &path) override
    {
        return m_inner->openKey(root, count(path));
    }
    std::optional<qint64> createKey(RootKey root, const QString &path) override
    {
        return m_inner->createKey(root, count(path));
    }
    bool deleteKey(RootKey root, const QString &path) override { return m_inner->deleteKey(root, count(path)); }
    std::optional<QStringList> subkeys(RootKey root, const QString &path) override
    {
        return m_inner->subkeys(root, count(path));
    }
    std::optional<QList<RegValue>> values(RootKey root, const QString &path) override
    {
        return m_inner->values(root, count(path));
    }
    std::optional<RegValue> value(RootKey root, const QString &path, const QString &name) override
    {
        return m_inner->value(root, count(path), name);
    }
    bool setValue(RootKey root, const QString &path, const RegValue &value, bool createMissingKey) override
    {
        return m_inner->setValue(root, count(path), value, createMissingKey);
    }
    bool deleteValue(RootKey root, const QString &path, const QString &name) override
    {
        return m_inner->deleteValue(root, count(path), name);
    }
    std::optional<QList<Subkey>> subkeysOf(qint64 key) override { return m_inner->subkeysOf(key); }
    std::optional<QList<RegValue>> valuesOf(qint64 key) override { return m_inner->valuesOf(key); }
    Status status() const override { return m_inner->status(); }
    QString errorString() const override { return m_inner->errorString(); }

private:
    const QString &count(const QString &path)
    {
        namesLookedUp += path.count(QLatin1Char('\\')) + 1;
        return path;
    }
    std::shared_ptr<RegistryHive> m_inner;
};

} // namespace

class TestRegistryAccess : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::shared_ptr<SqliteHive> m_hive;
    int m_fileNo = 0;

    clsRegistryAccess reg() { return clsRegistryAccess(m_hive); }
    QString newFile() { return m_dir.filePath(QStringLiteral("f%1.reg").arg(++m_fileNo)); }
    QString regFile(const QByteArray &body)
    {
        const QString file = newFile();
        writeFile(file, body);
        return file;
    }

private slots:
    void init()
    {
        QFile::remove(m_dir.filePath("registry.db"));
        QFile::remove(m_dir.filePath("registry.db-wal"));
        QFile::remove(m_dir.filePath("registry.db-shm"));
        m_hive = std::make_shared<SqliteHive>(m_dir.filePath("registry.db"));
        QVERIFY(m_hive->isOpen());
    }

    void pathSpellingsAddressOneKey_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("read");
        QTest::newRow("long and lower short") << "HKEY_CURRENT_USER\\Software\\Quenora" << "hkcu\\Software\\Quenora";
        QTest::newRow("long name in any case") << "hkey_local_machine\\Software\\X" << "HKLM\\software\\x";
        QTest::newRow("users root is HKUS") << "HKEY_USERS\\.DEFAULT\\A" << "hkus\\.default\\a";
        QTest::newRow("classes root") << "HKCR\\.vts" << "HKEY_CLASSES_ROOT\\.VTS";
        QTest::newRow("current config") << "HKCC\\System" << "HKEY_CURRENT_CONFIG\\system";
        QTest::newRow("umlaut key names") << "HKCU\\Software\\Größe" << "HKCU\\SOFTWARE\\GRÖßE";
    }
    void pathSpellingsAddressOneKey()
    {
        QFETCH(QString, written);
        QFETCH(QString, read);
        auto r = reg();
        QVERIFY(r.WriteString(written, "Name", "Wert"));
        QCOMPARE(r.ReadString(read, "NAME"), QStringLiteral("Wert"));
        QVERIFY(r.KeyExists(read));
    }

    void pathWithoutBackslashIsTheRoot()
    {
        auto r = reg();
        QVERIFY(r.KeyExists("HKCU"));
        QVERIFY(r.KeyExists("hkey_current_user"));
        QVERIFY(r.WriteString("HKCU", "AtRoot", "1"));
        QCOMPARE(r.ReadString("HKEY_CURRENT_USER", "AtRoot"), QStringLiteral("1"));
        QCOMPARE(r.ReadString("HKEY_CURRENT_USER\\", "atroot"), QStringLiteral("1"));
    }

    void rootNameInsideSubkeyIsKept()
    {
        // Only the leading root name is a root name; a subkey may contain one.
        auto r = reg();
        QVERIFY(r.WriteString("HKCU\\Backup of HKEY_CURRENT_USER", "v", "1"));
        QStringList keys;
        QCOMPARE(r.EnumKeys("HKCU", keys), 1);
        QCOMPARE(keys, QStringList{"Backup of HKEY_CURRENT_USER"});
    }

    void rootsThatDoNotExist_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("performance data") << "HKEY_PERFORMANCE_DATA\\X";
        QTest::newRow("dyn data short") << "HKDD\\X";
        QTest::newRow("unknown root") << "HKXX\\Software";
        QTest::newRow("no root at all") << "Software\\Quenora";
        QTest::newRow("empty") << "";
    }
    void rootsThatDoNotExist()
    {
        QFETCH(QString, path);
        auto r = reg();
        QCOMPARE(r.WriteString(path, "a", "b"), 0);
        QCOMPARE(r.CreateKey(path), 0);
        QVERIFY(!r.KeyExists(path));
        QCOMPARE(r.ReadString(path, "a", "dflt"), QStringLiteral("dflt"));
        QStringList keys{"untouched"};
        QCOMPARE(r.EnumKeys(path, keys), -1);
        QCOMPARE(keys, QStringList{"untouched"});
    }

    void readStringResults_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "Hallo" << "Hallo";
        QTest::newRow("blanks trimmed") << "  Hallo Welt  " << "Hallo Welt";
        QTest::newRow("last character kept") << "abc" << "abc";
        QTest::newRow("single character") << "x" << "x";
        QTest::newRow("exactly 255 bytes") << QString(255, 'a') << QString(255, 'a');
        QTest::newRow("256 bytes: default") << QString(256, 'a') << "DEFAULT";
        QTest::newRow("umlauts count as bytes") << QString(128, QChar(0xE4)) << "DEFAULT";
        QTest::newRow("empty") << "" << "";
    }
    void readStringResults()
    {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        auto r = reg();
        QVERIFY(r.WriteString("HKCU\\T", "v", stored));
        QCOMPARE(r.ReadString("HKCU\\T", "v", "DEFAULT"), expected);
    }

    void missingThingsGiveDefaults()
    {
        auto r = reg();
        QCOMPARE(r.ReadString("HKCU\\Nope", "v", "d"), QStringLiteral("d"));
        QCOMPARE(r.ReadString("HKCU\\Nope", "v"), QString());
        QCOMPARE(r.ReadDWORD("HKCU\\Nope", "v", 7), 7);
        QCOMPARE(r.ReadDWORD("HKCU\\Nope", "v"), 0);
        QCOMPARE(r.ReadBinary("HKCU\\Nope", "v", "AB"), QStringLiteral("AB"));
        QVERIFY(!r.ValueExists("HKCU\\Nope", "v"));
        QVERIFY(r.lastError().isEmpty());
        // A value of another type is not a string or a number.
        QVERIFY(r.WriteDWORD("HKCU\\T", "n", 5));
        QCOMPARE(r.ReadString("HKCU\\T", "n", "d"), QStringLiteral("d"));
        QVERIFY(r.WriteString("HKCU\\T", "s", "5"));
        QCOMPARE(r.ReadDWORD("HKCU\\T", "s", -3), -3);
    }

    void atIsTheDefaultValue()
    {
        auto r = reg();
        QVERIFY(r.WriteString("HKCR\\Quenora.Script", "@", "Quenora-Skript"));
        QCOMPARE(r.ReadString("HKCR\\Quenora.Script", ""), QStringLiteral("Quenora-Skript"));
        QStringList names;
        QVariantList values;
        QCOMPARE(r.EnumValues("HKCR\\Quenora.Script", names, values), 1);
        QCOMPARE(names, QStringList{QString()});
    }

    void dwordAndBinaryValues()
    {
        auto r = reg();
        QVERIFY(r.WriteDWORD("HKCU\\T", "n", -1));
        QCOMPARE(r.ReadDWORD("HKCU\\T", "n"), -1);
        QVERIFY(r.WriteDWORD("HKCU\\T", "n", 42));
        QCOMPARE(r.ReadDWORD("HKCU\\T", "N"), 42);
        QVERIFY(r.WriteBinary("HKCU\\T", "b", "00 1f"));
        QCOMPARE(r.ReadBinary("HKCU\\T", "b"), QStringLiteral("00 1F"));
        QVERIFY(r.WriteBinary("HKCU\\T", "empty", ""));
        QVERIFY(r.ValueExists("HKCU\\T", "empty"));
        QCOMPARE(r.ReadBinary("HKCU\\T", "empty", "d"), QString());
        QCOMPARE(r.WriteBinary("HKCU\\T", "bad", "0G"), 0);
        QVERIFY(!r.ValueExists("HKCU\\T", "bad"));
    }

    void hexText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::newRow("upper pairs") << "0A FF 00" << QByteArray("\x0A\xFF\x00", 3) << true;
        QTest::newRow("lower case") << "00 1f" << QByteArray("\x00\x1F", 2) << true;
        QTest::newRow("blanks anywhere") << " 0 A F F " << QByteArray("\x0A\xFF", 2) << true;
        QTest::newRow("no blanks") << "DEADbeef" << QByteArray("\xDE\xAD\xBE\xEF") << true;
        QTest::newRow("odd digit count") << "ABC" << QByteArray("\xAB\x0C") << true;
        QTest::newRow("empty") << "" << QByteArray() << false;
        QTest::newRow("only blanks") << "   " << QByteArray() << false;
        QTest::newRow("not hex") << "0G" << QByteArray() << false;
    }
    void hexText()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QCOMPARE(clsRegistryAccess::isBinValid(text), valid);
        bool ok = false;
        QCOMPARE(clsRegistryAccess::StrToBin(text, &ok), bytes);
        QCOMPARE(ok, valid || text.trimmed().isEmpty());
    }

    void binToStr()
    {
        QCOMPARE(clsRegistryAccess::BinToStr(QByteArray("\x00\x1F", 2)), QStringLiteral(" 00 1F"));
        QCOMPARE(clsRegistryAccess::BinToStr(QByteArray("\x0A\xFF\x00", 3)), QStringLiteral(" 0A FF 00"));
        QCOMPARE(clsRegistryAccess::BinToStr(QByteArray()), QString());
    }

    void enumerationOrders()
    {
        auto r = reg();
        for (const char *k : {"beta", "Alpha", "gamma", "ALPHA2", "Zeta", "_under"})
            QVERIFY(r.CreateKey(QStringLiteral("HKCU\\E\\") + k));
        QStringList keys;
        QCOMPARE(r.EnumKeys("HKCU\\E", keys), 6);
        QCOMPARE(keys, (QStringList{"_under", "Alpha", "ALPHA2", "beta", "gamma", "Zeta"}));
        QVERIFY(r.HaveSubkey("HKCU\\E"));
        QVERIFY(!r.HaveSubkey("HKCU\\E\\beta"));

        // Values in creation order; overwriting keeps the place and the case.
        QVERIFY(r.WriteString("HKCU\\E", "zweite", "b"));
        QVERIFY(r.WriteDWORD("HKCU\\E", "Erste", 1));
        QVERIFY(r.WriteBinary("HKCU\\E", "dritte", "01 02"));
        QVERIFY(r.WriteString("HKCU\\E", "ZWEITE", "neu"));
        QStringList names;
        QVariantList values;
        QCOMPARE(r.EnumValues("HKCU\\E", names, values, -1), 3);
        QCOMPARE(names, (QStringList{"zweite", "Erste", "dritte"}));
        QCOMPARE(values, (QVariantList{QString("neu"), 1, QString("01 02")}));
        QCOMPARE(r.EnumValues("HKCU\\E", names, values, 4), 1);
        QCOMPARE(names, QStringList{"Erste"});
        QCOMPARE(r.EnumValues("HKCU\\E", names, values, 1), 1);
        QCOMPARE(values, QVariantList{QString("neu")});
        QCOMPARE(r.EnumValues("HKCU\\E\\beta", names, values, -1), 0);
        QVERIFY(names.isEmpty());
        names = QStringList{"untouched"};
        QCOMPARE(r.EnumValues("HKCU\\Missing", names, values, -1), -1);
        QCOMPARE(names, QStringList{"untouched"});
    }

    void enumValuesOfOtherTypes()
    {
        QVERIFY(m_hive->setValue(RootKey::CurrentUser, "X", RegValue{"multi", RegType::MultiString, "a\0b\0\0"}, true));
        QVERIFY(m_hive->setValue(RootKey::CurrentUser, "X", RegValue{"long", RegType::String, QByteArray(300, 'y')}, true));
        QVERIFY(m_hive->setValue(RootKey::CurrentUser, "X", RegValue{"  padded  ", RegType::Binary, {}}, true));
        QStringList names;
        QVariantList values;
        auto r = reg();
        QCOMPARE(r.EnumValues("HKCU\\X", names, values, -1), 3);
        QCOMPARE(names, (QStringList{"multi", "long", "padded"}));
        QCOMPARE(values, (QVariantList{QVariant(), QString(), QString()}));
    }

    void createKeyIfDoesntExists()
    {
        auto r = reg();
        QVERIFY(r.CreateKeyIfDoesntExists());
        r.CreateKeyIfDoesntExists(false);
        QCOMPARE(r.WriteString("HKCU\\New\\Key", "a", "b"), 0);
        QCOMPARE(r.WriteDWORD("HKCU\\New\\Key", "a", 1), 0);
        QCOMPARE(r.WriteBinary("HKCU\\New\\Key", "a", "01"), 0);
        QVERIFY(!r.KeyExists("HKCU\\New"));
        QVERIFY(r.CreateKey("HKCU\\New\\Key"));
        QVERIFY(r.WriteString("HKCU\\New\\Key", "a", "b"));
        r.CreateKeyIfDoesntExists(true);
        QVERIFY(r.WriteString("HKCU\\Other\\Deep\\Key", "a", "b"));
        QVERIFY(r.KeyExists("HKCU\\Other\\Deep"));
    }

    void killKeyAndValue()
    {
        auto r = reg();
        QVERIFY(r.WriteString("HKCU\\K\\Sub", "v", "1"));
        QVERIFY(r.WriteString("HKCU\\K", "v", "1"));
        QCOMPARE(r.KillKey("HKCU\\K"), 0); // still has a subkey
        QVERIFY(r.KeyExists("HKCU\\K"));
        QVERIFY(r.KillKey("HKCU\\K\\Sub"));
        QVERIFY(r.KillKey("hkcu\\k"));
        QVERIFY(!r.KeyExists("HKCU\\K"));
        QCOMPARE(r.KillKey("HKCU\\K"), 0);
        QCOMPARE(r.KillKey("HKCU"), 0);
        QVERIFY(r.KeyExists("HKCU"));

        QVERIFY(r.WriteString("HKCU\\V", "a", "1"));
        QVERIFY(r.KillValue("HKCU\\V", "A"));
        QVERIFY(!r.ValueExists("HKCU\\V", "a"));
        QCOMPARE(r.KillValue("HKCU\\V", "a"), 0);
        QVERIFY(r.KeyExists("HKCU\\V"));
    }

    void exportWritesRegedit4()
    {
        auto r = reg();
        QVERIFY(r.WriteString("HKCU\\Software\\Q", "@", "Standard"));
        QVERIFY(r.WriteString("HKCU\\Software\\Q", "Name", "Wert mit \"Zitat\" und \\"));
        QVERIFY(r.WriteDWORD("HKCU\\Software\\Q", "Zahl", 42));
        QVERIFY(r.WriteBinary("HKCU\\Software\\Q", "Data", "0A FF 00"));
        QVERIFY(r.WriteBinary("HKCU\\Software\\Q", "@x", ""));
        QVERIFY(r.WriteString("HKCU\\Software\\Q\\Unter", "u", "1"));
        const QString file = newFile();
        QStringList progress;
        QCOMPARE(r.ExportToReg("hkcu\\Software\\Q", file, true, [&](const QString &k) { progress << k; }), 1);
        QCOMPARE(progress, (QStringList{"HKEY_CURRENT_USER\\Software\\Q", "HKEY_CURRENT_USER\\Software\\Q\\Unter"}));
        QCOMPARE(readAll(file),
                 QByteArray("REGEDIT4\r\n\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Q]\r\n"
                            "@=\"Standard\"\r\n"
                            "\"Name\"=\"Wert mit \"Zitat\" und \\\"\r\n"
                            "\"Data\"=hex:0A,FF,00\r\n"
                            "\"@x\"=hex:\r\n"
                            "\"Zahl\"=dword:0000002A\r\n"
                            "\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Q\\Unter]\r\n"
                            "\"u\"=\"1\"\r\n"
                            "\r\n"));
        // Without subkeys only the key itself.
        const QString flat = newFile();
        QCOMPARE(r.ExportToReg("HKCU\\Software\\Q\\Unter", flat), 1);
        QCOMPARE(readAll(flat), QByteArray("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Q\\Unter]\r\n\"u\"=\"1\"\r\n\r\n"));
    }

    void exportRefusesExistingFileAndMissingKey()
    {
        auto r = reg();
        QVERIFY(r.WriteString("HKCU\\Q", "a", "1"));
        const QString file = regFile("keep me");
        QCOMPARE(r.ExportToReg("HKCU\\Q", file), 0);
        QCOMPARE(readAll(file), QByteArray("keep me"));
        const QString missing = newFile();
        QCOMPARE(r.ExportToReg("HKCU\\Not\\There", missing), 0);
        QVERIFY(!QFile::exists(missing));
        QCOMPARE(r.ExportToReg("HKCU\\Q", m_dir.filePath("no/such/folder/x.reg")), 0);
    }

    void exportThenImportRoundTrip()
    {
        auto r = reg();
        const QString base = "HKCU\\Software\\RoundTrip";
        QVERIFY(r.WriteString(base, "@", "Standardwert"));
        QVERIFY(r.WriteString(base, "Url", "http://x/a?b=c&d==e"));
        QVERIFY(r.WriteString(base, "Quote", "sag \"hallo\""));
        QVERIFY(r.WriteString(base, "Umlaut", QStringLiteral(u"Grüße €")));
        QVERIFY(r.WriteString(base, "Minus", "-"));
        QVERIFY(r.WriteString(base, "LooksHex", "hex:01"));
        QVERIFY(r.WriteDWORD(base, "Neg", -1));
        QVERIFY(r.WriteDWORD(base, "Zero", 0));
        QVERIFY(r.WriteBinary(base, "Bin", "00 01 7F 80 FF"));
        QVERIFY(r.WriteBinary(base, "Empty", ""));
        QVERIFY(r.WriteString(base + "\\A\\B", "deep", "1"));
        QVERIFY(r.WriteDWORD(base + "\\C", "n", 123456));

        const QString file = newFile();
        QCOMPARE(r.ExportToReg(base, file, true), 1);
        // Wipe the tree, then bring it back from the file.
        for (const char *k : {"\\A\\B", "\\A", "\\C", ""})
            QVERIFY(r.KillKey(base + k));
        QVERIFY(!r.KeyExists(base));
        QCOMPARE(r.ImportFromReg(file), 1);

        QCOMPARE(r.ReadString(base, ""), QStringLiteral("Standardwert"));
        QCOMPARE(r.ReadString(base, "Url"), QStringLiteral("http://x/a?b=c&d==e"));
        QCOMPARE(r.ReadString(base, "Quote"), QStringLiteral("sag \"hallo\""));
        QCOMPARE(r.ReadString(base, "Umlaut"), QStringLiteral(u"Grüße €"));
        QCOMPARE(r.ReadString(base, "Minus"), QStringLiteral("-"));
        QCOMPARE(r.ReadString(base, "LooksHex"), QStringLiteral("hex:01"));
        QCOMPARE(r.ReadDWORD(base, "Neg"), -1);
        QCOMPARE(r.ReadDWORD(base, "Zero", 9), 0);
        QCOMPARE(r.ReadBinary(base, "Bin"), QStringLiteral("00 01 7F 80 FF"));
        QVERIFY(r.ValueExists(base, "Empty"));
        QCOMPARE(r.ReadString(base + "\\A\\B", "deep"), QStringLiteral("1"));
        QCOMPARE(r.ReadDWORD(base + "\\C", "n"), 123456);
        // And a second export of the restored tree is the same file.
        const QString again = newFile();
        QCOMPARE(r.ExportToReg(base, again, true), 1);
        QCOMPARE(readAll(again), readAll(file));
    }

    void deepTreeExportsInLinearTime()
    {
        constexpr int Depth = 2000;
        QStringList names;
        for (int i = 0; i < Depth; ++i)
            names << QStringLiteral("k%1").arg(i);
        const QString base = "HKCU\\Tief";
        auto r = reg();
        QVERIFY(r.WriteDWORD(base + '\\' + names.join('\\'), "ende", 7));

        auto counting = std::make_shared<CountingHive>(m_hive);
        clsRegistryAccess access(counting);
        const QString file = newFile();
        QCOMPARE(access.ExportToReg(base, file, true), 1);
        // Looking each key up from the root costs Depth * Depth / 2 names.
        QVERIFY2(counting->namesLookedUp < 10 * Depth, qPrintable(QString::number(counting->namesLookedUp)));

        const QList<QByteArray> lines = readAll(file).split('\n');
        QCOMPARE(lines.count(QByteArray("\r")), Depth + 2); // after the header and after every key
        QCOMPARE(lines.at(2), QByteArray("[HKEY_CURRENT_USER\\Tief]\r"));
        const QByteArray last = "[HKEY_CURRENT_USER\\Tief\\" + names.join('\\').toUtf8() + "]\r";
        QCOMPARE(lines.at(lines.size() - 4), last);
        QCOMPARE(lines.at(lines.size() - 3), QByteArray("\"ende\"=dword:00000007\r"));
    }

    void importLineRules()
    {
        auto r = reg();
        QVERIFY(r.WriteString("HKCU\\Gone\\Leaf", "x", "1"));
        QVERIFY(r.WriteString("HKCU\\Imp", "old", "1"));
        QVERIFY(r.WriteString("HKCU\\Imp", "@", "alt"));
        const QString file = regFile(
            "REGEDIT4\r\n"
            "\"before\"=\"any key line: ignored\"\r\n"
            "\r\n"
            "[-HKEY_CURRENT_USER\\Gone\\Leaf]\r\n"
            "\"after deletion\"=\"belongs to no key\"\r\n"
            "[HKEY_CURRENT_USER\\Imp]\r\n"
            "; a comment=with equals\r\n"
            "   \"spaced\"  =  \"  inner blanks  \"   \r\n"
            "no equals sign here\r\n"
            "\"old\"=-\r\n"
            "\"Url\"=\"a?b=c\"\r\n"
            "bare=unquoted text\r\n"
            "\"n\"=dword:ffffffff\r\n"
            "\"N2\"=DWORD:2a\r\n"
            "\"b\"=hex:0a,FF,00\r\n"
            "\"B2\"=HEX:\r\n"
            "\"odd\"=hex:0,1\r\n"
            "[\"HKCU\\Quoted\"]\r\n"
            "@=\"standard\"\r\n");
        QCOMPARE(r.ImportFromReg(file), 1);
        QVERIFY(!r.KeyExists("HKCU\\Gone\\Leaf"));
        QVERIFY(r.KeyExists("HKCU\\Gone"));
        QVERIFY(!r.ValueExists("HKCU\\Imp", "before"));
        QVERIFY(!r.ValueExists("HKCU\\Gone", "after deletion"));
        QCOMPARE(r.ReadString("HKCU\\Imp", "spaced"), QStringLiteral("inner blanks"));
        QVERIFY(!r.ValueExists("HKCU\\Imp", "old"));
        QVERIFY(!r.ValueExists("HKCU\\Imp", "; a comment"));
        QCOMPARE(r.ReadString("HKCU\\Imp", "Url"), QStringLiteral("a?b=c"));
        QCOMPARE(r.ReadString("HKCU\\Imp", "bare"), QStringLiteral("unquoted text"));
        QCOMPARE(r.ReadDWORD("HKCU\\Imp", "n"), -1);
        QCOMPARE(r.ReadDWORD("HKCU\\Imp", "n2"), 42);
        QCOMPARE(r.ReadBinary("HKCU\\Imp", "b"), QStringLiteral("0A FF 00"));
        QVERIFY(r.ValueExists("HKCU\\Imp", "B2"));
        QCOMPARE(r.ReadBinary("HKCU\\Imp", "odd"), QStringLiteral("01"));
        QCOMPARE(r.ReadString("HKCU\\Imp", "@"), QStringLiteral("alt"));
        QCOMPARE(r.ReadString("HKCU\\Quoted", ""), QStringLiteral("standard"));
    }

    void importDeletesDefaultValueOnEmptyAt()
    {
        auto r = reg();
        QVERIFY(r.WriteString("HKCU\\D", "@", "alt"));
        QCOMPARE(r.ImportFromReg(regFile("REGEDIT4\r\n[HKCU\\D]\r\n@=\"\"\r\n")), 1);
        QVERIFY(!r.ValueExists("HKCU\\D", ""));
        QVERIFY(r.WriteString("HKCU\\D", "@", "alt"));
        QCOMPARE(r.ImportFromReg(regFile("REGEDIT4\r\n[HKCU\\D]\r\n@=-\r\n")), 1);
        QVERIFY(!r.ValueExists("HKCU\\D", ""));
    }

    void importSetsCreateKeyIfDoesntExists()
    {
        auto r = reg();
        r.CreateKeyIfDoesntExists(false);
        QCOMPARE(r.ImportFromReg(regFile("REGEDIT4\r\n[HKCU\\Fresh\\Key]\r\n\"a\"=\"b\"\r\n")), 1);
        QCOMPARE(r.ReadString("HKCU\\Fresh\\Key", "a"), QStringLiteral("b"));
        QVERIFY(r.CreateKeyIfDoesntExists());
    }

    void importRejectsOtherHeaders_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("result");
        const QByteArray body = "\r\n[HKCU\\H]\r\n\"v\"=\"1\"\r\n";
        QTest::newRow("REGEDIT4") << QByteArray("REGEDIT4") + body << 1;
        QTest::newRow("lower case header") << QByteArray("regedit4") + body << 1;
        QTest::newRow("version 5 header") << QByteArray("Windows Registry Editor Version 5.00") + body << 0;
        QTest::newRow("leading blank line") << QByteArray("\r\nREGEDIT4") + body << 0;
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFREGEDIT4") + body << 0;
        QTest::newRow("trailing blank") << QByteArray("REGEDIT4 ") + body << 0;
        QTest::newRow("LF line ends") << QByteArray("REGEDIT4\n\n[HKCU\\H]\n\"v\"=\"1\"\n") << 0;
        QTest::newRow("empty file") << QByteArray() << 0;
        QTest::newRow("binary garbage") << QByteArray("\x00\xFF\xFE\x01[]=\r\n\x80", 10) << 0;
    }
    void importRejectsOtherHeaders()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, result);
        auto r = reg();
        QCOMPARE(r.ImportFromReg(regFile(content)), result);
        QCOMPARE(r.ValueExists("HKCU\\H", "v"), result == 1);
    }

    void importOfMissingFileFails()
    {
        auto r = reg();
        QCOMPARE(r.ImportFromReg(m_dir.filePath("does-not-exist.reg")), 0);
        QCOMPARE(r.ImportFromReg(m_dir.path()), 0);
    }

    void importKeepsGoingPastBadLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("dword with nine digits") << QByteArray("\"bad\"=dword:123456789");
        QTest::newRow("dword not hex") << QByteArray("\"bad\"=dword:xyz");
        QTest::newRow("dword empty") << QByteArray("\"bad\"=dword:");
        QTest::newRow("dword negative") << QByteArray("\"bad\"=dword:-1");
        QTest::newRow("hex with bad digit") << QByteArray("\"bad\"=hex:0g,11");
        QTest::newRow("hex continued line") << QByteArray("\"bad\"=hex:00,11,\\");
        QTest::newRow("root that is not in the hive") << QByteArray("[HKEY_PERFORMANCE_DATA\\X]\r\n\"bad\"=\"1\"");
    }
    void importKeepsGoingPastBadLines()
    {
        // A line that cannot be stored fails the import, but every good line
        // around it is still imported.
        QFETCH(QByteArray, line);
        auto r = reg();
        const QString file = regFile("REGEDIT4\r\n[HKCU\\P]\r\n\"first\"=\"1\"\r\n" + line
                                     + "\r\n[HKCU\\P]\r\n\"last\"=\"2\"\r\n");
        QCOMPARE(r.ImportFromReg(file), 0);
        QCOMPARE(r.ReadString("HKCU\\P", "first"), QStringLiteral("1"));
        QCOMPARE(r.ReadString("HKCU\\P", "last"), QStringLiteral("2"));
        QVERIFY(!r.ValueExists("HKCU\\P", "bad"));
    }

    void importSurvivesHostileShapes_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("lone bracket") << QByteArray("REGEDIT4\r\n[\r\n\"a\"=\"b\"\r\n");
        QTest::newRow("unmatched bracket") << QByteArray("REGEDIT4\r\n[HKCU\\U\r\n\"a\"=\"b\"\r\n");
        QTest::newRow("only quotes") << QByteArray("REGEDIT4\r\n[HKCU\\U]\r\n\"\r\n\"\"\"=\"\"\"\r\n=\r\n");
        QTest::newRow("huge line") << QByteArray("REGEDIT4\r\n[HKCU\\U]\r\n\"big\"=\"") + QByteArray(2'000'000, 'x') + "\"\r\n";
        QTest::newRow("huge hex") << QByteArray("REGEDIT4\r\n[HKCU\\U]\r\n\"h\"=hex:") + QByteArray(300'000, 'a') + "\r\n";
        QTest::newRow("deep key") << QByteArray("REGEDIT4\r\n[HKCU") + QByteArray(2000 * 2, '\\').replace("\\\\", "\\k") + "]\r\n\"a\"=\"b\"\r\n";
        QTest::newRow("nul bytes") << QByteArray("REGEDIT4\r\n[HKCU\\U\0V]\r\n\"a\0\"=\"\0\"\r\n", 30);
    }
    void importSurvivesHostileShapes()
    {
        QFETCH(QByteArray, content);
        auto r = reg();
        const qint32 result = r.ImportFromReg(regFile(content));
        QVERIFY(result == 0 || result == 1);
        QVERIFY(r.KeyExists("HKCU"));
    }
};

QTEST_GUILESS_MAIN(TestRegistryAccess)
#include "tst_registryaccess.moc"
