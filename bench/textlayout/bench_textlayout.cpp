// Typing, loading and resizing in a 5 MB document, with Qt's document layout
// and with IncrementalDocumentLayout, side by side.
//
//   bench_textlayout [lines]     (default 76000 lines of about 70 characters)

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "DocumentLayoutKeeper.h"
#include "Clock.h"
#include "IncrementalDocumentLayout.h"

namespace {

// The benchmarks run on the time the program itself runs on.
const SystemClock realTime;

// Counts the paint events of the viewport, to show the timings include them.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(o, e);
    }
};

struct Stats {
    double median = 0;
    double worst = 0;
};

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

QString makeText(int lines)
{
    static const char *const words[] = {"Sprache", "Stimme", "liest", "den", "Text", "vor", "und", "der",
                                        "Hörer", "folgt", "jedem", "Satz", "bis", "zum", "Ende", "ruhig"};
    QString text;
    text.reserve(lines * 72);
    quint32 seed = 7;
    for (int i = 0; i < lines; ++i) {
        QString line;
        while (line.size() < 66) {
            seed = seed * 1664525u + 1013904223u;
            line += QString::fromUtf8(words[(seed >> 10) % 16]) + ' ';
        }
        text += line.trimmed() + '\n';
    }
    return text;
}

void settle(QTextEdit &edit, bool incremental)
{
    QAbstractTextDocumentLayout *layout = edit.document()->documentLayout();
    if (incremental) {
        auto *own = qobject_cast<IncrementalDocumentLayout *>(layout);
        while (own && !own->isLayoutFinished())
            QApplication::processEvents();
    } else {
        // Asking for the last block makes Qt's layout finish the document.
        layout->blockBoundingRect(edit.document()->lastBlock());
    }
    QApplication::processEvents();
}

struct Result {
    Stats typing[3];
    int paints = 0;
    double load = 0;
    double loadText = 0;
    double resize = 0;
    double append = 0;
    double paragraphLoad = 0;
    double paragraphKey = 0;
};

Result run(const QString &text, bool incremental)
{
    Result r;
    QTextEdit edit;
    edit.resize(800, 600);
    if (incremental)
        IncrementalDocumentLayout::install(&edit, realTime);
    edit.show();
    QApplication::processEvents();
    PaintCounter counter;
    edit.viewport()->installEventFilter(&counter);

    QElapsedTimer clock;
    clock.start();
    edit.setPlainText(text);
    r.loadText = clock.nsecsElapsed() / 1e6;
    edit.viewport()->repaint();
    r.load = clock.nsecsElapsed() / 1e6;
    settle(edit, incremental);

    QTextDocument *doc = edit.document();
    const int positions[3] = {doc->characterCount() - 1, doc->findBlockByNumber(doc->blockCount() / 2).position() + 20, 5};
    for (int p = 0; p < 3; ++p) {
        QTextCursor c(doc);
        c.setPosition(positions[p]);
        edit.setTextCursor(c);
        edit.ensureCursorVisible();
        QApplication::processEvents();
        std::vector<double> times;
        for (int i = 0; i < 100; ++i) {
            clock.restart();
            QTest::keyClick(&edit, Qt::Key_A);
            QApplication::processEvents();
            times.push_back(clock.nsecsElapsed() / 1e6);
        }
        r.typing[p] = stats(times);
    }
    r.paints = counter.paints;

    clock.restart();
    edit.resize(700, 600);
    QApplication::processEvents();
    edit.viewport()->repaint();
    r.resize = clock.nsecsElapsed() / 1e6;
    settle(edit, incremental);

    // A document filled paragraph by paragraph, each insertion on its own.
    edit.clear();
    QApplication::processEvents();
    QTextCursor end(edit.document());
    const QString line = text.section('\n', 0, 0);
    clock.restart();
    for (int i = 0; i < 20000; ++i) {
        end.movePosition(QTextCursor::End);
        end.insertText(line);
        end.insertBlock();
    }
    edit.viewport()->repaint();
    r.append = clock.nsecsElapsed() / 1e6;

    // The whole text as one paragraph: every key lays the paragraph out anew.
    QString paragraph = text;
    paragraph.replace('\n', ' ');
    clock.restart();
    edit.setPlainText(paragraph);
    edit.viewport()->repaint();
    r.paragraphLoad = clock.nsecsElapsed() / 1e6;
    edit.moveCursor(QTextCursor::Start);
    QApplication::processEvents();
    clock.restart();
    QTest::keyClick(&edit, Qt::Key_A);
    QApplication::processEvents();
    r.paragraphKey = clock.nsecsElapsed() / 1e6;
    return r;
}

// setPlainText and the first paint alone, for a median over several runs.
double loadOnce(const QString &text, bool incremental)
{
    QTextEdit edit;
    edit.resize(800, 600);
    if (incremental)
        IncrementalDocumentLayout::install(&edit, realTime);
    edit.show();
    QApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    edit.setPlainText(text);
    edit.viewport()->repaint();
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? qMax(1, atoi(argv[1])) : 76000;
    const QString text = makeText(lines);
    std::printf("document: %d lines, %.1f MB\n", lines, text.size() * 1.0 / (1 << 20));

    const Result qt = run(text, false);
    const Result own = run(text, true);
    std::vector<double> loadsQt, loadsOwn;
    for (int i = 0; i < 5; ++i) {
        loadsQt.push_back(loadOnce(text, false));
        loadsOwn.push_back(loadOnce(text, true));
    }
    const char *const where[3] = {"end", "middle", "start"};
    std::printf("%-34s %18s %18s\n", "ms", "Qt layout", "incremental");
    for (int i = 0; i < 3; ++i) {
        std::printf("type one key at the %-6s median %18.2f %18.2f\n", where[i], qt.typing[i].median, own.typing[i].median);
        std::printf("type one key at the %-6s worst  %18.2f %18.2f\n", where[i], qt.typing[i].worst, own.typing[i].worst);
    }
    std::printf("%-34s %18d %18d\n", "paint events while typing 300 keys", qt.paints, own.paints);
    std::printf("%-34s %18.1f %18.1f\n", "setPlainText + first paint", qt.load, own.load);
    std::printf("%-34s %18.1f %18.1f\n", "  of which setPlainText", qt.loadText, own.loadText);
    std::printf("%-34s %18.1f %18.1f\n", "  median of 5 more, alternating", stats(loadsQt).median, stats(loadsOwn).median);
    std::printf("%-34s %18.1f %18.1f\n", "resize 800 -> 700 wide + paint", qt.resize, own.resize);
    std::printf("%-34s %18.1f %18.1f\n", "20000 paragraphs added one by one", qt.append, own.append);
    std::printf("%-34s %18.1f %18.1f\n", "one 5 MB paragraph: load + paint", qt.paragraphLoad, own.paragraphLoad);
    std::printf("%-34s %18.1f %18.1f\n", "one 5 MB paragraph: one key", qt.paragraphKey, own.paragraphKey);
    return 0;
}
