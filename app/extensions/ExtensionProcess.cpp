#include "ExtensionProcess.h"

#include "Clock.h"
#include "ExtensionTexts.h"
#include "Paths.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

using namespace ExtensionProtocol;

namespace {

// The descriptor the socket has in the extension-host process.
constexpr int kChildFd = 3;

} // namespace

ExtensionProcess::ExtensionProcess(QString program, const Clock &clock, Limits limits, std::optional<bool> gui)
    : m_program(std::move(program))
    , m_clock(clock)
    , m_limits(limits)
    , m_gui(gui)
{
}

ExtensionProcess::ExtensionProcess(QString program, const Clock &clock)
    : ExtensionProcess(std::move(program), clock, Limits{})
{
}

ExtensionProcess::~ExtensionProcess()
{
    // No plug-in code runs between calls: nothing is lost by ending it.
    stop(true);
}

QString ExtensionProcess::installedProgram()
{
    return Paths::extensionHostProgram();
}

QString ExtensionProcess::endReason(int waitStatus)
{
    if (WIFSIGNALED(waitStatus))
        return ExtensionTexts::signalName(WTERMSIG(waitStatus));
    if (WIFEXITED(waitStatus))
        return ExtensionTexts::exited(WEXITSTATUS(waitStatus));
    return ExtensionTexts::exited(-1);
}

bool ExtensionProcess::start(QString &why)
{
    const QFileInfo info(m_program);
    if (m_program.isEmpty() || !info.isFile() || !info.isExecutable()) {
        why = ExtensionTexts::hostMissing(m_program);
        return false;
    }
    int sv[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
        why = ExtensionTexts::hostNoConnection(errno);
        return false;
    }
    // Above the child's own number, so dup2 makes a copy that survives exec.
    const int childEnd = ::fcntl(sv[1], F_DUPFD_CLOEXEC, 10);
    ::close(sv[1]);
    if (childEnd < 0) {
        ::close(sv[0]);
        why = ExtensionTexts::hostNoConnection(errno);
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, childEnd, kChildFd);
    // A plug-in reads nothing from the editor's input, and what it prints
    // goes to the error output, never into quenora-speak's output.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 2, 1);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const bool gui = m_gui.value_or(QCoreApplication::instance()
                                    && QCoreApplication::instance()->inherits("QGuiApplication"));
    const QByteArray program = QFile::encodeName(m_program);
    QList<QByteArray> arguments{program, "--fd", QByteArray::number(kChildFd)};
    if (gui)
        arguments << "--gui";
    std::vector<char *> argv;
    for (QByteArray &a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int failed = ::posix_spawn(&pid, program.constData(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    ::close(childEnd);
    if (failed != 0) {
        ::close(sv[0]);
        why = ExtensionTexts::hostNotStarted(m_program, failed);
        return false;
    }
    ::fcntl(sv[0], F_SETFL, ::fcntl(sv[0], F_GETFL) | O_NONBLOCK);
    m_fd = sv[0];
    m_pid = pid;
    return true;
}

void ExtensionProcess::stop(bool kill)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (m_pid > 0) {
        if (kill)
            ::kill(m_pid, SIGKILL);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    m_pid = -1;
    m_reader = FrameReader();
}

void ExtensionProcess::ended(Result &result)
{
    // The socket closes a moment before the process can be waited for.
    int status = 0;
    pid_t done = 0;
    for (int i = 0; i < 200 && done == 0; ++i) {
        done = ::waitpid(m_pid, &status, WNOHANG);
        if (done == 0)
            ::poll(nullptr, 0, 1);
    }
    if (done == m_pid) {
        result.detail = endReason(status);
        m_pid = -1;
    } else {
        result.detail = ExtensionTexts::exited(-1);
    }
    stop(true);
    result.outcome = Outcome::Crashed;
}

bool ExtensionProcess::sendAll(FrameWriter &frame, qint64 deadlineNs, Result &result)
{
    FrameSending sending(frame);
    while (!sending.done()) {
        const ssize_t n = sending.sendSome(m_fd, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{m_fd, POLLOUT, 0};
            if (::poll(&p, 1, m_limits.sliceMs) == 0 && m_clock.monotonicNs() > deadlineNs) {
                stop(true);
                result.outcome = Outcome::TimedOut;
                return false;
            }
            continue;
        }
        if (n < 0) {
            // The process is gone: what it said before still decides how
            // the call ended.
            return true;
        }
    }
    return true;
}

bool ExtensionProcess::receiveReply(qsizetype argc, qint64 deadlineNs, qint64 limitNs, Result &result)
{
    Answer answer(argc);
    for (;;) {
        switch (answer.take(m_reader)) {
        case Answer::State::Answered:
            result.reply = std::move(answer.reply);
            result.outcome = Outcome::Answered;
            return true;
        case Answer::State::Broken:
            stop(true);
            result.outcome = Outcome::Broken;
            return false;
        case Answer::State::Waiting:
            break;
        }
        // The limit starts again once the user has answered.
        if (answer.windowsClosed())
            deadlineNs = m_clock.monotonicNs() + limitNs;
        pollfd p{m_fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, m_limits.sliceMs);
        if (ready < 0 && errno != EINTR) {
            ended(result);
            return false;
        }
        if (ready > 0) {
            size_t wanted = 0;
            char *to = m_reader.space(wanted);
            const ssize_t n = ::recv(m_fd, to, wanted, MSG_DONTWAIT);
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                ended(result);
                return false;
            }
            if (n > 0)
                m_reader.commit(size_t(n));
            continue;
        }
        if (answer.windowOpen()) {
            // The plug-in asks the user: the editor's window keeps painting,
            // its input waits for the end of the call.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            continue;
        }
        if (m_clock.monotonicNs() <= deadlineNs)
            continue;
        // What arrived while the clock was read still counts.
        pollfd last{m_fd, POLLIN, 0};
        if (::poll(&last, 1, 0) > 0)
            continue;
        stop(true);
        result.outcome = Outcome::TimedOut;
        return false;
    }
}

ExtensionProcess::Result ExtensionProcess::call(const QByteArray &library, const QByteArray &className,
                                                const QByteArray &member, const QList<CallArgument> &args)
{
    Result result;
    if (m_busy) {
        result.outcome = Outcome::Busy;
        return result;
    }
    m_busy = true;
    struct Done {
        bool &busy;
        ~Done() { busy = false; }
    } done{m_busy};

    // A process that ended between calls (a plug-in's own thread) is not
    // this call's doing: a fresh one takes it.
    int status = 0;
    if (m_pid > 0 && ::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_pid = -1;
        stop(false);
    }
    if (m_pid <= 0 && !start(result.detail)) {
        result.outcome = Outcome::Unavailable;
        return result;
    }
    qint64 bytes = 0;
    for (const CallArgument &a : args)
        bytes += a.text.size();
    result.limitMs = m_limits.callMs + m_limits.perMegabyteMs * bytes / (1024 * 1024);
    const qint64 limitNs = result.limitMs * 1000000;
    const qint64 deadlineNs = m_clock.monotonicNs() + limitNs;

    FrameWriter frame = encodeCall(library, className, member, m_ownerWindow ? m_ownerWindow() : 0, args);
    if (!frame.fits()) {
        result.outcome = Outcome::Answered;
        result.reply.status = Status::Failed;
        result.reply.error = ExtensionTexts::textTooLarge();
        return result;
    }
    if (!sendAll(frame, deadlineNs, result))
        return result;
    receiveReply(args.size(), deadlineNs, limitNs, result);
    return result;
}
