#include "Subtitles.h"

#include "SafeFileName.h"

#include <algorithm>

namespace Subtitles {

namespace {

bool endsClause(const QString &word)
{
    if (word.isEmpty())
        return false;
    const QChar c = word.back();
    return c == u',' || c == u';' || c == u':' || c == u')' || c == u'–' || c == u'—';
}

QString timestamp(qint64 frames, int rate, QChar fractionSeparator)
{
    const qint64 ms = frames * 1000 / std::max(1, rate);
    return QStringLiteral("%1:%2:%3%4%5")
        .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(fractionSeparator)
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

QString lrcTimestamp(qint64 frames, int rate)
{
    const qint64 cs = frames * 100 / std::max(1, rate);
    return QStringLiteral("[%1:%2.%3]")
        .arg(cs / 6000, 2, 10, QLatin1Char('0'))
        .arg(cs / 100 % 60, 2, 10, QLatin1Char('0'))
        .arg(cs % 100, 2, 10, QLatin1Char('0'));
}

// Text of a cue line that no format reads as markup or a time line.
QString cueText(const QString &line, SubtitleFormat format)
{
    QString text = line;
    text.replace(QStringLiteral("-->"), QStringLiteral("->"));
    if (format == SubtitleFormat::WebVtt) {
        text.replace(u'&', QStringLiteral("&amp;"));
        text.replace(u'<', QStringLiteral("&lt;"));
        text.replace(u'>', QStringLiteral("&gt;"));
    }
    return text;
}

} // namespace

QList<std::pair<int, QString>> wrap(const QString &text, int lineLength)
{
    QList<std::pair<int, QString>> lines;
    QString line;
    int lineStart = 0;
    auto close = [&]() {
        if (!line.isEmpty())
            lines.append({lineStart, line});
        line.clear();
    };
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.at(i).isSpace() || text.at(i).category() == QChar::Other_Control) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && !text.at(end).isSpace() && text.at(end).category() != QChar::Other_Control)
            ++end;
        QString word = text.mid(i, end - i);
        int wordStart = int(i);
        // A word longer than a line is cut into lines of its own.
        while (word.size() > lineLength) {
            close();
            lines.append({wordStart, word.left(lineLength)});
            word.remove(0, lineLength);
            wordStart += lineLength;
        }
        if (!line.isEmpty() && line.size() + 1 + word.size() > lineLength)
            close();
        if (line.isEmpty()) {
            lineStart = wordStart;
            line = word;
        } else {
            line += u' ' + word;
        }
        // A clause ends: the line ends with it once it is half full.
        if (endsClause(word) && line.size() >= lineLength / 2)
            close();
        i = end;
    }
    close();
    return lines;
}

QList<Cue> cuesFor(const SentenceMark &sentence, qint64 end)
{
    const QList<std::pair<int, QString>> lines = wrap(sentence.text);
    QList<Cue> cues;
    end = std::max(end, sentence.start);
    const qint64 length = std::max<qint64>(1, sentence.text.size());
    for (qsizetype i = 0; i < lines.size(); i += 2) {
        Cue cue;
        const int position = lines[i].first;
        if (i == 0) {
            cue.start = sentence.start;
        } else {
            // The engine's frame of this cue's first word, else a share.
            cue.start = sentence.start + (end - sentence.start) * position / length;
            for (const auto &[wordPosition, frame] : sentence.words) {
                if (wordPosition == position)
                    cue.start = std::clamp(frame, sentence.start, end);
            }
        }
        cue.lines.append(lines[i].second);
        if (i + 1 < lines.size())
            cue.lines.append(lines[i + 1].second);
        if (!cues.isEmpty())
            cues.back().end = cue.start;
        cues.append(cue);
    }
    if (!cues.isEmpty())
        cues.back().end = end;
    return cues;
}

QByteArray render(SubtitleFormat format, const QList<Cue> &cues, int rate, const FileTags &tags)
{
    QString out;
    switch (format) {
    case SubtitleFormat::None:
        return {};
    case SubtitleFormat::Srt:
        for (qsizetype i = 0; i < cues.size(); ++i) {
            out += QString::number(i + 1) + u'\n';
            out += timestamp(cues[i].start, rate, u',') + QStringLiteral(" --> ") + timestamp(cues[i].end, rate, u',')
                + u'\n';
            for (const QString &line : cues[i].lines)
                out += cueText(line, format) + u'\n';
            out += u'\n';
        }
        break;
    case SubtitleFormat::WebVtt:
        out += QStringLiteral("WEBVTT\n\n");
        for (const Cue &cue : cues) {
            out += timestamp(cue.start, rate, u'.') + QStringLiteral(" --> ") + timestamp(cue.end, rate, u'.') + u'\n';
            for (const QString &line : cue.lines)
                out += cueText(line, format) + u'\n';
            out += u'\n';
        }
        break;
    case SubtitleFormat::Lrc:
        if (!tags.title.isEmpty())
            out += QStringLiteral("[ti:%1]\n").arg(SafeFileName::oneLine(tags.title));
        if (!tags.artist.isEmpty())
            out += QStringLiteral("[ar:%1]\n").arg(SafeFileName::oneLine(tags.artist));
        if (!tags.album.isEmpty())
            out += QStringLiteral("[al:%1]\n").arg(SafeFileName::oneLine(tags.album));
        for (const Cue &cue : cues)
            out += lrcTimestamp(cue.start, rate) + cue.lines.join(u' ') + u'\n';
        break;
    }
    return out.toUtf8();
}

} // namespace Subtitles
