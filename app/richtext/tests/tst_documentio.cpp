// Loading and saving documents: format detection, plain text in every
// encoding and line-end style, file errors, and saving through ReplacingFile.
#include "DocumentIO.h"
#include "DocumentMetadata.h"
#include "LongLines.h"
#include "WholeFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <csignal>

#include <unistd.h>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The CRC-32 a PNG chunk ends with, over its type and data, big-endian.
QByteArray pngChunkCrc(const QByteArray &typeAndData)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : typeAndData) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc ^= 0xFFFFFFFFu;
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = char(crc >> (24 - 8 * i));
    return out;
}

QByteArray picture(const char *format, QSize size = QSize(8, 6))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

} // namespace

class TestDocumentIO : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void detectFormat_data();
    void detectFormat();
    void plainText_data();
    void plainText();
    void binaryFile();
    void loadReplacesDocument();
    void loadErrors_data();
    void loadErrors();
    void pipeDoesNotHang();
    void formatForSaving_data();
    void formatForSaving();
    void saveAndLoad_data();
    void saveAndLoad();
    void saveReplacesWholeFile();
    void saveErrors_data();
    void saveErrors();
    void fullDiskKeepsTheOldFile();
    void readOnlyFileIsNotReplaced();
    void saveIntoAFolderWithoutPermission();
    void readText();
    void longLinesOpenAsShortBlocks_data();
    void longLinesOpenAsShortBlocks();
    void typedBreakInALongLineIsKept();
    void metadataCleaned_data();
    void metadataCleaned();
    void metadataStaysWithTheDocument();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDocumentIO::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestDocumentIO::detectFormat_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<DocumentFormat>("format");
    QTest::newRow("rtf") << QByteArray("{\\rtf1\\ansi x}") << DocumentFormat::RichText;
    QTest::newRow("rtf without version") << QByteArray("{\\rtf x}") << DocumentFormat::RichText;
    QTest::newRow("rtf after UTF-8 mark") << QByteArray("\xEF\xBB\xBF{\\rtf1 x}") << DocumentFormat::RichText;
    QTest::newRow("space before") << QByteArray(" {\\rtf1 x}") << DocumentFormat::PlainText;
    QTest::newRow("upper case") << QByteArray("{\\RTF1 x}") << DocumentFormat::PlainText;
    QTest::newRow("too short") << QByteArray("{\\rt") << DocumentFormat::PlainText;
    QTest::newRow("empty") << QByteArray() << DocumentFormat::PlainText;
    QTest::newRow("text") << QByteArray("Hallo") << DocumentFormat::PlainText;
}

void TestDocumentIO::detectFormat()
{
    QFETCH(QByteArray, bytes);
    QFETCH(DocumentFormat, format);
    QCOMPARE(DocumentIO::detectFormat(bytes), format);
    QTextDocument doc;
    QCOMPARE(DocumentIO::loadBytes(bytes, &doc).format, format);
}

void TestDocumentIO::plainText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("UTF-8") << QByteArray("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC") << QStringLiteral(u"Grüße €");
    QTest::newRow("Windows-1252 umlauts") << QByteArray("\xC4rger \xFC" "ber \xDF \x80 \x84" "ja\x93") << QStringLiteral(u"Ärger über ß € „ja“");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\nb\n");
    QTest::newRow("mixed line ends") << QByteArray("a\r\nb\nc\rd\r\r\ne") << QStringLiteral("a\nb\nc\nd\n\ne");
    QTest::newRow("CR at the end") << QByteArray("a\r") << QStringLiteral("a\n");
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBFHallo") << QStringLiteral("Hallo");
    QTest::newRow("UTF-16LE with mark") << QByteArray("\xFF\xFEH\0\xE4\0\r\0\n\0x\0", 12) << QStringLiteral(u"Hä\nx");
    QTest::newRow("UTF-16BE with mark") << QByteArray("\xFE\xFF\0H\0\xE4", 6) << QStringLiteral(u"Hä");
    QTest::newRow("NUL characters") << QByteArray("a\0b", 3) << QStringLiteral("ab");
    QTest::newRow("RTF-like text that is not RTF") << QByteArray("{\\b fett}") << QStringLiteral("{\\b fett}");
}

void TestDocumentIO::plainText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const QString path = m_dir->filePath(QStringLiteral("t.txt"));
    QVERIFY(writeBytes(path, bytes));
    QTextDocument doc;
    const DocumentLoadResult r = DocumentIO::loadFile(path, &doc);
    QVERIFY(r.ok);
    QCOMPARE(r.format, DocumentFormat::PlainText);
    QCOMPARE(doc.toPlainText(), text);
}

void TestDocumentIO::binaryFile()
{
    QByteArray bytes;
    for (int round = 0; round < 64; ++round) {
        for (int b = 0; b < 256; ++b)
            bytes.append(static_cast<char>((b * 37 + round) & 0xFF));
    }
    const QString path = m_dir->filePath(QStringLiteral("x.bin"));
    QVERIFY(writeBytes(path, bytes));
    QTextDocument doc;
    const DocumentLoadResult r = DocumentIO::loadFile(path, &doc);
    QVERIFY(r.ok);
    QCOMPARE(r.format, DocumentFormat::PlainText);
    QVERIFY(!doc.toPlainText().isEmpty());
    QVERIFY(!doc.toPlainText().contains(QChar(0)));
}

void TestDocumentIO::loadReplacesDocument()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("alt"));
    QTextCursor(&doc).insertText(QStringLiteral("x"));
    doc.setModified(true);
    const QString path = m_dir->filePath(QStringLiteral("neu.txt"));
    QVERIFY(writeBytes(path, "neu"));
    QVERIFY(DocumentIO::loadFile(path, &doc).ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("neu"));
    QVERIFY(!doc.isUndoAvailable());
    QVERIFY(!doc.isModified());
}

void TestDocumentIO::loadErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("errorNumber");
    QTest::addColumn<QString>("description");
    QTest::newRow("missing file") << QStringLiteral("fehlt.txt") << 53 << QStringLiteral("Datei nicht gefunden");
    QTest::newRow("missing folder") << QStringLiteral("kein/ordner.txt") << 76 << QStringLiteral("Pfad nicht gefunden");
    QTest::newRow("a folder") << QStringLiteral("ordner") << 75 << QStringLiteral("Der Pfad ist ein Ordner, keine Datei");
    QTest::newRow("larger than 512 MB") << QStringLiteral("riesig.txt") << 7
                                        << QStringLiteral("Die Datei ist größer als 512 MB und wird nicht gelesen");
}

// A file that cannot be read reports why and leaves the document alone.
void TestDocumentIO::loadErrors()
{
    QFETCH(QString, name);
    QFETCH(int, errorNumber);
    QFETCH(QString, description);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("ordner")));
    {
        // Sparse: no disk space is taken for its size.
        QFile huge(m_dir->filePath(QStringLiteral("riesig.txt")));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(DocumentIO::kMaxFileSize + 1));
    }
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("bleibt"));
    const DocumentLoadResult r = DocumentIO::loadFile(m_dir->filePath(name), &doc);
    QVERIFY(!r.ok);
    QCOMPARE(r.errorNumber, errorNumber);
    QCOMPARE(r.errorDescription, description);
    QCOMPARE(doc.toPlainText(), QStringLiteral("bleibt"));
}

void TestDocumentIO::pipeDoesNotHang()
{
    const QString path = m_dir->filePath(QStringLiteral("fifo"));
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QTextDocument doc;
    const DocumentLoadResult r = DocumentIO::loadFile(path, &doc);
    QVERIFY(!r.ok);
    QCOMPARE(r.errorNumber, 75);
    QCOMPARE(r.errorDescription, QStringLiteral("Der Pfad ist eine benannte Pipe (FIFO), keine gewöhnliche Datei"));
    // Asking whether it is there (the start-up file, Laden) does not open it.
    QVERIFY(WholeFile::FileExists(path));
    QCOMPARE(WholeFile::ReadWholeFile(path), QString());
    QCOMPARE(WholeFile::NotAFileReason(path), r.errorDescription);
    QCOMPARE(WholeFile::NotAFileReason(m_dir->path()), QStringLiteral("Der Pfad ist ein Ordner, keine Datei"));
}

void TestDocumentIO::formatForSaving_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<DocumentFormat>("format");
    QTest::newRow(".txt") << QStringLiteral("/tmp/a.txt") << DocumentFormat::PlainText;
    QTest::newRow(".TXT is not .txt") << QStringLiteral("/tmp/a.TXT") << DocumentFormat::RichText;
    QTest::newRow(".rtf") << QStringLiteral("/tmp/a.rtf") << DocumentFormat::RichText;
    QTest::newRow("no extension") << QStringLiteral("/tmp/a") << DocumentFormat::RichText;
    QTest::newRow(".txt inside the name") << QStringLiteral("/tmp/a.txt.bak") << DocumentFormat::RichText;
}

void TestDocumentIO::formatForSaving()
{
    QFETCH(QString, path);
    QFETCH(DocumentFormat, format);
    QCOMPARE(DocumentIO::formatForSaving(path), format);
}

void TestDocumentIO::saveAndLoad_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<DocumentFormat>("format");
    QTest::addColumn<QByteArray>("startsWith");
    QTest::newRow("rtf") << QStringLiteral("d.rtf") << DocumentFormat::RichText << QByteArray("{\\rtf1\\ansi\\ansicpg1252");
    QTest::newRow("text is UTF-8") << QStringLiteral("d.txt") << DocumentFormat::PlainText << QByteArray("Gr\xC3\xBC\xC3\x9F" "e\n\tzwei");
}

void TestDocumentIO::saveAndLoad()
{
    QFETCH(QString, name);
    QFETCH(DocumentFormat, format);
    QFETCH(QByteArray, startsWith);
    QTextDocument doc;
    doc.setPlainText(QStringLiteral(u"Grüße\n\tzwei α"));
    const QString path = m_dir->filePath(name);
    const DocumentSaveResult s = DocumentIO::saveFile(path, doc, format);
    QVERIFY(s.ok);
    QCOMPARE(s.errorNumber, 0);
    QVERIFY2(readBytes(path).startsWith(startsWith), readBytes(path).constData());
    QTextDocument back;
    const DocumentLoadResult r = DocumentIO::loadFile(path, &back);
    QVERIFY(r.ok);
    QCOMPARE(r.format, format);
    QCOMPARE(back.toPlainText(), doc.toPlainText());
}

void TestDocumentIO::saveReplacesWholeFile()
{
    const QString path = m_dir->filePath(QStringLiteral("d.txt"));
    QVERIFY(writeBytes(path, QByteArray(10000, 'x')));
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("kurz"));
    QVERIFY(DocumentIO::saveFile(path, doc, DocumentFormat::PlainText).ok);
    QCOMPARE(readBytes(path), QByteArray("kurz"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("d.txt")});
    QVERIFY(DocumentIO::saveText(path, QStringLiteral(u"noch kürzer")).ok);
    QCOMPARE(readBytes(path), QByteArray("noch k\xC3\xBCrzer"));
}

void TestDocumentIO::saveErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("errorNumber");
    QTest::addColumn<QString>("description");
    QTest::newRow("missing folder") << QStringLiteral("kein/d.rtf") << 76 << QStringLiteral("Pfad nicht gefunden");
    QTest::newRow("a folder") << QStringLiteral("ordner") << 75 << QStringLiteral("Der Pfad ist ein Ordner, keine Datei");
    QTest::newRow("no name") << QString() << 75 << QStringLiteral("Fehler beim Zugriff auf Pfad/Datei");
    // Special files keep what they are: saving never makes them regular.
    QTest::newRow("a pipe") << QStringLiteral("pipe") << 75
                            << QStringLiteral("Der Pfad ist eine benannte Pipe (FIFO), keine gewöhnliche Datei");
    QTest::newRow("a link to a device") << QStringLiteral("null") << 75
                                        << QStringLiteral("Der Pfad ist ein Gerät, keine gewöhnliche Datei");
    QTest::newRow("a NUL in the name") << QStringLiteral("notiz.txt") + QChar(0) + QStringLiteral(".vts") << 75
                                       << QStringLiteral("Der Pfad enthält ein Nullzeichen");
}

void TestDocumentIO::saveErrors()
{
    QFETCH(QString, name);
    QFETCH(int, errorNumber);
    QFETCH(QString, description);
    const QDir dir(m_dir->path());
    QVERIFY(dir.mkdir(QStringLiteral("ordner")));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600), 0);
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), dir.filePath(QStringLiteral("null"))));
    const QStringList before = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("x"));
    const DocumentSaveResult s = DocumentIO::saveFile(name.isEmpty() ? QString() : m_dir->filePath(name), doc,
                                                      DocumentFormat::RichText);
    QVERIFY(!s.ok);
    QCOMPARE(s.errorNumber, errorNumber);
    QCOMPARE(s.errorDescription, description);
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("ordner"))).isDir());
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("null"))).isSymLink());
    struct stat pipe {};
    QCOMPARE(::lstat(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), &pipe), 0);
    QVERIFY(S_ISFIFO(pipe.st_mode));
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot), before);
}

// A disk that fills while saving is told as such, and the old file stays.
// A file size limit makes the write fail as a full disk does.
void TestDocumentIO::fullDiskKeepsTheOldFile()
{
    const QString path = m_dir->filePath(QStringLiteral("brief.txt"));
    QVERIFY(writeBytes(path, "alt"));
    struct rlimit old {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const DocumentSaveResult s = DocumentIO::saveText(path, QString(100000, QLatin1Char('x')));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    QVERIFY(!s.ok);
    QCOMPARE(s.errorNumber, 61);
    QCOMPARE(s.errorDescription, QStringLiteral("Datenträger voll"));
    QCOMPARE(readBytes(path), QByteArray("alt"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("brief.txt")});
}

// A read-only file is refused for want of permission, and stays.
void TestDocumentIO::readOnlyFileIsNotReplaced()
{
    if (::geteuid() == 0)
        QSKIP("root darf auch schreibgeschützte Dateien schreiben.");
    const QString path = m_dir->filePath(QStringLiteral("fest.txt"));
    QVERIFY(writeBytes(path, "alt"));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
    const DocumentSaveResult s = DocumentIO::saveText(path, QStringLiteral("neu"));
    QVERIFY(!s.ok);
    QCOMPARE(s.errorNumber, 70);
    QCOMPARE(s.errorDescription, QStringLiteral("Zugriff verweigert"));
    QCOMPARE(readBytes(path), QByteArray("alt"));
}

// The message must name the missing permission, not a general access fault.
void TestDocumentIO::saveIntoAFolderWithoutPermission()
{
    QString folder = m_dir->filePath(QStringLiteral("schreibgeschützt"));
    if (::geteuid() == 0) {
        // root may write any folder; sysfs refuses new files even to root.
        folder = QStringLiteral("/sys");
        if (!QFileInfo(folder).isDir())
            QSKIP("Ohne /sys gibt es für root keinen Ordner ohne Schreibrecht.");
    } else {
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("x"));
    const DocumentSaveResult s = DocumentIO::saveFile(folder + QStringLiteral("/brief.rtf"), doc,
                                                      DocumentFormat::RichText);
    QVERIFY(!s.ok);
    QCOMPARE(s.errorNumber, 70);
    QCOMPARE(s.errorDescription, QStringLiteral("Zugriff verweigert"));
    QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/brief.rtf")));
}

// The text quenora-speak speaks: exactly what the document box loads.
void TestDocumentIO::readText()
{
    const QString rtf = m_dir->filePath(QStringLiteral("d.rtf"));
    QVERIFY(writeBytes(rtf, R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\info{\title T}}\f0 Gr\'fc\'df{\v versteckt}\par Gott\par})"));
    const DocumentText t = DocumentIO::readText(rtf);
    QVERIFY(t.ok);
    QCOMPARE(t.format, DocumentFormat::RichText);
    QCOMPARE(t.text, QStringLiteral(u"Grüß\nGott"));
    QVERIFY(t.errorMessage.isEmpty());

    const QString missing = m_dir->filePath(QStringLiteral("fehlt.rtf"));
    const DocumentText e = DocumentIO::readText(missing);
    QVERIFY(!e.ok);
    QCOMPARE(e.errorNumber, 53);
    QCOMPARE(e.errorMessage,
             QStringLiteral(u"Die Datei „%1“ konnte nicht geladen werden: Datei nicht gefunden.").arg(missing));
}

// A line far longer than a screen is held as blocks no longer than the
// limit (Qt lays out a block as a whole: one long line never showed), and
// saving as text or RTF gives the line back as it was.
void TestDocumentIO::longLinesOpenAsShortBlocks_data()
{
    const qsizetype limit = LongLines::kMaxBlockLength;
    QTest::addColumn<QByteArray>("file");
    QByteArray words;
    while (words.size() < 3 * limit + 77)
        words += "Wort ";
    QTest::newRow("words on one line") << words;
    QTest::newRow("no blank at all") << QByteArray(3 * limit + 5, 'x');
    QTest::newRow("blanks only far apart")
        << QByteArray(limit / 4, 'a') + ' ' + QByteArray(limit, 'b') + ' ' + QByteArray(limit, 'c');
    QTest::newRow("between short lines, umlauts")
        << "kurz\n" + QString(QStringLiteral("Grüße ")).repeated(limit / 2).toUtf8() + "\nEnde\n";
    QTest::newRow("surrogate pairs across the limit")
        << "a" + QString(QStringLiteral("\U0001F600")).repeated(limit).toUtf8();
}

void TestDocumentIO::longLinesOpenAsShortBlocks()
{
    QFETCH(QByteArray, file);
    QTextDocument doc;
    QVERIFY(DocumentIO::loadBytes(file, &doc).ok);
    QVERIFY(doc.blockCount() > 2);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QVERIFY2(b.length() - 1 <= LongLines::kMaxBlockLength, qPrintable(QString::number(b.length())));
        QVERIFY(b.text().isEmpty() || !b.text().front().isLowSurrogate());
    }
    QCOMPARE(DocumentIO::toBytes(doc, DocumentFormat::PlainText), file);
    QTextDocument again;
    QVERIFY(DocumentIO::loadBytes(DocumentIO::toBytes(doc, DocumentFormat::RichText), &again).ok);
    const auto withoutFinalBreaks = [](QString text) {
        while (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
        return text;
    };
    QCOMPARE(withoutFinalBreaks(LongLines::fileText(again)), withoutFinalBreaks(QString::fromUtf8(file)));
}

// Enter typed inside a long line is a line end of the text: it is saved.
void TestDocumentIO::typedBreakInALongLineIsKept()
{
    QByteArray file;
    while (file.size() < 2 * LongLines::kMaxBlockLength)
        file += "Wort ";
    QTextDocument doc;
    QVERIFY(DocumentIO::loadBytes(file, &doc).ok);
    const QTextBlock second = doc.begin().next();
    QVERIFY(LongLines::continuesLine(second));
    QTextCursor cursor(doc.begin().next());
    cursor.movePosition(QTextCursor::NextWord);
    cursor.insertBlock();
    const QByteArray expected = file.left(cursor.position() - 1) + '\n' + file.mid(cursor.position() - 1);
    QCOMPARE(DocumentIO::toBytes(doc, DocumentFormat::PlainText), expected);
}

// Whatever a document claims about itself is made one clean line, a year
// of four digits, and a cover only when it is a real JPEG or PNG picture.
void TestDocumentIO::metadataCleaned_data()
{
    using Type = DocumentMetadata::CoverType;
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QByteArray>("cover");
    QTest::addColumn<QString>("cleanTitle");
    QTest::addColumn<QString>("year");
    QTest::addColumn<int>("coverType");
    const QByteArray png = picture("PNG");
    const QString word = QStringLiteral("Wort ");
    QTest::newRow("plain") << "Der Fluss" << "2019-04-23" << picture("JPEG") << "Der Fluss" << "2019"
                           << int(Type::Jpeg);
    QTest::newRow("controls and breaks") << QString("Zeile\x01 eins\n\tzwei\u202E\u0007") << "D:20210304"
                                         << png << "Zeile eins zwei" << "" << int(Type::Png);
    QTest::newRow("10 000 characters") << word.repeated(2000) << "4. März 1999" << QByteArray()
                                       << word.repeated(50).trimmed() + QChar(0x2026) << "1999" << int(Type::None);
    QTest::newRow("lone surrogate") << QStringLiteral(u"A") + QChar(0xD800) + QStringLiteral(u"B\U0001F30A") << "99999-01-01" << QByteArray() << "AB\U0001F30A"
                                    << "" << int(Type::None);
    QTest::newRow("year zero") << "T" << "0000-01-01" << QByteArray("\xFF\xD8\xFF\xE0kein Bild") << "T" << ""
                               << int(Type::None);
    QTest::newRow("picture too large") << "T" << "1.1.3000, 2005" << png + QByteArray(DocumentMetadata::kMaxCoverBytes, 'x')
                                       << "T" << "2005" << int(Type::None);
    QTest::newRow("not jpeg or png") << "" << "" << picture("BMP") << "" << "" << int(Type::None);
    QTest::newRow("png cut off") << "" << "" << png.left(png.size() / 2) << "" << "" << int(Type::None);
    QByteArray huge = picture("PNG", QSize(1, 1));
    // The header claims 60 000 × 60 000 pixels: far more than a cover may take.
    huge.replace(16, 8, QByteArray::fromHex("0000ea600000ea60"));
    huge.replace(29, 4, pngChunkCrc(huge.mid(12, 17)));
    QTest::newRow("claims a huge picture") << "" << "" << huge << "" << "" << int(Type::None);
}

void TestDocumentIO::metadataCleaned()
{
    QFETCH(QString, title);
    QFETCH(QString, date);
    QFETCH(QByteArray, cover);
    QFETCH(QString, cleanTitle);
    QFETCH(QString, year);
    QFETCH(int, coverType);
    const DocumentMetadata m = DocumentMetadata::cleaned(title, QStringLiteral(" Ada\r\nLovelace "), date, cover);
    QCOMPARE(m.title, cleanTitle);
    QCOMPARE(m.author, QStringLiteral("Ada Lovelace"));
    QCOMPARE(m.year, year);
    QCOMPARE(int(m.coverType), coverType);
    QCOMPARE(m.cover, coverType == int(DocumentMetadata::CoverType::None) ? QByteArray() : cover);
}

// Loading sets what the document says about itself, editing keeps it, a new
// document and a plain text clear it, and saving as RTF keeps all but the
// cover.
void TestDocumentIO::metadataStaysWithTheDocument()
{
    const QByteArray rtf = "{\\rtf1\\ansi{\\info{\\title Gr\\'fc\\'dfe aus \\u8364?}{\\author Ada}"
                           "{\\creatim\\yr2003\\mo4\\dy1}{\\operator Bob}}"
                           "{\\pict\\pngblip{\\*\\title Bildtitel}00}Text\\par}";
    QTextDocument doc;
    QVERIFY(DocumentIO::loadBytes(rtf, &doc).ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("Text"));
    QVERIFY(!doc.isModified());
    DocumentMetadata m = DocumentMetadata::of(doc);
    QCOMPARE(m.title, QStringLiteral("Grüße aus €"));
    QCOMPARE(m.author, QStringLiteral("Ada"));
    QCOMPARE(m.year, QStringLiteral("2003"));

    m.cover = picture("PNG");
    m.coverType = DocumentMetadata::CoverType::Png;
    m.store(&doc);
    QTextCursor(&doc).insertText(QStringLiteral("Mehr "));
    QCOMPARE(DocumentMetadata::of(doc), m);

    const QString path = m_dir->filePath(QStringLiteral("buch.rtf"));
    QVERIFY(DocumentIO::saveFile(path, doc, DocumentFormat::RichText).ok);
    QTextDocument back;
    QVERIFY(DocumentIO::loadFile(path, &back).ok);
    QCOMPARE(back.toPlainText(), QStringLiteral("Mehr Text"));
    DocumentMetadata saved = m;
    saved.cover.clear();
    saved.coverType = DocumentMetadata::CoverType::None;
    QCOMPARE(DocumentMetadata::of(back), saved);

    QVERIFY(DocumentIO::loadBytes("nur Text", &back).ok);
    QVERIFY(DocumentMetadata::of(back).isEmpty());
    doc.clear();
    QVERIFY(DocumentMetadata::of(doc).isEmpty());
}

QTEST_MAIN(TestDocumentIO)
#include "tst_documentio.moc"
