// The Extensions key as the extension manager sees it: listing, checks,
// matching items to entries, descriptions, switching and failed writes.
#include "ExtensionListModel.h"
#include "ExtensionsFixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <sqlite3.h>

class tst_ExtensionList : public QObject
{
    Q_OBJECT

private slots:
    void missingOrEmptyKeyListsNothing_data()
    {
        QTest::addColumn<bool>("createKey");
        QTest::newRow("no Extensions key") << false;
        QTest::newRow("key without entries") << true;
    }
    void missingOrEmptyKeyListsNothing()
    {
        QFETCH(bool, createKey);
        ExtensionsFixture f;
        if (createKey)
            QVERIFY(f.registry.CreateKey(ExtensionEntries::keyPath()));
        ExtensionEntries entries(f.registry);
        ExtensionListModel model(entries);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const ExtensionEntries::Listing listing = model.load();
        QVERIFY(listing.entries.isEmpty());
        QCOMPARE(listing.error, QString());
        QCOMPARE(model.rowCount(), 0);
    }

    void rowsFollowEnumerationWithChecksFromActive()
    {
        ExtensionsFixture f;
        // Sub-key names set the enumeration order, not display names.
        f.add("e1", "Zeta", "true", "Zeta.Obj");
        f.add("e2", "Alpha", "untrue");
        f.add("e3", "Mitte", "TRUE");
        f.add("e4", "Ohne Active", QString());
        f.add("e5", "Aus", "false");
        f.add("e6", "Leerzeichen", " true");
        f.add("e7", QString(), "true");
        f.add("e8", "", "false");

        ExtensionEntries entries(f.registry);
        ExtensionListModel model(entries);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.load();

        const QStringList texts = {"Zeta", "Alpha", "Mitte", "Ohne Active", "Aus", "Leerzeichen",
                                   "(unbekannte Extension)", "(unbekannte Extension)"};
        const QList<bool> checks = {true, true, false, false, false, true, true, false};
        QCOMPARE(model.rowCount(), texts.size());
        for (int row = 0; row < texts.size(); ++row) {
            const QModelIndex i = model.index(row);
            QCOMPARE(i.data().toString(), texts[row]);
            QCOMPARE(i.data(Qt::CheckStateRole).toInt(), int(checks[row] ? Qt::Checked : Qt::Unchecked));
            QVERIFY(model.flags(i) & Qt::ItemIsUserCheckable);
        }
        // Loading sets checks without writing: the stored texts stay as they were.
        QCOMPARE(f.active("e2"), QString("untrue"));
        QCOMPARE(f.active("e3"), QString("TRUE"));
        QCOMPARE(f.active("e4"), QString("<none>"));
    }

    void switchingWritesEveryEntryThatBelongs_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("on");
        QTest::addColumn<QStringList>("expected"); // Active of a, b, c afterwards

        // a "Filter Pro", b "Filter", c "Anderes": "Filter" occurs in both filter names.
        QTest::newRow("Filter off reaches Filter Pro too") << "Filter" << false << QStringList{"false", "false", "untrue"};
        QTest::newRow("Filter Pro off only itself") << "Filter Pro" << false << QStringList{"false", "true", "untrue"};
        QTest::newRow("case counts") << "filter" << false << QStringList{"true", "true", "untrue"};
        QTest::newRow("on writes true") << "Anderes" << true << QStringList{"true", "true", "true"};
    }
    void switchingWritesEveryEntryThatBelongs()
    {
        QFETCH(QString, item);
        QFETCH(bool, on);
        QFETCH(QStringList, expected);
        ExtensionsFixture f;
        f.add("a", "Filter Pro", "true");
        f.add("b", "Filter", "true");
        f.add("c", "Anderes", "untrue");
        ExtensionEntries entries(f.registry);
        const ExtensionEntries::Switch result = entries.setActive(item, on);
        QCOMPARE(result.error, QString());
        QCOMPARE(QStringList({f.active("a"), f.active("b"), f.active("c")}), expected);
    }

    void uncheckingTheRowWritesAndKeepsTheCheck()
    {
        ExtensionsFixture f;
        f.add("a", "Filter Pro", "true");
        f.add("b", "Filter", "true");
        f.add("c", QString(), QString()); // no DisplayName, no Active
        ExtensionEntries entries(f.registry);
        ExtensionListModel model(entries);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.load();
        QSignalSpy failed(&model, &ExtensionListModel::writeFailed);

        QVERIFY(model.setData(model.index(1), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(f.active("a"), QString("false"));
        QCOMPARE(f.active("b"), QString("false"));
        QCOMPARE(model.isChecked(1), false);
        // The row "Filter Pro" was written through the other row but keeps its
        // check until the next start, as the list is filled only once.
        QCOMPARE(model.isChecked(0), true);

        // The unnamed entry is switched like any other; Active is created.
        QVERIFY(model.setData(model.index(2), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(f.active("c"), QString("true"));
        QCOMPARE(model.index(2).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(failed.count(), 0);
    }

    void descriptionOfTheLastEntryThatBelongs_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("expected"); // null: none belongs

        QTest::newRow("Filter: the last of both") << "Filter" << "Einfach";
        QTest::newRow("Filter Pro: only itself") << "Filter Pro" << "Zeile 1\r\nZeile 2";
        QTest::newRow("empty description") << "Leer" << "(keine Beschreibung vorhanden)";
        QTest::newRow("no description") << "(unbekannte Extension)" << "(keine Beschreibung vorhanden)";
        QTest::newRow("Windows-1252 bytes") << "Alt" << "Grüße";
        QTest::newRow("string value serves too") << "Text" << "als Zeichenkette";
        QTest::newRow("none belongs") << "Gibt es nicht" << QString();
    }
    void descriptionOfTheLastEntryThatBelongs()
    {
        QFETCH(QString, item);
        QFETCH(QString, expected);
        ExtensionsFixture f;
        f.add("a", "Filter Pro", "true");
        f.describe("a", "Zeile 1$CRLFZeile 2");
        f.add("b", "Filter", "true");
        f.describe("b", "Einfach");
        f.add("c", "Leer", "true");
        f.describe("c", "");
        f.add("d", QString(), "true");
        f.add("e", "Alt", "true");
        f.describe("e", "Gr\xfc\xdf" "e");
        f.add("f", "Text", "true");
        QVERIFY(f.registry.WriteString(f.path("f"), "Description", "als Zeichenkette"));

        ExtensionEntries entries(f.registry);
        const std::optional<QString> text = entries.description(item);
        QCOMPARE(text.has_value(), !expected.isNull());
        if (text)
            QCOMPARE(*text, expected);
    }

    void aRefusedWriteKeepsTheCheckAndTheHive_data()
    {
        QTest::addColumn<int>("writesAllowed");
        QTest::addColumn<int>("refusals");
        // Two entries belong to "Filter": refused at once, or after the first
        // was written, which is then put back.
        QTest::newRow("read-only from the start") << 0 << (1 << 30);
        QTest::newRow("refused half-way") << 1 << 1;
    }
    void aRefusedWriteKeepsTheCheckAndTheHive()
    {
        QFETCH(int, writesAllowed);
        QFETCH(int, refusals);
        ExtensionsFixture f;
        f.add("a", "Filter Pro", "untrue");
        f.add("b", "Filter", QString());
        auto refusing = std::make_shared<RefusingHive>(f.hive, writesAllowed, refusals);
        clsRegistryAccess readOnly(refusing);
        ExtensionEntries entries(readOnly);
        ExtensionListModel model(entries);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.load();
        QSignalSpy failed(&model, &ExtensionListModel::writeFailed);

        QVERIFY(!model.setData(model.index(1), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(model.isChecked(1), false);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed[0][0].toInt(), 1);
        QCOMPARE(failed[0][1].toBool(), true);
        QVERIFY(failed[0][2].toString().contains("schreibgeschützt"));
        QCOMPARE(f.active("a"), QString("untrue"));
        QCOMPARE(f.active("b"), QString("<none>"));
    }

    void aHiveLockedPastItsTimeoutKeepsTheCheck()
    {
        ExtensionsFixture f;
        f.add("a", "Mailer", "true");
        ExtensionEntries entries(f.registry);
        ExtensionListModel model(entries);
        model.load();
        QSignalSpy failed(&model, &ExtensionListModel::writeFailed);

        // Another program holds the write lock longer than the hive waits.
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(f.file).constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        const bool written = model.setData(model.index(0), Qt::Unchecked, Qt::CheckStateRole);
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);

        QVERIFY(!written);
        QCOMPARE(model.isChecked(0), true);
        QCOMPARE(failed.count(), 1);
        QVERIFY2(failed[0][2].toString().contains("gesperrt"), qPrintable(failed[0][2].toString()));
        QCOMPARE(f.active("a"), QString("true"));
        // Once the lock is gone the same change goes through.
        QVERIFY(model.setData(model.index(0), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(f.active("a"), QString("false"));
    }

    void anEntryRemovedMeanwhileIsReported()
    {
        ExtensionsFixture f;
        f.add("a", "Mailer", "true");
        ExtensionEntries entries(f.registry);
        ExtensionListModel model(entries);
        model.load();
        QSignalSpy failed(&model, &ExtensionListModel::writeFailed);
        QVERIFY(f.registry.KillValue(f.path("a"), "DisplayName"));
        QVERIFY(f.registry.KillValue(f.path("a"), "Active"));
        QVERIFY(f.registry.KillKey(f.path("a")));

        QVERIFY(!model.setData(model.index(0), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(model.isChecked(0), true);
        QCOMPARE(failed.count(), 1);
        QVERIFY(failed[0][2].toString().contains("keine Erweiterung mehr"));
    }
};

QTEST_GUILESS_MAIN(tst_ExtensionList)
#include "tst_extensionlist.moc"
