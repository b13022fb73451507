// The real main window with documents of other programs: "Öffnen" reads
// each format, the text is what both speech instances are given, and
// "Speichern" proposes the RTF name beside the original.
#include "WindowRig.h"

#include "DocumentController.h"
#include "TestFiles.h"

#include <QTest>
#include <QTextEdit>

class tst_importwindow : public QObject
{
    Q_OBJECT
private slots:
    void opensSpeaksAndSavesAsRtf_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QByteArray odt =
            "<?xml version=\"1.0\"?><office:document-content "
            "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:text>"
            "<text:h text:outline-level=\"1\">Titel</text:h><text:p>Guten Tag.</text:p>"
            "</office:text></office:body></office:document-content>";
        const QByteArray docx =
            "<?xml version=\"1.0\"?><w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
            "<w:body><w:p><w:r><w:t>Titel</w:t></w:r></w:p><w:p><w:r><w:t>Guten Tag.</w:t></w:r></w:p></w:body>"
            "</w:document>";
        QTest::newRow("pdf") << "brief.pdf" << TestFiles::pdf({{"Kopf", {"Titel", "", "Guten Tag."}, "1"},
                                                              {"Kopf", {"Ende."}, "2"}})
                             << "Titel\nGuten Tag.\nEnde.";
        QTest::newRow("epub") << "brief.epub"
                              << TestFiles::epub({{"a.xhtml", "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body>"
                                                              "<h1>Titel</h1><p>Guten Tag.</p></body></html>"}})
                              << "Titel\nGuten Tag.";
        QTest::newRow("odt") << "brief.odt" << TestFiles::odt(odt) << "Titel\nGuten Tag.";
        QTest::newRow("docx") << "brief.docx" << TestFiles::docx(docx) << "Titel\nGuten Tag.";
        QTest::newRow("html") << "brief.html" << QByteArray("<html><body><h1>Titel</h1><p>Guten Tag.</p></body></html>")
                              << "Titel\nGuten Tag.";
        QTest::newRow("markdown") << "brief.md" << QByteArray("# Titel\n\nGuten Tag.\n") << "Titel\nGuten Tag.";
    }

    void opensSpeaksAndSavesAsRtf()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        WindowRig rig;
        frmMain &w = rig.load();
        const QString path = rig.file(name, bytes);
        rig.dialogs.files.enqueue(path);
        w.OpenDoc();
        QVERIFY(rig.dialogs.messages.isEmpty());
        QCOMPARE(w.rtfText()->toPlainText(), text);
        QCOMPARE(w.documents().currentPath(), QString());

        w.SpeakText(SpeakRequest::document());
        QVERIFY(!rig.voice.spokenTexts().isEmpty());
        QVERIFY(rig.voice.spokenTexts().last().contains(QStringLiteral("Guten Tag.")));
        QVERIFY(rig.voice2.spokenTexts().last().contains(QStringLiteral("Guten Tag.")));

        const QByteArray original = bytes;
        const QString rtf = rig.home.filePath(QStringLiteral("brief.rtf"));
        rig.dialogs.files.enqueue(rtf);
        QVERIFY(w.SaveDoc());
        QCOMPARE(rig.dialogs.fileDialogs.last().request.initialPath, rtf);
        QFile saved(rtf);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().startsWith("{\\rtf1"));
        QFile kept(path);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), original);
    }
};

QTEST_MAIN(tst_importwindow)
#include "tst_importwindow.moc"
