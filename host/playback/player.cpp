// Playing the storyboard frame by frame: which scenes play a frame, their fields, the transitions
// between them, and the next scene's still decoding ahead.
#include "playback/player.h"

#include "host/hxmain.h"
#include "hxhost/transitions.h"
#include "hxhost/video_format.h"
#include "image/decode/still_cache.h"
#include "image/images.h"
#include "operators/operators.h"
#include "playback/frame_weave.h"
#include "playback/scene_fields.h"

#include <utility>

namespace {

bool fail(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

namespace hx {

// A scene being played, with the transition into the next one when it has one.
struct Player::PlayingScene {
    size_t index = 0;
    std::unique_ptr<SceneFields> fields;
    HxOperator* transition = nullptr;
    bool fieldInstants = false;

    ~PlayingScene()
    {
        if (transition)
            mainUnloadOperator(transition);
    }
};

Player::Player(const hxhost::Storyboard& storyboard, bool bottomFirst, bool decodeAhead)
    : board_(storyboard), bottomFirst_(bottomFirst), decodeAhead_(decodeAhead)
{
}

Player::~Player()
{
    for (OpImage* blend : blends_)
        freeImage(blend);
    if (decodeAhead_)
        decodeStillsAhead({}); // a still decoded for a scene past the last frame played is let go
}

bool Player::renderFields(int64_t f, const hxhost::VideoFileFormat& format, const OpImage** top, const OpImage** bottom,
                          std::string* error)
{
    const OpImage* fields[2] = {};
    for (int j = 0; j < 2; ++j)
        if (!(fields[j] = renderField(f, j, error)))
            return false;
    // The newest scene has its still now; the next one decodes meanwhile. Started no earlier, it
    // can take the memory of a still the operator has just shrunk and let go.
    decodeNextStill();
    return frameFields(fields[0], fields[1], format, top, bottom) || fail(error, "the fields of a frame do not match the video");
}

bool Player::renderFrame(int64_t f, hxhost::WovenFrame& frame, const hxhost::VideoFileFormat& format, std::string* error)
{
    frame.planes.resize(frameBytes(format));
    return renderFrame(f, frame.planes.data(), format, error);
}

bool Player::renderFrame(int64_t f, uint8_t* planes, const hxhost::VideoFileFormat& format, std::string* error)
{
    const OpImage *top, *bottom;
    if (!renderFields(f, format, &top, &bottom, error))
        return false;
    weaveFrame(top, bottom, format, planes);
    return true;
}

const OpImage* Player::renderField(int64_t f, int j, std::string* error)
{
    if (!advanceTo(f, error))
        return nullptr;
    // At the start there is no memory to wait for: the second scene's still decodes beside the
    // first scene's own, which its first field decodes on this thread, unless that one is decoding
    // ahead already: then the second starts at the end of the frame, rather than drop it. Without
    // decoding ahead nothing starts, and the clip's record is not read again for every field.
    if (decodeAhead_ && aheadFrom_ == 0 && !decodingOwnStill())
        decodeNextStill();
    const hxhost::StoryboardScene& scene = board_.scenes[current_->index];
    const OpImage* out = current_->fields->field(2 * (f - scene.position) + j, error);
    if (!out || !next_)
        return out;
    const hxhost::StoryboardScene& incoming = board_.scenes[next_->index];
    const OpImage* in = next_->fields->field(2 * (f - incoming.position) + j, error);
    if (!in)
        return nullptr;
    const int32_t frames = scene.transition->length;
    const int32_t t = static_cast<int32_t>(f - incoming.position);
    const double position = hxhost::transitionFieldPosition(t, j, frames, current_->fieldInstants);
    // Each field of a frame has its own blend: the first must last until the frame is woven.
    OpImage*& target = blends_[j];
    if (!target || target->width != out->width || target->height != out->height) {
        freeImage(target);
        target = newImage(out->width, out->height, OP_FORMAT_YUVA, false);
    }
    const int parity = (j == 1) != bottomFirst_ ? 1 : 0;
    if (!target || !hxhost::renderTransition(current_->transition, out, in, target, position, parity, error))
        return nullptr;
    return target;
}

// Makes the scenes that play frame f the current one and, inside a transition, the next.
bool Player::advanceTo(int64_t f, std::string* error)
{
    auto ends = [&](size_t i) { return board_.scenes[i].position + static_cast<int64_t>(board_.scenes[i].length); };
    size_t i = current_ ? current_->index : 0;
    while (i < board_.scenes.size() && ends(i) <= f)
        ++i;
    if (i >= board_.scenes.size())
        return fail(error, "no scene plays frame " + std::to_string(f));
    if (!current_ || current_->index != i) {
        if (next_ && next_->index == i)
            current_ = std::move(next_);
        else if (!(current_ = open(i, error)))
            return false;
        next_.reset();
    }
    const bool inTransition = i + 1 < board_.scenes.size() && board_.scenes[i].transition &&
                              board_.scenes[i].transition->length > 0 && board_.scenes[i + 1].position <= f;
    if (inTransition && !next_ && !(next_ = open(i + 1, error)))
        return false;
    if (inTransition && !current_->transition)
        return fail(error, "scene " + std::to_string(board_.scenes[i].id) + " has a transition that cannot be loaded");
    return true;
}

std::unique_ptr<Player::PlayingScene> Player::open(size_t index, std::string* error)
{
    // The scene's still is taken as it opens: the still after it can start to decode then,
    // beside the tool's work on this one, when there is memory for it already.
    const std::vector<std::string> after = decodeAhead_ ? stillOfScene(board_, index + 1) : std::vector<std::string>{};
    stills_.next = after.empty() ? std::string() : after.front();
    const hxhost::StoryboardScene& scene = board_.scenes[index];
    auto playing = std::make_unique<PlayingScene>();
    playing->index = index;
    playing->fields = std::make_unique<SceneFields>(scene, index + 1, stills_);
    if (!playing->fields->open(error))
        return nullptr;
    if (scene.transition && scene.transition->length > 0) {
        const hxhost::PlacedTransition& placed = *scene.transition;
        std::string why;
        if (!(playing->transition = loadPlacedOperator(placed, &why))) {
            fail(error, "cannot load the transition " + placed.operatorName + " of scene " + std::to_string(index + 1) + ": " + why);
            return nullptr;
        }
        const hxhost::TransitionType* type = hxhost::transitionOf(playing->transition);
        // A progressive frame is one instant: both its fields blend at the frame's position.
        playing->fieldInstants = type && (type->flags & hxhost::kOperatorFieldInstants) && !hxhost::videoFormat().progressive;
    }
    return playing;
}

bool Player::decodingOwnStill() const
{
    const std::vector<std::string> own = stillOfScene(board_, current_->index);
    return !own.empty() && isDecodingAhead(own.front());
}

// The still of the scene after the newest one starts to decode, once for each scene.
void Player::decodeNextStill()
{
    const size_t newest = next_ ? next_->index : current_->index;
    if (decodeAhead_ && aheadFrom_ <= newest) {
        aheadFrom_ = newest + 1;
        decodeStillsAhead(stillOfScene(board_, aheadFrom_));
    }
}

std::vector<std::string> stillOfScene(const hxhost::Storyboard& storyboard, size_t index)
{
    return index < storyboard.scenes.size() ? stillOfClip(storyboard.scenes[index].clipItem) : std::vector<std::string>{};
}

} // namespace hx
