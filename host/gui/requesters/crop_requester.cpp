// The crop requester: shows a picture with a rectangle and lets the user draw a new one.
#include "host/hxreq.h"

#include "image/images.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

#include <algorithm>

extern "C" int32_t ureqImageRequest(UReqImageRequest* request) HX_ENTRY
{
    if (hx::shouldFail("ureqImageRequest") || !request || !hx::isLiveImage(request->picture))
        return -1;
    hxhost::ImageRequestSeen seen;
    seen.x = request->x;
    seen.y = request->y;
    seen.width = request->width;
    seen.height = request->height;
    seen.pictureWidth = request->picture->width;
    seen.pictureHeight = request->picture->height;
    seen.pictureAspect = request->pictureAspect;
    seen.screenAspect = request->screenAspect;
    hx::HostState& host = hx::state();
    const hxhost::CropAnswer answer = host.user ? host.user->answerImageRequest(seen) : hxhost::CropAnswer{};
    seen.answer = answer.accept ? 1 : 0;
    request->answer = seen.answer;
    if (answer.accept && !answer.keepShown) {
        // The rectangle as drawn, never smaller than the requester allows; the caller cuts it to the picture.
        request->x = static_cast<uint16_t>(static_cast<int16_t>(std::clamp(answer.x, -32768, 32767)));
        request->y = static_cast<uint16_t>(static_cast<int16_t>(std::clamp(answer.y, -32768, 32767)));
        request->width = static_cast<uint16_t>(std::clamp<int32_t>(answer.width, request->minWidth, 32767));
        request->height = static_cast<uint16_t>(std::clamp<int32_t>(answer.height, request->minHeight, 32767));
    }
    host.imageRequests.push_back(seen);
    return 0;
}
HX_ENTRY_FAILS(-1)

namespace hxhost {

std::vector<ImageRequestSeen> imageRequestsSeen()
{
    return hx::state().imageRequests;
}

} // namespace hxhost
