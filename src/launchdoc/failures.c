#include "failures.h"

#include <stddef.h>

/* The registered sign in the message of code 11, in the program's text encoding. */
#ifdef _WIN32
#define REGISTERED_SIGN "\xAE" /* Windows-1252 */
#else
#define REGISTERED_SIGN "\xC2\xAE" /* UTF-8 */
#endif

#define ID(name) "Tarvex:openshell:" name

static const launchdoc_failure reports[] = {
    {NULL, NULL}, /* no error */
    {ID("0"), "The operating system is out of memory or resources."},
    {ID("ERROR_FILE_NOT_FOUND "), "The specified file was not found."},
    {ID("ERROR_PATH_NOT_FOUND"), "The specified path was not found."},
    {ID("SE_ERR_ACCESSDENIED"), "The operating system denied access to the specified file."},
    {ID("SE_ERR_OOM"), "There was not enough memory to complete the operation."},
    {ID("ERROR_BAD_FORMAT"), "The .exe file is invalid (non-Win32" REGISTERED_SIGN " .exe or error in .exe image)."},
    {ID("SE_ERR_SHARE"), "A sharing violation occurred."},
    {ID("SE_ERR_ASSOCINCOMPLETE"), "The file name association is incomplete or invalid."},
    {ID("SE_ERR_DDETIMEOUT"), "The DDE transaction could not be completed because the request timed out."},
    {ID("SE_ERR_DDEFAIL"), "The DDE transaction failed."},
    {ID("SE_ERR_DDEBUSY"),
     "The DDE transaction could not be completed because other DDE transactions were being processed."},
    {ID("SE_ERR_NOASSOC"), "There is no application associated with the given file name extension."},
    {ID("SE_ERR_DLLNOTFOUND"), "The specified dynamic-link library was not found."},
};

/* Shell result 0 ... 32 -> entry of `reports`. */
static const unsigned char report_of_result[33] = {
    1, 0, 2, 3, 0, 4, 0, 0, 5, 0, 0, 6, 0, 0, 0, 0, 0, /* 0 ... 16 */
    0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 8, 9, 10, 11, 12, 13, /* 17 ... 32 */
};

const launchdoc_failure* launchdoc_failure_for(intptr_t result)
{
    if (result < 0 || result > 32) return NULL;
    const unsigned char report = report_of_result[result];
    return report == 0 ? NULL : &reports[report];
}
