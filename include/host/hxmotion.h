/* Video timing and access to the host's video. */
#ifndef HX_HXMOTION_H
#define HX_HXMOTION_H

#include "hxapi.h"
#include "hxopcommon.h"

HX_BEGIN_DECLS

typedef struct CmHandle CmHandle;

/* A handle for the current video standard, or null when the host has none. Never closed. */
HXAPI CmHandle* cmOpen(uint32_t a, uint32_t b);
/* Whole frames per second of the standard. */
HXAPI uint32_t cmGetFramesPerSecond(CmHandle* handle, uint32_t flags);
/* Fills a half-height format-1 image with field `fieldNumber` of the host's video; 0 or -1.
   The host's video is the clip of the scene bin item most recently asked for through
   nslAVRecordGetReferenceFrame. Field n is the rows of parity n % 2 of frame n / 2, scaled when the
   image has another size. Modes 0 and 2 (bit 0 of the hardware status) both read the field as
   stored; other modes, a missing clip or frame, or an image not of format 1 give -1. */
HXAPI int32_t cmGetField(CmHandle* handle, OpImage* image, int32_t mode, int32_t fieldNumber);
/* Nonzero or 0: the order in which two fields are woven into a frame. */
HXAPI int32_t cmGetFirstFieldStatus(void);

HX_END_DECLS

#endif
