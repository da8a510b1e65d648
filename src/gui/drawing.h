// Host pictures and catalogue images put on screen through the GUI toolkit.
#ifndef STILLSET_GUI_DRAWING_H
#define STILLSET_GUI_DRAWING_H

#include "host/hxgui.h"
#include "host/hxopcommon.h"

void drawResImageScaled(UgWindow* window, const ResImage* image, int32_t x, int32_t y, int32_t width, int32_t height);
// Draws a host picture centred in the rectangle of the toolkit's current target (a grid cell).
void drawImageFitted(const OpImage* image, int32_t x, int32_t y, int32_t width, int32_t height);
// Clears the area, frames and draws a host picture centred in the rectangle of `window`.
void drawPreviewImage(const OpImage* image, UgWindow* window, int32_t x, int32_t y, int32_t width, int32_t height);
// The photo grid's cell painter.
void paintThumbnailCell(const UgItem* item, int32_t x0, int32_t y0, int32_t x1, int32_t y1);
// The ready (1) or not-ready icon right of the create button.
void drawStatusIcon(int32_t ready);
// The same, ready when there are photos and every one has its clip.
void updateReadyIcon();

#endif
