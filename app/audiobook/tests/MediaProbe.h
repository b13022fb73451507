#pragma once
// What FFmpeg itself reads back from a written audiobook file: tags,
// chapters, duration, attached picture, and the decoded samples' loudness.

#include <QList>
#include <QMap>
#include <QString>

struct MediaProbe {
    bool opened = false;
    QString codec;
    double duration = 0; // seconds
    QMap<QString, QString> tags; // lower-case keys
    QStringList chapterTitles;
    QList<double> chapterStarts; // seconds
    QList<double> chapterEnds;
    bool hasPicture = false;

    static MediaProbe of(const QString &path);
    // Integrated loudness (LUFS) and true peak (dBTP) of the decoded audio.
    static std::pair<double, double> loudness(const QString &path);
};
