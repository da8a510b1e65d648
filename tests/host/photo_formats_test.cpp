// Stills from HEIF, WebP and TIFF files, recognised by content; embedded colour profiles brought to
// sRGB; broken and hostile files of each format named and skipped; very large JPEGs decoded reduced.
#include "host/still_test_fixture.h"
#include "support/heif_webp_tiff_files.h"
#include "hxhost/still_import.h"
#include "support/picture_files.h"

#include <algorithm>
#include <png.h>
#include <tiffio.h>

namespace {

const std::string kRed("\xFF\0\0", 3), kTeal("\x10\x80\x20", 3);

class PhotoFormatsTest : public StillTest {
protected:
    // White left half, black right half, 32 x 16: where the white lands shows the orientation.
    static Pixels halves(int channels = 3)
    {
        Pixels pixels{32, 16, channels, {}};
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x)
                pixels.bytes += std::string(static_cast<size_t>(channels), x < 16 ? '\xFF' : '\0');
        return pixels;
    }

    // The reason the import of `file` gives; the bin gets nothing.
    std::string refusal(const std::string& file)
    {
        std::string error;
        const size_t items = hxhost::sceneBinItems().size();
        EXPECT_EQ(hxhost::importStill(file, &error), 0u) << file;
        EXPECT_EQ(hxhost::sceneBinItems().size(), items);
        EXPECT_EQ(error.rfind(file + ": ", 0), 0u) << error;
        return error;
    }

    std::string plainPng(const std::string& name, const std::string& rgb)
    {
        writePng(path(name), 1, 1, PNG_FORMAT_RGB, rgb);
        return path(name);
    }
};

struct Turn {
    int orientation, width, height, whiteX, whiteY, blackX, blackY;
};
constexpr Turn kTurns[] = {{1, 32, 16, 4, 8, 28, 8}, {6, 16, 32, 8, 4, 8, 28}, {3, 32, 16, 28, 8, 4, 8},
                           {8, 16, 32, 8, 28, 8, 4}, {2, 32, 16, 28, 8, 4, 8}};

void expectTurned(OpImage* still, const Turn& turn)
{
    ASSERT_NE(still, nullptr);
    EXPECT_EQ(still->width, turn.width);
    EXPECT_EQ(still->height, turn.height);
    EXPECT_GT(yuvAt(still, turn.whiteX, turn.whiteY).y, 220);
    EXPECT_LT(yuvAt(still, turn.blackX, turn.blackY).y, 30);
    opFreeImage(still);
}

TEST_F(PhotoFormatsTest, HeifComesInUprightAndComposited)
{
    if (!writeHeif(path("red.heic"), uniformPixels(64, 32, kRed)))
        GTEST_SKIP() << "no HEVC encoder";
    expectColour(colourOf(path("red.heic")), kRed601, 4);
    for (const Turn& turn : kTurns) {
        SCOPED_TRACE(turn.orientation);
        const std::string file = path("turned" + std::to_string(turn.orientation) + ".heic");
        writeHeif(file, halves(), {.quality = 95, .orientation = turn.orientation});
        expectTurned(importAndFetch(file), turn);
    }
    // Transparent pixels go black; opaque ones keep their colour.
    Pixels alpha = uniformPixels(64, 32, std::string("\xFF\0\0\xFF", 4));
    for (size_t i = 3; i < alpha.bytes.size() / 2; i += 4)
        alpha.bytes[i] = '\0';
    writeHeif(path("alpha.heic"), alpha);
    OpImage* still = importAndFetch(path("alpha.heic"));
    ASSERT_NE(still, nullptr);
    expectColour(yuvAt(still, 10, 4), kBlack, 4);
    expectColour(yuvAt(still, 10, 28), kRed601, 6);
    opFreeImage(still);
}

TEST_F(PhotoFormatsTest, WebpLossyLosslessAndAlpha)
{
    writeWebp(path("lossless.webp"), uniformPixels(8, 8, kRed));
    expectColour(colourOf(path("lossless.webp")), kRed601, 0);
    writeWebp(path("lossy.webp"), uniformPixels(32, 32, kRed), 90);
    expectColour(colourOf(path("lossy.webp")), kRed601, 4);
    writeWebp(path("alpha.webp"), Pixels{2, 1, 4, std::string("\xFF\0\0\0\xFF\0\0\xFF", 8)});
    OpImage* still = importAndFetch(path("alpha.webp"));
    ASSERT_NE(still, nullptr);
    expectColour(yuvAt(still, 0, 0), kBlack, 0);
    expectColour(yuvAt(still, 1, 0), kRed601, 0);
    opFreeImage(still);

    // Over the pixel limit the decoder scales while it decodes.
    writeWebp(path("large.webp"), uniformPixels(200, 100, kRed));
    hxhost::setStillPixelLimit(6000);
    still = importAndFetch(path("large.webp"));
    ASSERT_NE(still, nullptr);
    EXPECT_EQ(still->width, 100);
    EXPECT_EQ(still->height, 50);
    expectColour(yuvAt(still, 50, 25), kRed601, 1);
    opFreeImage(still);
}

TEST_F(PhotoFormatsTest, TiffKindsComeInAtVideoLevels)
{
    writeTiff(path("rgb.tif"), 2, 1, {}, std::string("\xFF\0\0\xFF\0\0", 6));
    expectColour(colourOf(path("rgb.tif")), kRed601, 0);

    const uint16_t deep[6] = {0xFFFF, 0, 0, 0xFFFF, 0, 0};
    writeTiff(path("deep.tif"), 2, 1, {.bitsPerSample = 16}, std::string(reinterpret_cast<const char*>(deep), sizeof deep));
    expectColour(colourOf(path("deep.tif")), kRed601, 0);

    writeTiff(path("gray.tif"), 2, 1, {.photometric = 1, .samplesPerPixel = 1}, std::string(2, char(200)));
    expectColour(colourOf(path("gray.tif")), {188, 128, 128}, 0);

    // Palette entry 1 is red (16-bit tables: 256 reds, 256 greens, 256 blues).
    std::string map(256 * 3 * 2, '\0');
    map[2] = map[3] = '\xFF';
    writeTiff(path("palette.tif"), 2, 1, {.photometric = 3, .samplesPerPixel = 1, .colourMap = map}, std::string("\1\1", 2));
    expectColour(colourOf(path("palette.tif")), kRed601, 0);

    writeTiff(path("cmyk.tif"), 2, 1, {.photometric = 5, .samplesPerPixel = 4}, std::string("\0\xFF\xFF\0\0\xFF\xFF\0", 8));
    expectColour(colourOf(path("cmyk.tif")), kRed601, 1);

    // Unassociated alpha: transparent goes black.
    writeTiff(path("alpha.tif"), 2, 1, {.samplesPerPixel = 4, .extraSamples = 2}, std::string("\xFF\0\0\0\xFF\0\0\xFF", 8));
    OpImage* still = importAndFetch(path("alpha.tif"));
    ASSERT_NE(still, nullptr);
    expectColour(yuvAt(still, 0, 0), kBlack, 0);
    expectColour(yuvAt(still, 1, 0), kRed601, 0);
    opFreeImage(still);

    // The first page is the picture; the second (inverted) is not.
    writeTiff(path("pages.tif"), 2, 1, {.pages = 2}, std::string("\xFF\0\0\xFF\0\0", 6));
    expectColour(colourOf(path("pages.tif")), kRed601, 0);

    for (const Turn& turn : kTurns) {
        SCOPED_TRACE(turn.orientation);
        const std::string file = path("turned" + std::to_string(turn.orientation) + ".tif");
        writeTiff(file, 32, 16, {.orientation = turn.orientation}, halves().bytes);
        expectTurned(importAndFetch(file), turn);
    }
}

TEST_F(PhotoFormatsTest, FilesAreKnownByContentNotByName)
{
    writeWebp(path("really-webp.jpg"), uniformPixels(4, 4, kRed));
    writeTiff(path("really-tiff.png"), 1, 1, {}, kRed);
    writePng(path("really-png.heic"), 1, 1, PNG_FORMAT_RGB, kRed);
    for (const char* name : {"really-webp.jpg", "really-tiff.png", "really-png.heic"})
        expectColour(colourOf(path(name)), kRed601, 0);
}

// A saturated green and a mid orange, as a wide-gamut photo holds them.
const std::string kWideColours("\x20\xE0\x30\xE0\x90\x40", 6);

TEST_F(PhotoFormatsTest, EmbeddedProfilesAreConvertedToSrgb)
{
    struct Space {
        const char* name;
        std::string profile;
    };
    const std::string bigP3 = displayP3Profile(std::string(40000, 'P')); // two APP2 markers in a JPEG
    ASSERT_GT(bigP3.size(), 65519u);
    for (const Space& space : {Space{"p3", displayP3Profile()}, Space{"adobe", adobeRgbProfile()}, Space{"bigp3", bigP3}}) {
        SCOPED_TRACE(space.name);
        const std::string srgb = toSrgb(space.profile, kWideColours);
        ASSERT_NE(srgb, kWideColours);
        for (int c = 0; c < 2; ++c) {
            SCOPED_TRACE(c);
            const std::string wide = kWideColours.substr(static_cast<size_t>(c) * 3, 3);
            const std::string name = std::string(space.name) + std::to_string(c);
            const Yuv expected = colourOf(plainPng(name + "-srgb.png", srgb.substr(static_cast<size_t>(c) * 3, 3)));

            writeJpeg(path(name + ".jpg"), 8, 8, {3}, [&](int, int, uint8_t* out) { std::copy(wide.begin(), wide.end(), out); },
                      space.profile);
            expectColour(colourOf(path(name + ".jpg")), expected, 3);

            writePng(path(name + "-plain.png"), 1, 1, PNG_FORMAT_RGB, wide);
            writeFile(path(name + ".png"), withPngProfile(readFile(path(name + "-plain.png")), space.profile));
            expectColour(colourOf(path(name + ".png")), expected, 1);

            writeWebp(path(name + ".webp"), uniformPixels(4, 4, wide), -1, space.profile);
            expectColour(colourOf(path(name + ".webp")), expected, 1);

            writeTiff(path(name + ".tif"), 1, 1, {.iccProfile = space.profile}, wide);
            expectColour(colourOf(path(name + ".tif")), expected, 1);

            if (writeHeif(path(name + ".heic"), uniformPixels(64, 32, wide), {.quality = 95, .iccProfile = space.profile}))
                expectColour(colourOf(path(name + ".heic")), expected, 4);
        }
    }
    EXPECT_TRUE(entries(4, "hx").empty());
}

TEST_F(PhotoFormatsTest, ABrokenProfileImportsAsSrgbWithALogEntry)
{
    const std::string wide = kWideColours.substr(0, 3);
    const Yuv plain = colourOf(plainPng("plain.png", wide));
    std::string broken = displayP3Profile();
    broken.replace(36, 4, "xxxx"); // the "acsp" signature
    writeJpeg(path("broken.jpg"), 8, 8, {3}, [&](int, int, uint8_t* out) { std::copy(wide.begin(), wide.end(), out); }, broken);
    writeWebp(path("broken.webp"), uniformPixels(4, 4, wide), -1, broken);
    writeTiff(path("broken.tif"), 1, 1, {.iccProfile = broken}, wide);
    writeFile(path("broken.png"), withPngProfile(readFile(plainPng("inner.png", wide)), broken));
    for (const char* name : {"broken.jpg", "broken.webp", "broken.tif", "broken.png"}) {
        SCOPED_TRACE(name);
        hxhost::clearLog();
        expectColour(colourOf(path(name)), plain, 2);
        const std::vector<hxhost::LogEntry> logged = entries(4, "hx");
        ASSERT_EQ(logged.size(), 1u);
        EXPECT_NE(logged[0].text.find(name), std::string::npos) << logged[0].text;
        EXPECT_NE(logged[0].text.find("broken colour profile, taken as sRGB"), std::string::npos) << logged[0].text;
    }
}

// A little-endian TIFF with the short value of `tag` in its first directory made a long `value`.
std::string withLongTag(std::string tiff, uint16_t tag, uint32_t value)
{
    const std::string entry{static_cast<char>(tag & 0xFF), static_cast<char>(tag >> 8), 3, 0, 1, 0, 0, 0};
    const size_t at = tiff.find(entry);
    if (at == std::string::npos)
        return {};
    tiff[at + 2] = 4;
    for (int i = 0; i < 4; ++i)
        tiff[at + 8 + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
    return tiff;
}

TEST_F(PhotoFormatsTest, BrokenAndHostileFilesAreNamedAndSkipped)
{
    writeWebp(path("whole.webp"), uniformPixels(64, 64, kTeal), 80);
    writeTiff(path("whole.tif"), 64, 64, {}, uniformPixels(64, 64, kTeal).bytes);
    const bool heif = writeHeif(path("whole.heic"), uniformPixels(64, 64, kTeal));
    std::vector<std::string> formats = {"webp", "tif"};
    if (heif)
        formats.push_back("heic");
    for (const std::string& format : formats) {
        SCOPED_TRACE(format);
        const std::string whole = readFile(path("whole." + format));
        writeFile(path("cut." + format), whole.substr(0, whole.size() / 2));
        writeFile(path("empty." + format), "");
        writeFile(path("header." + format), whole.substr(0, 16));
        for (const char* kind : {"cut.", "empty.", "header."})
            refusal(path(kind + format));
    }

    // A TIFF claiming 100000 x 100000 pixels is refused before any is allocated, with its size.
    const std::string huge = withLongTag(withLongTag(readFile(path("whole.tif")), TIFFTAG_IMAGEWIDTH, 100000), TIFFTAG_IMAGELENGTH, 100000);
    ASSERT_FALSE(huge.empty());
    writeFile(path("huge.tif"), huge);
    EXPECT_NE(refusal(path("huge.tif")).find("too large: 100000x100000"), std::string::npos);

    // A WebP that even an eighth of its size would not bring under the limit.
    writeWebp(path("large.webp"), uniformPixels(200, 100, kRed));
    hxhost::setStillPixelLimit(200);
    EXPECT_NE(refusal(path("large.webp")).find("too large: 200x100"), std::string::npos);
    hxhost::setStillPixelLimit(hxhost::kDefaultStillPixelLimit);
    EXPECT_EQ(hxhost::liveCounts().images, 0);
}

TEST_F(PhotoFormatsTest, PngTiffAndHeifOverTheLimitAreReducedByBlockAveragesAsTheyAreRead)
{
    // 301 x 201: columns 0 to 149 a checkerboard of black and white, whose blocks of four average
    // to mid gray, the rest red. Halved it is 151 x 101, the last column and row from partial blocks.
    Pixels pixels{301, 201, 3, {}};
    for (int y = 0; y < 201; ++y)
        for (int x = 0; x < 301; ++x)
            pixels.bytes += x >= 150 ? kRed : std::string(3, (x + y) % 2 ? '\xFF' : '\0');
    writePng(path("gray.png"), 1, 1, PNG_FORMAT_RGB, std::string(3, '\x80'));
    const Yuv gray = colourOf(path("gray.png"));
    writePng(path("large.png"), 301, 201, PNG_FORMAT_RGB, pixels.bytes);
    writeTiff(path("large.tif"), 301, 201, {}, pixels.bytes);
    std::vector<std::string> files = {"large.png", "large.tif"};
    if (writeHeif(path("large.heic"), pixels))
        files.push_back("large.heic");
    hxhost::setStillPixelLimit(20000);
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        OpImage* still = importAndFetch(path(file));
        ASSERT_NE(still, nullptr);
        EXPECT_EQ(still->width, 151);
        EXPECT_EQ(still->height, 101);
        if (file != "large.heic") { // a lossy checkerboard keeps no exact average
            expectColour(yuvAt(still, 30, 50), gray, 2);
            expectColour(yuvAt(still, 74, 100), gray, 2);
        }
        expectColour(yuvAt(still, 75, 50), kRed601, 3);
        expectColour(yuvAt(still, 150, 100), kRed601, 3);
        opFreeImage(still);
    }
    // A quarter when a half is not enough; refused with its size when not even an eighth is.
    hxhost::setStillPixelLimit(5000);
    OpImage* quarter = importAndFetch(path("large.tif"));
    ASSERT_NE(quarter, nullptr);
    EXPECT_EQ(quarter->width, 76);
    EXPECT_EQ(quarter->height, 51);
    opFreeImage(quarter);
    hxhost::setStillPixelLimit(200);
    EXPECT_NE(refusal(path("large.png")).find("too large: 301x201"), std::string::npos);
    hxhost::setStillPixelLimit(hxhost::kDefaultStillPixelLimit);
    EXPECT_EQ(hxhost::liveCounts().images, 0);
}

TEST_F(PhotoFormatsTest, AVeryLargeScanIsDecodedAtAnEighth)
{
    // A 187-megapixel scan: a quarter of each side would still be 11.7 million pixels, an eighth fits 3.
    writeJpeg(path("scan.jpg"), 11250, 16650, {1}, [](int x, int, uint8_t* out) { *out = x < 5625 ? 230 : 20; });
    hxhost::setStillPixelLimit(3000000);
    OpImage* still = importAndFetch(path("scan.jpg"));
    ASSERT_NE(still, nullptr);
    EXPECT_EQ(still->width, 1407);
    EXPECT_EQ(still->height, 2082);
    EXPECT_GT(yuvAt(still, 100, 1000).y, 200);
    EXPECT_LT(yuvAt(still, 1300, 1000).y, 40);
    opFreeImage(still);
    hxhost::setStillPixelLimit(2000000);
    EXPECT_NE(refusal(path("scan.jpg")).find("too large: 11250x16650"), std::string::npos);
}

} // namespace

namespace {

class FolderImportTest : public StillTest {};

TEST_F(FolderImportTest, AFolderDecodesOnWorkersAndEntersTheBinInOrder)
{
    // Photos of every format, with two broken files among them.
    std::vector<std::string> files;
    for (int i = 0; i < 12; ++i) {
        const std::string name = path("photo" + std::to_string(i / 10) + std::to_string(i % 10));
        const uint8_t level = static_cast<uint8_t>(20 * i);
        switch (i % 4) {
        case 0: writeJpeg(name + ".jpg", 64, 48, {1}, [&](int, int, uint8_t* out) { *out = level; }); files.push_back(name + ".jpg"); break;
        case 1: writeWebp(name + ".webp", uniformPixels(64, 48, std::string(3, static_cast<char>(level)))); files.push_back(name + ".webp"); break;
        case 2: writeTiff(name + ".tif", 64, 48, {}, uniformPixels(64, 48, std::string(3, static_cast<char>(level))).bytes); files.push_back(name + ".tif"); break;
        default: writePng(name + ".png", 64, 48, PNG_FORMAT_GRAY, std::string(64 * 48, static_cast<char>(level))); files.push_back(name + ".png"); break;
        }
    }
    writeFile(path("broken.webp"), "RIFF\x10\0\0\0WEBPVP8L");
    files.insert(files.begin() + 3, path("broken.webp"));
    files.push_back(path("missing.tif"));

    std::vector<size_t> progress;
    const std::vector<hxhost::ImportedStill> results =
        hxhost::importStills(files, 2, [&](size_t done, size_t total) {
            EXPECT_EQ(total, files.size());
            progress.push_back(done);
        });
    ASSERT_EQ(results.size(), files.size());
    EXPECT_EQ(progress.size(), files.size());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(hxhost::callCount("decodeStill"), files.size());

    const std::vector<hxhost::SceneBinItem> items = hxhost::sceneBinItems();
    ASSERT_EQ(items.size(), 12u);
    size_t item = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i]);
        EXPECT_EQ(results[i].path, files[i]);
        if (files[i] == path("broken.webp") || files[i] == path("missing.tif")) {
            EXPECT_EQ(results[i].record, 0u);
            EXPECT_EQ(results[i].error.rfind(files[i] + ": ", 0), 0u) << results[i].error;
            continue;
        }
        ASSERT_EQ(results[i].record, items[item].record) << results[i].error;
        // Each photo is the level its position gave it, so the bin holds them in the files' order.
        OpImage* still = nslGetStillset(results[i].record);
        ASSERT_NE(still, nullptr);
        const int level = 20 * static_cast<int>(item);
        EXPECT_NEAR(yuvAt(still, 8, 8).y, 16 + level * 219 / 255, 2);
        opFreeImage(still);
        ++item;
    }
    EXPECT_EQ(hxhost::liveCounts().images, 0);
}

} // namespace
