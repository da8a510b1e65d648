#include "session_fixture.h"

#include "picture_helpers.h"

#include "stillset/fit_and_pad.h"
#include "stillset/output_frame.h"
#include "stillset/photo_fetch.h"

#include "host/hxgx.h"
#include "host/hxmotion.h"

namespace {

constexpr uint32_t kBlackLuma = 16;

uint32_t lumaAt(OpImage* image, int x, int y)
{
    return pixelAt(image, x, y) >> 24;
}

// A format-1 picture whose luma climbs down the rows (so that the two fields differ) and across.
OpImage* gradient(int width, int height)
{
    std::vector<uint32_t> words;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            words.push_back(static_cast<uint32_t>(60 + 120 * y / height + 40 * x / width) << 24 | 0x808000);
    return pictureOf(width, height, words);
}

class RenderingTest : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        ASSERT_TRUE(hxhost::openProject());
    }
    void TearDown() override
    {
        clearPhotoCache();
        for (PhotoEntry* photo : photos)
            destroyPhoto(photo);
        expectNothingLive();
        PluginTest::TearDown();
    }
    // A photo of the scene bin made from a picture of ours, and an entry as an import makes it.
    PhotoEntry* photoOf(OpImage* picture)
    {
        const std::string path = home() + "/photo" + std::to_string(photos.size()) + ".png";
        EXPECT_TRUE(hxhost::writeImagePng(picture, path));
        std::string error;
        const uint32_t record = hxhost::importStill(path, &error);
        EXPECT_NE(record, 0u) << error;
        PhotoEntry* photo = newEntry(static_cast<uint32_t>(100 + photos.size()));
        nslDeleteAVRecord(photo->source);
        photo->source = nslCopyAVRecord(record, 0);
        photo->cropWidth = static_cast<uint16_t>(picture->width);
        photo->cropHeight = static_cast<uint16_t>(picture->height);
        opFreeImage(picture);
        photos.push_back(photo);
        return photo;
    }
    static void destroyPhoto(PhotoEntry* photo)
    {
        nslDeleteAVRecord(photo->source);
        std::free(photo);
    }
    std::vector<PhotoEntry*> photos;
};

TEST_F(RenderingTest, FetchAsksTheHostOncePerPhotoInARow)
{
    PhotoEntry* a = photoOf(gradient(64, 48));
    PhotoEntry* b = photoOf(gradient(32, 32));
    const uint32_t before = hxhost::callCount("nslGetStillset");
    OpImage* first = fetchPhotoImage(a);
    OpImage* second = fetchPhotoImage(a);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second) << "every caller gets its own copy";
    EXPECT_EQ(hxhost::callCount("nslGetStillset") - before, 1u);
    opFreeImage(first);
    opFreeImage(second);
    opFreeImage(fetchPhotoImage(b));
    opFreeImage(fetchPhotoImage(a));
    EXPECT_EQ(hxhost::callCount("nslGetStillset") - before, 3u);

    PhotoEntry* missing = newEntry(9);
    nslDeleteAVRecord(missing->source);
    missing->source = 0;
    hxhost::clearLog();
    EXPECT_EQ(fetchPhotoImage(missing), nullptr);
    EXPECT_EQ(entries(4, "src\\stillset").size(), 1u);
    std::free(missing);
}

// A photo grabbed from video: fields 2 x frame and the next woven in the order the first-field status
// says, a picture of square pixels, kept for the next fetch.
TEST_F(RenderingTest, GrabbedFrameIsWovenByTheFirstFieldStatusAndCached)
{
    ASSERT_TRUE(learnOutputFrame());
    std::string error;
    const AVRecord record = hxhost::addTestClip(frameWidth, frameHeight, 4, hxhost::TestPattern::FieldCounter, 1, &error);
    ASSERT_NE(record, 0u) << error;
    PhotoEntry* photo = newEntry(7);
    nslDeleteAVRecord(photo->source);
    photo->source = nslCopyAVRecord(record, 0);
    photos.push_back(photo);

    for (int32_t status : {0, 1}) {
        SCOPED_TRACE(status);
        clearPhotoCache();
        hxhost::setFirstFieldStatus(status);
        const uint32_t fields = hxhost::callCount("cmGetField");
        OpImage* picture = fetchPhotoImage(photo);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(hxhost::callCount("cmGetField") - fields, 2u);
        // The test clip's pixels are square already, so the refit keeps the frame's size.
        EXPECT_EQ(picture->aspect, 1000);
        EXPECT_EQ(picture->width, frameWidth);
        EXPECT_EQ(picture->height, frameHeight);
        // Frame 1 is fields 2 and 3 (lumas 18 and 19); the first field in time takes the top row.
        const uint32_t top = status ? 19 : 18, bottom = status ? 18 : 19;
        for (int x : {0, picture->width / 2, picture->width - 1}) {
            EXPECT_EQ(lumaAt(picture, x, 0), top) << x;
            EXPECT_EQ(lumaAt(picture, x, 1), bottom) << x;
            EXPECT_EQ(lumaAt(picture, x, picture->height - 1), bottom) << x;
        }
        opFreeImage(picture);
        opFreeImage(fetchPhotoImage(photo));
        EXPECT_EQ(hxhost::callCount("cmGetField") - fields, 2u) << "the second fetch comes from the cache";
    }
}

struct PadCase {
    int inputWidth, inputHeight, targetWidth, targetHeight;
    int pictureWidth, pictureHeight, left, top, paddedWidth, paddedHeight;
};

TEST_F(RenderingTest, PaddingCentresTheFittedPictureInTheTargetShape)
{
    for (const PadCase& c : {PadCase{270, 288, 720, 576, 540, 576, 90, 0, 720, 576},
                             PadCase{1280, 720, 720, 576, 720, 405, 0, 85, 720, 576},
                             PadCase{600, 578, 723, 578, 600, 578, 62, 0, 724, 578}}) {
        OpImage* padded = scaleAndPad(pictureOf(c.inputWidth, c.inputHeight,
                                                std::vector<uint32_t>(static_cast<size_t>(c.inputWidth) * c.inputHeight, 0xC8808000)),
                                      static_cast<int16_t>(c.targetWidth), static_cast<int16_t>(c.targetHeight), 1000);
        ASSERT_EQ(padded->format, static_cast<uint32_t>(OP_FORMAT_YUVA));
        ASSERT_EQ(padded->width, c.paddedWidth) << c.inputWidth;
        ASSERT_EQ(padded->height, c.paddedHeight);
        EXPECT_EQ(lumaAt(padded, c.left + c.pictureWidth / 2, c.top + c.pictureHeight / 2), 0xC8u);
        EXPECT_EQ(lumaAt(padded, c.left, c.top), 0xC8u);
        if (c.left > 0) {
            EXPECT_EQ(lumaAt(padded, c.left - 1, c.top), kBlackLuma);
            EXPECT_EQ(lumaAt(padded, 0, 0), kBlackLuma);
        }
        if (c.top > 0) {
            EXPECT_EQ(lumaAt(padded, c.left, c.top - 1), kBlackLuma);
            EXPECT_EQ(lumaAt(padded, 0, c.paddedHeight - 1), kBlackLuma);
        }
        opFreeImage(padded);
    }
    OpImage* preview = scaleForPreview(gradient(270, 288), 720, 576, 1000);
    EXPECT_EQ(preview->width, 540);
    EXPECT_EQ(preview->height, 576);
    opFreeImage(preview);
}

TEST_F(RenderingTest, FailuresStillGiveAUsablePicture)
{
    hxhost::failService("opScaleImage");
    OpImage* black = scaleAndPad(gradient(270, 288), 720, 576, 1000);
    ASSERT_EQ(black->width, 540) << "video black of the fitted size";
    EXPECT_EQ(pixelAt(black, 100, 100), OP_VIDEO_BLACK);
    opFreeImage(black);

    for (const char* step : {"imp_filter_create", "imp_filter_put_frame", "imp_filter_get_frame", "opConvertImage"}) {
        hxhost::clearLog();
        hxhost::failService(step);
        OpImage* input = gradient(270, 288);
        OpImage* result = scaleAndPad(input, 720, 576, 1000);
        EXPECT_EQ(entries(4, "src\\stillset").size(), 1u) << step;
        if (std::string(step) != "opConvertImage") {
            EXPECT_EQ(result, input) << step << ": the very input, unscaled";
        } else {
            EXPECT_EQ(result->width, 540) << "the fitted picture without its border";
        }
        opFreeImage(result);
        hxhost::clearFaults();
    }
}

TEST_F(RenderingTest, FullPictureIsCroppedTurnedTonedAndMirroredButNotScaled)
{
    PhotoEntry photo{};
    EXPECT_EQ(stillsetDoPhoto(&photo, nullptr), nullptr);
    photo.cropWidth = 400;
    photo.cropHeight = 300;
    photo.rotation = 90;
    photo.brightness = photo.contrast = photo.saturation = 100;
    OpImage* turned = stillsetDoPhoto(&photo, labelledPicture(400, 300));
    EXPECT_EQ(turned->width, 300);
    EXPECT_EQ(turned->height, 400);
    opFreeImage(turned);

    photo.rotation = 0;
    photo.mirrored = 2; // only 1 mirrors
    OpImage* kept = stillsetDoPhoto(&photo, gradient(400, 300));
    EXPECT_LT(lumaAt(kept, 0, 150), lumaAt(kept, 399, 150));
    photo.mirrored = 1;
    OpImage* mirrored = stillsetDoPhoto(&photo, kept);
    EXPECT_GT(lumaAt(mirrored, 0, 150), lumaAt(mirrored, 399, 150));
    opFreeImage(mirrored);
}

TEST_F(RenderingTest, FieldsFollowTheFirstFieldStatusAndComeFromOneFetch)
{
    PhotoEntry* photo = photoOf(gradient(360, 288));
    const uint32_t before = hxhost::callCount("nslGetStillset");
    auto fieldWords = [&](int32_t status, int32_t selector) {
        hxhost::setFirstFieldStatus(status);
        OpImage* field = stillsetGetFinalField(photo, selector);
        EXPECT_EQ(field->width, 720);
        EXPECT_EQ(field->height, 288);
        std::vector<uint32_t> words = wordsOf(field);
        opFreeImage(field);
        return words;
    };
    const auto even = fieldWords(0, 1);
    EXPECT_EQ(fieldWords(1, 0), even);
    const auto odd = fieldWords(0, 0);
    EXPECT_EQ(fieldWords(1, 1), odd);
    EXPECT_EQ(fieldWords(0, 2), odd);
    EXPECT_EQ(fieldWords(0, -1), odd);
    EXPECT_NE(even, odd);
    EXPECT_EQ(hxhost::callCount("nslGetStillset") - before, 1u);
}

TEST_F(RenderingTest, MirroredFrameKeepsEqualBorders)
{
    PhotoEntry* photo = photoOf(gradient(320, 288)); // 1200 x 1080 in the HD frame: 360 columns a side
    hxhost::setVideoFormat("1080i");  // square pixels: the border is plain to count
    frameWidth = 0;                                // learn the new frame
    for (int32_t mirrored : {0, 1}) {
        photo->mirrored = mirrored;
        OpImage* field = stillsetGetFinalField(photo, 1);
        ASSERT_EQ(field->width, 1920);
        int left = 0, right = 0;
        while (left < field->width && lumaAt(field, left, 100) == kBlackLuma)
            ++left;
        while (right < field->width && lumaAt(field, field->width - 1 - right, 100) == kBlackLuma)
            ++right;
        EXPECT_EQ(left, 360) << mirrored;
        EXPECT_EQ(right, 360) << mirrored;
        // The picture brightens to the right, or to the left once mirrored with its border.
        EXPECT_EQ(lumaAt(field, 400, 100) < lumaAt(field, 1500, 100), mirrored == 0);
        opFreeImage(field);
    }
    frameWidth = 0;
}

TEST_F(RenderingTest, ExportsWorkBeforeAnySessionRan)
{
    PhotoEntry* photo = photoOf(gradient(64, 64));
    frameWidth = frameHeight = 0;
    session.imageScaler = nullptr;
    OpImage* field = stillsetGetFinalField(photo, 1);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->width, 720);
    EXPECT_EQ(field->height, 288);
    opFreeImage(field);
}

} // namespace
