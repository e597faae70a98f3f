/* launchdoc: hands a document to the system's "open" action, so that it opens in the application
 * associated with it. Run by the program as the extension "shellopenfile":
 *   input 1  the folder (text)
 *   input 2  the document, relative to the folder or absolute (text)
 * No outputs; the output slots are left untouched. Keeps no state. */
#include "failures.h"
#include "opener.h"
#include "base/extension_api.h"

#include <stddef.h>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#define LAUNCHDOC_EXPORT __declspec(dllexport)
#else
#define LAUNCHDOC_EXPORT __attribute__((visibility("default")))
#endif

#ifdef _WIN32
/* The library needs no thread attach or detach notifications. */
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(module);
    return TRUE;
}

intptr_t launchdoc_open(const char* folder, const char* document)
{
    return (intptr_t)ShellExecuteA(NULL, "open", document, NULL, folder, SW_SHOWNORMAL);
}
#endif

/* Input `index` as text; NULL after raising the error `identifier` (raise_error does not
 * return, but a runtime that lets it return still finds the call ended). A missing input
 * counts as one that is not text. */
static const char* text_input(int nrhs, const orvane_value* prhs[], int index, orvane_runtime* runtime,
                              const char* identifier, const char* message)
{
    if (index >= nrhs || !runtime->is_text(runtime->call, prhs[index])) {
        runtime->raise_error(runtime->call, identifier, message);
        return NULL;
    }
    const char* text = runtime->text(runtime->call, prhs[index]);
    if (text == NULL) {
        const launchdoc_failure* oom = launchdoc_failure_for(8);
        runtime->raise_error(runtime->call, oom->identifier, oom->message);
    }
    return text;
}

LAUNCHDOC_EXPORT void olvanFunction(int nlhs, orvane_value* plhs[], int nrhs, const orvane_value* prhs[],
                                    orvane_runtime* runtime)
{
    (void)nlhs;
    (void)plhs;
    const char* folder = text_input(nrhs, prhs, 0, runtime, "Tarvex:openshell:firstArgNotString",
                                    "First input to the OPENSHELL Olvan-file must be the directory name.");
    if (folder == NULL) return;
    const char* document = text_input(nrhs, prhs, 1, runtime, "Tarvex:openshell:secondArgNotString",
                                      "Second input to the OPENSHELL Olvan-file must be the file name.");
    if (document == NULL) return;

    const launchdoc_failure* failure = launchdoc_failure_for(launchdoc_open(folder, document));
    if (failure != NULL) runtime->raise_error(runtime->call, failure->identifier, failure->message);
}
