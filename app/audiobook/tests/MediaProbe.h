#pragma once
// What FFmpeg itself reads back from a written audiobook file: tags,
// chapters, duration, attached picture, and the decoded samples' loudness.

#include <QList>
#include <QMap>
#include <QString>

#include <vector>

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
    // The decoded audio, mixed to mono, at the file's own rate.
    static std::vector<float> samples(const QString &path, int *rate = nullptr);
};
