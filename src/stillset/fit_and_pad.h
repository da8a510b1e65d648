// Fitting a picture into the output frame or a preview area, keeping its shape.
#ifndef STILLSET_FIT_AND_PAD_H
#define STILLSET_FIT_AND_PAD_H

#include "host/hxopcommon.h"

// Both consume the image: on success it is freed and a format-1 picture returned; when a step
// fails the caller still gets a usable picture (the input, or video black of the fitted size).
// scaleAndPad pads the fitted picture with video black to the target's shape.
OpImage* scaleAndPad(OpImage* image, int16_t targetWidth, int16_t targetHeight, uint16_t targetAspect);
// scaleForPreview hands back the fitted picture without the border.
OpImage* scaleForPreview(OpImage* image, int16_t targetWidth, int16_t targetHeight, uint16_t targetAspect);

#endif
