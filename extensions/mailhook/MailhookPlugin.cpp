// Mailhook's entry points: clsLaunchMail behind the C ABI. Every entry point
// catches everything, so nothing leaves the library as an exception.

#include "MailSettings.h"
#include "clsLaunchMail.h"
#include "quenora_extension.h"

#include <QApplication>
#include <QThread>

#include <cstdlib>
#include <cstring>

// Nothing is kept between events: each call makes its own object.
struct qn_object {
};

extern "C" {

QN_EXPORT uint32_t qn_abi_version(void)
{
    return QN_ABI_VERSION;
}

QN_EXPORT qn_object *qn_create(const char *class_name)
{
    try {
        if (!class_name || std::strcmp(class_name, "clsLaunchMail") != 0)
            return nullptr;
        return new qn_object;
    } catch (...) {
        return nullptr;
    }
}

QN_EXPORT qn_status qn_invoke(qn_object *object, const char *member, qn_arg *args, size_t argc, qn_result *result)
{
    try {
        if (!object || !member || !result)
            return QN_FAILED;
        if (std::strcmp(member, "Export") != 0)
            return QN_UNKNOWN_MEMBER;
        if (argc < 1 || !args)
            return QN_FAILED;
        // The window needs the host's widget application and its thread.
        auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
        if (!app || QThread::currentThread() != app->thread())
            return QN_FAILED;
        QString sFile = args[0].data ? QString::fromUtf8(args[0].data, qsizetype(args[0].size)) : QString();
        HiveMailSettings settings;
        clsLaunchMail launcher(settings);
        launcher.Export(sFile);
        return QN_OK;
    } catch (...) {
        return QN_FAILED;
    }
}

QN_EXPORT void qn_release(qn_object *object)
{
    delete object;
}

QN_EXPORT void qn_free(char *text)
{
    std::free(text);
}
}
