// The crop requester: shows a picture with a rectangle and lets the user draw a new one.
#include "host/hxreq.h"

#include "gui/requesters/crop_requester.h"

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
#include <vector>

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

std::u16string numbers(const hx::CropRectangle& r)
{
    const std::string text = "x " + std::to_string(r.x) + "   y " + std::to_string(r.y) + "   " + std::to_string(r.width) +
                             " x " + std::to_string(r.height);
    return std::u16string(text.begin(), text.end());
}

// The requester's window with the picture scaled once, redrawn whenever its rectangle changes.
class CropWindow final : public hx::StandingCrop {
public:
    CropWindow(const UReqImageRequest& request, const PictureView& view, int32_t width, int32_t height, int32_t margin)
        : request_(request), view_(view), margin_(margin), shown_(u"Crop", width, height)
    {
        const OpImage& picture = *request.picture;
        if (picture.format != OP_FORMAT_YUVA)
            return;
        if (OpImage* scaled = hx::newImage(view.width, view.height, OP_FORMAT_YUVA)) {
            hx::scaleInto(&picture, scaled);
            rgb_.resize(static_cast<size_t>(view.width) * view.height);
            for (size_t i = 0; i < rgb_.size(); ++i) {
                uint32_t word;
                std::memcpy(&word, scaled->planes[0] + 4 * i, 4);
                rgb_[i] = hx::yuvToArgb(word) & 0xFFFFFF;
            }
            hx::freeImage(scaled);
        }
    }

    bool open() const { return shown_.open(); }
    void addButtons() { shown_.addButtons({u"Cancel", u"OK"}, 1, 0); }

    hx::Rect pictureOnScreen() const override
    {
        const UgWindow& w = *shown_.window();
        const int32_t x = w.x + w.contentX + view_.x, y = w.y + w.contentY + view_.y;
        return {x, y, x + view_.width - 1, y + view_.height - 1};
    }
    int32_t pictureWidth() const override { return request_.picture->width; }
    int32_t pictureHeight() const override { return request_.picture->height; }
    int32_t minimumWidth() const override { return std::max<int32_t>(1, request_.minWidth); }
    int32_t minimumHeight() const override { return std::max<int32_t>(1, request_.minHeight); }

    void show(const hx::CropRectangle& rectangle) override
    {
        if (!shown_.open())
            return;
        const hx::Canvas canvas = shown_.canvas();
        drawPicture(canvas, inView(rectangle));
        const int32_t captionY = view_.y + view_.height + hx::convertHeight(4);
        canvas.fill({0, captionY, shown_.window()->contentWidth - 1, captionY + hx::fontHeight()}, hx::guiColour(hx::kColourWindow));
        hx::drawText(canvas, margin_, captionY, numbers(rectangle), hx::guiColour(hx::kColourText));
        shown_.shown();
    }

private:
    // The picture dimmed outside the rectangle, the rectangle framed.
    void drawPicture(const hx::Canvas& canvas, const hx::Rect& crop) const
    {
        if (rgb_.empty()) {
            canvas.fill({view_.x, view_.y, view_.x + view_.width - 1, view_.y + view_.height - 1}, hx::guiColour(hx::kColourEmptyCell));
        } else {
            for (int32_t row = 0; row < view_.height; ++row)
                for (int32_t col = 0; col < view_.width; ++col) {
                    const uint32_t rgb = rgb_[static_cast<size_t>(row) * view_.width + col];
                    const bool inside = col >= crop.x0 && col <= crop.x1 && row >= crop.y0 && row <= crop.y1;
                    canvas.put(view_.x + col, view_.y + row, inside ? rgb : dimmed(rgb));
                }
        }
        if (!crop.empty()) {
            const hx::Rect frame{view_.x + crop.x0, view_.y + crop.y0, view_.x + crop.x1, view_.y + crop.y1};
            const uint32_t accent = hx::guiColour(hx::kColourAccent);
            canvas.fill({frame.x0, frame.y0, frame.x1, frame.y0 + 1}, accent);
            canvas.fill({frame.x0, frame.y1 - 1, frame.x1, frame.y1}, accent);
            canvas.fill({frame.x0, frame.y0, frame.x0 + 1, frame.y1}, accent);
            canvas.fill({frame.x1 - 1, frame.y0, frame.x1, frame.y1}, accent);
        }
    }

    // The rectangle of picture pixels in view pixels, clipped to the view; empty when it misses it.
    hx::Rect inView(const hx::CropRectangle& r) const
    {
        const hx::Rect shown{static_cast<int32_t>(r.x * view_.scaleX), static_cast<int32_t>(r.y * view_.scaleY),
                             static_cast<int32_t>((static_cast<double>(r.x) + r.width) * view_.scaleX) - 1,
                             static_cast<int32_t>((static_cast<double>(r.y) + r.height) * view_.scaleY) - 1};
        return shown.intersect(hx::Rect{0, 0, view_.width - 1, view_.height - 1});
    }

    const UReqImageRequest& request_;
    PictureView view_;
    int32_t margin_;
    hx::ModalWindow shown_;
    std::vector<uint32_t> rgb_; // the picture at its shown size
};

CropWindow*& standing()
{
    static CropWindow* shown = nullptr;
    return shown;
}

// The crop window stands for others to find while the user answers.
class Standing {
public:
    explicit Standing(CropWindow& shown) { standing() = shown.open() ? &shown : nullptr; }
    ~Standing() { standing() = nullptr; }
    Standing(const Standing&) = delete;
    Standing& operator=(const Standing&) = delete;
};

} // namespace

namespace hx {

StandingCrop* standingCrop()
{
    return standing();
}

} // namespace hx

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
        CropWindow shown(*request, view, width, height, margin);
        if (shown.open()) {
            shown.show({seen.x, seen.y, seen.width, seen.height});
            shown.addButtons();
        }
        const Standing standingWhileAnswered(shown);
        if (shown.open()) {
            const hx::Rect area = shown.pictureOnScreen();
            seen.shownX = area.x0;
            seen.shownY = area.y0;
            seen.shownWidth = area.width();
            seen.shownHeight = area.height();
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
