#include "CPanelkitCtrl.h"
#include "PaneGroup.h"
#include "PaneItem.h"
#include "Paths.h"
#include "ScriptTextEdit.h"
#include "ScriptTexts.h"
#include "WindowRig.h"
#include "frmTask.h"
#include "frmTaskEditor.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

// The script editor in the real main window (offscreen): task 1000 opens it,
// a saved script appears in the task pane and runs from there or from the
// editor, and a save that cannot be written keeps the editor open.
class tst_frmMainScriptEditor : public QObject
{
    Q_OBJECT
private slots:
    void task1000OpensOneEditor();
    void savedScriptIsListedAndRuns();
    void ausfuehrenRunsTheEditedScript();
    void escInTheEditorStopsTheRun();
    void saveFails_data();
    void saveFails();

private:
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
    static frmTaskEditor &openEditor(frmMain &w)
    {
        click(w, 1000);
        return *w.scripts().taskEditor();
    }
};

void tst_frmMainScriptEditor::task1000OpensOneEditor()
{
    WindowRig rig;
    frmMain &w = rig.load();
    QVERIFY(!w.scripts().taskEditor());
    frmTaskEditor &e = openEditor(w);
    QVERIFY(e.isVisible());
    QVERIFY(!e.isModal());
    e.rtfSkript()->setScriptText("Stopp();");
    e.hide();
    click(w, 1000);
    QCOMPARE(w.scripts().taskEditor(), &e);
    QVERIFY(e.isVisible());
    QCOMPARE(e.rtfSkript()->scriptText(), QStringLiteral("Stopp();"));
}

void tst_frmMainScriptEditor::savedScriptIsListedAndRuns()
{
    WindowRig rig;
    frmMain &w = rig.load();
    frmTaskEditor &e = openEditor(w);
    frmTask &b = *e.builder();
    b.cmbCommand()->setCurrentIndex(b.cmbCommand()->findText("Dokument"));
    b.txtParameter()->setText("Hallo, Welt");
    b.txtParameter2()->setText("0");
    b.addStatement();
    e.txtSkriptname()->setText("Gruss");
    e.findChild<QPushButton *>("Command2")->click();
    QVERIFY(!e.isVisible());
    QCOMPARE(group1(w), (QStringList{"1000:Taskscript erstellen", "999:----------", "1:Gruss"}));
    click(w, 1);
    QCOMPARE(w.rtfText()->toPlainText(), QStringLiteral("Hallo, Welt"));
    QCOMPARE(w.CurrentScriptFile(), QStringLiteral("Gruss.vts"));
    QCOMPARE(w.statusText(), ScriptTexts::RunFinished);
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void tst_frmMainScriptEditor::ausfuehrenRunsTheEditedScript()
{
    WindowRig rig;
    QDir().mkpath(Paths::scriptsDir());
    QFile other(QDir(Paths::scriptsDir()).filePath("Abend.vts"));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.close();
    frmMain &w = rig.load();
    frmTaskEditor &e = openEditor(w);
    e.txtSkriptname()->setText("Morgen");
    e.rtfSkript()->setScriptText("Dokument(Guten Morgen,0);");
    e.findChild<QPushButton *>("cmdRun")->click();
    QCOMPARE(w.rtfText()->toPlainText(), QStringLiteral("Guten Morgen"));
    QCOMPARE(w.CurrentScriptFile(), QStringLiteral("Morgen.vts"));
    QCOMPARE(w.scripts().CurrentScriptTaskId(), 2); // its place in the pane, after Abend
    QCOMPARE(group1(w).last(), QStringLiteral("2:Morgen"));
    QVERIFY(e.isVisible());
}

void tst_frmMainScriptEditor::escInTheEditorStopsTheRun()
{
    WindowRig rig;
    QDir().mkpath(Paths::scriptsDir());
    frmMain &w = rig.load();
    frmTaskEditor &e = openEditor(w);
    e.txtSkriptname()->setText("Lang");
    e.rtfSkript()->setScriptText("Warten(60);\r\nDokument(danach,0);");
    QTimer::singleShot(0, &w, [&] {
        rig.clock.advanceSeconds(3);
        QTest::keyClick(e.rtfSkript(), Qt::Key_Escape);
        // Had ESC not stopped it, the wait ends here and the run goes on.
        rig.clock.advanceSeconds(120);
    });
    e.findChild<QPushButton *>("cmdRun")->click();
    QVERIFY(!w.ScriptRunning());
    QCOMPARE(w.rtfText()->toPlainText(), QString());
    QCOMPARE(w.statusText(), ScriptTexts::RunFinished);
    QVERIFY(e.isVisible());
    // Without a run, ESC is the editor's own again.
    QTest::keyClick(e.rtfSkript(), Qt::Key_Escape);
    QVERIFY(!e.isVisible());
}

void tst_frmMainScriptEditor::saveFails_data()
{
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::newRow("read-only scripts folder") << true;
    QTest::newRow("name taken by a folder") << false;
}

void tst_frmMainScriptEditor::saveFails()
{
    QFETCH(bool, readOnlyFolder);
    WindowRig rig;
    frmMain &w = rig.load();
    const QString dir = Paths::scriptsDir();
    if (readOnlyFolder) {
        QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner));
        QFile probe(QDir(dir).filePath("probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("This user may write into a read-only folder (root).");
        }
    } else {
        QVERIFY(QDir(dir).mkdir("Gruss.vts"));
        rig.dialogs.answers.enqueue(Dialogs::Answer::Yes); // replace it?
    }
    frmTaskEditor &e = openEditor(w);
    e.txtSkriptname()->setText("Gruss");
    e.rtfSkript()->setScriptText("Sprechen();");
    e.findChild<QPushButton *>("Command2")->click();
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(e.isVisible());
    QCOMPARE(e.rtfSkript()->scriptText(), QStringLiteral("Sprechen();"));
    const QString last = rig.dialogs.messages.last().text;
    QVERIFY2(last.startsWith("Das Taskscript konnte nicht unter"), qPrintable(last));
    QCOMPARE(rig.dialogs.messages.last().icon, Dialogs::Icon::Critical);
    QCOMPARE(group1(w).size(), 2); // nothing new listed
}

QTEST_MAIN(tst_frmMainScriptEditor)
#include "tst_frmmain_scripteditor.moc"
