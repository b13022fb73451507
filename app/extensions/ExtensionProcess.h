#pragma once
// ExtensionProcess: the editor's side of the extension-host process
// (quenora-extension-host), which loads the plug-in libraries and calls
// them, so a plug-in that crashes or hangs takes only that process down.
//
// The process is started at the first call and again after it ended; it
// talks over a socket pair (ExtensionProtocol). Each call has a time limit,
// measured on the injected Clock: a base for every call and more for each
// megabyte of text. While a plug-in shows a window of its own the limit
// stands still (the user is being asked) and the editor's window keeps
// painting; user input to it waits until the call is over. A crash, a
// time-out or an answer that does not parse ends the process; the call then
// reports which of these it was and why, and the next call starts a fresh
// process. A call made while another is running (a timer of the editor that
// fires while a plug-in's window is open) is not passed on.

#include "ExtensionProtocol.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <sys/types.h>

class Clock;

class ExtensionProcess
{
public:
    struct Limits {
        qint64 callMs = 10000;        // every call
        qint64 perMegabyteMs = 1000;  // and this much more per MB of text
        int sliceMs = 50;             // how often the clock is looked at
    };

    // How a call ended, beside the plug-in's own status.
    enum class Outcome {
        Answered,   // reply holds the plug-in's answer
        Crashed,    // the process ended during the call (detail: how)
        TimedOut,   // no answer within the limit; the process was ended
        Broken,     // the process answered something that is no answer
        Busy,       // another call is running
        Unavailable // the process cannot be started (detail: why)
    };

    struct Result {
        Outcome outcome = Outcome::Unavailable;
        ExtensionProtocol::Reply reply;
        QString detail; // German, for every outcome but Answered and Busy
        qint64 limitMs = 0;
    };

    // program: the path of quenora-extension-host. gui: whether the process
    // makes a widget application (a plug-in window needs one); by default
    // it does when this program has a display itself.
    ExtensionProcess(QString program, const Clock &clock, Limits limits, std::optional<bool> gui = std::nullopt);
    ExtensionProcess(QString program, const Clock &clock);
    ~ExtensionProcess();
    ExtensionProcess(const ExtensionProcess &) = delete;
    ExtensionProcess &operator=(const ExtensionProcess &) = delete;

    Result call(const QByteArray &library, const QByteArray &className, const QByteArray &member,
                const QList<ExtensionProtocol::CallArgument> &args);

    // The window a plug-in's own window is to open over (an X11 window id,
    // 0 for none), asked at every call.
    void setOwnerWindow(std::function<quint64()> ownerWindow) { m_ownerWindow = std::move(ownerWindow); }

    // The running process's id, or -1 (for measurements).
    pid_t processId() const { return m_pid; }

    // Where quenora-extension-host is: beside the program in its private
    // library folder when installed, in the build tree's app/extensions
    // folder otherwise.
    static QString installedProgram();

    // The German reason a process ended with the given wait status.
    static QString endReason(int waitStatus);

private:
    bool start(QString &why);
    void stop(bool kill);
    // False when the time ran out; a process that is gone is found out
    // when its answer is read.
    bool sendAll(ExtensionProtocol::FrameWriter &frame, qint64 deadlineNs, Result &result);
    bool receiveReply(qsizetype argc, qint64 deadlineNs, qint64 limitNs, Result &result);
    void ended(Result &result);

    QString m_program;
    const Clock &m_clock;
    Limits m_limits;
    std::optional<bool> m_gui;
    std::function<quint64()> m_ownerWindow;
    // Kept across calls with its buffer; a new one with every process.
    ExtensionProtocol::FrameReader m_reader;
    pid_t m_pid = -1;
    int m_fd = -1;
    bool m_busy = false;
};
