#include "PronunciationFile.h"

#include "FileErrors.h"
#include "PronunciationTexts.h"
#include "ReplacingFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Applies one options field; false with the reason for an unknown letter.
bool readFlags(const QString &field, PronunciationEntry *entry, QString *reason)
{
    entry->wholeWord = false;
    for (const QChar c : field) {
        switch (c.unicode()) {
        case 'w': entry->wholeWord = true; break;
        case 'c': entry->caseSensitive = true; break;
        case 'r': entry->regex = true; break;
        case '-': break;
        default:
            *reason = PronunciationTexts::unknownFlag(c);
            return false;
        }
    }
    return true;
}

} // namespace

PronunciationFile PronunciationFile::parse(const QByteArray &bytes, const QString &origin)
{
    PronunciationFile file;
    QByteArrayView rest(bytes);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    int lineNumber = 0;
    while (!rest.isEmpty() || lineNumber == 0) {
        ++lineNumber;
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView raw = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (raw.endsWith('\r'))
            raw.chop(1);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = decoder(raw);
        if (decoder.hasError()) {
            file.brokenLines.append(PronunciationTexts::lineProblem(lineNumber, PronunciationTexts::NotUtf8));
            file.otherLines.append(QStringLiteral("# ") + QString::fromLatin1(raw.toByteArray().toPercentEncoding(" \t")));
            continue;
        }
        if (line.trimmed().isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('#'))) {
            file.otherLines.append(line);
            continue;
        }
        const QStringList fields = line.split(QLatin1Char('\t'));
        QString reason;
        PronunciationEntry entry;
        if (fields.size() < 2)
            reason = PronunciationTexts::NoTab;
        else if (fields.size() > 3)
            reason = PronunciationTexts::TooManyFields;
        else if (fields.at(0).trimmed().isEmpty())
            reason = PronunciationTexts::EmptyWritten;
        else if (fields.size() == 3 && !fields.at(2).trimmed().isEmpty())
            readFlags(fields.at(2).trimmed(), &entry, &reason);
        if (!reason.isEmpty()) {
            file.brokenLines.append(PronunciationTexts::lineProblem(lineNumber, reason));
            file.otherLines.append(QStringLiteral("# ") + line);
            continue;
        }
        entry.written = fields.at(0).trimmed();
        entry.spoken = fields.at(1).trimmed();
        entry.origin = origin;
        entry.line = lineNumber;
        file.entries.append(entry);
        if (end < 0)
            break;
    }
    return file;
}

PronunciationFile PronunciationFile::load(const QString &path)
{
    PronunciationFile file;
    const QString name = QFileInfo(path).fileName();
    auto refuse = [&](const QString &reason) {
        file.error = PronunciationTexts::cannotRead(path, reason);
        return file;
    };
    if (path.contains(QChar(0)))
        return refuse(FileErrors::pathWithNul());
    // Without waiting: opening a FIFO for reading would wait for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return refuse(error == ENOENT ? FileErrors::description(FileErrors::kFileNotFound)
                      : error == EACCES ? FileErrors::description(FileErrors::kPermissionDenied)
                                        : QString::fromLocal8Bit(::strerror(error)));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const mode_t mode = st.st_mode;
        ::close(fd);
        return refuse(mode != 0 ? FileErrors::notRegularFile(mode) : PronunciationTexts::Unreadable);
    }
    if (st.st_size > MaxBytes) {
        ::close(fd);
        return refuse(PronunciationTexts::tooLarge(int(MaxBytes >> 20)));
    }
    QFile qfile;
    if (!qfile.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(PronunciationTexts::Unreadable);
    }
    // A file that grew since the question is read only up to the limit.
    const QByteArray bytes = qfile.read(MaxBytes + 1);
    if (qfile.error() != QFileDevice::NoError)
        return refuse(PronunciationTexts::Unreadable);
    if (bytes.size() > MaxBytes)
        return refuse(PronunciationTexts::tooLarge(int(MaxBytes >> 20)));
    return parse(bytes, name);
}

QByteArray PronunciationFile::format(const QList<PronunciationEntry> &entries, const QStringList &otherLines)
{
    QByteArray out;
    for (const QString &line : otherLines)
        out += line.toUtf8() + '\n';
    for (const PronunciationEntry &e : entries) {
        out += e.written.toUtf8();
        out += '\t';
        out += e.spoken.toUtf8();
        if (!e.wholeWord || e.caseSensitive || e.regex) {
            QByteArray flags;
            if (e.wholeWord)
                flags += 'w';
            if (e.caseSensitive)
                flags += 'c';
            if (e.regex)
                flags += 'r';
            out += '\t';
            out += flags.isEmpty() ? QByteArray("-") : flags;
        }
        out += '\n';
    }
    return out;
}

bool PronunciationFile::save(const QString &path, const QList<PronunciationEntry> &entries, QString *error,
                             const QStringList &otherLines)
{
    ReplacingFile file(path);
    if (!file.open() || !file.write(format(entries, otherLines)) || !file.commit()) {
        if (error)
            *error = file.errorDescription();
        return false;
    }
    return true;
}
