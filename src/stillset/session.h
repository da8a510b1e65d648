// The session: everything one run of the slideshow tool holds, from start-up to shutdown.
#ifndef STILLSET_SESSION_H
#define STILLSET_SESSION_H

#include "settings.h"

#include "host/hxlist.h"
#include "host/hxmsgq.h"
#include "host/hxop.h"
#include "host/hxreq.h"
#include "host/hxres.h"
#include "host/hxscenes.h"

#include <cstdint>

using ImageScaler = int32_t (*)(const OpImage* source, OpImage* target, uint32_t flags);
using ScaledImageLoader = ResImage* (*)(ResImages* catalogue, int32_t number, int32_t width, int32_t height,
                                        int32_t mode);

inline constexpr size_t kProjectDirSize = 1000;

// The requesters, in the order shutdown deletes them; the main window comes last.
enum RequestSlot {
    tonalRequest,
    editorRequest,
    thumbSizeRequest,
    storyboardRequest,
    defaultDurationRequest,
    applyDurationRequest,
    transitionsRequest,
    operatorGuiRequest,
    effectsRequest,
    panPresetRequest,
    mainWindowRequest,
    kRequestSlots
};

struct PhotoCache {
    OpImage* image; // owned by the cache
    uint32_t id;    // photo id of the image, 0 when empty
};

struct SessionState {
    ResStrings* stringCatalogue;
    ResImages* imageCatalogue;
    MsgQueue* messageQueue;
    ImageScaler imageScaler;
    ScaledImageLoader scaledImageLoader;
    char projectDir[kProjectDirSize];
    bool projectDirReady; // the directory of this session is known; stored files may be written
    bool photoListLoaded; // false: the stored photo list was damaged (the host kept it aside)
    int32_t settingsNotice; // the notice the settings file reader left for the person, 0 for none
    ListHead photoList;
    ListHead trashList;
    ListHead transitionList;
    ListHead effectList;
    UReqRequest requests[kRequestSlots];
    int32_t requestOpen[kRequestSlots];
    PhotoCache photoCache;
    char* lastOperatorPath;
    Settings settings;
    int32_t* transitionSequence;
    int32_t* effectSequence;
    // The photo the editor shows and its grid position; the photo whose tone the tonal requester edits.
    PhotoEntry* editEntry;
    int32_t editRow;
    PhotoEntry* tonalEntry;
    int32_t tonalRow;
};

// One session per loaded plug-in, reset by every start-up.
extern SessionState session;

// The core's half of a session; the interface wraps both with its own start and end.
int32_t sessionStartup();
int32_t sessionShutdown();

#endif
