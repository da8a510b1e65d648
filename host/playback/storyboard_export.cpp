// The host plays its storyboard into a file with the show's sound. Frames are rendered by the player
// on the host's thread, or by render workers side by side, and handed, a few at a time, to a writer
// thread that encodes and muxes them in order.
#include "hxhost/export.h"

#include "hxhost/setup.h"
#include "hxhost/show_audio.h"
#include "hxhost/storyboard.h"
#include "hxhost/video_file.h"
#include "image/decode/still_cache.h"
#include "image/image_blocks.h"
#include "playback/frame_queue.h"
#include "playback/frame_weave.h"
#include "playback/picture_fade.h"
#include "playback/player.h"
#include "playback/render_workers.h"
#include "playback/show_fade.h"
#include "runtime/pixel_threads.h"

#include <malloc.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <utility>

namespace {

// Frames between the render and the writer: enough to keep both busy, within a bound on their memory.
// An encoder holds a dozen frames of its own, which absorb the render's pauses at a scene's start.
constexpr size_t kMostFramesInFlight = 8, kLeastFramesInFlight = 3;
constexpr size_t kFramesInFlightBytes = 16u << 20;
// Frame-sized pictures' worth of freed blocks a renderer keeps for the next frame: what a frame's
// fields, the operator's frame and a transition's second scene take and let go, frame after frame.
constexpr size_t kWorkingFramePictures = 5;

bool fail(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return false;
}

hxhost::VideoFileFormat formatOf(const hxhost::ExportSettings& settings)
{
    hxhost::VideoFileFormat format = hxhost::VideoFileFormat::ofVideoFormat();
    format.encoder = settings.encoder;
    format.encoderThreads = settings.threads;
    return format;
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
    const std::unique_ptr<ShowAudio> sound = openShowAudio(settings.sound, error);
    if (!sound)
        return false;
    const int64_t fadeFrames = hx::fadeSteps(settings.sound.fadeSeconds, format.framesPerSecond);
    // Workers are forked before the encoder and the writer start their threads (render_workers.h).
    const RenderThreads threads = renderThreadsOf(settings, to - settings.from);
    const int32_t workers = threads.workers;
    struct PixelThreads {
        int32_t was = hx::pixelThreads();
        explicit PixelThreads(int32_t threads) { setPixelThreads(threads); }
        ~PixelThreads() { setPixelThreads(was); }
    } splitRows(threads.pixelThreads);
    const bool decodeAhead = threads.pixelThreads > 1;
    const size_t frameBytes = hx::frameBytes(format);
    // The stills and picture blocks kept for the work before are not the export's, which takes each
    // still once a scene (decodes in flight stay behind a fork: render_workers.h); they and the
    // heap's free pages go back to the system, so that the export's memory does not add to theirs.
    // Rendering here from the start, it takes a decode already under way for its first scene.
    if (workers == 1 && settings.from == 0)
        hx::forgetStillsBut(hx::stillOfScene(board, 0));
    else
        hx::forgetStills();
    hx::releaseKeptBlocks();
    malloc_trim(0);
    // Set before the fork: each worker keeps its own working blocks.
    const hx::KeptBlocksBound workingBlocks(kWorkingFramePictures * static_cast<size_t>(format.width) *
                                            static_cast<size_t>(format.height) * 4);
    std::unique_ptr<hx::RenderWorkers> pool;
    if (workers > 1) {
        pool = std::make_unique<hx::RenderWorkers>(workers, settings.from, to, frameBytes);
        const bool started = pool->start([&]() -> hx::RenderWorkers::Render {
            auto player = std::make_shared<hx::Player>(board, format.bottomFirst, decodeAhead);
            return [player, &format](int64_t f, uint8_t* planes, std::string* why) {
                return player->renderFrame(f, planes, format, why);
            };
        }, error);
        if (!started)
            return false;
    }
    std::unique_ptr<VideoFile> file = VideoFile::create(settings.output, format, error);
    if (!file)
        return false;

    hx::FrameQueue queue(std::clamp(kFramesInFlightBytes / frameBytes, kLeastFramesInFlight, kMostFramesInFlight));
    std::string writeError;
    std::thread writer([&] {
        std::vector<float> samples;
        for (int64_t f = settings.from; f < to; ++f) {
            std::unique_ptr<WovenFrame> frame = queue.pop();
            if (!frame)
                return; // the render stopped
            hx::fadeToBlack(*frame, format.width, format.height, hx::showFadeLevel(f, board.length - 1 - f, fadeFrames));
            if (!file->addWovenFrame(*frame, &writeError) || !sound->frameSound(f, samples, &writeError) ||
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
        hx::Player player(board, format.bottomFirst, decodeAhead);
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
