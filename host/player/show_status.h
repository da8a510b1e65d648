// What the player's status line says of a moment of the show: the time, the scene's photo and
// effect, and the transition being played or the next one to come.
#ifndef HX_PLAYER_SHOW_STATUS_H
#define HX_PLAYER_SHOW_STATUS_H

#include "hxhost/storyboard.h"
#include "hxhost/video_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hx {

class ShowStatus {
public:
    // Names the scenes once: their photos from the scene bin, their operators by their own names.
    ShowStatus(const hxhost::Storyboard& board, const hxhost::VideoFileFormat& format);
    // "0:12.40 / 0:41.00   Beach   Pan and zoom   next: Dissolve at 0:14.00" for frame f shown from
    // `sample`, in `scene` (the one playing alone or, inside a transition, the one it leaves; -1: none).
    std::u16string describe(int64_t frame, int64_t sample, int32_t scene) const;

private:
    struct SceneTitles {
        std::u16string photo, effect, transition;
    };
    std::u16string timeOfFrame(int64_t frame) const;

    const hxhost::Storyboard& board_;
    hxhost::VideoFileFormat format_;
    std::vector<SceneTitles> titles_;
};

} // namespace hx

#endif
