#include "photo_fetch.h"

#include "log.h"
#include "output_frame.h"
#include "session.h"

#include "host/hxmotion.h"
#include "host/hxtools.h"

namespace {

// The scaler bound at start-up; before any session the host's own.
ImageScaler scaler()
{
    return session.imageScaler ? session.imageScaler : &opScaleImage;
}

OpImage* cacheAndClone(OpImage* picture, uint32_t id)
{
    session.photoCache = PhotoCache{picture, id};
    return opCloneImage(picture, 0);
}

// One field of the host's video as a half-height picture, or null after a logged failure.
OpImage* readField(CmHandle* handle, int32_t mode, int32_t fieldNumber)
{
    OpImage* field = opAllocImage(frameWidth, static_cast<int16_t>(frameHeight) / 2, OP_FORMAT_YUVA, 0);
    if (!field) {
        GUI_LOG(HXLOG_FAILURE);
        return nullptr;
    }
    if (cmGetField(handle, field, mode, fieldNumber) == -1) {
        GUI_LOG(HXLOG_FAILURE);
        opFreeImage(field);
        return nullptr;
    }
    return field;
}

} // namespace

void clearPhotoCache()
{
    if (session.photoCache.image)
        opFreeImage(session.photoCache.image);
    session.photoCache = PhotoCache{nullptr, 0};
}

OpImage* grabVideoFrame(int32_t fieldNumber, int16_t targetWidth, int16_t targetHeight)
{
    CmHandle* handle = cmOpen(0, 0);
    if (!handle) {
        GUI_LOG(HXLOG_FAILURE);
        return nullptr;
    }
    const int32_t mode = (vxtlGetHardwareStatus() & 1) ? 2 : 0;
    OpImage* first = readField(handle, mode, fieldNumber);
    if (!first)
        return nullptr;
    OpImage* second = readField(handle, mode, fieldNumber + 1);
    if (!second) {
        opFreeImage(first);
        return nullptr;
    }
    OpImage* frame = cmGetFirstFieldStatus() ? opMakeFrame(second, first, 0, 0) : opMakeFrame(first, second, 0, 0);
    opFreeImage(first);
    opFreeImage(second);
    if (!frame) {
        GUI_LOG(HXLOG_FAILURE);
        return nullptr;
    }
    OpImage* result = opAllocImage(targetWidth, targetHeight, OP_FORMAT_YUVA, 0);
    if (result)
        scaler()(frame, result, 0);
    opFreeImage(frame);
    return result;
}

OpImage* fetchPhotoImage(const PhotoEntry* photo)
{
    if (!photo)
        return nullptr;
    if (session.photoCache.image && session.photoCache.id == photo->id)
        return opCloneImage(session.photoCache.image, 0);
    clearPhotoCache();

    if (OpImage* still = nslGetStillset(photo->source))
        return cacheAndClone(still, photo->id);

    const int32_t frameNumber = nslAVRecordGetReferenceFrame(photo->source);
    if (frameNumber == -1 || !outputFrameKnown()) {
        STILLSET_LOG(HXLOG_FAILURE);
        return nullptr;
    }
    OpImage* grab = grabVideoFrame(2 * frameNumber, frameWidth, frameHeight);
    if (!grab) {
        STILLSET_LOG(HXLOG_FAILURE);
        return nullptr;
    }
    // The grab has the video's pixel shape; the cached picture has square pixels.
    int16_t w = frameWidth, h = frameHeight;
    opCalcDims(&w, &h, grab->aspect, frameWidth, frameHeight, 1000, 4);
    OpImage* square = opAllocImage(w, h, OP_FORMAT_YUVA, 0);
    if (!square) {
        STILLSET_LOG(HXLOG_FAILURE);
        opFreeImage(grab);
        return nullptr;
    }
    square->aspect = 1000;
    scaler()(grab, square, 0);
    opFreeImage(grab);
    return cacheAndClone(square, photo->id);
}
