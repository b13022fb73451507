#pragma once
// FakeScriptHost: a ScriptHost that records what the commands did to the
// "window".

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
    void endProgram() override { ++programEnds; }
};
