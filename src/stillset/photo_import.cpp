#include "photo_import.h"

#include "log.h"
#include "photo_fetch.h"
#include "session.h"
#include "string_ids.h"

#include "host/hxgui.h"
#include "host/hxmain.h"
#include "host/hxreq.h"
#include "host/hxtools.h"

#include <cstdlib>
#include <cstring>

namespace {

PhotoEntry* allocateEntry()
{
    return static_cast<PhotoEntry*>(std::malloc(sizeof(PhotoEntry)));
}

// A scene answering 0 or -1 to the photo query holds a picture the tool can use.
bool isPhoto(AVRecord scene)
{
    uint32_t info = 0;
    const int32_t answer = nslAVRecordGetPhoto(scene, &info);
    return answer == 0 || answer == -1;
}

} // namespace

bool newPhotoEntry(PhotoEntry* photo, AVRecord scene)
{
    std::memset(photo, 0, sizeof *photo);
    photo->id = vxtlGetUniqueID();
    photo->source = nslCopyAVRecord(scene, 0);
    OpImage* picture = fetchPhotoImage(photo);
    if (!picture) {
        nslDeleteAVRecord(photo->source);
        photo->source = 0;
        return false;
    }
    photo->cropWidth = static_cast<uint16_t>(picture->width);
    photo->cropHeight = static_cast<uint16_t>(picture->height);
    opFreeImage(picture);
    photo->brightness = photo->contrast = photo->saturation = 100;
    photo->included = 1;
    photo->duration = session.settings.defaultDuration;
    return true;
}

PhotoEntry* newPhotoFromScene(AVRecord scene)
{
    PhotoEntry* photo = allocateEntry();
    if (photo && !newPhotoEntry(photo, scene)) {
        STILLSET_LOG(HXLOG_FAILURE);
        std::free(photo);
        return nullptr;
    }
    return photo;
}

int32_t importAllScenes(void (*added)(PhotoEntry* photo))
{
    UReqMeter meter;
    std::memset(&meter, 0, sizeof meter);
    meter.title = resGetString(session.stringCatalogue, kStrAddPhotos);
    meter.steps = static_cast<uint32_t>(nslGetSceneListCount());
    meter.style = 2;
    if (ureqOpenMeter(&meter) != 0) {
        STILLSET_LOG(HXLOG_FAILURE);
        return -1;
    }
    ugBusyPointer();
    int32_t visited = 0;
    for (AVRecord scene = nslGetFirstScene(); scene; scene = nslGetNextScene(scene)) {
        if (isPhoto(scene)) {
            PhotoEntry* photo = allocateEntry();
            if (!photo) {
                STILLSET_LOG(HXLOG_FAILURE);
                ureqCloseMeter(&meter);
                ugStandardPointer();
                return -1;
            }
            if (newPhotoEntry(photo, scene)) {
                ListAppend(&session.photoList, photo);
                if (added)
                    added(photo);
            } else {
                STILLSET_LOG(HXLOG_FAILURE);
                std::free(photo);
            }
        }
        ureqUpdateMeter(&meter, 3, ++visited);
    }
    ugStandardPointer();
    ureqCloseMeter(&meter);
    return 0;
}
