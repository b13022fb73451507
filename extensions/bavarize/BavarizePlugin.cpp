// Bavarize's entry points: the class Dialect behind the C ABI. Every entry
// point catches everything, so not even an allocation failure leaves the
// library as an exception.

#include "Dialect.h"
#include "quenora_extension.h"

#include <cstdlib>
#include <cstring>
#include <string>

struct qn_object {
    Dialect dialect;
};

namespace {

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

} // namespace

extern "C" {

QN_EXPORT uint32_t qn_abi_version(void)
{
    return QN_ABI_VERSION;
}

QN_EXPORT qn_object *qn_create(const char *class_name)
{
    try {
        if (!class_name || std::strcmp(class_name, "Dialect") != 0)
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
        if (std::strcmp(member, "Startup") == 0) {
            object->dialect.Startup();
            return QN_OK;
        }
        if (std::strcmp(member, "FilterText") != 0)
            return QN_UNKNOWN_MEMBER;
        if (argc < 1 || !args)
            return QN_FAILED;
        std::string text = args[0].data ? std::string(args[0].data, args[0].size) : std::string();
        const std::string dialect = object->dialect.FilterText(text);
        result->data = copyText(dialect, result->size);
        if (!result->data)
            return QN_FAILED;
        if (args[0].by_ref) {
            args[0].replaced = copyText(text, args[0].replaced_size);
            if (!args[0].replaced)
                return QN_FAILED;
        }
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
