#include "drawing.h"

#include "layout_units.h"
#include "main_window.h"
#include "pixel_conversion.h"
#include "stillset/log.h"
#include "stillset/session.h"

#include "host/hxscenes.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t kGuiFillColour = 19;

// The session's scaler, or the host's when none is bound.
ImageScaler scaler()
{
    return session.imageScaler ? session.imageScaler : &opScaleImage;
}

void fillWithGuiColour(UgWindow* target, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    ugSetColorYUV(ugGetNewGuiColorYUV(kGuiFillColour));
    ugRectFill(target, left, top, right, bottom);
}

// Which of the two fitted-picture routines runs, and the log lines that tell them apart.
struct FittedTarget {
    UgWindow* window;
    int noGuiImage, noScaleTarget, noConversion;
};

void drawFitted(const OpImage* image, const FittedTarget& target, int32_t x, int32_t y, int32_t w, int32_t h,
                bool preview)
{
    const int32_t monitor = ugGetDefaultMonitor();
    ugDisableRefresh(monitor);
    const int32_t iw = image->width, ih = image->height;
    const int32_t left = x + (((w - iw) / 2) & ~1), top = y + (h - ih) / 2;
    const int32_t right = left + iw - 1, bottom = top + ih - 1;
    if (preview) {
        ugFillBackground(target.window, x - 10, y - 4, x + w + 9, y + h + 3, 2, 0);
        ugDrawBoxNew(target.window, left - 4, top - 4, right + 4, bottom + 4, 11, 0, 0, 0);
    }
    UgImage* g = ugAllocImage(UG_IMAGE_KIND_YUV24, iw, ih);
    if (!g) {
        loggerMessage(HXLOG_FAILURE, target.noGuiImage, kGuiSource, kStillsetModule, " ");
        fillWithGuiColour(target.window, left, top, right, bottom);
        ugEnableRefresh(monitor);
        return;
    }
    // Callers pass format 1; anything else is converted on a copy, which is then ours to free.
    OpImage* copy = nullptr;
    const OpImage* src = image;
    if (image->format != OP_FORMAT_YUVA) {
        OpImage* clone = opCloneImage(image, 0);
        copy = clone ? opConvertImage(clone, OP_FORMAT_YUVA, 0) : nullptr;
        if (!copy || copy->format != OP_FORMAT_YUVA) {
            opFreeImage(copy ? copy : clone); // a failed conversion hands the clone back
            copy = nullptr;
            loggerMessage(HXLOG_FAILURE, target.noConversion, kGuiSource, kStillsetModule, " ");
            fillWithGuiColour(target.window, left, top, right, bottom);
            ugFreeImage(g);
            ugEnableRefresh(monitor);
            return;
        }
        src = copy;
    }
    if (src->width != iw || src->height != ih) {
        OpImage* resized = opAllocImage(iw, ih, OP_FORMAT_YUVA, 0);
        if (!resized || scaler()(src, resized, 1) == -1) {
            if (!resized)
                loggerMessage(HXLOG_FAILURE, target.noScaleTarget, kGuiSource, kStillsetModule, " ");
            opFreeImage(resized);
            opFreeImage(copy);
            fillWithGuiColour(target.window, left, top, right, bottom);
            ugFreeImage(g);
            ugEnableRefresh(monitor);
            return;
        }
        opFreeImage(copy);
        copy = resized;
        src = resized;
    }
    const size_t count = static_cast<size_t>(iw) * ih;
    for (size_t i = 0; i < count; ++i)
        std::memcpy(g->pixels + 3 * i, src->planes[0] + 4 * i + 1, 3);
    if (ugGetDefaultMonitor() != 2)
        guiImageYuvToRgb(g);
    opFreeImage(copy);
    ugWriteImage(target.window, g, left, top);
    ugFreeImage(g);
    ugEnableRefresh(monitor);
}

// Image 25 sized for an area `height` high: from the scaling loader when the host has it.
const ResImage* leftOutMark(int32_t height)
{
    if (session.scaledImageLoader)
        return session.scaledImageLoader(session.imageCatalogue, 25, 0, height, 2);
    return resGetImage(session.imageCatalogue, 25);
}

} // namespace

void drawResImageScaled(UgWindow* window, const ResImage* image, int32_t x, int32_t y, int32_t width, int32_t height)
{
    UgImage* src = resImageToYuv(image);
    if (!src) {
        GUI_LOG(HXLOG_FAILURE);
        return;
    }
    UgImage* dst = ugAllocImage(UG_IMAGE_KIND_32, width, height);
    if (!dst) {
        GUI_LOG(HXLOG_FAILURE);
        ugFreeImage(src);
        return;
    }
    // Host image headers lent the GUI images' pixels, so that the host's scaler can work on them.
    OpImage* from = opAllocImage(src->width, src->height, OP_FORMAT_YUVA, OP_ALLOC_NO_PIXELS);
    if (!from)
        GUI_LOG(HXLOG_FAILURE);
    OpImage* to = from ? opAllocImage(width, height, OP_FORMAT_YUVA, OP_ALLOC_NO_PIXELS) : nullptr;
    if (from && !to)
        GUI_LOG(HXLOG_FAILURE);
    if (!to) {
        opFreeImage(from);
        ugFreeImage(src);
        ugFreeImage(dst);
        return;
    }
    from->planes[0] = src->pixels;
    to->planes[0] = dst->pixels;
    scaler()(from, to, 0);
    from->planes[0] = to->planes[0] = nullptr;
    opFreeImage(from);
    opFreeImage(to);
    ugFreeImage(src);
    dst->format = UG_FORMAT_YUV32;
    if (ugGetDefaultMonitor() == 2) {
        ugWriteImage(window, dst, x, y);
    } else {
        UgImage* shown = ugGetVGAScreenFormat() ? guiImageToArgb(dst) : guiImageToRgb565(dst);
        if (shown) {
            ugWriteImage(window, shown, x, y);
            std::free(shown->pixels);
            std::free(shown);
        }
    }
    ugFreeImage(dst);
}

void drawImageFitted(const OpImage* image, int32_t x, int32_t y, int32_t width, int32_t height)
{
    const FittedTarget cell{nullptr,
                            __LINE__,  // no GUI image
                            __LINE__,  // no scale target
                            __LINE__}; // no conversion
    drawFitted(image, cell, x, y, width, height, false);
}

void drawPreviewImage(const OpImage* image, UgWindow* window, int32_t x, int32_t y, int32_t width, int32_t height)
{
    const FittedTarget preview{window,
                               __LINE__,  // no GUI image
                               __LINE__,  // no scale target
                               __LINE__}; // no conversion
    drawFitted(image, preview, x, y, width, height, true);
}

void paintThumbnailCell(const UgItem* item, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    const PhotoEntry* photo = nullptr;
    for (auto* entry = static_cast<const PhotoEntry*>(ListFirst(&session.photoList)); entry && item;
         entry = static_cast<const PhotoEntry*>(ListNext(entry)))
        if (entry->id == item->user) {
            photo = entry;
            break;
        }
    // An item without its photo is painted like a photo without its thumbnail.
    if (!photo || !photo->thumbnail) {
        fillWithGuiColour(nullptr, x0, y0, x1, y1);
        return;
    }
    drawImageFitted(photo->thumbnail, x0, y0, x1 - x0 + 1, y1 - y0 + 1);
    if (photo->included)
        return;
    if (const ResImage* mark = leftOutMark(((y1 - y0) / 3) & ~1)) {
        int32_t dx = static_cast<int16_t>((x1 - mark->width - x0 + 1) / 2);
        int32_t dy = static_cast<int16_t>((y1 - mark->height - y0 + 1) / 2);
        dx -= dx & 1;
        dy -= dy & 1;
        ugWriteResImage(nullptr, mark, x0 + dx, y0 + dy);
    }
}

void drawStatusIcon(int32_t ready)
{
    const ResImage* icon = resGetImage(session.imageCatalogue, ready == 1 ? 32 : 33);
    UgWindow* window = mainWindow();
    if (!icon || !window)
        return;
    int16_t iw = static_cast<int16_t>(icon->width), ih = static_cast<int16_t>(icon->height);
    opCalcDims(&iw, &ih, 1000, 1000, ugGetFontHeight(), ugGetPixelAspect(4), 4);
    const RowMeasures m = rowMeasures();
    int32_t dy = (m.FH + m.AH + 4 - ih) / 2;
    dy -= dy & 1;
    const int32_t sx = statusIconPos.x, sy = statusIconPos.y;
    ugFillBackground(window, sx, sy + dy, sx + iw - 1, sy + dy + ih - 1, 2, 0);
    drawResImageScaled(window, icon, sx, sy + dy, iw, ih);
}

void updateReadyIcon()
{
    bool ready = ListCount(&session.photoList) != 0;
    for (auto* photo = static_cast<PhotoEntry*>(ListFirst(&session.photoList)); photo && ready;
         photo = static_cast<PhotoEntry*>(ListNext(photo)))
        ready = photo->clip != 0;
    drawStatusIcon(ready ? 1 : 0);
}
