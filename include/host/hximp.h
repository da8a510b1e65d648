/* Image filter graphs described by text, such as "pad=width=720:height=576:x=90:y=0". */
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

/* Owned: destroy with imp_filter_destroy; null when the description is not understood. */
HXAPI ImpFilter* imp_filter_create(const ImpFilterParams* params, const char* description);
/* Feeds one format-7 picture (borrowed: the caller still owns it); 0 or -1. */
HXAPI int32_t imp_filter_put_frame(ImpFilter* filter, const OpImage* frame, uint32_t flags);
/* The filtered picture, format 7, owned by the caller; null when none is ready. */
HXAPI OpImage* imp_filter_get_frame(ImpFilter* filter, uint32_t flags);
HXAPI void imp_filter_destroy(ImpFilter* filter);

HX_END_DECLS

#endif
