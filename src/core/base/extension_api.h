/* The interface between the program and its extension modules: shared libraries that the
 * runtime loads by name at run time and calls through one exported C entry. Plain C, so a
 * module needs nothing of the program but this header.
 *
 * A module exports
 *
 *     void olvanFunction(int nlhs, orvane_value* plhs[],
 *                        int nrhs, const orvane_value* prhs[],
 *                        orvane_runtime* runtime);
 *
 * nlhs output slots (set to NULL by the runtime) and nrhs inputs. The module reaches the
 * values and reports errors only through the services in `runtime`, each called with
 * runtime->call as its first argument.
 *
 * Text crosses the interface as zero-terminated byte strings in the program's encoding:
 * UTF-8 on Linux, the ANSI code page on Windows.
 */
#ifndef ORVANE_EXTENSION_API_H
#define ORVANE_EXTENSION_API_H

#ifdef __cplusplus
extern "C" {
#endif

#define ORVANE_EXTENSION_ABI 1
#define ORVANE_EXTENSION_ENTRY "olvanFunction"

/* A value owned by the runtime; opaque to modules. */
typedef struct orvane_value orvane_value;
/* The runtime's record of one call; opaque to modules. */
typedef struct orvane_call orvane_call;

typedef struct orvane_runtime {
    unsigned int abi; /* ORVANE_EXTENSION_ABI */
    orvane_call* call;

    /* Nonzero when `value` is text. */
    int (*is_text)(orvane_call* call, const orvane_value* value);

    /* The text of `value`, or NULL when it is not text (or memory ran out). The runtime owns
     * the string and frees it when the call returns. */
    const char* (*text)(orvane_call* call, const orvane_value* value);

    /* Ends the call with an error of the calling function: an identifier such as
     * "Tarvex:openshell:SE_ERR_NOASSOC" and a message for the user. Does not return; the
     * runtime unwinds to its caller, so the module must hold no resource of its own when it
     * reports. */
    void (*raise_error)(orvane_call* call, const char* identifier, const char* message);
} orvane_runtime;

typedef void (*orvane_extension_entry)(int nlhs, orvane_value* plhs[], int nrhs, const orvane_value* prhs[],
                                       orvane_runtime* runtime);

#ifdef __cplusplus
}
#endif

#endif
