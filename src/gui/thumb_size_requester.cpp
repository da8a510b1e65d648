#include "thumb_size_requester.h"

#include "drawing.h"
#include "event_loop.h"
#include "gadget_helpers.h"
#include "layout_units.h"
#include "main_window.h"
#include "previews.h"
#include "requester_failures.h"
#include "requester_frame.h"
#include "string_ids.h"
#include "stillset/log.h"
#include "stillset/photo_list.h"

namespace {

constexpr int kSizes = 5;

struct ThumbSizeGadgets {
    UgGadget boxes[kSizes]; // the smallest size first
};

ThumbSizeGadgets gadgets;

void onSizeBox(const UgMessage& message)
{
    pickThumbSize(message.gadget);
}

} // namespace

int32_t openThumbSizeRequester()
{
    const RowMeasures m = rowMeasures();
    const int32_t TW = labelColumn({catalogueText(kStrThumbVerySmall), catalogueText(kStrThumbSmall),
                                    catalogueText(kStrThumbMedium), catalogueText(kStrThumbLarge),
                                    catalogueText(kStrThumbVeryLarge)});
    const int32_t width = 5 * GW(32) + 4 * CW(2) + 2 * CW(6) + TW + 4;
    const int32_t height = 2 * CW(6) + 5 * (m.FH + m.AH) + 4 * CW(4) + 24;
    UgWindow* window = openRequester({thumbSizeRequest, width, height, kStrThumbSizeTitle, kThumbSizeRequesterFailed});
    if (!window)
        return -1;
    drawPanel(window, 0, 0, width - 1, height - 1);
    UgGadExt* extension = ugAllocGadExt();
    if (!extension) {
        abandonRequester(thumbSizeRequest);
        return -1;
    }
    const int32_t x = CW(6) + 4 * CW(2) + 4 * GW(32) + TW + 2;
    for (int k = 1; k <= kSizes; ++k)
        gadgets.boxes[k - 1] =
            labelledCheckBox(window, extension, x, CW(6) + 2 + (k - 1) * m.STEP, GW(32), m.BH,
                             catalogueText(kStrThumbVerySmall + k - 1),
                             session.settings.thumbSize == k, static_cast<uint32_t>('0' + k));
    ugFreeGadExt(extension);
    endRequesterBuild();
    return 0;
}

int32_t acceptThumbSize()
{
    if (!requesterIsOpen(thumbSizeRequest))
        return 0;
    UgWindow* window = requesterWindow(thumbSizeRequest);
    const int32_t before = session.settings.thumbSize;
    for (int k = 1; k <= kSizes; ++k)
        if (gadgetInfo(window, gadgets.boxes[k - 1], UG_CHECK_STATE) == 1)
            session.settings.thumbSize = k;
    closeRequester(thumbSizeRequest);
    if (session.settings.thumbSize == before)
        return 0;
    const int32_t row = gadgetInfo(mainWindow(), mainGadgets.photoGrid, UG_GRID_SELECTED);
    auto* selected = static_cast<PhotoEntry*>(ListNodeAt(&session.photoList, row + 1));
    writeSettings(session.projectDir);
    closeRequester(mainWindowRequest);
    if (buildMainWindow() != 0) {
        // Without a main window the user could do nothing more: the session ends and keeps its work.
        GUI_LOG(HXLOG_FAILURE);
        session.settings.gridPosition = row;
        return -1;
    }
    for (auto* photo = static_cast<PhotoEntry*>(ListFirst(&session.photoList)); photo;
         photo = static_cast<PhotoEntry*>(ListNext(photo))) {
        if (photo->thumbnail)
            forgetThumbnail(photo, session.projectDir);
    }
    buildMissingThumbnails();
    fillPhotoGrid(row);
    if (selected)
        showDurationOf(selected); // the new window's popup was built with the default
    drawMainPreview(selected);
    updateReadyIcon(); // the new window has not shown it yet
    return 0;
}

void pickThumbSize(UgGadget box)
{
    UgWindow* window = requesterWindow(thumbSizeRequest);
    if (!window || gadgetInfo(window, box, UG_CHECK_STATE) != 1)
        return;
    for (UgGadget other : gadgets.boxes)
        if (other != box)
            ugChangeElement(window, other, UG_CHECK_SET, 0, 1);
}

void cancelThumbSize()
{
    closeRequester(thumbSizeRequest);
}

void forgetThumbSizeRequester()
{
    gadgets = {};
}

GadgetRoutes thumbSizeRoutes()
{
    static const GadgetRoute routes[] = {
        {&session.requests[thumbSizeRequest].cancelGadget, ignoringEvent<cancelThumbSize>},
        {&gadgets.boxes[0], onSizeBox},
        {&gadgets.boxes[1], onSizeBox},
        {&gadgets.boxes[2], onSizeBox},
        {&gadgets.boxes[3], onSizeBox},
        {&gadgets.boxes[4], onSizeBox},
    };
    return routes;
}
