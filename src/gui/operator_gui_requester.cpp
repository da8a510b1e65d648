#include "chooser_requesters.h"

#include "chooser_state.h"
#include "layout_units.h"
#include "requester_frame.h"

int32_t openOperatorGuiRequester(OperatorEntry* entry, HxOperator* op)
{
    if (!entry)
        return -1;
    const RowMeasures m = rowMeasures();
    // Room for a panel of five rows of gadgets.
    const int32_t width = 10 * GW(32) + 2 * CW(6) + 9 * CW(2) + 4;
    const int32_t height = 5 * (m.FH + m.AH) + 4 * CW(4) + 2 * CW(6) + 24;
    UgWindow* window = openRequester({operatorGuiRequest, width, height, 202, 2914});
    if (!window)
        return -1;
    ugDrawBoxNew(window, 0, 0, width - 1, height - 1, 4, 5, 0, 0);
    endRequesterBuild();
    mainBuildOpGui(window, CW(6) + 2, CW(6) + 2, width - 2 * CW(6) - 4, height - 2 * CW(6) - 4, op,
                   &choosers.opGuiState);
    return 0;
}
