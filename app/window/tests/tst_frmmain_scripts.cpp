#include "CPanelkitCtrl.h"
#include "DocumentController.h"
#include "ImportMessages.h"
#include "PaneGroup.h"
#include "PaneItem.h"
#include "Paths.h"
#include "ScriptTexts.h"
#include "WindowRig.h"

#include <QDir>
#include <QTest>
#include <QTextEdit>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

// Task scripts in the real main window (offscreen), with fakes around it.
class tst_frmMainScripts : public QObject
{
    Q_OBJECT
private slots:
    void libraryGroup_data();
    void libraryGroup();
    void clickRunsTheScript();
    void secondClickWhileRunningConflicts();
    void escDuringWartenEndsTheRunAtOnce();
    void fixedTaskRunsInTheMiddleOfARun();
    void entriesWithoutAScript_data();
    void entriesWithoutAScript();
    void wiederholenTenThousandTimes();
    void runByName();
    void ladenAndSpeichernUseTheDocument();
    void scriptEditsAreUndoableChanges_data();
    void scriptEditsAreUndoableChanges();
    void ladenMakesTheFileTheDocumentsFile();
    void ladenThatFailsSaysWhyOnce();

private:
    static void writeScript(const QString &name, const QByteArray &content)
    {
        QFile f(QDir(Paths::scriptsDir()).filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    static QStringList group1(frmMain &w)
    {
        QStringList captions;
        if (const PaneGroup *g = w.ctlTask()->findGroup(1)) {
            for (const auto &e : g->entries)
                captions << QStringLiteral("%1:%2").arg(e->id).arg(e->text);
        }
        return captions;
    }
    static void click(frmMain &w, int id) { emit w.ctlTask()->FireSelectItem(id, id < 100 ? 1 : 0); }
};

void tst_frmMainScripts::libraryGroup_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("showVts");
    QTest::addColumn<QStringList>("expected");
    const QStringList fixed{"1000:Taskscript erstellen", "999:----------"};
    QTest::newRow("empty folder") << QStringList() << "0" << fixed;
    QTest::newRow("names sorted, any case of .vts")
        << QStringList{"Morgen.vts", "abend.vts", "Test.VTS", "notiz.txt", "a.vts.vts"} << "0"
        << fixed + QStringList{"1:a", "2:abend", "3:Morgen", "4:Test.VTS"};
    QTest::newRow("ShowVTS") << QStringList{"Morgen.vts", "Test.VTS"} << "1"
                             << fixed + QStringList{"1:Morgen.vts", "2:Test.VTS.vts"};
}

void tst_frmMainScripts::libraryGroup()
{
    QFETCH(QStringList, files);
    QFETCH(QString, showVts);
    QFETCH(QStringList, expected);
    WindowRig rig;
    rig.settings->write(SettingKeys::ShowVTS, showVts);
    QDir().mkpath(Paths::scriptsDir());
    for (const QString &f : files)
        writeScript(f, "");
    frmMain &w = rig.load();
    QCOMPARE(group1(w), expected);
    QCOMPARE(w.ctlTask()->findGroup(1)->name, QStringLiteral("Tasks"));
    QVERIFY(QFileInfo(Paths::tempDir()).isDir());
}

void tst_frmMainScripts::clickRunsTheScript()
{
    WindowRig rig;
    QDir().mkpath(Paths::scriptsDir());
    writeScript("gruss.vts", "Dokument(Hallo\\, Welt,0);\r\nText($Text);\r\n");
    frmMain &w = rig.load();
    click(w, 1);
    QCOMPARE(w.rtfText()->toPlainText(), QStringLiteral("Hallo, Welt"));
    QCOMPARE(w.statusText(), ScriptTexts::RunFinished);
    QCOMPARE(w.CurrentScriptFile(), QStringLiteral("gruss.vts"));
    QCOMPARE(w.scripts().CurrentScriptTaskId(), 1);
    QVERIFY(!w.ScriptRunning());
    QVERIFY(rig.extensions.events.contains(QStringLiteral("TaskScript:gruss.vts")));
}

void tst_frmMainScripts::secondClickWhileRunningConflicts()
{
    WindowRig rig;
    QDir().mkpath(Paths::scriptsDir());
    writeScript("a.vts", "Warten(-1);\r\n");
    writeScript("b.vts", "Dokument(b,0);\r\n");
    frmMain &w = rig.load();
    QTimer::singleShot(0, &w, [&] {
        click(w, 2);
        w.scripts().setRunning(false);
    });
    click(w, 1);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.first().text,
             QStringLiteral("Es läuft bereits ein Taskscript. Bitte warten Sie bis dieses seine Aufgabe(n) erfüllt "
                            "hat oder brechen Sie es mit ESC ab!"));
    QCOMPARE(rig.dialogs.messages.first().title, QStringLiteral("Konflikt"));
    QCOMPARE(w.rtfText()->toPlainText(), QString());
    QCOMPARE(w.CurrentScriptFile(), QStringLiteral("a.vts"));
}

void tst_frmMainScripts::escDuringWartenEndsTheRunAtOnce()
{
    WindowRig rig;
    QDir().mkpath(Paths::scriptsDir());
    writeScript("w.vts", "Warten(60);\r\nDokument(danach,0);\r\n");
    frmMain &w = rig.load();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // While it waits, the status bar's own field says that it runs.
    QString signWhileWaiting;
    bool signShown = false;
    QTimer::singleShot(0, &w, [&] {
        signWhileWaiting = w.scripts().runningScriptText();
        signShown = w.statusBar()->findChild<QLabel *>("StatusBarScript")->isVisible();
        rig.clock.advanceSeconds(3);
        QTest::keyClick(w.rtfText(), Qt::Key_Escape);
    });
    // The clock stands at 3 of the 60 seconds: only ESC can end the wait.
    // Should it not, the watchdog lets the minute pass, the script goes on
    // and the checks below fail instead of the test hanging.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &w, [&] { rig.clock.advanceSeconds(120); });
    watchdog.start(30000);
    click(w, 1);
    QCOMPARE(w.rtfText()->toPlainText(), QString());
    QCOMPARE(w.statusText(), ScriptTexts::RunFinished);
    QCOMPARE(signWhileWaiting, QStringLiteral("Taskscript 'w.vts' läuft (ESC beendet)"));
    QVERIFY(signShown);
    QCOMPARE(w.scripts().runningScriptText(), QString());
    QVERIFY(!w.statusBar()->findChild<QLabel *>("StatusBarScript")->isVisible());
}

void tst_frmMainScripts::fixedTaskRunsInTheMiddleOfARun()
{
    WindowRig rig;
    QDir().mkpath(Paths::scriptsDir());
    writeScript("w.vts", "Warten(-1);\r\n");
    frmMain &w = rig.load();
    w.rtfText()->setPlainText(QStringLiteral("Mitten im Lauf"));
    rig.voice.setAutoFinishMs(0);
    rig.voice2.setAutoFinishMs(0);
    QTimer::singleShot(0, &w, [&] {
        click(w, 101);
        w.scripts().setRunning(false);
    });
    click(w, 1);
    QVERIFY(rig.voice.spokenTexts().join(QString()).contains(QStringLiteral("Mitten im Lauf")));
    QCOMPARE(rig.dialogs.messages.size(), 0);
}

void tst_frmMainScripts::entriesWithoutAScript_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("status");
    QTest::newRow("separator") << 999 << QString();
    QTest::newRow("id 100 and beyond") << 150 << QString();
    QTest::newRow("no file for the id") << 7 << ScriptTexts::NoEntryFile;
}

void tst_frmMainScripts::entriesWithoutAScript()
{
    QFETCH(int, id);
    QFETCH(QString, status);
    WindowRig rig;
    QDir().mkpath(Paths::scriptsDir());
    writeScript("a.vts", "Dokument(a,0);\r\n");
    frmMain &w = rig.load();
    const QString before = w.statusText();
    click(w, id);
    QCOMPARE(w.statusText(), status.isEmpty() ? before : status);
    QCOMPARE(w.rtfText()->toPlainText(), QString());
    QCOMPARE(rig.dialogs.messages.size(), 0);
}

void tst_frmMainScripts::wiederholenTenThousandTimes()
{
    WindowRig rig;
    QDir().mkpath(Paths::scriptsDir());
    writeScript("loop.vts", "Dokument(x,0);\r\nWiederholen();\r\n");
    frmMain &w = rig.load();
    int passes = 0;
    quintptr first = 0;
    quintptr last = 0;
    connect(w.rtfText(), &QTextEdit::textChanged, &w, [&] {
        volatile char marker = 0;
        last = quintptr(&marker);
        if (passes++ == 0)
            first = last;
        if (passes == 10000)
            w.scripts().setRunning(false); // ESC
    });
    click(w, 1);
    QCOMPARE(passes, 10000);
    QCOMPARE(last, first);
    QCOMPARE(w.statusText(), ScriptTexts::RunFinished);
}

void tst_frmMainScripts::runByName()
{
    WindowRig rig;
    QDir().mkpath(Paths::scriptsDir());
    writeScript("alpha.vts", "Dokument(alpha,0);\r\n");
    writeScript("beta.vts", "Dokument(beta,0);\r\n");
    frmMain &w = rig.load();
    w.RunScriptByName(QStringLiteral("beta"));
    QCOMPARE(w.rtfText()->toPlainText(), QStringLiteral("beta"));
    w.RunScriptByName(QStringLiteral("alpha.vts"));
    QCOMPARE(w.rtfText()->toPlainText(), QStringLiteral("alpha"));
    w.RunScriptByName(QStringLiteral("gamma"));
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.first().text, ScriptTexts::UnknownScript(QStringLiteral("gamma")));
}

void tst_frmMainScripts::ladenAndSpeichernUseTheDocument()
{
    WindowRig rig;
    QDir().mkpath(Paths::scriptsDir());
    const QString in = rig.file("brief.txt", "Sehr geehrte Damen und Herren");
    const QString out = rig.home.filePath("kopie.txt");
    writeScript("io.vts", "Laden(" + in.toUtf8() + ");\r\nErsetzen(Herren,Kollegen);\r\nSpeichern(" + out.toUtf8()
                              + ");\r\n");
    frmMain &w = rig.load();
    w.RunScriptByName(QStringLiteral("io"));
    QCOMPARE(w.rtfText()->toPlainText(), QStringLiteral("Sehr geehrte Damen und Kollegen"));
    QFile saved(out);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("Sehr geehrte Damen und Kollegen"));
    QCOMPARE(rig.dialogs.messages.size(), 0);
}

void tst_frmMainScripts::scriptEditsAreUndoableChanges_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QString>("after");
    QTest::newRow("Dokument replaces") << QByteArray("Dokument(Neu,0);") << "Neu";
    QTest::newRow("Dokument appends") << QByteArray("Dokument( und mehr,1);") << "Mein Text und mehr";
    QTest::newRow("Ersetzen") << QByteArray("Ersetzen(Text,Brief);") << "Mein Brief";
}

void tst_frmMainScripts::scriptEditsAreUndoableChanges()
{
    // What the user typed before a script changed the document is neither
    // beyond undo nor lost without a question when the window closes.
    QFETCH(QByteArray, script);
    QFETCH(QString, after);
    WindowRig rig;
    QDir().mkpath(Paths::scriptsDir());
    writeScript("edit.vts", script + "\r\n");
    frmMain &w = rig.load();
    w.Textmode();
    QTest::keyClicks(w.rtfText(), QStringLiteral("Mein Text"));
    w.RunScriptByName(QStringLiteral("edit"));
    QCOMPARE(w.rtfText()->toPlainText(), after);
    QVERIFY(w.rtfText()->document()->isModified());
    w.rtfText()->undo();
    QCOMPARE(w.rtfText()->toPlainText(), QStringLiteral("Mein Text"));
}

void tst_frmMainScripts::ladenMakesTheFileTheDocumentsFile()
{
    // Open A, let a script load B, save: the save dialog proposes B, never A.
    WindowRig rig;
    QDir().mkpath(Paths::scriptsDir());
    const QString a = rig.file("a.txt", "Text von A");
    const QString b = rig.file("b.txt", "Text von B");
    writeScript("lade.vts", "Laden(" + b.toUtf8() + ");\r\n");
    frmMain &w = rig.load();
    QVERIFY(w.documents().OpenFile(a));
    QCOMPARE(w.documents().currentPath(), a);
    w.RunScriptByName(QStringLiteral("lade"));
    QCOMPARE(w.documents().currentPath(), b);
    rig.dialogs.files.enqueue(b);
    QVERIFY(w.documents().SaveDoc());
    QCOMPARE(rig.dialogs.fileDialogs.last().request.initialPath, b);

    // A file that does not load leaves the document's file as it was.
    QVERIFY(!w.documents().OpenFile(rig.home.filePath("fehlt.txt")));
    QCOMPARE(w.documents().currentPath(), b);
}

void tst_frmMainScripts::ladenThatFailsSaysWhyOnce()
{
    // One box, the run's error prompt, and it says why.
    WindowRig rig;
    QDir().mkpath(Paths::scriptsDir());
    const QString pdf = rig.file("kaputt.pdf", "%PDF-1.7\n1 0 obj << /Type /Catalog >> endobj\n%%EOF");
    writeScript("lade.vts", "Laden(" + pdf.toUtf8() + ");\r\n");
    frmMain &w = rig.load();
    rig.dialogs.answers.enqueue(Dialogs::Answer::No);
    w.RunScriptByName(QStringLiteral("lade"));
    QCOMPARE(rig.dialogs.messages.size(), 1);
    const QString text = rig.dialogs.messages.first().text;
    QVERIFY2(text.contains(QStringLiteral("Die Datei '%1' kann nicht geladen werden: ").arg(pdf)), qPrintable(text));
    QVERIFY2(text.contains(ImportMessages::PdfDamaged), qPrintable(text));
    QCOMPARE(w.documents().currentPath(), QString());
}

QTEST_MAIN(tst_frmMainScripts)
#include "tst_frmmain_scripts.moc"
