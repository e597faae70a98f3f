/* The platform's "open" action for one document. */
#ifndef LAUNCHDOC_OPENER_H
#define LAUNCHDOC_OPENER_H

#include <stdint.h>

/* Opens `document` (relative to `folder`, or absolute) in the application associated with it,
 * with `folder` as the working directory. The result is in the Windows shell's terms: above 32
 * when the document was handed over, otherwise a code of the failure table (failures.h). */
intptr_t launchdoc_open(const char* folder, const char* document);

#endif
