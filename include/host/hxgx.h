/* Graphics helpers on host images. */
#ifndef HX_HXGX_H
#define HX_HXGX_H

#include "hxapi.h"
#include "hxopcommon.h"

HX_BEGIN_DECLS

/* Fills every pixel with a YUV colour word (OP_VIDEO_BLACK for video black). */
HXAPI void gxSetImage(OpImage* image, uint32_t colour, uint32_t flags);

HX_END_DECLS

#endif
