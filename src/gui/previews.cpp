#include "previews.h"

#include "drawing.h"
#include "main_window.h"
#include "string_ids.h"
#include "stillset/fit_and_pad.h"
#include "stillset/photo_fetch.h"
#include "stillset/photo_geometry.h"
#include "stillset/session.h"
#include "stillset/tone.h"

#include "host/hxreq.h"

#include <cstring>

ScreenRect tonalPreviewRect;
ScreenRect editorPreviewRect;

namespace {

struct Tone {
    int32_t brightness, contrast, saturation, gamma;
};

// The output chain fitted into an area of the screen; left-out photos get a dimmed look.
OpImage* renderPreview(const PhotoEntry& photo, OpImage* picture, int16_t width, int16_t height, const Tone& tone)
{
    ugBusyPointer();
    picture = cropImage(picture, static_cast<int16_t>(photo.cropX), static_cast<int16_t>(photo.cropY),
                        static_cast<int16_t>(photo.cropWidth), static_cast<int16_t>(photo.cropHeight));
    if (photo.rotation != 0)
        picture = rotateImage(picture, photo.rotation);
    picture = scaleForPreview(picture, width, height, static_cast<uint16_t>(ugGetPixelAspect(4)));
    toneCorrect(picture, tone.brightness, tone.contrast, tone.saturation, tone.gamma);
    if (photo.mirrored == 1)
        mirrorImage(picture);
    if (photo.included == 0)
        toneCorrect(picture, 100, 30, 30, 0);
    ugStandardPointer();
    return picture;
}

Tone toneOf(const PhotoEntry& photo)
{
    return {photo.brightness, photo.contrast, photo.saturation, photo.gamma};
}

void clearArea(UgWindow* window, const ScreenRect& area)
{
    ugFillBackground(window, area.x - 4, area.y - 4, area.x + area.width + 3, area.y + area.height + 3, 2, 0);
}

void drawLeftOutMark(UgWindow* window, const ScreenRect& area)
{
    const ResImage* mark = session.scaledImageLoader
                               ? session.scaledImageLoader(session.imageCatalogue, 25, 0, (area.height / 3) & ~1, 2)
                               : resGetImage(session.imageCatalogue, 25);
    if (!mark)
        return;
    const int32_t dx = static_cast<int16_t>((area.width - mark->width) / 2) & ~1;
    const int32_t dy = static_cast<int16_t>((area.height - mark->height) / 2) & ~1;
    ugWriteResImage(window, mark, area.x + dx, area.y + dy);
}

// Draws the photo fitted into `area` of `window`, or clears the area when there is nothing to show.
void drawPreview(UgWindow* window, const ScreenRect& area, const PhotoEntry* photo, OpImage* picture, const Tone& tone,
                 bool markLeftOut)
{
    if (!photo || !picture) {
        clearArea(window, area);
        return;
    }
    picture = renderPreview(*photo, picture, area.width, area.height, tone);
    drawPreviewImage(picture, window, area.x, area.y, area.width, area.height);
    opFreeImage(picture);
    if (markLeftOut && photo->included == 0)
        drawLeftOutMark(window, area);
}

// A stored crop rectangle that no longer fits the picture is put right in the entry.
void correctCrop(PhotoEntry& photo, const OpImage& picture)
{
    if (static_cast<int16_t>(photo.cropX) >= picture.width)
        photo.cropX = 0;
    if (static_cast<int16_t>(photo.cropY) >= picture.height)
        photo.cropY = 0;
    if (static_cast<int16_t>(photo.cropX + photo.cropWidth) > picture.width)
        photo.cropWidth = static_cast<uint16_t>(picture.width - photo.cropX);
    if (static_cast<int16_t>(photo.cropY + photo.cropHeight) > picture.height)
        photo.cropHeight = static_cast<uint16_t>(picture.height - photo.cropY);
}

// The thumbnail of one photo, built in its own `thumbnail` field.
void buildInPlace(PhotoEntry& photo)
{
    photo.thumbnail = fetchPhotoImage(&photo);
    if (photo.thumbnail)
        photo.thumbnail = renderPreview(photo, photo.thumbnail, thumbWidth, thumbHeight, toneOf(photo));
}

UgWindow* windowOf(RequestSlot slot)
{
    return session.requestOpen[slot] ? session.requests[slot].window : nullptr;
}

} // namespace

void buildThumbnail(PhotoEntry* photo)
{
    if (photo && !photo->thumbnail)
        buildInPlace(*photo);
}

void buildMissingThumbnails()
{
    int32_t missing = 0;
    for (auto* photo = static_cast<PhotoEntry*>(ListFirst(&session.photoList)); photo;
         photo = static_cast<PhotoEntry*>(ListNext(photo)))
        missing += photo->thumbnail == nullptr;
    if (missing == 0)
        return;
    UReqMeter meter;
    std::memset(&meter, 0, sizeof meter);
    meter.title = resGetString(session.stringCatalogue, kStrMakingThumbnails);
    meter.titleWidth = static_cast<uint16_t>((ugTextLength(meter.title) + 1) & ~1);
    meter.steps = static_cast<uint32_t>(missing);
    meter.style = 2;
    if (ureqOpenMeter(&meter) != 0)
        return;
    ugBusyPointer();
    int32_t done = 0;
    for (auto* photo = static_cast<PhotoEntry*>(ListFirst(&session.photoList)); photo;
         photo = static_cast<PhotoEntry*>(ListNext(photo))) {
        if (photo->thumbnail)
            continue;
        buildInPlace(*photo);
        ureqUpdateMeter(&meter, 3, ++done);
    }
    ugStandardPointer();
    ureqCloseMeter(&meter);
}

void drawMainPreview(PhotoEntry* photo)
{
    OpImage* picture = photo ? fetchPhotoImage(photo) : nullptr;
    if (picture)
        correctCrop(*photo, *picture);
    drawPreview(mainWindow(), previewRect, photo, picture, photo ? toneOf(*photo) : Tone{}, true);
}

void drawTonalPreview(const PhotoEntry* photo, int32_t brightness, int32_t contrast, int32_t saturation, int32_t gamma)
{
    drawPreview(windowOf(tonalRequest), tonalPreviewRect, photo, photo ? fetchPhotoImage(photo) : nullptr,
                Tone{brightness, contrast, saturation, gamma}, false);
}

void drawEditorPreview(const PhotoEntry* photo)
{
    drawPreview(windowOf(editorRequest), editorPreviewRect, photo, photo ? fetchPhotoImage(photo) : nullptr,
                photo ? toneOf(*photo) : Tone{}, true);
}
