// plugdesk without a window: --list, --enable, --disable, --help.
#include "ExtensionsFixture.h"
#include "PlugdeskCommand.h"

#include <QProcess>
#include <QTextStream>

class tst_PlugdeskCommand : public QObject
{
    Q_OBJECT

private slots:
    void commands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("errStart");
        QTest::addColumn<QStringList>("active"); // of a, b, c afterwards

        const QStringList untouched{"true", "untrue", "<none>"};
        QTest::newRow("list") << QStringList{"--list"} << 0
                              << "Filter Pro\taktiv\tBavarize.Dialect\n"
                                 "Filter\taktiv\t\n"
                                 "(unbekannte Extension)\tinaktiv\tMailhook.clsLaunchMail\n"
                              << "" << untouched;
        QTest::newRow("disable by part of the name")
            << QStringList{"--disable", "Filter"} << 0 << "Filter Pro\tinaktiv\nFilter\tinaktiv\n" << ""
            << QStringList{"false", "false", "<none>"};
        QTest::newRow("enable the unnamed one")
            << QStringList{"--enable", "(unbekannte Extension)"} << 0 << "(unbekannte Extension)\taktiv\n" << ""
            << QStringList{"true", "untrue", "true"};
        QTest::newRow("nothing belongs") << QStringList{"--enable", "filter"} << 1 << ""
                                         << "Keine installierte Erweiterung passt zu \"filter\"." << untouched;
        QTest::newRow("empty name would match all") << QStringList{"--disable", ""} << 2 << "" << "Bitte den Namen"
                                                    << untouched;
        QTest::newRow("name missing") << QStringList{"--enable"} << 2 << "" << "Nach --enable fehlt" << untouched;
        QTest::newRow("unknown option") << QStringList{"--frob"} << 2 << "" << "Unbekannte Angabe: --frob"
                                        << untouched;
        QTest::newRow("extra argument") << QStringList{"--list", "x"} << 2 << "" << "Unbekannte Angabe: x"
                                        << untouched;
    }
    void commands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, errStart);
        QFETCH(QStringList, active);
        ExtensionsFixture f;
        f.add("a", "Filter Pro", "true", "Bavarize.Dialect");
        f.add("b", "Filter", "untrue");
        f.add("c", QString(), QString(), "Mailhook.clsLaunchMail");
        ExtensionEntries entries(f.registry);
        QString outText, errText;
        QTextStream outStream(&outText), errStream(&errText);
        QCOMPARE(PlugdeskCommand::run(arguments, entries, outStream, errStream), exitCode);
        outStream.flush();
        errStream.flush();
        QCOMPARE(outText, out);
        if (errStart.isEmpty())
            QCOMPARE(errText, QString());
        else
            QVERIFY2(errText.startsWith(errStart), qPrintable(errText));
        QCOMPARE(QStringList({f.active("a"), f.active("b"), f.active("c")}), active);
    }

    void aRefusedWriteFails()
    {
        ExtensionsFixture f;
        f.add("a", "Mailer", "true");
        clsRegistryAccess readOnly(std::make_shared<RefusingHive>(f.hive, 0));
        ExtensionEntries entries(readOnly);
        QString outText, errText;
        QTextStream outStream(&outText), errStream(&errText);
        QCOMPARE(PlugdeskCommand::run({"--disable", "Mailer"}, entries, outStream, errStream), 1);
        errStream.flush();
        QVERIFY2(errText.contains("schreibgeschützt"), qPrintable(errText));
        QVERIFY2(errText.startsWith("Die Erweiterung \"Mailer\" konnte nicht deaktiviert werden"), qPrintable(errText));
        // No check box on the command line to put back.
        QVERIFY2(!errText.contains("Kästchen"), qPrintable(errText));
        QCOMPARE(outText, QString());
        QCOMPARE(f.active("a"), QString("true"));
    }

    // The program itself, on the hive below QUENORA_HOME and without a display.
    void theProgramWorksWithoutAWindow()
    {
        QTemporaryDir home;
        {
            clsRegistryAccess registry(std::make_shared<SqliteHive>(home.filePath("registry.db")));
            const QString path = ExtensionEntries::keyPath() + "\\Mailhook";
            QVERIFY(registry.WriteString(path, "DisplayName", "Mail-Anhang"));
            QVERIFY(registry.WriteString(path, "Active", "true"));
        }
        const auto run = [&](const QStringList &arguments, QString *out = nullptr) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QUENORA_HOME", home.path());
            env.remove("DISPLAY");
            env.remove("QT_QPA_PLATFORM");
            p.setProcessEnvironment(env);
            p.start(PLUGDESK, arguments);
            if (!p.waitForFinished(30000))
                return -1;
            if (out)
                *out = QString::fromUtf8(p.readAllStandardOutput());
            return p.exitCode();
        };
        QString out;
        QCOMPARE(run({"--disable", "Mail"}), 0);
        QCOMPARE(run({"--list"}, &out), 0);
        QCOMPARE(out, QString("Mail-Anhang\tinaktiv\t\n"));
        QCOMPARE(run({"--help"}, &out), 0);
        QVERIFY(out.contains("--enable TEXT"));
        QCOMPARE(run({"--enable", "Nichts"}), 1);
    }
};

QTEST_GUILESS_MAIN(tst_PlugdeskCommand)
#include "tst_plugdeskcommand.moc"
