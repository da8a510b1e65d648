// stillset-host pan end to end: a small photo through the real plug-ins, read back from the Y4M file.
#include "support/test_home.h"

#include "support/picture_files.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <sstream>

namespace {

const std::string kHost = std::string(STILLSET_BIN_DIR) + "/stillset-host";

struct Y4m {
    std::map<char, std::string> header; // the first letter of each header field, and the rest
    std::vector<std::string> frames;    // the 4:2:0 planes of each frame
};

// Every frame must be whole, each after its own FRAME line.
Y4m parseY4m(const std::string& bytes)
{
    Y4m video;
    const size_t end = bytes.find('\n');
    std::istringstream fields(bytes.substr(0, end));
    std::string field;
    fields >> field;
    EXPECT_EQ(field, "YUV4MPEG2");
    while (fields >> field)
        video.header[field[0]] = field.substr(1);
    const size_t width = std::stoul(video.header['W']), height = std::stoul(video.header['H']);
    const size_t frameBytes = width * height + 2 * ((width + 1) / 2) * ((height + 1) / 2);
    for (size_t at = end + 1; at < bytes.size(); at += 6 + frameBytes) {
        EXPECT_EQ(bytes.substr(at, 6), "FRAME\n");
        EXPECT_LE(at + 6 + frameBytes, bytes.size()) << "a cut frame";
        video.frames.push_back(bytes.substr(at + 6, frameBytes));
    }
    return video;
}

// The mean luma of a band of the frame's rows and columns, in fractions of its size.
double meanLuma(const Y4m& video, size_t frame, double left, double right)
{
    const size_t width = std::stoul(video.header.at('W')), height = std::stoul(video.header.at('H'));
    double sum = 0;
    size_t count = 0;
    for (size_t y = 0; y < height; ++y)
        for (auto x = static_cast<size_t>(left * width); x < static_cast<size_t>(right * width); ++x, ++count)
            sum += static_cast<uint8_t>(video.frames[frame][y * width + x]);
    return sum / count;
}

int run(const std::string& command)
{
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

using PanCommand = HostTest;

TEST_F(PanCommand, WritesTheStandardsVideoWithThePresetsMotion)
{
    // Brighter to the right and further down, so the window's motion shows in the mean luma.
    const std::string photo = home() + "/photo.jpg";
    writeJpeg(photo, 640, 480, JpegOptions{}, [](int x, int y, uint8_t* rgb) {
        rgb[0] = rgb[1] = rgb[2] = static_cast<uint8_t>(20 + x / 6 + y / 6);
    });
    std::map<int, Y4m> videos;
    for (int preset : {0, 1, 3}) {
        const std::string out = home() + "/pan" + std::to_string(preset) + ".y4m";
        ASSERT_EQ(run(kHost + " pan " + photo + " -o " + out + " --preset " + std::to_string(preset) + " --seconds 0.4"), 0);
        videos[preset] = parseY4m(readFile(out));
    }
    const Y4m& zoom = videos[0];
    EXPECT_EQ(zoom.header.at('W'), "720");
    EXPECT_EQ(zoom.header.at('H'), "576");
    EXPECT_EQ(zoom.header.at('F'), "25:1");
    EXPECT_TRUE(zoom.header.at('I') == "t" || zoom.header.at('I') == "b");
    EXPECT_EQ(zoom.header.at('A'), "16:15") << "PAL's 1.067 as the small ratio it stands for";
    EXPECT_EQ(zoom.header.at('C'), "420jpeg");
    for (const auto& [preset, video] : videos)
        EXPECT_EQ(video.frames.size(), 10u) << preset;

    // The zoom closes in on the centre: the left edge brightens, the right edge darkens.
    EXPECT_GT(meanLuma(zoom, 9, 0, 0.1), meanLuma(zoom, 0, 0, 0.1) + 2);
    EXPECT_LT(meanLuma(zoom, 9, 0.9, 1), meanLuma(zoom, 0, 0.9, 1) - 2);
    // Preset 1 leaves the top-left corner, preset 3 goes back to it.
    EXPECT_GT(meanLuma(videos[1], 9, 0, 1), meanLuma(videos[1], 0, 0, 1) + 1);
    EXPECT_LT(meanLuma(videos[3], 9, 0, 1), meanLuma(videos[3], 0, 0, 1) - 1);

    const std::string hd = home() + "/hd.y4m";
    ASSERT_EQ(run(kHost + " pan " + photo + " -o " + hd + " --preset 2 --seconds 0.2 --standard hd1080"), 0);
    const Y4m video = parseY4m(readFile(hd));
    EXPECT_EQ(video.header.at('W') + "x" + video.header.at('H'), "1920x1080");
    EXPECT_EQ(video.header.at('A'), "1:1");
    EXPECT_EQ(video.frames.size(), 5u);
}

// A round thing stays round in every preset: under PAL's wide pixels a disc is drawn
// narrower in pixels than it is tall, by the pixel aspect.
TEST_F(PanCommand, ADiscStaysRoundUnderPalsPixelShape)
{
    const std::string photo = home() + "/disc.jpg";
    writeJpeg(photo, 800, 600, JpegOptions{}, [](int x, int y, uint8_t* rgb) {
        const bool inside = (x - 400) * (x - 400) + (y - 300) * (y - 300) < 200 * 200;
        rgb[0] = rgb[1] = rgb[2] = inside ? 0 : 255;
    });
    for (int preset : {0, 1, 4}) {
        const std::string out = home() + "/disc" + std::to_string(preset) + ".y4m";
        ASSERT_EQ(run(kHost + " pan " + photo + " -o " + out + " --preset " + std::to_string(preset) + " --seconds 0.2"), 0);
        const Y4m video = parseY4m(readFile(out));
        const std::string& luma = video.frames.at(0);
        int left = 720, right = -1, top = 576, bottom = -1;
        for (int y = 0; y < 576; ++y)
            for (int x = 0; x < 720; ++x)
                if (static_cast<uint8_t>(luma[static_cast<size_t>(y) * 720 + x]) < 100) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        const double shownWidth = (right - left + 1) * 1.067, height = bottom - top + 1;
        EXPECT_NEAR(shownWidth / height, 1.0, 0.02) << "preset " << preset;
    }
}

// The pan is the export's own writing of an effect: the same frames, each field keeping its own
// chroma, and the same silent sound as a one-photo show with that preset.
TEST_F(PanCommand, WritesTheFramesTheExportWritesForTheSamePhotoAndPreset)
{
    const std::string photo = home() + "/colours.jpg";
    // Colour that changes from row to row, so chroma mixed across the fields would show.
    writeJpeg(photo, 640, 480, JpegOptions{}, [](int x, int y, uint8_t* rgb) {
        rgb[0] = static_cast<uint8_t>(y * 5);
        rgb[1] = static_cast<uint8_t>(x / 3);
        rgb[2] = static_cast<uint8_t>(255 - y * 3);
    });
    for (int preset : {0, 3}) {
        const std::string p = std::to_string(preset), pan = home() + "/pan" + p + ".y4m", show = home() + "/show" + p + ".y4m";
        ASSERT_EQ(run(kHost + " pan " + photo + " -o " + pan + " --preset " + p + " --seconds 1"), 0);
        ASSERT_EQ(run(kHost + " slideshow " + photo + " -o " + show + " --pan " + p + " --no-transition --seconds 1 --format pal --fade 0"), 0);
        const std::string panVideo = readFile(pan);
        EXPECT_EQ(parseY4m(panVideo).frames.size(), 25u);
        EXPECT_TRUE(panVideo == readFile(show)) << "preset " << preset;
        EXPECT_EQ(readFile(home() + "/pan" + p + ".wav"), readFile(home() + "/show" + p + ".wav"));
    }
}

} // namespace
