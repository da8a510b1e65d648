#include "crop_editor.h"

#include "stillset/photo_fetch.h"
#include "stillset/photo_geometry.h"
#include "stillset/tone.h"

#include "host/hxgui.h"
#include "host/hxreq.h"

#include <cstring>

namespace {

struct CropRect {
    uint16_t x, y, width, height;
};

CropRect cropOf(const PhotoEntry& photo)
{
    return {photo.cropX, photo.cropY, photo.cropWidth, photo.cropHeight};
}

void setCrop(PhotoEntry& photo, const CropRect& rect)
{
    photo.cropX = rect.x;
    photo.cropY = rect.y;
    photo.cropWidth = rect.width;
    photo.cropHeight = rect.height;
}

uint16_t evenUp(uint16_t value)
{
    return static_cast<uint16_t>(value + (value & 1));
}

int16_t evenDown(uint16_t value)
{
    return static_cast<int16_t>(static_cast<int16_t>(value) & ~1);
}

// The mirrored picture shows the rectangle at the other side.
void mirrorCrop(PhotoEntry& photo, int16_t turnedWidth)
{
    photo.cropX = static_cast<uint16_t>(turnedWidth - photo.cropWidth - photo.cropX);
}

// The user's rectangle, even and cut to the turned picture; false when nothing of it is left.
bool takeAnswer(PhotoEntry& photo, const UReqImageRequest& request, int16_t turnedWidth, int16_t turnedHeight)
{
    const int16_t x = evenDown(request.x), y = evenDown(request.y);
    int16_t width = evenDown(request.width), height = evenDown(request.height);
    const int16_t left = x < 0 ? 0 : x, top = y < 0 ? 0 : y;
    if (left + width > turnedWidth)
        width = static_cast<int16_t>(turnedWidth - left);
    if (top + height > turnedHeight)
        height = static_cast<int16_t>(turnedHeight - top);
    if (width <= 0 || height <= 0)
        return false;
    setCrop(photo, {static_cast<uint16_t>(left), static_cast<uint16_t>(top), static_cast<uint16_t>(width),
                    static_cast<uint16_t>(height)});
    return true;
}

} // namespace

int32_t editCrop(PhotoEntry* photo)
{
    OpImage* picture = fetchPhotoImage(photo);
    if (!picture)
        return -1;
    const CropRect before = cropOf(*photo);
    const uint16_t W = static_cast<uint16_t>(picture->width), H = static_cast<uint16_t>(picture->height);
    picture = rotateImage(picture, static_cast<int16_t>(photo->rotation));
    const int16_t TW = picture->width, TH = picture->height;
    mapCropToTurned(photo, W, H);
    toneCorrect(picture, photo->brightness, photo->contrast, photo->saturation, photo->gamma);
    if (photo->mirrored == 1) {
        mirrorImage(picture);
        mirrorCrop(*photo, TW);
    }

    UReqImageRequest request;
    std::memset(&request, 0, sizeof request);
    request.minWidth = request.minHeight = 10;
    request.maxWidth = request.maxHeight = 999;
    request.x = photo->cropX == 0 ? 0 : evenUp(photo->cropX);
    request.y = photo->cropY == 0 ? 0 : evenUp(photo->cropY);
    request.width = evenUp(photo->cropWidth);
    request.height = evenUp(photo->cropHeight);
    request.picture = picture;
    request.pictureAspect = static_cast<int16_t>(picture->aspect);
    request.screenAspect = static_cast<int16_t>(ugGetPixelAspect(4));
    const int32_t result = ureqImageRequest(&request);
    opFreeImage(picture);
    // Cancelled, refused, or a rectangle wholly off the picture: the photo keeps its crop exactly.
    if (result == -1 || request.answer != 1 || !takeAnswer(*photo, request, TW, TH)) {
        setCrop(*photo, before);
        return result == -1 ? -1 : 0;
    }
    if (photo->mirrored == 1)
        mirrorCrop(*photo, TW);
    mapCropFromTurned(photo, W, H);
    return 0;
}
