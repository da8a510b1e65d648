// The crop editor: the host's image requester shows the turned, mirrored and toned picture with
// the crop rectangle, and the user's new rectangle is stored back in the photo's own coordinates.
#ifndef STILLSET_GUI_CROP_EDITOR_H
#define STILLSET_GUI_CROP_EDITOR_H

#include "host/hxscenes.h"

// 0 when the requester ran (accepted or not), -1 when the picture cannot be fetched or the
// requester cannot be shown; the crop rectangle then stays as it was.
int32_t editCrop(PhotoEntry* photo);

#endif
