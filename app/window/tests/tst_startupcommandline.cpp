#include "StartupCommandLine.h"

#include <QDir>
#include <QTest>

class TestStartupCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("text");
        QTest::addColumn<bool>("speak");
        QTest::newRow("empty") << "" << "" << false << false;
        QTest::newRow("quoted path") << "\"/home/anna/brief.txt\"" << "/home/anna/brief.txt" << false << false;
        QTest::newRow("quoted path and /s") << "\"/home/anna/mein brief.txt\" /s" << "/home/anna/mein brief.txt" << false << true;
        QTest::newRow("quoted path and /t") << "\"/home/anna/brief.txt\" /t" << "/home/anna/brief.txt" << true << false;
        QTest::newRow("both switches") << "\"a.txt\" /t /s" << "a.txt" << true << true;
        QTest::newRow("unquoted path loads nothing") << "/home/anna/brief.txt /s" << "" << false << true;
        QTest::newRow("/t alone") << "/t" << "" << true << false;
        QTest::newRow("switches are case-sensitive") << "\"a.txt\" /S /T" << "a.txt" << false << false;
        QTest::newRow("single quote yields nothing") << "\"a.txt" << "" << false << false;
        QTest::newRow("empty quotes") << "\"\"" << "" << false << false;
        QTest::newRow("quote later in the line") << "x \"a.txt\"" << "a.txt\"" << false << false;
        QTest::newRow("slash-s inside the path is no switch") << "\"/srv/texte/tag.txt\"" << "/srv/texte/tag.txt" << false << false;
        QTest::newRow("slash-t inside the path is no switch") << "\"/tmp/a.txt\" /s" << "/tmp/a.txt" << false << true;
    }
    void parse()
    {
        QFETCH(QString, line);
        QFETCH(QString, path);
        QFETCH(bool, text);
        QFETCH(bool, speak);
        const StartupRequest r = StartupCommandLine::parse(line);
        QCOMPARE(r.quotedPath, path);
        QCOMPARE(r.textMode, text);
        QCOMPARE(r.speakAtStart, speak);
    }

    void asTheUserTypesIt_data()
    {
        QTest::addColumn<QStringList>("argv");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("text");
        QTest::addColumn<bool>("speak");
        QTest::newRow("nothing") << QStringList{} << "" << false << false;
        QTest::newRow("file with blank and /s") << QStringList{"/home/anna/my file.txt", "/s"} << "/home/anna/my file.txt" << false << true;
        QTest::newRow("relative file is made absolute") << QStringList{"doc.txt"} << QDir::current().absoluteFilePath("doc.txt") << false << false;
        QTest::newRow("switch only") << QStringList{"/t"} << "" << true << false;
        QTest::newRow("switches only") << QStringList{"/t", "/s"} << "" << true << true;
        QTest::newRow("file in /tmp") << QStringList{"/tmp/t.txt"} << "/tmp/t.txt" << false << false;
    }
    void asTheUserTypesIt()
    {
        QFETCH(QStringList, argv);
        QFETCH(QString, path);
        QFETCH(bool, text);
        QFETCH(bool, speak);
        const StartupRequest r = StartupCommandLine::parse(StartupCommandLine::fromArguments(argv));
        QCOMPARE(r.quotedPath, path);
        QCOMPARE(r.textMode, text);
        QCOMPARE(r.speakAtStart, speak);
    }
};

QTEST_APPLESS_MAIN(TestStartupCommandLine)
#include "tst_startupcommandline.moc"
