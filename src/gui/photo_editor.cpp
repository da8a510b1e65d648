#include "photo_editor.h"

#include "crop_editor.h"
#include "drawing.h"
#include "event_loop.h"
#include "gadget_helpers.h"
#include "layout_units.h"
#include "main_window.h"
#include "preview_fit.h"
#include "previews.h"
#include "requester_failures.h"
#include "requester_frame.h"
#include "shortcut_keys.h"
#include "string_ids.h"
#include "tonal_requester.h"
#include "stillset/photo_list.h"

namespace {

struct EditorGadgets {
    UgGadget rotate270Button, rotate90Button, mirrorButton, cropButton, tonalButton;
    UgGadget includeButton, excludeButton, previousButton, nextButton;
};

EditorGadgets gadgets;

} // namespace

int32_t openPhotoEditor()
{
    const VisibleArea area = visibleArea();
    const RowMeasures m = rowMeasures();
    const PreviewSize preview = fitPreview(area.width * 3 / 4 - 12 - 2 * CW(6),
                                           area.height * 3 / 4 - 20 - 4 * CW(6) - CH(10) - m.FH - m.AH);
    const int32_t WW = preview.width + 2 * CW(6) + 12, PH = preview.height + 2 * CW(6) + 12;
    const int32_t TH = m.FH + m.AH + 2 * CW(6) + 8;
    UgWindow* window = openRequester({editorRequest, WW, CH(10) + TH + PH, kStrEditorTitle, kPhotoEditorFailed,
                                       UREQ_EDITOR_REQUESTER, kStrEditorDone});
    if (!window)
        return -1;
    drawPanel(window, 0, 0, WW - 1, PH - 1);
    drawPanel(window, 0, PH + CH(10), WW - 1, PH + CH(10) + TH - 1);

    const int32_t y = PH + CH(10) + CW(6) + 2;
    auto button = [&](int k, int32_t image, uint32_t key, int32_t help) {
        return imageButton(window, CW(6) + 2 + k * (GW(32) + CW(2)), y, GW(32), m.BH, image, key, help);
    };
    EditorGadgets& g = gadgets;
    g.rotate270Button = button(0, 27, kCtrl | 'e', kStrTurnLeft);
    g.rotate90Button = button(1, 28, kAlt | 'r', kStrTurnRight);
    g.mirrorButton = button(2, 23, kCtrl | 'm', kStrMirror);
    g.cropButton = button(3, 20, kAlt | 'a', kStrCrop);
    g.tonalButton = button(4, 21, kCtrl | 'v', kStrToneHelp);
    g.includeButton = button(5, 26, kAlt | 'y', kStrInclude);
    g.excludeButton = button(6, 25, kCtrl | 'n', kStrExclude);
    g.previousButton = button(7, 30, kAlt | kPageUpKey, kStrPreviousPhoto);
    g.nextButton = button(8, 31, kCtrl | kPageDownKey, kStrNextPhoto);

    editorPreviewRect = framePreview(window, preview);
    endRequesterBuild();
    return 0;
}

void refreshEditedPhoto(PhotoEntry* photo)
{
    forgetThumbnail(photo, session.projectDir);
    buildThumbnail(photo);
    drawEditorPreview(photo);
    dropClip(photo);
}

void forgetEditedPhoto(const PhotoEntry* photo)
{
    if (!photo || session.editEntry == photo)
        session.editEntry = nullptr;
    if (!photo || session.tonalEntry == photo)
        session.tonalEntry = nullptr;
}

namespace {

// Editor handlers act on the photo it shows, and only while it is open.
PhotoEntry* edited()
{
    return requesterIsOpen(editorRequest) ? session.editEntry : nullptr;
}

void step(PhotoEntry* to, int32_t by)
{
    if (!to)
        return;
    session.editRow += by;
    session.editEntry = to;
    drawEditorPreview(to);
}

void turn(bool clockwise)
{
    if (PhotoEntry* photo = edited()) {
        turnOnScreen(photo, clockwise);
        refreshEditedPhoto(photo);
    }
}

} // namespace

void onEditorNext()
{
    if (PhotoEntry* photo = edited())
        step(static_cast<PhotoEntry*>(ListNext(photo)), 1);
}

void onEditorPrevious()
{
    if (PhotoEntry* photo = edited())
        step(static_cast<PhotoEntry*>(ListPrev(photo)), -1);
}

void onEditorInclude()
{
    if (PhotoEntry* photo = edited(); photo && setIncluded(photo, 1))
        refreshEditedPhoto(photo);
}

void onEditorExclude()
{
    if (PhotoEntry* photo = edited(); photo && setIncluded(photo, 0))
        refreshEditedPhoto(photo);
}

void onEditorMirror()
{
    if (PhotoEntry* photo = edited()) {
        toggleMirror(photo);
        refreshEditedPhoto(photo);
    }
}

void onEditorRotate90()
{
    turn(true);
}

void onEditorRotate270()
{
    turn(false);
}

void onEditorCrop()
{
    if (PhotoEntry* photo = edited(); photo && editCrop(photo) == 0)
        refreshEditedPhoto(photo);
}

void onEditorTonal()
{
    if (PhotoEntry* photo = edited()) {
        session.tonalEntry = photo;
        session.tonalRow = session.editRow;
        startTonalEdit(photo);
    }
}

void closePhotoEditor()
{
    if (!requesterIsOpen(editorRequest))
        return;
    closeRequester(editorRequest);
    UgWindow* window = mainWindow();
    const UgGadget grid = mainGadgets.photoGrid;
    const int32_t row = gadgetInfo(window, grid, UG_GRID_SELECTED);
    const int32_t monitor = ugGetDefaultMonitor();
    ugDisableRefresh(monitor);
    // Selecting another position and back redraws the grid with the changed thumbnails.
    ugChangeElement(window, grid, UG_GRID_SELECT, 1, 1);
    ugChangeElement(window, grid, UG_GRID_SELECT, row, 1);
    if (auto* photo = static_cast<PhotoEntry*>(ListNodeAt(&session.photoList, row + 1)))
        drawMainPreview(photo);
    updateReadyIcon();
    ugEnableRefresh(monitor);
}

void forgetPhotoEditor()
{
    gadgets = {};
}

GadgetRoutes photoEditorRoutes()
{
    static const GadgetRoute routes[] = {
        {&session.requests[editorRequest].okGadget, ignoringEvent<closePhotoEditor>},
        {&gadgets.nextButton, ignoringEvent<onEditorNext>},
        {&gadgets.previousButton, ignoringEvent<onEditorPrevious>},
        {&gadgets.includeButton, ignoringEvent<onEditorInclude>},
        {&gadgets.excludeButton, ignoringEvent<onEditorExclude>},
        {&gadgets.mirrorButton, ignoringEvent<onEditorMirror>},
        {&gadgets.rotate90Button, ignoringEvent<onEditorRotate90>},
        {&gadgets.rotate270Button, ignoringEvent<onEditorRotate270>},
        {&gadgets.cropButton, ignoringEvent<onEditorCrop>},
        {&gadgets.tonalButton, ignoringEvent<onEditorTonal>},
    };
    return routes;
}
