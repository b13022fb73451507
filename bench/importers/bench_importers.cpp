// Opening a 500-page PDF (text only) and a 5 MB EPUB the way the window
// does, to the first painted page: reading and parsing (the worker's part),
// filling the document box (the GUI thread's part), the first paint. The
// PDF against the pdftotext program on the same file in the same run
// (goal: at most 1.5 times as long).
//
// "paragraph": one paragraph running over thousands of pages, read as the
// worker reads it (PDF extraction and paragraph assembly), against
// pdftotext on the same file; the time should grow with the page count,
// not with its square.
//
//   bench_importers [pages] [rounds]      (default 500 pages, 3 rounds)
//   bench_importers paragraph [pages ...] (default 10000 20000 40000)
#include "DocumentIO.h"
#include "Clock.h"
#include "IncrementalDocumentLayout.h"
#include "TestFiles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The benchmarks run on the time the program itself runs on.
const SystemClock realTime;

const char *const kWords[] = {"Sprache", "Stimme",   "liest", "den",    "Text",  "vor",    "und",
                              "der",     "Dokument", "eine",  "Seite",  "lange", "Kapitel", "mit",
                              "Wörtern", "über",     "die",   "Straße", "heute", "schnell"};

QString sentenceLine(QRandomGenerator &rng)
{
    QString line;
    while (line.size() < 62)
        line += QString::fromUtf8(kWords[rng.bounded(int(std::size(kWords)))]) + QLatin1Char(' ');
    return line.trimmed();
}

QByteArray makePdf(int pages)
{
    QRandomGenerator rng(7);
    QList<TestFiles::PdfPage> list;
    for (int p = 0; p < pages; ++p) {
        TestFiles::PdfPage page;
        page.header = QStringLiteral("Benchmark-Dokument");
        page.footer = QString::number(p + 1);
        for (int l = 0; l < 44; ++l)
            page.lines << (l % 9 == 8 ? QString() : sentenceLine(rng));
        list << page;
    }
    return TestFiles::pdf(list);
}

// Chapters are stored unpacked, so the file's size is the XHTML's size:
// 5 MB of chapters, far more text than a novel.
QByteArray makeEpub(qsizetype targetBytes)
{
    QRandomGenerator rng(11);
    QList<QPair<QString, QByteArray>> list;
    qsizetype size = 0;
    while (size < targetBytes) {
        const int c = int(list.size());
        QByteArray body = "<h1>Kapitel " + QByteArray::number(c + 1) + "</h1>";
        for (int p = 0; p < 120; ++p) {
            body += "<p>";
            for (int s = 0; s < 4; ++s)
                body += (s == 1 ? "<em>" : "") + sentenceLine(rng).toUtf8() + (s == 1 ? "</em> " : ". ");
            body += "</p>\n";
        }
        list.append({QStringLiteral("k%1.xhtml").arg(c),
                     "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\">"
                     "<head><title>K</title></head><body>" + body + "</body></html>"});
        size += list.back().second.size();
    }
    return TestFiles::epub(list, false, true);
}

// Every line as long as the next and none ending a sentence: the pages
// hold one paragraph from the first line to the last.
QByteArray makeOneParagraphPdf(int pages)
{
    const QString text = QStringLiteral("die Stimme liest den Text vor und der Text geht immer weiter mit");
    QList<TestFiles::PdfPage> list;
    for (int p = 0; p < pages; ++p) {
        TestFiles::PdfPage page;
        for (int l = 0; l < 4; ++l)
            page.lines << text;
        list << page;
    }
    return TestFiles::pdf(list);
}

double seconds(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e9;
}

int oneParagraph(const std::vector<int> &pageCounts)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    QTemporaryDir dir;
    std::printf("pages   paragraphs  characters  read (s)  pdftotext (s)  ratio\n");
    for (const int pages : pageCounts) {
        const QString path = dir.filePath(QStringLiteral("absatz.pdf"));
        {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(makeOneParagraphPdf(pages));
        }
        QElapsedTimer t;
        double tool = 0;
        if (!pdftotext.isEmpty()) {
            t.start();
            QProcess::execute(pdftotext, {path, dir.filePath(QStringLiteral("out.txt"))});
            tool = seconds(t);
        }
        t.start();
        const PreparedDocument prepared = DocumentIO::prepareFile(path);
        const double read = seconds(t);
        if (!prepared.result.ok) {
            std::fprintf(stderr, "could not read %d pages: %s\n", pages, qPrintable(prepared.result.message));
            return 1;
        }
        qsizetype characters = 0;
        for (const TextBlock &block : prepared.imported.blocks) {
            for (const TextRun &run : block.runs)
                characters += run.text.size();
        }
        std::printf("%6d  %10zu  %10lld  %8.2f  %13.2f  %5.2f\n", pages, prepared.imported.blocks.size(),
                    static_cast<long long>(characters), read, tool, tool > 0 ? read / tool : 0.0);
        std::fflush(stdout);
    }
    return 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Times {
    double read = 0, fill = 0, paint = 0;
    double total() const { return read + fill + paint; }
};

Times openInBox(const QString &path)
{
    QTextEdit edit;
    edit.resize(900, 700);
    IncrementalDocumentLayout::install(&edit, realTime);
    edit.show();
    QApplication::processEvents();
    QElapsedTimer t;
    t.start();
    const PreparedDocument prepared = DocumentIO::prepareFile(path);
    Times times;
    times.read = t.nsecsElapsed() / 1e6;
    t.restart();
    if (!DocumentIO::applyPrepared(prepared, edit.document()).ok)
        std::fprintf(stderr, "could not open %s\n", qPrintable(path));
    times.fill = t.nsecsElapsed() / 1e6;
    t.restart();
    edit.viewport()->repaint();
    times.paint = t.nsecsElapsed() / 1e6;
    return times;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "paragraph") == 0) {
        std::vector<int> pageCounts;
        for (int i = 2; i < argc; ++i)
            pageCounts.push_back(std::max(1, atoi(argv[i])));
        if (pageCounts.empty())
            pageCounts = {10000, 20000, 40000};
        return oneParagraph(pageCounts);
    }
    const int pages = argc > 1 ? std::max(1, atoi(argv[1])) : 500;
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 3;

    QTemporaryDir dir;
    const QString pdfPath = dir.filePath(QStringLiteral("bench.pdf"));
    const QString epubPath = dir.filePath(QStringLiteral("bench.epub"));
    {
        QElapsedTimer made;
        made.start();
        QFile f(pdfPath);
        f.open(QIODevice::WriteOnly);
        f.write(makePdf(pages));
        std::fprintf(stderr, "PDF made in %.1f s\n", made.elapsed() / 1000.0);
        QFile g(epubPath);
        g.open(QIODevice::WriteOnly);
        g.write(makeEpub(5 * 1024 * 1024));
    }
    std::printf("PDF: %d pages, %.1f MB; EPUB: %.1f MB\n", pages, QFileInfo(pdfPath).size() / 1048576.0,
                QFileInfo(epubPath).size() / 1048576.0);

    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    std::vector<double> tool, pdfTotal, pdfRead, pdfFill, pdfPaint, epubTotal, epubRead, epubFill, epubPaint;
    for (int r = 0; r < rounds; ++r) {
        if (!pdftotext.isEmpty()) {
            QElapsedTimer t;
            t.start();
            QProcess::execute(pdftotext, {pdfPath, dir.filePath(QStringLiteral("out.txt"))});
            tool.push_back(t.nsecsElapsed() / 1e6);
        }
        const Times p = openInBox(pdfPath);
        pdfTotal.push_back(p.total());
        pdfRead.push_back(p.read);
        pdfFill.push_back(p.fill);
        pdfPaint.push_back(p.paint);
        const Times e = openInBox(epubPath);
        epubTotal.push_back(e.total());
        epubRead.push_back(e.read);
        epubFill.push_back(e.fill);
        epubPaint.push_back(e.paint);
    }
    std::printf("medians of %d rounds, milliseconds\n", rounds);
    std::printf("PDF  to first paint %8.1f  (read %.1f, fill %.1f, paint %.1f)\n", median(pdfTotal), median(pdfRead),
                median(pdfFill), median(pdfPaint));
    if (!tool.empty())
        std::printf("pdftotext           %8.1f  ratio %.2f (goal at most 1.5)\n", median(tool),
                    median(pdfTotal) / median(tool));
    std::printf("EPUB to first paint %8.1f  (read %.1f, fill %.1f, paint %.1f)\n", median(epubTotal),
                median(epubRead), median(epubFill), median(epubPaint));
    return 0;
}
