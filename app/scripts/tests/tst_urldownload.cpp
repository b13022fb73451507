#include "ScriptRig.h"
#include "ScriptTexts.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

// A small HTTP server on 127.0.0.1: /good answers a file, /big 2 MB,
// /missing a 404, /stall accepts and never answers.
class TinyHttpServer : public QObject
{
public:
    QTcpServer server;
    QList<QTcpSocket *> held;
    TinyHttpServer()
    {
        server.listen(QHostAddress::LocalHost);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, this, [this, s] { answer(s); });
        });
    }
    QString url(const char *path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(QLatin1String(path));
    }

private:
    void answer(QTcpSocket *s)
    {
        const QByteArray request = s->readAll();
        if (request.startsWith("GET /stall")) {
            held << s;
            return;
        }
        if (request.startsWith("GET /big")) {
            const QByteArray body(2 << 20, 'x');
            s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size())
                     + "\r\nConnection: close\r\n\r\n" + body);
        } else if (request.startsWith("GET /good")) {
            const QByteArray body("neuer Inhalt\n");
            s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size())
                     + "\r\nConnection: close\r\n\r\n" + body);
        } else {
            s->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        }
        s->disconnectFromHost();
    }
};

class tst_UrlDownload : public QObject
{
    Q_OBJECT
private slots:
    void download_data();
    void download();
    void escCancelsAStalledTransfer();
    void failureOnTheLastLineStaysInTheStatusBar();
};

void tst_UrlDownload::download_data()
{
    QTest::addColumn<QString>("path"); // on the server, or a whole address
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("status");
    QTest::newRow("good file") << "/good" << QByteArray("neuer Inhalt\n") << QString();
    QTest::newRow("404 keeps the old file") << "/missing" << QByteArray("alt")
                                            << "Download fehlgeschlagen: Der Server antwortet mit dem Fehler 404.";
    QTest::newRow("file: refused") << "file:///etc/hostname" << QByteArray("alt")
                                   << QString(ScriptTexts::DownloadFailedPrefix + ScriptTexts::DownloadBadScheme);
    QTest::newRow("connection refused") << "http://127.0.0.1:1/x" << QByteArray("alt")
                                        << QString(ScriptTexts::DownloadFailedPrefix + ScriptTexts::DownloadNoConnection);
    QTest::newRow("stalled server times out") << "/stall" << QByteArray("alt")
                                              << QString(ScriptTexts::DownloadFailedPrefix + ScriptTexts::DownloadTimeout);
    // The test's limit is 1 MB; a volume of 1 GiB keeps 64 MiB free.
    QTest::newRow("over the size limit keeps the old file")
        << "/big" << QByteArray("alt")
        << "Download fehlgeschlagen: Die Datei ist größer als 1 MB und wird nicht gespeichert.";
    QTest::newRow("the disk's reserve keeps the old file")
        << "/good" << QByteArray("alt") << "Download fehlgeschlagen: Auf dem Datenträger müssen 64 MB frei bleiben.";
}

void tst_UrlDownload::download()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, content);
    QFETCH(QString, status);
    TinyHttpServer server;
    ScriptRig rig;
    rig.host.running = true;
    UrlDownload::Limits limits;
    limits.totalTimeoutMs = 400;
    limits.maxMegabytes = 1;
    const bool full = QByteArray(QTest::currentDataTag()).contains("reserve");
    limits.freeSpace = [full](const QString &) {
        constexpr qint64 MiB = qint64(1) << 20;
        return std::optional<DiskReserve::Space>(DiskReserve::Space{full ? 66 * MiB : 900 * MiB, 1024 * MiB});
    };
    rig.commands->setDownloadLimits(limits);
    const QString target = rig.write(rig.path("ziel.txt"), "alt");
    const QString url = path.startsWith('/') ? server.url(path.toUtf8().constData()) : path;

    // The window keeps running its events during the transfer.
    int ticks = 0;
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, [&] { ++ticks; });
    repaint.start(5);
    rig.commands->ExecuteCommand(QStringLiteral("Download"), url, target);

    QCOMPARE(rig.read(target), content);
    QCOMPARE(rig.host.status, status);
    // A failure also asks, naming the address and the reason.
    QCOMPARE(rig.dialogs.messages.size(), status.isEmpty() ? 0 : 1);
    if (!status.isEmpty())
        QVERIFY2(rig.dialogs.messages.first().text.contains(
                     ScriptTexts::DownloadFailed(url, status.mid(ScriptTexts::DownloadFailedPrefix.size()))),
                 qPrintable(rig.dialogs.messages.first().text));
    if (path == QLatin1String("/stall"))
        QVERIFY(ticks > 10);
    // No temporary file is left beside the target.
    QCOMPARE(QDir(rig.home.path()).entryList({"ziel*"}, QDir::Files | QDir::Hidden), QStringList{"ziel.txt"});
}

void tst_UrlDownload::escCancelsAStalledTransfer()
{
    TinyHttpServer server;
    ScriptRig rig;
    rig.host.running = true;
    const QString target = rig.write(rig.path("ziel.txt"), "alt");
    // ESC once the server holds the request. Without the cancel the
    // transfer would end by its stall timeout, with another status.
    QTimer esc;
    QObject::connect(&esc, &QTimer::timeout, [&] {
        if (!server.held.isEmpty())
            rig.host.running = false;
    });
    esc.start(1);
    rig.commands->ExecuteCommand(QStringLiteral("Download"), server.url("/stall"), target);
    QVERIFY(!server.held.isEmpty());
    QCOMPARE(rig.read(target), QByteArray("alt"));
    QCOMPARE(rig.host.status, QString(ScriptTexts::DownloadFailedPrefix + ScriptTexts::DownloadCancelled));
    // The user stopped it: nothing to ask.
    QCOMPARE(rig.dialogs.messages.size(), 0);
}

// The end of the run does not wipe out why its last command failed.
void tst_UrlDownload::failureOnTheLastLineStaysInTheStatusBar()
{
    TinyHttpServer server;
    ScriptRig rig;
    rig.settings->write(SettingKeys::VTSAllowDownload, "1");
    rig.script("d.vts", "Download(" + server.url("/missing").toUtf8() + "," + rig.path("ziel.txt").toUtf8() + ");\r\n");
    rig.run("d.vts");
    QCOMPARE(rig.host.status, QStringLiteral("Download fehlgeschlagen: Der Server antwortet mit dem Fehler 404."));
}

QTEST_MAIN(tst_UrlDownload)
#include "tst_urldownload.moc"
