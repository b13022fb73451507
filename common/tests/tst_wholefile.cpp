// Whole-file reads and writes: a failed write keeps the old file, reading
// decodes Windows-1252, and asking whether a name exists opens nothing.
#include "WholeFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_WholeFile : public QObject
{
    Q_OBJECT
private slots:
    void writeKeepsTheOldFileOnFailure()
    {
        QTemporaryDir dir;
        const QString written = dir.filePath("new.txt");
        QCOMPARE(WholeFile::WriteWholeFile(written, QStringLiteral("neu")), 0);
        QString why;
        QCOMPARE(WholeFile::WriteWholeFile(dir.filePath("none/x.txt"), "x", &why), 76);
        QCOMPARE(why, QStringLiteral("Pfad nicht gefunden"));
        QCOMPARE(WholeFile::ReadWholeFile(written), QStringLiteral("neu"));

        QFile cp1252(dir.filePath("cp1252.txt"));
        QVERIFY(cp1252.open(QIODevice::WriteOnly));
        cp1252.write("Gr\xFC\xDF" "e");
        cp1252.close();
        QCOMPARE(WholeFile::ReadWholeFile(cp1252.fileName()), QStringLiteral(u"Grüße"));

        QVERIFY(WholeFile::FileExists(written));
        QVERIFY(!WholeFile::FileExists(dir.filePath("nope.txt")));
        QVERIFY(!WholeFile::FileExists(dir.path() + "/none/x.txt"));
    }
};

QTEST_APPLESS_MAIN(tst_WholeFile)
#include "tst_wholefile.moc"
