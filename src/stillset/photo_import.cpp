#include "photo_import.h"

#include "log.h"
#include "photo_fetch.h"
#include "previews.h"
#include "session.h"

#include "gui/drawing.h"
#include "gui/main_window.h"

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

int32_t importAllScenes()
{
    UReqMeter meter;
    std::memset(&meter, 0, sizeof meter);
    meter.title = resGetString(session.stringCatalogue, 21);
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
                // The picture just fetched is still the tool's cached photo: the thumbnail made
                // from it now costs no second decode, as it would once the next photo took its place.
                if (mainWindow())
                    buildThumbnail(photo);
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

void importChosenScenes()
{
    UgWindow* window = mainWindow();
    int32_t row = 0;
    ugGetElementInfo(window, mainGadgets.photoGrid, UG_GRID_SELECTED, &row);
    PhotoEntry* insertAfter = static_cast<PhotoEntry*>(ListNodeAt(&session.photoList, row + 1));
    HxIdVector chosen{};
    mainSelectSceneRequesterMulti(0, &chosen, 1);
    ugBusyPointer();
    PhotoEntry* current = nullptr;
    for (uint32_t i = 0; i < chosen.count; ++i) {
        const AVRecord scene = mainGetAVRecordFromId(chosen.items[i], mainGetActiveProjectNumber(), 1);
        if (!scene)
            continue;
        PhotoEntry* photo = allocateEntry();
        current = photo;
        if (!photo)
            continue;
        if (!newPhotoEntry(photo, scene)) {
            STILLSET_LOG(HXLOG_FAILURE);
            std::free(photo);
            current = nullptr;
            continue;
        }
        ListInsertAfter(&session.photoList, insertAfter, photo);
        insertAfter = photo;
        buildThumbnail(photo);
        UgItem item;
        std::memset(&item, 0, sizeof item);
        item.user = photo->id;
        ugChangeElement(window, mainGadgets.photoGrid, UG_GRID_INSERT_AFTER_SELECTED, reinterpret_cast<intptr_t>(&item), 0);
        ugChangeElement(window, mainGadgets.photoGrid, UG_GRID_SELECT, row + 1, 1);
        ++row;
        drawStatusIcon(0);
    }
    ugStandardPointer();
    if (current)
        drawMainPreview(current);
    std::free(chosen.items);
}
