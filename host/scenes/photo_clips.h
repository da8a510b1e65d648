// Photo clips as an export plays them: the export says how the tool's requests for a clip's still
// are answered, for the length of each call it makes.
#ifndef HX_PHOTO_CLIPS_H
#define HX_PHOTO_CLIPS_H

#include "host/hxopcommon.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hx {

// An export asks for each still once a scene, so none is kept; the still of the scene after the one
// opening (`next`, empty for none) starts to decode as that scene's own is taken, when memory for
// it is already held.
struct ExportStills {
    std::string next;
};

// hxhost::photoClipField and photoClipPicture with the stills taken as `stills` says.
OpImage* photoClipField(uint32_t clipItem, int32_t selector, const ExportStills& stills);
OpImage* photoClipPicture(uint32_t clipItem, const ExportStills& stills);

// The file of the photo a photo clip shows, alone in the list; empty when the clip shows none.
std::vector<std::string> stillOfClip(uint32_t clipItem);

// The stills of the export whose clip is being rendered on this thread; null outside such a call.
const ExportStills* exportStillsOfCall();

} // namespace hx

#endif
