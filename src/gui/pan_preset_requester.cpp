#include "chooser_requesters.h"

#include "chooser_state.h"
#include "gadget_helpers.h"
#include "layout_units.h"
#include "list_requester_layout.h"
#include "requester_frame.h"

#include <cstring>

namespace {

constexpr int32_t kPresets = 5;
constexpr int32_t kFirstPresetLabel = 500;

} // namespace

int32_t openPanPresetRequester()
{
    const int32_t width = 20 * GW(32) + 19 * CW(2);
    const int32_t height = 2 * CW(6) + 9 * listRowHeight() + 8; // a list of exactly nine rows
    UgWindow* window = openRequester({panPresetRequest, width, height, 400, 2976});
    if (!window)
        return -1;
    ugDrawBoxNew(window, 0, 0, width - 1, height - 1, 4, 5, 0, 0);

    UgItem rows[kPresets];
    std::memset(rows, 0, sizeof rows);
    ListHead list;
    ListInit(&list);
    for (int32_t preset = 0; preset < kPresets; ++preset) {
        rows[preset].flags = UG_ITEM_TEXT_ROW;
        rows[preset].text = resGetString(session.stringCatalogue, kFirstPresetLabel + preset);
        ListAppend(&list, &rows[preset]);
    }
    endRequesterBuild();
    choosers.panPresetListView = ugAddListview(window, CW(6) + 2, CW(6) + 2, width - 2 * CW(6) - 4,
                                               height - 2 * CW(6) - 4, &list, 0, 0, 0);
    setShortcut(window, choosers.panPresetListView, 108);
    while (ListCount(&list) != 0) // the toolkit copied the rows; these live on this stack
        ListRemove(&list, ListFirst(&list));
    return 0;
}
