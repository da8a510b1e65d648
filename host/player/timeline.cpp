#include "player/timeline.h"

#include <algorithm>

namespace hx {

Timeline::Timeline(const hxhost::PlayerLayout& layout, const hxhost::Storyboard& board) : strip_(layout.strip), board_(board)
{
    for (size_t i = 0; i < board.scenes.size(); ++i) {
        const hxhost::StoryboardScene& scene = board.scenes[i];
        StripScene s;
        s.x0 = xOfFrame(scene.position);
        s.x1 = xOfFrame(static_cast<int64_t>(scene.position) + scene.length);
        if (i + 1 < board.scenes.size() && scene.transition && scene.transition->length > 0) {
            s.overlapX0 = xOfFrame(board.scenes[i + 1].position);
            s.overlapX1 = s.x1;
        }
        scenes_.push_back(s);
    }
}

int32_t Timeline::xOfFrame(int64_t f) const
{
    if (board_.length <= 0)
        return strip_.x;
    f = std::clamp<int64_t>(f, 0, board_.length);
    return strip_.x + static_cast<int32_t>(f * strip_.width / board_.length);
}

int64_t Timeline::frameAt(int32_t x) const
{
    if (board_.length <= 0 || strip_.width <= 0)
        return 0;
    const int64_t f = static_cast<int64_t>(x - strip_.x) * board_.length / strip_.width;
    return std::clamp<int64_t>(f, 0, board_.length - 1);
}

int32_t Timeline::sceneAt(int64_t f) const
{
    for (size_t i = 0; i < board_.scenes.size(); ++i) {
        const hxhost::StoryboardScene& scene = board_.scenes[i];
        if (f >= scene.position && f < static_cast<int64_t>(scene.position) + scene.length)
            return static_cast<int32_t>(i);
    }
    return -1;
}

} // namespace hx
