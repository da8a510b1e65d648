// The crop requester: shows a picture with a rectangle and lets the user draw a new one.
#include "host/hxreq.h"

#include "gui/colour.h"
#include "gui/font.h"
#include "gui/requesters/modal_window.h"
#include "gui/screen.h"
#include "image/images.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Where the picture stands in the requester's content and at what scale.
struct PictureView {
    int32_t x = 0, y = 0, width = 0, height = 0;
    double scaleX = 1, scaleY = 1; // screen pixels per picture pixel
};

// The picture as wide as it looks (its pixel aspect against the screen's), fitted into the box.
PictureView fitPicture(const OpImage& picture, int32_t pictureAspect, int32_t screenAspect, int32_t boxW, int32_t boxH)
{
    const double aspect = pictureAspect > 0 && screenAspect > 0 ? static_cast<double>(pictureAspect) / screenAspect : 1.0;
    const double shownW = picture.width * aspect, shownH = picture.height;
    const double scale = std::min(boxW / shownW, boxH / shownH);
    PictureView view;
    view.width = std::max(1, static_cast<int32_t>(shownW * scale));
    view.height = std::max(1, static_cast<int32_t>(shownH * scale));
    view.scaleX = static_cast<double>(view.width) / picture.width;
    view.scaleY = static_cast<double>(view.height) / picture.height;
    return view;
}

uint32_t dimmed(uint32_t rgb)
{
    return (rgb >> 1) & 0x7F7F7F; // outside the rectangle the picture is shown at half brightness
}

// The picture scaled into the view, dimmed outside the rectangle, the rectangle framed.
void drawPicture(const hx::Canvas& canvas, const OpImage& picture, const PictureView& view, const hx::Rect& crop)
{
    OpImage* shown = picture.format == OP_FORMAT_YUVA ? hx::newImage(view.width, view.height, OP_FORMAT_YUVA) : nullptr;
    if (!shown) {
        canvas.fill({view.x, view.y, view.x + view.width - 1, view.y + view.height - 1}, hx::guiColour(hx::kColourEmptyCell));
    } else {
        hx::scaleInto(&picture, shown);
        for (int32_t row = 0; row < view.height; ++row) {
            const uint8_t* pixels = shown->planes[0] + static_cast<size_t>(row) * view.width * 4;
            for (int32_t col = 0; col < view.width; ++col) {
                uint32_t word;
                std::memcpy(&word, pixels + 4 * col, 4);
                const uint32_t rgb = hx::yuvToArgb(word) & 0xFFFFFF;
                const bool inside = col >= crop.x0 && col <= crop.x1 && row >= crop.y0 && row <= crop.y1;
                canvas.put(view.x + col, view.y + row, inside ? rgb : dimmed(rgb));
            }
        }
        hx::freeImage(shown);
    }
    if (!crop.empty()) {
        const hx::Rect frame{view.x + crop.x0, view.y + crop.y0, view.x + crop.x1, view.y + crop.y1};
        const uint32_t accent = hx::guiColour(hx::kColourAccent);
        canvas.fill({frame.x0, frame.y0, frame.x1, frame.y0 + 1}, accent);
        canvas.fill({frame.x0, frame.y1 - 1, frame.x1, frame.y1}, accent);
        canvas.fill({frame.x0, frame.y0, frame.x0 + 1, frame.y1}, accent);
        canvas.fill({frame.x1 - 1, frame.y0, frame.x1, frame.y1}, accent);
    }
}

// The rectangle of picture pixels in view pixels, clipped to the view; empty when it misses it.
hx::Rect cropInView(const UReqImageRequest& request, const PictureView& view)
{
    const double x0 = static_cast<int16_t>(request.x), y0 = static_cast<int16_t>(request.y);
    const hx::Rect r{static_cast<int32_t>(x0 * view.scaleX), static_cast<int32_t>(y0 * view.scaleY),
                 static_cast<int32_t>((x0 + request.width) * view.scaleX) - 1,
                 static_cast<int32_t>((y0 + request.height) * view.scaleY) - 1};
    return r.intersect(hx::Rect{0, 0, view.width - 1, view.height - 1});
}

std::u16string numbers(const UReqImageRequest& request)
{
    const std::string text = "x " + std::to_string(static_cast<int16_t>(request.x)) + "   y " +
                             std::to_string(static_cast<int16_t>(request.y)) + "   " + std::to_string(request.width) +
                             " x " + std::to_string(request.height);
    return std::u16string(text.begin(), text.end());
}

} // namespace

extern "C" int32_t ureqImageRequest(UReqImageRequest* request) HX_ENTRY
{
    if (hx::shouldFail("ureqImageRequest") || !request || !hx::isLiveImage(request->picture))
        return -1;
    hxhost::ImageRequestSeen seen;
    seen.x = static_cast<int16_t>(request->x);
    seen.y = static_cast<int16_t>(request->y);
    seen.width = request->width;
    seen.height = request->height;
    seen.pictureWidth = request->picture->width;
    seen.pictureHeight = request->picture->height;
    seen.pictureAspect = request->pictureAspect;
    seen.screenAspect = request->screenAspect;

    const hx::ScreenConfig& screen = hx::screenConfig();
    const int32_t margin = hx::convertWidth(12), caption = hx::fontHeight() + hx::convertHeight(8);
    PictureView view = fitPicture(*request->picture, request->pictureAspect, request->screenAspect,
                                  screen.width * 2 / 3, screen.height * 2 / 3);
    const int32_t width = std::max(view.width + 2 * margin, hx::convertWidth(360));
    view.x = (width - view.width) / 2;
    view.y = margin;
    const int32_t height = view.y + view.height + caption + hx::modalButtonHeight() + hx::convertWidth(6) + margin;
    {
        hx::ModalWindow shown(u"Crop", width, height);
        if (shown.open()) {
            drawPicture(shown.canvas(), *request->picture, view, cropInView(*request, view));
            hx::drawText(shown.canvas(), margin, view.y + view.height + hx::convertHeight(4), numbers(*request),
                         hx::guiColour(hx::kColourText));
            shown.addButtons({u"OK", u"Cancel"});
            shown.shown();
        }
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
    }
    hx::state().imageRequests.push_back(seen);
    return 0;
}
HX_ENTRY_FAILS(-1)

namespace hxhost {

std::vector<ImageRequestSeen> imageRequestsSeen()
{
    return hx::state().imageRequests;
}

} // namespace hxhost
