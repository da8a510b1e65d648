// The host's control API and the small services it steers: faults, counters, video standard,
// image probes, screens, the scripted user, symbol lookup, scaling and identifiers.
#include "host/hxgui.h"
#include "host/hxmotion.h"
#include "host/hxopcommon.h"
#include "host/hxparser.h"
#include "host/hxreq.h"
#include "host/hxsupport.h"
#include "host/hxtools.h"
#include "host/hxtx.h"
#include "support/test_home.h"

#include <sys/stat.h>

#include <fstream>
#include <set>
#include <vector>

namespace {

using ControlTest = HostTest;

// A w x h format-1 image whose pixel at (x, y) is `pixel(x, y)` as a little-endian word.
template <typename Fn> OpImage* yuvaImage(int w, int h, Fn pixel)
{
    OpImage* image = opAllocImage(w, h, OP_FORMAT_YUVA, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t word = pixel(x, y);
            for (int b = 0; b < 4; ++b)
                image->planes[0][(y * w + x) * 4 + b] = static_cast<uint8_t>(word >> (8 * b));
        }
    return image;
}

uint32_t pixelAt(const OpImage* image, int x, int y)
{
    const uint8_t* p = image->planes[0] + (y * image->width + x) * 4;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

std::vector<bool> cmOpenResults(int calls)
{
    std::vector<bool> results;
    for (int i = 0; i < calls; ++i)
        results.push_back(cmOpen(0, 0) != nullptr);
    return results;
}

TEST_F(ControlTest, ServiceFaultFiresOnTheNthCallOnce)
{
    hxhost::failService("cmOpen", 3);
    EXPECT_EQ(cmOpenResults(5), (std::vector<bool>{true, true, false, true, true}));
    EXPECT_EQ(hxhost::faultsFired(), 1u);
    EXPECT_EQ(hxhost::callCount("cmOpen"), 5u);
}

TEST_F(ControlTest, PersistentFaultKeepsFailingUntilCleared)
{
    hxhost::failService("cmOpen", 2, true);
    EXPECT_EQ(cmOpenResults(4), (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(hxhost::faultsFired(), 3u);
    hxhost::clearFaults();
    EXPECT_EQ(cmOpenResults(1), (std::vector<bool>{true}));
}

TEST_F(ControlTest, SweepFailsTheNthFallibleCallOfAnyService)
{
    const uint32_t start = hxhost::fallibleCallCount();
    hxhost::failNthFallibleCall(2);
    EXPECT_NE(cmOpen(0, 0), nullptr);
    EXPECT_EQ(cmGetFramesPerSecond(cmOpen(0, 0), 0), 0u); // the second fallible call failed
    EXPECT_EQ(hxhost::fallibleCallCount(), start + 2);    // the frame rate query cannot fail
    OpImage* image = opAllocImage(4, 4, OP_FORMAT_YUVA, 0);
    EXPECT_NE(image, nullptr);
    opFreeImage(image);
    EXPECT_EQ(hxhost::faultsFired(), 1u);
    EXPECT_EQ(hxhost::fallibleCallCount(), start + 3);
}

TEST_F(ControlTest, CallCountsStartAgainAfterReset)
{
    EXPECT_EQ(hxhost::callCount("vxtlGetUniqueID"), 0u);
    vxtlGetUniqueID();
    vxtlGetUniqueID();
    parserSetCurrentScreen(1, 0);
    EXPECT_EQ(hxhost::callCount("vxtlGetUniqueID"), 2u);
    EXPECT_EQ(hxhost::callCount("parserSetCurrentScreen"), 1u);
    EXPECT_EQ(hxhost::callCount("neverCalled"), 0u);
    hxhost::failService("cmOpen");
    hxhost::reset();
    EXPECT_EQ(hxhost::callCount("vxtlGetUniqueID"), 0u);
    EXPECT_NE(cmOpen(0, 0), nullptr); // faults go with the reset too
}

TEST_F(ControlTest, TimingFollowsTheFormat)
{
    CmHandle* timing = cmOpen(0, 0);
    ASSERT_NE(timing, nullptr);
    EXPECT_EQ(cmGetFramesPerSecond(timing, 0), 25u);
    hxhost::setVideoFormat("1080i");
    EXPECT_EQ(cmGetFramesPerSecond(cmOpen(0, 0), 0), 25u);
    hxhost::setFrameRateOverride(24);
    EXPECT_EQ(cmGetFramesPerSecond(cmOpen(0, 0), 0), 24u);
    hxhost::setFrameRateOverride(-1);
    EXPECT_EQ(cmGetFramesPerSecond(cmOpen(0, 0), 0), 25u);
    hxhost::setTimingAvailable(false);
    EXPECT_EQ(cmOpen(0, 0), nullptr);
    EXPECT_EQ(cmGetFramesPerSecond(nullptr, 0), 0u);
}

// Every format of the table reaches the plug-ins through the same probes: a field of the frame, the
// frame's pixel shape, and the whole rate (a 1001 rate told as its whole one).
TEST_F(ControlTest, ProbesFollowEveryFormat)
{
    struct Case {
        const char* name;
        const char* rate;
        int fieldW, fieldH, pixelAspect;
        uint32_t fps;
    };
    const int64_t images = hxhost::liveCounts().images;
    for (const Case& c : {Case{"pal", "", 720, 288, 1067, 25}, Case{"ntsc", "", 720, 240, 889, 30},
                          Case{"hd1080", "", 1920, 540, 1000, 25}, Case{"720p", "59.94", 1280, 360, 1000, 60},
                          Case{"1080p", "", 1920, 540, 1000, 30}, Case{"2160p", "24", 3840, 1080, 1000, 24},
                          Case{"vertical", "23.976", 1080, 960, 1000, 24}, Case{"square", "50", 1080, 540, 1000, 50}}) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(hxhost::setVideoFormat(c.name, c.rate));
        OpImage* field = opAllocImage(-1, -1, OP_FORMAT_YUVA, OP_ALLOC_FIELD_SIZE);
        OpImage* output = opAllocImage(0, 0, OP_FORMAT_YUVA, 0); // the output format: a field
        OpImage* header = opAllocImage(0, 0, OP_FORMAT_YUVA, OP_ALLOC_NO_PIXELS);
        ASSERT_NE(field, nullptr);
        ASSERT_NE(output, nullptr);
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(field->width, c.fieldW);
        EXPECT_EQ(field->height, c.fieldH);
        EXPECT_EQ(field->aspect, c.pixelAspect);
        EXPECT_EQ(output->width, c.fieldW);
        EXPECT_EQ(output->height, c.fieldH);
        EXPECT_EQ(header->planes[0], nullptr);
        EXPECT_EQ(ugGetPixelAspect(1), c.pixelAspect);
        EXPECT_EQ(cmGetFramesPerSecond(cmOpen(0, 0), 0), c.fps);
        EXPECT_EQ(hxhost::liveCounts().images, images + 3);
        opFreeImage(field);
        opFreeImage(output);
        opFreeImage(header);
    }
    EXPECT_EQ(hxhost::liveCounts().images, images);
    EXPECT_EQ(opAllocImage(-1, -1, OP_FORMAT_YUVA, 0), nullptr);
    EXPECT_EQ(opAllocImage(8, 8, 99, 0), nullptr); // unknown format
}

// Names and rates people type: the synonym, every progressive rate, and clear refusals.
TEST_F(ControlTest, FormatsByNameAndRate)
{
    hxhost::VideoFormat format;
    std::string error;
    ASSERT_TRUE(hxhost::findVideoFormat("hd1080", "", format, &error));
    EXPECT_EQ(format.name, "1080i");
    EXPECT_FALSE(format.progressive);
    ASSERT_TRUE(hxhost::findVideoFormat("1080p", "29.97", format, &error));
    EXPECT_EQ(format.framesPerSecond, 30);
    EXPECT_TRUE(format.fractionalRate);
    EXPECT_EQ(hxhost::describeVideoFormat(format), "1080p at 29.97 frames a second");
    for (const std::string rate : {"24", "25", "30", "50", "60", "23.976", "29.97", "59.94"}) {
        ASSERT_TRUE(hxhost::findVideoFormat("vertical", rate, format, &error)) << rate;
        EXPECT_EQ(hxhost::rateText(format), rate); // what the project keeps reads back as it was
    }
    EXPECT_FALSE(hxhost::findVideoFormat("pal", "30", format, &error));
    EXPECT_NE(error.find("own rate"), std::string::npos);
    EXPECT_FALSE(hxhost::findVideoFormat("1080p", "29", format, &error));
    EXPECT_FALSE(hxhost::findVideoFormat("1080p", "30.0", format, &error));
    EXPECT_FALSE(hxhost::findVideoFormat("4k", "", format, &error));
    EXPECT_NE(error.find("square"), std::string::npos); // the message lists the formats there are
    hxhost::setVideoFormat("1080p", "60");
    EXPECT_FALSE(hxhost::setVideoFormat("1080p", "61"));
    EXPECT_EQ(hxhost::videoFormat().framesPerSecond, 60); // a refused change leaves the format as it was
    hxhost::reset();
    EXPECT_EQ(hxhost::videoFormat().name, "pal");
}

TEST_F(ControlTest, ScreensAndTheirHistory)
{
    parserSetCurrentScreen(0x3780001, 0);
    parserSetCurrentScreen(5, 2);
    uint32_t screen = 0, mode = 0;
    parserGetCurrentScreen(&screen, &mode);
    EXPECT_EQ(screen, 5u);
    EXPECT_EQ(mode, 2u);
    parserGetCurrentScreen(nullptr, nullptr);
    EXPECT_EQ(hxhost::currentScreen().screen, 5u);
    const std::vector<hxhost::Screen> history = hxhost::screenHistory();
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].screen, 0x3780001u);
    EXPECT_EQ(history[0].mode, 0u);
    EXPECT_EQ(history[1].screen, 5u);
}

TEST_F(ControlTest, ScriptedUserAnswersTextRequests)
{
    hxhost::scriptedUser()->addAnswer(1);
    UReqTextRequest question{u"Title", u"Import photos?", {}, UREQ_QUESTION, 0, 7, {}};
    UReqTextRequest notice{nullptr, u"Done", {}, UREQ_NOTICE, 0, 7, {}};
    EXPECT_EQ(ureqTextRequest(&question), 0);
    EXPECT_EQ(ureqTextRequest(&notice), 0);
    EXPECT_EQ(question.answer, 1u);
    EXPECT_EQ(notice.answer, 0u); // out of answers: no

    const std::vector<hxhost::TextRequestSeen> seen = hxhost::textRequestsSeen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[0].title == u"Title" && seen[0].text == u"Import photos?");
    EXPECT_EQ(seen[0].style, static_cast<uint32_t>(UREQ_QUESTION));
    EXPECT_EQ(seen[0].answer, 1u);
    EXPECT_TRUE(seen[1].title.empty() && seen[1].text == u"Done");
    EXPECT_EQ(seen[1].answer, 0u);
}

TEST_F(ControlTest, MetersReportTheirStepsAndCanBeStoppedByTheUser)
{
    UReqMeter meter{};
    meter.title = u"Working";
    meter.steps = 4;
    meter.style = 2;
    hxhost::scriptedUser()->stopMeterAt(3);
    ASSERT_EQ(ureqOpenMeter(&meter), 0);
    EXPECT_NE(ureqOpenMeter(&meter), 0) << "a meter record opens once";
    EXPECT_EQ(hxhost::liveCounts().meters, 1);
    EXPECT_EQ(ureqUpdateMeter(&meter, 3, 1), 1);
    EXPECT_EQ(ureqUpdateMeter(&meter, 3, 2), 1);
    EXPECT_EQ(ureqUpdateMeter(&meter, 3, 3), 0);
    EXPECT_EQ(ureqUpdateMeter(&meter, 3, 4), 0) << "a stopped meter stays stopped";
    ureqCloseMeter(&meter);
    EXPECT_EQ(hxhost::liveCounts().meters, 0);
    const auto seen = hxhost::metersSeen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, u"Working");
    EXPECT_EQ(seen[0].steps, 4u);
    EXPECT_EQ(seen[0].updates, (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_TRUE(seen[0].stopped);
    EXPECT_TRUE(seen[0].closed);

    hxhost::failService("ureqOpenMeter");
    EXPECT_NE(ureqOpenMeter(&meter), 0);
    EXPECT_EQ(ureqOpenMeter(&meter), 0);
    EXPECT_EQ(ureqUpdateMeter(&meter, 3, 1), 1) << "the stop applied to the earlier meter only";
    ureqCloseMeter(&meter);
}

TEST_F(ControlTest, SymbolLookup)
{
    void* scale = vxsSymFind(nullptr, "opScaleImage");
    EXPECT_EQ(scale, reinterpret_cast<void*>(&opScaleImage));
    EXPECT_EQ(vxsSymFind(nullptr, "noSuchFunction"), nullptr);
    EXPECT_EQ(vxsSymFind(nullptr, nullptr), nullptr);
    hxhost::setSymbolAvailable("opScaleImage", false);
    EXPECT_EQ(vxsSymFind(nullptr, "opScaleImage"), nullptr);
    hxhost::setSymbolAvailable("opScaleImage", true);
    EXPECT_EQ(vxsSymFind(nullptr, "opScaleImage"), scale);
}

TEST_F(ControlTest, ScalingKeepsConstantsAndAveragesWhenShrinking)
{
    OpImage* flat = yuvaImage(7, 5, [](int, int) { return OP_VIDEO_BLACK; });
    OpImage* small = opAllocImage(3, 2, OP_FORMAT_YUVA, 0);
    OpImage* large = opAllocImage(16, 11, OP_FORMAT_YUVA, 0);
    ASSERT_EQ(opScaleImage(flat, small, 0), 0);
    ASSERT_EQ(opScaleImage(flat, large, 0), 0);
    for (const OpImage* out : {small, large})
        for (int y = 0; y < out->height; ++y)
            for (int x = 0; x < out->width; ++x)
                ASSERT_EQ(pixelAt(out, x, y), OP_VIDEO_BLACK) << x << "," << y;

    // Luma 0, 10, ... 70 across; halving the width averages neighbouring pairs.
    OpImage* ramp = yuvaImage(8, 2, [](int x, int) { return 0x00808000u | (static_cast<uint32_t>(x * 10) << 24); });
    OpImage* half = opAllocImage(4, 2, OP_FORMAT_YUVA, 0);
    ASSERT_EQ(opScaleImage(ramp, half, 0), 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixelAt(half, x, y), 0x00808000u | (static_cast<uint32_t>(20 * x + 5) << 24)) << x;

    OpImage* wrongFormat = opAllocImage(4, 2, OP_FORMAT_YC_PACKED, 0);
    EXPECT_EQ(opScaleImage(ramp, wrongFormat, 0), -1);
    EXPECT_EQ(txOpScale(ramp, wrongFormat, 0), -1);
    EXPECT_EQ(txOpScale(flat, small, 0), 0); // the fallback scaler behaves alike
    EXPECT_EQ(pixelAt(small, 2, 1), OP_VIDEO_BLACK);
    for (OpImage* image : {flat, small, large, ramp, half, wrongFormat})
        opFreeImage(image);
}

TEST_F(ControlTest, InstallingAgainRepairsFilesAndLeavesSoundOnesAlone)
{
    const std::string preset = home() + "/programs/stillset/prefs/sl0.prf";
    const std::string pan = home() + "/longterm/stillsetpan.opw";
    auto inode = [](const std::string& path) {
        struct stat info {};
        return stat(path.c_str(), &info) == 0 ? info.st_ino : ino_t{0};
    };
    auto contents = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    std::string error;
    ASSERT_TRUE(hxhost::installHome(home(), &error)) << error;
    const ino_t presetInode = inode(preset), panInode = inode(pan);
    const std::string presetBytes = contents(preset), panText = contents(pan);
    ASSERT_FALSE(presetBytes.empty());
    ASSERT_NE(panText.find("library="), std::string::npos);

    // A file replaced would have a new inode.
    ASSERT_TRUE(hxhost::installHome(home(), &error)) << error;
    EXPECT_EQ(inode(preset), presetInode);
    EXPECT_EQ(inode(pan), panInode);

    // Damaged, cut short or grown: each is put right.
    std::ofstream(preset, std::ios::binary) << presetBytes.substr(0, presetBytes.size() - 1) << 'x';
    std::ofstream(pan, std::ios::binary) << panText.substr(0, panText.size() / 2);
    ASSERT_TRUE(hxhost::installHome(home(), &error)) << error;
    EXPECT_TRUE(contents(preset) == presetBytes);
    EXPECT_EQ(contents(pan), panText);
    std::ofstream(pan, std::ios::binary) << panText << "flags=1\n";
    ASSERT_TRUE(hxhost::installHome(home(), &error)) << error;
    EXPECT_EQ(contents(pan), panText);
}

TEST_F(ControlTest, UniqueIdentifiersAreDistinct)
{
    std::set<uint32_t> ids;
    for (int i = 0; i < 1000; ++i)
        ids.insert(vxtlGetUniqueID());
    EXPECT_EQ(ids.size(), 1000u);
    EXPECT_EQ(ids.count(0u), 0u);
}

} // namespace
