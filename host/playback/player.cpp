// The host plays its storyboard into a file: scenes in order, transitions blending the end of one
// scene with the start of the next field by field, and the show's sound. Frames are rendered on the
// host's thread, or by render workers side by side, and handed, a few at a time, to a writer thread
// that encodes and muxes them in order.
#include "hxhost/export.h"

#include "host/hxmain.h"
#include "host/hxmotion.h"
#include "host/hxop.h"
#include "hxhost/show_audio.h"
#include "hxhost/storyboard.h"
#include "hxhost/transitions.h"
#include "hxhost/video_file.h"
#include "image/decode/still_cache.h"
#include "image/images.h"
#include "operators/operators.h"
#include "playback/frame_queue.h"
#include "playback/render_workers.h"
#include "playback/scene_fields.h"
#include "runtime/host_state.h"
#include "runtime/pixel_threads.h"
#include "scenes/project_media.h"
#include "scenes/scene_bin.h"
#include "hxhost/video_format.h"

#include <algorithm>
#include <memory>
#include <thread>
#include <utility>

namespace {

constexpr size_t kFramesInFlight = 8;

bool fail(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return false;
}

// A scene being played, with the transition into the next one when it has one.
struct PlayingScene {
    size_t index = 0;
    std::unique_ptr<hx::SceneFields> fields;
    HxOperator* transition = nullptr;
    bool fieldInstants = false;

    ~PlayingScene()
    {
        if (transition)
            mainUnloadOperator(transition);
    }
};

class Player {
public:
    // With `decodeAhead`, each scene's still decodes on a thread of its own while the scene before plays.
    Player(const hxhost::Storyboard& storyboard, bool bottomFirst, bool decodeAhead)
        : board_(storyboard), bottomFirst_(bottomFirst), decodeAhead_(decodeAhead)
    {
    }
    ~Player()
    {
        for (OpImage* blend : blends_)
            hx::freeImage(blend);
        if (decodeAhead_)
            hx::decodeStillsAhead({}); // a still decoded for a scene past the last frame played is let go
        hx::state().exportStillAfter.clear();
    }

    // The two fields of frame f in time order, woven into `frame`.
    bool renderFrame(int64_t f, hxhost::WovenFrame& frame, const hxhost::VideoFileFormat& format, std::string* error)
    {
        const OpImage* fields[2] = {};
        for (int j = 0; j < 2; ++j)
            if (!(fields[j] = renderField(f, j, error)))
                return false;
        // The newest scene has its still now; the next one decodes meanwhile. Started no earlier, it
        // can take the memory of a still the operator has just shrunk and let go.
        decodeNextStill();
        return frame.weave(fields[0], fields[1], format) || fail(error, "the fields of a frame do not match the video");
    }

private:
    const OpImage* renderField(int64_t f, int j, std::string* error)
    {
        if (!advanceTo(f, error))
            return nullptr;
        // At the start there is no memory to wait for: the second scene's still decodes beside the
        // first scene's own, which its first field decodes on this thread.
        if (aheadFrom_ == 0)
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
            hx::freeImage(target);
            target = hx::newImage(out->width, out->height, OP_FORMAT_YUVA, false);
        }
        const int parity = (j == 1) != bottomFirst_ ? 1 : 0;
        if (!target || !hxhost::renderTransition(current_->transition, out, in, target, position, parity, error))
            return nullptr;
        return target;
    }

    // Makes the scenes that play frame f the current one and, inside a transition, the next.
    bool advanceTo(int64_t f, std::string* error)
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

    std::unique_ptr<PlayingScene> open(size_t index, std::string* error)
    {
        // The scene's still is taken as it opens: the still after it can start to decode then,
        // beside the tool's work on this one, when there is memory for it already.
        const std::vector<std::string> after = decodeAhead_ ? stillOfScene(index + 1) : std::vector<std::string>{};
        hx::state().exportStillAfter = after.empty() ? std::string() : after.front();
        const hxhost::StoryboardScene& scene = board_.scenes[index];
        auto playing = std::make_unique<PlayingScene>();
        playing->index = index;
        playing->fields = std::make_unique<hx::SceneFields>(scene, index + 1);
        if (!playing->fields->open(error))
            return nullptr;
        if (scene.transition && scene.transition->length > 0) {
            const hxhost::PlacedTransition& placed = *scene.transition;
            std::string why;
            if (!(playing->transition = hx::loadPlacedOperator(placed, &why))) {
                fail(error, "cannot load the transition " + placed.operatorName + " of scene " + std::to_string(index + 1) + ": " + why);
                return nullptr;
            }
            const hxhost::TransitionType* type = hxhost::transitionOf(playing->transition);
            // A progressive frame is one instant: both its fields blend at the frame's position.
            playing->fieldInstants = type && (type->flags & hxhost::kOperatorFieldInstants) && !hxhost::videoFormat().progressive;
        }
        return playing;
    }

    // The still of the scene after the newest one starts to decode, once for each scene.
    void decodeNextStill()
    {
        const size_t newest = next_ ? next_->index : current_->index;
        if (decodeAhead_ && aheadFrom_ <= newest) {
            aheadFrom_ = newest + 1;
            hx::decodeStillsAhead(stillOfScene(aheadFrom_));
        }
    }

    // The file of the still the scene at `index` shows, when there is such a scene and it shows one.
    std::vector<std::string> stillOfScene(size_t index) const
    {
        hxhost::PhotoClip clip;
        if (index >= board_.scenes.size() || !hxhost::photoClipOf(board_.scenes[index].clipItem, clip))
            return {};
        const hx::BinItem* still = hx::findItem(clip.sourceItem);
        return still ? std::vector<std::string>{hx::mediaPath(*still)} : std::vector<std::string>{};
    }

    const hxhost::Storyboard& board_;
    bool bottomFirst_, decodeAhead_;
    size_t aheadFrom_ = 0; // the first scene whose still has not begun to decode
    std::unique_ptr<PlayingScene> current_, next_;
    OpImage* blends_[2] = {};
};

hxhost::VideoFileFormat formatOf(const hxhost::ExportSettings& settings)
{
    hxhost::VideoFileFormat format = hxhost::VideoFileFormat::ofVideoFormat();
    format.encoder = settings.encoder;
    format.encoderThreads = settings.threads;
    return format;
}

std::vector<hxhost::JingleAt> jinglesOf(const hxhost::Storyboard& board)
{
    std::vector<hxhost::JingleAt> jingles;
    for (size_t i = 0; i + 1 < board.scenes.size(); ++i) {
        const auto& transition = board.scenes[i].transition;
        if (transition && !transition->jingleFile.empty())
            jingles.push_back({board.scenes[i + 1].position, hx::projectFilePath(transition->jingleFile)});
    }
    return jingles;
}

// How an export spends its threads: render workers side by side, each splitting its pictures' rows
// between a few pixel threads and decoding the next scene's still ahead. Within one process, two
// threads on a picture do more than two processes each decoding every still (one process: 1.4x one
// thread; two: 1.1x to 1.3x); more threads than that split into processes of two.
struct RenderThreads {
    int32_t workers = 1;      // 1: the host's own thread renders
    int32_t pixelThreads = 1; // in each of them
};
constexpr int32_t kPixelThreadsPerWorker = 2;

RenderThreads renderThreadsOf(const hxhost::ExportSettings& settings, int64_t frames)
{
    const int64_t wanted = settings.threads > 0 ? settings.threads : std::max(1u, std::thread::hardware_concurrency());
    RenderThreads threads;
    threads.workers = static_cast<int32_t>(std::clamp<int64_t>(std::min(wanted / kPixelThreadsPerWorker, frames), 1, 64));
    threads.pixelThreads = static_cast<int32_t>(std::clamp<int64_t>(wanted / threads.workers, 1, 64));
    return threads;
}

} // namespace

namespace hxhost {

int64_t exportFrames(const ExportSettings& settings)
{
    const int64_t length = storyboard().length;
    return (settings.to < 0 ? length : settings.to) - settings.from;
}

bool checkExportSettings(const ExportSettings& settings, std::string* error)
{
    return VideoFile::check(settings.output, formatOf(settings), error);
}

bool exportStoryboard(const ExportSettings& settings, std::string* error)
{
    const Storyboard board = storyboard();
    const int64_t to = settings.to < 0 ? board.length : settings.to;
    if (board.scenes.empty() || board.length <= 0)
        return fail(error, "the storyboard is empty");
    if (settings.from < 0 || to > board.length || settings.from >= to)
        return fail(error, "frames " + std::to_string(settings.from) + " to " + std::to_string(to) +
                               " are not within the storyboard's " + std::to_string(board.length));
    const VideoFileFormat format = formatOf(settings);
    struct Exporting {
        bool was = std::exchange(hx::state().exporting, true);
        ~Exporting() { hx::state().exporting = was; }
    } exporting;
    ShowAudio sound(board.length, format.framesPerSecond, jinglesOf(board), settings.music, format.fractionalRate);
    if (!sound.open(error))
        return false;
    // Workers are forked before the encoder and the writer start their threads (render_workers.h).
    const RenderThreads threads = renderThreadsOf(settings, to - settings.from);
    const int32_t workers = threads.workers;
    struct PixelThreads {
        int32_t was = hx::pixelThreads();
        explicit PixelThreads(int32_t threads) { setPixelThreads(threads); }
        ~PixelThreads() { setPixelThreads(was); }
    } splitRows(threads.pixelThreads);
    const bool decodeAhead = threads.pixelThreads > 1;
    const size_t frameBytes = static_cast<size_t>(format.width) * static_cast<size_t>(format.height) * 3 / 2;
    std::unique_ptr<hx::RenderWorkers> pool;
    if (workers > 1) {
        hx::forgetStills(); // decodes in flight stay behind a fork (render_workers.h)
        pool = std::make_unique<hx::RenderWorkers>(workers, settings.from, to, frameBytes);
        const bool started = pool->start([&]() -> hx::RenderWorkers::Render {
            auto player = std::make_shared<Player>(board, format.bottomFirst, decodeAhead);
            return [player, &format](int64_t f, WovenFrame& frame, std::string* why) {
                return player->renderFrame(f, frame, format, why);
            };
        }, error);
        if (!started)
            return false;
    }
    std::unique_ptr<VideoFile> file = VideoFile::create(settings.output, format, error);
    if (!file)
        return false;

    hx::FrameQueue queue(kFramesInFlight);
    std::string writeError;
    std::thread writer([&] {
        std::vector<float> samples;
        for (int64_t f = settings.from; f < to; ++f) {
            std::unique_ptr<WovenFrame> frame = queue.pop();
            if (!frame)
                return; // the render stopped
            if (!file->addWovenFrame(*frame, &writeError) || !sound.frameSound(f, samples, &writeError) ||
                !file->addAudio(samples.data(), samples.size() / kAudioChannels, &writeError)) {
                queue.fail();
                return;
            }
            queue.recycle(std::move(frame));
        }
    });
    std::string renderError;
    bool rendered = true;
    {
        Player player(board, format.bottomFirst, decodeAhead);
        for (int64_t f = settings.from; f < to && rendered; ++f) {
            if (settings.stop && settings.stop()) {
                renderError = "stopped";
                rendered = false;
                break;
            }
            std::unique_ptr<WovenFrame> frame = queue.spare();
            rendered = (pool ? pool->next(*frame, &renderError) : player.renderFrame(f, *frame, format, &renderError)) &&
                       queue.push(std::move(frame));
            if (settings.progress && rendered)
                settings.progress(f + 1 - settings.from, to - settings.from);
        }
    }
    if (rendered)
        queue.close();
    else
        queue.fail();
    pool.reset();
    writer.join();
    if (!writeError.empty())
        return fail(error, writeError);
    if (!rendered)
        return fail(error, renderError);
    return file->finish(error);
}

} // namespace hxhost
