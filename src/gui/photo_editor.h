// The photo editor: one photo large, with its own turn, mirror, crop, tone and include buttons,
// stepping to the previous and next photo of the list.
#ifndef STILLSET_GUI_PHOTO_EDITOR_H
#define STILLSET_GUI_PHOTO_EDITOR_H

#include "gadget_route.h"

#include "host/hxscenes.h"

#include <cstdint>

// 0 when the requester stands, -1 when it could not be opened.
int32_t openPhotoEditor();
// The editor's counterpart of refreshPhoto: new thumbnail and preview, and the clip is gone.
void refreshEditedPhoto(PhotoEntry* photo);
// A photo that is about to be freed (null: every photo) is no longer edited by either requester.
void forgetEditedPhoto(const PhotoEntry* photo);

void onEditorNext();
void onEditorPrevious();
void onEditorInclude();
void onEditorExclude();
void onEditorMirror();
void onEditorRotate90();
void onEditorRotate270();
void onEditorCrop();
void onEditorTonal();
// OK: the editor closes and the main window's grid, preview and ready icon catch up.
void closePhotoEditor();

// Start-up: the gadgets of an earlier session are forgotten.
void forgetPhotoEditor();
// The requester's gadgets with their handlers, for the event loop.
GadgetRoutes photoEditorRoutes();

#endif
