#include "chooser_requesters.h"

#include "chooser_state.h"
#include "gadget_helpers.h"
#include "list_requester_layout.h"
#include "requester_frame.h"

int32_t openEffectsRequester()
{
    const ListRequesterLayout l = listRequesterLayout(1, 2);
    UgWindow* window = openRequester({effectsRequest, l.width, l.height, 400, 2731});
    if (!window)
        return -1;
    drawListRequesterPanels(window, l);

    const int32_t x0 = leftPanelX(), iw = leftPanelWidth(l), BH = l.rows.BH;
    auto row = [&](int32_t k) { return leftPanelRow(l, k); };
    ChooserState& c = choosers;
    c.addEffectButton = textButton(window, x0, row(0), iw, BH, 201, 97);
    c.removeEffectButton = textButton(window, x0, row(1), iw, BH, 204, 0xE002);
    const int32_t labels[] = {215, 218};
    const int32_t TL = popupLabelColumn(labels, 2);
    c.effectOrderPopup = labelledPopup(window, x0, row(5), iw, BH, TL, 215, 216, 217, c.stagedEffectOrder, 111);
    c.effectRepeatPopup = labelledPopup(window, x0, row(6), iw, BH, TL, 218, 219, 224, c.stagedEffectRepeatCode, 99);
    endRequesterBuild();
    c.effectListView = addListRequesterListView(window, l);
    return 0;
}
