#include "ScriptParser.h"

#include <QTest>

Q_DECLARE_METATYPE(ScriptStatement)

class tst_ScriptParser : public QObject
{
    Q_OBJECT
private slots:
    void statements_data();
    void statements();
    void skipped_data();
    void skipped();
    void onlyCrLfEndsALine();
};

void tst_ScriptParser::statements_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<ScriptStatement>("expected");
    const auto row = [](const char *name, const char *line, const char *c, const char *p1, const char *p2) {
        QTest::newRow(name) << QString::fromUtf8(line)
                            << ScriptStatement{QString::fromUtf8(c), QString::fromUtf8(p1), QString::fromUtf8(p2)};
    };
    row("no parameter", "Sprechen();", "Sprechen", "", "");
    row("one parameter", "Sprechen2(Guten Morgen);", "Sprechen2", "Guten Morgen", "");
    row("two parameters", "Dokument(abc,0);", "Dokument", "abc", "0");
    row("no semicolon keeps the parenthesis", "Sprechen2(Hallo)", "Sprechen2", "Hallo)", "");
    row("escaped comma", "Sprechen2(Hallo\\, Welt);", "Sprechen2", "Hallo%KOMMA% Welt", "");
    row("unescaped comma, blank belongs to the second", "Sprechen2(Hallo, Welt);", "Sprechen2", "Hallo", " Welt");
    row("second parenthesis cuts", "Sprechen2(a (b));", "Sprechen2", "a ", "");
    row("blank after comma", "Wenn($Zeit, 12:00);", "Wenn", "$Zeit", " 12:00");
    row("third parameter dropped", "Ersetzen(a,b,c);", "Ersetzen", "a", "b");
    row("every ); of the last parameter goes", "Text(a);b);", "Text", "ab", "");
    row("only the last parameter loses );", "Ersetzen(x);,y);", "Ersetzen", "x);", "y");
    row("blank before # is no comment", " #Sprechen2(x);", " #Sprechen2", "x", "");
    row("command keeps its blanks", "  Stopp ();", "  Stopp ", "", "");
    row("tab stays in the command", "\tSprechen();", "\tSprechen", "", "");
    row("six characters", "Text(a", "Text", "a", "");
    row("quotes have no meaning", "Meldung(\"Hallo\");", "Meldung", "\"Hallo\"", "");
    row("empty second parameter", "Wenn_nicht($Markiert,);", "Wenn_nicht", "$Markiert", "");
}

void tst_ScriptParser::statements()
{
    QFETCH(QString, line);
    QFETCH(ScriptStatement, expected);
    const auto parsed = ScriptParser::parseLine(line);
    QVERIFY(parsed.has_value());
    QCOMPARE(parsed->command, expected.command);
    QCOMPARE(parsed->para1, expected.para1);
    QCOMPARE(parsed->para2, expected.para2);
}

void tst_ScriptParser::skipped_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("empty") << QString();
    QTest::newRow("no parenthesis") << QStringLiteral("Stopp");
    QTest::newRow("exactly five characters") << QStringLiteral("Text(");
    QTest::newRow("short statement") << QStringLiteral("a();");
    QTest::newRow("// comment") << QStringLiteral("// Sprechen2(x);");
    QTest::newRow("# comment") << QStringLiteral("#Sprechen2(x);");
    QTest::newRow("long text without parenthesis") << QStringLiteral("Dies ist nur ein Satz.");
}

void tst_ScriptParser::skipped()
{
    QFETCH(QString, line);
    QVERIFY(!ScriptParser::parseLine(line).has_value());
}

void tst_ScriptParser::onlyCrLfEndsALine()
{
    // LF-only: one line; its first statement takes the rest up to the next "(".
    const QStringList lf = ScriptParser::splitLines(QStringLiteral("Text(a);\nSprechen2(b);\n"));
    QCOMPARE(lf.size(), 1);
    const auto first = ScriptParser::parseLine(lf.first());
    QVERIFY(first.has_value());
    QCOMPARE(first->para1, QStringLiteral("a\nSprechen2"));

    const QStringList crlf = ScriptParser::splitLines(QStringLiteral("Text(a);\r\nSprechen2(b);\r\n"));
    QCOMPARE(crlf, (QStringList{QStringLiteral("Text(a);"), QStringLiteral("Sprechen2(b);"), QString()}));
    QCOMPARE(ScriptParser::splitLines(QStringLiteral("a\rb")).size(), 1);
}

QTEST_APPLESS_MAIN(tst_ScriptParser)
#include "tst_scriptparser.moc"
