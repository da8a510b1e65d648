#include "scenes/first_scene_ahead.h"

#include "hxhost/show_start.h"
#include "image/decode/still_cache.h"
#include "runtime/reset_hook.h"
#include "scenes/photo_clips.h"

#include <atomic>

namespace {

std::atomic<bool> wanted{false};

const hx::ResetHook offAgain([] { wanted.store(false); });

} // namespace

namespace hx {

void placedFirstScene(uint32_t clipItem)
{
    if (wanted.load())
        decodeStillsAhead(stillOfClip(clipItem));
}

} // namespace hx

namespace hxhost {

void decodeFirstSceneAhead(bool on)
{
    wanted.store(on);
}

} // namespace hxhost
