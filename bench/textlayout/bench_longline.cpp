// A text file that is one long line, opened the way the window opens it
// (read and decoded, put into the document box, first paint), then the
// cursor sent to the end and a key typed there, and the text saved again.
// Prints the times, the process's memory and whether the saved bytes are
// the file's.
//
//   bench_longline [MB] [--one-block]
//
// Default 100 MB of words and blanks. --one-block puts the line into the
// document as one block (QTextDocument::setPlainText), as opening did
// before long lines were split; give it 10 MB or so, not 100. Run one size
// per process: the peak memory is the process's.

#include "DocumentIO.h"
#include "Clock.h"
#include "IncrementalDocumentLayout.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

#include <cstdio>
#include <cstring>

namespace {

// The benchmarks run on the time the program itself runs on.
const SystemClock realTime;

// Resident and peak resident memory of this process, in MB.
void memory(double *now, double *peak)
{
    QFile status(QStringLiteral("/proc/self/status"));
    *now = *peak = 0;
    if (!status.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            *now = line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
        else if (line.startsWith("VmHWM:"))
            *peak = line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
}

QByteArray oneLine(qsizetype bytes)
{
    static const char *const words[] = {"die ", "Stimme ", "liest ", "den ", "langen ", "Text ", "vor, ",
                                        "ohne ", "dass ", "eine ", "Zeile ", "endet ", "und "};
    QByteArray text;
    text.reserve(bytes + 16);
    for (size_t i = 0; text.size() < bytes; i = (i * 7 + 3) % std::size(words))
        text += words[i];
    text.truncate(bytes);
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    double megabytes = 100;
    bool oneBlock = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--one-block") == 0)
            oneBlock = true;
        else
            megabytes = qMax(0.001, atof(argv[i]));
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zeile.txt"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(oneLine(qsizetype(megabytes * 1024 * 1024))) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    double base = 0, basePeak = 0;
    memory(&base, &basePeak);

    QTextEdit edit;
    edit.resize(900, 700);
    IncrementalDocumentLayout::install(&edit, realTime);
    edit.show();
    QTest::qWaitForWindowExposed(&edit);
    QElapsedTimer t;
    t.start();
    const PreparedDocument prepared = DocumentIO::prepareFile(path);
    const double read = t.nsecsElapsed() / 1e6;
    t.restart();
    if (oneBlock)
        edit.document()->setPlainText(QString::fromUtf8(prepared.bytes));
    else
        DocumentIO::applyPrepared(prepared, edit.document());
    const double fill = t.nsecsElapsed() / 1e6;
    t.restart();
    edit.viewport()->repaint();
    const double paint = t.nsecsElapsed() / 1e6;
    double afterOpen = 0, peakOpen = 0;
    memory(&afterOpen, &peakOpen);

    t.restart();
    edit.moveCursor(QTextCursor::End);
    QTest::keyClick(edit.viewport(), Qt::Key_X);
    edit.viewport()->repaint();
    const double typeAtEnd = t.nsecsElapsed() / 1e6;
    t.restart();
    edit.moveCursor(QTextCursor::Start);
    edit.viewport()->repaint();
    const double backToStart = t.nsecsElapsed() / 1e6;
    {
        QTextCursor c(edit.document());
        c.movePosition(QTextCursor::End);
        c.deletePreviousChar();
    }
    t.restart();
    const QByteArray saved = DocumentIO::toBytes(*edit.document(), DocumentFormat::PlainText);
    const double save = t.nsecsElapsed() / 1e6;
    double now = 0, peak = 0;
    memory(&now, &peak);
    const double characters = double(edit.document()->characterCount());

    std::printf("%.0f MB on one line%s: %d blocks\n", megabytes, oneBlock ? " (one block)" : "",
                edit.document()->blockCount());
    std::printf("read and decode        %9.1f ms\n", read);
    std::printf("into the document box  %9.1f ms\n", fill);
    std::printf("first paint            %9.1f ms\n", paint);
    std::printf("open to first paint    %9.1f ms (goal under 5000)\n", read + fill + paint);
    std::printf("end, type a key, paint %9.1f ms\n", typeAtEnd);
    std::printf("back to the start      %9.1f ms\n", backToStart);
    std::printf("save as text           %9.1f ms, %s\n", save,
                saved == prepared.bytes ? "the file's bytes" : "DIFFERENT from the file");
    std::printf("memory after opening   %9.1f MB (%.1f bytes per character)\n", afterOpen - base,
                (afterOpen - base) * 1048576 / characters);
    std::printf("peak memory            %9.1f MB (%.1f bytes per character)\n", peak - base,
                (peak - base) * 1048576 / characters);
    return 0;
}
