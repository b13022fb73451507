// quenora-speak with documents of other programs: --dry-run prints the text
// the window would show, --wav records it with the real speech engine, and
// a file that cannot be read ends with its German reason.
#include "TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_speakimported : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile f(m_dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }

    static int run(const QStringList &arguments, QByteArray *out, QByteArray *err)
    {
        QProcess p;
        p.start(QStringLiteral(QUENORA_SPEAK), arguments);
        if (!p.waitForFinished(120000))
            return -1;
        *out = p.readAllStandardOutput();
        *err = p.readAllStandardError();
        return p.exitCode();
    }

private slots:
    void dryRunPrintsTheText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("pdf") << "a.pdf" << TestFiles::pdf({{"Kopf", {"Guten Tag."}, "1"}, {"Kopf", {"Bis bald."}, "2"}});
        QTest::newRow("epub") << "a.epub"
                              << TestFiles::epub({{"a.xhtml", "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body>"
                                                              "<p>Guten Tag.</p><p>Bis bald.</p></body></html>"}});
        // Headings: Qt's readers size them from the document's font.
        QTest::newRow("html") << "a.html" << QByteArray("<h1>Guten Tag.</h1><h6>Bis bald.</h6>");
        QTest::newRow("markdown") << "a.md" << QByteArray("# Guten Tag.\n\n###### Bis bald.\n");
    }

    void dryRunPrintsTheText()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QByteArray out, err;
        QCOMPARE(run({"--dry-run", "--file", write(name, bytes)}, &out, &err), 0);
        QCOMPARE(QString::fromUtf8(out).trimmed(), QStringLiteral("Guten Tag.\nBis bald."));
        // Nothing on the console (no "QFont::setPixelSize: Pixel size <= 0").
        QVERIFY2(!err.contains("QFont"), err.constData());
    }

    void recordsWithTheRealEngine()
    {
        const QString wav = m_dir.filePath("a.wav");
        QByteArray out, err;
        QCOMPARE(run({"--wav", wav, "--file", write("b.pdf", TestFiles::pdf({{QString(), {"Guten Tag."}, QString()}}))},
                     &out, &err),
                 0);
        QFile f(wav);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray audio = f.readAll();
        QVERIFY(audio.startsWith("RIFF") || audio.startsWith("RF64"));
        // Half a second of speech at least, far more than a header.
        QVERIFY2(audio.size() > 16000, QByteArray::number(audio.size()));
    }

    void unreadableFileSaysWhy_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("pdf of pictures") << "bild.pdf" << TestFiles::pdfWithoutText()
                                         << "Diese PDF-Datei enthält keinen Text (nur Bilder)";
        // Not its bytes: "PK...[Content_Types].xml..." would be spoken.
        QTest::newRow("docx without its main part")
            << "leer.docx"
            << TestFiles::zip({{"[Content_Types].xml", "<Types/>"}, {"word/styles.xml", "<w:styles/>"}})
            << "Dem Word-Dokument fehlt sein Hauptteil";
        // The same reason as the editor gives, not a damaged file.
        QList<TestFiles::Entry> parts{{"[Content_Types].xml", "<Types/>"}, {"word/document.xml", "<w:document/>"}};
        for (int i = 0; i < 20001; ++i)
            parts.append({QStringLiteral("x/%1").arg(i), QByteArray(), false, true});
        QTest::newRow("docx of too many parts") << "viele.docx" << TestFiles::zip(parts) << "mehr als 20000";
    }

    void unreadableFileSaysWhy()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QByteArray out, err;
        const QString path = write(name, bytes);
        QVERIFY(run({"--dry-run", "--file", path}, &out, &err) != 0);
        QVERIFY2(QString::fromUtf8(err).contains(reason), err.constData());
        QVERIFY(out.isEmpty());
    }
};

QTEST_MAIN(tst_speakimported)
#include "tst_speakimported.moc"
