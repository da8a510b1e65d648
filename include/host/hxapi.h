/* Linkage and layout helpers shared by every host header. */
#ifndef HX_HXAPI_H
#define HX_HXAPI_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define HX_EXTERN_C extern "C"
#define HX_BEGIN_DECLS extern "C" {
#define HX_END_DECLS }
#else
#define HX_EXTERN_C
#define HX_BEGIN_DECLS
#define HX_END_DECLS
#endif

/* Every host entry point is visible from libhx; everything else in it is hidden. An entry point
   whose failure result is not stated at it answers null (addresses), -1 (status words) or 0 (counts,
   measures, colours, identifiers, records). A declaration marked "not yet provided" is a service this
   host does not offer yet. */
#define HXAPI __attribute__((visibility("default")))

/* Fixed layouts are stated for the 32-bit target the plug-ins were designed for;
   a 64-bit build keeps the field order with natural alignment. */
#if UINTPTR_MAX == 0xFFFFFFFFu
#define HX_TARGET32 1
#else
#define HX_TARGET32 0
#endif

#ifdef __cplusplus
#define HX_STATIC_ASSERT static_assert
#else
#define HX_STATIC_ASSERT _Static_assert
#endif

#define HX_ASSERT_LAYOUT32(cond) HX_STATIC_ASSERT(!HX_TARGET32 || (cond), #cond)

/* 16-bit characters of user-visible texts. */
#ifdef __cplusplus
typedef char16_t hxchar;
#else
typedef uint16_t hxchar;
#endif

#endif
