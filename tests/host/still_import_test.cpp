// Stills in the scene bin: JPEG and PNG import at the video's levels, orientation, size limits,
// broken files, the decoded-still cache and the scene services that walk and name the bin.
#include "host/still_test_fixture.h"
#include "support/picture_files.h"

#include <cstring>
#include <png.h>
#include <zlib.h>

namespace {

class StillImportTest : public StillTest {
protected:
    std::string uniformJpeg(const std::string& name, JpegOptions options, std::vector<uint8_t> value, int w = 16, int h = 16)
    {
        writeJpeg(path(name), w, h, options, [&](int, int, uint8_t* out) { std::copy(value.begin(), value.end(), out); });
        return path(name);
    }
};

TEST_F(StillImportTest, JpegKindsComeInAtVideoLevels)
{
    expectColour(colourOf(uniformJpeg("gray.jpg", {1}, {200})), {188, 128, 128}, 1);
    expectColour(colourOf(uniformJpeg("red.jpg", {3}, {255, 0, 0})), kRed601, 3);
    expectColour(colourOf(uniformJpeg("progressive.jpg", {3, true}, {255, 0, 0})), kRed601, 3);
    expectColour(colourOf(uniformJpeg("cmyk.jpg", {4}, {255, 0, 0, 255})), kRed601, 3);
    const std::vector<hxhost::SceneBinItem> items = hxhost::sceneBinItems();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_TRUE(items[1].name == u"red");
    EXPECT_EQ(items[1].media, "media/red.jpg");
    EXPECT_TRUE(fileExists(home() + "/projects/project0/media/red.jpg"));
}

TEST_F(StillImportTest, JpegColoursAreTheSameAtEveryVectorWidth)
{
    // Noise, so that every level of Y, Cb and Cr turns up; a width that leaves a partial block of pixels.
    uint32_t seed = 12345;
    writeJpeg(path("noise.jpg"), 37, 23, {3}, [&](int, int, uint8_t* rgb) {
        for (int c = 0; c < 3; ++c)
            rgb[c] = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
    });
    const AVRecord record = hxhost::importStill(path("noise.jpg"));
    ASSERT_NE(record, 0u);
    std::vector<std::vector<uint8_t>> pixels;
    for (hxhost::VectorWidth width : {hxhost::VectorWidth::Avx512, hxhost::VectorWidth::Avx2}) {
        hxhost::limitVectorWidth(width);
        hxhost::forgetDecodedStills();
        OpImage* still = nslGetStillset(record);
        ASSERT_NE(still, nullptr);
        pixels.emplace_back(still->planes[0], still->planes[0] + 37 * 23 * 4);
        opFreeImage(still);
    }
    EXPECT_TRUE(pixels[0] == pixels[1]);
}

TEST_F(StillImportTest, ExifOrientationTurnsThePicture)
{
    // Stored: white left half, black right half, 32 x 16.
    auto halves = [](int x, int, uint8_t* out) { *out = x < 16 ? 255 : 0; };
    struct Case {
        int orientation, width, height, whiteX, whiteY, blackX, blackY;
    };
    for (const Case& c : {Case{1, 32, 16, 4, 8, 28, 8}, Case{6, 16, 32, 8, 4, 8, 28}, Case{3, 32, 16, 28, 8, 4, 8},
                          Case{8, 16, 32, 8, 28, 8, 4}, Case{2, 32, 16, 28, 8, 4, 8}}) {
        SCOPED_TRACE(c.orientation);
        const std::string file = path("turned" + std::to_string(c.orientation) + ".jpg");
        writeJpeg(file, 32, 16, {1, false, c.orientation}, halves);
        OpImage* still = importAndFetch(file);
        ASSERT_NE(still, nullptr);
        EXPECT_EQ(still->width, c.width);
        EXPECT_EQ(still->height, c.height);
        EXPECT_GT(yuvAt(still, c.whiteX, c.whiteY).y, 225);
        EXPECT_LT(yuvAt(still, c.blackX, c.blackY).y, 26);
        opFreeImage(still);
    }
}

TEST_F(StillImportTest, ExifOrientationStoredAsA32BitValueTurnsThePictureWhenInRange)
{
    struct Case {
        int type, value, width;
    };
    // LONG and SLONG 6 and 8 stand the 32 x 16 picture up; values whose low 16 bits alone would
    // read 6, and a negative SLONG, are out of range and leave it as stored.
    for (const Case& c : {Case{4, 6, 16}, Case{9, 8, 16}, Case{4, 0x10006, 32}, Case{9, -2, 32}, Case{9, -65530, 32}}) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.value));
        const std::string file = path("long" + std::to_string(c.type) + "_" + std::to_string(c.value) + ".jpg");
        writeJpeg(file, 32, 16, {1, false, c.value, c.type}, [](int x, int, uint8_t* out) { *out = x < 16 ? 255 : 0; });
        OpImage* still = importAndFetch(file);
        ASSERT_NE(still, nullptr);
        EXPECT_EQ(still->width, c.width);
        opFreeImage(still);
    }
}

TEST_F(StillImportTest, PngKindsComeInAtVideoLevels)
{
    writePng(path("gray.png"), 2, 2, PNG_FORMAT_GRAY, std::string(4, char(200)));
    expectColour(colourOf(path("gray.png")), {188, 128, 128}, 0);

    writePng(path("palette.png"), 2, 1, PNG_FORMAT_RGB_COLORMAP, std::string("\1\0", 2), std::string("\0\0\xFF\xFF\0\0", 6));
    expectColour(colourOf(path("palette.png")), kRed601, 0);

    const std::string white16(2 * 3 * 4, char(0xFF));
    writePng(path("deep.png"), 2, 2, PNG_FORMAT_LINEAR_RGB, white16);
    expectColour(colourOf(path("deep.png")), {235, 128, 128}, 0);

    // Alpha is composited on black.
    writePng(path("alpha.png"), 2, 1, PNG_FORMAT_RGBA, std::string("\xFF\0\0\0\xFF\0\0\xFF", 8));
    OpImage* still = importAndFetch(path("alpha.png"));
    ASSERT_NE(still, nullptr);
    expectColour(yuvAt(still, 0, 0), kBlack, 0);
    expectColour(yuvAt(still, 1, 0), kRed601, 0);
    opFreeImage(still);
}

TEST_F(StillImportTest, ColoursFollowTheVideoStandard)
{
    writePng(path("red.png"), 1, 1, PNG_FORMAT_RGB, std::string("\xFF\0\0", 3));
    expectColour(colourOf(path("red.png")), kRed601, 0);
    hxhost::setVideoFormat("1080i");
    expectColour(colourOf(path("red.png")), kRed709, 0);
}

// The file with its stated width and height replaced, as a file claiming a huge picture would be.
std::string claimingSize(std::string bytes, uint32_t width, uint32_t height)
{
    if (bytes.compare(1, 3, "PNG") == 0) {
        for (int i = 0; i < 4; ++i) {
            bytes[static_cast<size_t>(16 + i)] = static_cast<char>(width >> (24 - 8 * i));
            bytes[static_cast<size_t>(20 + i)] = static_cast<char>(height >> (24 - 8 * i));
        }
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.data() + 12), 17);
        for (int i = 0; i < 4; ++i)
            bytes[static_cast<size_t>(29 + i)] = static_cast<char>(crc >> (24 - 8 * i));
        return bytes;
    }
    const size_t sof = bytes.find("\xFF\xC0");
    bytes[sof + 5] = static_cast<char>(height >> 8);
    bytes[sof + 6] = static_cast<char>(height);
    bytes[sof + 7] = static_cast<char>(width >> 8);
    bytes[sof + 8] = static_cast<char>(width);
    return bytes;
}

TEST_F(StillImportTest, OversizedPicturesAreShrunkOrRefusedBeforeAnythingIsAllocated)
{
    // Wider than an image can hold: shrunk on import, keeping its shape.
    writePng(path("wide.png"), 40000, 2, PNG_FORMAT_GRAY, std::string(80000, char(100)));
    OpImage* wide = importAndFetch(path("wide.png"));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->width, 32767);
    EXPECT_EQ(wide->height, 2);
    opFreeImage(wide);

    // Over the pixel limit: JPEG decodes at a fraction of its size, PNG is refused.
    hxhost::setStillPixelLimit(6000);
    OpImage* halved = importAndFetch(uniformJpeg("big.jpg", {3}, {0, 0, 255}, 200, 100));
    ASSERT_NE(halved, nullptr);
    EXPECT_EQ(halved->width, 100);
    EXPECT_EQ(halved->height, 50);
    opFreeImage(halved);
    hxhost::setStillPixelLimit(hxhost::kDefaultStillPixelLimit);

    // Small files that claim 60000 x 60000 pixels.
    writePng(path("small.png"), 1, 1, PNG_FORMAT_GRAY, std::string(1, '\0'));
    writeFile(path("huge.png"), claimingSize(readFile(path("small.png")), 60000, 60000));
    writeFile(path("huge.jpg"), claimingSize(readFile(uniformJpeg("small.jpg", {1}, {9})), 60000, 60000));
    const size_t items = hxhost::sceneBinItems().size();
    for (const char* name : {"huge.png", "huge.jpg"}) {
        std::string error;
        EXPECT_EQ(hxhost::importStill(path(name), &error), 0u);
        EXPECT_NE(error.find("too large: 60000x60000"), std::string::npos) << error;
        EXPECT_FALSE(fileExists(home() + "/projects/project0/media/" + name));
    }
    EXPECT_EQ(hxhost::sceneBinItems().size(), items);
}

TEST_F(StillImportTest, BrokenFilesGiveAClearErrorAndAddNothing)
{
    const std::string jpeg = readFile(uniformJpeg("whole.jpg", {3}, {10, 200, 30}, 64, 64));
    writePng(path("whole.png"), 64, 64, PNG_FORMAT_RGB, std::string(64 * 64 * 3, 'x'));
    const std::string png = readFile(path("whole.png"));
    writeFile(path("cut.jpg"), jpeg.substr(0, jpeg.size() / 2));
    writeFile(path("cut.png"), png.substr(0, png.size() / 2));
    writeFile(path("notes.txt"), "not a picture");
    struct Case {
        std::string name, reason;
    };
    for (const Case& c : {Case{"cut.jpg", "truncated JPEG"}, Case{"cut.png", "truncated PNG"},
                          Case{"notes.txt", "not a picture the host reads"}, Case{"missing.jpg", "cannot read"}}) {
        std::string error;
        EXPECT_EQ(hxhost::importStill(path(c.name), &error), 0u);
        EXPECT_EQ(error.rfind(path(c.name) + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    EXPECT_TRUE(hxhost::sceneBinItems().empty());
    EXPECT_EQ(hxhost::liveCounts().images, 0);
}

TEST_F(StillImportTest, EveryFetchIsAFreshImageFromOneDecode)
{
    const AVRecord record = hxhost::importStill(uniformJpeg("one.jpg", {3}, {0, 255, 0}, 40, 30));
    ASSERT_NE(record, 0u);
    EXPECT_EQ(hxhost::callCount("decodeStill"), 1u);
    OpImage* a = nslGetStillset(record);
    OpImage* b = nslGetStillset(record);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->aspect, 1000);
    EXPECT_EQ(std::memcmp(a->planes[0], b->planes[0], 40 * 30 * 4), 0);
    EXPECT_EQ(hxhost::callCount("decodeStill"), 1u);
    opFreeImage(a);
    opFreeImage(b);
    EXPECT_EQ(hxhost::liveCounts().images, 0);

    // Stills of more bytes than the cache keeps push the first one out; another standard decodes anew.
    for (int i = 0; i < 4; ++i)
        ASSERT_NE(hxhost::importStill(uniformJpeg("more" + std::to_string(i) + ".jpg", {1}, {50}, 4000, 3000)), 0u);
    const uint32_t decodes = hxhost::callCount("decodeStill");
    opFreeImage(nslGetStillset(record));
    EXPECT_EQ(hxhost::callCount("decodeStill"), decodes + 1);
    hxhost::setVideoFormat("1080i");
    opFreeImage(nslGetStillset(record));
    EXPECT_EQ(hxhost::callCount("decodeStill"), decodes + 2);

    hxhost::failService("nslGetStillset");
    EXPECT_EQ(nslGetStillset(record), nullptr);
    EXPECT_EQ(hxhost::liveCounts().images, 0);
}

TEST_F(StillImportTest, StillsDecodedAheadAreTheRightOnesAtTheRightColours)
{
    std::vector<AVRecord> records;
    for (int i = 0; i < 5; ++i) {
        const std::string name = "level" + std::to_string(i) + ".png";
        writePng(path(name), 2, 2, PNG_FORMAT_GRAY, std::string(4, static_cast<char>(40 * i)));
        records.push_back(hxhost::importStill(path(name)));
        ASSERT_NE(records.back(), 0u);
    }
    writePng(path("red.png"), 1, 1, PNG_FORMAT_RGB, std::string("\xFF\0\0", 3));
    const AVRecord red = hxhost::importStill(path("red.png"));
    hxhost::forgetDecodedStills();

    // Walking the bin: each still is its own, whichever thread decoded it.
    for (int i = 0; i < 5; ++i) {
        OpImage* still = nslGetStillset(records[static_cast<size_t>(i)]);
        ASSERT_NE(still, nullptr);
        EXPECT_EQ(yuvAt(still, 1, 1).y, 16 + (40 * i * 219 + 127) / 255) << i;
        opFreeImage(still);
    }
    // Decoded ahead under one standard, asked for under another: the other standard's colours.
    hxhost::forgetDecodedStills();
    opFreeImage(nslGetStillset(records[4]));
    hxhost::setVideoFormat("1080i");
    OpImage* still = nslGetStillset(red);
    ASSERT_NE(still, nullptr);
    expectColour(yuvAt(still, 0, 0), kRed709, 0);
    opFreeImage(still);
    EXPECT_EQ(hxhost::liveCounts().images, 0);
}

TEST_F(StillImportTest, TheBinIsWalkedAndNamedThroughTheSceneServices)
{
    const AVRecord still = hxhost::importStill(uniformJpeg("beach.jpg", {1}, {90}));
    const AVRecord clip = hxhost::addTestClip(8, 4, 2, hxhost::TestPattern::ColourBars);
    const AVRecord grabbed = hxhost::addTestClip(8, 4, 3, hxhost::TestPattern::ColourBars, 2);
    ASSERT_TRUE(still && clip && grabbed);

    EXPECT_EQ(nslGetSceneListCount(), 3);
    EXPECT_EQ(nslGetFirstScene(), still);
    EXPECT_EQ(nslGetNextScene(still), clip);
    EXPECT_EQ(nslGetNextScene(clip), grabbed);
    EXPECT_EQ(nslGetNextScene(grabbed), 0u);
    EXPECT_EQ(nslGetNextScene(0xBAD), 0u);

    uint32_t info = 0;
    EXPECT_EQ(nslAVRecordGetPhoto(still, &info), 0);
    EXPECT_EQ(nslAVRecordGetPhoto(clip, &info), 1);
    EXPECT_EQ(nslAVRecordGetPhoto(grabbed, nullptr), -1);
    EXPECT_EQ(nslAVRecordGetPhoto(0xBAD, &info), 1);
    EXPECT_EQ(nslAVRecordGetReferenceFrame(still), -1);
    EXPECT_EQ(nslAVRecordGetReferenceFrame(grabbed), 2);
    EXPECT_EQ(nslGetStillset(clip), nullptr);

    // A copy of a record names the same item; names persist with the bin.
    const AVRecord copy = nslCopyAVRecord(still, 0);
    const hxchar* name = nslGetAVRecordName(copy);
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(std::u16string(name) == u"beach");
    hxhost::addTestClip(2, 2, 1, hxhost::TestPattern::ColourBars);
    EXPECT_TRUE(std::u16string(name) == u"beach"); // still valid as the bin grows
    EXPECT_EQ(nslSetAVRecordName(copy, u"Beach SL"), 0);
    EXPECT_EQ(nslSetAVRecordName(0xBAD, u"x"), -1);
    EXPECT_EQ(nslSetAVRecordName(copy, nullptr), -1);
    EXPECT_EQ(nslGetAVRecordName(0xBAD), nullptr);
    nslDeleteAVRecord(copy);
    hxhost::reset();
    hxhost::setHome(home());
    EXPECT_TRUE(std::u16string(nslGetAVRecordName(nslGetFirstScene())) == u"Beach SL");
}

} // namespace
