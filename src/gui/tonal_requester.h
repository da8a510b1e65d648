// The tonal requester: four sliders over a live preview of one photo's tone.
#ifndef STILLSET_GUI_TONAL_REQUESTER_H
#define STILLSET_GUI_TONAL_REQUESTER_H

#include "gadget_route.h"

#include "host/hxscenes.h"

#include <cstdint>

// 0 when the requester stands, -1 when it could not be opened.
int32_t openTonalRequester(int32_t brightness, int32_t contrast, int32_t saturation, int32_t gamma);
// Opens the requester on the photo's tone and shows the photo in it.
void startTonalEdit(PhotoEntry* photo);
// A slider moved: the preview follows all four sliders; the photo keeps its tone.
void onTonalSlider();
// OK: the photo takes the sliders' tone, loses its clip and gets a new thumbnail.
void acceptTone();
void cancelTone();

// Start-up: the gadgets of an earlier session are forgotten.
void forgetTonalRequester();
// The requester's gadgets with their handlers, for the event loop.
GadgetRoutes tonalRoutes();

#endif
