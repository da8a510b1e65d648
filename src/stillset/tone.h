// Brightness, contrast, gamma and saturation applied through two lookup tables, in place.
#ifndef STILLSET_TONE_H
#define STILLSET_TONE_H

#include "host/hxopcommon.h"

void toneCorrect(OpImage* image, int32_t brightness, int32_t contrast, int32_t saturation, int32_t gamma);

#endif
