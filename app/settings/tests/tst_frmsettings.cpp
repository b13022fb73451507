// The settings dialog on a fresh hive: what it shows, what "&Übernehmen"
// writes, the restart notice, the page labels and the extension manager link.
#include "AccessibilityRecorder.h"
#include "PageLabel.h"
#include "PlugdeskLauncher.h"
#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "SettingsPages.h"
#include "SettingsStore.h"
#include "SqliteHive.h"
#include "TextFit.h"
#include "frmSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QAccessible>
#include <QScopeGuard>
#include <QTest>

#include <functional>
#include <memory>

namespace {

// Lets a test look at the store at the moment a message is shown.
struct PeekingDialogs : ScriptedDialogs {
    std::function<void()> onMessage;
    Answer message(const QString &text, const QString &title, Icon icon, Buttons buttons) override
    {
        if (onMessage)
            onMessage();
        return ScriptedDialogs::message(text, title, icon, buttons);
    }
};

struct Rig {
    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> settings =
        std::make_unique<SettingsStore>(std::make_shared<SqliteHive>(dir.filePath("registry.db")));
    PeekingDialogs dialogs;
    RecordingShell shell;
    PlugdeskLauncher plugdesk{shell, dir.path()};

    std::unique_ptr<frmSettings> open()
    {
        return std::make_unique<frmSettings>(*settings, dialogs, plugdesk);
    }
    QString stored(const char *section, const char *key)
    {
        return settings->read("Quenora", section, key, "<none>");
    }
};

int selectedStartView(frmSettings &dialog)
{
    int selected = -1;
    for (int i = 0; i < 3; ++i) {
        if (dialog.workspacePage()->optBeimStart(i)->isChecked()) {
            if (selected != -1)
                return -2; // more than one
            selected = i;
        }
    }
    return selected;
}

} // namespace

class TestFrmSettings : public QObject
{
    Q_OBJECT
private slots:
    void freshStore()
    {
        Rig rig;
        auto dialog = rig.open();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Einstellungen"));
        // No window icon: an empty picture, not the program's.
        QCOMPARE(dialog->windowIcon().pixmap(16).toImage().pixelColor(8, 8).alpha(), 0);
        QCOMPARE(dialog->currentPage(), 0);
        QVERIFY(dialog->workspacePage()->txtPrefix()->text().isEmpty());
        QVERIFY(dialog->workspacePage()->txtSuffix()->text().isEmpty());
        QVERIFY(dialog->scriptsPage()->chkAllowVTS()->isChecked());
        QVERIFY(dialog->scriptsPage()->chkAllowRead()->isChecked());
        QVERIFY(dialog->scriptsPage()->chkVTSAllowDownload()->isChecked());
        QVERIFY(!dialog->miscPage()->chkReadTitleOnAppChange()->isChecked());
        QVERIFY(!dialog->miscPage()->chkClipspeech()->isChecked());
        QVERIFY(!dialog->miscPage()->chkRememberMailSend()->isChecked());
        QVERIFY(dialog->miscPage()->chkIgnoreOwnTitles()->isChecked());
        QCOMPARE(selectedStartView(*dialog), 0);
        QVERIFY(dialog->workspacePage()->lblSufPrefHelp()->text().startsWith("Der Präfix wird bei jedem klicke"));
        QCOMPARE(dialog->Command1()->text(), QStringLiteral("&Übernehmen"));

        // Applying the fresh state writes the shown values, and no notice.
        dialog->Command1_Click();
        QVERIFY(rig.dialogs.messages.isEmpty());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(rig.stored("Settings", "VTSAllow"), QStringLiteral("1"));
        QCOMPARE(rig.stored("Settings", "ReadTitleOnAppChange"), QStringLiteral("0"));
        QCOMPARE(rig.stored("Extension Settings", "LaunchMailProgram"), QStringLiteral("false"));
        QCOMPARE(rig.stored("Settings", "ShowWB"), QStringLiteral("1"));
        QCOMPARE(rig.stored("Settings", "ShowLastDoc"), QStringLiteral("0"));
        QCOMPARE(rig.stored("Settings", "Prefix"), QString());
    }

    void startView_data()
    {
        QTest::addColumn<QString>("showWB");      // "<none>": not stored
        QTest::addColumn<QString>("showLastDoc"); // "<none>": not stored
        QTest::addColumn<int>("selected");        // -1: none
        QTest::addColumn<int>("choose");          // -1: leave as shown
        QTest::addColumn<QString>("writtenWB");
        QTest::addColumn<QString>("writtenLastDoc");
        QTest::newRow("fresh") << "<none>" << "<none>" << 0 << -1 << "1" << "0";
        QTest::newRow("text mode") << "0" << "0" << 1 << -1 << "0" << "0";
        QTest::newRow("last document wins") << "1" << "1" << 2 << -1 << "0" << "1";
        QTest::newRow("last document over text mode") << "0" << "1" << 2 << -1 << "0" << "1";
        QTest::newRow("unknown ShowWB selects none") << "7" << "0" << -1 << -1 << "7" << "0";
        QTest::newRow("unknown ShowWB, none stored") << "7" << "<none>" << -1 << -1 << "7" << "<none>";
        QTest::newRow("unknown ShowWB, user picks text mode") << "7" << "0" << -1 << 1 << "0" << "0";
        QTest::newRow("user picks last document") << "1" << "0" << 0 << 2 << "0" << "1";
        QTest::newRow("user picks interactive") << "0" << "1" << 2 << 0 << "1" << "0";
    }
    void startView()
    {
        QFETCH(QString, showWB);
        QFETCH(QString, showLastDoc);
        QFETCH(int, selected);
        QFETCH(int, choose);
        QFETCH(QString, writtenWB);
        QFETCH(QString, writtenLastDoc);
        Rig rig;
        if (showWB != "<none>")
            rig.settings->write(SettingKeys::ShowWB, showWB);
        if (showLastDoc != "<none>")
            rig.settings->write(SettingKeys::ShowLastDoc, showLastDoc);
        auto dialog = rig.open();
        QCOMPARE(selectedStartView(*dialog), selected);
        if (choose >= 0) {
            QTest::mouseClick(dialog->workspacePage()->optBeimStart(choose), Qt::LeftButton);
            QCOMPARE(selectedStartView(*dialog), choose);
        }
        dialog->Command1_Click();
        QCOMPARE(rig.stored("Settings", "ShowWB"), writtenWB);
        QCOMPARE(rig.stored("Settings", "ShowLastDoc"), writtenLastDoc);
    }

    void checkBoxValues_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("written"); // after "&Übernehmen" without a change
        QTest::newRow("0") << "0" << false << "0";
        QTest::newRow("1") << "1" << true << "1";
        QTest::newRow("spaces") << " 1 " << true << "1";
        QTest::newRow("decimal") << "1.0" << true << "1";
        // What no check box can show stays at the default and in the store.
        QTest::newRow("no number") << "ja" << true << "ja";
        QTest::newRow("other number") << "2" << true << "2";
        QTest::newRow("empty") << "" << true << "";
    }
    void checkBoxValues()
    {
        QFETCH(QString, stored);
        QFETCH(bool, shown);
        QFETCH(QString, written);
        Rig rig;
        rig.settings->write(SettingKeys::VTSAllowDownload, stored);
        rig.settings->write(SettingKeys::Prefix, "Achtung:");
        auto dialog = rig.open();
        QCOMPARE(dialog->scriptsPage()->chkVTSAllowDownload()->isChecked(), shown);
        // The controls after it are still loaded.
        QCOMPARE(dialog->workspacePage()->txtPrefix()->text(), QStringLiteral("Achtung:"));
        dialog->Command1_Click();
        QCOMPARE(rig.stored("Settings", "VTSAllowDownload"), written);
    }

    void unreadableValueChangedByTheUserIsWritten()
    {
        Rig rig;
        rig.settings->write(SettingKeys::VTSAllow, "vielleicht");
        auto dialog = rig.open();
        dialog->scriptsPage()->chkAllowVTS()->setChecked(false);
        dialog->Command1_Click();
        QCOMPARE(rig.stored("Settings", "VTSAllow"), QStringLiteral("0"));
    }

    void mailOption_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("checked");
        QTest::newRow("true") << "true" << true;
        QTest::newRow("capital True") << "True" << false;
        QTest::newRow("1") << "1" << false;
        QTest::newRow("false") << "false" << false;
    }
    void mailOption()
    {
        QFETCH(QString, stored);
        QFETCH(bool, checked);
        Rig rig;
        rig.settings->write(SettingKeys::LaunchMailProgram, stored);
        auto dialog = rig.open();
        QCOMPARE(dialog->miscPage()->chkRememberMailSend()->isChecked(), checked);
        dialog->Command1_Click();
        QCOMPARE(rig.stored("Extension Settings", "LaunchMailProgram"), checked ? "true" : "false");
    }

    void restartNotice_data()
    {
        QTest::addColumn<QString>("storedTitle");
        QTest::addColumn<bool>("checkTitle");
        QTest::addColumn<bool>("checkClipboard");
        QTest::addColumn<bool>("notice");
        QTest::newRow("nothing changed") << "0" << false << false << false;
        QTest::newRow("only the clipboard") << "0" << false << true << false;
        QTest::newRow("title on") << "0" << true << false << true;
        QTest::newRow("title off") << "1" << false << false << true;
        QTest::newRow("title stays on") << "1" << true << true << false;
    }
    void restartNotice()
    {
        QFETCH(QString, storedTitle);
        QFETCH(bool, checkTitle);
        QFETCH(bool, checkClipboard);
        QFETCH(bool, notice);
        Rig rig;
        rig.settings->write(SettingKeys::ReadTitleOnAppChange, storedTitle);
        auto dialog = rig.open();
        dialog->miscPage()->chkReadTitleOnAppChange()->setChecked(checkTitle);
        dialog->miscPage()->chkClipspeech()->setChecked(checkClipboard);
        // The notice comes before anything is written.
        QString titleWhenAsked = "<not asked>";
        rig.dialogs.onMessage = [&] { titleWhenAsked = rig.stored("Settings", "ReadTitleOnAppChange"); };
        rig.dialogs.answers.enqueue(Dialogs::Answer::Ok);
        QTest::mouseClick(dialog->Command1(), Qt::LeftButton);
        QCOMPARE(rig.dialogs.messages.size(), notice ? 1 : 0);
        if (notice) {
            const auto &m = rig.dialogs.messages.first();
            QCOMPARE(m.title, QStringLiteral("Hinweis"));
            QCOMPARE(m.icon, Dialogs::Icon::Information);
            QVERIFY(m.text.startsWith("Sie haben eine Einstellung geändert, die einen Neustart von Quenora "
                                      "erfordert.\n\nDie Einstellungen werden erst nach dem Neustart effekt"));
            QCOMPARE(titleWhenAsked, storedTitle);
        }
        QCOMPARE(rig.stored("Settings", "ReadTitleOnAppChange"), checkTitle ? "1" : "0");
        QCOMPARE(rig.stored("Settings", "ReadClipboardOnChange"), checkClipboard ? "1" : "0");
    }

    void prefixRoundTripIgnoresCase()
    {
        Rig rig;
        auto dialog = rig.open();
        dialog->workspacePage()->txtPrefix()->setText("Hallo, ");
        dialog->workspacePage()->txtSuffix()->setText(" Ende.");
        dialog->Command1_Click();
        QCOMPARE(rig.settings->read("Quenora", "settings", "prefix", "<none>"), QStringLiteral("Hallo, "));
        QCOMPARE(rig.settings->read("QUENORA", "SETTINGS", "SUFFIX", "<none>"), QStringLiteral(" Ende."));
        // Opened again, the dialog reads the store afresh.
        rig.settings->write(SettingKeys::Prefix, "Neu");
        QCOMPARE(rig.open()->workspacePage()->txtPrefix()->text(), QStringLiteral("Neu"));
    }

    void pageLabelsByMouseAndKeyboard()
    {
        Rig rig;
        auto dialog = rig.open();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        const QStringList captions{"Arbeitsfläche", "Erweiterungen", "Taskscripts", "Diverses"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(dialog->pageLabel(i)->text(), captions[i]);
            QCOMPARE(dialog->pageLabel(i)->accessibleName(), captions[i]);
        }
        QTest::mouseClick(dialog->pageLabel(2), Qt::LeftButton);
        QCOMPARE(dialog->currentPage(), 2);
        QVERIFY(dialog->scriptsPage()->isVisible());
        QVERIFY(!dialog->workspacePage()->isVisible());

        dialog->pageLabel(0)->setFocus();
        QTRY_VERIFY(dialog->pageLabel(0)->hasFocus());
        QTest::keyClick(dialog->pageLabel(0), Qt::Key_Down);
        QTRY_VERIFY(dialog->pageLabel(1)->hasFocus());
        QCOMPARE(dialog->currentPage(), 2); // moving alone does not switch
        QTest::keyClick(dialog->pageLabel(1), Qt::Key_Return);
        QCOMPARE(dialog->currentPage(), 1);
        QTest::keyClick(dialog->pageLabel(1), Qt::Key_Up);
        QTRY_VERIFY(dialog->pageLabel(0)->hasFocus());
        QTest::keyClick(dialog->pageLabel(0), Qt::Key_Up);
        QTRY_VERIFY(dialog->pageLabel(3)->hasFocus());
        QTest::keyClick(dialog->pageLabel(3), Qt::Key_Space);
        QCOMPARE(dialog->currentPage(), 3);
        QCOMPARE(dialog->pageLabel(3)->palette().color(QPalette::WindowText), QColor(255, 255, 0));
        QCOMPARE(dialog->pageLabel(0)->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    }

    void pageLabelsAreTabsForScreenReaders()
    {
        Rig rig;
        auto dialog = rig.open();
        QAccessibleInterface *tab = QAccessible::queryAccessibleInterface(dialog->pageLabel(2));
        QVERIFY(tab);
        QCOMPARE(tab->role(), QAccessible::PageTab);
        QCOMPARE(tab->text(QAccessible::Name), dialog->pageLabel(2)->text());
        QVERIFY(!tab->state().selected);
        QAccessibleActionInterface *action = tab->actionInterface();
        QVERIFY(action);
        action->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(dialog->currentPage(), 2);
        QVERIFY(tab->state().selected);
        QVERIFY(!QAccessible::queryAccessibleInterface(dialog->pageLabel(0))->state().selected);
    }

    // Switching pages is told: the new page's tab is selected, the old one not.
    void switchingPagesIsAnnounced()
    {
        AccessibilityRecorder recorder;
        Rig rig;
        auto dialog = rig.open();
        recorder.clear();
        QTest::keyClick(dialog->pageLabel(1), Qt::Key_Space);
        QCOMPARE(dialog->currentPage(), 1);
        QCOMPARE(recorder.last(QAccessible::SelectionAdd).iface, QAccessible::queryAccessibleInterface(dialog->pageLabel(1)));
        QCOMPARE(recorder.last(QAccessible::SelectionRemove).iface,
                 QAccessible::queryAccessibleInterface(dialog->pageLabel(0)));
        QCOMPARE(recorder.ofType(QAccessible::SelectionAdd).size(), size_t(1));
    }

    void hoverColours()
    {
        Rig rig;
        auto dialog = rig.open();
        PageLabel *label = dialog->pageLabel(1);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QCoreApplication::sendEvent(label, &enter);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 255, 0));
        // Over the background picture every label turns white again.
        QWidget *image = dialog->findChild<QWidget *>("Image1");
        QVERIFY(image);
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(image, &move);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    }

    void extensionManagerLink()
    {
        Rig rig;
        auto dialog = rig.open();
        QLabel *link = dialog->extensionsPage()->Label11();
        QCOMPARE(link->text(), QStringLiteral("Klicken Sie hier um die Konfiguration für die Erweiterungen aufzurufen."));
        // Missing: a German message and nothing started.
        QTest::mouseClick(link, Qt::LeftButton);
        QVERIFY(rig.shell.calls.isEmpty());
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QCOMPARE(rig.dialogs.messages.first().title, QStringLiteral("Fehler"));
        QVERIFY(rig.dialogs.messages.first().text.contains("plugdesk"));

        // Present: started from the program folder, no message.
        QFile program(rig.dir.filePath("plugdesk"));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\n");
        program.close();
        program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
        link->setFocus();
        QTest::keyClick(link, Qt::Key_Return);
        QCOMPARE(rig.shell.calls.size(), 1);
        QCOMPARE(rig.shell.calls.first().kind, QStringLiteral("program"));
        QVERIFY(rig.shell.calls.first().target.endsWith("/plugdesk"));
        QVERIFY(rig.shell.calls.first().arguments.isEmpty());
        QCOMPARE(rig.dialogs.messages.size(), 1);
    }

    void ownWindowOptionFollowsTheTitleReader()
    {
        Rig rig;
        auto dialog = rig.open();
        QCheckBox *own = dialog->miscPage()->chkIgnoreOwnTitles();
        QVERIFY(!own->isEnabled());
        dialog->miscPage()->chkReadTitleOnAppChange()->setChecked(true);
        QVERIFY(own->isEnabled());
        QVERIFY(own->isChecked());
        own->setChecked(false);
        rig.dialogs.answers.enqueue(Dialogs::Answer::Ok);
        dialog->Command1_Click();
        QCOMPARE(rig.stored("Settings", "IgnoreOwnWindowTitles"), QStringLiteral("0"));
        QVERIFY(!rig.open()->miscPage()->chkIgnoreOwnTitles()->isChecked());
    }

    void typeSizes_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("page");
        for (int page = 0; page < frmSettings::PageCount; ++page) {
            QTest::addRow("usual type, page %d", page) << 1.0 << page;
            QTest::addRow("large type, page %d", page) << 2.5 << page;
        }
    }
    // Every radio button, check box, text and page name gets the room its
    // text needs, whatever the type size; at the usual size the dialog keeps
    // its design size.
    void typeSizes()
    {
        QFETCH(double, scale);
        QFETCH(int, page);
        const QFont usual = QApplication::font();
        QFont font = usual;
        font.setPointSizeF(usual.pointSizeF() * scale);
        QApplication::setFont(font);
        const auto restore = qScopeGuard([&usual] { QApplication::setFont(usual); });
        {
            Rig rig;
            auto dialog = rig.open();
            dialog->showPage(page);
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
            const QStringList cut = TextFit::cutTexts(dialog.get()) + TextFit::overlappingTexts(dialog.get());
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join('\n')));
            if (scale == 1.0)
                QCOMPARE(dialog->size(), QSize(676, 384));
        }
    }
};

QTEST_MAIN(TestFrmSettings)
#include "tst_frmsettings.moc"
