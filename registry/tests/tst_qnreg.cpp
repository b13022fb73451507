#include "QnregCommand.h"
#include "SqliteHive.h"
#include "clsRegistryAccess.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QStandardPaths>
#include <QTest>

#include <sqlite3.h>

#include <sys/stat.h>
#include <unistd.h>

class TestQnreg : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::shared_ptr<SqliteHive> m_hive;

    QnregResult run(const QStringList &args) { return runQnreg(args, m_hive); }

private slots:
    void init()
    {
        QFile::remove(m_dir.filePath("registry.db"));
        m_hive = std::make_shared<SqliteHive>(m_dir.filePath("registry.db"));
        clsRegistryAccess reg(m_hive);
        QVERIFY(reg.WriteString("HKCU\\Software\\Q", "@", "Standard"));
        QVERIFY(reg.WriteString("HKCU\\Software\\Q", "Text", QStringLiteral(u"Grüße\tmit Tab")));
        QVERIFY(reg.WriteDWORD("HKCU\\Software\\Q", "Zahl", -1));
        QVERIFY(reg.WriteBinary("HKCU\\Software\\Q", "Daten", "0A FF 00"));
        QVERIFY(reg.CreateKey("HKCU\\Software\\Q\\beta"));
        QVERIFY(reg.CreateKey("HKCU\\Software\\Q\\Alpha"));
    }

    void printsOnlyTheData_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("get string") << QStringList{"get", "HKCU\\Software\\Q", "text"} << QByteArray("Grüße\tmit Tab\n");
        QTest::newRow("get default") << QStringList{"get", "HKEY_CURRENT_USER\\Software\\Q", "@"} << QByteArray("Standard\n");
        QTest::newRow("get dword decimal") << QStringList{"get", "hkcu\\software\\q", "Zahl"} << QByteArray("4294967295\n");
        QTest::newRow("get binary hex") << QStringList{"get", "HKCU\\Software\\Q", "Daten"} << QByteArray("0A FF 00\n");
        QTest::newRow("keys") << QStringList{"keys", "HKCU\\Software\\Q"} << QByteArray("Alpha\nbeta\n");
        QTest::newRow("keys of empty key") << QStringList{"keys", "HKCU\\Software\\Q\\Alpha"} << QByteArray();
        QTest::newRow("values") << QStringList{"values", "HKCU\\Software\\Q"}
                                << QByteArray("@\tREG_SZ\tStandard\n"
                                              "Text\tREG_SZ\tGrüße\tmit Tab\n"
                                              "Zahl\tREG_DWORD\t4294967295\n"
                                              "Daten\tREG_BINARY\t0A FF 00\n");
    }
    void printsOnlyTheData()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, out);
        const QnregResult r = run(args);
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, out);
    }

    void setThenGet_data()
    {
        QTest::addColumn<QStringList>("setArgs");
        QTest::addColumn<QByteArray>("got");
        QTest::newRow("string") << QStringList{"set", "HKCU\\New\\Key", "Name", "a=b \"c\""} << QByteArray("a=b \"c\"\n");
        QTest::newRow("dword") << QStringList{"set", "HKCU\\New\\Key", "Name", "42", "--dword"} << QByteArray("42\n");
        QTest::newRow("dword negative") << QStringList{"set", "HKCU\\New\\Key", "Name", "-1", "--dword"} << QByteArray("4294967295\n");
        QTest::newRow("dword hex") << QStringList{"set", "HKCU\\New\\Key", "Name", "0x2A", "--dword"} << QByteArray("42\n");
        QTest::newRow("binary") << QStringList{"set", "HKCU\\New\\Key", "Name", "de ad BE ef", "--binary"} << QByteArray("DE AD BE EF\n");
        QTest::newRow("binary empty") << QStringList{"set", "HKCU\\New\\Key", "Name", "", "--binary"} << QByteArray("\n");
        QTest::newRow("default value") << QStringList{"set", "HKCU\\New\\Key", "@", "std"} << QByteArray("std\n");
    }
    void setThenGet()
    {
        QFETCH(QStringList, setArgs);
        QFETCH(QByteArray, got);
        const QnregResult s = run(setArgs);
        QCOMPARE(s.err, QByteArray());
        QCOMPARE(s.exitCode, 0);
        QCOMPARE(s.out, QByteArray());
        const QnregResult g = run({"get", "HKCU\\New\\Key", setArgs[2]});
        QCOMPARE(g.exitCode, 0);
        QCOMPARE(g.out, got);
    }

    void failuresAreOneLineOnStderr_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no arguments") << QStringList{};
        QTest::newRow("unknown verb") << QStringList{"frobnicate"};
        QTest::newRow("missing value") << QStringList{"get", "HKCU\\Software\\Q", "nope"};
        QTest::newRow("missing key") << QStringList{"keys", "HKCU\\Nope"};
        QTest::newRow("values of missing key") << QStringList{"values", "HKCU\\Nope"};
        QTest::newRow("unknown root") << QStringList{"get", "HKXY\\Software", "a"};
        QTest::newRow("set on root not in hive") << QStringList{"set", "HKPD\\X", "a", "b"};
        QTest::newRow("bad dword") << QStringList{"set", "HKCU\\X", "a", "zwölf", "--dword"};
        QTest::newRow("dword too big") << QStringList{"set", "HKCU\\X", "a", "4294967296", "--dword"};
        QTest::newRow("bad binary") << QStringList{"set", "HKCU\\X", "a", "0G", "--binary"};
        QTest::newRow("odd binary") << QStringList{"set", "HKCU\\X", "a", "ABC", "--binary"};
        QTest::newRow("both types") << QStringList{"set", "HKCU\\X", "a", "1", "--dword", "--binary"};
        QTest::newRow("too many arguments") << QStringList{"get", "HKCU\\X", "a", "b"};
        QTest::newRow("delete key with subkeys") << QStringList{"delete", "HKCU\\Software\\Q"};
        QTest::newRow("delete missing value") << QStringList{"delete", "HKCU\\Software\\Q", "nope"};
        QTest::newRow("import missing file") << QStringList{"import", "/nonexistent/file.reg"};
        QTest::newRow("export missing key") << QStringList{"export", "HKCU\\Nope", "/tmp/never-written.reg"};
    }
    void failuresAreOneLineOnStderr()
    {
        QFETCH(QStringList, args);
        const QnregResult r = run(args);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out, QByteArray());
        QVERIFY(r.err.endsWith('\n'));
        if (!args.isEmpty())
            QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(!QFile::exists("/tmp/never-written.reg"));
    }

    void deleteKeyAndValue()
    {
        QCOMPARE(run({"delete", "HKCU\\Software\\Q", "Zahl"}).exitCode, 0);
        QCOMPARE(run({"get", "HKCU\\Software\\Q", "Zahl"}).exitCode, 1);
        QCOMPARE(run({"delete", "HKCU\\Software\\Q\\Alpha"}).exitCode, 0);
        QCOMPARE(run({"keys", "HKCU\\Software\\Q"}).out, QByteArray("beta\n"));
    }

    void exportAndImportFiles()
    {
        const QString file = m_dir.filePath("q.reg");
        QFile::remove(file);
        QnregResult r = run({"export", "HKCU\\Software\\Q", file, "--subkeys"});
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.exitCode, 0);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray content = f.readAll();
        QVERIFY(content.startsWith("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Q]\r\n"));
        QVERIFY(content.contains("[HKEY_CURRENT_USER\\Software\\Q\\Alpha]\r\n"));
        // A second export to the same file is refused.
        QCOMPARE(run({"export", "HKCU\\Software\\Q", file}).exitCode, 1);

        QCOMPARE(run({"delete", "HKCU\\Software\\Q", "Text"}).exitCode, 0);
        r = run({"import", file});
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(run({"get", "HKCU\\Software\\Q", "Text"}).out, QByteArray("Grüße\tmit Tab\n"));

        const QString bad = m_dir.filePath("bad.reg");
        QFile b(bad);
        QVERIFY(b.open(QIODevice::WriteOnly));
        b.write("Windows Registry Editor Version 5.00\r\n");
        b.close();
        r = run({"import", bad});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains("REGEDIT4"));
    }

    void realProcess()
    {
        // The program itself: hermetic through QUENORA_HOME, exit status and
        // streams as promised, and a broken hive reported in one line.
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUENORA_HOME", home.path());
        auto qnreg = [&](const QStringList &args) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(QNREG), args);
            p.waitForFinished(30000);
            return std::tuple(p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError());
        };
        QCOMPARE(qnreg({"set", "HKCU\\Software\\Quenora", "Wert", "eins"}), std::tuple(0, QByteArray(), QByteArray()));
        QCOMPARE(qnreg({"get", "HKCU\\Software\\Quenora", "wert"}), std::tuple(0, QByteArray("eins\n"), QByteArray()));
        QVERIFY(QFile::exists(home.filePath("registry.db")));
        const auto [code, out, err] = qnreg({"get", "HKCU\\Software\\Quenora", "fehlt"});
        QCOMPARE(code, 1);
        QCOMPARE(out, QByteArray());
        QCOMPARE(err.count('\n'), 1);

        QFile::remove(home.filePath("registry.db-wal"));
        QFile::remove(home.filePath("registry.db-shm"));
        QFile db(home.filePath("registry.db"));
        QVERIFY(db.open(QIODevice::WriteOnly | QIODevice::Truncate));
        db.write(QByteArray(8192, '\x42'));
        db.close();
        const auto [code2, out2, err2] = qnreg({"keys", "HKCU"});
        QCOMPARE(code2, 1);
        QCOMPARE(out2, QByteArray());
        QCOMPARE(err2.count('\n'), 1);
        QVERIFY2(err2.contains("beschädigt"), err2.constData());
    }

    void importFaultsNameTheLine_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("fault");
        const QByteArray head = "REGEDIT4\r\n\r\n[HKCU\\Software\\I]\r\n\"gut\"=\"ja\"\r\n";
        QTest::newRow("bad hex") << head + "\"b\"=hex:0a,0G\r\n" << QByteArray("Zeile 5: ungültiger Hex-Wert");
        QTest::newRow("bad dword") << head + "\"c\"=dword:123456789\r\n"
                                   << QByteArray("Zeile 5: ungültiger DWORD-Wert (bis zu acht Hexadezimalziffern)");
        QTest::newRow("unknown root") << head + "\r\n[HKXY\\Software]\r\n\"d\"=\"x\"\r\n"
                                      << QByteArray("Zeile 7: unbekannter Hauptschlüssel in HKXY\\Software");
        QTest::newRow("line feeds only") << QByteArray("REGEDIT4\n\n[HKCU\\Software\\I]\n")
                                         << QByteArray("Zeile 1: Zeilenenden LF statt CR LF");
        QTest::newRow("another header") << QByteArray("Windows Registry Editor Version 5.00\r\n")
                                        << QByteArray("Zeile 1: REGEDIT4 erwartet");
    }
    void importFaultsNameTheLine()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, fault);
        const QString file = m_dir.filePath("fehler.reg");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        const QnregResult r = run({"import", file});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err, "qnreg: " + QFile::encodeName(file) + ": " + fault + '\n');
        // What could be read is still taken.
        if (content.contains("\"gut\""))
            QCOMPARE(run({"get", "HKCU\\Software\\I", "gut"}).out, QByteArray("ja\n"));
    }

    void importReportsTheHivesReason()
    {
        // Another program holds the hive's write lock for the whole import.
        m_hive = std::make_shared<SqliteHive>(m_dir.filePath("registry.db"), 20);
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(m_dir.filePath("registry.db")).constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        const QString file = m_dir.filePath("gesperrt.reg");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("REGEDIT4\r\n\r\n[HKCU\\Software\\I]\r\n\"a\"=\"1\"\r\n");
        f.close();
        const QnregResult r = run({"import", file});
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("Zeile 4: Die Registrierungsdatenbank ist von einem anderen Programm gesperrt"),
                 r.err.constData());
    }

    // A reader that met a read-only hive left its side files read-only, and
    // every later write failed, also once the hive was writable again.
    void readOnlyEpisodeDoesNotLastAsNormalUser()
    {
        if (::geteuid() != 0)
            QSKIP("Braucht root, um als anderer Benutzer (setpriv) zu laufen; root selbst darf alles schreiben.");
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            QSKIP("setpriv fehlt.");
        QTemporaryDir home;
        QVERIFY(::chown(QFile::encodeName(home.path()).constData(), 65534, 65534) == 0);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUENORA_HOME", home.path());
        auto qnreg = [&](const QStringList &args) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(setpriv, QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", QStringLiteral(QNREG)} + args);
            p.waitForFinished(30000);
            return std::pair(p.exitCode(), p.readAllStandardError());
        };
        const QByteArray db = QFile::encodeName(home.filePath("registry.db"));
        QCOMPARE(qnreg({"set", "HKCU\\Software\\Q", "a", "1"}), std::pair(0, QByteArray()));
        QCOMPARE(::chmod(db.constData(), 0444), 0);
        QCOMPARE(qnreg({"get", "HKCU\\Software\\Q", "a"}).first, 0);
        // The reason is told in German, not in the database library's words.
        const auto refused = qnreg({"set", "HKCU\\Software\\Q", "a", "x"});
        QVERIFY(refused.first != 0);
        QVERIFY2(QString::fromUtf8(refused.second).contains(QStringLiteral("(schreibgeschützt)")), refused.second);
        QCOMPARE(::chmod(db.constData(), 0644), 0);
        QCOMPARE(qnreg({"set", "HKCU\\Software\\Q", "a", "2"}), std::pair(0, QByteArray()));
        QCOMPARE(qnreg({"set", "HKCU\\Software\\Q", "b", "3"}), std::pair(0, QByteArray()));
    }
};

QTEST_GUILESS_MAIN(TestQnreg)
#include "tst_qnreg.moc"
