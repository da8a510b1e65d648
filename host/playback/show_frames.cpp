#include "playback/show_frames.h"

#include "playback/picture_fade.h"
#include "playback/player.h"
#include "playback/show_fade.h"

namespace hx {

struct ShowFrames::Playing {
    hxhost::Storyboard board;
    Player player;
    Playing(hxhost::Storyboard b, bool bottomFirst) : board(std::move(b)), player(board, bottomFirst, false) {}
};

ShowFrames::ShowFrames(hxhost::Storyboard board, const hxhost::VideoFileFormat& format, double fadeSeconds)
    : format_(format), fadeFrames_(hx::fadeSteps(fadeSeconds, format.framesPerSecond)),
      playing_(std::make_unique<Playing>(std::move(board), format.bottomFirst))
{
}

ShowFrames::~ShowFrames() = default;

bool ShowFrames::frame(int64_t f, hxhost::WovenFrame& out, std::string* error)
{
    if (!playing_->player.renderFrame(f, out, format_, error))
        return false;
    const int64_t last = playing_->board.length - 1;
    hx::fadeToBlack(out, format_.width, format_.height, hx::showFadeLevel(f, last - f, fadeFrames_));
    return true;
}

} // namespace hx
