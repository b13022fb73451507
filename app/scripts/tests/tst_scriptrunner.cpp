#include "ScriptLibrary.h"
#include "ScriptRig.h"
#include "ScriptTexts.h"

#include <QTest>
#include <QTimer>

class tst_ScriptRunner : public QObject
{
    Q_OBJECT
private slots:
    void emptyScriptReportsHintAndEnd_data();
    void emptyScriptReportsHintAndEnd();
    void scriptsSwitchedOff();
    void unreadableScriptEndsCleanly();
    void stoppEndsAfterItsLine();
    void errorPromptNeinEndsTheRun();
    void runningSignStaysUntilTheEnd();
    void lfOnlyFileIsOneLine();
    void wiederholenKeepsTheCallDepth();
    void wiederholenRereadsTheFile();
    void springe_data();
    void springe();
    void endlessJumpHearsEsc();
    void escDuringWartenSkipsTheNextLine();
    void library_data();
    void library();
    void selectedItemFollowsTheListing();
};

void tst_ScriptRunner::emptyScriptReportsHintAndEnd_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("only comments and words") << QByteArray("// Sprechen();\r\n#Text(x);\r\nStopp\r\n");
}

void tst_ScriptRunner::emptyScriptReportsHintAndEnd()
{
    QFETCH(QByteArray, content);
    ScriptRig rig;
    rig.script("leer.vts", content);
    rig.run("leer.vts", 3);
    // The texts as the user reads them, not only as the program names them.
    QCOMPARE(rig.host.statusHistory,
             (QStringList{QStringLiteral("Drücken Sie ESC um die Ausführung von 'leer.vts' zu beenden."),
                          QStringLiteral("Ausführung des Taskscripts beendet.")}));
    QVERIFY(!rig.host.running);
    QCOMPARE(rig.runner->CurrentScriptTaskId(), 3);
}

void tst_ScriptRunner::scriptsSwitchedOff()
{
    ScriptRig rig;
    rig.settings->write(SettingKeys::VTSAllow, "0");
    rig.script("a.vts", "Text(x);\r\n");
    rig.host.running = true; // left as it was
    rig.run("a.vts");
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.first().text,
             QStringLiteral("Sie haben das Ausführen von Voice Taskscripts in den Einstellungen unterbunden. Die "
                            "Ausführung wurde abgebrochen."));
    QCOMPARE(rig.dialogs.messages.first().title, QStringLiteral("Warnung"));
    QCOMPARE(rig.host.statusHistory, QStringList());
    QVERIFY(rig.host.running);
}

void tst_ScriptRunner::unreadableScriptEndsCleanly()
{
    ScriptRig rig;
    rig.host.running = true;
    rig.run("fehlt.vts");
    QVERIFY(!rig.host.running);
    QCOMPARE(rig.host.statusHistory.size(), 1);
    QVERIFY(rig.host.status.startsWith(QStringLiteral("Das Taskscript 'fehlt.vts' kann nicht gelesen werden")));

    // No name: the bare scripts folder is never read as a script.
    rig.run(QString());
    QCOMPARE(rig.host.status, ScriptTexts::NoScriptChosen);
}

void tst_ScriptRunner::stoppEndsAfterItsLine()
{
    ScriptRig rig;
    rig.script("s.vts", "Text(1);\r\nStopp();\r\nText(2);\r\n");
    rig.run("s.vts");
    QCOMPARE(rig.host.statusHistory,
             (QStringList{ScriptTexts::EscHint("s.vts"), "1", ScriptTexts::RunFinished}));
    QCOMPARE(rig.speaker.loudspeakerStops, 1);
}

void tst_ScriptRunner::errorPromptNeinEndsTheRun()
{
    ScriptRig rig;
    rig.script("e.vts", "Warten(abc);\r\nText(2);\r\nWarten(x);\r\nText(3);\r\n");
    rig.dialogs.answers << Dialogs::Answer::Yes << Dialogs::Answer::No;
    rig.run("e.vts");
    QCOMPARE(rig.dialogs.messages.size(), 2);
    QCOMPARE(rig.host.statusHistory, (QStringList{ScriptTexts::EscHint("e.vts"), "2", ScriptTexts::RunFinished}));
    // Each prompt says which script and which line.
    QCOMPARE(rig.dialogs.messages.at(0).text,
             QStringLiteral("Folgender Fehler trat während der Ausführung des Taskscripts 'e.vts' in Zeile 1 auf:"
                            "\r\n\r\n'abc' ist keine gültige Zahl.\r\n\r\nMöchten Sie mit der Ausführung fortfahren?"));
    QVERIFY(rig.dialogs.messages.at(1).text.contains(QLatin1String("'e.vts' in Zeile 3 auf")));
}

void tst_ScriptRunner::runningSignStaysUntilTheEnd()
{
    ScriptRig rig;
    rig.script("lang.vts", "Text(1);\r\nWarten(60);\r\nText(2);\r\n");
    // While the script waits, the status bar's text has long moved on; the
    // sign that it runs is still there.
    QString signDuringWait;
    QTimer::singleShot(0, [&] {
        signDuringWait = rig.host.runningScript;
        rig.clock.advanceSeconds(60);
    });
    rig.run("lang.vts");
    QCOMPARE(signDuringWait, QStringLiteral("lang.vts"));
    QCOMPARE(rig.host.runningHistory, (QStringList{"lang.vts", QString()}));
    QCOMPARE(ScriptTexts::Running("lang.vts"), QStringLiteral("Taskscript 'lang.vts' läuft (ESC beendet)"));
}

void tst_ScriptRunner::lfOnlyFileIsOneLine()
{
    ScriptRig rig;
    rig.script("lf.vts", "Text(a);\nText(b);\n");
    rig.run("lf.vts");
    QCOMPARE(rig.host.statusHistory.size(), 3);
    QCOMPARE(rig.host.statusHistory.at(1), QStringLiteral("a\nText"));
}

void tst_ScriptRunner::wiederholenKeepsTheCallDepth()
{
    ScriptRig rig;
    rig.script("loop.vts", "Text(x);\r\nWenn($Text,weiter);\r\nWiederholen();\r\n");
    rig.host.document = QStringLiteral("weiter");
    int passes = 0;
    quintptr firstDepth = 0;
    quintptr lastDepth = 0;
    // Every pass shows "x"; the frame address of that call is the depth.
    const auto countPass = [&] {
        volatile char marker = 0;
        const quintptr depth = quintptr(&marker);
        if (passes == 0)
            firstDepth = depth;
        lastDepth = depth;
        if (++passes == 10000)
            rig.host.document = QStringLiteral("halt");
    };
    rig.host.statusHook = [&](const QString &text) {
        if (text == QLatin1String("x"))
            countPass();
    };
    rig.run("loop.vts");
    QCOMPARE(passes, 10000);
    QCOMPARE(lastDepth, firstDepth);
    QCOMPARE(rig.host.status, ScriptTexts::RunFinished);
    QVERIFY(!rig.host.running);
}

void tst_ScriptRunner::wiederholenRereadsTheFile()
{
    ScriptRig rig;
    rig.script("r.vts", "Text(eins);\r\nWiederholen();\r\n");
    rig.host.statusHook = [&](const QString &text) {
        if (text == QLatin1String("eins"))
            rig.script("r.vts", "Text(zwei);\r\n");
    };
    rig.run("r.vts");
    QCOMPARE(rig.host.statusHistory,
             (QStringList{ScriptTexts::EscHint("r.vts"), "eins", ScriptTexts::EscHint("r.vts"), "zwei",
                          ScriptTexts::RunFinished}));
}

void tst_ScriptRunner::springe_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<int>("prompts");
    QTest::newRow("forward") << QByteArray("Text(1);\r\nSpringe(4);\r\nText(3);\r\nText(4);")
                             << QStringList{"1", "4"} << 0;
    QTest::newRow("beyond the end") << QByteArray("Text(1);\r\nSpringe(99);\r\nText(3);") << QStringList{"1"} << 0;
    QTest::newRow("backwards once") << QByteArray("Text(a);\r\nWenn($Text,);\r\nDokument(x,0);\r\nSpringe(1);")
                                    << QStringList{"a", "a"} << 0;
    QTest::newRow("zero asks") << QByteArray("Springe(0);\r\nText(2);") << QStringList{"2"} << 1;
    QTest::newRow("word asks") << QByteArray("Springe(drei);\r\nText(2);") << QStringList{"2"} << 1;
}

void tst_ScriptRunner::springe()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, shown);
    QFETCH(int, prompts);
    ScriptRig rig;
    rig.dialogs.answers << Dialogs::Answer::Yes;
    rig.script("j.vts", content);
    rig.run("j.vts");
    QStringList texts = rig.host.statusHistory;
    texts.removeAll(ScriptTexts::EscHint("j.vts"));
    texts.removeAll(ScriptTexts::RunFinished);
    QCOMPARE(texts, shown);
    QCOMPARE(rig.dialogs.messages.size(), prompts);
}

void tst_ScriptRunner::endlessJumpHearsEsc()
{
    ScriptRig rig;
    rig.script("ewig.vts", "Text(a);\r\nSpringe(1);\r\n");
    QTimer::singleShot(20, [&] { rig.host.running = false; });
    rig.run("ewig.vts");
    QCOMPARE(rig.host.status, ScriptTexts::RunFinished);
    QVERIFY(rig.host.statusHistory.size() > 3);
}

void tst_ScriptRunner::escDuringWartenSkipsTheNextLine()
{
    ScriptRig rig;
    rig.script("w.vts", "Text(vorher);\r\nWarten(60);\r\nText(nachher);\r\n");
    QTimer::singleShot(0, [&] {
        rig.clock.advanceSeconds(5);
        rig.host.running = false;
    });
    rig.run("w.vts");
    QCOMPARE(rig.host.statusHistory,
             (QStringList{ScriptTexts::EscHint("w.vts"), "vorher", ScriptTexts::RunFinished}));
}

void tst_ScriptRunner::library_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("showVts");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Morgen") << "Morgen.vts" << false << "Morgen";
    QTest::newRow("Morgen, ShowVTS") << "Morgen.vts" << true << "Morgen.vts";
    QTest::newRow("upper-case extension stays") << "Test.VTS" << false << "Test.VTS";
    QTest::newRow("upper-case extension, ShowVTS") << "Test.VTS" << true << "Test.VTS.vts";
    QTest::newRow("both occurrences go") << "a.vts.vts" << false << "a";
}

void tst_ScriptRunner::library()
{
    QFETCH(QString, file);
    QFETCH(bool, showVts);
    QFETCH(QString, caption);
    QCOMPARE(ScriptLibrary::caption(file, showVts), caption);
}

void tst_ScriptRunner::selectedItemFollowsTheListing()
{
    ScriptRig rig;
    const QString dir = Paths::scriptsDir();
    QCOMPARE(ScriptLibrary::scriptFiles(dir), QStringList());
    QCOMPARE(ScriptLibrary::GetSelectedItem(dir, 1), QString());
    for (const char *name : {"zeit.vts", "Abend.vts", "Test.VTS", "b.txt", "morgen.vts"})
        rig.script(QString::fromUtf8(name), "");
    QDir(dir).mkdir(QStringLiteral("ordner.vts"));
    const QStringList listing{"Abend.vts", "morgen.vts", "Test.VTS", "zeit.vts"};
    QCOMPARE(ScriptLibrary::scriptFiles(dir), listing);
    QCOMPARE(ScriptLibrary::GetSelectedItem(dir, -3), QStringLiteral("Abend.vts"));
    QCOMPARE(ScriptLibrary::GetSelectedItem(dir, 3), QStringLiteral("Test.VTS"));
    QCOMPARE(ScriptLibrary::GetSelectedItem(dir, 5), QString());
    QCOMPARE(ScriptLibrary::idOfScript(dir, QStringLiteral("morgen")), 2);
    QCOMPARE(ScriptLibrary::idOfScript(dir, QStringLiteral("zeit.vts")), 4);
    QCOMPARE(ScriptLibrary::idOfScript(dir, QStringLiteral("Morgen")), 0);
    // A file removed after the listing: its id now names the next one.
    QFile::remove(QDir(dir).filePath(QStringLiteral("morgen.vts")));
    QCOMPARE(ScriptLibrary::GetSelectedItem(dir, 2), QStringLiteral("Test.VTS"));
}

QTEST_MAIN(tst_ScriptRunner)
#include "tst_scriptrunner.moc"
