// Brightness, contrast, gamma and saturation applied through two lookup tables, in place.
#ifndef STILLSET_TONE_H
#define STILLSET_TONE_H

#include "host/hxopcommon.h"

void toneCorrect(OpImage* image, int32_t brightness, int32_t contrast, int32_t saturation, int32_t gamma);
// Format 1 is looked up 64 bytes at a time where the processor has 512-bit byte permutes; `plain`
// holds it to one pixel at a time, for comparisons. Both give the same bytes.
void setPlainToneLoops(bool plain);

#endif
