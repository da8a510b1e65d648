#include "add_photos.h"

#include "drawing.h"
#include "main_window.h"
#include "previews.h"
#include "stillset/photo_import.h"
#include "stillset/session.h"

#include "host/hxmain.h"

#include <cstdlib>
#include <cstring>

void addChosenPhotos()
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
        PhotoEntry* photo = newPhotoFromScene(scene);
        current = photo;
        if (!photo)
            continue;
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
