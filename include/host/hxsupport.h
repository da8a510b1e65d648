/* Run-time lookup of host functions by name. */
#ifndef HX_HXSUPPORT_H
#define HX_HXSUPPORT_H

#include "hxapi.h"

HX_BEGIN_DECLS

/* Address of the named host function, or null when this host does not offer it. */
HXAPI void* vxsSymFind(void* module, const char* name);

HX_END_DECLS

#endif
