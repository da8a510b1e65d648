// The pictures the user sees while working: thumbnails and the three previews.
#ifndef STILLSET_GUI_PREVIEWS_H
#define STILLSET_GUI_PREVIEWS_H

#include "host/hxgui.h"
#include "host/hxscenes.h"

struct ScreenRect;

void buildThumbnail(PhotoEntry* photo);
// Builds every missing thumbnail of photoList under a progress meter.
void buildMissingThumbnails();
void drawMainPreview(PhotoEntry* photo);
void drawTonalPreview(const PhotoEntry* photo, int32_t brightness, int32_t contrast, int32_t saturation, int32_t gamma);
void drawEditorPreview(const PhotoEntry* photo);

// Where the tonal requester and the photo editor show their photo; set when they are built.
extern ScreenRect tonalPreviewRect;
extern ScreenRect editorPreviewRect;

#endif
