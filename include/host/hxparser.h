/* Screens of the host's command parser: which program owns the display. */
#ifndef HX_HXPARSER_H
#define HX_HXPARSER_H

#include "hxapi.h"

HX_BEGIN_DECLS

HXAPI void parserGetCurrentScreen(uint32_t* screen, uint32_t* mode);
HXAPI void parserSetCurrentScreen(uint32_t screen, uint32_t mode);

HX_END_DECLS

#endif
