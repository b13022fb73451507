// Bavarize's entry points: the class Dialect behind the C ABI. Every entry
// point catches everything, so not even an allocation failure leaves the
// library as an exception.

#include "Dialect.h"
#include "quenora_extension.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

struct qn_object {
    Dialect dialect;
};

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
        // Both texts are written straight into the buffers the host takes
        // over, so a text of many megabytes is not copied once more.
        const std::string_view text = args[0].data ? std::string_view(args[0].data, args[0].size) : std::string_view();
        std::unique_ptr<char, decltype(&std::free)> owned(
            static_cast<char *>(std::malloc(Dialect::preparedSizeBound(text.size()) + 1)), &std::free);
        char *prepared = owned.get();
        if (!prepared)
            return QN_FAILED;
        const size_t preparedSize = Dialect::prepareInto(text, prepared);
        prepared[preparedSize] = '\0';
        // From here on the host frees both buffers, whatever the status.
        if (args[0].by_ref) {
            args[0].replaced = owned.release();
            args[0].replaced_size = preparedSize;
        }
        const std::string_view preparedText(prepared, preparedSize);
        result->data = static_cast<char *>(std::malloc(Dialect::dialectSizeBound(preparedSize) + 1));
        if (result->data) {
            result->size = Dialect::dialectInto(preparedText, result->data);
            result->data[result->size] = '\0';
        }
        if (!result->data)
            return QN_FAILED;
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
