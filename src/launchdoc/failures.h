/* The shell's failure table: which results of the "open" action end a call with an error. */
#ifndef LAUNCHDOC_FAILURES_H
#define LAUNCHDOC_FAILURES_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct launchdoc_failure {
    const char* identifier;
    const char* message;
} launchdoc_failure;

/* The error for a shell result, or NULL when the result means success (above 32) or is one of
 * the codes that return silently. */
const launchdoc_failure* launchdoc_failure_for(intptr_t result);

#ifdef __cplusplus
}
#endif

#endif
