// A plug-in library for the tests of the extension host. The class the host
// asks for chooses the behaviour, so one library serves every case; the same
// source is built twice more with a foreign ABI version and without qn_free.
// The classes Crash, Hang and Window stand for plug-ins that crash, hang or
// ask the user, so the host's own process is what a test sees surviving.
// Every call is appended to the file named by QN_TESTPLUGIN_LOG as one line
// "Class Member Argument", so a test (or an end-to-end run of the program)
// can see what reached the plug-in and in which order.

#include "quenora_extension.h"

#include <QApplication>
#include <QWidget>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#ifndef QN_TESTPLUGIN_ABI
#define QN_TESTPLUGIN_ABI QN_ABI_VERSION
#endif

struct qn_object {
    std::string className;
};

namespace {

const char *const kClasses[] = {
    "Recorder",       // every member, result "" (FilterText returns its text)
    "NoStartup",      // like Recorder without Startup
    "Failing",        // every member fails
    "ChangeThenFail", // replaces its by-reference argument, then fails
    "Bracket",        // FilterText returns "[text]"
    "ReplaceAndReturn", // replaces its argument with "ersetzt" and returns "Ergebnis"
    "Crash",          // every member dies of a memory access fault
    "Hang",           // every member never returns
    "Window"          // every member shows a window, lets events run a while, closes it
};

const char *const kMembers[] = {"Startup", "Close", "NewFile", "OpenFile", "SaveFile", "Export", "TaskScript",
                                "FilterText"};

bool known(const char *const *list, size_t n, const char *name)
{
    for (size_t i = 0; i < n; ++i) {
        if (std::strcmp(list[i], name) == 0)
            return true;
    }
    return false;
}

char *copyText(const std::string &s, size_t &size)
{
    char *p = static_cast<char *>(std::malloc(s.size() + 1));
    if (!p)
        return nullptr;
    std::memcpy(p, s.data(), s.size());
    p[s.size()] = '\0';
    size = s.size();
    return p;
}

void record(const std::string &line)
{
    const char *file = std::getenv("QN_TESTPLUGIN_LOG");
    if (!file || !*file)
        return;
    if (FILE *f = std::fopen(file, "a")) {
        std::fputs(line.c_str(), f);
        std::fputc('\n', f);
        std::fclose(f);
    }
}

// A window of the plug-in's own, open for a hundred turns of the event loop
// (not for a time): "Window shown" is recorded while it is open.
qn_status showWindow()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return QN_FAILED;
    QWidget window;
    window.setWindowTitle(QStringLiteral("Testfenster"));
    window.show();
    record("Window shown");
    for (int i = 0; i < 100; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ::usleep(1000);
    }
    window.hide();
    return QN_OK;
}

qn_status call(const std::string &cls, const std::string &member, qn_arg *args, size_t argc, qn_result *result)
{
    const std::string argument = argc > 0 && args[0].data ? std::string(args[0].data, args[0].size) : std::string();
    if (cls == "NoStartup" && member == "Startup")
        return QN_UNKNOWN_MEMBER;
    if (cls == "Window")
        return showWindow();
    // Recorded before it happens, so a test sees that the plug-in is in it.
    record(cls + " " + member + (argc > 0 ? " " + argument : std::string()));
    if (cls == "Crash") {
        std::raise(SIGSEGV);
        return QN_FAILED;
    }
    if (cls == "Hang") {
        for (;;)
            ::pause();
    }
    if (cls == "Failing")
        return QN_FAILED;
    if (cls == "ChangeThenFail") {
        if (argc > 0 && args[0].by_ref)
            args[0].replaced = copyText("verändert", args[0].replaced_size);
        return QN_FAILED;
    }
    if (member != "FilterText")
        return QN_OK;
    if (cls == "Bracket") {
        result->data = copyText("[" + argument + "]", result->size);
    } else if (cls == "ReplaceAndReturn") {
        if (argc > 0 && args[0].by_ref) {
            // Replaced twice: the first replacement goes back to qn_free.
            args[0].replaced = copyText("zuerst", args[0].replaced_size);
            std::free(args[0].replaced);
            args[0].replaced = copyText("ersetzt", args[0].replaced_size);
        }
        result->data = copyText("Ergebnis", result->size);
    } else {
        result->data = copyText(argument, result->size);
    }
    return result->data || member != "FilterText" ? QN_OK : QN_FAILED;
}

} // namespace

extern "C" {

QN_EXPORT uint32_t qn_abi_version(void)
{
    return QN_TESTPLUGIN_ABI;
}

QN_EXPORT qn_object *qn_create(const char *class_name)
{
    try {
        if (!class_name || !known(kClasses, sizeof kClasses / sizeof *kClasses, class_name))
            return nullptr;
        return new qn_object{class_name};
    } catch (...) {
        return nullptr;
    }
}

QN_EXPORT qn_status qn_invoke(qn_object *object, const char *member, qn_arg *args, size_t argc, qn_result *result)
{
    try {
        if (!object || !member || !result)
            return QN_FAILED;
        if (!known(kMembers, sizeof kMembers / sizeof *kMembers, member))
            return QN_UNKNOWN_MEMBER;
        return call(object->className, member, args, argc, result);
    } catch (...) {
        return QN_FAILED;
    }
}

QN_EXPORT void qn_release(qn_object *object)
{
    delete object;
}

#ifndef QN_TESTPLUGIN_WITHOUT_FREE
QN_EXPORT void qn_free(char *text)
{
    std::free(text);
}
#endif
}
