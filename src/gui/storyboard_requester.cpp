#include "storyboard_requester.h"

#include "layout_units.h"

#include "stillset/log.h"
#include "stillset/session.h"

#include "host/hxreq.h"

#include <algorithm>
#include <cstring>

StoryboardGadgets storyboardGadgets;

namespace {

constexpr int32_t kTitle = 150;
constexpr int32_t kReplaceLabel = 151;
constexpr int32_t kKeepLabel = 152;

// The label column: the widest label with its margins, and a gap.
int32_t labelColumn(std::initializer_list<const hxchar*> labels)
{
    int32_t widest = 0;
    for (const hxchar* label : labels)
        widest = std::max(widest, ugTextLength(label) + 2 * CW(4));
    return widest + CW(2);
}

UgGadget labelledBox(UgWindow* window, UgGadExt* extension, const hxchar* label, int32_t x, int32_t y, int32_t checked,
                     uint32_t key)
{
    const RowMeasures m = rowMeasures();
    extension->label = label;
    extension->labelEnabled = 1;
    const UgGadget box = ugAddCheckBox(window, x, y, GW(32), m.BH, checked, 0, extension);
    ugChangeElement(window, box, UG_SHORTCUT, key, 0);
    return box;
}

} // namespace

int32_t openStoryboardRequester()
{
    const int32_t monitor = ugGetDefaultMonitor();
    ugDisableRefresh(monitor);
    const RowMeasures m = rowMeasures();
    const hxchar* replaceLabel = resGetString(session.stringCatalogue, kReplaceLabel);
    const hxchar* keepLabel = resGetString(session.stringCatalogue, kKeepLabel);
    const int32_t TW = labelColumn({replaceLabel, keepLabel});
    const int32_t width = 5 * GW(32) + 4 * CW(2) + 2 * CW(6) + TW + 4;
    const int32_t height = 2 * CW(6) + 2 * (m.FH + m.AH) + CW(4) + 12;

    UReqRequest& request = session.requests[storyboardRequest];
    std::memset(&request, 0, sizeof request);
    request.flags = UREQ_REQUESTER;
    request.size = static_cast<uint32_t>(width & 0xFFFF) | static_cast<uint32_t>(height) << 16;
    request.queue = session.messageQueue;
    request.title = resGetString(session.stringCatalogue, kTitle);
    if (ureqCreateRequest(&request) != 0) {
        GUI_LOG(HXLOG_FAILURE);
        ugEnableRefresh(monitor);
        return -1;
    }
    session.requestOpen[storyboardRequest] = 1;
    UgWindow* window = request.window;
    ugDrawBoxNew(window, 0, 0, width - 1, height - 1, 4, 5, 0, 0);
    UgGadExt* extension = ugAllocGadExt();
    if (!extension) {
        ureqDeleteRequest(&request);
        session.requestOpen[storyboardRequest] = 0;
        ugEnableRefresh(monitor);
        return -1;
    }
    const int32_t x = CW(6) + 4 * CW(2) + 4 * GW(32) + TW + 2;
    const int32_t replacing = session.settings.replaceStoryboard == 1 ? 1 : 0;
    storyboardGadgets.replaceStoryboardBox = labelledBox(window, extension, replaceLabel, x, CW(6) + 2, replacing, 100);
    storyboardGadgets.keepStoryboardBox =
        labelledBox(window, extension, keepLabel, x, CW(6) + 2 + m.STEP, 1 - replacing, 105);
    ugFreeGadExt(extension);
    ugEnableRefresh(monitor);
    return 0;
}
