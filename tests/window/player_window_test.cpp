// The host program's player on a real X server with SDL's disk audio driver: the picture it shows
// against the frame export writes, the sound it plays against the export's mix, seeking on the
// timeline strip, and the counts --stats reports.
#include "support/media_probe.h"
#include "support/picture_files.h"
#include "support/test_home.h"
#include "support/tool_settings.h"
#include "support/wav_file.h"
#include "window/x_screen.h"

#include "hxhost/setup.h"
#include "hxhost/player.h"
#include "hxhost/storyboard.h"
#include "hxhost/video_format.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace {

using namespace std::chrono_literals;

const std::string kHost = std::string(STILLSET_BIN_DIR) + "/stillset-host";
constexpr int kRate = 30; // 720p

// The strings as a null-ended list, as posix_spawn takes them; valid while the strings are.
std::vector<char*> pointersTo(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& text : strings)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Limited-range BT.709 4:2:0 into RGB, written here on its own rather than taken from the player.
hxhost::Picture rgbOfFrame(const std::vector<uint8_t>& planes, int width, int height)
{
    hxhost::Picture out{width, height, {}};
    const uint8_t* u = planes.data() + static_cast<size_t>(width) * height;
    const uint8_t* v = u + static_cast<size_t>(width) * height / 4;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Interlaced 4:2:0: each field's chroma rows are its own.
            const int c = 2 * (y / 4) + y % 2;
            const double l = (planes[static_cast<size_t>(y) * width + x] - 16) * 255.0 / 219.0;
            const double cb = (u[static_cast<size_t>(c) * width / 2 + x / 2] - 128) * 255.0 / 224.0;
            const double cr = (v[static_cast<size_t>(c) * width / 2 + x / 2] - 128) * 255.0 / 224.0;
            const double r = l + 1.5748 * cr, b = l + 1.8556 * cb, g = (l - 0.2126 * r - 0.0722 * b) / 0.7152;
            auto byte = [](double value) { return static_cast<uint32_t>(std::lround(std::clamp(value, 0.0, 255.0))); };
            out.pixels.push_back(byte(r) << 16 | byte(g) << 8 | byte(b));
        }
    return out;
}

double psnr(const hxhost::Picture& a, const hxhost::Picture& b)
{
    if (a.width != b.width || a.height != b.height || a.pixels.empty())
        return 0;
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift = 0; shift <= 16; shift += 8) {
            const double d = static_cast<double>((a.pixels[i] >> shift) & 0xFF) - static_cast<double>((b.pixels[i] >> shift) & 0xFF);
            sum += d * d;
        }
    const double mse = sum / (3.0 * static_cast<double>(a.pixels.size()));
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// The best normalised correlation of `heard` with `expected` within a few milliseconds' shift.
double bestCorrelation(const std::vector<float>& heard, const std::vector<float>& expected)
{
    double best = -1;
    for (int lag = -256; lag <= 256; ++lag) {
        double xy = 0, xx = 0, yy = 0;
        for (size_t i = 0; i < expected.size(); ++i) {
            const int64_t j = static_cast<int64_t>(i) + lag;
            if (j < 0 || j >= static_cast<int64_t>(heard.size()))
                continue;
            xy += heard[static_cast<size_t>(j)] * expected[i];
            xx += heard[static_cast<size_t>(j)] * heard[static_cast<size_t>(j)];
            yy += expected[i] * expected[i];
        }
        if (xx > 0 && yy > 0)
            best = std::max(best, xy / std::sqrt(xx * yy));
    }
    return best;
}

// The first channel of what SDL's disk driver wrote (float stereo), from the first sound on.
std::vector<float> soundWritten(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<float> stereo;
    float pair[2];
    while (in.read(reinterpret_cast<char*>(pair), sizeof pair))
        stereo.push_back(pair[0]);
    const auto first = std::find_if(stereo.begin(), stereo.end(), [](float s) { return std::fabs(s) > 1e-4f; });
    return std::vector<float>(first, stereo.end());
}

class PlayerWindowTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under tests/window/run_under_xvfb.sh";
    }

    void TearDown() override
    {
        if (program_ > 0) {
            kill(program_, SIGKILL);
            waitpid(program_, nullptr, 0);
        }
        HostTest::TearDown();
    }

    // Photos of distinct colours with a gradient each, in home/photos.
    std::string writePhotos(int count) const
    {
        const std::string photos = home() + "/photos";
        std::filesystem::create_directories(photos);
        for (int i = 0; i < count; ++i)
            writeJpeg(photos + "/p" + std::to_string(i) + ".jpg", 640, 360, {}, [i](int x, int y, uint8_t* rgb) {
                rgb[0] = static_cast<uint8_t>(60 * i + x / 8);
                rgb[1] = static_cast<uint8_t>(y / 2);
                rgb[2] = static_cast<uint8_t>(200 - 40 * i);
            });
        return photos;
    }

    // Four photos of 5 seconds joined by 1-second dissolves at 720p: 17 seconds, scene 3 from 12 s.
    void buildShow()
    {
        ToolChoices choices;
        choices.durationCode = 4;
        choices.transitions = {"transition/dissolve"};
        writeToolSettings(home() + "/programs/stillset/project1", choices);
        const std::string photos = writePhotos(4);
        writeFile(home() + "/create.session", "answer yes\npress \"Create slideshow\"\n");
        ASSERT_EQ(std::system((kHost + " session --format 720p --hxhome " + home() + " --project 0 --import " + photos +
                               " --script " + home() + "/create.session > " + home() + "/made.log 2>&1").c_str()), 0)
            << readFile(home() + "/made.log");
        // Noise rather than a tone: a stretch of it matches only itself, so the sound must start where the picture is.
        std::string wav = wavBytes(20 * hxhost::kAudioRate);
        uint32_t state = 12345;
        for (size_t i = 44; i + 1 < wav.size(); i += 2) {
            state = state * 1664525u + 1013904223u;
            const int16_t sample = static_cast<int16_t>(static_cast<int32_t>(state >> 16) / 4 - 8192);
            wav[i] = static_cast<char>(sample & 0xFF);
            wav[i + 1] = static_cast<char>((sample >> 8) & 0xFF);
        }
        music_ = home() + "/music.wav";
        writeFile(music_, wav);
        hxhost::setProjectNumber(0);
        std::string error;
        ASSERT_TRUE(hxhost::openProject(&error)) << error;
        ASSERT_TRUE(hxhost::setVideoFormat("720p", "", &error)) << error;
        board_ = hxhost::storyboard();
        ASSERT_EQ(board_.scenes.size(), 4u);
    }

    // Starts the player with SDL's disk audio driver writing its sound to sound.raw.
    void startPlayer(const std::vector<std::string>& extra)
    {
        std::vector<std::string> arguments{"play", "--hxhome", home(), "--project", "0", "--music", music_};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        start(arguments);
        findWindow("^stillset$", hxhost::playerLayout().width);
    }

    // Starts the host program with SDL's disk audio driver, its output in run.log.
    void start(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), kHost);
        std::vector<std::string> environment{"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + home() + "/sound.raw"};
        for (char** e = environ; *e; ++e)
            environment.emplace_back(*e);
        std::vector<char*> argv = pointersTo(arguments), envp = pointersTo(environment);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        const std::string log = home() + "/run.log";
        posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        ASSERT_EQ(posix_spawn(&program_, argv[0], &files, nullptr, argv.data(), envp.data()), 0);
        posix_spawn_file_actions_destroy(&files);
    }

    // Finds the program's window by its title and, when given, its width (the player's frame is
    // shown pixel for pixel on the test's desktop), and gives it the keyboard. X may give a new window
    // the number of one just closed, so the width tells the player from the tool.
    void findWindow(const std::string& title, int width = 0)
    {
        int shownWidth = 0;
        for (int tries = 0; tries < 120; ++tries) {
            const std::string found = shell("timeout 60 xdotool search --sync --onlyvisible --name '" + title + "' | tail -n 1");
            ASSERT_FALSE(found.empty()) << "no window appeared: " << readFile(home() + "/run.log");
            window_ = std::stoul(found);
            const std::string geometry = shell("xdotool getwindowgeometry --shell " + std::to_string(window_));
            if (std::sscanf(geometry.c_str(), "WINDOW=%*d X=%d Y=%d WIDTH=%d", &x_, &y_, &shownWidth) == 3 &&
                (width == 0 || shownWidth == width))
                break;
            std::this_thread::sleep_for(500ms);
        }
        ASSERT_TRUE(width == 0 || shownWidth == width) << "no window " << width << " wide: " << readFile(home() + "/run.log");
        xdo("windowfocus --sync " + std::to_string(window_) + " mousemove 0 0");
    }

    static void xdo(const std::string& commands) { ASSERT_EQ(std::system(("xdotool " + commands).c_str()), 0) << commands; }

    // The window's picture area once it shows the same picture twice in a row.
    hxhost::Picture stillPicture(const hxhost::ViewRect& area)
    {
        hxhost::Picture before;
        for (int tries = 0; tries < 120; ++tries) {
            hxhost::Picture now = grabScreen(x_ + area.x, y_ + area.y, area.width, area.height);
            if (!now.pixels.empty() && now.pixels == before.pixels)
                return now;
            before = std::move(now);
            std::this_thread::sleep_for(500ms);
        }
        return before;
    }

    // Waits for the player to end; its exit status, with its output in `output`.
    int waitForEnd(std::string& output)
    {
        for (int tries = 0; tries < 600; ++tries) {
            int status = 0;
            if (waitpid(program_, &status, WNOHANG) == program_) {
                program_ = -1;
                output = readFile(home() + "/run.log");
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(100ms);
        }
        output = readFile(home() + "/run.log");
        return -1;
    }

    std::string music_;
    hxhost::Storyboard board_;
    pid_t program_ = -1;
    unsigned long window_ = 0;
    int x_ = 0, y_ = 0;
};

TEST_F(PlayerWindowTest, ShowsTheExportedFrameAndPlaysTheExportedSound)
{
    buildShow();
    const int64_t start = 12 * kRate, span = 2 * kRate;
    const std::string exported = home() + "/span.y4m";
    ASSERT_EQ(std::system((kHost + " export --hxhome " + home() + " --project 0 --music " + music_ + " -o " + exported +
                           " --from " + std::to_string(start) + " --to " + std::to_string(start + span) + " > " + home() +
                           "/export.log 2>&1").c_str()), 0)
        << readFile(home() + "/export.log");

    startPlayer({"--start", "12", "--paused", "--stats"});
    const hxhost::PlayerLayout layout = hxhost::playerLayout();
    ASSERT_EQ(layout.picture.width, 1280) << "720p fills the picture area without scaling";
    const std::vector<std::vector<uint8_t>> frames = decodedFrames(exported);
    ASSERT_FALSE(frames.empty());
    const hxhost::Picture shown = stillPicture(layout.picture);
    EXPECT_GT(psnr(shown, rgbOfFrame(frames[0], 1280, 720)), 35.0);
    // A frame further on is another picture: the comparison can tell frames apart.
    EXPECT_LT(psnr(shown, rgbOfFrame(frames[span - 1], 1280, 720)), 35.0);

    // Two seconds and a little of the sound, then Escape.
    xdo("key space");
    const std::string raw = home() + "/sound.raw";
    const size_t wanted = static_cast<size_t>(2.2 * hxhost::kAudioRate);
    for (int tries = 0; tries < 600 && soundWritten(raw).size() < wanted; ++tries)
        std::this_thread::sleep_for(100ms);
    xdo("key Escape");
    std::string output;
    ASSERT_EQ(waitForEnd(output), 0) << output;
    EXPECT_NE(output.find("pictures shown while playing: "), std::string::npos) << output;
    EXPECT_NE(output.find(", dropped: "), std::string::npos) << output;
    std::printf("%s", output.c_str()); // the dropped count, for the record

    std::vector<float> expected = decodedSound(hxhost::soundFileBeside(exported));
    const std::vector<float> heard = soundWritten(raw);
    ASSERT_GE(heard.size(), wanted);
    ASSERT_GE(expected.size(), static_cast<size_t>(hxhost::kAudioRate));
    EXPECT_GT(bestCorrelation(heard, expected), 0.9);
}

TEST_F(PlayerWindowTest, AClickOnTheStripLandsOnTheClickedScene)
{
    buildShow();
    startPlayer({"--paused"});
    const hxhost::PlayerLayout layout = hxhost::playerLayout();
    stillPicture(layout.picture);
    // The middle of scene 2 (counted from 0) on the strip, where no transition overlaps it.
    const hxhost::StoryboardScene& scene = board_.scenes[2];
    const int64_t middle = scene.position + scene.length / 2;
    const int x = layout.strip.x + static_cast<int>(middle * layout.strip.width / board_.length);
    const int y = layout.strip.y + layout.strip.height / 2;
    // The player takes its events in order: the click is done before Escape ends it.
    xdo("mousemove " + std::to_string(x_ + x) + " " + std::to_string(y_ + y) + " click 1 key Escape");
    std::string output;
    ASSERT_EQ(waitForEnd(output), 0) << output;
    long long frame = -1;
    ASSERT_EQ(std::sscanf(output.substr(output.find("stopped at frame")).c_str(), "stopped at frame %lld", &frame), 1) << output;
    EXPECT_GE(frame, scene.position);
    EXPECT_LT(frame, scene.position + scene.length);
    EXPECT_NEAR(static_cast<double>(frame), static_cast<double>(middle), board_.length / layout.strip.width + 1.0);
}

TEST_F(PlayerWindowTest, AfterCreateTheEditorsPlayerWritesTheFileExportWrites)
{
    const std::string photos = writePhotos(2), output = home() + "/show.y4m";
    start({"slideshow", photos, "-o", output, "--edit", "--hxhome", home() + "/kept", "--format", "720p", "--seconds", "2",
           "--no-pan"});
    findWindow("^stillset: ");
    xdo("key f"); // "Create slideshow"
    findWindow("^stillset: ", hxhost::playerLayout().width);
    xdo("key w"); // "Write the file"
    std::string said;
    ASSERT_EQ(waitForEnd(said), 0) << said;
    EXPECT_NE(said.find("wrote " + output), std::string::npos) << said;

    const std::string reference = home() + "/reference.y4m";
    ASSERT_EQ(std::system((kHost + " export --hxhome " + home() + "/kept --project 0 -o " + reference + " > " + home() +
                           "/export.log 2>&1").c_str()), 0)
        << readFile(home() + "/export.log");
    EXPECT_EQ(readFile(output), readFile(reference));
    EXPECT_EQ(readFile(hxhost::soundFileBeside(output)), readFile(hxhost::soundFileBeside(reference)));
}

} // namespace
