#include "apply_duration_requester.h"

#include "drawing.h"
#include "gadget_helpers.h"
#include "layout_units.h"
#include "main_window.h"
#include "requester_failures.h"
#include "requester_frame.h"
#include "string_ids.h"
#include "stillset/log.h"
#include "stillset/photo_list.h"
#include "stillset/time_units.h"

#include "host/hxmotion.h"
#include "host/hxtext.h"

#include <string>

namespace {

struct ApplyDurationGadgets {
    UgGadget applyToAllBox, applyToOldDefaultBox;
};

ApplyDurationGadgets gadgets;

constexpr size_t kLabelUnits = 512;
constexpr uint32_t kFallbackRate = 25;

uint32_t framesPerSecond()
{
    CmHandle* handle = cmOpen(0, 0);
    if (!handle) {
        loggerMessage(HXLOG_FAILURE, 2313, kGuiSource, kStillsetModule, " ");
        return kFallbackRate;
    }
    const uint32_t rate = cmGetFramesPerSecond(handle, 0);
    return rate ? rate : kFallbackRate; // a rate of 0 would divide by zero
}

// Gives the photos that `takes` picks the new default; true when any photo changed.
template <typename Takes> bool applyDefault(Takes takes)
{
    const int32_t frames = session.settings.defaultDuration;
    bool changed = false;
    for (auto* photo = static_cast<PhotoEntry*>(ListFirst(&session.photoList)); photo;
         photo = static_cast<PhotoEntry*>(ListNext(photo))) {
        if (takes(*photo) && setDuration(photo, frames))
            changed = true;
    }
    return changed;
}

} // namespace

void formatOldDefaultLabel(hxchar* buffer)
{
    const hxchar* format = catalogueText(kStrApplyToSeconds);
    buffer[0] = 0;
    // The catalogue's text is formatted into a fixed buffer: a text that could overrun it is not used.
    if (!format || std::char_traits<hxchar>::length(format) > kLabelUnits / 2)
        return;
    const uint32_t seconds = static_cast<uint32_t>(session.settings.previousDefaultDuration) / framesPerSecond();
    sxprintf(buffer, format, static_cast<long>(seconds));
}

int32_t openApplyDurationRequester()
{
    hxchar label[kLabelUnits];
    formatOldDefaultLabel(label);
    const RowMeasures m = rowMeasures();
    const int32_t TW = labelColumn({catalogueText(kStrApplyToAll), label, catalogueText(kStrApplyToOldDefault)});
    const int32_t width = 4 * GW(32) + 3 * CW(2) + 2 * CW(6) + TW + 4;
    const int32_t height = 2 * CW(6) + 2 * (m.FH + m.AH) + CW(4) + 12;
    UgWindow* window =
        openRequester({applyDurationRequest, width, height, kStrApplyDurationTitle, kApplyDurationRequesterFailed});
    if (!window)
        return -1;
    drawPanel(window, 0, 0, width - 1, height - 1);
    UgGadExt* extension = ugAllocGadExt();
    if (!extension) {
        abandonRequester(applyDurationRequest);
        return -1;
    }
    const int32_t x = CW(6) + 3 * CW(2) + 3 * GW(32) + TW + 2;
    ApplyDurationGadgets& g = gadgets;
    g.applyToAllBox =
        labelledCheckBox(window, extension, x, CW(6) + 2, GW(32), m.BH, catalogueText(kStrApplyToAll), true, 'a');
    g.applyToOldDefaultBox = labelledCheckBox(window, extension, x, CW(6) + 2 + m.STEP, GW(32), m.BH, label, false, 's');
    ugFreeGadExt(extension);
    endRequesterBuild();
    return 0;
}

void acceptApplyDuration()
{
    if (!requesterIsOpen(applyDurationRequest))
        return;
    UgWindow* window = requesterWindow(applyDurationRequest);
    const bool all = gadgetInfo(window, gadgets.applyToAllBox, UG_CHECK_STATE) == 1;
    const bool oldDefault = gadgetInfo(window, gadgets.applyToOldDefaultBox, UG_CHECK_STATE) == 1;
    closeRequester(applyDurationRequest);
    const int32_t previous = session.settings.previousDefaultDuration;
    bool changed = false;
    if (all)
        changed = applyDefault([](const PhotoEntry&) { return true; });
    else if (oldDefault)
        changed = applyDefault([previous](const PhotoEntry& photo) { return photo.duration == previous; });
    if (changed)
        drawStatusIcon(0);
    const int32_t row = gadgetInfo(mainWindow(), mainGadgets.photoGrid, UG_GRID_SELECTED);
    if (auto* photo = static_cast<PhotoEntry*>(ListNodeAt(&session.photoList, row + 1)))
        showDurationOf(photo);
}

void cancelApplyDuration()
{
    closeRequester(applyDurationRequest);
}

void forgetApplyDurationRequester()
{
    gadgets = {};
}

GadgetRoutes applyDurationRoutes()
{
    static const GadgetRoute routes[] = {
        {&session.requests[applyDurationRequest].okGadget, ignoringEvent<acceptApplyDuration>},
        {&session.requests[applyDurationRequest].cancelGadget, ignoringEvent<cancelApplyDuration>},
    };
    return routes;
}
