// The player's timeline: where the picture, the strip of scenes and the status line lie in the
// player's frame, where each frame of the show is on the strip, and which frame a point of it means.
#ifndef HX_PLAYER_TIMELINE_H
#define HX_PLAYER_TIMELINE_H

#include "hxhost/player.h"
#include "hxhost/storyboard.h"

#include <cstdint>
#include <vector>

namespace hx {

// Where each scene lies on the strip, from the storyboard's frames: its span and, where it hands over
// to the next scene, the overlap of the two.
struct StripScene {
    int32_t x0 = 0, x1 = 0;                   // the scene's span, strip pixels
    int32_t overlapX0 = 0, overlapX1 = 0;     // its transition into the next; empty when none
};

class Timeline {
public:
    Timeline(const hxhost::PlayerLayout& layout, const hxhost::Storyboard& board);
    // The x of frame f's start on the strip.
    int32_t xOfFrame(int64_t f) const;
    // The frame a point of the strip seeks to: clamped into the show, whatever the point.
    int64_t frameAt(int32_t x) const;
    // The scene that plays frame f alone or, inside a transition, the one it leaves; -1 for none.
    int32_t sceneAt(int64_t f) const;
    const std::vector<StripScene>& scenes() const { return scenes_; }

private:
    hxhost::ViewRect strip_;
    const hxhost::Storyboard& board_;
    std::vector<StripScene> scenes_;
};

} // namespace hx

#endif
