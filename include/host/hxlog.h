/* Logging library: one entry per call, kept by the host. */
#ifndef HX_HXLOG_H
#define HX_HXLOG_H

#include "hxapi.h"

HX_BEGIN_DECLS

enum {
    HXLOG_ALLOCATION = 3, /* failed memory allocation */
    HXLOG_FAILURE = 4,
    HXLOG_INFO = 6
};

/* Writes one entry; `line` identifies it within `source`, `module` names the calling plug-in.
   Never fails from the caller's view. */
HXAPI void loggerMessage(int level, int line, const char* source, uint32_t module, const char* format, ...);

HX_END_DECLS

#endif
