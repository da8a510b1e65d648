// The import's small copies of its stills, kept for the tool's thumbnails and previews, so that the
// tool's session never decodes a photo at full size. They wait in an unlinked file in the project,
// not in memory, however many photos there are. A reset or another project drops them.
#ifndef HX_REDUCED_STILLS_H
#define HX_REDUCED_STILLS_H

#include "host/hxopcommon.h"
#include "image/decode/still_decode.h"

#include <string>

namespace hx {

// Keeps a copy of the still decoded for `file`, made smaller when it is more than the tool needs;
// false when it cannot be stored (the tool then decodes the file as before).
bool keepReducedStill(const std::string& file, const DecodedStill& decoded);
// A new image of the full picture's size, enlarged from the copy kept at the current standard's
// colours; null when none is kept, or the file has changed since.
OpImage* enlargedReducedStill(const std::string& file);
// Drops every kept copy.
void forgetReducedStills();

} // namespace hx

#endif
