#include "EditorTexts.h"
#include "ScriptHighlighter.h"
#include "ScriptTextEdit.h"
#include "ScriptedDialogs.h"
#include "frmTask.h"
#include "frmTaskEditor.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QHelpEvent>
#include <QTest>
#include <QTextBlock>

#include <unistd.h>

// The script editor: adding from the builder, opening, saving with its name
// checks, and the colouring and line numbers of its text box.
class tst_frmTaskEditor : public QObject
{
    Q_OBJECT
private slots:
    void startsEmptyWithDefaultName();
    void builderAppendsLines();
    void openFillsTextAndName();
    void openCancelledOrUnreadable();
    void saveWritesCrLfAndAnsi();
    void badNames_data();
    void badNames();
    void overwriteAsksForAnotherScript();
    void failedSaveKeepsEditorOpen();
    void runSavesFirst();
    void highlighting_data();
    void highlighting();
    void lineNumberMarginGrows();
    void hints();
    void tabKeysMoveTheFocus_data();
    void tabKeysMoveTheFocus();

private:
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

void tst_frmTaskEditor::startsEmptyWithDefaultName()
{
    ScriptedDialogs dialogs;
    frmTaskEditor e(dialogs, QDir::tempPath());
    QCOMPARE(e.windowTitle(), QStringLiteral("Taskscript Editor"));
    QCOMPARE(e.txtSkriptname()->text(), QStringLiteral("Neues Taskscript"));
    QCOMPARE(e.rtfSkript()->scriptText(), QString());
    QVERIFY(!e.isModal());
}

void tst_frmTaskEditor::builderAppendsLines()
{
    ScriptedDialogs dialogs;
    frmTaskEditor e(dialogs, QDir::tempPath());
    e.show();
    e.findChild<QPushButton *>("Command1")->click();
    frmTask &b = *e.builder();
    QTRY_VERIFY(b.isVisible());
    QVERIFY(b.isModal());
    b.cmbCommand()->setCurrentIndex(b.cmbCommand()->findText("Warten"));
    b.txtParameter()->setText("5");
    b.addStatement();
    // The first statement follows an empty line, which the interpreter skips.
    QCOMPARE(e.rtfSkript()->scriptText(), QStringLiteral("\r\nWarten(5);"));
    b.cmbCommand()->setCurrentIndex(0);
    b.addStatement();
    QCOMPARE(e.rtfSkript()->scriptText(), QStringLiteral("\r\nWarten(5);\r\nSprechen();"));
    e.rtfSkript()->undo();
    QCOMPARE(e.rtfSkript()->scriptText(), QStringLiteral("\r\nWarten(5);"));
}

void tst_frmTaskEditor::openFillsTextAndName()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Morgen.vts");
    // Windows-1252 as old scripts are stored, and a lone LF that is no line
    // end to the interpreter.
    write(path, "Sprechen2(Gr\xfc\xdf Gott);\r\nText(a\nb);\r\n");
    ScriptedDialogs dialogs;
    frmTaskEditor e(dialogs, dir.path());
    dialogs.files.enqueue(path);
    e.findChild<QPushButton *>("Command3")->click();
    QCOMPARE(dialogs.fileDialogs.size(), 1);
    QCOMPARE(dialogs.fileDialogs.at(0).request.filter, QStringLiteral("Voice Taskscripts (*.vts)|*.vts"));
    QCOMPARE(dialogs.fileDialogs.at(0).request.initialPath, dir.path());
    QVERIFY(dialogs.fileDialogs.at(0).request.fileMustExist);
    QCOMPARE(e.txtSkriptname()->text(), QStringLiteral("Morgen"));
    QCOMPARE(e.rtfSkript()->blockCount(), 3);
    QCOMPARE(e.rtfSkript()->document()->firstBlock().text(), QStringLiteral("Sprechen2(Grüß Gott);"));
    // Saving again writes the same script, now as UTF-8, without asking.
    QVERIFY(e.saveScript());
    QCOMPARE(read(path), QByteArray("Sprechen2(Gr\xc3\xbc\xc3\x9f Gott);\r\nText(a\nb);\r\n"));
    QVERIFY(dialogs.messages.isEmpty());
}

void tst_frmTaskEditor::openCancelledOrUnreadable()
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    frmTaskEditor e(dialogs, dir.path());
    e.rtfSkript()->setScriptText("Stopp();");
    e.openScript(); // the queue is empty: cancelled
    QCOMPARE(e.rtfSkript()->scriptText(), QStringLiteral("Stopp();"));
    QVERIFY(dialogs.messages.isEmpty());

    dialogs.files.enqueue(dir.filePath("weg.vts"));
    e.openScript();
    QCOMPARE(e.rtfSkript()->scriptText(), QStringLiteral("Stopp();"));
    QCOMPARE(e.txtSkriptname()->text(), QStringLiteral("Neues Taskscript"));
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(dialogs.messages.at(0).text.contains("kann nicht geöffnet werden"));
}

void tst_frmTaskEditor::saveWritesCrLfAndAnsi()
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    frmTaskEditor e(dialogs, dir.filePath("scripts")); // made on first save
    QSignalSpy saved(&e, &frmTaskEditor::saved);
    e.show();
    e.txtSkriptname()->setText("Grüße");
    e.rtfSkript()->setScriptText("Sprechen2(Hallo);\r\nWarten(1);");
    e.findChild<QPushButton *>("Command2")->click();
    QVERIFY(!e.isVisible());
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.at(0).at(0).toString(), QStringLiteral("Grüße.vts"));
    QCOMPARE(read(dir.filePath("scripts/Grüße.vts")), QByteArray("Sprechen2(Hallo);\r\nWarten(1);"));
    // Hidden, not gone: shown again it still holds the script.
    e.show();
    QCOMPARE(e.rtfSkript()->scriptText(), QStringLiteral("Sprechen2(Hallo);\r\nWarten(1);"));
}

void tst_frmTaskEditor::badNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    const QString invalid = QStringLiteral("darf keinen Schrägstrich");
    QTest::newRow("empty") << "" << "Bitte geben Sie dem Taskscript einen Namen";
    QTest::newRow("slash") << "a/b" << invalid;
    QTest::newRow("leaving the folder") << "../x" << invalid;
    QTest::newRow("leading dot") << ".versteckt" << invalid;
    QTest::newRow("NUL") << QStringLiteral("a") + QChar(0) + "b" << invalid;
}

void tst_frmTaskEditor::badNames()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    frmTaskEditor e(dialogs, dir.filePath("scripts"));
    QSignalSpy saved(&e, &frmTaskEditor::saved);
    e.show();
    e.txtSkriptname()->setText(name);
    e.rtfSkript()->setScriptText("Sprechen();");
    QVERIFY(!e.saveScript());
    QVERIFY(e.isVisible());
    QCOMPARE(saved.size(), 0);
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY2(dialogs.messages.at(0).text.contains(message), qPrintable(dialogs.messages.at(0).text));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

void tst_frmTaskEditor::overwriteAsksForAnotherScript()
{
    QTemporaryDir dir;
    write(dir.filePath("Abend.vts"), "Stopp();");
    ScriptedDialogs dialogs;
    frmTaskEditor e(dialogs, dir.path());
    e.txtSkriptname()->setText("Abend");
    e.rtfSkript()->setScriptText("Sprechen();");
    dialogs.answers.enqueue(Dialogs::Answer::No);
    QVERIFY(!e.saveScript());
    QCOMPARE(read(dir.filePath("Abend.vts")), QByteArray("Stopp();"));
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages.at(0).buttons, Dialogs::Buttons::YesNo);
    dialogs.answers.enqueue(Dialogs::Answer::Yes);
    QVERIFY(e.saveScript());
    QCOMPARE(read(dir.filePath("Abend.vts")), QByteArray("Sprechen();"));
    // Now it is the script in the editor: the next save does not ask.
    QVERIFY(e.saveScript());
    QCOMPARE(dialogs.messages.size(), 2);
}

void tst_frmTaskEditor::failedSaveKeepsEditorOpen()
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    // Scripts folder path taken by a file: nothing can be written there.
    write(dir.filePath("scripts"), "");
    frmTaskEditor e(dialogs, dir.filePath("scripts"));
    QSignalSpy saved(&e, &frmTaskEditor::saved);
    e.show();
    e.rtfSkript()->setScriptText("Sprechen();");
    QVERIFY(!e.saveScript());
    QVERIFY(e.isVisible());
    QCOMPARE(saved.size(), 0);
    QCOMPARE(e.rtfSkript()->scriptText(), QStringLiteral("Sprechen();"));
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages.at(0).icon, Dialogs::Icon::Critical);
    QVERIFY(dialogs.messages.at(0).text.contains("konnte nicht unter"));
}

void tst_frmTaskEditor::runSavesFirst()
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    frmTaskEditor e(dialogs, dir.path());
    QSignalSpy run(&e, &frmTaskEditor::runRequested);
    e.show();
    e.txtSkriptname()->setText("Test");
    e.rtfSkript()->setScriptText("Text(x);");
    e.findChild<QPushButton *>("cmdRun")->click();
    QCOMPARE(run.size(), 1);
    QCOMPARE(run.at(0).at(0).toString(), QStringLiteral("Test.vts"));
    QCOMPARE(read(dir.filePath("Test.vts")), QByteArray("Text(x);"));
    QVERIFY(e.isVisible());
    e.txtSkriptname()->clear();
    e.runScript();
    QCOMPARE(run.size(), 1);
}

void tst_frmTaskEditor::highlighting_data()
{
    using K = ScriptHighlighter::Kind;
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("kind");
    QTest::newRow("known word") << "Sprechen();" << 0 << int(K::KnownCommand);
    QTest::newRow("wrong case") << "sprechen();" << 0 << int(K::UnknownCommand);
    QTest::newRow("tab-indented") << "\tSprechen();" << 1 << int(K::UnknownCommand);
    QTest::newRow("blank-indented still runs") << "  Sprechen();" << 2 << int(K::KnownCommand);
    QTest::newRow("word the builder lacks") << "Löschen(*.tmp);" << 0 << int(K::KnownCommand);
    QTest::newRow("misspelt") << "Sprechn2(x);" << 0 << int(K::UnknownCommand);
    QTest::newRow("parameter") << "Sprechen2(Hallo);" << 11 << int(K::Parameter);
    QTest::newRow("variable") << "Sprechen2(Es ist $Zeit);" << 18 << int(K::Variable);
    QTest::newRow("hash comment") << "#Sprechen();" << 1 << int(K::Skipped);
    QTest::newRow("slash comment") << "//Stopp();" << 3 << int(K::Skipped);
    QTest::newRow("no parenthesis") << "Sprechen" << 0 << int(K::Skipped);
    QTest::newRow("too short") << "Bx();" << 0 << int(K::Skipped);
    QTest::newRow("after a second parenthesis") << "Text(a (b));" << 9 << int(K::Skipped);
}

void tst_frmTaskEditor::highlighting()
{
    QFETCH(QString, line);
    QFETCH(int, position);
    QFETCH(int, kind);
    ScriptTextEdit edit;
    ScriptHighlighter highlighter(edit.document());
    edit.setScriptText("Stopp();\r\n" + line);
    QCOMPARE(ScriptHighlighter::kindAt(edit.document()->findBlockByNumber(1), position), kind);
}

void tst_frmTaskEditor::lineNumberMarginGrows()
{
    ScriptTextEdit edit;
    edit.setScriptText("Stopp();");
    const int narrow = edit.lineNumberAreaWidth();
    QStringList lines;
    for (int i = 0; i < 1000; ++i)
        lines << "Text(x);";
    edit.setScriptText(lines.join("\r\n"));
    QCOMPARE(edit.blockCount(), 1000); // one box line per script line, as Springe counts
    QVERIFY(edit.lineNumberAreaWidth() > narrow);
}

void tst_frmTaskEditor::hints()
{
    ScriptTextEdit edit;
    ScriptHighlighter highlighter(edit.document());
    edit.setScriptText("Sprechen();\r\n\tSprechen();\r\n# Morgen\r\n");
    QCOMPARE(edit.hintAt(0, 2), QString());
    QVERIFY(edit.hintAt(1, 3).startsWith("Unbekannter Befehl"));
    QVERIFY(edit.hintAt(2, 3).contains("übergangen"));
    QCOMPARE(edit.hintAt(3, 0), QString()); // the empty last line
    QCOMPARE(edit.hintAt(9, 0), QString());

    // Shown on hover, the long hint is wrapped, not one line across the screen.
    edit.resize(500, 200);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    const QRect second = edit.cursorRect(QTextCursor(edit.document()->findBlockByNumber(1)));
    const QPoint at = second.center() + QPoint(20, 0);
    QHelpEvent hover(QEvent::ToolTip, at, edit.viewport()->mapToGlobal(at));
    QApplication::sendEvent(edit.viewport(), &hover);
    QWidget *tip = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->inherits("QTipLabel") && w->isVisible())
            tip = w;
    QVERIFY(tip);
    const QFontMetrics metrics(tip->font());
    QVERIFY2(tip->width() < metrics.horizontalAdvance(EditorTexts::HintUnknownCommand) / 2,
             qPrintable(QString::number(tip->width())));
    QVERIFY(tip->height() > 2 * metrics.height());
}

void tst_frmTaskEditor::tabKeysMoveTheFocus_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("nowFocused");
    QTest::newRow("Tab") << int(Qt::NoModifier) << "Command3";
    QTest::newRow("Shift+Tab") << int(Qt::ShiftModifier) << "txtSkriptname";
}

// A tab would make the interpreter pass over the statement; and a text box
// that eats Tab holds a keyboard user captive.
void tst_frmTaskEditor::tabKeysMoveTheFocus()
{
    QFETCH(int, modifiers);
    QFETCH(QString, nowFocused);
    ScriptedDialogs dialogs;
    frmTaskEditor e(dialogs, QDir::tempPath());
    e.show();
    QVERIFY(QTest::qWaitForWindowActive(&e));
    e.rtfSkript()->setScriptText("Sprechen();");
    e.rtfSkript()->setFocus();
    QTRY_VERIFY(e.rtfSkript()->hasFocus());

    QTest::keyClick(e.rtfSkript(), Qt::Key_Tab, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(e.rtfSkript()->scriptText(), QStringLiteral("Sprechen();"));
    QVERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), nowFocused);
}

QTEST_MAIN(tst_frmTaskEditor)
#include "tst_frmtaskeditor.moc"
