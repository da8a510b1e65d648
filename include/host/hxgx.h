/* Graphics helpers on host images. */
#ifndef HX_HXGX_H
#define HX_HXGX_H

#include "hxapi.h"
#include "hxopcommon.h"

HX_BEGIN_DECLS

/* Fills every pixel with a YUV colour word Y << 24 | V << 16 | U << 8 | key (OP_VIDEO_BLACK for
   video black), in any format; only format 1 keeps the key. */
HXAPI void gxSetImage(OpImage* image, uint32_t colour, uint32_t flags);

HX_END_DECLS

#endif
