#include "storyboard_requester.h"

#include "gadget_helpers.h"
#include "layout_units.h"
#include "requester_failures.h"
#include "requester_frame.h"
#include "string_ids.h"

#include "stillset/session.h"

namespace {

UgGadget replaceBox;

} // namespace

int32_t openStoryboardRequester()
{
    const RowMeasures m = rowMeasures();
    const hxchar* replaceLabel = catalogueText(kStrReplaceScenes);
    const hxchar* keepLabel = catalogueText(kStrAppendScenes);
    const int32_t TW = labelColumn({replaceLabel, keepLabel});
    const int32_t width = 5 * GW(32) + 4 * CW(2) + 2 * CW(6) + TW + 4;
    const int32_t height = 2 * CW(6) + 2 * (m.FH + m.AH) + CW(4) + 12;
    UgWindow* window =
        openRequester({storyboardRequest, width, height, kStrStoryboardNotEmpty, kStoryboardRequesterFailed});
    if (!window)
        return -1;
    drawPanel(window, 0, 0, width - 1, height - 1);
    UgGadExt* extension = ugAllocGadExt();
    if (!extension) {
        abandonRequester(storyboardRequest);
        return -1;
    }
    const int32_t x = CW(6) + 4 * CW(2) + 4 * GW(32) + TW + 2;
    const bool replacing = session.settings.replaceStoryboard == 1;
    replaceBox = labelledCheckBox(window, extension, x, CW(6) + 2, GW(32), m.BH, replaceLabel, replacing, 'd');
    labelledCheckBox(window, extension, x, CW(6) + 2 + m.STEP, GW(32), m.BH, keepLabel, !replacing, 'i');
    ugFreeGadExt(extension);
    endRequesterBuild();
    return 0;
}

bool replaceChosen()
{
    return gadgetInfo(session.requests[storyboardRequest].window, replaceBox, UG_CHECK_STATE) == 1;
}
