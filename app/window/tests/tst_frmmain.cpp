#include "WindowRig.h"

#include "BrowserView.h"
#include "CPanelkitCtrl.h"
#include "DocumentController.h"
#include "IncrementalDocumentLayout.h"
#include "WindowPlacement.h"
#include "WindowTexts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <QToolBar>

using Rig = WindowRig;

class TestFrmMain : public QObject
{
    Q_OBJECT
private slots:
    void loadSequence()
    {
        Rig rig;
        QDir().mkpath(rig.home.filePath("temp"));
        rig.file("temp/old.wav", "x");
        frmMain &w = rig.load();
        QCOMPARE(w.windowTitle(), QStringLiteral("Quenora"));
        QCOMPARE(rig.extensions.events.first(), QStringLiteral("Startup"));
        QVERIFY(!QFile::exists(rig.home.filePath("temp/old.wav")));
        QVERIFY(QDir(rig.home.filePath("scripts")).exists());
        QVERIFY(!w.IsLoading());
        QVERIFY(w.isVisible());
        // The recorder got a fresh temporary target.
        QCOMPARE(rig.voice2.outputFileName(), w.CurrentRecordingPath());
        QVERIFY(w.CurrentRecordingPath().startsWith(rig.home.filePath("temp/")));
        // path and version are stored at every start.
        QVERIFY(!rig.settings->read(SettingKeys::Path).isEmpty());
        QCOMPARE(rig.settings->read(SettingKeys::Version), frmMain::versionString());
        // Task pane: group "Quenora" with the six fixed tasks.
        CPanelkitCtrl *pane = w.ctlTask();
        QVERIFY(pane->findItem(101));
        for (int id : {101, 202, 303, 404, 505, 606})
            QVERIFY2(pane->findItem(id), qPrintable(QString::number(id)));
        QVERIFY(!w.tmrClipboard()->isActive());
        QVERIFY(!w.tmrWinTasks()->isActive());
    }

    void readersFollowTheirSettings()
    {
        Rig rig;
        rig.settings->write(SettingKeys::ReadClipboardOnChange, "1");
        rig.settings->write(SettingKeys::ReadTitleOnAppChange, "1");
        frmMain &w = rig.load();
        QCOMPARE(w.tmrClipboard()->interval(), 1500);
        QCOMPARE(w.tmrWinTasks()->interval(), 500);
        QVERIFY(w.tmrClipboard()->isActive());
        QVERIFY(w.tmrWinTasks()->isActive());
    }

    void startViewFollowsShowWB()
    {
        Rig rig;
        rig.settings->write(SettingKeys::ShowWB, "1");
        frmMain &w = rig.load();
        QVERIFY(!w.isTextMode());
        QVERIFY(w.action("mnuInternet")->isChecked());
        QVERIFY(w.HomePagePath.endsWith("hypertext/home.htm"));
        w.Textmode();
        QVERIFY(w.isTextMode());
        QVERIFY(w.action("mnuTextmode")->isChecked());
        QVERIFY(!w.action("mnuInternet")->isChecked());
    }

    void startUpFileLoadsAndEmptyOneShowsItsPath()
    {
        Rig rig;
        const QString empty = rig.file("leer.txt", "");
        frmMain &w = rig.make();
        w.StartUpFile = empty;
        w.Form_Load();
        QCOMPARE(w.rtfText()->toPlainText(), empty);
        QVERIFY(w.isTextMode());

        Rig rig2;
        rig2.settings->write(SettingKeys::ShowWB, "1");
        const QString doc = rig2.file("brief.txt", "Sehr geehrte Damen und Herren");
        frmMain &w2 = rig2.make();
        w2.StartUpFile = doc;
        w2.Form_Load();
        QCOMPARE(w2.rtfText()->toPlainText(), QStringLiteral("Sehr geehrte Damen und Herren"));
        QVERIFY(w2.isTextMode());
        QVERIFY(rig2.voice.spokenTexts().isEmpty());
    }

    void speakAtStartSpeaksTheDocument()
    {
        Rig rig;
        rig.settings->write(SettingKeys::Prefix, "Achtung");
        const QString doc = rig.file("a.txt", "Guten Morgen");
        frmMain &w = rig.make();
        w.StartUpFile = doc;
        w.SpeakAtStart = true;
        w.Form_Load();
        QCOMPARE(rig.voice.spokenTexts(), QStringList{"Achtung Guten Morgen "});
        QCOMPARE(rig.voice2.spokenTexts(), QStringList{"Achtung Guten Morgen "});
        QCOMPARE(rig.extensions.events.count("Filter"), 1);
    }

    void lastDocumentIsReopened()
    {
        Rig rig;
        const QString doc = rig.file("last.txt", "Zuletzt bearbeitet");
        rig.settings->write(SettingKeys::ShowLastDoc, "1");
        rig.settings->write(SettingKeys::LastDoc, doc);
        frmMain &w = rig.load();
        QCOMPARE(w.rtfText()->toPlainText(), QStringLiteral("Zuletzt bearbeitet"));
        QCOMPARE(w.documents().currentPath(), doc);
    }

    void lastDocumentThatNoLongerLoadsIsNotTakenOver()
    {
        // A save after such a start must ask for a name, not write over a
        // file that was never loaded (here a folder stands in its place).
        Rig rig;
        const QString doc = rig.home.filePath("verschwunden.txt");
        QVERIFY(QDir().mkpath(doc));
        rig.settings->write(SettingKeys::ShowLastDoc, "1");
        rig.settings->write(SettingKeys::LastDoc, doc);
        frmMain &w = rig.load();
        QCOMPARE(w.documents().currentPath(), QString());
    }

    void speakTextWhileLoadingDoesNothing()
    {
        // Loading the start-up file changes the text while the load sequence
        // runs; a SpeakText from there must produce nothing.
        Rig rig;
        frmMain &w = rig.make();
        bool calledDuringLoad = false;
        QObject::connect(w.rtfText(), &QTextEdit::textChanged, &w, [&] {
            if (w.IsLoading()) {
                calledDuringLoad = true;
                w.SpeakText(QStringLiteral("Hallo"), false, QString(), true);
            }
        });
        w.StartUpFile = rig.file("x.txt", "Inhalt");
        w.Form_Load();
        QVERIFY(calledDuringLoad);
        QVERIFY(rig.voice.spokenTexts().isEmpty());
        QVERIFY(rig.voice2.spokenTexts().isEmpty());
        QVERIFY(!rig.extensions.events.contains("Filter"));
    }

    void blankTextSpeaksTheDocumentWrapped_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("blank text, both") << "Vorne" << "Hinten" << "   " << "Vorne Dokumenttext Hinten";
        QTest::newRow("empty text, none") << "" << "" << "" << " Dokumenttext ";
        QTest::newRow("prefix only") << "Achtung" << "" << "Hallo" << "Achtung Hallo ";
    }
    void blankTextSpeaksTheDocumentWrapped()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, suffix);
        QFETCH(QString, text);
        QFETCH(QString, spoken);
        Rig rig;
        rig.settings->write(SettingKeys::Prefix, prefix);
        rig.settings->write(SettingKeys::Suffix, suffix);
        rig.extensions.filter = [](const QString &t) { return t; };
        frmMain &w = rig.load();
        w.rtfText()->setPlainText("Dokumenttext");
        w.SpeakText(text, false, QString(), true);
        QCOMPARE(rig.voice.spokenTexts(), QStringList{spoken});
        QCOMPARE(rig.voice2.spokenTexts(), QStringList{spoken});
        QCOMPARE(rig.extensions.events.count("Filter"), 1);
    }

    void filterRewritesButNotPrefix()
    {
        Rig rig;
        rig.settings->write(SettingKeys::Prefix, "ich");
        rig.extensions.filter = [](QString t) { return t.replace("ich", "i"); };
        frmMain &w = rig.load();
        w.SpeakText(QStringLiteral("ich bin"), false, QString(), true);
        QCOMPARE(rig.voice.spokenTexts(), QStringList{"ich i bin "});
        w.SpeakText(QStringLiteral("ich bin"), false, QString(), false);
        QCOMPARE(rig.voice.spokenTexts().last(), QStringLiteral("ich ich bin "));
    }

    void voiceSettingsReachBothInstances()
    {
        Rig rig;
        rig.settings->write(SettingKeys::Voice, "2");
        rig.settings->write(SettingKeys::Volume, "50");
        frmMain &w = rig.load();
        rig.voice.clearCalls();
        rig.voice2.clearCalls();
        w.SpeakText(QStringLiteral("x"), false, QString(), false);
        // Stored defaults: pitch 50 % of 0..100, speed 25 % of 80..450.
        QCOMPARE(rig.voice.currentMode(), 3);
        QCOMPARE(rig.voice2.currentMode(), 3);
        QCOMPARE(rig.voice.pitch(), 50);
        QCOMPARE(rig.voice.speed(), 172);
        QCOMPARE(rig.voice.leftVolume(), 50);
        QCOMPARE(rig.voice2.speed(), 172);
        QCOMPARE(rig.voice2.rightVolume(), 50);
        QCOMPARE(rig.voice.calls().first(), QStringLiteral("reset"));
    }

    void unreadableVoiceSettingSpeaksNothing()
    {
        Rig rig;
        rig.settings->write(SettingKeys::SpeedWhenSpeaking, "schnell");
        frmMain &w = rig.load();
        w.SpeakText(QStringLiteral("Hallo"), false, QString(), false);
        QVERIFY(rig.voice.spokenTexts().isEmpty());
    }

    void recordingTargets()
    {
        Rig rig;
        frmMain &w = rig.load();
        const QString first = rig.voice2.outputFileName();
        w.SpeakText(QStringLiteral("a"), false, QStringLiteral("-1"), false);
        QCOMPARE(rig.voice2.outputFileName(), first);
        const QString target = rig.home.filePath("mein.wav");
        w.SpeakText(QStringLiteral("b"), false, target, false);
        QCOMPARE(rig.voice2.outputFileName(), target);
        w.SpeakText(QStringLiteral("c"), false, QString(), false);
        QCOMPARE(rig.voice2.outputFileName(), w.CurrentRecordingPath());
        QVERIFY(w.speech().RecordingNumber() >= 1 && w.speech().RecordingNumber() <= 31000);
    }

    void endOfSpeechReportsAndEnablesExport()
    {
        Rig rig;
        frmMain &w = rig.load();
        QAction *exportButton = w.Toolbar1()->actions().last();
        QCOMPARE(exportButton->text(), QStringLiteral("Exportieren"));
        w.SpeakText(QStringLiteral("Hallo"), false, QString(), false);
        QVERIFY(!exportButton->isEnabled());
        // A reset text never ends: the button stays off.
        w.SpeakText(QStringLiteral("Neu"), false, QString(), false);
        // The recording is complete long before the loudspeaker is done:
        // export is possible, "read completely" is not said yet.
        QVERIFY(rig.voice2.finishText());
        QTRY_VERIFY(exportButton->isEnabled());
        QVERIFY(w.statusText() != QStringLiteral("Der Text wurde vollständig vorgelesen."));
        QVERIFY(rig.voice.finishText());
        QTRY_COMPARE(w.statusText(), QStringLiteral("Der Text wurde vollständig vorgelesen."));
    }

    void waitingSpeakReturnsWhenSpoken()
    {
        Rig rig;
        frmMain &w = rig.load();
        rig.voice.setAutoFinishMs(30);
        rig.voice2.setAutoFinishMs(30);
        w.rtfText()->setPlainText("Ganzes Dokument");
        w.action("mnuSpeak")->trigger();
        QCOMPARE(rig.voice.spokenTexts(), QStringList{" Ganzes Dokument "});
        QVERIFY(!rig.voice.isSpeaking());
        QCOMPARE(rig.voice.calls().last(), QStringLiteral("reset"));
    }

    void pauseHintOncePerUser()
    {
        Rig rig;
        {
            frmMain &w = rig.load();
            QCOMPARE(w.speech().IsPaused(), 0);
            w.TogglePause();
            QCOMPARE(w.speech().IsPaused(), 1);
            QCOMPARE(rig.dialogs.messages.size(), 1);
            QCOMPARE(rig.dialogs.messages[0].text, WindowTexts::PauseHint);
            QCOMPARE(rig.dialogs.messages[0].title, QStringLiteral("Hinweis"));
            QCOMPARE(rig.dialogs.messages[0].icon, Dialogs::Icon::Information);
            w.TogglePause();
            QCOMPARE(w.speech().IsPaused(), 0);
            QCOMPARE(rig.dialogs.messages.size(), 1);
            QCOMPARE(rig.voice.calls().mid(rig.voice.calls().size() - 2), (QStringList{"pause", "resume"}));
        }
        QCOMPARE(rig.settings->read(SettingKeys::ShowPauseMsg), QStringLiteral("false"));
        // After a restart: still no hint.
        frmMain &again = rig.load();
        again.TogglePause();
        QCOMPARE(rig.dialogs.messages.size(), 1);
    }

    void resetEndsThePause_data()
    {
        QTest::addColumn<QString>("reset");
        QTest::newRow("new speak") << "speak";
        QTest::newRow("menu Stop") << "mnuStop";
        QTest::newRow("toolbar Stop") << "tbStop";
        QTest::newRow("Esc") << "esc";
    }
    void resetEndsThePause()
    {
        QFETCH(QString, reset);
        Rig rig;
        frmMain &w = rig.load();
        QAction *menu = w.action("mnuPause");
        QAction *button = w.action("tbPause");
        w.SpeakText(QStringLiteral("Eins"), false, QString(), false);
        button->trigger();
        QCOMPARE(w.speech().IsPaused(), 1);
        QVERIFY(menu->isChecked());
        QVERIFY(button->isChecked());
        if (reset == QLatin1String("speak"))
            w.SpeakText(QStringLiteral("Zwei"), false, QString(), false);
        else if (reset == QLatin1String("esc"))
            QTest::keyClick(w.rtfText(), Qt::Key_Escape);
        else
            w.action(reset)->trigger();
        QCOMPARE(w.speech().IsPaused(), 0);
        QVERIFY(!menu->isChecked());
        QVERIFY(!button->isChecked());
        // One click pauses again, from the menu as from the toolbar.
        rig.voice.clearCalls();
        menu->trigger();
        QCOMPARE(rig.voice.calls(), QStringList{"pause"});
        QVERIFY(button->isChecked());
        QVERIFY(menu->isChecked());
        menu->trigger();
        QCOMPARE(rig.voice.calls(), (QStringList{"pause", "resume"}));
        QVERIFY(!button->isChecked());
    }

    void newSpeakDropsTheEndMessage()
    {
        Rig rig;
        frmMain &w = rig.load();
        w.rtfText()->setPlainText("Hallo");
        w.SpeakText(QStringLiteral("Hallo"), false, QString(), false);
        QVERIFY(rig.voice2.finishText());
        QVERIFY(rig.voice.finishText());
        QTRY_COMPARE(w.statusText(), QStringLiteral("Der Text wurde vollständig vorgelesen."));
        w.action("tbSpeak")->trigger();
        QCOMPARE(w.statusText(), QStringLiteral("5 Zeichen."));
    }

    void stoppedRecordingCanBeExported()
    {
        Rig rig;
        frmMain &w = rig.load();
        QAction *exportButton = w.action("tbExport");
        w.SpeakText(QStringLiteral("Ein langer Text"), false, QString(), false);
        QVERIFY(!exportButton->isEnabled());
        // Stopped before the recorder ended: nothing written, nothing to export.
        w.action("mnuStop")->trigger();
        QVERIFY(!exportButton->isEnabled());
        w.SpeakText(QStringLiteral("Ein langer Text"), false, QString(), false);
        // What the recorder wrote before the stop is a playable file.
        QFile wav(rig.voice2.outputFileName());
        QVERIFY(wav.open(QIODevice::WriteOnly));
        wav.write(QByteArray(4096, 'w'));
        wav.close();
        w.action("tbStop")->trigger();
        QVERIFY(exportButton->isEnabled());
    }

    void readFromCursor_data()
    {
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("spoken");
        QTest::addColumn<bool>("message");
        QTest::addColumn<QString>("document");
        QTest::newRow("at 0: the whole document, no box") << 0 << " Eins zwei drei " << false << "Eins zwei drei";
        QTest::newRow("after the first character") << 1 << " Eins zwei drei " << false << "Eins zwei drei";
        QTest::newRow("before zwei") << 5 << "  zwei drei " << false << "Eins zwei drei";
        QTest::newRow("at the end") << 14 << " i " << false << "Eins zwei drei";
        QTest::newRow("empty document: said in the status bar") << 0 << "" << false << "";
    }
    void readFromCursor()
    {
        QFETCH(int, cursor);
        QFETCH(QString, spoken);
        QFETCH(bool, message);
        QFETCH(QString, document);
        Rig rig;
        rig.extensions.filter = [](const QString &) { return QStringLiteral("GEFILTERT"); };
        frmMain &w = rig.load();
        w.rtfText()->setPlainText(document);
        QTextCursor c = w.rtfText()->textCursor();
        c.setPosition(cursor);
        w.rtfText()->setTextCursor(c);
        rig.dialogs.messages.clear();
        w.action("mnuReadFromCur")->trigger();
        QCOMPARE(rig.voice.spokenTexts(), spoken.isEmpty() ? QStringList() : QStringList{spoken});
        QCOMPARE(rig.dialogs.messages.size(), message ? 1 : 0);
        if (document.isEmpty())
            QCOMPARE(w.statusText(), QStringLiteral("Das Dokument enthält keinen Text zum Vorlesen."));
    }

    void wordBeingHeardIsHighlighted()
    {
        Rig rig;
        rig.settings->write(SettingKeys::Prefix, "Vorab");
        frmMain &w = rig.load();
        w.rtfText()->setPlainText("Eins zwei drei");
        const int undoSteps = w.rtfText()->document()->availableUndoSteps();
        w.action("tbSpeak")->trigger();
        QCOMPARE(rig.voice.spokenTexts(), QStringList{"Vorab Eins zwei drei "});
        // "zwei" sits at 11 in the spoken text, at 5 in the document.
        rig.voice.emitWord(11, 4);
        QTRY_COMPARE(w.rtfText()->extraSelections().size(), 1);
        const QTextCursor sel = w.rtfText()->extraSelections().first().cursor;
        QCOMPARE(sel.selectedText(), QStringLiteral("zwei"));
        // The prefix is not in the document: no highlight moves there.
        rig.voice.emitWord(0, 5);
        QCOMPARE(w.rtfText()->extraSelections().first().cursor.selectedText(), QStringLiteral("zwei"));
        // Nothing of the document itself changed.
        QCOMPARE(w.rtfText()->document()->availableUndoSteps(), undoSteps);
        QCOMPARE(w.rtfText()->textCursor().hasSelection(), false);
        w.action("mnuStop")->trigger();
        QCOMPARE(w.rtfText()->extraSelections().size(), 0);
    }

    void highlightFollowsEdits_data()
    {
        QTest::addColumn<int>("editAt");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("marked"); // empty: no highlight
        QTest::newRow("typed at the start") << 0 << "abcd" << 0 << "zwei";
        QTest::newRow("typed right before the word") << 5 << "xx " << 0 << "zwei";
        QTest::newRow("typed right after the word") << 9 << "!" << 0 << "zwei";
        QTest::newRow("typed behind it") << 14 << " vier" << 0 << "zwei";
        QTest::newRow("deleted before it") << 0 << "" << 5 << "zwei";
        QTest::newRow("typed inside the word") << 6 << "x" << 0 << "";
        QTest::newRow("deleted across it") << 3 << "" << 4 << "";
    }
    void highlightFollowsEdits()
    {
        QFETCH(int, editAt);
        QFETCH(QString, typed);
        QFETCH(int, removed);
        QFETCH(QString, marked);
        Rig rig;
        frmMain &w = rig.load();
        w.rtfText()->setPlainText("Eins zwei drei");
        w.action("tbSpeak")->trigger();
        rig.voice.emitWord(1, 4); // "Eins" while the user edits
        QTRY_COMPARE(w.rtfText()->extraSelections().size(), 1);
        QTextCursor c = w.rtfText()->textCursor();
        c.setPosition(editAt);
        c.setPosition(editAt + removed, QTextCursor::KeepAnchor);
        w.rtfText()->setTextCursor(c);
        if (removed > 0)
            QTest::keyClick(w.rtfText(), Qt::Key_Delete);
        QTest::keyClicks(w.rtfText(), typed);
        rig.voice.emitWord(6, 4); // "zwei" in the text as it was taken
        if (marked.isEmpty()) {
            QTRY_COMPARE(w.rtfText()->extraSelections().size(), 0);
        } else {
            QTRY_COMPARE(w.rtfText()->extraSelections().size(), 1);
            QCOMPARE(w.rtfText()->extraSelections().first().cursor.selectedText(), marked);
        }
        // The next speak starts from the document as it is now.
        w.action("tbSpeak")->trigger();
        const int at = int(w.rtfText()->toPlainText().indexOf(QStringLiteral("drei")));
        rig.voice.emitWord(1 + at, 4);
        QTRY_COMPARE(w.rtfText()->extraSelections().size(), 1);
        QCOMPARE(w.rtfText()->extraSelections().first().cursor.selectedText(), QStringLiteral("drei"));
    }

    void filteredTextIsNotHighlighted()
    {
        Rig rig;
        rig.extensions.filter = [](QString t) { return t.replace("zwei", "zwoa"); };
        frmMain &w = rig.load();
        w.rtfText()->setPlainText("Eins zwei drei");
        w.action("tbSpeak")->trigger();
        rig.voice.emitWord(6, 4);
        QCOMPARE(w.rtfText()->extraSelections().size(), 0);
    }

    void everyToolbarButtonEndsInTextMode_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"tbNew", "tbOpen", "tbSave", "tbSpeak", "tbStop", "tbPause", "tbExport"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void everyToolbarButtonEndsInTextMode()
    {
        QFETCH(QString, name);
        Rig rig;
        rig.settings->write(SettingKeys::ShowWB, "1");
        rig.settings->write(SettingKeys::ShowPauseMsg, "false");
        frmMain &w = rig.load();
        QVERIFY(!w.isTextMode());
        QAction *button = w.action(name);
        QVERIFY(button);
        QVERIFY(w.Toolbar1()->actions().contains(button));
        button->trigger();
        QVERIFY(w.isTextMode());
    }

    void stopAndEscapeResetBothAndEndTheScript()
    {
        Rig rig;
        frmMain &w = rig.load();
        w.ScriptRunning = true;
        rig.voice.clearCalls();
        rig.voice2.clearCalls();
        QTest::keyClick(w.rtfText(), Qt::Key_Escape);
        QCOMPARE(rig.voice.calls(), QStringList{"reset"});
        QCOMPARE(rig.voice2.calls(), QStringList{"reset"});
        QVERIFY(!w.ScriptRunning);
    }

    void f4ShowsTheProgramFolder()
    {
        Rig rig;
        frmMain &w = rig.load();
        QTest::keyClick(w.rtfText(), Qt::Key_F4);
        QCOMPARE(rig.shell.calls.size(), 1);
        QCOMPARE(rig.shell.calls[0].kind, QStringLiteral("folder"));
        QCOMPARE(rig.shell.calls[0].target, QCoreApplication::applicationDirPath());
    }

    void menusCaptionsAndShortcuts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::newRow("mnuNeu") << "mnuNeu" << "&Neu" << "Ctrl+N";
        QTest::newRow("mnuOpen") << "mnuOpen" << "&Öffnen" << "Ctrl+O";
        QTest::newRow("mnuSave") << "mnuSave" << "&Speichern" << "Ctrl+S";
        QTest::newRow("mnuSaveAs") << "mnuSaveAs" << "Speichern &unter" << "";
        QTest::newRow("mnuExport") << "mnuExport" << "&Exportieren" << "Ctrl+E";
        QTest::newRow("mnuExit") << "mnuExit" << "&Beenden" << "";
        QTest::newRow("mnuCut") << "mnuCut" << "&Ausschneiden" << "Ctrl+X";
        QTest::newRow("mnuCopy") << "mnuCopy" << "&Kopieren" << "Ctrl+C";
        QTest::newRow("mnuInsert") << "mnuInsert" << "&Einfügen" << "";
        QTest::newRow("mnuDelete") << "mnuDelete" << "&Löschen" << "";
        QTest::newRow("mnuSpeak") << "mnuSpeak" << "&Sprechen" << "F5";
        QTest::newRow("mnuStop") << "mnuStop" << "Sto&p" << "F6";
        QTest::newRow("mnuPause") << "mnuPause" << "P&ause" << "F7";
        QTest::newRow("mnuReadFromCur") << "mnuReadFromCur" << "Text ab &Cursorposition lesen" << "F8";
        QTest::newRow("mnuTextmode") << "mnuTextmode" << "&Textmodus" << "";
        QTest::newRow("mnuInternet") << "mnuInternet" << "&Interaktivmodus" << "";
        QTest::newRow("mnuSettings") << "mnuSettings" << "&Einstellungen" << "";
        QTest::newRow("mnuPlugdesk") << "mnuPlugdesk" << "Erweiterungen &verwalten" << "";
        QTest::newRow("mnuPronunciation") << "mnuPronunciation" << "&Aussprache-Wörterbuch …" << "";
        QTest::newRow("mnuShowHelp") << "mnuShowHelp" << "&Hilfe" << "";
        QTest::newRow("mnuGetMoreVoices") << "mnuGetMoreVoices" << "Weitere &Stimmen herunterladen" << "";
        QTest::newRow("mnuReportError") << "mnuReportError" << "Fehler b&erichten" << "";
        QTest::newRow("mnuMoreInfo") << "mnuMoreInfo" << "Weitere &Informationen" << "";
        QTest::newRow("mnuSearchForUpdates") << "mnuSearchForUpdates" << "&Aktualisierungen suchen" << "";
        QTest::newRow("mnuAbout") << "mnuAbout" << "&Über Quenora" << "F12";
    }
    void menusCaptionsAndShortcuts()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        Rig rig;
        frmMain &w = rig.make();
        QAction *a = w.action(name);
        QVERIFY(a);
        QCOMPARE(a->text(), caption);
        QCOMPARE(a->shortcut().toString(), shortcut);
    }

    // The test program's folder holds no plugdesk: the user is told, nothing starts.
    void missingExtensionManagerIsReported()
    {
        Rig rig;
        frmMain &w = rig.make();
        w.action("mnuPlugdesk")->trigger();
        QVERIFY(rig.shell.calls.isEmpty());
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QVERIFY(rig.dialogs.messages[0].text.startsWith(QStringLiteral("Die Erweiterungsverwaltung (plugdesk) wurde nicht gefunden.")));
        QCOMPARE(rig.dialogs.messages[0].title, QStringLiteral("Fehler"));
    }

    // Long documents stay quick to type in: the document box keeps its
    // incremental layout through new documents and loaded files.
    void theDocumentBoxLaysOutIncrementally()
    {
        Rig rig;
        frmMain &w = rig.load();
        const auto incremental = [&w] {
            return qobject_cast<IncrementalDocumentLayout *>(w.rtfText()->document()->documentLayout()) != nullptr;
        };
        QVERIFY(incremental());
        w.rtfText()->setPlainText(QStringLiteral("Erste Zeile\nZweite Zeile"));
        w.NewDoc();
        QCoreApplication::processEvents();
        QVERIFY(incremental());
    }

    void toolbarButtons()
    {
        Rig rig;
        frmMain &w = rig.make();
        QStringList captions;
        QStringList tips;
        for (QAction *a : w.Toolbar1()->actions()) {
            captions << (a->isSeparator() ? QStringLiteral("|") : a->text());
            tips << (a->isSeparator() ? QStringLiteral("|") : a->toolTip());
        }
        QCOMPARE(captions, (QStringList{"Neu", "Öffnen", "Speichern", "|", "Sprechen", "Stop", "Pause", "|", "|",
                                        "Exportieren"}));
        QCOMPARE(tips, (QStringList{"Neu", "Öffnen", "Speichern", "|", "Text vorlesen", "Sprachausgabe stoppen",
                                    "Sprachausgabe pausieren", "|", "|", "Text als *.wav Datei abspeichern"}));

        // Every button shows a picture of its own, and a greyed one when disabled.
        QList<QImage> pictures;
        for (QAction *a : w.Toolbar1()->actions()) {
            if (a->isSeparator())
                continue;
            const QImage normal = a->icon().pixmap(24).toImage();
            const QImage disabled = a->icon().pixmap(24, QIcon::Disabled).toImage();
            int opaque = 0;
            for (int y = 0; y < normal.height(); ++y)
                for (int x = 0; x < normal.width(); ++x)
                    opaque += qAlpha(normal.pixel(x, y)) > 128;
            QVERIFY2(opaque > 24, qPrintable(a->text()));
            QVERIFY2(disabled != normal, qPrintable(a->text()));
            QVERIFY2(!pictures.contains(normal), qPrintable(a->text()));
            pictures << normal;
        }
        QCOMPARE(pictures.size(), 7);
    }

    void webPagesOpenInTheBrowser()
    {
        Rig rig;
        frmMain &w = rig.load();
        w.action("mnuGetMoreVoices")->trigger();
        w.action("mnuReportError")->trigger();
        QCOMPARE(rig.shell.calls.size(), 2);
        QVERIFY(rig.shell.calls[0].target.endsWith("/getmorevoices/"));
        QVERIFY(rig.shell.calls[1].target.contains("/submit_bug/?program=Quenora%20" + frmMain::versionString()));
    }

    void anImportedDocumentIsReopenedFromWhereItCame()
    {
        Rig rig;
        const QString book = rig.file("buch.md", "# Kapitel\n\nEin Absatz.");
        frmMain &w = rig.load();
        QVERIFY(w.documents().OpenFile(book));
        QCOMPARE(w.documents().currentPath(), QString());
        w.close();
        QCOMPARE(rig.settings->read(SettingKeys::LastDoc), book);
    }

    void closingThroughTheTitleBar()
    {
        Rig rig;
        frmMain &w = rig.load();
        w.documents().setCurrentPath("/home/anna/brief.rtf");
        w.ScriptRunning = true;
        w.close();
        QCOMPARE(rig.settings->read(SettingKeys::LastDoc), QStringLiteral("/home/anna/brief.rtf"));
        QVERIFY(rig.extensions.events.contains("Close"));
        QVERIFY(!w.ScriptRunning);
        QCOMPARE(rig.surveysShown, 1);
        QCOMPARE(rig.ended, 1);
        QVERIFY(rig.dialogs.messages.isEmpty());
    }

    void closeBoxAsksOnlyWhenThereIsSomethingToLose_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveTo"); // empty: the save dialog is cancelled
        QTest::addColumn<bool>("closed");
        QTest::newRow("unchanged: no question") << false << -1 << "" << true;
        QTest::newRow("changed, cancel") << true << int(Dialogs::Answer::Cancel) << "" << false;
        QTest::newRow("changed, no") << true << int(Dialogs::Answer::No) << "" << true;
        QTest::newRow("changed, yes and saved") << true << int(Dialogs::Answer::Yes) << "brief.txt" << true;
        QTest::newRow("changed, yes, save cancelled") << true << int(Dialogs::Answer::Yes) << "" << false;
    }
    void closeBoxAsksOnlyWhenThereIsSomethingToLose()
    {
        QFETCH(bool, typed);
        QFETCH(int, answer);
        QFETCH(QString, saveTo);
        QFETCH(bool, closed);
        Rig rig;
        frmMain &w = rig.load();
        w.documents().LoadFile(rig.file("alt.txt", "Alter Text"));
        if (typed)
            QTest::keyClicks(w.rtfText(), "Neu ");
        if (answer >= 0)
            rig.dialogs.answers.enqueue(Dialogs::Answer(answer));
        rig.dialogs.files.enqueue(saveTo.isEmpty() ? std::optional<QString>() : rig.home.filePath(saveTo));
        w.close();
        QCOMPARE(rig.dialogs.messages.size(), typed ? 1 : 0);
        if (typed) {
            QCOMPARE(rig.dialogs.messages[0].text, WindowTexts::SaveBeforeExit);
            QCOMPARE(rig.dialogs.messages[0].buttons, Dialogs::Buttons::YesNoCancel);
            QCOMPARE(rig.dialogs.messages[0].title, QStringLiteral("Frage"));
        }
        QCOMPARE(rig.ended, closed ? 1 : 0);
        QCOMPARE(rig.extensions.events.contains("Close"), closed);
        QCOMPARE(rig.surveysShown, closed ? 1 : 0);
        QCOMPARE(w.isVisible(), !closed);
        if (!saveTo.isEmpty()) {
            QFile saved(rig.home.filePath(saveTo));
            QVERIFY(saved.open(QIODevice::ReadOnly));
            QCOMPARE(saved.readAll(), QByteArray("Alter TextNeu "));
        }
    }

    void speakLinkReplacesTheDocumentAsOneUndoStep()
    {
        Rig rig;
        rig.voice.setAutoFinishMs(1);
        rig.voice2.setAutoFinishMs(1);
        frmMain &w = rig.load();
        w.documents().LoadFile(rig.file("brief.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times;}}\\f0\\b Mein Brief\\par}"));
        w.InteractiveMode();
        w.wbBrowser()->navigate("speak:Hallo%20Welt");
        QCOMPARE(w.rtfText()->toPlainText(), QStringLiteral("Hallo Welt"));
        QVERIFY(!QTextCursor(w.rtfText()->document()).charFormat().font().bold());
        QVERIFY(w.documents().isModified());
        w.rtfText()->undo();
        QCOMPARE(w.rtfText()->toPlainText(), QStringLiteral("Mein Brief"));
        QVERIFY(!w.documents().isModified());
    }

    void viewChecksFollowTheViewShown_data()
    {
        QTest::addColumn<QString>("link");
        QTest::newRow("speak:") << "speak:Guten%20Tag";
        QTest::newRow("qn:Open()") << "qn:Open()";
        QTest::newRow("qn:Go()") << "qn:Go()";
    }
    void viewChecksFollowTheViewShown()
    {
        QFETCH(QString, link);
        Rig rig(true);
        rig.voice.setAutoFinishMs(1);
        rig.voice2.setAutoFinishMs(1);
        frmMain &w = rig.load();
        QVERIFY(!w.isTextMode());
        QVERIFY(w.action("mnuInternet")->isChecked());
        rig.dialogs.files.enqueue(std::nullopt);
        w.wbBrowser()->navigate(link);
        QVERIFY(w.isTextMode());
        QVERIFY(w.action("mnuTextmode")->isChecked());
        QVERIFY(!w.action("mnuInternet")->isChecked());
        w.action("mnuMoreInfo")->trigger();
        QVERIFY(!w.action("mnuTextmode")->isChecked());
        QVERIFY(w.action("mnuInternet")->isChecked());
    }

    void windowPlacementIsRemembered_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QRect>("expected"); // empty: the design-time size
        QTest::addColumn<bool>("maximized");
        QTest::newRow("nothing stored") << "" << QRect() << false;
        QTest::newRow("stored") << "60,40,500,400,0" << QRect(60, 40, 500, 400) << false;
        QTest::newRow("maximised") << "60,40,500,400,1" << QRect(60, 40, 500, 400) << true;
        QTest::newRow("damaged") << "120,90,breit,520,0" << QRect() << false;
        QTest::newRow("zero size") << "120,90,0,520,0" << QRect() << false;
    }
    void windowPlacementIsRemembered()
    {
        QFETCH(QString, stored);
        QFETCH(QRect, expected);
        QFETCH(bool, maximized);
        Rig rig;
        rig.settings->write(SettingKeys::WindowPlacement, stored);
        frmMain &w = rig.load();
        if (expected.isEmpty()) {
            QCOMPARE(w.size(), QSize(585, 490));
        } else {
            QCOMPARE(w.isMaximized(), maximized);
            QCOMPARE(maximized ? w.normalGeometry() : w.geometry(), expected);
        }
        if (!maximized)
            w.setGeometry(30, 20, 540, 380);
        w.close();
        const auto kept = WindowPlacement::parse(rig.settings->read(SettingKeys::WindowPlacement));
        QVERIFY(kept);
        QCOMPARE(kept->maximized, maximized);
        QCOMPARE(kept->geometry, maximized ? expected : QRect(30, 20, 540, 380));
    }

    void windowOpensWithinTheScreen_data()
    {
        QTest::addColumn<QRect>("wanted");
        QTest::addColumn<QRect>("fitted");
        const QRect screen(0, 0, 1024, 768);
        QTest::newRow("inside stays") << QRect(10, 20, 300, 200) << QRect(10, 20, 300, 200);
        QTest::newRow("off to the right") << QRect(3000, 20, 300, 200) << QRect(724, 20, 300, 200);
        QTest::newRow("above and left") << QRect(-500, -400, 300, 200) << QRect(0, 0, 300, 200);
        QTest::newRow("larger than the screen") << QRect(50, 50, 3000, 2000) << screen;
        QTest::newRow("below the minimum") << QRect(1000, 700, 10, 10) << QRect(924, 668, 100, 100);
    }
    void windowOpensWithinTheScreen()
    {
        QFETCH(QRect, wanted);
        QFETCH(QRect, fitted);
        QCOMPARE(WindowPlacement::fitted(wanted, QRect(0, 0, 1024, 768), QSize(100, 100)), fitted);
    }

    void surveyChoices_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("pagesOpened");
        QTest::newRow("yes") << int(frmSurvey::Choice::Yes) << "false" << 1;
        QTest::newRow("no") << int(frmSurvey::Choice::No) << "false" << 0;
        QTest::newRow("later") << int(frmSurvey::Choice::Later) << "true" << 0;
    }
    void surveyChoices()
    {
        QFETCH(int, choice);
        QFETCH(QString, stored);
        QFETCH(int, pagesOpened);
        Rig rig;
        rig.surveyChoice = choice;
        frmMain &w = rig.load();
        w.close();
        QCOMPARE(rig.settings->read(SettingKeys::Survey), stored);
        QCOMPARE(rig.shell.calls.size(), pagesOpened);
        if (pagesOpened)
            QCOMPARE(rig.shell.calls[0].target, QStringLiteral("https://www.example.com/quenora/survey/?version=")
                                                    + frmMain::versionString());
        // Once answered, the next close asks nothing.
        Rig again;
        again.settings->write(SettingKeys::Survey, "false");
        again.load().close();
        QCOMPARE(again.surveysShown, 0);
        QCOMPARE(again.ended, 1);
    }

    void exitAsksAndEndsAtOnce_data()
    {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<int>("saveDialogs");
        QTest::addColumn<int>("ended");
        QTest::newRow("cancel: nothing happens") << QList<int>{int(Dialogs::Answer::Cancel)} << 0 << 0;
        QTest::newRow("no: ends") << QList<int>{int(Dialogs::Answer::No)} << 0 << 1;
        QTest::newRow("yes, save cancelled: still ends") << QList<int>{int(Dialogs::Answer::Yes)} << 1 << 1;
    }
    void exitAsksAndEndsAtOnce()
    {
        QFETCH(QList<int>, answers);
        QFETCH(int, saveDialogs);
        QFETCH(int, ended);
        Rig rig;
        frmMain &w = rig.load();
        w.documents().setCurrentPath("/home/anna/brief.txt");
        for (int a : answers)
            rig.dialogs.answers.enqueue(Dialogs::Answer(a));
        w.action("mnuExit")->trigger();
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QCOMPARE(rig.dialogs.messages[0].text, WindowTexts::SaveBeforeExit);
        QCOMPARE(rig.dialogs.messages[0].buttons, Dialogs::Buttons::YesNoCancel);
        QCOMPARE(rig.dialogs.fileDialogs.size(), saveDialogs);
        QCOMPARE(rig.ended, ended);
        // No Close event, no LastDoc, no survey on this path.
        QVERIFY(!rig.extensions.events.contains("Close"));
        QCOMPARE(rig.settings->read(SettingKeys::LastDoc), QString());
        QCOMPARE(rig.surveysShown, 0);
    }

    void characterCountInStatusBar()
    {
        Rig rig;
        frmMain &w = rig.load();
        w.Textmode();
        w.rtfText()->setFocus();
        QTest::keyClick(w.rtfText(), Qt::Key_A);
        QCOMPARE(w.statusText(), QStringLiteral("1 Zeichen."));
        QTest::keyClick(w.rtfText(), Qt::Key_Return);
        QTest::keyClick(w.rtfText(), Qt::Key_B);
        QCOMPARE(w.statusText(), QStringLiteral("4 Zeichen."));
    }

    void editMenuWorksThroughTheClipboard()
    {
        Rig rig;
        frmMain &w = rig.load();
        w.rtfText()->setPlainText("Hallo schöne Welt");
        QTextCursor c = w.rtfText()->textCursor();
        c.setPosition(6);
        c.setPosition(13, QTextCursor::KeepAnchor);
        w.rtfText()->setTextCursor(c);
        w.action("mnuCut")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("schöne "));
        QCOMPARE(w.rtfText()->toPlainText(), QStringLiteral("Hallo Welt"));
        w.action("mnuInsert")->trigger();
        QCOMPARE(w.rtfText()->toPlainText(), QStringLiteral("Hallo schöne Welt"));
        c = w.rtfText()->textCursor();
        c.setPosition(0);
        c.setPosition(5, QTextCursor::KeepAnchor);
        w.rtfText()->setTextCursor(c);
        w.action("mnuCopy")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Hallo"));
        w.action("mnuDelete")->trigger();
        QCOMPARE(w.rtfText()->toPlainText(), QStringLiteral(" schöne Welt"));
    }

    void fixedTasksDispatch()
    {
        Rig rig;
        frmMain &w = rig.load();
        rig.voice.setAutoFinishMs(10);
        w.rtfText()->setPlainText("Aufgabe");
        emit w.ctlTask()->FireSelectItem(101, 0);
        QCOMPARE(rig.voice.spokenTexts(), QStringList{" Aufgabe "});
        emit w.ctlTask()->FireSelectItem(202, 0);
        QCOMPARE(rig.dialogs.fileDialogs.size(), 1);
        QVERIFY(rig.dialogs.fileDialogs[0].save);
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
