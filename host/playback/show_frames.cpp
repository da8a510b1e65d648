#include "hxhost/show_frames.h"

#include "playback/picture_fade.h"
#include "playback/player.h"
#include "playback/show_fade.h"

namespace hxhost {

struct ShowFrames::Playing {
    Storyboard board;
    hx::Player player;
    Playing(Storyboard b, bool bottomFirst, bool decodeAhead)
        : board(std::move(b)), player(board, bottomFirst, decodeAhead)
    {
    }
};

ShowFrames::ShowFrames(Storyboard board, const VideoFileFormat& format, double fadeSeconds,
                       bool decodeAhead)
    : format_(format), fadeFrames_(hx::fadeSteps(fadeSeconds, format.framesPerSecond)),
      playing_(std::make_unique<Playing>(std::move(board), format.bottomFirst, decodeAhead))
{
}

ShowFrames::~ShowFrames() = default;

bool ShowFrames::frame(int64_t f, WovenFrame& out, std::string* error)
{
    if (!playing_->player.renderFrame(f, out, format_, error))
        return false;
    const int64_t last = playing_->board.length - 1;
    hx::fadeToBlack(out, format_.width, format_.height, hx::showFadeLevel(f, last - f, fadeFrames_));
    return true;
}

} // namespace hxhost
