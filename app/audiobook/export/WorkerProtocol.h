#pragma once
// WorkerProtocol: what a parallel export and its worker processes say to
// each other, one line each, UTF-8.
//
// To the worker: first the voice (a JSON object: voice settings,
// dictionaries, the pause between paragraphs), then one JSON object per
// chapter (index, title, text, the spool file to write); the end of input
// ends the worker.
// From the worker: "ready RATE" once its engine is ready (or
// "error -1 REASON"), then for each chapter "progress I SHARE" as it is
// spoken and "done I" when its spool is complete, or "error I REASON".

#include "BookExport.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace WorkerProtocol {

// Lines longer than this are not the protocol.
inline constexpr qsizetype kMaxAnswerLine = 64 * 1024;

struct Voice {
    BookVoice voice;
    int paragraphPauseMs = 800;
};
QByteArray voiceLine(const Voice &voice);
std::optional<Voice> parseVoice(const QByteArray &line);

struct Chapter {
    int index = 0;
    QString title;
    QString text;
    int words = 0;
    QString spool;
};
QByteArray chapterLine(const Chapter &chapter);
std::optional<Chapter> parseChapter(const QByteArray &line);

struct Answer {
    enum class Kind { Ready, Progress, Done, Error };
    Kind kind = Kind::Error;
    int index = -1;     // the chapter; the rate with Ready
    double share = 0.0; // with Progress, 0..1
    QString reason;     // with Error
};
QByteArray readyLine(int rate);
QByteArray progressLine(int index, double share);
QByteArray doneLine(int index);
QByteArray errorLine(int index, const QString &reason);
// Nothing when line is no answer of this protocol.
std::optional<Answer> parseAnswer(const QByteArray &line);

} // namespace WorkerProtocol
