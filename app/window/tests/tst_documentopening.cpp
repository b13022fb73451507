// Opening documents of other programs in the window: a new, unsaved
// document, saving proposes the RTF name and never replaces the original,
// failures say why, cancelling keeps the old document.
#include "DocumentController.h"
#include "DocumentOpener.h"

#include "ImportMessages.h"
#include "RecordingExtensionHost.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

namespace {

struct Rig {
    QTemporaryDir dir;
    QTextEdit box;
    ScriptedDialogs dialogs;
    RecordingExtensionHost extensions;
    DocumentController docs{box, dialogs, extensions};

    QString file(const QString &name, const QByteArray &content)
    {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return dir.filePath(name);
    }
    QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

QByteArray twoPagePdf()
{
    return TestFiles::pdf({{"Kopfzeile", {"Erste Seite des Buches."}, "1"},
                           {"Kopfzeile", {"Zweite Seite des Buches."}, "2"}});
}

QByteArray epub()
{
    return TestFiles::epub({{"a.xhtml", "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><h1>Kapitel</h1>"
                                        "<p>Ein Absatz.</p></body></html>"}});
}

} // namespace

class tst_documentopening : public QObject
{
    Q_OBJECT
private slots:
    void opensAsNewUnsavedDocument_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("pdf") << "buch.pdf" << twoPagePdf() << "Erste Seite des Buches.\nZweite Seite des Buches.";
        QTest::newRow("epub") << "buch.epub" << epub() << "Kapitel\nEin Absatz.";
        QTest::newRow("markdown") << "buch.md" << QByteArray("# Kapitel\n\nEin *Absatz*.") << "Kapitel\nEin Absatz.";
    }

    void opensAsNewUnsavedDocument()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        Rig rig;
        const QString path = rig.file(name, bytes);
        rig.docs.setCurrentPath(rig.dir.filePath("vorher.txt"));
        rig.dialogs.files.enqueue(path);
        rig.docs.OpenDoc();

        // A readable format is no "unknown type": no question was asked.
        QVERIFY(rig.dialogs.messages.isEmpty());
        const QString filter = rig.dialogs.fileDialogs.first().request.filter;
        // The dialog starts on every readable format, under a label that
        // fits; the program's own filters follow.
        QVERIFY(filter.startsWith("Alle lesbaren Dokumente|*.txt;*.rtf;*.pdf;*.epub;*.odt;*.docx;*.html;*.htm;*.xhtml;"
                                  "*.md;*.markdown|Textbasierende Dateien (*.txt,*.rtf)|"));
        QVERIFY(filter.endsWith("|Alle Dateien (*.*)|*.*"));
        QCOMPARE(rig.dialogs.fileDialogs.first().request.selectedFilter, 0);
        QCOMPARE(rig.box.toPlainText(), text);
        QCOMPARE(rig.docs.currentPath(), QString());
        QCOMPARE(rig.docs.importedFrom(), path);
        QCOMPARE(rig.extensions.events, QStringList{"OpenFile:" + path});

        // "Speichern unter" without a path asks too: it never writes the original.
        const QByteArray original = rig.read(path);
        const QString rtf = rig.dir.filePath(QFileInfo(name).completeBaseName() + ".rtf");
        rig.dialogs.files.enqueue(rtf);
        rig.docs.SaveAs();
        QCOMPARE(rig.dialogs.fileDialogs.size(), 2);
        const Dialogs::FileRequest save = rig.dialogs.fileDialogs.last().request;
        QCOMPARE(save.initialPath, rtf);
        QCOMPARE(save.selectedFilter, 1);
        QVERIFY(rig.read(rtf).startsWith("{\\rtf1"));
        QCOMPARE(rig.read(path), original);
        QCOMPARE(rig.docs.currentPath(), rtf);
        QCOMPARE(rig.docs.importedFrom(), QString());
    }

    void savingOverTheOriginalIsRefused()
    {
        Rig rig;
        const QString path = rig.file("buch.epub", epub());
        const QByteArray original = rig.read(path);
        QVERIFY(rig.docs.LoadFile(path));
        rig.dialogs.files.enqueue(path);
        QVERIFY(!rig.docs.SaveDoc());
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QCOMPARE(rig.dialogs.messages.first().text, ImportMessages::KeepOriginal(path));
        QCOMPARE(rig.read(path), original);
        QCOMPARE(rig.docs.importedFrom(), path);
    }

    void loadingByScriptLeavesNoPathToWriteTo()
    {
        // "Speichern unter" writes to the current path without asking: after a
        // script loaded an e-book that must not be the previous document's file.
        Rig rig;
        rig.docs.setCurrentPath(rig.file("vorher.txt", "Alt"));
        QVERIFY(rig.docs.LoadFile(rig.file("buch.epub", epub())));
        QCOMPARE(rig.docs.currentPath(), QString());
        rig.docs.SaveAs();
        QCOMPARE(rig.dialogs.fileDialogs.size(), 1);
        QCOMPARE(rig.read(rig.dir.filePath("vorher.txt")), QByteArray("Alt"));
    }

    void failureSaysWhyAndKeepsTheDocument_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("pdf without text") << TestFiles::pdfWithoutText() << ImportMessages::PdfNoText;
        QTest::newRow("path out of the archive")
            << TestFiles::zip({{"mimetype", "application/epub+zip"}, {"../x", "x"}})
            << ImportMessages::ArchiveUnsafePath("../x");
    }

    void failureSaysWhyAndKeepsTheDocument()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        Rig rig;
        rig.box.setPlainText("Alter Text");
        rig.docs.setCurrentPath(rig.dir.filePath("alt.txt"));
        rig.dialogs.files.enqueue(rig.file("datei.pdf", bytes));
        rig.docs.OpenDoc();
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QCOMPARE(rig.dialogs.messages.first().text, message);
        QCOMPARE(rig.dialogs.messages.first().title, QStringLiteral("Fehler"));
        QCOMPARE(rig.box.toPlainText(), QStringLiteral("Alter Text"));
        QCOMPARE(rig.docs.currentPath(), rig.dir.filePath("alt.txt"));
        QCOMPARE(rig.docs.importedFrom(), QString());
    }

    void encryptedPdfAsksForItsPassword_data()
    {
        QTest::addColumn<QStringList>("answers"); // "-" cancels the prompt
        QTest::addColumn<QList<bool>>("asked");   // "again" of each prompt
        QTest::addColumn<bool>("opened");
        QTest::newRow("right at once") << QStringList{"geheim"} << QList<bool>{false} << true;
        QTest::newRow("wrong, then right") << QStringList{"falsch", "geheim"} << QList<bool>{false, true} << true;
        QTest::newRow("cancelled") << QStringList{"-"} << QList<bool>{false} << false;
        QTest::newRow("wrong, then cancelled") << QStringList{"falsch", "-"} << QList<bool>{false, true} << false;
    }

    void encryptedPdfAsksForItsPassword()
    {
        QFETCH(QStringList, answers);
        QFETCH(QList<bool>, asked);
        QFETCH(bool, opened);
        Rig rig;
        rig.box.setPlainText("Alter Text");
        for (const QString &answer : answers)
            rig.dialogs.passwords.enqueue(answer == QLatin1String("-") ? std::nullopt : std::optional<QString>(answer));
        const QString path = rig.file("geheim.pdf", TestFiles::encryptedPdf("Geheimer Text.", "geheim"));
        QCOMPARE(rig.docs.LoadFile(path), opened);
        QCOMPARE(rig.dialogs.passwordPrompts.size(), asked.size());
        for (int i = 0; i < asked.size(); ++i) {
            QCOMPARE(rig.dialogs.passwordPrompts.at(i).text,
                     asked.at(i) ? ImportMessages::PasswordWrong : ImportMessages::PasswordPrompt);
            QCOMPARE(rig.dialogs.passwordPrompts.at(i).title, QStringLiteral("Kennwort"));
        }
        QCOMPARE(rig.box.toPlainText(), opened ? QStringLiteral("Geheimer Text.") : QStringLiteral("Alter Text"));
        // Cancelling the prompt is the user's choice, no failure to report.
        QVERIFY(rig.dialogs.messages.isEmpty());
    }

    void cancellingKeepsTheOldDocument()
    {
        Rig rig;
        QList<TestFiles::PdfPage> pages;
        for (int i = 0; i < 12; ++i)
            pages.append({QString(), {QStringLiteral("Seite %1.").arg(i + 1)}, QString()});
        const QString path = rig.file("lang.pdf", TestFiles::pdf(pages));
        rig.box.setPlainText("Alter Text");
        // The user clicks "Abbrechen" once the window shows the first progress.
        rig.dialogs.cancelProgressAfter = 1;
        QVERIFY(!rig.docs.LoadFile(path));
        QCOMPARE(rig.dialogs.progressWindows.size(), 1);
        QCOMPARE(rig.dialogs.progressWindows[0].request.title, QStringLiteral("Dokument öffnen"));
        QCOMPARE(rig.dialogs.progressWindows[0].request.label, QStringLiteral("Das Dokument wird gelesen …"));
        QVERIFY(!rig.dialogs.progressWindows[0].values.isEmpty());
        QCOMPARE(rig.box.toPlainText(), QStringLiteral("Alter Text"));
        QVERIFY(rig.dialogs.messages.isEmpty());

        // The next read is not cancelled by the last one's click.
        rig.dialogs.cancelProgressAfter = -1;
        QVERIFY(rig.docs.LoadFile(path));
        QVERIFY(rig.box.toPlainText().startsWith("Seite 1."));
    }
};

QTEST_MAIN(tst_documentopening)
#include "tst_documentopening.moc"
