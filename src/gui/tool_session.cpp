#include "tool_session.h"

#include "apply_duration_requester.h"
#include "default_duration_requester.h"
#include "drawing.h"
#include "effects_requester.h"
#include "event_loop.h"
#include "gadget_helpers.h"
#include "import_question.h"
#include "main_window.h"
#include "pan_preset_requester.h"
#include "photo_editor.h"
#include "previews.h"
#include "string_ids.h"
#include "thumb_size_requester.h"
#include "tonal_requester.h"
#include "transition_settings_requester.h"
#include "transitions_requester.h"
#include "stillset/log.h"
#include "stillset/session.h"

int32_t startToolSession()
{
    // A gadget number handed out in an earlier session must never answer for a new gadget.
    forgetTonalRequester();
    forgetPhotoEditor();
    forgetThumbSizeRequester();
    forgetDefaultDurationRequester();
    forgetApplyDurationRequester();
    forgetTransitionsRequester();
    forgetTransitionSettings();
    forgetEffectsRequester();
    forgetPanPresetRequester();
    return sessionStartup();
}

void endToolSession()
{
    if (session.requestOpen[mainWindowRequest]) {
        int32_t position = 0;
        if (ugGetElementInfo(mainWindow(), mainGadgets.photoGrid, UG_GRID_SELECTED, &position) == 0)
            session.settings.gridPosition = position;
    }
    finishTransitionSettings(false); // its operator is loaded while the panel is open
    sessionShutdown();
}

int32_t runStillset(OperatorActionRecord* record)
{
    if (startToolSession() != 0) {
        STILLSET_LOG(HXLOG_FAILURE);
        endToolSession();
        return -1;
    }
    if (buildMainWindow() != 0) {
        STILLSET_LOG(HXLOG_FAILURE);
        endToolSession();
        return -1;
    }
    if (session.settingsNotice)
        showNotice(session.settingsNotice);
    if (!session.photoListLoaded && ListCount(&session.photoList) > 0)
        // The whole entries before the damage were kept.
        showNotice(kStrPhotoListDamaged, ListCount(&session.photoList));
    else if (!session.photoListLoaded)
        showNotice(kStrPhotoListUnreadable); // the stored list could not be read, and the host kept it aside
    if (ListCount(&session.photoList) == 0)
        askImportWhenEmpty();
    updateReadyIcon();
    buildMissingThumbnails();
    fillPhotoGrid(session.settings.gridPosition);
    if (auto* photo = static_cast<PhotoEntry*>(ListNodeAt(&session.photoList, session.settings.gridPosition + 1)))
        drawMainPreview(photo);
    return runEventLoop(record);
}
