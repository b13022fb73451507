// After a modal dialog the focus is back where the user was, and a screen
// reader hears it: a dialog with a parent and one without (the voice
// dialogs have none), closed by a key.
#include "AccessibilityRecorder.h"
#include "DialogFocusReturn.h"
#include "FakeForegroundWindow.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

class TestDialogFocusReturn : public QObject
{
    Q_OBJECT
private slots:
    void focusAndTheReaderComeBack_data()
    {
        QTest::addColumn<bool>("withParent");
        QTest::newRow("dialog of the window") << true;
        QTest::newRow("dialog without a parent") << false;
    }
    void focusAndTheReaderComeBack()
    {
        QFETCH(bool, withParent);
        AccessibilityRecorder recorder;
        FakeForegroundWindow desktop;
        DialogFocusReturn keeper(desktop);
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *first = new QLineEdit(&window);
        auto *second = new QLineEdit(&window);
        layout->addWidget(first);
        layout->addWidget(second);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        second->setFocus();
        QTRY_VERIFY(second->hasFocus());

        QDialog dialog(withParent ? &window : nullptr);
        auto *field = new QLineEdit(&dialog);
        (new QVBoxLayout(&dialog))->addWidget(field);
        QTimer::singleShot(0, &dialog, [&] {
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            field->setFocus();
            QTRY_VERIFY(field->hasFocus());
            recorder.clear();
            QTest::keyClick(field, Qt::Key_Escape);
        });
        dialog.exec();
        QTRY_VERIFY(window.isActiveWindow());
        QTRY_COMPARE(QApplication::focusWidget(), second);
        QTRY_COMPARE(recorder.last(QAccessible::Focus).iface, QAccessible::queryAccessibleInterface(second));
    }
};

QTEST_MAIN(TestDialogFocusReturn)
#include "tst_dialogfocusreturn.moc"
