/* Strings of 16-bit characters. */
#ifndef HX_HXTEXT_H
#define HX_HXTEXT_H

#include "hxapi.h"

HX_BEGIN_DECLS

/* printf-style formatting into a 16-bit buffer: conversions d i u x X c s (s takes a 16-bit string)
   with flags, width, precision and the h / l length modifiers, and %%. Returns the characters written
   without the terminator. The caller's buffer must hold the result. */
HXAPI int32_t sxprintf(hxchar* buffer, const hxchar* format, ...);
HXAPI int32_t xcslen(const hxchar* text); /* characters, without the terminator */
HXAPI hxchar* xcscpy(hxchar* target, const hxchar* source);
HXAPI hxchar* xcscat(hxchar* target, const hxchar* source);

HX_END_DECLS

#endif
