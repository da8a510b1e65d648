#include "chooser_requesters.h"

#include "chooser_state.h"
#include "gadget_helpers.h"
#include "list_requester_layout.h"
#include "requester_frame.h"

int32_t openTransitionsRequester()
{
    const ListRequesterLayout l = listRequesterLayout(7, 10);
    UgWindow* window = openRequester({transitionsRequest, l.width, l.height, 200, 2477});
    if (!window)
        return -1;
    drawListRequesterPanels(window, l);

    const int32_t x0 = leftPanelX(), iw = leftPanelWidth(l), BH = l.rows.BH;
    auto row = [&](int32_t k) { return leftPanelRow(l, k); };
    ChooserState& c = choosers;
    c.addTransitionButton = textButton(window, x0, row(0), iw, BH, 201, 97);
    c.transitionSettingsButton = textButton(window, x0, row(1), iw, BH, 202, 115);
    c.jingleButton = textButton(window, x0, row(2), iw, BH, 203, 109);
    c.removeTransitionButton = textButton(window, x0, row(3), iw, BH, 204, 0xE002);
    const int32_t labels[] = {205, 215, 218};
    const int32_t TL = popupLabelColumn(labels, 3);
    c.transitionLengthPopup = labelledPopup(window, x0, row(5), iw, BH, TL, 205, 206, 214,
                                            c.stagedTransitionLengthCode, 116);
    c.transitionOrderPopup = labelledPopup(window, x0, row(6), iw, BH, TL, 215, 216, 217, c.stagedTransitionOrder, 111);
    c.transitionRepeatPopup = labelledPopup(window, x0, row(7), iw, BH, TL, 218, 219, 224,
                                            c.stagedTransitionRepeatCode, 99);
    endRequesterBuild();
    c.transitionListView = addListRequesterListView(window, l);
    return 0;
}
