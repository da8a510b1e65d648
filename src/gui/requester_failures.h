// The log line of each requester the host could not open: stored logs know them by these numbers.
#ifndef STILLSET_GUI_REQUESTER_FAILURES_H
#define STILLSET_GUI_REQUESTER_FAILURES_H

#include <cstdint>

enum RequesterFailure : int32_t {
    kTonalRequesterFailed = 1517,
    kPhotoEditorFailed = 1679,
    kThumbSizeRequesterFailed = 1871,
    kStoryboardRequesterFailed = 2024,
    kDefaultDurationRequesterFailed = 2157,
    kApplyDurationRequesterFailed = 2368,
    kTransitionsRequesterFailed = 2477,
    kEffectsRequesterFailed = 2731,
    kTransitionSettingsRequesterFailed = 2914,
    kPanPresetRequesterFailed = 2976,
};

#endif
