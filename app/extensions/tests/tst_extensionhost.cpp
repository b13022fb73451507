#include "Clock.h"
#include "ExtensionLoader.h"
#include "PluginExtensionHost.h"
#include "SqliteHive.h"
#include "clsRegistryAccess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <unistd.h>

// Stands still except when the test plug-in starts to hang or opens its
// window: then it jumps an hour, far beyond every time limit, so a time-out
// is certain and no test waits for one.
class PluginClock : public Clock
{
public:
    explicit PluginClock(QString logFile)
        : m_logFile(std::move(logFile))
    {
    }
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 8), QTime(9, 0)).addMSecs(monotonicNs() / 1000000); }
    qint64 monotonicNs() const override
    {
        QFile f(m_logFile);
        if (!f.open(QIODevice::ReadOnly))
            return 0;
        const QByteArray log = f.readAll();
        return qint64(log.count("Hang ") + log.count("Window shown")) * 3600 * 1000000000;
    }

private:
    QString m_logFile;
};

// The host against real plug-in libraries (the test plug-in, whose class
// chooses its behaviour) run in the real extension-host process, and a real
// hive in a temporary folder.
class tst_ExtensionHost : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<SqliteHive> m_hive;
    std::unique_ptr<clsRegistryAccess> m_reg;
    std::unique_ptr<PluginClock> m_clock;
    std::unique_ptr<ExtensionProcess> m_process;
    std::unique_ptr<ExtensionLoader> m_loader;
    std::unique_ptr<PluginExtensionHost> m_host;
    QStringList m_log;
    QStringList m_notices;

    QString logFile() const { return m_dir->filePath(QStringLiteral("calls.txt")); }

    // What reached the plug-in, one "Class Member Argument" per call.
    QStringList calls() const
    {
        QFile f(logFile());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    void registerClass(const QString &identifier, const QString &library)
    {
        QVERIFY(m_reg->WriteString(QStringLiteral("HKEY_CLASSES_ROOT\\") + identifier + QStringLiteral("\\InprocServer32"),
                                   QStringLiteral("@"), library));
    }

    void addEntry(const QString &name, const QString &active, const QString &objectName)
    {
        const QString key = PluginExtensionHost::ExtensionsKey + QLatin1Char('\\') + name;
        QVERIFY(m_reg->WriteString(key, QStringLiteral("Active"), active));
        QVERIFY(m_reg->WriteString(key, QStringLiteral("ObjectName"), objectName));
    }

    QString active(const QString &name)
    {
        return m_reg->ReadString(PluginExtensionHost::ExtensionsKey + QLatin1Char('\\') + name,
                                 QStringLiteral("Active"), QString());
    }

    void makeHost(std::optional<bool> gui = std::nullopt)
    {
        m_host.reset();
        m_loader.reset();
        m_process = std::make_unique<ExtensionProcess>(QStringLiteral(EXTENSION_HOST), *m_clock,
                                                       ExtensionProcess::Limits{}, gui);
        m_loader = std::make_unique<ExtensionLoader>(*m_reg, *m_process, [this](const QString &line) { m_log << line; });
        m_host = std::make_unique<PluginExtensionHost>(
            *m_reg, *m_loader, [this](const QString &caption, const QString &text) { m_notices << caption + QLatin1Char('|') + text; });
    }

    void allEvents()
    {
        m_host->NotifyStartup();
        m_host->NotifyClose();
        m_host->NotifyNewFile();
        m_host->NotifyOpenFile(QStringLiteral("/d/a.txt"));
        m_host->NotifySaveFile(QStringLiteral("/d/a.txt"));
        m_host->NotifyExport(QStringLiteral("/d/a.wav"));
        m_host->NotifyTaskScript(QStringLiteral("s.vts"));
        m_host->ApplyTextFilters(QStringLiteral("Text"));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        qputenv("QN_TESTPLUGIN_LOG", logFile().toLocal8Bit());
        // Under the address sanitizer the host process would turn the test
        // plug-in's segmentation fault into an abort of its own; the crash
        // rows expect the signal the plug-in really caused.
        if (!qgetenv("ASAN_OPTIONS").contains("handle_segv=0"))
            qputenv("ASAN_OPTIONS", qgetenv("ASAN_OPTIONS") + ":handle_segv=0");
        m_hive = std::make_shared<SqliteHive>(m_dir->filePath(QStringLiteral("registry.db")));
        m_reg = std::make_unique<clsRegistryAccess>(m_hive);
        m_log.clear();
        m_notices.clear();
        m_clock = std::make_unique<PluginClock>(logFile());
        makeHost();
        for (const char *cls : {"Recorder", "NoStartup", "Failing", "ChangeThenFail", "Bracket", "ReplaceAndReturn",
                                "Unbekannt", "Crash", "Hang", "Window"})
            registerClass(QStringLiteral("QnTest.") + QLatin1String(cls), QStringLiteral(TESTPLUGIN));
    }

    void cleanup()
    {
        m_host.reset();
        m_loader.reset();
        m_process.reset();
        m_clock.reset();
        m_reg.reset();
        m_hive.reset();
        m_dir.reset();
    }

    void activityTests_data()
    {
        QTest::addColumn<QString>("active");
        // Exact, StartsWith, Contains, TrimmedLowerCase
        QTest::addColumn<QList<bool>>("expected");
        QTest::newRow("true") << "true" << QList<bool>{true, true, true, true};
        QTest::newRow("false") << "false" << QList<bool>{false, false, false, false};
        QTest::newRow("empty") << "" << QList<bool>{false, false, false, false};
        QTest::newRow("True") << "True" << QList<bool>{false, false, false, true};
        QTest::newRow("blank true") << " true" << QList<bool>{false, false, true, true};
        QTest::newRow("trueish") << "trueish" << QList<bool>{false, true, true, true};
        QTest::newRow("TRUE blanks") << "  TRUE  " << QList<bool>{false, false, false, true};
        QTest::newRow("tab true") << "\ttrue" << QList<bool>{false, false, true, false};
        QTest::newRow("untrue") << "untrue" << QList<bool>{false, false, true, false};
    }

    void activityTests()
    {
        QFETCH(QString, active);
        QFETCH(QList<bool>, expected);
        const QList<bool> actual{isExtensionActive(ActivityTest::Exact, active),
                                 isExtensionActive(ActivityTest::StartsWith, active),
                                 isExtensionActive(ActivityTest::Contains, active),
                                 isExtensionActive(ActivityTest::TrimmedLowerCase, active)};
        QCOMPARE(actual, expected);
    }

    // Which events an entry receives for its Active text, through the real
    // hive: the registry class trims blanks when it reads a string, so a
    // leading blank is gone before any test sees it, while a tab stays.
    void eventsByActiveText_data()
    {
        QTest::addColumn<QString>("active");
        QTest::addColumn<QStringList>("members");
        const QStringList all{"Startup", "Close", "NewFile", "OpenFile", "SaveFile", "Export", "TaskScript", "FilterText"};
        QTest::newRow("true") << "true" << all;
        QTest::newRow("True") << "True" << QStringList{"FilterText"};
        QTest::newRow("blank true") << " true" << all;
        QTest::newRow("tab true") << "\ttrue" << QStringList{"Export"};
        QTest::newRow("trueish") << "trueish" << QStringList{"SaveFile", "Export", "TaskScript", "FilterText"};
        QTest::newRow("false") << "false" << QStringList{};
    }

    void eventsByActiveText()
    {
        QFETCH(QString, active);
        QFETCH(QStringList, members);
        addEntry(QStringLiteral("Rec"), active, QStringLiteral("QnTest.Recorder"));
        allEvents();
        QStringList reached;
        for (const QString &line : calls())
            reached << line.section(QLatin1Char(' '), 1, 1);
        QCOMPARE(reached, members);
    }

    void argumentsReachTheExtension()
    {
        addEntry(QStringLiteral("Rec"), QStringLiteral("true"), QStringLiteral("QnTest.Recorder"));
        m_host->NotifySaveFile(QStringLiteral("/home/ä ö/Brief.rtf"));
        m_host->NotifyTaskScript(QStringLiteral("Begrüßung.vts"));
        QCOMPARE(calls(), (QStringList{"Recorder SaveFile /home/ä ö/Brief.rtf", "Recorder TaskScript Begrüßung.vts"}));
    }

    void firstEntryLacksStartup()
    {
        addEntry(QStringLiteral("A"), QStringLiteral("true"), QStringLiteral("QnTest.NoStartup"));
        addEntry(QStringLiteral("B"), QStringLiteral("true"), QStringLiteral("QnTest.Recorder"));
        m_host->NotifyStartup();
        QCOMPARE(calls(), QStringList{});
        m_host->NotifyExport(QStringLiteral("/x.wav"));
        QCOMPARE(calls(), (QStringList{"NoStartup Export /x.wav", "Recorder Export /x.wav"}));
    }

    // An entry in front of a recording one whose object cannot be made or
    // whose member fails: the events that stop, stop; Export and the filter
    // chain go on.
    void failingEntryInFront_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::newRow("not registered") << "QnTest.Nirgends";
        QTest::newRow("no such class") << "QnTest.Unbekannt";
        QTest::newRow("no point") << "QnTest";
        QTest::newRow("empty") << "";
        QTest::newRow("member fails") << "QnTest.Failing";
    }

    void failingEntryInFront()
    {
        QFETCH(QString, objectName);
        addEntry(QStringLiteral("A"), QStringLiteral("true"), objectName);
        addEntry(QStringLiteral("B"), QStringLiteral("true"), QStringLiteral("QnTest.Bracket"));
        m_host->NotifyClose();
        m_host->NotifySaveFile(QStringLiteral("/s"));
        m_host->NotifyTaskScript(QStringLiteral("t.vts"));
        m_host->NotifyExport(QStringLiteral("/e.wav"));
        QCOMPARE(m_host->ApplyTextFilters(QStringLiteral("Hallo")), QStringLiteral("[Hallo]"));
        QStringList bracket;
        for (const QString &line : calls()) {
            if (line.startsWith(QLatin1String("Bracket")))
                bracket << line;
        }
        QCOMPARE(bracket, (QStringList{"Bracket Export /e.wav", "Bracket FilterText Hallo"}));
    }

    void filterChain()
    {
        addEntry(QStringLiteral("1"), QStringLiteral("true"), QStringLiteral("QnTest.Bracket"));
        addEntry(QStringLiteral("2"), QStringLiteral("true"), QStringLiteral("QnTest.ChangeThenFail"));
        addEntry(QStringLiteral("3"), QStringLiteral("TRUE"), QStringLiteral("QnTest.Bracket"));
        // A failure after changing the argument: the text from before it goes on.
        QCOMPARE(m_host->ApplyTextFilters(QStringLiteral("Grüß Gott")), QStringLiteral("[[Grüß Gott]]"));
        // The result counts, not what was put into the argument.
        addEntry(QStringLiteral("4"), QStringLiteral("true"), QStringLiteral("QnTest.ReplaceAndReturn"));
        addEntry(QStringLiteral("5"), QStringLiteral("true"), QStringLiteral("QnTest.Bracket"));
        QCOMPARE(m_host->ApplyTextFilters(QStringLiteral("x")), QStringLiteral("[Ergebnis]"));
    }

    void noExtensionsKey()
    {
        QCOMPARE(m_host->ApplyTextFilters(QStringLiteral(" a\r\nb ")), QStringLiteral(" a\r\nb "));
        allEvents();
        QCOMPARE(calls(), QStringList{});
        QCOMPARE(m_log, QStringList{});
    }

    void byReferenceArgumentComesBackReplaced()
    {
        QList<ExtensionArgument> args{{QStringLiteral("vorher"), true, true}};
        ExtensionCall call = m_loader->invoke(QStringLiteral("QnTest.ReplaceAndReturn"), QStringLiteral("FilterText"), args);
        QCOMPARE(call.status, ExtensionCall::Status::Ok);
        QCOMPARE(call.result, QStringLiteral("Ergebnis"));
        QCOMPARE(args.at(0).text, QStringLiteral("ersetzt"));

        args = {{QStringLiteral("vorher"), true, true}};
        call = m_loader->invoke(QStringLiteral("QnTest.ChangeThenFail"), QStringLiteral("FilterText"), args);
        QCOMPARE(call.status, ExtensionCall::Status::Failed);
        QCOMPARE(args.at(0).text, QStringLiteral("verändert"));

        args = {{QStringLiteral("vorher"), true, true}};
        call = m_loader->invoke(QStringLiteral("QnTest.Recorder"), QStringLiteral("Ausdrucken"), args);
        QCOMPARE(call.status, ExtensionCall::Status::UnknownMember);
    }

    // Libraries the loader refuses: nothing of them runs, the reason goes to
    // the log once, and the next event tries again without repeating it.
    // Libraries the loader refuses, each with its real reason: exactly the
    // registered file is loaded (%D is a folder holding libqn_testplugin.so,
    // a symbolic-link loop "schleife.so" and a folder "ordner.so").
    void refusedLibraries_data()
    {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QStringLiteral("/nicht/vorhanden/libfehlt.so") << "Die Datei gibt es nicht";
        QTest::newRow("name variant") << "%D/qn_testplugin.so" << "Die Datei gibt es nicht";
        QTest::newRow("without suffix") << "%D/libqn_testplugin" << "Die Datei gibt es nicht";
        QTest::newRow("symlink loop") << "%D/schleife.so" << "Schleife symbolischer Verknüpfungen";
        QTest::newRow("folder") << "%D/ordner.so" << "ein Ordner";
        QTest::newRow("relative") << "libqn_testplugin.so" << "nicht absolut";
        QTest::newRow("foreign ABI") << TESTPLUGIN_FOREIGNABI << "Schnittstellenversion 99";
        QTest::newRow("missing symbol") << TESTPLUGIN_NOFREE << "Einsprungpunkte: qn_free";
    }

    void refusedLibraries()
    {
        QFETCH(QString, library);
        QFETCH(QString, reason);
        const QString alias = m_dir->filePath(QStringLiteral("alias"));
        QVERIFY(QDir().mkpath(alias + QStringLiteral("/ordner.so")));
        QVERIFY(QFile::copy(QStringLiteral(TESTPLUGIN), alias + QStringLiteral("/libqn_testplugin.so")));
        QCOMPARE(::symlink("schleife2.so", QFile::encodeName(alias + QStringLiteral("/schleife.so")).constData()), 0);
        QCOMPARE(::symlink("schleife.so", QFile::encodeName(alias + QStringLiteral("/schleife2.so")).constData()), 0);
        library.replace(QStringLiteral("%D"), alias);
        registerClass(QStringLiteral("Kaputt.Recorder"), library);
        addEntry(QStringLiteral("A"), QStringLiteral("true"), QStringLiteral("Kaputt.Recorder"));
        addEntry(QStringLiteral("B"), QStringLiteral("true"), QStringLiteral("QnTest.Recorder"));
        m_host->NotifyExport(QStringLiteral("/e.wav"));
        m_host->NotifyExport(QStringLiteral("/e.wav"));
        QCOMPARE(calls(), (QStringList{"Recorder Export /e.wav", "Recorder Export /e.wav"}));
        QCOMPARE(m_log.size(), 1);
        QVERIFY2(m_log.first().contains(reason), qPrintable(m_log.first()));
        // German through and through: no text of the loader's own.
        QVERIFY2(!m_log.first().contains(QLatin1String("error"), Qt::CaseInsensitive), qPrintable(m_log.first()));
        QCOMPARE(m_notices, QStringList{});
        QCOMPARE(active(QStringLiteral("A")), QStringLiteral("true"));
    }

    // An extension without the event is normal: nothing is said.
    void unknownMemberSaysNothing()
    {
        addEntry(QStringLiteral("A"), QStringLiteral("true"), QStringLiteral("QnTest.NoStartup"));
        m_host->NotifyStartup();
        m_host->NotifyStartup();
        QCOMPARE(m_host->ApplyTextFilters(QStringLiteral("x")), QStringLiteral("x"));
        QCOMPARE(m_log, QStringList{});
    }

    // A plug-in that crashes or hangs takes only the extension-host process
    // down: this process goes on, the text passes the broken filter
    // unchanged, the extension is switched off and the user told once which
    // one and why; the others go on working in a fresh process.
    void crashOrHangSwitchesTheExtensionOff_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("why");
        QTest::newRow("crash") << "QnTest.Crash" << "beim Aufbereiten des Textes zum Vorlesen abgestürzt (Speicherzugriffsfehler, Signal 11)";
        QTest::newRow("hang") << "QnTest.Hang" << "beim Aufbereiten des Textes zum Vorlesen nach 10 Sekunden nicht geantwortet";
    }

    void crashOrHangSwitchesTheExtensionOff()
    {
        QFETCH(QString, objectName);
        QFETCH(QString, why);
        addEntry(QStringLiteral("A"), QStringLiteral("true"), objectName);
        QVERIFY(m_reg->WriteString(PluginExtensionHost::ExtensionsKey + QStringLiteral("\\A"),
                                   QStringLiteral("DisplayName"), QStringLiteral("Wackelkandidat")));
        addEntry(QStringLiteral("B"), QStringLiteral("true"), QStringLiteral("QnTest.Bracket"));
        QCOMPARE(m_host->ApplyTextFilters(QStringLiteral("Hallo")), QStringLiteral("[Hallo]"));
        QCOMPARE(active(QStringLiteral("A")), QStringLiteral("false"));
        QCOMPARE(m_notices.size(), 1);
        QVERIFY2(m_notices.first().startsWith(QLatin1String("Erweiterung ausgeschaltet|Die Erweiterung \"Wackelkandidat\" ")),
                 qPrintable(m_notices.first()));
        QVERIFY2(m_notices.first().contains(why), qPrintable(m_notices.first()));
        // Switched off: never called again, nothing said again.
        QCOMPARE(m_host->ApplyTextFilters(QStringLiteral("Hallo")), QStringLiteral("[Hallo]"));
        m_host->NotifyClose();
        QCOMPARE(m_notices.size(), 1);
        QStringList broken;
        for (const QString &line : calls()) {
            if (!line.startsWith(QLatin1String("Bracket")))
                broken << line;
        }
        QCOMPARE(broken.size(), 1);
        QCOMPARE(m_log, QStringList{});
        // Switched on again in the manager, it counts from the next event on.
        QVERIFY(m_reg->WriteString(PluginExtensionHost::ExtensionsKey + QStringLiteral("\\A"), QStringLiteral("Active"),
                                   QStringLiteral("true")));
        m_host->NotifyClose();
        QCOMPARE(calls().size() - calls().filter(QStringLiteral("Bracket")).size(), 2);
    }

    // A plug-in that asks the user in a window of its own is not hanging,
    // however long the user takes.
    void aPluginWindowIsNoHang()
    {
        makeHost(true);
        addEntry(QStringLiteral("A"), QStringLiteral("true"), QStringLiteral("QnTest.Window"));
        addEntry(QStringLiteral("B"), QStringLiteral("true"), QStringLiteral("QnTest.Recorder"));
        m_host->NotifyNewFile();
        QCOMPARE(calls(), (QStringList{"Window shown", "Recorder NewFile"}));
        QCOMPARE(active(QStringLiteral("A")), QStringLiteral("true"));
        QCOMPARE(m_notices, QStringList{});
    }

    // What the editor makes of an extension-host process that answers
    // nonsense or ends (a stand-in program writing to the socket, fd 3).
    void answersThatAreNoAnswer_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<ExtensionProcess::Outcome>("outcome");
        QTest::addColumn<QString>("detail");
        QTest::newRow("unknown kind") << R"(printf '\003\000\000\000Xabc' >&3)" << ExtensionProcess::Outcome::Broken << "";
        // A reply for no argument to a call with one.
        QTest::newRow("wrong argument count")
            << R"(printf '\017\000\000\000R\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000' >&3)"
            << ExtensionProcess::Outcome::Broken << "";
        QTest::newRow("longer than sent") << R"(printf '\377\377\377\077Rabc' >&3)" << ExtensionProcess::Outcome::Crashed
                                          << "unerwartet beendet mit Code 0";
        QTest::newRow("beyond any length") << R"(printf '\377\377\377\377R' >&3)" << ExtensionProcess::Outcome::Broken << "";
        QTest::newRow("ends") << "exit 3" << ExtensionProcess::Outcome::Crashed << "unerwartet beendet mit Code 3";
        QTest::newRow("aborts") << "kill -ABRT $$" << ExtensionProcess::Outcome::Crashed << "Programmabbruch, Signal 6";
    }

    void answersThatAreNoAnswer()
    {
        QFETCH(QString, script);
        QFETCH(ExtensionProcess::Outcome, outcome);
        QFETCH(QString, detail);
        const QString program = m_dir->filePath(QStringLiteral("host.sh"));
        QFile f(program);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + script.toUtf8() + "\n");
        f.close();
        QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        ExtensionProcess process(program, *m_clock);
        const ExtensionProcess::Result result =
            process.call("/x/lib.so", "Klasse", "FilterText", {{"Text", true, false}});
        QCOMPARE(result.outcome, outcome);
        QCOMPARE(result.detail, detail);
    }

    // A process that ended after its answer (say, a plug-in's own thread
    // crashed it) is replaced at the next call, which is answered, not taken
    // for a crash of the extension called next.
    void processEndedBetweenCalls()
    {
        const QString program = m_dir->filePath(QStringLiteral("host.sh"));
        QFile f(program);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nprintf '\\022\\000\\000\\000R\\000\\002\\000\\000\\000ok"
                "\\000\\000\\000\\000\\000\\000\\001\\000\\000\\000\\000' >&3\n");
        f.close();
        QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        ExtensionProcess process(program, *m_clock);
        const auto first = process.call("/x/lib.so", "Klasse", "FilterText", {{"Text", true, false}});
        QCOMPARE(first.outcome, ExtensionProcess::Outcome::Answered);
        QCOMPARE(first.reply.result, QStringLiteral("ok"));
        const auto zombie = [&process] {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(process.processId()));
            return stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") Z ");
        };
        QTRY_VERIFY(zombie());
        const auto second = process.call("/x/lib.so", "Klasse", "FilterText", {{"Text", true, false}});
        QCOMPARE(second.outcome, ExtensionProcess::Outcome::Answered);
    }

    // Without the extension-host program no extension runs; that is said
    // once, nothing is switched off, and texts pass unchanged.
    void withoutTheHostProgram()
    {
        m_host.reset();
        m_loader.reset();
        m_process = std::make_unique<ExtensionProcess>(m_dir->filePath(QStringLiteral("fehlt")), *m_clock);
        m_loader = std::make_unique<ExtensionLoader>(*m_reg, *m_process, [this](const QString &line) { m_log << line; });
        m_host = std::make_unique<PluginExtensionHost>(*m_reg, *m_loader, [this](const QString &, const QString &text) { m_notices << text; });
        addEntry(QStringLiteral("A"), QStringLiteral("true"), QStringLiteral("QnTest.Bracket"));
        QCOMPARE(m_host->ApplyTextFilters(QStringLiteral("Hallo")), QStringLiteral("Hallo"));
        QCOMPARE(m_host->ApplyTextFilters(QStringLiteral("Hallo")), QStringLiteral("Hallo"));
        QCOMPARE(m_log.size(), 1);
        QVERIFY2(m_log.first().contains(QLatin1String("quenora-extension-host fehlt")), qPrintable(m_log.first()));
        QCOMPARE(active(QStringLiteral("A")), QStringLiteral("true"));
        QCOMPARE(m_notices, QStringList{});
    }

    // The manager is another process: what it writes into the hive counts
    // from the next event on.
    void switchedOffByAnotherProcess()
    {
        addEntry(QStringLiteral("Rec"), QStringLiteral("true"), QStringLiteral("QnTest.Recorder"));
        m_host->NotifyNewFile();
        QProcess qnreg;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUENORA_HOME"), m_dir->path());
        qnreg.setProcessEnvironment(env);
        qnreg.start(QStringLiteral(QNREG_BINARY),
                    {QStringLiteral("set"), PluginExtensionHost::ExtensionsKey + QStringLiteral("\\Rec"),
                     QStringLiteral("Active"), QStringLiteral("false")});
        QVERIFY(qnreg.waitForFinished(30000));
        QCOMPARE(qnreg.exitCode(), 0);
        m_host->NotifyNewFile();
        QCOMPARE(m_host->ApplyTextFilters(QStringLiteral("a")), QStringLiteral("a"));
        QCOMPARE(calls(), QStringList{"Recorder NewFile"});
    }
};

QTEST_GUILESS_MAIN(tst_ExtensionHost)
#include "tst_extensionhost.moc"
