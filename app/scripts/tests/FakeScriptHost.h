#pragma once
// FakeScriptHost: a ScriptHost that records what the commands did to the
// "window". speakText can be given a hook, so a test can act while a
// statement speaks (press "ESC" by clearing the flag, for example).

#include "ScriptHost.h"

#include <functional>

struct FakeScriptHost : ScriptHost {
    bool running = false;
    QString document;
    QString selection;
    QString status;
    QStringList statusHistory;
    QStringList loaded;
    QString runningScript;        // the sign that a script runs
    QStringList runningHistory;   // every change of it
    bool loadResult = true;
    struct Speech {
        QString text;
        bool wait;
        QString target;
        bool filters;
    };
    QList<Speech> spoken;
    std::function<void()> whileSpeaking;
    // What speakText answers: why nothing was spoken, empty when it was.
    QString speakFailure;
    int pauses = 0;
    int speakerStops = 0;
    QStringList recorderOutputs;
    QStringList voices{QStringLiteral("Deutsch (männlich)"), QStringLiteral("Deutsch (weiblich)"),
                       QStringLiteral("English (male)"), QStringLiteral("English (female)")};
    int programEnds = 0;

    bool scriptRunning() const override { return running; }
    void setScriptRunning(bool r) override { running = r; }
    QString documentText() const override { return document; }
    void setDocumentText(const QString &text) override { document = text; }
    QString selectedText() const override { return selection; }
    bool loadDocument(const QString &path, QString *why) override
    {
        loaded << path;
        if (!loadResult)
            *why = loadFailure;
        return loadResult;
    }
    QString loadFailure;
    std::function<void(const QString &)> statusHook;
    void showStatus(const QString &text) override
    {
        status = text;
        statusHistory << text;
        if (statusHook)
            statusHook(text);
    }
    void showRunningScript(const QString &name) override
    {
        runningScript = name;
        runningHistory << name;
    }
    QString speakText(const QString &text, bool wait, const QString &target, bool filters) override
    {
        spoken.append({text, wait, target, filters});
        if (whileSpeaking)
            whileSpeaking();
        return speakFailure;
    }
    void togglePause() override { ++pauses; }
    void stopSpeaker() override { ++speakerStops; }
    void setRecorderOutput(const QString &path) override { recorderOutputs << path; }
    QStringList voiceNames() const override { return voices; }
    void endProgram() override { ++programEnds; }
};
