// The extension host inside the real programs: quenora on a virtual X display
// delivers its events to a registered plug-in library, and quenora-speak
// passes its text through the active filters.
#include "SqliteHive.h"
#include "TestWindowManager.h"
#include "clsRegistryAccess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class tst_ExtensionsEndToEnd : public QObject
{
    Q_OBJECT

    const QString kExtensions = QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Quenora\\Extensions");
    QString m_xdotool;

    void registerExtension(clsRegistryAccess &reg, const QString &entry, const QString &identifier,
                           const QString &library)
    {
        QVERIFY(reg.WriteString(QStringLiteral("HKCR\\") + identifier + QStringLiteral("\\InprocServer32"),
                                QStringLiteral("@"), library));
        QVERIFY(reg.WriteString(kExtensions + QLatin1Char('\\') + entry, QStringLiteral("Active"), QStringLiteral("true")));
        QVERIFY(reg.WriteString(kExtensions + QLatin1Char('\\') + entry, QStringLiteral("ObjectName"), identifier));
    }

    static QStringList lines(const QString &file)
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QString xdo(const QStringList &args)
    {
        QProcess p;
        p.start(m_xdotool, args);
        p.waitForFinished(10000);
        return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
    }

    // A visible window of the process other than its main window: the dialog
    // it has just opened.
    QString dialogOf(const QProcess &process, const QString &mainWindow)
    {
        const QStringList windows = xdo({"search", "--onlyvisible", "--pid", QString::number(process.processId())})
                                        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &w : windows) {
            if (w.trimmed() != mainWindow)
                return w.trimmed();
        }
        return QString();
    }

    bool shown(const QProcess &process, const QString &window)
    {
        return xdo({"search", "--onlyvisible", "--pid", QString::number(process.processId())})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
            .contains(window);
    }

    // Why the editor cannot be driven here; empty when it can.
    QString cannotDriveTheEditor()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            return QStringLiteral("needs an X display (run under xvfb-run)");
        m_xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (m_xdotool.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
            return QStringLiteral("xdotool and openbox are needed");
        return QString();
    }

    // Starts the window manager, then quenora in home with the test
    // plug-in's log in calls, without a closing prompt or a start page: the
    // test drives the document. The window manager runs before the first
    // window maps: a window mapped while openbox takes over the display can
    // stay unmapped.
    void startEditor(QProcess &wm, QProcess &quenora, const QString &home, const QString &calls)
    {
        {
            clsRegistryAccess reg(std::make_shared<SqliteHive>(QDir(home).filePath(QStringLiteral("registry.db"))));
            const QString settings = QStringLiteral("HKCU\\Software\\VB and VBA Program Settings\\Quenora\\Settings");
            QVERIFY(reg.WriteString(settings, QStringLiteral("Survey"), QStringLiteral("false")));
            QVERIFY(reg.WriteString(settings, QStringLiteral("ShowWB"), QStringLiteral("0")));
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString wmProblem = TestWindowManager::start(wm, env);
        QVERIFY2(wmProblem.isEmpty(), qPrintable(wmProblem));
        env.insert(QStringLiteral("QUENORA_HOME"), home);
        env.insert(QStringLiteral("QUENORA_AUDIO"), QStringLiteral("null"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("QN_TESTPLUGIN_LOG"), calls);
        quenora.setProcessEnvironment(env);
        quenora.setProcessChannelMode(QProcess::ForwardedChannels);
        quenora.start(QStringLiteral(QUENORA_EXE), {});
        QVERIFY(quenora.waitForStarted());
    }

    // The first visible window of the process whose name matches.
    QString windowNamed(const QProcess &process, const QString &name)
    {
        return xdo({"search", "--all", "--onlyvisible", "--pid", QString::number(process.processId()), "--name", name})
            .section(QLatin1Char('\n'), 0, 0);
    }

    // Types a file name into a file dialog and accepts it, as a user would
    // who looks at the screen: on a busy machine the first keys can come
    // before the dialog has the focus, and while the name's completion list
    // is open Return only takes the completion. So the name is typed once
    // the dialog is the active window, and what did not take is done again.
    void enterFileName(const QProcess &process, const QString &dialog, const QString &name)
    {
        for (int attempt = 0; attempt < 6 && shown(process, dialog); ++attempt) {
            if (attempt % 2 == 0) {
                xdo({"windowactivate", "--sync", dialog});
                const QDeadlineTimer active(5000);
                while (xdo({"getactivewindow"}) != dialog && !active.hasExpired())
                    QTest::qWait(100);
                QTest::qWait(200);
                xdo({"key", "--clearmodifiers", "ctrl+a"});
                xdo({"type", "--delay", "5", name});
            }
            xdo({"key", "Return"});
            const QDeadlineTimer settled(3000);
            while (shown(process, dialog) && !settled.hasExpired())
                QTest::qWait(100);
        }
    }

private slots:
    void eventsReachThePlugin()
    {
        if (const QString why = cannotDriveTheEditor(); !why.isEmpty())
            QSKIP(qPrintable(why));

        QTemporaryDir home;
        const QString calls = home.filePath(QStringLiteral("calls.txt"));
        const QString doc = home.filePath(QStringLiteral("Brief an Oma.txt"));
        {
            QFile f(doc);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("Liebe Oma,\r\nwir kommen am Sonntag.\r\n");
        }
        {
            clsRegistryAccess reg(std::make_shared<SqliteHive>(home.filePath(QStringLiteral("registry.db"))));
            registerExtension(reg, QStringLiteral("Test"), QStringLiteral("QnTest.Recorder"), QStringLiteral(TESTPLUGIN));
        }

        QProcess wm;
        QProcess quenora;
        startEditor(wm, quenora, home.path(), calls);
        if (QTest::currentTestFailed())
            return;

        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(!(window = windowNamed(quenora, "Quenora")).isEmpty(), 60000);
        QTRY_COMPARE_WITH_TIMEOUT(lines(calls), QStringList{"Recorder Startup"}, 10000);

        // Open the document through the file dialog.
        xdo({"windowactivate", "--sync", window});
        xdo({"key", "--clearmodifiers", "ctrl+o"});
        QString dialog;
        QTRY_VERIFY_WITH_TIMEOUT(!(dialog = dialogOf(quenora, window)).isEmpty(), 20000);
        enterFileName(quenora, dialog, doc);
        QTRY_COMPARE_WITH_TIMEOUT(lines(calls).value(1), QStringLiteral("Recorder OpenFile ") + doc, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(dialogOf(quenora, window).isEmpty(), 20000);

        // Save it under a new name through the save dialog.
        const QString copy = home.filePath(QStringLiteral("Brief an Oma, Abschrift.txt"));
        xdo({"windowactivate", "--sync", window});
        xdo({"key", "--clearmodifiers", "ctrl+s"});
        QTRY_VERIFY_WITH_TIMEOUT(!(dialog = dialogOf(quenora, window)).isEmpty(), 20000);
        enterFileName(quenora, dialog, copy);
        QTRY_COMPARE_WITH_TIMEOUT(lines(calls).value(2), QStringLiteral("Recorder SaveFile ") + copy, 20000);
        QVERIFY(QFile::exists(copy));
        QTRY_VERIFY_WITH_TIMEOUT(dialogOf(quenora, window).isEmpty(), 20000);

        // The window manager's close request, as the user's click on the cross.
        xdo({"windowactivate", "--sync", window});
        xdo({"key", "--clearmodifiers", "alt+F4"});
        QVERIFY(quenora.waitForFinished(20000));
        QCOMPARE(lines(calls), (QStringList{"Recorder Startup", "Recorder OpenFile " + doc, "Recorder SaveFile " + copy,
                                            "Recorder Close"}));
        TestWindowManager::stop(wm);
    }

    // A plug-in that crashes at the start no longer takes the editor with
    // it: the window comes up, the user is told which extension it was, and
    // the extension is switched off.
    void editorStartsDespiteACrashingStartup()
    {
        if (const QString why = cannotDriveTheEditor(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QTemporaryDir home;
        const QString calls = home.filePath(QStringLiteral("calls.txt"));
        {
            clsRegistryAccess reg(std::make_shared<SqliteHive>(home.filePath(QStringLiteral("registry.db"))));
            registerExtension(reg, QStringLiteral("Absturz"), QStringLiteral("QnTest.Crash"), QStringLiteral(TESTPLUGIN));
            QVERIFY(reg.WriteString(kExtensions + QStringLiteral("\\Absturz"), QStringLiteral("DisplayName"),
                                    QStringLiteral("Absturz beim Start")));
        }
        QProcess wm;
        QProcess quenora;
        startEditor(wm, quenora, home.path(), calls);
        if (QTest::currentTestFailed())
            return;

        // The notice comes first (the start event is sent while the window
        // loads), then the window.
        QString notice;
        QTRY_VERIFY_WITH_TIMEOUT(!(notice = windowNamed(quenora, "Erweiterung ausgeschaltet")).isEmpty(), 60000);
        QCOMPARE(lines(calls), QStringList{"Crash Startup"});
        xdo({"windowactivate", "--sync", notice});
        xdo({"key", "Return"});
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(!(window = windowNamed(quenora, "^Quenora")).isEmpty(), 60000);
        QCOMPARE(quenora.state(), QProcess::Running);
        {
            clsRegistryAccess reg(std::make_shared<SqliteHive>(home.filePath(QStringLiteral("registry.db"))));
            QCOMPARE(reg.ReadString(kExtensions + QStringLiteral("\\Absturz"), QStringLiteral("Active"), QString()),
                     QStringLiteral("false"));
        }
        xdo({"windowactivate", "--sync", window});
        xdo({"key", "--clearmodifiers", "alt+F4"});
        QVERIFY(quenora.waitForFinished(20000));
        QCOMPARE(quenora.exitStatus(), QProcess::NormalExit);
        QCOMPARE(lines(calls), QStringList{"Crash Startup"});
        TestWindowManager::stop(wm);
    }

    // quenora-speak with a filter that crashes in front of the dialect: the
    // text passes it unchanged, the dialect still applies, stderr says once
    // which extension crashed, and the exit code is that of a good run.
    void speakSurvivesACrashingFilter()
    {
#ifndef QUENORA_SPEAK_EXE
        QSKIP("quenora-speak is not built");
#else
        QTemporaryDir home;
        {
            clsRegistryAccess reg(std::make_shared<SqliteHive>(home.filePath(QStringLiteral("registry.db"))));
            registerExtension(reg, QStringLiteral("Absturz"), QStringLiteral("QnTest.Crash"), QStringLiteral(TESTPLUGIN));
            registerExtension(reg, QStringLiteral("Bavarize"), QStringLiteral("Bavarize.Dialect"),
                              QStringLiteral(BAVARIZE_PLUGIN));
        }
        QProcess speak;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // The plug-in's segmentation fault, not the sanitizer's abort, is what the host reports.
        env.insert(QStringLiteral("ASAN_OPTIONS"), env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":handle_segv=0"));
        env.insert(QStringLiteral("QUENORA_HOME"), home.path());
        env.insert(QStringLiteral("QUENORA_AUDIO"), QStringLiteral("null"));
        speak.setProcessEnvironment(env);
        speak.start(QStringLiteral(QUENORA_SPEAK_EXE), QStringList{"--dry-run", "Hallo, ich bin da."});
        QVERIFY(speak.waitForFinished(60000));
        QCOMPARE(speak.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(speak.readAllStandardOutput()), QStringLiteral("  servus , i bin doh  ,  \n"));
        const QString err = QString::fromUtf8(speak.readAllStandardError());
        QCOMPARE(err.count(QStringLiteral("Die Erweiterung \"Absturz\" ist beim Aufbereiten des Textes zum Vorlesen "
                                           "abgestürzt (Speicherzugriffsfehler, Signal 11).")),
                 1);
        QVERIFY2(!err.contains(QLatin1String("Quenora-Erweiterung")), qPrintable(err));
        clsRegistryAccess reg(std::make_shared<SqliteHive>(home.filePath(QStringLiteral("registry.db"))));
        QCOMPARE(reg.ReadString(kExtensions + QStringLiteral("\\Absturz"), QStringLiteral("Active"), QString()),
                 QStringLiteral("false"));
#endif
    }

    void speakDryRunShowsTheFilteredText_data()
    {
        QTest::addColumn<QString>("active");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("printed");
        const QString text = QStringLiteral("Hallo, ich bin da. Auf Wiedersehen!");
        QTest::newRow("active") << "true" << QStringList{} << "  servus , i bin doh  , pfiad die !  ";
        QTest::newRow("--no-filters") << "true" << QStringList{"--no-filters"} << " " + text + " ";
        QTest::newRow("switched off") << "false" << QStringList{} << " " + text + " ";
    }

    void speakDryRunShowsTheFilteredText()
    {
#ifndef QUENORA_SPEAK_EXE
        QSKIP("quenora-speak is not built");
#else
        QFETCH(QString, active);
        QFETCH(QStringList, options);
        QFETCH(QString, printed);
        QTemporaryDir home;
        {
            clsRegistryAccess reg(std::make_shared<SqliteHive>(home.filePath(QStringLiteral("registry.db"))));
            registerExtension(reg, QStringLiteral("Bavarize"), QStringLiteral("Bavarize.Dialect"),
                              QStringLiteral(BAVARIZE_PLUGIN));
            QVERIFY(reg.WriteString(kExtensions + QStringLiteral("\\Bavarize"), QStringLiteral("Active"), active));
        }
        QProcess speak;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUENORA_HOME"), home.path());
        env.insert(QStringLiteral("QUENORA_AUDIO"), QStringLiteral("null"));
        speak.setProcessEnvironment(env);
        speak.start(QStringLiteral(QUENORA_SPEAK_EXE),
                    QStringList{"--dry-run"} + options + QStringList{"Hallo, ich bin da. Auf Wiedersehen!"});
        QVERIFY(speak.waitForFinished(60000));
        QCOMPARE(speak.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(speak.readAllStandardOutput()), printed + QLatin1Char('\n'));
#endif
    }
};

QTEST_GUILESS_MAIN(tst_ExtensionsEndToEnd)
#include "tst_extensions_e2e.moc"
