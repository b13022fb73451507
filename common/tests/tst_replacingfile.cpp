// Writing a user's file: the name holds the old file or the complete new
// one, special files are never replaced, and nothing is left behind.
#include "ReplacingFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

Q_DECLARE_METATYPE(ReplacingFile::NewFile)

class tst_ReplacingFile : public QObject
{
    Q_OBJECT
private slots:
    void replacesOnlyOnCommit_data();
    void replacesOnlyOnCommit();
    void targetBecomesSpecialBeforeCommit();
    void killedWriterLeavesNothing_data();
    void killedWriterLeavesNothing();
};

void tst_ReplacingFile::replacesOnlyOnCommit_data()
{
    QTest::addColumn<ReplacingFile::NewFile>("newFile");
    QTest::addColumn<bool>("commit");
    QTest::newRow("unnamed, committed") << ReplacingFile::NewFile::Unnamed << true;
    QTest::newRow("unnamed, discarded") << ReplacingFile::NewFile::Unnamed << false;
    QTest::newRow("hidden name, committed") << ReplacingFile::NewFile::Hidden << true;
    QTest::newRow("hidden name, discarded") << ReplacingFile::NewFile::Hidden << false;
}

// The old file with its permissions stays until the new one is complete; a
// link to it stays a link.
void tst_ReplacingFile::replacesOnlyOnCommit()
{
    QFETCH(ReplacingFile::NewFile, newFile);
    QFETCH(bool, commit);
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("brief.txt"));
    const QString link = dir.filePath(QStringLiteral("verweis.txt"));
    put(real, "alt");
    QCOMPARE(::chmod(QFile::encodeName(real).constData(), 0604), 0);
    QVERIFY(QFile::link(real, link));
    {
        ReplacingFile file(link, newFile);
        QVERIFY(file.open());
        QVERIFY(file.write("ganz neu"));
        QCOMPARE(contents(real), QByteArray("alt"));
        QCOMPARE(contents(file.readablePath()), QByteArray("ganz neu"));
        if (commit)
            QVERIFY2(file.commit(), qPrintable(file.errorDescription()));
    }
    QCOMPARE(contents(real), commit ? QByteArray("ganz neu") : QByteArray("alt"));
    QVERIFY(QFileInfo(link).isSymLink());
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(real).constData(), &st), 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0604));
    QCOMPARE(entries(dir.path()), (QStringList{QStringLiteral("brief.txt"), QStringLiteral("verweis.txt")}));
}

// A pipe put under the name while the file was written is not replaced.
void tst_ReplacingFile::targetBecomesSpecialBeforeCommit()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("ziel"));
    ReplacingFile file(target);
    QVERIFY(file.open());
    QVERIFY(file.write("neu"));
    QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    QVERIFY(!file.commit());
    QCOMPARE(file.errorNumber(), 75);
    QCOMPARE(file.errorDescription(), QStringLiteral("Der Pfad ist eine benannte Pipe (FIFO), keine gewöhnliche Datei"));
    struct stat st {};
    QCOMPARE(::lstat(QFile::encodeName(target).constData(), &st), 0);
    QVERIFY(S_ISFIFO(st.st_mode));
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("ziel")});
}

void tst_ReplacingFile::killedWriterLeavesNothing_data()
{
    QTest::addColumn<ReplacingFile::NewFile>("newFile");
    QTest::newRow("unnamed: gone with the process") << ReplacingFile::NewFile::Unnamed;
    QTest::newRow("hidden name: removed by the next writer") << ReplacingFile::NewFile::Hidden;
}

void tst_ReplacingFile::killedWriterLeavesNothing()
{
    QFETCH(ReplacingFile::NewFile, newFile);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("aufnahme.wav"));
    put(target, "alt");
    int ready[2];
    QCOMPARE(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ReplacingFile file(target, newFile);
        const bool ok = file.open() && file.write(QByteArray(100000, 'x'));
        char c = ok ? '1' : '0';
        if (::write(ready[1], &c, 1) != 1 || !ok)
            ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char c = 0;
    QCOMPARE(::read(ready[0], &c, 1), ssize_t(1));
    ::close(ready[0]);
    QCOMPARE(c, '1');
    // A second writer meanwhile leaves the file in use alone.
    {
        ReplacingFile other(dir.filePath(QStringLiteral("anderes.txt")), newFile);
        QVERIFY(other.open());
    }
    const int inUse = int(entries(dir.path()).size());
    QCOMPARE(inUse, newFile == ReplacingFile::NewFile::Hidden ? 2 : 1);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    {
        ReplacingFile next(dir.filePath(QStringLiteral("anderes.txt")), newFile);
        QVERIFY(next.open());
        next.discard();
    }
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("aufnahme.wav")});
    QCOMPARE(contents(target), QByteArray("alt"));
}

QTEST_GUILESS_MAIN(tst_ReplacingFile)
#include "tst_replacingfile.moc"
