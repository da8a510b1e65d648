#include "pan_preset_requester.h"

#include "effects_requester.h"
#include "gadget_helpers.h"
#include "layout_units.h"
#include "list_requester_layout.h"
#include "operator_list_view.h"
#include "requester_failures.h"
#include "requester_frame.h"
#include "string_ids.h"

#include <cstring>

namespace {

constexpr int32_t kPresets = 5;

UgGadget listView;

} // namespace

UgGadget panPresetListView()
{
    return listView;
}

void forgetPanPresetRequester()
{
    listView = 0;
}

int32_t openPanPresetRequester()
{
    const int32_t width = 20 * GW(32) + 19 * CW(2);
    const int32_t height = 2 * CW(6) + 9 * listRowHeight() + 8; // a list of exactly nine rows
    UgWindow* window = openRequester({panPresetRequest, width, height, kStrEffectsTitle, kPanPresetRequesterFailed});
    if (!window)
        return -1;
    ugDrawBoxNew(window, 0, 0, width - 1, height - 1, 4, 5, 0, 0);

    UgItem rows[kPresets];
    std::memset(rows, 0, sizeof rows);
    ListHead list;
    ListInit(&list);
    for (int32_t preset = 0; preset < kPresets; ++preset) {
        rows[preset].flags = UG_ITEM_TEXT_ROW;
        rows[preset].text = resGetString(session.stringCatalogue, kStrPresetZoomIn + preset);
        ListAppend(&list, &rows[preset]);
    }
    endRequesterBuild();
    listView = ugAddListview(window, CW(6) + 2, CW(6) + 2, width - 2 * CW(6) - 4, height - 2 * CW(6) - 4, &list, 0,
                             0, 0);
    setShortcut(window, listView, 'l');
    while (ListCount(&list) != 0) // the toolkit copied the rows; these live on this stack
        ListRemove(&list, ListFirst(&list));
    return 0;
}

void onPanPresetOk(const UgMessage&)
{
    if (!session.requestOpen[panPresetRequest])
        return;
    const int32_t preset = ListView{panPresetRequest, listView}.selectedRow();
    closeRequester(panPresetRequest);
    if (preset >= 0) // OK without a preset chosen adds nothing
        insertEffect(preset);
}

void onPanPresetCancel(const UgMessage&)
{
    closeRequester(panPresetRequest);
}

GadgetRoutes panPresetRoutes()
{
    static const GadgetRoute routes[] = {
        {&session.requests[panPresetRequest].cancelGadget, onPanPresetCancel},
        {&session.requests[panPresetRequest].okGadget, onPanPresetOk},
    };
    return routes;
}
