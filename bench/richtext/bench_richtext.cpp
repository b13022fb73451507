// Load and save of a large RTF document (5 MB by default), the way the
// document box does it; goal: each under 0.5 s. Also a plain-text load of
// the same size for comparison.
//   bench_richtext [megabytes] [rounds]
// For timing whole processes against another RTF reader on the same file:
//   bench_richtext write FILE [megabytes] [word|dense]   writes the document
//   bench_richtext load FILE                             loads it once
#include "DocumentIO.h"

#include <QElapsedTimer>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// A document as Word writes it: every run of text carries its full set of
// control words (language, revision ids, the fonts of all scripts), runs
// are a sentence or two long.
QByteArray makeWordShaped(qsizetype target)
{
    QByteArray out =
        "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff31507\\deff0\\deflang1031{\\fonttbl"
        "{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}"
        "{\\fhiminor\\f31506\\fbidi \\fswiss\\fcharset0\\fprq2{\\*\\panose 020f0502020204030204}Calibri;}}\r\n"
        "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n"
        "{\\*\\rsidtbl \\rsid1182\\rsid2168431}{\\info{\\title Bench}{\\author Bench}}\r\n";
    int n = 0;
    while (out.size() < target) {
        ++n;
        out += "\\pard\\plain \\ltrpar\\qj \\li0\\ri0\\sa160\\sl259\\slmult1\\widctlpar\\wrapdefault\\aspalpha"
               "\\aspnum\\faauto\\adjustright\\rin0\\lin0\\itap0\\pararsid1182 \\rtlch\\fcs1 \\af31507\\afs22"
               "\\alang1025 \\ltrch\\fcs0 \\f31506\\fs22\\lang1031\\langfe1033\\cgrid\\langnp1031\\langfenp1033 "
               "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid1182 \\hich\\af31506\\dbch\\af31505\\loch\\f31506 "
               "Die Sitzung begann p\\'fcnktlich um neun Uhr, und der Vorsitzende begr\\'fc\\'dfte alle Anwesenden. }"
               "{\\rtlch\\fcs1 \\ab\\af31507 \\ltrch\\fcs0 \\b\\insrsid1182 \\hich\\af31506\\dbch\\af31505\\loch\\f31506 "
               "Tagesordnungspunkt ";
        out += QByteArray::number(n);
        out += "}{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid2168431 \\hich\\af31506\\dbch\\af31505\\loch\\f31506 "
               " wurde ausf\\'fchrlich besprochen; die Kosten von 5 \\u8364? wurden einstimmig angenommen.}"
               "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid1182 \\par }\r\n";
    }
    out += "}\r\n";
    return out;
}

// Dense formatting: a run change every few words, escaped umlauts, \uN,
// tables, lists; the hardest case for the number of text runs per byte.
QByteArray makeDense(qsizetype target)
{
    QByteArray out =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}"
        "{\\f2\\fmodern\\fcharset0 Courier New;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
        "{\\*\\generator Bench;}\\viewkind4\\uc1\r\n";
    int n = 0;
    while (out.size() < target) {
        ++n;
        out += "\\pard\\sa200\\sl276\\slmult1";
        if (n % 7 == 0)
            out += "\\qc";
        out += "\\f0\\fs22 Absatz ";
        out += QByteArray::number(n);
        out += ": Gr\\'fc\\'dfe aus M\\'fcnchen, {\\b fett} und {\\i kursiv}, {\\ul unterstrichen}, "
               "{\\cf1 rot} und {\\f2 Schreibmaschine}. Der Preis betr\\'e4gt 5 \\u8364? "
               "\\ldblquote Zitat\\rdblquote  \\endash  {\\f1\\fs28 gro\\'df}.\\par\r\n";
        if (n % 50 == 0)
            out += "\\trowd\\cellx3000\\cellx6000\\pard\\intbl Zelle A\\cell Zelle B\\cell\\row\\pard\r\n";
        if (n % 30 == 0)
            out += "{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\fi-360\\li720 Listenpunkt\\par\\pard\r\n";
    }
    out += "}\r\n";
    return out;
}

double bestOf(int rounds, const std::function<void()> &run)
{
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    return best;
}

bool run(const QString &name, const QByteArray &rtf, int rounds)
{
    QTemporaryDir dir;
    const QString rtfPath = dir.filePath(QStringLiteral("bench.rtf"));
    {
        QFile f(rtfPath);
        if (!f.open(QIODevice::WriteOnly) || f.write(rtf) != rtf.size())
            return false;
    }

    QTextDocument doc;
    const double load = bestOf(rounds, [&] { DocumentIO::loadFile(rtfPath, &doc); });
    const qsizetype chars = doc.characterCount();
    QByteArray written;
    const double write = bestOf(rounds, [&] { written = DocumentIO::toBytes(doc, DocumentFormat::RichText); });
    const QString outPath = dir.filePath(QStringLiteral("out.rtf"));
    const double save = bestOf(rounds, [&] { DocumentIO::saveFile(outPath, doc, DocumentFormat::RichText); });
    QTextDocument again;
    const double reload = bestOf(rounds, [&] { DocumentIO::loadBytes(written, &again); });

    const QByteArray text = DocumentIO::toBytes(doc, DocumentFormat::PlainText);
    const QString txtPath = dir.filePath(QStringLiteral("bench.txt"));
    DocumentIO::saveText(txtPath, QString::fromUtf8(text));
    QTextDocument plain;
    const double loadText = bestOf(rounds, [&] { DocumentIO::loadFile(txtPath, &plain); });

    std::printf("%s RTF file: %.2f MB, %lld characters, %d paragraphs (best of %d)\n", qPrintable(name), rtf.size() / 1048576.0,
                static_cast<long long>(chars), doc.blockCount(), rounds);
    std::printf("load RTF file          %7.3f s  (goal < 0.5 s)\n", load);
    std::printf("save RTF file          %7.3f s  (goal < 0.5 s)  %.2f MB written\n", save, written.size() / 1048576.0);
    std::printf("  of which writing RTF %7.3f s\n", write);
    std::printf("load own RTF back      %7.3f s  (%s)\n", reload,
                again.toPlainText() == doc.toPlainText() ? "same text" : "TEXT DIFFERS");
    std::printf("load text file         %7.3f s  (%.2f MB)\n", loadText, text.size() / 1048576.0);
    return again.toPlainText() == doc.toPlainText();
}

int writeFile(const QString &path, double megabytes, const QByteArray &kind)
{
    const qsizetype size = static_cast<qsizetype>(megabytes * 1024 * 1024);
    const QByteArray rtf = kind == "dense" ? makeDense(size) : makeWordShaped(size);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(rtf) != rtf.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}

int loadOnce(const QString &path)
{
    QTextDocument doc;
    const DocumentLoadResult r = DocumentIO::loadFile(path, &doc);
    if (!r.ok || r.format != DocumentFormat::RichText) {
        std::fprintf(stderr, "cannot load %s as RTF\n", qPrintable(path));
        return 1;
    }
    std::printf("%d characters\n", doc.characterCount());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv); // no display needed: nothing is laid out or shown
    const QByteArray mode = argc > 2 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "write")
        return writeFile(QString::fromLocal8Bit(argv[2]), argc > 3 ? std::max(0.1, QByteArray(argv[3]).toDouble()) : 5.0,
                         argc > 4 ? QByteArray(argv[4]) : QByteArray("word"));
    if (mode == "load")
        return loadOnce(QString::fromLocal8Bit(argv[2]));
    const double megabytes = argc > 1 ? std::max(0.1, QByteArray(argv[1]).toDouble()) : 5.0;
    const int rounds = argc > 2 ? std::max(1, QByteArray(argv[2]).toInt()) : 3;

    bool allSame = true;
    const qsizetype size = static_cast<qsizetype>(megabytes * 1024 * 1024);
    allSame &= run(QStringLiteral("Word-shaped"), makeWordShaped(size), rounds);
    allSame &= run(QStringLiteral("densely formatted"), makeDense(size), rounds);
    return allSame ? 0 : 1;
}
