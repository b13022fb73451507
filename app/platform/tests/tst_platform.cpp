#include "Dialogs.h"
#include "QtDialogs.h"
#include "SingleInstance.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QWindow>
#include <QHostInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QStandardPaths>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void nameFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("qt");
        QTest::newRow("open")
            << "Textbasierende Dateien (*.txt,*.rtf)|*.txt;*.rtf|Textdateien (*.txt)|*.txt|Wordpad Dateien (*.rtf)|*.rtf|Alle Dateien (*.*)|*.*"
            << "Textbasierende Dateien (*.txt,*.rtf) (*.txt *.rtf);;Textdateien (*.txt) (*.txt);;"
               "Wordpad Dateien (*.rtf) (*.rtf);;Alle Dateien (*.*) (*.*)";
        QTest::newRow("wav") << "Wave Dateien (*.wav)|*.wav" << "Wave Dateien (*.wav) (*.wav)";
        QTest::newRow("dangling description") << "Nur Text|*.txt|Rest" << "Nur Text (*.txt)";
        QTest::newRow("empty") << "" << "";
    }
    void nameFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QString, qt);
        QCOMPARE(qtNameFilters(filter), qt);
    }

    void messageBoxAnswers_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("click");
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(Dialogs::Buttons::YesNoCancel) << "&Ja" << int(Dialogs::Answer::Yes);
        QTest::newRow("no") << int(Dialogs::Buttons::YesNoCancel) << "&Nein" << int(Dialogs::Answer::No);
        QTest::newRow("cancel") << int(Dialogs::Buttons::YesNoCancel) << "Abbrechen" << int(Dialogs::Answer::Cancel);
        QTest::newRow("escape on yes/no") << int(Dialogs::Buttons::YesNo) << "<esc>" << int(Dialogs::Answer::No);
        QTest::newRow("ok") << int(Dialogs::Buttons::Ok) << "OK" << int(Dialogs::Answer::Ok);
    }
    void messageBoxAnswers()
    {
        QFETCH(int, buttons);
        QFETCH(QString, click);
        QFETCH(int, answer);
        QString seenTitle;
        QString seenText;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seenTitle = box->windowTitle();
            seenText = box->text();
            if (click == "<esc>") {
                QTest::keyClick(box, Qt::Key_Escape);
                return;
            }
            for (QAbstractButton *b : box->buttons()) {
                if (b->text() == click) {
                    b->click();
                    return;
                }
            }
            QFAIL(qPrintable("no button " + click));
        });
        QtDialogs dialogs;
        const auto got = dialogs.message("Möchten Sie speichern?", "Frage", Dialogs::Icon::Question,
                                         Dialogs::Buttons(buttons));
        QCOMPARE(int(got), answer);
        QCOMPARE(seenTitle, QStringLiteral("Frage"));
        QCOMPARE(seenText, QStringLiteral("Möchten Sie speichern?"));
    }

    // A message opens over, and modal to, the window the user works in: a
    // box owned by the main window while a modal dialog is open would hide
    // behind that dialog and leave it dead.
    void messageOpensOverTheWindowInUse_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("modal dialog open") << "dialog";
        QTest::newRow("main window") << "main";
        QTest::newRow("main window not shown yet") << "hidden";
    }
    void messageOpensOverTheWindowInUse()
    {
        QFETCH(QString, situation);
        QWidget main;
        main.setWindowTitle(QStringLiteral("Quenora"));
        if (situation != QLatin1String("hidden")) {
            main.show();
            QVERIFY(QTest::qWaitForWindowExposed(&main));
        }
        QDialog builder(&main);
        QtDialogs dialogs(&main);
        QWidget *seenParent = &main;
        QWindow *seenTransient = nullptr;
        bool seenModal = false;
        const auto ask = [&] {
            QTimer::singleShot(0, [&] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                if (!box)
                    return;
                seenParent = box->parentWidget();
                seenTransient = box->windowHandle()->transientParent();
                seenModal = box->isModal();
                box->button(QMessageBox::Ok)->click();
            });
            dialogs.message(QStringLiteral("Zahl erwartet"), QStringLiteral("Skriptfehler"), Dialogs::Icon::Critical,
                            Dialogs::Buttons::Ok);
        };
        QWidget *expected = nullptr;
        if (situation == QLatin1String("dialog")) {
            QTimer::singleShot(0, &builder, [&] {
                ask();
                builder.accept();
            });
            builder.exec();
            expected = &builder;
        } else {
            ask();
            expected = situation == QLatin1String("main") ? &main : nullptr;
        }
        QCOMPARE(seenParent, expected);
        QCOMPARE(seenTransient, expected ? expected->windowHandle() : nullptr);
        QVERIFY(seenModal);
    }

    // The progress window is modal to the program's window, also while that
    // is not shown yet (a document opened at start-up), and its button
    // cancels.
    void progressWindowBelongsToTheProgramWindow_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::newRow("main window shown") << true;
        QTest::newRow("main window not shown yet") << false;
    }
    void progressWindowBelongsToTheProgramWindow()
    {
        QFETCH(bool, shown);
        QWidget main;
        if (shown) {
            main.show();
            QVERIFY(QTest::qWaitForWindowExposed(&main));
        }
        QtDialogs dialogs(&main);
        int cancelled = 0;
        auto progress = dialogs.progress({QStringLiteral("Dokument öffnen"), QStringLiteral("Liest …"),
                                                QStringLiteral("Abbrechen"), 0},
                                               [&cancelled] { ++cancelled; });
        auto *window = main.findChild<QProgressDialog *>();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Dokument öffnen"));
        QCOMPARE(window->windowModality(), Qt::WindowModal);
        auto *button = window->findChild<QPushButton *>();
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("Abbrechen"));
        button->click();
        QCOMPARE(cancelled, 1);
        // Closed with its Progress.
        const QPointer<QProgressDialog> gone(window);
        progress.reset();
        QVERIFY(!gone);
    }

    // A folder as the starting point opens the dialog inside it (with the
    // folder selected in its parent, "Öffnen" would enter it, not open).
    void fileDialogStartsInsideAFolder_data()
    {
        QTest::addColumn<QString>("start"); // below a fresh folder
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("selected");
        QTest::newRow("folder") << "scripts" << "scripts" << "";
        QTest::newRow("file") << "scripts/a.vts" << "scripts" << "a.vts";
    }
    void fileDialogStartsInsideAFolder()
    {
        QFETCH(QString, start);
        QFETCH(QString, directory);
        QFETCH(QString, selected);
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkdir("scripts"));
        QFile file(home.filePath("scripts/a.vts"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QString seenDirectory;
        QStringList seenSelection;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seenDirectory = dialog->directory().absolutePath();
            seenSelection = dialog->selectedFiles();
            dialog->reject();
        });
        QtDialogs dialogs;
        Dialogs::FileRequest request;
        request.filter = QStringLiteral("Voice Taskscripts (*.vts)|*.vts");
        request.initialPath = home.filePath(start);
        request.fileMustExist = true;
        QVERIFY(!dialogs.openFile(request));
        QCOMPARE(seenDirectory, home.filePath(directory));
        if (!selected.isEmpty())
            QCOMPARE(seenSelection, QStringList{home.filePath(directory + "/" + selected)});
    }

    void secondInstanceIsRefused()
    {
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUENORA_HOME", home.path());
        QProcess first;
        first.setProcessEnvironment(env);
        first.start(QStringLiteral(INSTANCE_HOLDER));
        QVERIFY(first.waitForReadyRead(10000));
        QCOMPARE(first.readLine().trimmed(), QByteArray("first"));

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(INSTANCE_HOLDER));
        QVERIFY(second.waitForReadyRead(10000));
        QCOMPARE(second.readLine().trimmed(), QByteArray("second"));
        second.closeWriteChannel();
        QVERIFY(second.waitForFinished(10000));

        // Once the first has ended, the next start is first again.
        first.closeWriteChannel();
        QVERIFY(first.waitForFinished(10000));
        qputenv("QUENORA_HOME", home.path().toUtf8());
        SingleInstance again(QStringLiteral("quenora"));
        QVERIFY(again.isFirst());
    }

    void lockOfCrashedRunIsTakenOver()
    {
        QTemporaryDir home;
        qputenv("QUENORA_HOME", home.path().toUtf8());
        // What a killed Quenora leaves behind: a lock naming a process that is gone.
        QFile lock(home.filePath("quenora.lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("999999\nquenora\n" + QHostInfo::localHostName().toUtf8() + "\n");
        lock.close();
        SingleInstance instance(QStringLiteral("quenora"));
        QVERIFY(instance.isFirst());
    }

    void plantedLockFilesNeverBlock_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbage") << QByteArray("\xff\xfe\x00 kein Schloss \n\n\n", 18);
        QTest::newRow("another machine") << QByteArray("12345\nquenora\nein-anderer-rechner\n");
        QTest::newRow("a live process of this machine")
            << QByteArray::number(qint64(::getppid())) + "\nquenora\n" + QHostInfo::localHostName().toUtf8() + "\n";
    }
    void plantedLockFilesNeverBlock()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir home;
        qputenv("QUENORA_HOME", home.path().toUtf8());
        QFile lock(home.filePath("quenora.lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(content);
        lock.close();
        SingleInstance instance(QStringLiteral("quenora"));
        QVERIFY(instance.isFirst());
        QCOMPARE(instance.errorString(), QString());
        // And it really holds the lock now.
        SingleInstance second(QStringLiteral("quenora"));
        QVERIFY(!second.isFirst());
    }

    // Without a runtime folder every user gets a folder of their own in the
    // shared temporary folder: one user's Quenora never blocks another's,
    // and a folder someone else made for them is not used.
    void usersWithoutRuntimeFolderDoNotMeet()
    {
        if (::geteuid() != 0)
            QSKIP("Ein zweiter Benutzer braucht root (setpriv); dieser Test läuft ohne root nicht.");
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            QSKIP("setpriv fehlt; ohne es gibt es keinen zweiten Benutzer.");
        QTemporaryDir tmp;
        QVERIFY(::chmod(QFile::encodeName(tmp.path()).constData(), 01777) == 0);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QUENORA_HOME");
        env.remove("XDG_RUNTIME_DIR");
        env.insert("TMPDIR", tmp.path());

        QProcess root;
        root.setProcessEnvironment(env);
        root.start(QStringLiteral(INSTANCE_HOLDER));
        QVERIFY(root.waitForReadyRead(10000));
        QCOMPARE(root.readLine().trimmed(), QByteArray("first"));
        const QFileInfo rootFolder(tmp.path() + "/quenora-0");
        QVERIFY(rootFolder.isDir());
        QCOMPARE(int(QFile::permissions(rootFolder.filePath()) & 0x0077), 0);

        auto asNobody = [&](QByteArray *errors) {
            QProcess other;
            other.setProcessEnvironment(env);
            other.start(setpriv, {"--reuid=65534", "--regid=65534", "--clear-groups", QStringLiteral(INSTANCE_HOLDER)});
            if (!other.waitForReadyRead(10000))
                return QByteArray("no answer: ") + other.readAllStandardError();
            const QByteArray answer = other.readLine().trimmed();
            other.closeWriteChannel();
            other.waitForFinished(10000);
            *errors = other.readAllStandardError();
            return answer;
        };
        QByteArray errors;
        QCOMPARE(asNobody(&errors), QByteArray("first"));
        QVERIFY(QFileInfo(tmp.path() + "/quenora-65534/quenora.lock").isFile());

        // A folder of that name that belongs to someone else is refused, and
        // the start goes on without it.
        QVERIFY(QDir(tmp.path() + "/quenora-65534").removeRecursively());
        QVERIFY(QDir().mkdir(tmp.path() + "/quenora-65534"));
        QCOMPARE(asNobody(&errors), QByteArray("first"));
        QVERIFY2(errors.contains("gehört nicht Ihnen"), errors.constData());
        QVERIFY(!QFileInfo::exists(tmp.path() + "/quenora-65534/quenora.lock"));

        root.closeWriteChannel();
        QVERIFY(root.waitForFinished(10000));
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
