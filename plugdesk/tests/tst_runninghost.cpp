// Quenora running while Plugdesk switches an extension: the editor's host
// (a process of its own, kept running) reads the Extensions key at every
// event, so the next event after a switch reaches the extension or not.
#include "ExtensionListModel.h"
#include "ExtensionsFixture.h"

#include <QFile>
#include <QProcess>

class tst_RunningHost : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QProcess m_host;

    QString logFile() const { return m_home.filePath("plugin.log"); }
    QStringList pluginCalls() const
    {
        QFile f(logFile());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    // One event to the running host; its answer once it has been delivered.
    QString send(const QString &event)
    {
        m_host.write((event + '\n').toUtf8());
        while (!m_host.canReadLine()) {
            if (!m_host.waitForReadyRead(30000))
                return QStringLiteral("<keine Antwort>");
        }
        return QString::fromUtf8(m_host.readLine()).chopped(1);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        clsRegistryAccess installer(std::make_shared<SqliteHive>(m_home.filePath("registry.db")));
        QVERIFY(installer.WriteString("HKEY_CLASSES_ROOT\\Test.Bracket\\InprocServer32", "@", TESTPLUGIN));
        QVERIFY(installer.WriteString("HKEY_CLASSES_ROOT\\Test.Recorder\\InprocServer32", "@", TESTPLUGIN));
        const QString klammer = ExtensionEntries::keyPath() + "\\Klammer";
        QVERIFY(installer.WriteString(klammer, "DisplayName", "Klammern"));
        QVERIFY(installer.WriteString(klammer, "ObjectName", "Test.Bracket"));
        QVERIFY(installer.WriteString(klammer, "Active", "true"));
        const QString recorder = ExtensionEntries::keyPath() + "\\Recorder";
        QVERIFY(installer.WriteString(recorder, "DisplayName", "Protokoll"));
        QVERIFY(installer.WriteString(recorder, "ObjectName", "Test.Recorder"));
        QVERIFY(installer.WriteString(recorder, "Active", "true"));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUENORA_HOME", m_home.path());
        env.insert("QN_TESTPLUGIN_LOG", logFile());
        m_host.setProcessEnvironment(env);
        m_host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_host.start(HOST_RUNNER, {});
        QVERIFY(m_host.waitForStarted());
    }

    void cleanupTestCase()
    {
        m_host.closeWriteChannel();
        QVERIFY(m_host.waitForFinished(30000));
        QCOMPARE(m_host.exitCode(), 0);
    }

    void theNextEventFollowsTheSwitch()
    {
        QCOMPARE(send("filter Hallo"), QString("[Hallo]"));
        QCOMPARE(send("newfile"), QString("ok"));
        QVERIFY(pluginCalls().contains("Recorder NewFile"));

        // Plugdesk, in this process, on the same hive through its own connection.
        clsRegistryAccess registry(std::make_shared<SqliteHive>(m_home.filePath("registry.db")));
        ExtensionEntries entries(registry);
        ExtensionListModel model(entries);
        model.load();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.text(0), QString("Klammern"));
        QCOMPARE(model.text(1), QString("Protokoll"));

        QVERIFY(model.setData(model.index(0), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(send("filter Hallo"), QString("Hallo"));

        QVERIFY(model.setData(model.index(1), Qt::Unchecked, Qt::CheckStateRole));
        const qsizetype before = pluginCalls().size();
        QCOMPARE(send("newfile"), QString("ok"));
        QCOMPARE(send("export /tmp/x.wav"), QString("ok"));
        QCOMPARE(pluginCalls().size(), before);

        // And back on, still without restarting the host.
        QVERIFY(model.setData(model.index(0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(model.setData(model.index(1), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(send("filter Hallo"), QString("[Hallo]"));
        QCOMPARE(send("export /tmp/x.wav"), QString("ok"));
        QCOMPARE(pluginCalls().last(), QString("Recorder Export /tmp/x.wav"));
    }
};

QTEST_GUILESS_MAIN(tst_RunningHost)
#include "tst_runninghost.moc"
