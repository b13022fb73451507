#include "PlugdeskLauncher.h"
#include "RecordingShell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_PlugdeskLauncher : public QObject
{
    Q_OBJECT

private:
    static void makeFile(const QString &path, bool executable)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        QFileDevice::Permissions p = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        if (executable)
            p |= QFileDevice::ExeOwner;
        QVERIFY(f.setPermissions(p));
    }

private slots:
    void findsTheProgram_data()
    {
        QTest::addColumn<QString>("present");   // file made below the root, empty for none
        QTest::addColumn<bool>("executable");
        QTest::addColumn<QString>("expected");  // relative to the root, empty for missing

        // quenora runs from <root>/bin (installed) or <root>/app (build tree).
        QTest::newRow("installed beside quenora") << "bin/plugdesk" << true << "bin/plugdesk";
        QTest::newRow("build tree sibling folder") << "plugdesk/plugdesk" << true << "plugdesk/plugdesk";
        QTest::newRow("nothing there") << "" << true << "";
        QTest::newRow("not executable") << "bin/plugdesk" << false << "";
        QTest::newRow("a folder of that name") << "bin/plugdesk/" << true << "";
    }

    void findsTheProgram()
    {
        QFETCH(QString, present);
        QFETCH(bool, executable);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString programFolder = root.filePath(present.startsWith(QLatin1String("plugdesk/")) ? "app" : "bin");
        QVERIFY(QDir().mkpath(programFolder));
        if (present.endsWith(QLatin1Char('/')))
            QVERIFY(QDir().mkpath(root.filePath(present)));
        else if (!present.isEmpty())
            makeFile(root.filePath(present), executable);

        RecordingShell shell;
        PlugdeskLauncher launcher(shell, programFolder);
        const QString want = expected.isEmpty() ? QString() : QDir::cleanPath(root.filePath(expected));
        QCOMPARE(launcher.findProgram(), want);

        const PlugdeskLauncher::Result result = launcher.launch();
        if (expected.isEmpty()) {
            QCOMPARE(result, PlugdeskLauncher::Result::Missing);
            QVERIFY(shell.calls.isEmpty());
            QVERIFY(launcher.message(result).contains(QStringLiteral("nicht gefunden")));
        } else {
            QCOMPARE(result, PlugdeskLauncher::Result::Started);
            QCOMPARE(shell.calls.size(), 1);
            QCOMPARE(shell.calls[0].kind, QStringLiteral("program"));
            QCOMPARE(shell.calls[0].target, want);
            QCOMPARE(shell.calls[0].arguments, QStringList());
            QCOMPARE(shell.calls[0].workingFolder, programFolder);
            QCOMPARE(launcher.message(result), QString());
        }
    }

    void aStartThatFailsIsReported()
    {
        QTemporaryDir root;
        makeFile(root.filePath("bin/plugdesk"), true);
        RecordingShell shell;
        shell.result = false;
        PlugdeskLauncher launcher(shell, root.filePath("bin"));
        const PlugdeskLauncher::Result result = launcher.launch();
        QCOMPARE(result, PlugdeskLauncher::Result::Failed);
        QVERIFY(launcher.message(result).contains(QStringLiteral("nicht gestartet")));
    }
};

QTEST_GUILESS_MAIN(tst_PlugdeskLauncher)
#include "tst_plugdesklauncher.moc"
