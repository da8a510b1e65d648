#include "fit_and_pad.h"

#include "log.h"

#include "host/hxgx.h"
#include "host/hximp.h"

#include <algorithm>
#include <cstdio>

namespace {

// The fitted picture in format 7 on its way into the pad filter.
struct Fitted {
    OpImage* result = nullptr;   // set when the steps ended early: what the caller gets
    OpImage* yuv420 = nullptr;   // the fitted picture, format 7
    ImpFilter* filter = nullptr; // holds the padded picture
};

// Raises an odd size to the next even one.
int32_t even(int32_t size)
{
    return size + (size & 1);
}

// Fits, scales, converts to format 7 and puts the picture through a pad filter that centres it
// in the target's shape.
Fitted fitIntoPad(OpImage* input, int16_t targetWidth, int16_t targetHeight, uint16_t targetAspect)
{
    Fitted fitted;
    int16_t w = input->width, h = input->height;
    opCalcDims(&w, &h, input->aspect, targetWidth, targetHeight, targetAspect, 4);
    OpImage* scaled = opAllocImage(w, h, input->format, 0);
    if (!scaled) {
        STILLSET_LOG(HXLOG_FAILURE);
        fitted.result = input;
        return fitted;
    }
    scaled->aspect = 1000;
    if (opScaleImage(input, scaled, 0) == -1) {
        STILLSET_LOG(HXLOG_FAILURE);
        opFreeImage(input);
        gxSetImage(scaled, OP_VIDEO_BLACK, 0);
        fitted.result = scaled;
        return fitted;
    }
    OpImage* c = opConvertImage(scaled, OP_FORMAT_YUV420, 0);
    if (!c || c->format != OP_FORMAT_YUV420) {
        // No format 7 to pad (the host hands the argument back): the fitted picture is the best there is.
        STILLSET_LOG(HXLOG_FAILURE);
        opFreeImage(input);
        fitted.result = c ? c : scaled;
        return fitted;
    }
    const int32_t cw = c->width, ch = c->height;
    const double shape = static_cast<double>(targetWidth) / targetHeight;
    int32_t paddedWidth, paddedHeight;
    if (h == targetHeight) {
        paddedWidth = even(static_cast<int32_t>(shape * ch));
        paddedHeight = ch;
    } else {
        paddedWidth = cw;
        paddedHeight = even(static_cast<int32_t>(cw / shape));
    }
    // A fit smaller than the box on both sides must not give a border of negative width.
    paddedWidth = std::max(paddedWidth, even(cw));
    paddedHeight = std::max(paddedHeight, even(ch));
    const long left = (paddedWidth - w) / 2, top = (paddedHeight - h) / 2;

    char description[128];
    std::snprintf(description, sizeof description, "pad=width=%d:height=%d:x=%ld:y=%ld", paddedWidth, paddedHeight,
                  left, top);
    const ImpFilterParams params{36, cw, ch, 1, 25, 1000, 1000, 0, 0};
    fitted.filter = imp_filter_create(&params, description);
    if (!fitted.filter) {
        STILLSET_LOG(HXLOG_FAILURE);
        opFreeImage(c);
        fitted.result = input;
        return fitted;
    }
    if (imp_filter_put_frame(fitted.filter, c, 0) == -1) {
        STILLSET_LOG(HXLOG_FAILURE);
        imp_filter_destroy(fitted.filter);
        fitted.filter = nullptr;
        opFreeImage(c);
        fitted.result = input;
        return fitted;
    }
    fitted.yuv420 = c;
    return fitted;
}

// The converted picture replaces the input; without a conversion the input goes on.
OpImage* finish(OpImage* input, OpImage* picture)
{
    OpImage* converted = opConvertImage(picture, OP_FORMAT_YUVA, 0);
    if (!converted || converted->format != OP_FORMAT_YUVA) {
        STILLSET_LOG(HXLOG_FAILURE);
        opFreeImage(converted ? converted : picture);
        return input;
    }
    opFreeImage(input);
    return converted;
}

} // namespace

OpImage* scaleAndPad(OpImage* image, int16_t targetWidth, int16_t targetHeight, uint16_t targetAspect)
{
    if (!image || targetWidth <= 0 || targetHeight <= 0)
        return image;
    Fitted fitted = fitIntoPad(image, targetWidth, targetHeight, targetAspect);
    if (fitted.result)
        return fitted.result;
    opFreeImage(fitted.yuv420);
    OpImage* padded = imp_filter_get_frame(fitted.filter, 0);
    imp_filter_destroy(fitted.filter);
    if (!padded) {
        STILLSET_LOG(HXLOG_FAILURE);
        return image;
    }
    return finish(image, padded);
}

OpImage* scaleForPreview(OpImage* image, int16_t targetWidth, int16_t targetHeight, uint16_t targetAspect)
{
    if (!image || targetWidth <= 0 || targetHeight <= 0)
        return image;
    Fitted fitted = fitIntoPad(image, targetWidth, targetHeight, targetAspect);
    if (fitted.result)
        return fitted.result;
    OpImage* padded = imp_filter_get_frame(fitted.filter, 0);
    imp_filter_destroy(fitted.filter);
    if (!padded) {
        STILLSET_LOG(HXLOG_FAILURE);
        opFreeImage(fitted.yuv420);
        return image;
    }
    opFreeImage(padded);
    return finish(image, fitted.yuv420);
}
