// A session of the slideshow tool: start-up, and the shutdown that every way out takes.
#include "session.h"

#include "log.h"
#include "photo_fetch.h"
#include "photo_list.h"

#include "host/hxmain.h"
#include "host/hxscenes.h"
#include "host/hxsupport.h"
#include "host/hxtx.h"
#include "platform/crt.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

SessionState session;

namespace {

void resetSessionState()
{
    session.stringCatalogue = nullptr;
    session.imageCatalogue = nullptr;
    session.messageQueue = nullptr;
    session.imageScaler = nullptr;
    session.scaledImageLoader = nullptr;
    session.projectDir[0] = '\0';
    session.projectDirReady = false;
    session.photoListLoaded = false;
    session.lastOperatorPath = nullptr;
    clearPhotoCache(); // a render between sessions may have left a picture
    session.transitionSequence = nullptr;
    session.effectSequence = nullptr;
    session.editEntry = session.tonalEntry = nullptr;
    session.editRow = session.tonalRow = 0;
    std::memset(session.requests, 0, sizeof session.requests); // their OK and Cancel identities too
    for (int32_t& open : session.requestOpen)
        open = 0;
    Settings& s = session.settings;
    s.transitionsEnabled = 0;
    s.transitionLengthCode = 2;
    s.transitionOrder = 0;
    s.transitionRepeatCode = 0;
    s.jingleFile = nullptr;
    s.jingleName = nullptr;
    s.effectsEnabled = 0;
    s.effectOrder = 0;
    s.effectRepeatCode = 0;
    s.gridPosition = 0;
}

// Appends formatted text to projectDir; false, with the buffer unchanged, when it would not fit.
template <typename... Args> bool appendToProjectDir(const char* format, Args... args)
{
    const size_t used = std::strlen(session.projectDir);
    const int n = std::snprintf(session.projectDir + used, kProjectDirSize - used, format, args...);
    if (n < 0 || static_cast<size_t>(n) >= kProjectDirSize - used) {
        session.projectDir[used] = '\0';
        return false;
    }
    return true;
}

void freeHeapString(char*& text)
{
    std::free(text);
    text = nullptr;
}

} // namespace

int32_t sessionStartup()
{
    resetSessionState();
    ListInit(&session.photoList);
    ListInit(&session.trashList);
    ListInit(&session.transitionList);
    ListInit(&session.effectList);

    if (!(session.stringCatalogue = resLoadStrings("stillset"))) {
        STILLSET_LOG(HXLOG_FAILURE);
        return -1;
    }
    if (!(session.imageCatalogue = resLoadImages("stillset"))) {
        STILLSET_LOG(HXLOG_FAILURE);
        return -1;
    }
    if (!(session.messageQueue = msgQCreate(100, 44, 0))) {
        STILLSET_LOG(HXLOG_FAILURE);
        return -1;
    }
    if ((session.imageScaler = reinterpret_cast<ImageScaler>(vxsSymFind(nullptr, "opScaleImage")))) {
        STILLSET_LOG(HXLOG_INFO);
    } else {
        session.imageScaler = &txOpScale;
        STILLSET_LOG(HXLOG_INFO);
    }
    session.scaledImageLoader = reinterpret_cast<ScaledImageLoader>(vxsSymFind(nullptr, "ugGetScaledResImage2"));

    const char* home = crt::getenv("HXHOME");
    if (!home) {
        STILLSET_LOG(HXLOG_FAILURE);
        return -1;
    }
    if (!appendToProjectDir("%s/programs/stillset", home)) {
        STILLSET_LOG(HXLOG_FAILURE); // HXHOME is too long for the project directory
        return -1;
    }
    crt::_mkdir(session.projectDir);
    const long projectNumber = static_cast<long>(mainGetActiveProjectNumber()) + 1;
    if (!appendToProjectDir("/project%ld", projectNumber)) {
        STILLSET_LOG(HXLOG_FAILURE);
        return -1;
    }
    crt::_mkdir(session.projectDir);
    session.projectDirReady = true;

    readSettings(session.projectDir);
    session.photoListLoaded = nslReadStillsetProject(session.projectDir, &session.photoList) == 0;
    return 0;
}

int32_t sessionShutdown()
{
    // Without this session's project directory the stored list and settings of an earlier session
    // must not be overwritten. A stored list this session could not read was kept aside by the host.
    if (session.projectDirReady)
        nslWriteStillsetProject(session.projectDir, &session.photoList, 1);
    nslFreeStillsetProject(session.projectDir, &session.photoList, NSL_FREE_KEEP_STORED);
    emptyTrash(session.projectDir);
    if (session.projectDirReady)
        writeSettings(session.projectDir);
    freeOperatorLists();

    for (int slot = 0; slot < kRequestSlots; ++slot) {
        if (session.requestOpen[slot]) {
            ureqDeleteRequest(&session.requests[slot]);
            session.requestOpen[slot] = 0;
        }
    }
    if (session.stringCatalogue) {
        resFreeStrings(session.stringCatalogue);
        session.stringCatalogue = nullptr;
    }
    if (session.imageCatalogue) {
        resFreeImages(session.imageCatalogue);
        session.imageCatalogue = nullptr;
    }
    if (session.messageQueue) {
        msgQDelete(session.messageQueue);
        session.messageQueue = nullptr;
    }
    freeHeapString(session.lastOperatorPath);
    freeHeapString(session.settings.jingleFile);
    std::free(session.settings.jingleName);
    session.settings.jingleName = nullptr;
    clearPhotoCache();
    return 0;
}
