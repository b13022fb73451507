#include "DocumentController.h"

#include "DocumentMetadata.h"
#include "LongLines.h"
#include "RecordingExtensionHost.h"
#include "ScriptedDialogs.h"
#include "WindowTexts.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTextList>

namespace {

struct Rig {
    QTemporaryDir dir;
    QTextEdit box;
    ScriptedDialogs dialogs;
    RecordingExtensionHost extensions;
    DocumentController docs{box, dialogs, extensions};

    QString path(const QString &name) const { return dir.filePath(name); }
    QString file(const QString &name, const QByteArray &content)
    {
        QFile f(path(name));
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path(name);
    }
    QByteArray read(const QString &name)
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

} // namespace

class TestDocumentController : public QObject
{
    Q_OBJECT
private slots:
    void newOnEmptyDocumentAsksNothing()
    {
        Rig rig;
        rig.docs.setCurrentPath("/x/a.txt");
        rig.docs.NewDoc();
        QVERIFY(rig.dialogs.messages.isEmpty());
        QCOMPARE(rig.extensions.events, QStringList{"NewFile"});
        QCOMPARE(rig.docs.currentPath(), QStringLiteral("/x/a.txt"));
    }

    void newAsksBeforeDiscarding_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveTo");
        QTest::addColumn<bool>("cleared");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("cancel") << int(Dialogs::Answer::Cancel) << "" << false << QStringList{};
        QTest::newRow("no") << int(Dialogs::Answer::No) << "" << true << QStringList{"NewFile"};
        QTest::newRow("yes, save cancelled") << int(Dialogs::Answer::Yes) << "" << false << QStringList{"NewFile"};
        QTest::newRow("yes, saved") << int(Dialogs::Answer::Yes) << "neu.txt" << true
                                    << QStringList{"SaveFile:<dir>/neu.txt", "NewFile"};
        QTest::newRow("yes, save failed keeps the text")
            << int(Dialogs::Answer::Yes) << "missing-folder/neu.txt" << false
            << QStringList{"SaveFile:<dir>/missing-folder/neu.txt", "NewFile"};
    }
    void newAsksBeforeDiscarding()
    {
        QFETCH(int, answer);
        QFETCH(QString, saveTo);
        QFETCH(bool, cleared);
        QFETCH(QStringList, events);
        Rig rig;
        rig.box.setPlainText("Wichtiger Text");
        rig.docs.setCurrentPath("/old/path.txt");
        rig.dialogs.answers.enqueue(Dialogs::Answer(answer));
        if (!saveTo.isEmpty())
            rig.dialogs.files.enqueue(rig.path(saveTo));
        rig.docs.NewDoc();
        QCOMPARE(rig.dialogs.messages.first().text, WindowTexts::SaveBeforeNew);
        QCOMPARE(rig.dialogs.messages.first().title, QStringLiteral("Frage"));
        QCOMPARE(rig.dialogs.messages.first().buttons, Dialogs::Buttons::YesNoCancel);
        QCOMPARE(rig.box.toPlainText().isEmpty(), cleared);
        if (cleared)
            QCOMPARE(rig.docs.currentPath(), QString());
        QCOMPARE(rig.extensions.events.replaceInStrings(rig.dir.path(), "<dir>"), events);
    }

    void openAsksForUnknownExtensions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("txt") << "a.txt" << QList<int>{} << false << true;
        QTest::newRow("upper-case TXT") << "A.TXT" << QList<int>{} << false << true;
        QTest::newRow("rtf") << "a.rtf" << QList<int>{} << false << true;
        QTest::newRow("other, yes") << "a.log" << QList<int>{int(Dialogs::Answer::Yes)} << true << true;
        QTest::newRow("other, no") << "a.log" << QList<int>{int(Dialogs::Answer::No)} << true << false;
    }
    void openAsksForUnknownExtensions()
    {
        QFETCH(QString, name);
        QFETCH(QList<int>, answers);
        QFETCH(bool, asked);
        QFETCH(bool, loaded);
        Rig rig;
        rig.docs.setCurrentPath("/vorher/brief.txt");
        const QString file = rig.file(name, name.endsWith("rtf") ? QByteArray("{\\rtf1\\ansi Inhalt\\par}")
                                                                   : QByteArray("Inhalt"));
        rig.dialogs.files.enqueue(file);
        for (int a : answers)
            rig.dialogs.answers.enqueue(Dialogs::Answer(a));
        rig.docs.OpenDoc();
        QCOMPARE(rig.dialogs.fileDialogs.size(), 1);
        // Every readable format first, then the described entries.
        QVERIFY(rig.dialogs.fileDialogs[0].request.filter.endsWith("|" + WindowTexts::OpenFilter));
        QVERIFY(rig.dialogs.fileDialogs[0].request.fileMustExist);
        QCOMPARE(!rig.dialogs.messages.isEmpty(), asked);
        if (asked)
            QCOMPARE(rig.dialogs.messages[0].text, WindowTexts::OpenUnknownType);
        QCOMPARE(rig.box.toPlainText() == QLatin1String("Inhalt"), loaded);
        QCOMPARE(rig.extensions.events, loaded ? QStringList{"OpenFile:" + file} : QStringList{});
        // A declined file never becomes the one "Speichern unter" writes to.
        QCOMPARE(rig.docs.currentPath(), loaded ? file : QStringLiteral("/vorher/brief.txt"));
    }

    void unreadableFileKeepsTheDocumentAndItsPath()
    {
        Rig rig;
        rig.box.setPlainText("Mein Text");
        rig.docs.setCurrentPath(rig.file("mein.txt", "Mein Text"));
        rig.dialogs.files.enqueue(rig.path("gibtsnicht.txt"));
        rig.docs.OpenDoc();
        QCOMPARE(rig.docs.currentPath(), rig.path("mein.txt"));
        rig.docs.SaveAs();
        QCOMPARE(rig.read("mein.txt"), QByteArray("Mein Text"));
        QVERIFY(!QFile::exists(rig.path("gibtsnicht.txt")));
    }

    void saveDialogStartsOnTheDocumentsFormat_data()
    {
        QTest::addColumn<QString>("opened"); // empty: a new document
        QTest::addColumn<QString>("savedAs"); // empty: not saved before
        QTest::addColumn<int>("filter");
        QTest::newRow("new document") << "" << "" << 0;
        QTest::newRow("opened text") << "a.txt" << "" << 0;
        QTest::newRow("opened RTF") << "a.rtf" << "" << 1;
        QTest::newRow("RTF content under another name") << "a.log" << "" << 1;
        QTest::newRow("text saved as RTF") << "a.txt" << "b.rtf" << 1;
        QTest::newRow("RTF saved as text") << "a.rtf" << "b.txt" << 0;
    }
    void saveDialogStartsOnTheDocumentsFormat()
    {
        QFETCH(QString, opened);
        QFETCH(QString, savedAs);
        QFETCH(int, filter);
        Rig rig;
        if (!opened.isEmpty()) {
            const bool rtf = opened != QLatin1String("a.txt");
            QVERIFY(rig.docs.LoadFile(rig.file(opened, rtf ? "{\\rtf1\\ansi Inhalt\\par}" : "Inhalt")));
        }
        if (!savedAs.isEmpty()) {
            rig.dialogs.files.enqueue(rig.path(savedAs));
            QVERIFY(rig.docs.SaveDoc());
        }
        rig.docs.SaveDoc();
        const Dialogs::FileRequest request = rig.dialogs.fileDialogs.last().request;
        QCOMPARE(request.selectedFilter, filter);
        // The filter shown decides the suffix of a name typed without one.
        QCOMPARE(defaultSuffixForFilter(request.filter, request.selectedFilter, request.defaultSuffix),
                 filter == 1 ? QStringLiteral("rtf") : QStringLiteral("txt"));
    }

    void defaultSuffixFollowsTheFilter_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("Textdateien") << 0 << "txt";
        QTest::newRow("Wordpad Dateien") << 1 << "rtf";
        QTest::newRow("Alle Dateien keeps the default") << 2 << "txt";
        QTest::newRow("no such filter") << 7 << "txt";
        QTest::newRow("negative") << -1 << "txt";
    }
    void defaultSuffixFollowsTheFilter()
    {
        QFETCH(int, index);
        QFETCH(QString, suffix);
        QCOMPARE(defaultSuffixForFilter(WindowTexts::SaveFilter, index, QStringLiteral("txt")), suffix);
        // Two types in one filter name none of their own.
        QCOMPARE(defaultSuffixForFilter(WindowTexts::OpenFilter, 0, QStringLiteral("txt")), QStringLiteral("txt"));
    }

    void newStartsInTheDefaultFormat_data()
    {
        QTest::addColumn<bool>("hadText");
        QTest::newRow("after a document with text") << true;
        QTest::newRow("after one emptied by hand") << false;
    }
    void newStartsInTheDefaultFormat()
    {
        QFETCH(bool, hadText);
        Rig rig;
        const QFont standard = rig.box.document()->defaultFont();
        QVERIFY(rig.docs.LoadFile(rig.file(
            "a.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times New Roman;}}{\\info{\\title Alt}}"
                     "\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\li720\\f0\\fs40\\b\\i Alt\\par}")));
        QTextCursor end(rig.box.document());
        end.movePosition(QTextCursor::End);
        rig.box.setTextCursor(end);
        if (!hadText) {
            rig.box.selectAll();
            QTest::keyClick(&rig.box, Qt::Key_Delete);
        }
        rig.dialogs.answers.enqueue(Dialogs::Answer::No);
        QCOMPARE(DocumentMetadata::of(*rig.box.document()).title, QStringLiteral("Alt"));
        rig.docs.NewDoc();
        QVERIFY(rig.box.toPlainText().isEmpty());
        QVERIFY(DocumentMetadata::of(*rig.box.document()).isEmpty());
        QTest::keyClicks(&rig.box, "neu");
        QTextCursor typed(rig.box.document());
        typed.setPosition(2);
        const QTextCharFormat format = typed.charFormat();
        QCOMPARE(format.font().family(), standard.family());
        QCOMPARE(format.font().pointSizeF(), standard.pointSizeF());
        QCOMPARE(format.font().bold(), false);
        QCOMPARE(format.font().italic(), false);
        QVERIFY(!typed.currentList());
        QCOMPARE(typed.blockFormat().leftMargin(), 0.0);
    }

    void modifiedFollowsLoadEditAndSave()
    {
        Rig rig;
        QVERIFY(!rig.docs.isModified());
        QVERIFY(rig.docs.LoadFile(rig.file("a.txt", "Inhalt")));
        QVERIFY(!rig.docs.isModified());
        QTest::keyClicks(&rig.box, "x");
        QVERIFY(rig.docs.isModified());
        rig.dialogs.files.enqueue(rig.path("b.rtf"));
        QVERIFY(rig.docs.SaveDoc());
        QVERIFY(!rig.docs.isModified());
        QTest::keyClicks(&rig.box, "y");
        rig.docs.SaveAs();
        QVERIFY(!rig.docs.isModified());
        QTest::keyClicks(&rig.box, "z");
        rig.dialogs.answers.enqueue(Dialogs::Answer::No);
        rig.docs.NewDoc();
        QVERIFY(!rig.docs.isModified());
        // A New on an empty document changes nothing the user wrote.
        rig.docs.NewDoc();
        QVERIFY(!rig.docs.isModified());
    }

    void cancelledDialogsEndSilently()
    {
        Rig rig;
        rig.box.setPlainText("Text");
        rig.docs.OpenDoc();
        QVERIFY(!rig.docs.SaveDoc());
        QVERIFY(rig.dialogs.messages.isEmpty());
        QVERIFY(rig.extensions.events.isEmpty());
        QCOMPARE(rig.box.toPlainText(), QStringLiteral("Text"));
    }

    void saveChoosesTheFormatByExactExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("rtf");
        QTest::newRow("txt is plain") << "a.txt" << false;
        QTest::newRow("TXT is rich text") << "b.TXT" << true;
        QTest::newRow("rtf") << "c.rtf" << true;
        QTest::newRow("no extension") << "d" << true;
    }
    void saveChoosesTheFormatByExactExtension()
    {
        QFETCH(QString, name);
        QFETCH(bool, rtf);
        Rig rig;
        rig.box.setHtml("<b>Fett</b> und Grüße");
        rig.dialogs.files.enqueue(rig.path(name));
        QVERIFY(rig.docs.SaveDoc());
        const QByteArray written = rig.read(name);
        QCOMPARE(written.startsWith("{\\rtf"), rtf);
        if (!rtf)
            QCOMPARE(written, QByteArray("Fett und Gr\xC3\xBC\xC3\x9F" "e"));
        QCOMPARE(rig.docs.currentPath(), rig.path(name));
        QCOMPARE(rig.extensions.events, QStringList{"SaveFile:" + rig.path(name)});
        QVERIFY(rig.dialogs.messages.isEmpty());
        QVERIFY(rig.dialogs.fileDialogs[0].request.confirmOverwrite);
        QCOMPARE(rig.dialogs.fileDialogs[0].request.filter, WindowTexts::SaveFilter);
    }

    void failedSaveIsReportedAndStillNotified()
    {
        Rig rig;
        rig.box.setPlainText("Text");
        const QString target = rig.path("kein/ordner/x.txt");
        rig.dialogs.files.enqueue(target);
        QVERIFY(!rig.docs.SaveDoc());
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QVERIFY(rig.dialogs.messages[0].text.startsWith(
            "Während des Speichervorganges ist ein Fehler aufgetreten: "));
        QVERIFY(rig.dialogs.messages[0].text.endsWith(")"));
        QCOMPARE(rig.dialogs.messages[0].title, QStringLiteral("Fehler"));
        QCOMPARE(rig.extensions.events, QStringList{"SaveFile:" + target});
    }

    // A line the document holds as several blocks is saved as one line by
    // both saves.
    void aLongLineIsSavedAsItWasRead()
    {
        Rig rig;
        QByteArray line;
        while (line.size() < 3 * LongLines::kMaxBlockLength)
            line += "Wort ";
        QVERIFY(rig.docs.LoadFile(rig.file("lang.txt", line)));
        QVERIFY(rig.box.document()->blockCount() > 1);
        rig.dialogs.files.enqueue(rig.path("kopie.txt"));
        QVERIFY(rig.docs.SaveDoc());
        QCOMPARE(rig.read("kopie.txt"), line);
        QFile::remove(rig.path("kopie.txt"));
        rig.docs.SaveAs();
        QCOMPARE(rig.read("kopie.txt"), line);
    }

    void saveAsWithoutDialogWhenThereIsAPath()
    {
        Rig rig;
        rig.box.setHtml("<i>kursiv</i>");
        rig.docs.SaveAs(); // no path yet: the save dialog (cancelled)
        QCOMPARE(rig.dialogs.fileDialogs.size(), 1);
        rig.docs.setCurrentPath(rig.path("doc.txt"));
        rig.docs.SaveAs();
        QCOMPARE(rig.dialogs.fileDialogs.size(), 1);
        QCOMPARE(rig.read("doc.txt"), QByteArray("kursiv"));
        // A rich-text file keeps its formatting.
        rig.docs.setCurrentPath(rig.path("doc.rtf"));
        rig.docs.SaveAs();
        QVERIFY(rig.read("doc.rtf").startsWith("{\\rtf"));
        QVERIFY(rig.read("doc.rtf").contains("\\i"));
        QVERIFY(rig.extensions.events.isEmpty());
    }

    void characterCountCountsLineBreaksTwice_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("count");
        QTest::newRow("empty") << "" << qint64(0);
        QTest::newRow("one") << "a" << qint64(1);
        QTest::newRow("two lines") << "ab\ncd" << qint64(6);
        QTest::newRow("empty lines") << "\n\n" << qint64(4);
        QTest::newRow("umlauts") << "äöü" << qint64(3);
    }
    void characterCountCountsLineBreaksTwice()
    {
        QFETCH(QString, text);
        QFETCH(qint64, count);
        Rig rig;
        QString status;
        connect(&rig.docs, &DocumentController::statusText, this, [&](const QString &s) { status = s; });
        rig.box.setPlainText(text);
        QCOMPARE(rig.docs.characterCount(), count);
        QCOMPARE(status, QString::number(count) + " Zeichen.");
    }
};

QTEST_MAIN(TestDocumentController)
#include "tst_documentcontroller.moc"
