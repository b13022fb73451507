#include "AccessibilityRecorder.h"
#include "ScriptCommands.h"
#include "ScriptHighlighter.h"
#include "ScriptParser.h"
#include "ScriptTextEdit.h"
#include "ScriptedDialogs.h"
#include "frmTask.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

// The command builder: what it takes from the command table, the selection
// handler and the statements it builds, read back through the interpreter's
// parser.
class tst_frmTask : public QObject
{
    Q_OBJECT
private slots:
    void everyRowReachesBuilderAndHighlighter();
    void selection_data();
    void selection();
    void statements_data();
    void statements();
    void numericCheck_data();
    void numericCheck();
    void fieldsAfterAdding();
    void unwritableParameters_data();
    void unwritableParameters();
    void fertigHidesAndKeepsTheSelection();
    void commandInfoIsTheCommandBoxDescription();

private:
    static void choose(frmTask &b, const QString &word)
    {
        const int index = b.cmbCommand()->findText(word);
        QVERIFY(index >= 0);
        b.cmbCommand()->setCurrentIndex(index);
    }
};

// A row is the only place a command is named: the builder shows each of
// its rows with that row's own texts although two rows are not offered and
// the box's index is not the table's, and the editor colours every word as
// known. A second row with the same word would never run.
void tst_frmTask::everyRowReachesBuilderAndHighlighter()
{
    ScriptedDialogs dialogs;
    frmTask b(dialogs);
    ScriptTextEdit script;
    ScriptHighlighter highlighter(script.document());
    QStringList words;
    int offered = 0;
    for (const ScriptCommands::Command &row : ScriptCommands::commands()) {
        QVERIFY2(!words.contains(row.word), qPrintable(row.word));
        words << row.word;
        script.setScriptText(row.word + QStringLiteral("(x);"));
        QCOMPARE(ScriptHighlighter::kindAt(script.document()->firstBlock(), 0),
                 int(ScriptHighlighter::Kind::KnownCommand));
        if (row.builder == ScriptCommands::Builder::Omits) {
            QCOMPARE(b.cmbCommand()->findText(row.word), -1);
            continue;
        }
        QCOMPARE(b.cmbCommand()->itemText(offered), row.word);
        b.cmbCommand()->setCurrentIndex(offered++);
        QVERIFY(!row.help.isEmpty());
        QCOMPARE(b.lblDesc()->text(), row.help);
        QCOMPARE(b.txtParameter()->isEnabled(), row.parameters >= 1);
    }
    QCOMPARE(b.cmbCommand()->count(), offered);
}

void tst_frmTask::selection_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("field1");
    QTest::addColumn<bool>("field2");
    QTest::addColumn<QString>("descriptionStart");
    QTest::newRow("no parameter") << "Sprechen" << "();" << false << false << "Spricht den aktuellen";
    QTest::newRow("Nichts with count 1") << "Pause" << "(Nichts als Parameter);" << true << false << "Pausiert";
    QTest::newRow("number") << "Warten" << "(Zahl als Parameter);" << true << false << "Wartet 'Zahl'";
    QTest::newRow("two texts") << "Ersetzen" << "(Text als Parameter,Text als zweiter Parameter);" << true << true
                               << "Ersetzt";
    QTest::newRow("Wenn ends on different texts")
        << "Wenn" << "(Text als Parameter,Text als zweiter Parameter);" << true << true
        << "Überprüft ob 'Text' und 'Text2' den selben Inhalt haben. Wenn nicht wird";
    QTest::newRow("Wenn_nicht ends on equal texts")
        << "Wenn_nicht" << "(Text als Parameter,Text als zweiter Parameter);" << true << true
        << "Überprüft ob 'Text' und 'Text2' den selben Inhalt haben. Wenn dies zutrifft wird";
}

void tst_frmTask::selection()
{
    QFETCH(QString, word);
    QFETCH(QString, pattern);
    QFETCH(bool, field1);
    QFETCH(bool, field2);
    QFETCH(QString, descriptionStart);
    ScriptedDialogs dialogs;
    frmTask b(dialogs);
    choose(b, "Download"); // every row is reached from another one
    b.txtParameter()->setText("alt");
    choose(b, word);
    QCOMPARE(b.lblCommandBold()->text(), word);
    QCOMPARE(b.lblParameter()->text(), pattern);
    QVERIFY(b.lblDesc()->text().startsWith(descriptionStart));
    QCOMPARE(b.txtParameter()->isEnabled(), field1);
    QCOMPARE(b.txtParameter2()->isEnabled(), field2);
    QCOMPARE(b.txtParameter()->text(), field1 ? QString() : QStringLiteral("(nicht benötigt)"));
    QCOMPARE(b.txtParameter2()->text(), field2 ? QString() : QStringLiteral("(nicht benötigt)"));
}

void tst_frmTask::statements_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("p1");
    QTest::addColumn<QString>("p2");
    QTest::addColumn<QString>("expected");
    // What the interpreter then reads, after %KOMMA% is put back.
    QTest::addColumn<QString>("para1");
    QTest::addColumn<QString>("para2");
    QTest::newRow("Warten 5") << "Warten" << "5" << "" << "Warten(5);" << "5" << "";
    QTest::newRow("Pause drops its field") << "Pause" << "egal" << "" << "Pause();" << "" << "";
    QTest::newRow("Beenden unchecked") << "Beenden" << "x" << "" << "Beenden(x);" << "x" << "";
    QTest::newRow("Sprechen no parameter") << "Sprechen" << "" << "" << "Sprechen();" << "" << "";
    QTest::newRow("comma stays in one parameter")
        << "Sprechen2" << "Hallo, Welt" << "" << "Sprechen2(Hallo\\, Welt);" << "Hallo, Welt" << "";
    QTest::newRow("commas in both parameters")
        << "Ersetzen" << "a,b" << "c, d" << "Ersetzen(a\\,b,c\\, d);" << "a,b" << "c, d";
    QTest::newRow("typed as given, blanks kept") << "Dokument" << " Text " << "1" << "Dokument( Text ,1);"
                                                  << " Text " << "1";
    QTest::newRow("variables untouched") << "Wenn" << "$Zeit" << "12:00" << "Wenn($Zeit,12:00);" << "$Zeit"
                                         << "12:00";
}

void tst_frmTask::statements()
{
    QFETCH(QString, word);
    QFETCH(QString, p1);
    QFETCH(QString, p2);
    QFETCH(QString, expected);
    QFETCH(QString, para1);
    QFETCH(QString, para2);
    ScriptedDialogs dialogs;
    frmTask b(dialogs);
    QSignalSpy added(&b, &frmTask::statementAdded);
    choose(b, word);
    if (b.txtParameter()->isEnabled())
        b.txtParameter()->setText(p1);
    if (b.txtParameter2()->isEnabled())
        b.txtParameter2()->setText(p2);
    b.findChild<QPushButton *>("Command1")->click();
    QCOMPARE(added.size(), 1);
    const QString line = added.at(0).at(0).toString();
    QCOMPARE(line, expected);
    const auto statement = ScriptParser::parseLine(line);
    QVERIFY(statement);
    QCOMPARE(statement->command, word);
    QCOMPARE(QString(statement->para1).replace("%KOMMA%", ","), para1);
    QCOMPARE(QString(statement->para2).replace("%KOMMA%", ","), para2);
    QVERIFY(dialogs.messages.isEmpty());
}

void tst_frmTask::numericCheck_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QLocale::Language>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("Warten 1,5 German") << "Warten" << QLocale::German << "1,5" << true;
    QTest::newRow("Warten 1.5 German") << "Warten" << QLocale::German << "1.5" << false;
    QTest::newRow("Warten 1.5 English") << "Warten" << QLocale::English << "1.5" << true;
    QTest::newRow("Warten 1,5 English") << "Warten" << QLocale::English << "1,5" << false;
    QTest::newRow("blanks around a number") << "Springe" << QLocale::German << " 3 " << true;
    QTest::newRow("negative") << "Springe" << QLocale::German << "-2" << true;
    QTest::newRow("empty Prozent") << "Geschwindigkeit" << QLocale::German << "" << false;
    QTest::newRow("letters Prozent") << "Helligkeit" << QLocale::German << "laut" << false;
    QTest::newRow("whole Prozent") << "Geschwindigkeit" << QLocale::German << " 50 " << true;
    QTest::newRow("Prozent with a fraction") << "Geschwindigkeit" << QLocale::German << "50,5" << false;
    QTest::newRow("Prozent with a decimal point") << "Helligkeit" << QLocale::English << "50.5" << false;
    QTest::newRow("variable is no number") << "Warten" << QLocale::German << "$Zeit" << false;
    QTest::newRow("Zeit is not checked") << "WartenBis" << QLocale::German << "morgen" << true;
}

void tst_frmTask::numericCheck()
{
    QFETCH(QString, word);
    QFETCH(QLocale::Language, language);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    ScriptedDialogs dialogs;
    frmTask b(dialogs);
    b.setLocale(QLocale(language));
    QSignalSpy added(&b, &frmTask::statementAdded);
    choose(b, word);
    b.txtParameter()->setText(text);
    b.addStatement();
    QCOMPARE(added.size(), accepted ? 1 : 0);
    QCOMPARE(dialogs.messages.size(), accepted ? 0 : 1);
    if (accepted && text == QStringLiteral("1,5")) // one parameter, read by the run as 1.5 seconds
        QCOMPARE(added.at(0).at(0).toString(), QStringLiteral("Warten(1\\,5);"));
    if (!accepted) {
        const QString type = ScriptCommands::typeWord(ScriptCommands::command(word)->type);
        QCOMPARE(dialogs.messages.at(0).text, "Skriptfehler:\r\n\r\nDer Befehl " + word
                                                  + "(); erwartet als Parameter folgenden Typ: " + type);
        QCOMPARE(dialogs.messages.at(0).title, QStringLiteral("Fehler"));
        QCOMPARE(dialogs.messages.at(0).icon, Dialogs::Icon::Warning);
        QCOMPARE(b.txtParameter()->text(), text); // kept for correcting
    }
}

void tst_frmTask::unwritableParameters_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("p1");
    QTest::addColumn<QString>("p2");
    QTest::addColumn<QString>("message"); // empty: added
    QTest::newRow("parenthesis") << "Sprechen2" << "a (b)" << "" << "öffnende Klammer";
    QTest::newRow("parenthesis in the second") << "Ersetzen" << "a" << "(b" << "öffnende Klammer";
    QTest::newRow("statement end") << "Meldung" << "x);y" << "" << "nicht \");\" enthalten";
    QTest::newRow("backslash before the separator") << "Download" << "C:\\" << "x" << "mit \"\\\" enden";
    QTest::newRow("backslash of the only parameter") << "Laden" << "C:\\" << "" << "";
    QTest::newRow("closing parenthesis alone") << "Sprechen2" << "a) b" << "" << "";
    QTest::newRow("unused field not looked at") << "Warten" << "2" << "(" << "";
}

void tst_frmTask::unwritableParameters()
{
    QFETCH(QString, word);
    QFETCH(QString, p1);
    QFETCH(QString, p2);
    QFETCH(QString, message);
    ScriptedDialogs dialogs;
    frmTask b(dialogs);
    QSignalSpy added(&b, &frmTask::statementAdded);
    choose(b, word);
    b.txtParameter()->setText(p1);
    b.txtParameter2()->setText(p2);
    b.addStatement();
    if (message.isEmpty()) {
        QCOMPARE(added.size(), 1);
        const auto statement = ScriptParser::parseLine(added.at(0).at(0).toString());
        QVERIFY(statement);
        QCOMPARE(statement->para1, p1);
        QVERIFY(dialogs.messages.isEmpty());
    } else {
        QCOMPARE(added.size(), 0);
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages.at(0).text.contains(message), qPrintable(dialogs.messages.at(0).text));
        QCOMPARE(b.txtParameter()->text(), p1);
    }
}

void tst_frmTask::fieldsAfterAdding()
{
    ScriptedDialogs dialogs;
    frmTask b(dialogs);
    choose(b, "Ersetzen");
    b.txtParameter()->setText("alt");
    b.txtParameter2()->setText("neu");
    b.addStatement();
    QCOMPARE(b.txtParameter()->text(), QString());
    QCOMPARE(b.txtParameter2()->text(), QStringLiteral("neu"));
}

void tst_frmTask::fertigHidesAndKeepsTheSelection()
{
    ScriptedDialogs dialogs;
    frmTask b(dialogs);
    b.show();
    choose(b, "Stimme");
    b.txtParameter()->setText("Anna");
    b.findChild<QPushButton *>("Command2")->click();
    QVERIFY(!b.isVisible());
    b.show();
    QCOMPARE(b.cmbCommand()->currentText(), QStringLiteral("Stimme"));
    QCOMPARE(b.txtParameter()->text(), QStringLiteral("Anna"));
    QCOMPARE(b.windowTitle(), QStringLiteral("Task hinzufügen"));
}

// A screen reader hears the command box, not the frame beside it: the
// frame's text has to travel with the box and be announced after each change.
void tst_frmTask::commandInfoIsTheCommandBoxDescription()
{
    ScriptedDialogs dialogs;
    frmTask b(dialogs);
    QComboBox *box = b.cmbCommand();
    QTRY_VERIFY(!box->accessibleDescription().isEmpty());
    AccessibilityRecorder recorder;

    choose(b, "Warten");
    const QString info = b.commandInfo();
    QVERIFY2(info.startsWith("Warten(Zahl als Parameter); Wartet 'Zahl'"), qPrintable(info));
    QTRY_COMPARE(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Description), info);

    QList<QAccessible::Event> order;
    for (const AccessibilityRecorder::Event &e : std::as_const(recorder.events))
        if (e.object == box && (e.type == QAccessible::ValueChanged || e.type == QAccessible::DescriptionChanged))
            order << e.type;
    // The new value first, then what it does.
    QCOMPARE(order, (QList<QAccessible::Event>{QAccessible::ValueChanged, QAccessible::DescriptionChanged}));
}

QTEST_MAIN(tst_frmTask)
#include "tst_frmtask.moc"
