// One field of the moving window: the picture is taken once per instance (a still, shrunk for a
// pan, or a woven video frame), then every field scales a window of it to the full frame.
#include "pan_instance.h"

#include "host/hxlog.h"
#include "host/hxmotion.h"

#include <cmath>

// A pan never needs more of a large still than about 106 % of the frame.
void shrinkForPan(PanInstance& instance, int32_t fieldWidth, int32_t fieldHeight)
{
    OpImage* still = instance.keptPicture;
    if (still->width <= fieldWidth || still->height <= 2 * fieldHeight)
        return;
    const auto maxW = static_cast<uint16_t>(static_cast<double>(fieldWidth) / 100 * 106);
    const auto maxH = static_cast<uint16_t>(static_cast<double>(2 * fieldHeight) / 100 * 106);
    int16_t w = still->width, h = still->height;
    opCalcDims(&w, &h, 1000, maxW, 30000, 1000, 4);
    if (h < 2 * fieldHeight) {
        w = still->width;
        h = still->height;
        opCalcDims(&w, &h, 1000, 30000, maxH, 1000, 4);
    }
    OpImage* shrunk = opAllocImage(w, h, OP_FORMAT_YUVA, 4);
    if (!shrunk)
        return; // the picture stays as it is, only slower to pan over
    opScaleImage(still, shrunk, 0);
    opFreeImage(still);
    instance.keptPicture = shrunk;
}

namespace {

// Takes the picture of the instance at its first render; false after a logged failure.
bool takePicture(PanInstance& instance, const OperatorActionRecord& record, const OpImage& probe, uint32_t panMode)
{
    OpImage* first = opGetField(OP_FIELD_FULL_PICTURE, record.position);
    instance.keptPicture = first;
    if (!first) {
        PAN_LOG(HXLOG_FAILURE);
        return false;
    }
    const bool videoField = (record.flags & OP_FLAG_VIDEO_INPUT) ||
                            (first->width == probe.width && first->height == probe.height);
    if (!videoField) {
        instance.havePicture = 1;
        if (panMode != 0)
            shrinkForPan(instance, probe.width, probe.height);
        return true;
    }
    instance.keptPicture = nullptr;
    OpImage* second = opGetField(0, record.position + 1);
    if (!second) {
        PAN_LOG(HXLOG_FAILURE);
        opFreeImage(first);
        return false;
    }
    OpImage* frame = cmGetFirstFieldStatus() ? opMakeFrame(second, first, 0, 0) : opMakeFrame(first, second, 0, 0);
    opFreeImage(first);
    opFreeImage(second);
    if (!frame) {
        PAN_LOG(HXLOG_FAILURE);
        return false;
    }
    instance.keptPicture = frame;
    instance.havePicture = 1;
    return true;
}

} // namespace

PanWindow panWindow(const OpImage& picture, const OpImage& frame, uint32_t panMode, uint32_t length, uint32_t position)
{
    // The frame's shape as shown: its pixels are `aspect` thousandths as wide as they are tall.
    const double shape = static_cast<double>(frame.width) / frame.height * static_cast<int16_t>(frame.aspect) / 1000.0;
    // A box of the frame's shape, its longer side 30000: a tall frame's height would not fit 16 bits
    // at a width of 30000.
    int16_t vw = 30000;
    int16_t vh = static_cast<int16_t>(static_cast<uint16_t>(30000 / shape));
    if (shape < 1) {
        vw = static_cast<int16_t>(std::lround(30000 * shape));
        vh = 30000;
    }
    opCalcDims(&vw, &vh, 1000, picture.width, picture.height, 1000, 0);
    const double fullW = vw, fullH = vh;
    // A length of 0 shows the start view rather than divide by it.
    const double L = length, P = length ? position : 0;
    const double progress = length ? P / L : 0;
    PanWindow window{};
    if (panMode == 0) {
        window.w = fullW - (fullW - fullW / 100 * 84) * progress;
        window.h = fullH - (fullH - fullH / 100 * 84) * progress;
    } else {
        window.w = fullW / 100 * 94;
        window.h = fullH / 100 * 94;
    }
    auto step = [&](double spare) {
        const double s = length ? spare / L : 0;
        return s > 1.0 ? std::trunc(s) : s;
    };
    const double sx = step(picture.width - window.w), sy = step(picture.height - window.h);
    switch (panMode) {
    case 0:
        window.x = (picture.width - window.w) * 0.5;
        window.y = (picture.height - window.h) * 0.5;
        break;
    case 1: window.x = P * sx; window.y = P * sy; break;
    case 2: window.x = L * sx - P * sx; window.y = P * sy; break;
    case 3: window.x = L * sx - P * sx; window.y = L * sy - P * sy; break;
    default: window.x = P * sx; window.y = L * sy - P * sy; break;
    }
    return window;
}

int32_t renderPanField(PanInstance& instance, const OperatorActionRecord& record, uint32_t panMode)
{
    OpImage* probe = opAllocImage(-1, -1, OP_FORMAT_YUVA, OP_ALLOC_FIELD_SIZE);
    if (!probe) {
        PAN_LOG(HXLOG_FAILURE);
        return -1;
    }
    if (!instance.havePicture && !takePicture(instance, record, *probe, panMode)) {
        opFreeImage(probe);
        return -1;
    }
    OpImage* frame = opAllocImage(probe->width, static_cast<int16_t>(2 * probe->height), OP_FORMAT_YUVA, 4);
    if (!frame) {
        PAN_LOG(HXLOG_FAILURE);
        opFreeImage(probe);
        opFreeImage(instance.keptPicture);
        instance.keptPicture = nullptr;
        instance.havePicture = 0; // the next render takes the picture anew
        return -1;
    }
    // A new frame has square pixels in this host; the video's pixel shape is the probe's.
    frame->aspect = probe->aspect;
    const PanWindow window = panWindow(*instance.keptPicture, *frame, panMode, record.length, record.position);
    opScaleImageSP(instance.keptPicture, frame, window.x, window.y, window.w, window.h, 0x60700);
    OpImage* field = opMakeField(frame, 0, (record.flags & OP_FLAG_ODD_FIELD) ? 1 : 0);
    opFreeImage(frame);
    opFreeImage(probe);
    return opPutField(field);
}
