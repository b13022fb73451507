// The extension manager's window with its messages answered by a script.
#include "AccessibilityRecorder.h"
#include "ExtensionListModel.h"
#include "ExtensionsFixture.h"
#include "ScriptedDialogs.h"
#include "TextFit.h"
#include "frmMain.h"

#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>

class tst_PlugdeskWindow : public QObject
{
    Q_OBJECT

    struct Rig {
        ExtensionsFixture &f;
        clsRegistryAccess &registry;
        ExtensionEntries entries{registry};
        ExtensionListModel model{entries};
        ScriptedDialogs dialogs;
        plugdesk::frmMain window{model, entries, dialogs};
        Rig(ExtensionsFixture &fixture, clsRegistryAccess &r) : f(fixture), registry(r) {}

        // Loads the list and shows the window as the program does.
        bool open()
        {
            if (!window.Form_Load())
                return false;
            window.show();
            return QTest::qWaitForWindowExposed(&window);
        }
    };

private slots:
    void nothingInstalledTellsAndEnds()
    {
        ExtensionsFixture f;
        Rig rig(f, f.registry);
        QVERIFY(!rig.window.Form_Load());
        QCOMPARE(rig.dialogs.messages.size(), 1);
        const ScriptedDialogs::Message m = rig.dialogs.messages[0];
        QCOMPARE(m.text, QString("Es sind keine Erweiterungen installiert!"));
        QCOMPARE(m.title, QString("Extension Manager"));
        QCOMPARE(m.icon, Dialogs::Icon::None);
        QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
    }

    void aDamagedHiveIsNotCalledEmpty()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("registry.db");
        QFile junk(file);
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(8192, 'x'));
        junk.close();
        ExtensionsFixture f;
        clsRegistryAccess damaged(std::make_shared<SqliteHive>(file, 50));
        Rig rig(f, damaged);
        QVERIFY(!rig.window.Form_Load());
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QVERIFY(rig.dialogs.messages[0].text.startsWith("Die Liste der Erweiterungen kann nicht gelesen werden."));
        QVERIFY(rig.dialogs.messages[0].text.contains("beschädigt"));
    }

    void showsTheWindowAsDesigned()
    {
        ExtensionsFixture f;
        f.add("a", "Mailer", "true");
        Rig rig(f, f.registry);
        QVERIFY(rig.window.Form_Load());
        QCOMPARE(rig.window.windowTitle(), QString("Marlowind Extension/AddIn Manager"));
        QCOMPARE(rig.window.font().families().value(0), QString("Tahoma"));
        QVERIFY(rig.window.windowIcon().isNull());
        QCOMPARE(rig.window.Label1()->text(),
                 QString("Wählen Sie eine Erweiterung aus der Liste und deaktivieren oder aktivieren Sie es, in dem "
                         "Sie ein Kästchen davor setzen oder dieses entfernen."));
        QCOMPARE(rig.window.txtDesc()->toPlainText(), QString("(keine Beschreibung vorhanden)\n"));
        QCOMPARE(rig.window.List1()->model()->rowCount(), 1);
        QVERIFY(rig.dialogs.messages.isEmpty());
    }

    void clickingAnItemShowsItsDescription()
    {
        ExtensionsFixture f;
        f.add("a", "Filter Pro", "true");
        f.describe("a", "Zeile 1$CRLFZeile 2");
        f.add("b", "Filter", "true");
        f.describe("b", "Nur der Filter");
        Rig rig(f, f.registry);
        QVERIFY(rig.open());
        QListView *list = rig.window.List1();

        const QRect first = list->visualRect(rig.model.index(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
        QCOMPARE(rig.window.txtDesc()->toPlainText(), QString("Zeile 1\nZeile 2"));
        QCOMPARE(rig.window.txtDesc()->document()->blockCount(), 2);

        // "Filter" belongs to both entries: the last one enumerated shows.
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(rig.window.txtDesc()->toPlainText(), QString("Nur der Filter"));
        QCOMPARE(rig.dialogs.messages.size(), 0);
    }

    void spaceTogglesTheCurrentEntry()
    {
        ExtensionsFixture f;
        f.add("a", "Mailer", "true");
        f.add("b", "Bairisch", "false");
        Rig rig(f, f.registry);
        QVERIFY(rig.open());
        QListView *list = rig.window.List1();
        list->setCurrentIndex(rig.model.index(1));

        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(f.active("b"), QString("true"));
        QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(f.active("a"), QString("false"));
        QCOMPARE(rig.model.isChecked(0), false);
        QCOMPARE(rig.model.isChecked(1), true);
    }

    void screenReaderHearsEachSwitch_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("nowChecked");
        QTest::newRow("switched on") << 1 << true;
        QTest::newRow("switched off") << 0 << false;
    }
    void screenReaderHearsEachSwitch()
    {
        QFETCH(int, row);
        QFETCH(bool, nowChecked);
        ExtensionsFixture f;
        f.add("a", "Mailer", "true");
        f.add("b", "Bairisch", "false");
        Rig rig(f, f.registry);
        QVERIFY(rig.open());
        QVERIFY(AccessibilityRecorder::available());
        AccessibilityRecorder recorder;
        QListView *list = rig.window.List1();
        QAccessibleInterface *listInterface = QAccessible::queryAccessibleInterface(list);
        QVERIFY(listInterface);
        QCOMPARE(listInterface->childCount(), 2);
        // Checked or not, every item says that it can be checked. The
        // desktop's bridge passes no "checkable" on, so the role says it.
        for (int i = 0; i < 2; ++i) {
            QAccessibleInterface *item = listInterface->child(i);
            QVERIFY(item);
            QCOMPARE(item->text(QAccessible::Name), rig.model.text(i));
            QCOMPARE(item->role(), QAccessible::CheckBox);
            QVERIFY(item->state().checkable);
            QCOMPARE(bool(item->state().checked), rig.model.isChecked(i));
            QCOMPARE(listInterface->indexOfChild(item), i);
        }

        list->setCurrentIndex(rig.model.index(row));
        recorder.clear();
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(rig.model.isChecked(row), nowChecked);
        const auto changes = recorder.ofType(QAccessible::StateChanged);
        QCOMPARE(changes.size(), size_t(1));
        QVERIFY(changes[0].changed.checked);
        QVERIFY(changes[0].iface);
        QCOMPARE(changes[0].iface->text(QAccessible::Name), rig.model.text(row));
        QCOMPARE(bool(changes[0].iface->state().checked), nowChecked);
        QVERIFY(changes[0].iface->state().focused);

        // A screen reader's own "toggle" switches back, as the key did.
        changes[0].iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(rig.model.isChecked(row), !nowChecked);
        QCOMPARE(f.active(row == 0 ? "a" : "b"), nowChecked ? QString("false") : QString("true"));
    }

    void isADialogThatClosesByKeyOrButton_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("Escape") << false;
        QTest::newRow("Schließen") << true;
    }
    void isADialogThatClosesByKeyOrButton()
    {
        QFETCH(bool, byButton);
        ExtensionsFixture f;
        f.add("a", "Mailer", "true");
        Rig rig(f, f.registry);
        QVERIFY(rig.open());
        QCOMPARE(QAccessible::queryAccessibleInterface(&rig.window)->role(), QAccessible::Dialog);
        QCOMPARE(rig.window.cmdClose()->text(), QString("&Schließen"));
        QSignalSpy finished(&rig.window, &QDialog::finished);

        // Enter in the list is no way to close it.
        QTest::keyClick(rig.window.List1(), Qt::Key_Return);
        QVERIFY(rig.window.isVisible());
        if (byButton)
            QTest::mouseClick(rig.window.cmdClose(), Qt::LeftButton);
        else
            QTest::keyClick(rig.window.List1(), Qt::Key_Escape);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!rig.window.isVisible());
        QCOMPARE(f.active("a"), QString("true"));
    }

    // Large type: the window grows with it, and the instruction is not cut
    // off.
    void largeTypeFits()
    {
        const QFont usual = QApplication::font();
        QFont large = usual;
        large.setPointSizeF(usual.pointSizeF() * 2.5);
        QApplication::setFont(large);
        const auto restore = qScopeGuard([&usual] { QApplication::setFont(usual); });
        ExtensionsFixture f;
        f.add("a", "Mail nach dem Export (E-Mail-Programm öffnen)", "true");
        f.add("b", "Bairischer Dialekt", "false");
        {
            Rig rig(f, f.registry);
            QVERIFY(rig.open());
            const QStringList cut = TextFit::cutTexts(&rig.window);
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join('\n')));
            // Room for the entries, not only for their first line.
            QVERIFY(rig.window.List1()->viewport()->height() >= 2 * rig.window.List1()->sizeHintForRow(0));
        }
    }

    void aFailedWriteIsToldOnceAndTheBoxRestored()
    {
        ExtensionsFixture f;
        f.add("a", "Filter Pro", "true");
        f.add("b", "Filter", "true");
        clsRegistryAccess readOnly(std::make_shared<RefusingHive>(f.hive, 0));
        Rig rig(f, readOnly);
        QVERIFY(rig.open());
        QListView *list = rig.window.List1();
        list->setCurrentIndex(rig.model.index(1));

        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(rig.dialogs.messages.size(), 1);
        const ScriptedDialogs::Message m = rig.dialogs.messages[0];
        QCOMPARE(m.title, QString("Fehler"));
        QCOMPARE(m.icon, Dialogs::Icon::Warning);
        QVERIFY2(m.text.startsWith("Die Erweiterung \"Filter\" konnte nicht deaktiviert werden"), qPrintable(m.text));
        QVERIFY(m.text.contains("schreibgeschützt"));
        QVERIFY(m.text.contains("Das Kästchen zeigt wieder den bisherigen Zustand."));
        QCOMPARE(rig.model.index(1).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(f.active("a"), QString("true"));
        QCOMPARE(f.active("b"), QString("true"));
    }
};

QTEST_MAIN(tst_PlugdeskWindow)
#include "tst_plugdeskwindow.moc"
