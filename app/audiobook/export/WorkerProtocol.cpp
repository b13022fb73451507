#include "WorkerProtocol.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>

#include <climits>
#include <cmath>

namespace WorkerProtocol {

namespace {

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<QJsonObject> objectOf(const QByteArray &line)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

bool whole(const QJsonValue &value, int low, int high, int &out)
{
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    if (number != std::floor(number) || number < low || number > high)
        return false;
    out = int(number);
    return true;
}

const char *dictionariesName(BookVoice::Dictionaries dictionaries)
{
    switch (dictionaries) {
    case BookVoice::Dictionaries::Files: return "files";
    case BookVoice::Dictionaries::None: return "none";
    case BookVoice::Dictionaries::Active: break;
    }
    return "active";
}

} // namespace

QByteArray voiceLine(const Voice &voice)
{
    const VoiceSetup::Percentages &p = voice.voice.percentages;
    return compact({{QStringLiteral("voice"), p.voicePosition},
                    {QStringLiteral("pitch"), p.pitch},
                    {QStringLiteral("speed"), p.speed},
                    {QStringLiteral("volume"), p.volume},
                    {QStringLiteral("dictionaries"), QLatin1String(dictionariesName(voice.voice.dictionaries))},
                    {QStringLiteral("files"), QJsonArray::fromStringList(voice.voice.dictionaryFiles)},
                    {QStringLiteral("pause"), voice.paragraphPauseMs}});
}

std::optional<Voice> parseVoice(const QByteArray &line)
{
    const std::optional<QJsonObject> object = objectOf(line);
    if (!object)
        return std::nullopt;
    Voice voice;
    VoiceSetup::Percentages &p = voice.voice.percentages;
    if (!whole(object->value(QStringLiteral("voice")), 0, 1000, p.voicePosition)
        || !whole(object->value(QStringLiteral("pitch")), 0, 100, p.pitch)
        || !whole(object->value(QStringLiteral("speed")), 0, 100, p.speed)
        || !whole(object->value(QStringLiteral("volume")), 0, 100, p.volume)
        || !whole(object->value(QStringLiteral("pause")), 0, 3600 * 1000, voice.paragraphPauseMs))
        return std::nullopt;
    const QString dictionaries = object->value(QStringLiteral("dictionaries")).toString();
    if (dictionaries == QLatin1String("files"))
        voice.voice.dictionaries = BookVoice::Dictionaries::Files;
    else if (dictionaries == QLatin1String("none"))
        voice.voice.dictionaries = BookVoice::Dictionaries::None;
    else if (dictionaries != QLatin1String("active"))
        return std::nullopt;
    for (const QJsonValue &file : object->value(QStringLiteral("files")).toArray())
        voice.voice.dictionaryFiles.append(file.toString());
    return voice;
}

QByteArray chapterLine(const Chapter &chapter)
{
    return compact({{QStringLiteral("index"), chapter.index},
                    {QStringLiteral("title"), chapter.title},
                    {QStringLiteral("text"), chapter.text},
                    {QStringLiteral("words"), chapter.words},
                    {QStringLiteral("spool"), chapter.spool}});
}

std::optional<Chapter> parseChapter(const QByteArray &line)
{
    const std::optional<QJsonObject> object = objectOf(line);
    if (!object)
        return std::nullopt;
    Chapter chapter;
    if (!whole(object->value(QStringLiteral("index")), 0, 1 << 30, chapter.index)
        || !whole(object->value(QStringLiteral("words")), 0, INT_MAX, chapter.words)
        || !object->value(QStringLiteral("spool")).isString())
        return std::nullopt;
    chapter.title = object->value(QStringLiteral("title")).toString();
    chapter.text = object->value(QStringLiteral("text")).toString();
    chapter.spool = object->value(QStringLiteral("spool")).toString();
    if (chapter.spool.isEmpty())
        return std::nullopt;
    return chapter;
}

QByteArray readyLine(int rate)
{
    return "ready " + QByteArray::number(rate) + '\n';
}

QByteArray progressLine(int index, double share)
{
    return "progress " + QByteArray::number(index) + ' ' + QByteArray::number(share, 'f', 4) + '\n';
}

QByteArray doneLine(int index)
{
    return "done " + QByteArray::number(index) + '\n';
}

QByteArray errorLine(int index, const QString &reason)
{
    QString oneLine = reason;
    oneLine.replace(u'\n', u' ').replace(u'\r', u' ');
    return "error " + QByteArray::number(index) + ' ' + oneLine.toUtf8() + '\n';
}

std::optional<Answer> parseAnswer(const QByteArray &line)
{
    const QByteArray trimmed = line.endsWith('\n') ? line.chopped(1) : line;
    const qsizetype space = trimmed.indexOf(' ');
    if (space <= 0)
        return std::nullopt;
    const QByteArray word = trimmed.left(space);
    const QByteArray rest = trimmed.mid(space + 1);
    Answer answer;
    bool ok = false;
    if (word == "error") {
        const qsizetype cut = rest.indexOf(' ');
        answer.kind = Answer::Kind::Error;
        answer.index = rest.left(cut < 0 ? rest.size() : cut).toInt(&ok);
        answer.reason = cut < 0 ? QString() : QString::fromUtf8(rest.mid(cut + 1));
        return ok && answer.index >= -1 ? std::optional(answer) : std::nullopt;
    }
    const QList<QByteArray> fields = rest.split(' ');
    if (word == "ready" && fields.size() == 1) {
        answer.kind = Answer::Kind::Ready;
        answer.index = fields[0].toInt(&ok);
        return ok && answer.index > 0 && answer.index <= 768000 ? std::optional(answer) : std::nullopt;
    }
    if (word == "done" && fields.size() == 1) {
        answer.kind = Answer::Kind::Done;
        answer.index = fields[0].toInt(&ok);
        return ok && answer.index >= 0 ? std::optional(answer) : std::nullopt;
    }
    if (word == "progress" && fields.size() == 2) {
        answer.kind = Answer::Kind::Progress;
        answer.index = fields[0].toInt(&ok);
        bool shareOk = false;
        answer.share = fields[1].toDouble(&shareOk);
        return ok && shareOk && answer.index >= 0 && answer.share >= 0.0 && answer.share <= 1.0
            ? std::optional(answer)
            : std::nullopt;
    }
    return std::nullopt;
}

} // namespace WorkerProtocol
