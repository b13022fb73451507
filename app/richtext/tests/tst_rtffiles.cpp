// Real-world RTF files: the shared corpus (with another reader's text of
// each) and our own files written by word processors, each beside the text
// it must load as.
#include "DocumentIO.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// The text as the document box shows it: capitals applied.
QString shownText(const QTextDocument &doc)
{
    QString out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b != doc.begin())
            out += u'\n';
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            out += f.charFormat().fontCapitalization() == QFont::AllUppercase ? f.text().toUpper() : f.text();
        }
    }
    return out;
}

QString withoutSpace(QString s)
{
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    return s;
}

// The Str elements of a .native file, in order, joined.
QString nativeWords(const QByteArray &native)
{
    QString out;
    // Only the blocks: the document information before them is no text.
    QString text = QString::fromUtf8(native);
    const qsizetype blocks = text.indexOf(QStringLiteral("\n  ["));
    if (blocks >= 0)
        text = text.mid(blocks);
    static const QRegularExpression str(QStringLiteral("Str \"((?:[^\"\\\\]|\\\\.)*)\""));
    auto it = str.globalMatch(text);
    while (it.hasNext()) {
        const QString raw = it.next().captured(1);
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] != u'\\') {
                out += raw[i];
                continue;
            }
            ++i;
            if (i >= raw.size())
                break;
            if (raw[i].isDigit()) {
                qsizetype j = i;
                while (j < raw.size() && raw[j].isDigit())
                    ++j;
                out += QString::fromUcs4(std::array<char32_t, 1>{char32_t(raw.mid(i, j - i).toUInt())}.data(), 1);
                i = j - 1;
            } else if (raw[i] == u'&') {
                // an empty separator after a numeric escape
            } else {
                out += raw[i];
            }
        }
    }
    return out;
}

} // namespace

class TestRtfFiles : public QObject
{
    Q_OBJECT

private slots:
    void corpus_data();
    void corpus();
    void ownFiles_data();
    void ownFiles();
};

void TestRtfFiles::corpus_data()
{
    QTest::addColumn<QString>("rtfPath");
    const QDir dir(QStringLiteral(QUENORA_CORPUS_DIR "/rtf"));
    if (!dir.exists())
        QSKIP("The shared RTF corpus (" QUENORA_CORPUS_DIR "/rtf) is not there");
    const QStringList files = dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QString &f : files)
        QTest::newRow(qPrintable(f)) << dir.filePath(f);
}

// The text comes out complete and in order, with nothing else: no control
// words, no font names, no hidden text (all of which would show up as extra
// characters).
void TestRtfFiles::corpus()
{
    QFETCH(QString, rtfPath);
    QString nativePath = rtfPath;
    nativePath.replace(QRegularExpression(QStringLiteral("\\.rtf$")), QStringLiteral(".native"));
    const QByteArray native = readAll(nativePath);
    QVERIFY2(!native.isEmpty(), qPrintable(nativePath));

    QTextDocument doc;
    const DocumentLoadResult r = DocumentIO::loadFile(rtfPath, &doc);
    QVERIFY(r.ok);
    QCOMPARE(r.format, DocumentFormat::RichText);
    QCOMPARE(withoutSpace(shownText(doc)), withoutSpace(nativeWords(native)));
}

void TestRtfFiles::ownFiles_data()
{
    QTest::addColumn<QString>("rtfPath");
    const QDir dir(QStringLiteral(RICHTEXT_TEST_DATA));
    const QStringList files = dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QString &f : files)
        QTest::newRow(qPrintable(f)) << dir.filePath(f);
}

// Each of our files has the exact text it loads as beside it (.txt, UTF-8).
void TestRtfFiles::ownFiles()
{
    QFETCH(QString, rtfPath);
    QString txtPath = rtfPath;
    txtPath.replace(QRegularExpression(QStringLiteral("\\.rtf$")), QStringLiteral(".txt"));
    QVERIFY2(QFile::exists(txtPath), qPrintable(txtPath));
    const QString expected = QString::fromUtf8(readAll(txtPath));

    const DocumentText t = DocumentIO::readText(rtfPath);
    QVERIFY(t.ok);
    QCOMPARE(t.format, DocumentFormat::RichText);
    QCOMPARE(t.text, expected);
}

QTEST_MAIN(TestRtfFiles)
#include "tst_rtffiles.moc"
