// The host plays its storyboard frame by frame: scenes in order, transitions blending the end of one
// scene with the start of the next field by field, each frame's two fields woven into one picture.
#ifndef HX_PLAYER_H
#define HX_PLAYER_H

#include "hxhost/storyboard.h"
#include "hxhost/video_file.h"
#include "scenes/photo_clips.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hx {

// The file of the still the scene at `index` shows, when there is such a scene and it shows one.
std::vector<std::string> stillOfScene(const hxhost::Storyboard& storyboard, size_t index);

class Player {
public:
    // With `decodeAhead`, each scene's still decodes on a thread of its own while the scene before plays.
    Player(const hxhost::Storyboard& storyboard, bool bottomFirst, bool decodeAhead);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // The two fields of frame f in time order, woven into `frame`. Frames go forward.
    bool renderFrame(int64_t f, hxhost::WovenFrame& frame, const hxhost::VideoFileFormat& format, std::string* error);
    // The same woven into `planes`, frameBytes(format) of them (frame_weave.h).
    bool renderFrame(int64_t f, uint8_t* planes, const hxhost::VideoFileFormat& format, std::string* error);

private:
    struct PlayingScene;

    // Frame f's fields in the format's top and bottom order.
    bool renderFields(int64_t f, const hxhost::VideoFileFormat& format, const OpImage** top, const OpImage** bottom, std::string* error);
    const OpImage* renderField(int64_t f, int j, std::string* error);
    bool advanceTo(int64_t f, std::string* error);
    std::unique_ptr<PlayingScene> open(size_t index, std::string* error);
    void decodeNextStill();
    bool decodingOwnStill() const;

    const hxhost::Storyboard& board_;
    bool bottomFirst_, decodeAhead_;
    ExportStills stills_;  // how the scenes' clips take their stills
    size_t aheadFrom_ = 0; // the first scene whose still has not begun to decode
    std::unique_ptr<PlayingScene> current_, next_;
    OpImage* blends_[2] = {};
};

} // namespace hx

#endif
