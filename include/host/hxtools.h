/* Small services of the host's tool library. */
#ifndef HX_HXTOOLS_H
#define HX_HXTOOLS_H

#include "hxapi.h"

HX_BEGIN_DECLS

/* A fresh nonzero identifier, never handed out twice in a process. */
HXAPI uint32_t vxtlGetUniqueID(void);
/* Status byte of the video hardware; bit 0 selects the field access mode of cmGetField. */
HXAPI uint8_t vxtlGetHardwareStatus(void);

HX_END_DECLS

#endif
