// The player's window: the show's pictures at the sound's clock, the timeline strip, the controls and
// their keys, and writing the file with its progress in the window.
#include "hxhost/player.h"

#include "gui/canvas.h"
#include "gui/colour.h"
#include "gui/model.h"
#include "hxhost/setup.h"
#include "hxhost/show_frames.h"
#include "hxhost/video_format.h"
#include "image/scaling.h"
#include "player/frame_picture.h"
#include "player/play_clock.h"
#include "player/show_status.h"
#include "player/sound_feeder.h"
#include "player/sound_output.h"
#include "player/strip_drawing.h"
#include "player/timeline.h"
#include "runtime/pixel_threads.h"
#include "runtime/warnings.h"
#include "text/utf.h"
#include "user/desktop_window.h"
#include "user/window_frame.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <thread>

namespace {

using hxhost::PlayResult;

constexpr int32_t kFrameWidth = 1280, kPictureHeight = 720, kStripHeight = 112, kStripMargin = 8;
// While playing, events are waited for at most this long, so the next picture is not late for them.
constexpr int32_t kPlayingWaitMs = 10;
// Fewer picture rows than this a thread are not worth waking a helper for.
constexpr int32_t kLeastRowsPerThread = 16;

enum class Control { PlayPause, FrameBack, FrameOn, SceneBack, SceneOn, Tool, Write };

class ShowPlayer {
public:
    ShowPlayer(const hxhost::PlayOptions& options, hxhost::Storyboard board, std::unique_ptr<hx::DesktopWindow> window,
               std::unique_ptr<hx::SoundOutput> sound)
        : options_(options), board_(std::move(board)), format_(hxhost::VideoFileFormat::ofVideoFormat()),
          layout_(hxhost::playerLayout()), timeline_(layout_, board_), clock_(format_), window_(std::move(window)),
          sound_(std::move(sound)), feeder_(sound_ ? std::make_unique<hx::SoundFeeder>(*sound_) : nullptr),
          status_(board_, format_), thumbnails_(board_.scenes.size())
    {
        controls_ = {Control::PlayPause, Control::FrameBack, Control::FrameOn, Control::SceneBack, Control::SceneOn};
        if (options.offerTool)
            controls_.push_back(Control::Tool);
        if (options.write)
            controls_.push_back(Control::Write);
    }

    bool run(PlayResult& result, std::string* error)
    {
        pictures_ = static_cast<int64_t>(board_.length) * clock_.picturesPerFrame();
        if (!seek(std::clamp<int64_t>(options_.startFrame, 0, board_.length - 1) * clock_.picturesPerFrame(), error))
            return false;
        if (!options_.paused && !play(error))
            return false;
        for (;;) {
            SDL_Event event;
            int32_t wait = waitMs();
            while (window_->nextEvent(event, wait)) {
                wait = 0;
                std::optional<PlayResult::Choice> end;
                if (!handle(event, end, error))
                    return finish(result, false);
                if (end) {
                    result.choice = *end;
                    return finish(result, true);
                }
            }
            if (playing_ && !keepTime(error))
                return finish(result, false);
            // Small pictures are made while the person waits, or while the next picture is not yet due.
            if (!playing_ || waitMs() >= kPlayingWaitMs)
                makeThumbnail();
            if (dirty_)
                show();
        }
    }

private:
    bool finish(PlayResult& result, bool ok)
    {
        result.frame = picture_ / clock_.picturesPerFrame();
        result.shown = shown_;
        result.dropped = dropped_;
        return ok;
    }

    // ---- Time ----

    // The show's sample being heard now.
    int64_t heard() const
    {
        if (!playing_)
            return clock_.sampleOfPicture(picture_);
        if (feeder_)
            return playFrom_ + feeder_->played();
        const auto elapsed = std::chrono::steady_clock::now() - playStarted_;
        return playFrom_ + std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() * hxhost::kAudioRate / 1000000;
    }

    // How long to wait for events: until the next picture is due while playing.
    int32_t waitMs() const
    {
        if (!playing_)
            return nextThumbnail() < thumbnails_.size() ? 0 : 50;
        const int64_t due = clock_.sampleOfPicture(picture_ + 1) - heard();
        return static_cast<int32_t>(std::clamp<int64_t>(due * 1000 / hxhost::kAudioRate, 0, kPlayingWaitMs));
    }

    bool play(std::string* error)
    {
        message_.clear();
        if (picture_ + 1 >= pictures_ && !seek(0, error))
            return false;
        // The sound starts at the shown frame's first sample, mixed from there as the export mixes it.
        const int64_t frame = picture_ / clock_.picturesPerFrame();
        playFrom_ = clock_.sampleOfPicture(frame * clock_.picturesPerFrame());
        if (feeder_) {
            std::unique_ptr<hxhost::ShowAudio> mix =
                hxhost::storyboardSound(board_, format_.framesPerSecond, format_.fractionalRate, options_.sound);
            if (!mix->open(error))
                return false;
            feeder_->start(std::move(mix), frame, board_.length);
        }
        playing_ = true;
        playStarted_ = std::chrono::steady_clock::now();
        dirty_ = true;
        return true;
    }

    void pause()
    {
        playing_ = false;
        if (feeder_)
            feeder_->stop();
        dirty_ = true;
    }

    // The picture the sound has reached is shown; those it passed before they could be are dropped.
    bool keepTime(std::string* error)
    {
        if (feeder_ && !feeder_->failure().empty())
            return fail(error, feeder_->failure());
        const int64_t heardPicture = clock_.pictureAt(heard());
        // The show ends on its last picture, whatever was dropped before it.
        const int64_t due = std::min(heardPicture, pictures_ - 1);
        if (due > picture_) {
            dropped_ += due - picture_ - 1;
            ++shown_;
            if (!showPicture(due, error))
                return false;
        }
        if (heardPicture >= pictures_)
            pause();
        return true;
    }

    bool seek(int64_t picture, std::string* error)
    {
        const bool wasPlaying = playing_;
        if (wasPlaying)
            pause();
        if (!showPicture(std::clamp<int64_t>(picture, 0, pictures_ - 1), error))
            return false;
        return !wasPlaying || play(error);
    }

    // ---- Pictures ----

    bool showPicture(int64_t picture, std::string* error)
    {
        const int64_t frame = picture / clock_.picturesPerFrame();
        if (frame != rendered_) {
            if (!frames_ || frame < rendered_)
                frames_ = std::make_unique<hxhost::ShowFrames>(board_, format_, options_.sound.fadeSeconds, true);
            if (!frames_->frame(frame, woven_, error)) {
                frames_.reset();
                rendered_ = -1;
                return false;
            }
            rendered_ = frame;
        }
        picture_ = picture;
        hx::framePicture(woven_, format_, static_cast<int>(picture % clock_.picturesPerFrame()), instant_,
                         [](int32_t rows, const auto& part) { hx::forRowRanges(rows, kLeastRowsPerThread, part); });
        const hxhost::ViewRect& area = layout_.picture;
        scaled_.pixels.resize(static_cast<size_t>(area.width) * area.height);
        scaled_.width = area.width;
        scaled_.height = area.height;
        hx::scaleFourBytePixels(reinterpret_cast<const uint8_t*>(instant_.pixels.data()), instant_.width, instant_.height,
                                reinterpret_cast<uint8_t*>(scaled_.pixels.data()), area.width, area.height);
        dirty_ = true;
        return true;
    }

    size_t nextThumbnail() const
    {
        return static_cast<size_t>(std::find_if(thumbnails_.begin(), thumbnails_.end(), [](const auto& t) { return !t; }) -
                                   thumbnails_.begin());
    }

    // One scene's small picture at a time, while the person waits anyway.
    void makeThumbnail()
    {
        const size_t i = nextThumbnail();
        if (i >= thumbnails_.size())
            return;
        thumbnails_[i] = hx::stripThumbnail(board_.scenes[i], format_, layout_.strip.height);
        dirty_ = true;
    }

    // ---- Showing ----

    void show()
    {
        dirty_ = false;
        hx::FrameMarks marks;
        marks.status = statusText();
        marks.buttons = buttonLabels();
        marks.hoverButton = hoverButton_;
        showWith([this](const hx::Canvas& canvas) {
            hx::drawStrip(canvas, layout_.strip, timeline_, thumbnails_, picture_ / clock_.picturesPerFrame());
        }, marks);
    }

    // The picture above, the strip's part drawn by `drawStrip`, and the status line with `marks`.
    template <typename DrawStrip>
    void showWith(DrawStrip drawStrip, const hx::FrameMarks& marks)
    {
        UgWindow surface;
        surface.width = layout_.width;
        surface.height = layout_.statusTop;
        surface.pixels.assign(static_cast<size_t>(surface.width) * surface.height, 0);
        const hx::Canvas canvas{&surface, 0, 0, {0, 0, surface.width - 1, surface.height - 1}};
        const hxhost::ViewRect& area = layout_.picture;
        for (int32_t y = 0; y < area.height; ++y)
            std::copy_n(scaled_.pixels.begin() + static_cast<ptrdiff_t>(y) * area.width, area.width,
                        surface.pixels.begin() + static_cast<ptrdiff_t>(area.y + y) * surface.width + area.x);
        canvas.fill({0, kPictureHeight, layout_.width - 1, layout_.statusTop - 1}, hx::guiColour(hx::kColourPanel));
        drawStrip(canvas);
        frame_ = hx::composeFrame({surface.width, surface.height, std::move(surface.pixels)}, marks);
        window_->show(frame_.pixels, frame_.width, frame_.height);
    }

    std::u16string statusText() const
    {
        const int64_t frame = picture_ / clock_.picturesPerFrame();
        const std::u16string text = status_.describe(frame, clock_.sampleOfPicture(picture_), timeline_.sceneAt(frame));
        return message_.empty() ? text : message_ + u"   " + text;
    }

    std::vector<std::u16string> buttonLabels() const
    {
        std::vector<std::u16string> labels;
        for (Control control : controls_)
            switch (control) {
            case Control::PlayPause: labels.push_back(playing_ ? u"Pause" : u"Play"); break;
            case Control::FrameBack: labels.push_back(u"<"); break;
            case Control::FrameOn: labels.push_back(u">"); break;
            case Control::SceneBack: labels.push_back(u"<<"); break;
            case Control::SceneOn: labels.push_back(u">>"); break;
            case Control::Tool: labels.push_back(u"Back to the tool"); break;
            case Control::Write: labels.push_back(u"Write the file"); break;
            }
        return labels;
    }

    // ---- Input ----

    bool handle(const SDL_Event& event, std::optional<PlayResult::Choice>& end, std::string* error)
    {
        int32_t x = -1, y = -1;
        switch (event.type) {
        case SDL_QUIT:
            end = PlayResult::Choice::Closed;
            return true;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE && event.window.windowID == window_->id())
                end = PlayResult::Choice::Closed;
            dirty_ = true;
            return true;
        case SDL_KEYDOWN:
            return key(event.key.keysym.sym, end, error);
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button != SDL_BUTTON_LEFT || !window_->toPicture(event.button.x, event.button.y, x, y))
                return true;
            if (inStrip(x, y)) {
                dragging_ = true;
                return seekToStrip(x, error);
            }
            if (const int32_t button = hx::buttonAt(frame_, x, y); button >= 0)
                return press(controls_[static_cast<size_t>(button)], end, error);
            return true;
        case SDL_MOUSEMOTION:
            if (!window_->toPicture(event.motion.x, event.motion.y, x, y))
                x = y = -1;
            if (const int32_t button = hx::buttonAt(frame_, x, y); button != hoverButton_) {
                hoverButton_ = button;
                dirty_ = true;
            }
            return !dragging_ || x < 0 || seekToStrip(x, error);
        case SDL_MOUSEBUTTONUP:
            dragging_ = false;
            return true;
        default:
            return true;
        }
    }

    bool inStrip(int32_t x, int32_t y) const
    {
        const hxhost::ViewRect& s = layout_.strip;
        return x >= s.x && x < s.x + s.width && y >= s.y && y < s.y + s.height;
    }

    bool seekToStrip(int32_t x, std::string* error)
    {
        const int64_t frame = timeline_.frameAt(x);
        return frame * clock_.picturesPerFrame() == picture_ || seek(frame * clock_.picturesPerFrame(), error);
    }

    bool key(SDL_Keycode symbol, std::optional<PlayResult::Choice>& end, std::string* error)
    {
        switch (symbol) {
        case SDLK_SPACE: return press(Control::PlayPause, end, error);
        case SDLK_COMMA: return press(Control::FrameBack, end, error);
        case SDLK_PERIOD: return press(Control::FrameOn, end, error);
        case SDLK_PAGEUP:
        case SDLK_LEFTBRACKET: return press(Control::SceneBack, end, error);
        case SDLK_PAGEDOWN:
        case SDLK_RIGHTBRACKET: return press(Control::SceneOn, end, error);
        case SDLK_HOME: return seek(0, error);
        case SDLK_END: return seek(pictures_ - 1, error);
        case SDLK_t: return !options_.offerTool || press(Control::Tool, end, error);
        case SDLK_w: return !options_.write || press(Control::Write, end, error);
        case SDLK_ESCAPE: end = PlayResult::Choice::Closed; return true;
        default: return true;
        }
    }

    bool press(Control control, std::optional<PlayResult::Choice>& end, std::string* error)
    {
        const int64_t frame = picture_ / clock_.picturesPerFrame();
        const int32_t perFrame = clock_.picturesPerFrame();
        switch (control) {
        case Control::PlayPause:
            if (!playing_)
                return play(error);
            pause();
            return true;
        case Control::FrameBack:
            return seek((picture_ % perFrame ? frame : frame - 1) * perFrame, error);
        case Control::FrameOn:
            return seek((frame + 1) * perFrame, error);
        case Control::SceneBack: {
            // To the start of the scene playing, or of the one before when already there.
            const int32_t scene = timeline_.sceneAt(frame);
            int64_t start = scene >= 0 ? board_.scenes[static_cast<size_t>(scene)].position : 0;
            if (start == frame && scene > 0)
                start = board_.scenes[static_cast<size_t>(scene) - 1].position;
            return seek(start * perFrame, error);
        }
        case Control::SceneOn: {
            const int32_t scene = timeline_.sceneAt(frame);
            if (scene < 0 || static_cast<size_t>(scene) + 1 >= board_.scenes.size())
                return seek(pictures_ - 1, error);
            return seek(static_cast<int64_t>(board_.scenes[static_cast<size_t>(scene) + 1].position) * perFrame, error);
        }
        case Control::Tool:
            end = PlayResult::Choice::BackToTool;
            return true;
        case Control::Write:
            return write(end, error);
        }
        return true;
    }

    // ---- Writing ----

    // The export writes the file while the window shows its progress; Stop (or Escape, or closing)
    // stops it and the player goes on. True with `end` set once the file is written.
    bool write(std::optional<PlayResult::Choice>& end, std::string* error)
    {
        pause();
        frames_.reset(); // the export plays the show from its own start
        rendered_ = -1;
        hxhost::ExportSettings settings = *options_.write;
        const auto started = std::chrono::steady_clock::now();
        bool stopAsked = false;
        const auto callerProgress = settings.progress;
        const auto callerStop = settings.stop;
        settings.progress = [&](int64_t done, int64_t total) {
            if (callerProgress)
                callerProgress(done, total);
            showProgress(done, total, std::chrono::steady_clock::now() - started);
        };
        settings.stop = [&] {
            SDL_Event event;
            while (window_->nextEvent(event, 0)) {
                int32_t x = -1, y = -1;
                const bool stopButton = event.type == SDL_MOUSEBUTTONDOWN &&
                                        window_->toPicture(event.button.x, event.button.y, x, y) && hx::buttonAt(frame_, x, y) == 0;
                stopAsked = stopAsked || stopButton || event.type == SDL_QUIT ||
                            (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) ||
                            (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE);
            }
            return stopAsked || (callerStop && callerStop());
        };
        std::string why;
        if (hxhost::exportStoryboard(settings, &why)) {
            end = PlayResult::Choice::Written;
            return true;
        }
        if (!stopAsked || (callerStop && callerStop()))
            return fail(error, why);
        message_ = u"Stopped: nothing was written";
        return showPicture(picture_, error);
    }

    void showProgress(int64_t done, int64_t total, std::chrono::steady_clock::duration spent)
    {
        const double seconds = std::chrono::duration<double>(spent).count();
        std::string text = "Writing " + options_.write->output + ": frame " + std::to_string(done) + " of " + std::to_string(total);
        if (done > 0) {
            const double left = seconds * static_cast<double>(total - done) / static_cast<double>(done);
            text += ", about " + std::to_string(std::llround(left)) + " s left";
        }
        hx::FrameMarks marks;
        marks.status = hx::utf8To16(text);
        marks.buttons = {u"Stop"};
        const hxhost::ViewRect& strip = layout_.strip;
        showWith([&](const hx::Canvas& canvas) {
            const hx::Rect bar{strip.x, strip.y + strip.height / 3, strip.x + strip.width - 1, strip.y + 2 * strip.height / 3};
            canvas.fill(bar, hx::guiColour(hx::kColourTrack));
            if (total > 0 && done > 0)
                canvas.fill({bar.x0, bar.y0, bar.x0 + static_cast<int32_t>(bar.width() * done / total) - 1, bar.y1},
                            hx::guiColour(hx::kColourSelection));
            canvas.frame(bar, hx::guiColour(hx::kColourDark), hx::guiColour(hx::kColourLight), 1);
        }, marks);
    }

    static bool fail(std::string* error, const std::string& why)
    {
        if (error)
            *error = why;
        return false;
    }

    const hxhost::PlayOptions& options_;
    const hxhost::Storyboard board_;
    const hxhost::VideoFileFormat format_;
    const hxhost::PlayerLayout layout_;
    const hx::Timeline timeline_;
    const hx::PlayClock clock_;
    std::unique_ptr<hx::DesktopWindow> window_;
    std::unique_ptr<hx::SoundOutput> sound_;
    std::unique_ptr<hx::SoundFeeder> feeder_; // null without a sound output: a steady clock keeps the time instead
    const hx::ShowStatus status_;
    std::vector<Control> controls_;

    int64_t pictures_ = 0; // in the show
    int64_t picture_ = 0;  // shown now
    int64_t shown_ = 0, dropped_ = 0;
    std::unique_ptr<hxhost::ShowFrames> frames_;
    int64_t rendered_ = -1; // the frame in woven_
    hxhost::WovenFrame woven_;
    hxhost::Picture instant_, scaled_;
    std::vector<std::optional<hxhost::Picture>> thumbnails_;

    bool playing_ = false;
    int64_t playFrom_ = 0; // the show sample playing started at
    std::chrono::steady_clock::time_point playStarted_;

    hx::Frame frame_;
    int32_t hoverButton_ = -1;
    bool dragging_ = false;
    bool dirty_ = true;
    std::u16string message_;
};

} // namespace

namespace hxhost {

PlayerLayout playerLayout()
{
    const VideoFormat& video = videoFormat();
    PlayerLayout layout;
    layout.width = kFrameWidth;
    layout.picture = fitPicture(video.width * video.pixelAspect / 1000, video.height, kFrameWidth, kPictureHeight);
    layout.strip = {kStripMargin, kPictureHeight + kStripMargin, kFrameWidth - 2 * kStripMargin, kStripHeight - 2 * kStripMargin};
    layout.statusTop = kPictureHeight + kStripHeight;
    layout.height = layout.statusTop + hx::statusLineHeight();
    return layout;
}

bool playStoryboard(const PlayOptions& options, PlayResult& result, std::string* error)
{
    result = {};
    Storyboard board = storyboard();
    if (board.scenes.empty() || board.length <= 0) {
        if (error)
            *error = "the storyboard is empty";
        return false;
    }
    const PlayerLayout layout = playerLayout();
    std::string why;
    std::unique_ptr<hx::DesktopWindow> window = hx::DesktopWindow::open(options.window, layout.width, layout.height, why);
    if (!window) {
        if (error)
            *error = why;
        return false;
    }
    // Without a sound device the show still plays, timed by the clock instead.
    std::unique_ptr<hx::SoundOutput> sound = hx::SoundOutput::open(why);
    if (!sound)
        hx::warnUser(why + "; the show plays without sound");
    // Every core splits the rows of each picture, so that a frame is ready within its own time.
    struct PixelThreads {
        int32_t was = hx::pixelThreads();
        PixelThreads() { setPixelThreads(static_cast<int32_t>(std::clamp(std::thread::hardware_concurrency(), 1u, 64u))); }
        ~PixelThreads() { setPixelThreads(was); }
    } splitRows;
    ShowPlayer player(options, std::move(board), std::move(window), std::move(sound));
    return player.run(result, error);
}

} // namespace hxhost
