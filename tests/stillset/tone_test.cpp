#include "session_fixture.h"

#include "picture_helpers.h"

#include "stillset/tone.h"

namespace {

// A 256-pixel picture whose pixel i has luma i, chroma i and key byte 0x5A.
OpImage* everyCode()
{
    std::vector<uint32_t> words;
    for (uint32_t i = 0; i < 256; ++i)
        words.push_back(i << 24 | i << 16 | i << 8 | 0x5A);
    return pictureOf(256, 1, words);
}

struct Tables {
    uint8_t luma[256];
    uint8_t chroma[256];
};

Tables toned(int32_t brightness, int32_t contrast, int32_t saturation, int32_t gamma)
{
    OpImage* picture = everyCode();
    toneCorrect(picture, brightness, contrast, saturation, gamma);
    Tables tables;
    for (int i = 0; i < 256; ++i) {
        const uint32_t word = pixelAt(picture, i, 0);
        tables.luma[i] = static_cast<uint8_t>(word >> 24);
        tables.chroma[i] = static_cast<uint8_t>(word >> 8);
        EXPECT_EQ(word & 0xFF, 0x5Au) << "the key byte is never touched";
        EXPECT_EQ((word >> 16) & 0xFF, (word >> 8) & 0xFF) << "both chroma bytes share a table";
    }
    opFreeImage(picture);
    return tables;
}

using ToneTest = PluginTest;

TEST_F(ToneTest, DefaultsOnlyClampToTheVideoRange)
{
    const Tables t = toned(100, 100, 100, 0);
    EXPECT_EQ(t.luma[5], 16);
    EXPECT_EQ(t.luma[128], 128);
    EXPECT_EQ(t.luma[250], 235);
    EXPECT_EQ(t.chroma[250], 240);
    EXPECT_EQ(t.chroma[100], 100);
}

TEST_F(ToneTest, BrightnessContrastGammaAndSaturation)
{
    const Tables flat = toned(100, 0, 100, 0);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(flat.luma[i], 128);
    const Tables dim = toned(50, 100, 100, 50);
    EXPECT_EQ(dim.luma[21], 16) << "10 is not raised to the power, then clamped";
    EXPECT_EQ(toned(50, 100, 100, 0).luma[200], 100);
    const Tables bright = toned(100, 100, 100, 100);
    EXPECT_EQ(bright.luma[11], 235) << "254 clamped to the luma maximum";
    EXPECT_EQ(bright.luma[10], 16);
    EXPECT_EQ(toned(100, 100, 100, -100).luma[128], 16) << "(128/255)^8 x 255 = 1, clamped up";
    const Tables grey = toned(100, 100, 0, 0);
    EXPECT_EQ(grey.chroma[20], 128);
    EXPECT_EQ(grey.chroma[240], 128);
    EXPECT_EQ(toned(100, 100, 200, 0).chroma[200], 240);
    // Extreme stored values stay defined: the power curve of huge codes is clamped, not converted.
    EXPECT_EQ(toned(200, 200, 100, -100).luma[255], 235);
    const Tables extreme = toned(100000, 200, 100000, -100);
    EXPECT_EQ(extreme.luma[0], 16);
    EXPECT_EQ(extreme.luma[3], 235);
    EXPECT_EQ(extreme.chroma[0], 16);
}

TEST_F(ToneTest, OtherLayoutsMapTheirLumaAndChromaBytes)
{
    OpImage* packed = opAllocImage(4, 2, OP_FORMAT_YC_PACKED, 0);
    for (int i = 0; i < 16; ++i)
        packed->planes[0][i] = 250;
    toneCorrect(packed, 100, 100, 100, 0);
    EXPECT_EQ(packed->planes[0][0], 240) << "byte 0 is chroma";
    EXPECT_EQ(packed->planes[0][1], 235) << "byte 1 is luma";
    opFreeImage(packed);

    OpImage* planar = opAllocImage(4, 4, OP_FORMAT_YUV420, 0);
    std::fill(planar->planes[0], planar->planes[0] + 16, 250);
    std::fill(planar->planes[1], planar->planes[1] + 4, 250);
    std::fill(planar->planes[2], planar->planes[2] + 4, 250);
    toneCorrect(planar, 100, 100, 100, 0);
    EXPECT_EQ(planar->planes[0][15], 235);
    EXPECT_EQ(planar->planes[1][3], 240);
    EXPECT_EQ(planar->planes[2][3], 240);
    opFreeImage(planar);

    OpImage* unknown = opAllocImage(4, 4, OP_FORMAT_YUVA, 0);
    unknown->format = 3;
    pixelsOf(unknown)[0] = 0xFAFAFAFA;
    toneCorrect(unknown, 100, 100, 100, 0);
    EXPECT_EQ(pixelsOf(unknown)[0], 0xFAFAFAFAu);
    unknown->format = OP_FORMAT_YUVA;
    opFreeImage(unknown);
}

// The wide loop against the plain one, byte for byte: every byte value in every position, a pixel
// count that does not come in sixteens, and settings that use the whole of both tables.
TEST_F(ToneTest, TheWideLoopGivesThePlainLoopsBytes)
{
    std::vector<uint32_t> words;
    for (uint32_t i = 0; i < 37 * 23; ++i)
        words.push_back((i * 2654435761u) ^ (i << 24));
    for (auto [brightness, contrast, saturation, gamma] : {std::tuple{100, 100, 100, 0}, {60, 140, 170, 30}, {180, 40, 0, 90}}) {
        std::vector<uint32_t> results[2];
        for (bool plain : {true, false}) {
            setPlainToneLoops(plain);
            OpImage* picture = pictureOf(37, 23, words);
            toneCorrect(picture, brightness, contrast, saturation, gamma);
            results[plain].assign(pixelsOf(picture), pixelsOf(picture) + words.size());
            opFreeImage(picture);
        }
        EXPECT_TRUE(results[0] == results[1]) << brightness << " " << contrast << " " << saturation << " " << gamma;
    }
    setPlainToneLoops(false);
}

} // namespace
