#include "event_loop.h"

#include "add_photos.h"
#include "apply_duration_requester.h"
#include "crop_editor.h"
#include "default_duration_requester.h"
#include "drawing.h"
#include "effects_requester.h"
#include "gadget_helpers.h"
#include "main_window.h"
#include "pan_preset_requester.h"
#include "photo_editor.h"
#include "previews.h"
#include "requester_frame.h"
#include "storyboard_requester.h"
#include "string_ids.h"
#include "thumb_size_requester.h"
#include "tonal_requester.h"
#include "tool_session.h"
#include "transition_settings_requester.h"
#include "transitions_requester.h"
#include "stillset/log.h"
#include "stillset/photo_list.h"
#include "stillset/session.h"
#include "stillset/storyboard_builder.h"
#include "stillset/time_units.h"

#include "host/hxreq.h"

#include <cstring>

namespace {

constexpr int32_t kMessageBytes = 44;
constexpr uint32_t kPopupChoice = 3;

struct LoopState {
    int32_t row = 0;                // the last position read from the grid
    PhotoEntry* photo = nullptr;    // the photo at that position
    bool done = false;
    const OperatorActionRecord* record = nullptr; // handed on to the storyboard builder
};

UgWindow* window()
{
    return mainWindow();
}

PhotoEntry* photoAt(int32_t position)
{
    return static_cast<PhotoEntry*>(ListNodeAt(&session.photoList, position + 1));
}

// The selected photo: the grid's selected position read into the current row.
PhotoEntry* selectedPhoto(LoopState& state)
{
    state.row = 0;
    ugGetElementInfo(window(), mainGadgets.photoGrid, UG_GRID_SELECTED, &state.row);
    state.photo = photoAt(state.row);
    return state.photo;
}

void changeGrid(int32_t attribute, intptr_t value, int32_t redraw)
{
    ugChangeElement(window(), mainGadgets.photoGrid, attribute, value, redraw);
}

UgItem gridItemFor(const PhotoEntry& photo)
{
    UgItem item;
    std::memset(&item, 0, sizeof item);
    item.user = photo.id;
    return item;
}

// After a photo left the grid: show the photo now selected, or nothing.
void reselect(LoopState& state)
{
    if (PhotoEntry* photo = selectedPhoto(state)) {
        drawMainPreview(photo);
    } else {
        ugFillBackground(window(), previewRect.x - 4, previewRect.y - 4, previewRect.x + previewRect.width + 3,
                         previewRect.y + previewRect.height + 3, 2, 0);
    }
}

void onDurationPopup(const UgMessage& message, LoopState& state)
{
    if ((message.code & 0xFFFF) != kPopupChoice)
        return;
    PhotoEntry* photo = selectedPhoto(state);
    if (!photo)
        return;
    const bool hadClip = photo->clip != 0;
    if (setDuration(photo, durationFrames(static_cast<int32_t>(message.value))) && hadClip)
        drawStatusIcon(0);
}

void onGrid(const UgMessage& message, LoopState&)
{
    const uint32_t code = message.code & 0xFFFF;
    if (code < 2 || code > 4)
        return;
    PhotoEntry* photo = photoAt(static_cast<int32_t>(message.value));
    if (!photo)
        return;
    showDurationOf(photo);
    drawMainPreview(photo);
}

void onInclude(const UgMessage&, LoopState& state)
{
    if (PhotoEntry* photo = selectedPhoto(state); photo && setIncluded(photo, 1))
        refreshPhoto(photo, state.row);
}

void onExclude(const UgMessage&, LoopState& state)
{
    if (PhotoEntry* photo = selectedPhoto(state); photo && setIncluded(photo, 0))
        refreshPhoto(photo, state.row);
}

void onMirror(const UgMessage&, LoopState& state)
{
    if (PhotoEntry* photo = selectedPhoto(state)) {
        toggleMirror(photo);
        refreshPhoto(photo, state.row);
    }
}

void turn(LoopState& state, bool clockwise)
{
    if (PhotoEntry* photo = selectedPhoto(state)) {
        turnOnScreen(photo, clockwise);
        refreshPhoto(photo, state.row);
    }
}

void onRotate90(const UgMessage&, LoopState& state)
{
    turn(state, true);
}

void onRotate270(const UgMessage&, LoopState& state)
{
    turn(state, false);
}

void onTonal(const UgMessage&, LoopState& state)
{
    if (PhotoEntry* photo = selectedPhoto(state)) {
        session.tonalEntry = photo;
        session.tonalRow = state.row;
        startTonalEdit(photo);
    }
}

void onCrop(const UgMessage&, LoopState& state)
{
    if (PhotoEntry* photo = selectedPhoto(state); photo && editCrop(photo) == 0)
        refreshPhoto(photo, state.row);
}

void onEdit(const UgMessage&, LoopState& state)
{
    PhotoEntry* photo = selectedPhoto(state);
    if (!photo)
        return;
    session.editEntry = photo;
    session.editRow = state.row;
    if (openPhotoEditor() == 0)
        drawEditorPreview(photo);
}

void onTrash(const UgMessage&, LoopState& state)
{
    PhotoEntry* photo = selectedPhoto(state);
    if (!photo)
        return;
    ListRemove(&session.photoList, photo);
    ListAppend(&session.trashList, photo);
    forgetEditedPhoto(photo); // a trashed photo is out of the list the editor walks
    changeGrid(UG_GRID_DELETE, state.row, 1);
    reselect(state);
}

void onRestore(const UgMessage&, LoopState& state)
{
    auto* restored = static_cast<PhotoEntry*>(ListLast(&session.trashList));
    if (!restored) {
        ugPointerBeep();
        return;
    }
    PhotoEntry* selected = selectedPhoto(state);
    ListRemove(&session.trashList, restored);
    ListInsertAfter(&session.photoList, selected, restored);
    buildThumbnail(restored);
    UgItem item = gridItemFor(*restored);
    changeGrid(UG_GRID_INSERT_AFTER_SELECTED, reinterpret_cast<intptr_t>(&item), 0);
    changeGrid(UG_GRID_SELECT, state.row + 1, 1);
    drawMainPreview(restored);
    drawStatusIcon(0);
}

void onAddPhotos(const UgMessage&, LoopState&)
{
    addChosenPhotos();
}

void onAbout(const UgMessage&, LoopState&)
{
    showPhotoSummary();
}

// A list enabled by its check box needs at least one entry; otherwise the user is told why not.
void onListCheckBox(UgGadget box, const ListHead& list, int32_t emptyText, int32_t& enabled)
{
    int32_t checked = 0;
    ugGetElementInfo(window(), box, UG_CHECK_STATE, &checked);
    if (checked != 1) {
        enabled = 0;
        return;
    }
    if (ListCount(&list) != 0) {
        enabled = 1;
        return;
    }
    showNotice(emptyText);
    ugChangeElement(window(), box, UG_CHECK_SET, 0, 1);
}

void onTransitionsCheckBox(const UgMessage&, LoopState&)
{
    onListCheckBox(mainGadgets.transitionsCheckBox, session.transitionList, kStrNoTransitionsChosen,
                   session.settings.transitionsEnabled);
}

void onEffectsCheckBox(const UgMessage&, LoopState&)
{
    onListCheckBox(mainGadgets.effectsCheckBox, session.effectList, kStrNoEffectsChosen,
                   session.settings.effectsEnabled);
}

void onClose(const UgMessage&, LoopState& state)
{
    state.done = true;
}

// Whatever the builder answers, the session ends after it.
void build(int32_t replace, LoopState& state)
{
    switch (buildStoryboard(replace, state.record)) {
    case BuildOutcome::Stopped:
    case BuildOutcome::Built:
        updateReadyIcon(); // photos got their clips
        break;
    case BuildOutcome::RenderedOnly:
        showNotice(kStrRenderedOnly);
        break;
    case BuildOutcome::MeterFailed:
        break;
    }
    state.done = true;
}

// An empty storyboard is built at once; otherwise the user is asked whether to replace or append.
void onCreate(const UgMessage&, LoopState& state)
{
    if (nslSBGetLength(0) == 0)
        build(0, state);
    else
        openStoryboardRequester();
}

// Only the replace box decides.
void onStoryboardOk(const UgMessage&, LoopState& state)
{
    const bool replace = replaceChosen();
    closeRequester(storyboardRequest);
    session.settings.replaceStoryboard = replace ? 1 : 0;
    build(session.settings.replaceStoryboard, state);
}

void onStoryboardCancel(const UgMessage&, LoopState&)
{
    closeRequester(storyboardRequest);
}

// A requester's handler that needs nothing of the loop.
template <void (*Handle)()> void plain(const UgMessage&, LoopState&)
{
    Handle();
}

// A requester's handler whose failure leaves the session nothing to go on with.
template <int32_t (*Handle)()> void endsOnFailure(const UgMessage&, LoopState& state)
{
    if (Handle() != 0)
        state.done = true;
}

void openThumbSize()
{
    openThumbSizeRequester();
}

void openDefaultDuration()
{
    openDefaultDurationRequester();
}

void moveWithinGrid(int32_t from, int32_t to)
{
    changeGrid(UG_GRID_SELECT, from, 0);
    int32_t dragInfo = 0;
    ugGetElementInfo(window(), mainGadgets.photoGrid, UG_GRID_DRAG_SOURCE, &dragInfo);
    PhotoEntry* moved = photoAt(from);
    if (!moved)
        return;
    UgItem item = gridItemFor(*moved);
    PhotoEntry* target = photoAt(to);
    if (target) {
        PhotoEntry* before = static_cast<PhotoEntry*>(ListPrev(target));
        ListRemove(&session.photoList, moved);
        ListInsertAfter(&session.photoList, before, moved);
        if (to == 0) {
            changeGrid(UG_GRID_INSERT_FIRST, reinterpret_cast<intptr_t>(&item), 0);
            changeGrid(UG_GRID_DELETE, from + 1, 0);
        } else {
            changeGrid(UG_GRID_SELECT, to - 1, 0);
            changeGrid(UG_GRID_INSERT_AFTER_SELECTED, reinterpret_cast<intptr_t>(&item), 0);
            changeGrid(UG_GRID_DELETE, from > to ? from + 1 : from, 0);
        }
        changeGrid(UG_GRID_SELECT, from > to ? to : to - 1, 1);
        changeGrid(UG_GRID_REDRAW, 0, 1);
    } else {
        ListRemove(&session.photoList, moved);
        ListAppend(&session.photoList, moved);
        changeGrid(UG_GRID_APPEND, reinterpret_cast<intptr_t>(&item), 1);
        changeGrid(UG_GRID_DELETE, from, 1);
        if (ListCount(&session.photoList) > 0)
            changeGrid(UG_GRID_SELECT, ListCount(&session.photoList) - 1, 1);
    }
}

void onDrop(const UgMessage& message, LoopState& state)
{
    if (message.gadget != mainGadgets.photoGrid)
        return;
    if (message.value == mainGadgets.photoGrid) {
        const auto from = static_cast<int32_t>(message.code), to = static_cast<int32_t>(message.dropPosition);
        if (to == from || to == from + 1)
            return;
        moveWithinGrid(from, to);
        if (PhotoEntry* photo = selectedPhoto(state))
            drawMainPreview(photo);
    } else if (message.value == mainGadgets.trashDropTarget) {
        PhotoEntry* photo = selectedPhoto(state);
        if (!photo)
            return;
        ListRemove(&session.photoList, photo);
        forgetEditedPhoto(photo);
        destroyPhoto(photo, session.projectDir); // dropped on the trash it is gone for good
        changeGrid(UG_GRID_DELETE, state.row, 1);
        reselect(state);
    }
}

void onDragOver(const UgMessage& message)
{
    if (message.gadget != mainGadgets.photoGrid)
        return;
    const bool droppable = message.value == mainGadgets.photoGrid || message.value == mainGadgets.trashDropTarget;
    ugDropPossible(droppable ? 1 : 0, 0);
}

using Handler = void (*)(const UgMessage&, LoopState&);

// Handlers of the requesters, which need only the event.
template <void (*handle)(const UgMessage&)> void eventOnly(const UgMessage& message, LoopState&)
{
    handle(message);
}

struct Route {
    const UgGadget* gadget;
    Handler handler;
};

// The main window's gadgets, and the requesters' answers that may end the session, in the order they
// are compared; the first match handles the message.
const Route kRoutes[] = {
    {&mainGadgets.closeButton, onClose},
    {&mainGadgets.durationPopup, onDurationPopup},
    {&mainGadgets.photoGrid, onGrid},
    {&mainGadgets.includeButton, onInclude},
    {&mainGadgets.excludeButton, onExclude},
    {&mainGadgets.mirrorButton, onMirror},
    {&mainGadgets.trashButton, onTrash},
    {&mainGadgets.restoreButton, onRestore},
    {&mainGadgets.rotate90Button, onRotate90},
    {&mainGadgets.rotate270Button, onRotate270},
    {&mainGadgets.tonalButton, onTonal},
    {&mainGadgets.cropButton, onCrop},
    {&mainGadgets.editButton, onEdit},
    {&mainGadgets.previewClick, onEdit},
    {&mainGadgets.thumbSizeButton, plain<openThumbSize>},
    {&session.requests[thumbSizeRequest].okGadget, endsOnFailure<acceptThumbSize>},
    {&mainGadgets.addPhotosButton, onAddPhotos},
    {&mainGadgets.defaultDurationButton, plain<openDefaultDuration>},
    {&mainGadgets.aboutButton, onAbout},
    {&mainGadgets.transitionsButton, eventOnly<onTransitionsButton>},
    {&mainGadgets.effectsButton, eventOnly<onEffectsButton>},
    {&mainGadgets.createButton, onCreate},
    {&mainGadgets.transitionsCheckBox, onTransitionsCheckBox},
    {&mainGadgets.effectsCheckBox, onEffectsCheckBox},
    {&session.requests[storyboardRequest].okGadget, onStoryboardOk},
    {&session.requests[storyboardRequest].cancelGadget, onStoryboardCancel},
};

// Each requester keeps its gadgets and handlers together and hands its routes in.
const GadgetRoutes kRequesterRoutes[] = {
    tonalRoutes(),       photoEditorRoutes(),        thumbSizeRoutes(), defaultDurationRoutes(), applyDurationRoutes(),
    transitionsRoutes(), transitionSettingsRoutes(), effectsRoutes(),   panPresetRoutes(),
};

void dispatchGadget(const UgMessage& message, LoopState& state)
{
    for (const Route& route : kRoutes) {
        if (*route.gadget != 0 && *route.gadget == message.gadget) {
            route.handler(message, state);
            return;
        }
    }
    for (const GadgetRoutes routes : kRequesterRoutes) {
        for (const GadgetRoute& route : routes) {
            if (*route.gadget != 0 && *route.gadget == message.gadget) {
                route.handle(message);
                return;
            }
        }
    }
    passToTransitionSettings(message);
}

} // namespace

void refreshPhoto(PhotoEntry* photo, int32_t row)
{
    forgetThumbnail(photo, session.projectDir);
    buildThumbnail(photo);
    changeGrid(UG_GRID_REDRAW_ITEM, row, 1);
    drawMainPreview(photo);
    dropClip(photo);
    drawStatusIcon(0);
}

int32_t runEventLoop(OperatorActionRecord* record)
{
    LoopState state;
    state.record = record;
    while (!state.done) {
        UgMessage message;
        std::memset(&message, 0, sizeof message);
        const int32_t received = ugMsgQReceive(&message, -1);
        if (received < 0) {
            GUI_LOG(HXLOG_FAILURE); // the host can deliver no more events: leave as if closed
            break;
        }
        if (received != kMessageBytes)
            continue;
        switch (message.messageClass) {
        case UG_MSG_GADGET:
            dispatchGadget(message, state);
            break;
        case UG_MSG_CLOSE:
        case UG_MSG_CLOSE_ALT:
            state.done = true;
            break;
        case UG_MSG_DRAG_OVER:
            onDragOver(message);
            break;
        case UG_MSG_DROP:
            onDrop(message, state);
            break;
        default:
            break;
        }
    }
    endToolSession();
    return 0;
}
