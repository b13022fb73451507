/*
 * quenora_extension.h: the whole contract between Quenora and an extension
 * library. Plain C, so an extension can be written in any language that can
 * export C functions, and no C++ type, allocator or exception ever crosses
 * the boundary.
 *
 * Who uses it: the extension host of the editor (app/extensions) loads the
 * library, in a process of its own (quenora-extension-host) so that a crash
 * or hang of a plug-in does not reach the editor; the shipped extensions
 * (Bavarize, Mailhook) and the test plug-in implement it. Nothing else of Quenora is visible to an extension.
 *
 * How an extension is found
 * -------------------------
 * An extension is named by an identifier "Project.Class" (for example
 * "Bavarize.Dialect"). The host looks the identifier up in the user's hive
 * under HKEY_CLASSES_ROOT\<identifier>\InprocServer32; the key's default
 * value is the full path of the library. The library is loaded once and may
 * stay loaded; every required symbol is resolved when it is loaded.
 *
 * Exported functions (all required, all with C linkage)
 * -----------------------------------------------------
 *   uint32_t   qn_abi_version(void);
 *   qn_object *qn_create(const char *class_name);
 *   qn_status  qn_invoke(qn_object *object, const char *member,
 *                        qn_arg *args, size_t argc, qn_result *result);
 *   void       qn_release(qn_object *object);
 *   void       qn_free(char *text);
 *
 * The life of one call
 * --------------------
 * For every event and every active extension the host does exactly this:
 *   1. object = qn_create("Class")      (the part after the point)
 *   2. status = qn_invoke(object, "Member", args, argc, &result)
 *   3. the host copies what it needs, hands every text the plug-in
 *      allocated back to qn_free
 *   4. qn_release(object)
 * A new object serves each call; an extension must keep no state between
 * events in its object. The host calls from one thread (its user-interface
 * thread) and waits for each call to return, within a time limit: a call
 * that does not return in time, or crashes, gets the extension switched
 * off. While the plug-in shows a window of its own the limit stands still.
 *
 * Strings
 * -------
 * All texts are UTF-8. A text is given as a pointer and a length in bytes;
 * the bytes are also followed by a NUL so C code may use them as a C string
 * (a text can still contain NUL characters, so the length is the truth).
 * A NULL pointer with length 0 is the empty text.
 *
 * Ownership
 *   - class_name, member and every qn_arg.data are the host's. They are valid
 *     only during the call and must not be written to or freed.
 *   - qn_arg.replaced and qn_result.data are the plug-in's: allocated by the
 *     plug-in with its own allocator, NUL-terminated, and given back by the
 *     host to the same library's qn_free after the call, whatever the status.
 *     The host never frees them in any other way, and the plug-in must not
 *     touch them after qn_invoke has returned.
 *
 * By-reference arguments
 *   An argument with by_ref != 0 is passed by reference: the plug-in may
 *   replace its text. It does so by storing a new text of its own in
 *   `replaced` / `replaced_size` (never by writing into `data`). To replace
 *   it again within the same call it first gives its earlier replacement to
 *   its own qn_free. The host sets `replaced` to NULL before the call.
 *   Whether the host looks at a replacement at all is its own business: for
 *   most events the host passes a copy that it discards.
 *
 * Status of qn_invoke
 *   QN_OK              the member ran; `result` holds its result (NULL/0 is
 *                      the empty result).
 *   QN_UNKNOWN_MEMBER  the object has no member of that name; nothing ran.
 *   QN_FAILED          the member (or the object) failed. Any replacement
 *                      or result set before the failure is still freed by
 *                      the host with qn_free and otherwise ignored.
 * Any other number is treated as QN_FAILED.
 *
 * args points to argc arguments; with argc 0 it may be NULL.
 *
 * qn_create returns NULL when the library has no class of that name or the
 * object cannot be made. qn_release accepts NULL. qn_free accepts NULL.
 *
 * No exception, longjmp or abort may leave an exported function: a plug-in
 * written in C++ catches everything in each of them and reports QN_FAILED
 * (or NULL from qn_create).
 *
 * Versions
 *   qn_abi_version returns QN_ABI_VERSION as the library was built. The host
 *   refuses a library whose version lies outside the range it supports
 *   (QN_ABI_VERSION_MIN .. QN_ABI_VERSION of the host's own build) and loads
 *   nothing of it. A change to any type or function here raises
 *   QN_ABI_VERSION.
 */
#ifndef QUENORA_EXTENSION_H
#define QUENORA_EXTENSION_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define QN_ABI_VERSION 1u
#define QN_ABI_VERSION_MIN 1u

#if defined(__GNUC__)
#define QN_EXPORT __attribute__((visibility("default")))
#else
#define QN_EXPORT
#endif

/* An extension object; what it holds is the plug-in's business. */
typedef struct qn_object qn_object;

typedef enum qn_status {
    QN_OK = 0,
    QN_UNKNOWN_MEMBER = 1,
    QN_FAILED = 2
} qn_status;

/* One argument of a call. */
typedef struct qn_arg {
    const char *data;     /* host's text, read-only, valid during the call */
    size_t size;          /* its length in bytes */
    int by_ref;           /* non-zero: the plug-in may replace the text */
    char *replaced;       /* plug-in's replacement or NULL; freed by qn_free */
    size_t replaced_size; /* length of the replacement in bytes */
} qn_arg;

/* The result of a call; the host sets data to NULL before the call. */
typedef struct qn_result {
    char *data;  /* plug-in's text or NULL (empty); freed by qn_free */
    size_t size; /* its length in bytes */
} qn_result;

/* Names of the exported functions, as the host resolves them. */
#define QN_SYMBOL_ABI_VERSION "qn_abi_version"
#define QN_SYMBOL_CREATE "qn_create"
#define QN_SYMBOL_INVOKE "qn_invoke"
#define QN_SYMBOL_RELEASE "qn_release"
#define QN_SYMBOL_FREE "qn_free"

typedef uint32_t (*qn_abi_version_fn)(void);
typedef qn_object *(*qn_create_fn)(const char *class_name);
typedef qn_status (*qn_invoke_fn)(qn_object *object, const char *member, qn_arg *args, size_t argc,
                                  qn_result *result);
typedef void (*qn_release_fn)(qn_object *object);
typedef void (*qn_free_fn)(char *text);

/* Declarations a plug-in defines (and the host never links against). */
QN_EXPORT uint32_t qn_abi_version(void);
QN_EXPORT qn_object *qn_create(const char *class_name);
QN_EXPORT qn_status qn_invoke(qn_object *object, const char *member, qn_arg *args, size_t argc,
                              qn_result *result);
QN_EXPORT void qn_release(qn_object *object);
QN_EXPORT void qn_free(char *text);

#ifdef __cplusplus
}
#endif

#endif /* QUENORA_EXTENSION_H */
