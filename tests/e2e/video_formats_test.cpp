// The video formats end to end: a storyboard the tool built, exported at every format and read back
// through the FFmpeg libraries; progressive frames free of combing; the project keeping its format.
#include "program_run.h"
#include "support/media_probe.h"
#include "support/picture_files.h"
#include "support/test_home.h"
#include "support/tool_settings.h"

#include "hxhost/storyboard.h"
#include "hxhost/video_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

class VideoFormatsTest : public HostTest {
protected:
    // Two photos of 2 seconds joined by a 1-second dissolve, built by the tool's create button in a
    // session with `sessionOptions`: vertical black and white stripes, then a light disc on dark.
    void build(const std::string& sessionOptions, std::vector<uint32_t> pans)
    {
        ToolChoices choices;
        choices.durationCode = 1;
        choices.transitions = {"transition/dissolve"};
        choices.panModes = std::move(pans);
        writeToolSettings(home() + "/programs/stillset/project1", choices);
        const std::string photos = home() + "/photos";
        std::filesystem::create_directories(photos);
        writeJpeg(photos + "/a-stripes.jpg", 640, 480, {}, [](int x, int, uint8_t* rgb) {
            rgb[0] = rgb[1] = rgb[2] = (x / 16) % 2 ? 235 : 20;
        });
        writeJpeg(photos + "/b-disc.jpg", 800, 600, {}, [](int x, int y, uint8_t* rgb) {
            const bool inside = (x - 400) * (x - 400) + (y - 300) * (y - 300) < 200 * 200;
            rgb[0] = rgb[1] = rgb[2] = inside ? 230 : 25;
        });
        writeFile(home() + "/create.session", "answer yes\npress \"Create slideshow\"\n");
        session(" --import " + photos + " " + sessionOptions);
    }

    // The session's output.
    std::string session(const std::string& options)
    {
        const ProgramRun made = run(kHost + " session --hxhome " + home() + " --project 0 --script " + home() +
                                    "/create.session" + options);
        EXPECT_EQ(made.status, 0) << made.output;
        hxhost::setProjectNumber(0);
        std::string error;
        EXPECT_TRUE(hxhost::openProject(&error)) << error;
        board_ = hxhost::storyboard();
        EXPECT_EQ(board_.scenes.size(), 2u);
        return made.output;
    }

    ProgramRun exportTo(const std::string& output, const std::string& options) const
    {
        return run(kHost + " export --hxhome " + home() + " --project 0 -o " + output + " " + options);
    }

    std::string keptFormat() const
    {
        return readFile(home() + "/projects/project0/format.txt");
    }

    hxhost::Storyboard board_;
};

// The disc's width and height on screen (its pixels widened by the sample aspect) along the lines
// through the frame's centre.
std::pair<double, double> discSize(const std::vector<uint8_t>& luma, const MediaInfo& info)
{
    int across = 0, down = 0;
    for (int x = 0; x < info.width; ++x)
        across += luma[static_cast<size_t>(info.height / 2 * info.width + x)] > 128;
    for (int y = 0; y < info.height; ++y)
        down += luma[static_cast<size_t>(y * info.width + info.width / 2)] > 128;
    return {across * static_cast<double>(info.aspectNumerator) / info.aspectDenominator, down};
}

TEST_F(VideoFormatsTest, EveryFormatKeepsItsSizeScanRateShapeAndColours)
{
    build("--format pal", {});
    const struct {
        const char* options;
        int width, height;
        const char* scan;
        int rateNumerator, rateDenominator, sarNumerator, sarDenominator;
        bool highDefinition;
    } cases[] = {
        {"--format pal", 720, 576, "bb", 25, 1, 16, 15, false},
        {"--format ntsc", 720, 480, "bb", 30000, 1001, 8, 9, false},
        {"--standard hd1080", 1920, 1080, "bb", 25, 1, 1, 1, true},
        {"--format 720p --fps 59.94", 1280, 720, "progressive", 60000, 1001, 1, 1, true},
        {"--format 1080p", 1920, 1080, "progressive", 30, 1, 1, 1, true},
        {"--format 2160p --fps 24", 3840, 2160, "progressive", 24, 1, 1, 1, true},
        {"--format vertical", 1080, 1920, "progressive", 30, 1, 1, 1, true},
        {"--format square --fps 25", 1080, 1080, "progressive", 25, 1, 1, 1, true},
    };
    // The last frames show the disc alone.
    const std::string range = " --from " + std::to_string(board_.length - 2) + " --to " + std::to_string(board_.length);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        const std::string out = home() + "/show.mp4";
        const ProgramRun exported = exportTo(out, std::string(c.options) + range + " --preset ultrafast --fade 0");
        ASSERT_EQ(exported.status, 0) << exported.output;
        const bool other = std::string(c.options) != "--format pal";
        EXPECT_EQ(exported.output.find("the project was built at pal at 25 frames a second") != std::string::npos, other)
            << exported.output;
        const MediaInfo info = probeMedia(out);
        ASSERT_TRUE(info.opened);
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        EXPECT_EQ(info.fieldOrder, c.scan);
        EXPECT_EQ(info.interlacedFrames, std::string(c.scan) == "progressive" ? 0 : 2);
        EXPECT_EQ(info.rateNumerator, c.rateNumerator);
        EXPECT_EQ(info.rateDenominator, c.rateDenominator);
        EXPECT_EQ(static_cast<int64_t>(info.timeBaseDenominator) * c.rateDenominator % c.rateNumerator, 0)
            << "each frame lasts a whole number of ticks: " << info.timeBaseNumerator << "/" << info.timeBaseDenominator;
        EXPECT_EQ(info.aspectNumerator, c.sarNumerator);
        EXPECT_EQ(info.aspectDenominator, c.sarDenominator);
        const char* tag = c.highDefinition ? "bt709" : c.height == 480 ? "smpte170m" : "bt470bg";
        EXPECT_EQ(info.colourPrimaries, tag);
        EXPECT_EQ(info.colourSpace, tag);
        EXPECT_EQ(info.pixelFormat, "yuv420p");
        EXPECT_EQ(info.videoFrames, 2);
        const auto frames = decodedFrames(out);
        ASSERT_EQ(frames.size(), 2u);
        const auto [across, down] = discSize(frames[1], info);
        // The photo's 400-pixel disc is two thirds of its height, or half its width where the frame is narrower.
        const double shownWidth = c.width * static_cast<double>(c.sarNumerator) / c.sarDenominator;
        EXPECT_NEAR(down, std::min(shownWidth / 2, c.height * 2.0 / 3), c.height / 50.0);
        EXPECT_NEAR(across / down, 1.0, 0.03) << "the disc stays round";
    }
}

// A pan over stripes moves their edges every frame: woven fields of two instants comb them, one
// instant a frame never does.
TEST_F(VideoFormatsTest, ProgressiveFramesShowOneInstantOfThePan)
{
    build("--format 1080p --fps 60", {1});
    ASSERT_EQ(board_.scenes[0].length, 120) << "2 seconds at 60 frames a second";
    for (const char* format : {"1080p --fps 60", "720p --fps 50", "vertical", "1080i"}) {
        SCOPED_TRACE(format);
        const std::string out = home() + "/pan.mkv";
        const ProgramRun exported = exportTo(out, std::string("--format ") + format + " --from 20 --to 24 --fade 0");
        ASSERT_EQ(exported.status, 0) << exported.output;
        const MediaInfo info = probeMedia(out);
        const auto frames = decodedFrames(out);
        ASSERT_EQ(frames.size(), 4u);
        const int64_t combed = combedFrames(frames, info.width, info.height);
        if (std::string(format) == "1080i")
            EXPECT_EQ(combed, 4) << "the check finds the combing of interlaced video";
        else
            EXPECT_EQ(combed, 0);
    }
}

TEST_F(VideoFormatsTest, TheProjectKeepsItsFormatUnlessAnOptionSaysOtherwise)
{
    build("--format 720p --fps 25", {});
    EXPECT_EQ(keptFormat(), "videoformat 1\n720p 25\n");
    EXPECT_EQ(board_.scenes[0].length, 50);
    const std::string out = home() + "/show.y4m";
    ProgramRun exported = exportTo(out, "--to 2");
    ASSERT_EQ(exported.status, 0) << exported.output;
    EXPECT_EQ(exported.output.find("built at"), std::string::npos) << exported.output;
    MediaInfo info = probeMedia(out);
    EXPECT_EQ(info.width, 1280);
    EXPECT_EQ(info.fieldOrder, "progressive");
    EXPECT_EQ(info.rateNumerator, 25);

    // Another format for one export says so, and the project keeps its own.
    exported = exportTo(out, "--to 2 --format pal");
    ASSERT_EQ(exported.status, 0) << exported.output;
    EXPECT_NE(exported.output.find("built at 720p at 25 frames a second; running it at pal at 25 frames a second"),
              std::string::npos) << exported.output;
    EXPECT_EQ(probeMedia(out).width, 720);
    exported = exportTo(out, "--to 2 --fps 50");
    EXPECT_NE(exported.output.find("the show runs 25/50 as long"), std::string::npos) << exported.output;
    EXPECT_EQ(probeMedia(out).rateNumerator, 50);
    EXPECT_EQ(keptFormat(), "videoformat 1\n720p 25\n");

    // A later session runs at the kept format, unless told another, which it says.
    EXPECT_EQ(session("").find("built at"), std::string::npos);
    EXPECT_NE(session(" --format square").find("built at 720p at 25 frames a second; running it at square"), std::string::npos);
    EXPECT_EQ(keptFormat(), "videoformat 1\n720p 25\n") << "the storyboard did not change";

    // A damaged file is no format: the project runs at PAL, as before formats were kept.
    writeFile(home() + "/projects/project0/format.txt", "videoformat 1\nsquare 31\n");
    exported = exportTo(out, "--to 1");
    ASSERT_EQ(exported.status, 0) << exported.output;
    EXPECT_EQ(probeMedia(out).width, 720);
    EXPECT_EQ(probeMedia(out).height, 576);
}


// The H.264 encoder's own record of its settings, which it writes into the stream: "key=value" words.
std::vector<std::string> h264Settings(const std::string& path)
{
    const std::string bytes = readFile(path);
    const size_t from = bytes.find("options: ");
    if (from == std::string::npos)
        return {};
    const std::string options = bytes.substr(from + 9, bytes.find('\0', from) - from - 9);
    std::vector<std::string> words;
    for (size_t at = 0; at < options.size();) {
        const size_t end = std::min(options.find(' ', at), options.size());
        words.push_back(options.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

// Its memory is bounded by its threads and its look-ahead: both are held whatever the machine's
// cores, and --threads still sets the threads; above 1080p it looks ahead less and its threads
// share each picture. The bit rate stays within the level phones accept at each size and rate;
// interlaced video has no level's bound to keep.
TEST_F(VideoFormatsTest, TheH264EncoderKeepsItsThreadsLookAheadAndLevelAtEachFormat)
{
    build("--format 1080p", {});
    const struct {
        const char* options;
        int level; // 0: not checked
        std::vector<std::string> expected;
        const char* absentKey; // a setting the stream must not carry
    } cases[] = {
        {"--format 1080p", 41,
         {"threads=2", "sliced_threads=0", "rc_lookahead=10", "vbv_maxrate=62500", "vbv_bufsize=62500"}, ""},
        {"--format 1080p --fps 60", 42, {"threads=2", "rc_lookahead=10", "vbv_maxrate=62500"}, ""},
        {"--format 1080p --threads 3", 41, {"threads=3", "sliced_threads=0", "rc_lookahead=10"}, ""},
        {"--format 2160p --preset ultrafast", 51,
         {"threads=2", "sliced_threads=1", "rc_lookahead=4", "vbv_maxrate=300000"}, ""},
        {"--format pal", 0, {"threads=2", "sliced_threads=0", "rc_lookahead=10", "interlaced=bff"}, "vbv_maxrate="},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        const std::string out = home() + "/bounded.mp4";
        const ProgramRun exported = exportTo(out, std::string(c.options) + " --to 3");
        ASSERT_EQ(exported.status, 0) << exported.output;
        const std::vector<std::string> settings = h264Settings(out);
        ASSERT_FALSE(settings.empty()) << "the encoder wrote no record of its settings";
        for (const std::string& word : c.expected)
            EXPECT_NE(std::find(settings.begin(), settings.end(), word), settings.end()) << word;
        if (*c.absentKey) {
            for (const std::string& word : settings)
                EXPECT_NE(word.rfind(c.absentKey, 0), 0u) << word;
        }
        if (c.level) {
            EXPECT_EQ(probeMedia(out).level, c.level);
        }
    }
}

} // namespace
