/* Image filter graphs described by text, such as "pad=width=720:height=576:x=90:y=0".
   This host understands one filter: "pad=" with the options width, height, x and y (decimal, each at
   most once, in any order; x and y default to 0). It places each picture with its top-left pixel at
   (x, y) on a width x height canvas of video black (luma 16, chroma 128); with an odd x or y the
   picture's chroma starts at the 2 x 2 block that holds that pixel. */
#ifndef HX_HXIMP_H
#define HX_HXIMP_H

#include "hxapi.h"
#include "hxopcommon.h"

HX_BEGIN_DECLS

typedef struct ImpFilter ImpFilter;

/* Describes the pictures put into a filter. */
typedef struct ImpFilterParams {
    int32_t size;   /* 36 */
    int32_t width;
    int32_t height;
    int32_t a;      /* 1 */
    int32_t rate;   /* 25 */
    int32_t b;      /* 1000 */
    int32_t c;      /* 1000 */
    int32_t d;      /* 0 */
    int32_t e;      /* 0 */
} ImpFilterParams;

HX_STATIC_ASSERT(sizeof(ImpFilterParams) == 36, "filter parameter record is 36 bytes");

/* Owned: destroy with imp_filter_destroy; null when the description is not understood, the record's
   size is not 36, or the picture of params->width x params->height does not fit the canvas at (x, y)
   (negative offsets, canvas sides above 32767). */
HXAPI ImpFilter* imp_filter_create(const ImpFilterParams* params, const char* description);
/* Feeds one format-7 picture of the size given at creation (borrowed: the caller still owns it and
   may free it at once); 0, or -1 for another size or format or no memory. */
HXAPI int32_t imp_filter_put_frame(ImpFilter* filter, const OpImage* frame, uint32_t flags);
/* The filtered pictures in the order they were fed, format 7, owned by the caller; null when none is
   ready. Destroying the filter frees those not fetched. */
HXAPI OpImage* imp_filter_get_frame(ImpFilter* filter, uint32_t flags);
HXAPI void imp_filter_destroy(ImpFilter* filter);

HX_END_DECLS

#endif
