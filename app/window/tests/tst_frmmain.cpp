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
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
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
        QVERIFY(!w.readers().tmrClipboard()->isActive());
        QVERIFY(!w.readers().tmrWinTasks()->isActive());
    }

    void readersFollowTheirSettings()
    {
        Rig rig;
        rig.settings->write(SettingKeys::ReadClipboardOnChange, "1");
        rig.settings->write(SettingKeys::ReadTitleOnAppChange, "1");
        frmMain &w = rig.load();
        QCOMPARE(w.readers().tmrClipboard()->interval(), 1500);
        QCOMPARE(w.readers().tmrWinTasks()->interval(), 500);
        QVERIFY(w.readers().tmrClipboard()->isActive());
        QVERIFY(w.readers().tmrWinTasks()->isActive());
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
                w.SpeakText(SpeakRequest::ofText(QStringLiteral("Hallo")));
            }
        });
        w.StartUpFile = rig.file("x.txt", "Inhalt");
        w.Form_Load();
        QVERIFY(calledDuringLoad);
        QVERIFY(rig.voice.spokenTexts().isEmpty());
        QVERIFY(rig.voice2.spokenTexts().isEmpty());
        QVERIFY(!rig.extensions.events.contains("Filter"));
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

    void resetEndsThePause_data()
    {
        QTest::addColumn<QString>("reset");
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
        w.SpeakText(SpeakRequest::ofText(QStringLiteral("Eins")).withFilters(false));
        button->trigger();
        QCOMPARE(w.speech().IsPaused(), true);
        QVERIFY(menu->isChecked());
        QVERIFY(button->isChecked());
        if (reset == QLatin1String("esc"))
            QTest::keyClick(w.rtfText(), Qt::Key_Escape);
        else
            w.action(reset)->trigger();
        QCOMPARE(w.speech().IsPaused(), false);
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

    // F8 hands the document box's cursor to the speaking routine.
    void readFromCursorStartsAtTheCursor()
    {
        Rig rig;
        frmMain &w = rig.load();
        w.rtfText()->setPlainText("Eins zwei drei");
        QTextCursor c = w.rtfText()->textCursor();
        c.setPosition(5);
        w.rtfText()->setTextCursor(c);
        w.action("mnuReadFromCur")->trigger();
        QCOMPARE(rig.voice.spokenTexts(), QStringList{"  zwei drei "});
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
        w.scripts().setRunning(true);
        rig.voice.clearCalls();
        rig.voice2.clearCalls();
        QTest::keyClick(w.rtfText(), Qt::Key_Escape);
        QCOMPARE(rig.voice.calls(), QStringList{"reset"});
        QCOMPARE(rig.voice2.calls(), QStringList{"reset"});
        QVERIFY(!w.ScriptRunning());
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

    // Every entry reaches its handler: menu entries by their keys where they
    // have one, the others and the toolbar's buttons by a click. What the
    // window did is compared whole, so a key or button that reaches another
    // handler (or two) fails.
    void entriesReachTheirHandlers_data()
    {
        QTest::addColumn<QString>("entry"); // a key sequence, or the entry's object name
        QTest::addColumn<QStringList>("happened");
        const QStringList spoken{"speak: Eins zwei "};
        QTest::newRow("Ctrl+N: Neu") << "Ctrl+N" << QStringList{"message: Frage", "empty document"};
        QTest::newRow("Ctrl+O: Öffnen") << "Ctrl+O" << QStringList{"open dialog"};
        QTest::newRow("Ctrl+S: Speichern") << "Ctrl+S" << QStringList{"save dialog"};
        QTest::newRow("Speichern unter") << "mnuSaveAs" << QStringList{"save dialog"};
        QTest::newRow("Ctrl+E: Exportieren") << "Ctrl+E" << QStringList{"message: Fehler"};
        QTest::newRow("Beenden") << "mnuExit" << QStringList{"message: Frage", "reset", "ended"};
        QTest::newRow("F5: Sprechen") << "F5" << spoken;
        QTest::newRow("F6: Stop") << "F6" << QStringList{"reset"};
        QTest::newRow("F7: Pause") << "F7" << QStringList{"pause"};
        QTest::newRow("F8: ab Cursorposition") << "F8" << QStringList{"speak:  zwei "};
        QTest::newRow("Interaktivmodus") << "mnuInternet" << QStringList{"browser"};
        QTest::newRow("Hilfe") << "mnuShowHelp" << QStringList{"browser: help.htm"};
        QTest::newRow("button Neu") << "tbNew" << QStringList{"message: Frage", "empty document"};
        QTest::newRow("button Sprechen") << "tbSpeak" << spoken;
        QTest::newRow("button Pause") << "tbPause" << QStringList{"pause"};
    }
    void entriesReachTheirHandlers()
    {
        QFETCH(QString, entry);
        QFETCH(QStringList, happened);
        Rig rig;
        rig.settings->write(SettingKeys::ShowPauseMsg, "false");
        rig.voice.setAutoFinishMs(1);
        rig.voice2.setAutoFinishMs(1);
        frmMain &w = rig.load();
        w.rtfText()->setPlainText("Eins zwei");
        w.rtfText()->document()->setModified(false);
        QTextCursor cursor = w.rtfText()->textCursor();
        cursor.setPosition(5); // before "zwei"
        w.rtfText()->setTextCursor(cursor);
        rig.voice.clearCalls();
        // A question is answered "Nein": the entry goes on without saving.
        rig.dialogs.answers.enqueue(Dialogs::Answer::No);
        if (QAction *a = w.action(entry)) {
            a->trigger();
        } else {
            // Shortcuts belong to the active window.
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            QTest::keySequence(w.rtfText(), QKeySequence(entry));
        }
        QStringList what;
        for (const auto &dialog : rig.dialogs.fileDialogs)
            what << (dialog.save ? "save dialog" : "open dialog");
        for (const auto &message : rig.dialogs.messages)
            what << "message: " + message.title;
        // Every speaking starts with a reset: only a reset alone is a stop.
        const QStringList calls = rig.voice.calls();
        const bool spoke =
            std::any_of(calls.begin(), calls.end(), [](const QString &c) { return c.startsWith("speak:"); });
        for (const QString &call : calls) {
            if (call.startsWith("speak:") || call == "pause" || (call == "reset" && !spoke))
                what << call;
        }
        for (const auto &call : rig.shell.calls)
            what << call.kind + ": " + call.target;
        if (w.rtfText()->toPlainText().isEmpty())
            what << "empty document";
        if (rig.ended)
            what << "ended";
        if (!w.isTextMode()) {
            const QString page = QFileInfo(w.wbBrowser()->currentAddress()).fileName();
            what << (page.isEmpty() ? QStringLiteral("browser") : "browser: " + page);
        }
        QCOMPARE(what, happened);
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

    void toolbarButtonsShowPicturesOfTheirOwn()
    {
        Rig rig;
        frmMain &w = rig.make();
        // Every button shows a picture of its own, and a greyed one when
        // disabled; each has a caption and a tooltip.
        QList<QImage> pictures;
        for (QAction *a : w.Toolbar1()->actions()) {
            if (a->isSeparator())
                continue;
            QVERIFY(!a->text().isEmpty());
            QVERIFY(!a->toolTip().isEmpty());
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
        w.scripts().setRunning(true);
        w.close();
        QCOMPARE(rig.settings->read(SettingKeys::LastDoc), QStringLiteral("/home/anna/brief.rtf"));
        QVERIFY(rig.extensions.events.contains("Close"));
        QVERIFY(!w.ScriptRunning());
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
