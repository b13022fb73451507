// Main window benchmarks.
//
//   bench_window            runs both measurements and prints the numbers
//   bench_window startup    (child) Quenora's start-up until its first paint
//   bench_window minimal    (child) a minimal Qt widgets program: an empty window
//   bench_window hello      (child) a minimal Qt widgets program with one line of text
//   bench_window typing     only the typing measurement
//   bench_window start      only the start-up measurement
//
// Start-up is measured as whole processes, offscreen, 15 runs of each,
// interleaved, in one QUENORA_HOME. The parent notes the monotonic clock just
// before it spawns a child; the child reports, once its first frame is
// painted (the window and all its children), how long that was ago, and ends. The figure is the median. All children are this
// one binary, so each pays the same dynamic loading. Quenora starts as a new
// user sees it: with the start page from the program's data files.
// Typing: one key press into a 5 MB document in the window, handled
// including the character count in the status bar; median of 100 at the
// end, in the middle and at the start of the document.
#include "Clipboard.h"
#include "Clock.h"
#include "FakeSpeechEngine.h"
#include "QuenoraMain.h"
#include "RecordingExtensionHost.h"
#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "SqliteHive.h"
#include "frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {

double monotonicMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Reports the first frame: when the first paint of the watched window has
// been dispatched to the end (the window and every child drawn and handed to
// the screen), prints how long ago the parent spawned this process, and ends
// the process normally, so the next start finds no stale instance lock.
class FirstFrameApp : public QApplication
{
public:
    using QApplication::QApplication;

    void watch(QWidget *window) { m_window = window; }

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && receiver == m_window)
            m_painted = true;
        ++m_depth;
        const bool result = QApplication::notify(receiver, event);
        --m_depth;
        if (m_depth == 0 && m_painted && !m_reported) {
            m_reported = true;
            const double spawned = std::atof(qgetenv("BENCH_SPAWNED_AT_MS").constData());
            std::printf("%.3f\n", monotonicMs() - spawned);
            std::fflush(stdout);
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        }
        return result;
    }

private:
    QWidget *m_window = nullptr;
    int m_depth = 0;
    bool m_painted = false;
    bool m_reported = false;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double runChild(const QString &mode, const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUENORA_HOME", home);
    env.insert("QUENORA_AUDIO", "null");
    env.insert("QUENORA_DATA_DIR", QStringLiteral(QUENORA_DATA));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess p;
    env.insert("BENCH_SPAWNED_AT_MS", QString::number(monotonicMs(), 'f', 3));
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationFilePath(), {mode});
    bool ok = false;
    const double ms = p.waitForFinished(30000) && p.exitCode() == 0 ? p.readAllStandardOutput().trimmed().toDouble(&ok) : 0;
    if (!ok) {
        std::fprintf(stderr, "%s run failed\n", qPrintable(mode));
        return -1;
    }
    return ms;
}

void typing()
{
    QTemporaryDir home;
    qputenv("QUENORA_HOME", home.path().toUtf8());
    FakeSpeechEngine voice;
    FakeSpeechEngine voice2;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    RecordingExtensionHost extensions;
    SettingsStore settings(std::make_shared<SqliteHive>(home.filePath("registry.db")));
    settings.write(SettingKeys::ShowWB, "0");
    SystemClock clock;
    QtClipboard clipboard;
    frmMain::Collaborators c{clock, clipboard, &voice, &voice2, &dialogs, &shell, &extensions, &settings, nullptr, [] {}, {}};
    frmMain w(c);
    w.Form_Load();
    QString line = QStringLiteral("Dies ist eine Zeile eines sehr langen Dokuments mit Umlauten: äöüß.\n");
    QString text;
    text.reserve(5 * 1024 * 1024 + line.size());
    while (text.size() < 5 * 1024 * 1024)
        text += line;
    w.rtfText()->setPlainText(text);
    w.rtfText()->setFocus();
    QCoreApplication::processEvents();
    // Where the cursor is matters: the box lays out again everything after it.
    const struct {
        const char *where;
        QTextCursor::MoveOperation move;
    } places[] = {{"at the end", QTextCursor::End}, {"in the middle", QTextCursor::NoMove},
                  {"at the start", QTextCursor::Start}};
    for (const auto &place : places) {
        if (place.move == QTextCursor::NoMove) {
            QTextCursor c = w.rtfText()->textCursor();
            c.setPosition(w.rtfText()->document()->characterCount() / 2);
            w.rtfText()->setTextCursor(c);
        } else {
            w.rtfText()->moveCursor(place.move);
        }
        std::vector<double> ms;
        for (int i = 0; i < 100; ++i) {
            QElapsedTimer t;
            t.start();
            QTest::keyClick(w.rtfText(), Qt::Key_X);
            QCoreApplication::processEvents();
            ms.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("typing one character %s of a 5 MB document: median %.2f ms, worst %.2f ms\n", place.where,
                    median(ms), *std::max_element(ms.begin(), ms.end()));
    }
    std::printf("(status bar afterwards: %s)\n", qPrintable(w.statusText()));
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "startup") {
        FirstFrameApp app(argc, argv);
        return QuenoraMain(app, {}, [&](frmMain &w) { app.watch(&w); });
    }
    if (mode == "minimal" || mode == "hello") {
        FirstFrameApp app(argc, argv);
        QWidget w;
        w.resize(585, 490);
        if (mode == "hello")
            new QLabel(QStringLiteral("Hallo Welt"), &w);
        app.watch(&w);
        w.show();
        return app.exec();
    }

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (mode == "typing") {
        typing();
        return 0;
    }
    // The first start of a user writes the hive and the file type; it is
    // reported on its own, the median is of the starts after it.
    QTemporaryDir home;
    const double firstStart = runChild("startup", home.path());
    std::vector<double> quenora;
    std::vector<double> minimal;
    std::vector<double> hello;
    for (int i = 0; i < 15; ++i) {
        minimal.push_back(runChild("minimal", home.path()));
        quenora.push_back(runChild("startup", home.path()));
        hello.push_back(runChild("hello", home.path()));
    }
    const double q = median(quenora);
    const double m = median(minimal);
    const double h = median(hello);
    std::printf("start-up to the first painted frame: quenora median %.1f ms\n", q);
    std::printf("  minimal Qt widgets program, empty window: %.1f ms, ratio %.2f\n", m, q / m);
    std::printf("  minimal Qt widgets program, one line of text: %.1f ms, ratio %.2f\n", h, q / h);
    std::printf("the very first start (new hive, file type written): %.1f ms\n", firstStart);
    if (mode != "start")
        typing();
    return 0;
}
