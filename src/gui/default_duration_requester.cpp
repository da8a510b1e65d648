#include "default_duration_requester.h"

#include "apply_duration_requester.h"
#include "drawing.h"
#include "gadget_helpers.h"
#include "layout_units.h"
#include "main_window.h"
#include "operator_list_view.h"
#include "photo_editor.h"
#include "requester_failures.h"
#include "requester_frame.h"
#include "string_ids.h"
#include "stillset/time_units.h"

#include "host/hxreq.h"

#include <cstring>

namespace {

struct DefaultDurationGadgets {
    UgGadget defaultDurationPopup, resetButton;
};

DefaultDurationGadgets gadgets;

// An empty list shows an empty grid and an empty preview.
void clearGridWhenEmpty()
{
    if (ListCount(&session.photoList) != 0)
        return;
    ListHead empty;
    ListInit(&empty);
    UgWindow* window = mainWindow();
    ugChangeElement(window, mainGadgets.photoGrid, UG_GRID_REPLACE_LIST, reinterpret_cast<intptr_t>(&empty), 1);
    const ScreenRect& r = previewRect;
    ugFillBackground(window, r.x - 4, r.y - 4, r.x + r.width + 3, r.y + r.height + 3, 2, 0);
}

} // namespace

int32_t openDefaultDurationRequester()
{
    const RowMeasures m = rowMeasures();
    const int32_t width = 10 * GW(32) + 9 * CW(2);
    const int32_t height = 2 * CW(6) + 2 * (m.FH + m.AH) + CW(4) + 12;
    UgWindow* window = openRequester({defaultDurationRequest, width, height, kStrDefaultDurationTitle,
                                       kDefaultDurationRequesterFailed});
    if (!window)
        return -1;
    drawPanel(window, 0, 0, width - 1, height - 1);
    const int32_t x = CW(6) + 2, w = width - 2 * CW(6) - 4;
    DefaultDurationGadgets& g = gadgets;
    g.defaultDurationPopup =
        durationPopup(window, x, CW(6) + 2, w, m.BH, kStrDefaultDurationLabel, session.settings.defaultDurationCode);
    g.resetButton = textButton(window, x, CW(6) + 2 + m.STEP, w, m.BH, kStrResetAll, 'd');
    endRequesterBuild();
    return 0;
}

void acceptDefaultDuration()
{
    if (!requesterIsOpen(defaultDurationRequest))
        return;
    const int32_t code =
        gadgetInfo(requesterWindow(defaultDurationRequest), gadgets.defaultDurationPopup, UG_POPUP_SELECTED);
    closeRequester(defaultDurationRequest);
    Settings& s = session.settings;
    const bool empty = ListCount(&session.photoList) == 0;
    if (code != s.defaultDurationCode) {
        const int32_t oldCode = s.defaultDurationCode;
        s.defaultDurationCode = code;
        s.defaultDuration = durationFrames(code);
        s.previousDefaultDuration = durationFrames(oldCode);
        if (!empty)
            openApplyDurationRequester();
    }
    if (empty) {
        clearGridWhenEmpty();
        drawStatusIcon(0);
    }
}

void cancelDefaultDuration()
{
    closeRequester(defaultDurationRequest);
    clearGridWhenEmpty();
}

void resetEverything()
{
    UReqTextRequest question;
    std::memset(&question, 0, sizeof question);
    question.text = catalogueText(kStrResetAllQuestion);
    question.style = UREQ_QUESTION;
    if (ureqTextRequest(&question) != 0 || question.answer != 1)
        return;
    forgetEditedPhoto(nullptr); // the editors must not hold photos the host is about to free
    nslFreeStillsetProject(session.projectDir, &session.photoList, NSL_FREE_DISCARD);
    freeOperatorLists();
    restoreDefaultSettings();
    // The requester stays open; its OK must find the restored default, not the one it was opened with.
    ugChangeElement(requesterWindow(defaultDurationRequest), gadgets.defaultDurationPopup, UG_POPUP_SELECT,
                    session.settings.defaultDurationCode, 1);
    // The main window shows the emptied lists and the photo-less duration.
    followListInCheckBox(session.transitionList, session.settings.transitionsEnabled, mainGadgets.transitionsCheckBox,
                         false);
    followListInCheckBox(session.effectList, session.settings.effectsEnabled, mainGadgets.effectsCheckBox, false);
    showDurationOf(nullptr);
}

void forgetDefaultDurationRequester()
{
    gadgets = {};
}

GadgetRoutes defaultDurationRoutes()
{
    static const GadgetRoute routes[] = {
        {&session.requests[defaultDurationRequest].okGadget, ignoringEvent<acceptDefaultDuration>},
        {&session.requests[defaultDurationRequest].cancelGadget, ignoringEvent<cancelDefaultDuration>},
        {&gadgets.resetButton, ignoringEvent<resetEverything>},
    };
    return routes;
}
