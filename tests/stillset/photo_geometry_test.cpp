#include "session_fixture.h"

#include "picture_helpers.h"

#include "stillset/photo_geometry.h"

namespace {

using GeometryTest = PluginTest;

TEST_F(GeometryTest, QuarterTurnsMoveEveryPixelWhereItBelongs)
{
    const uint32_t a = 1, b = 2, c = 3, d = 4, e = 5, f = 6;
    struct Case {
        int16_t angle;
        int width, height;
        std::vector<uint32_t> expected;
    };
    for (const Case& turn : {Case{90, 2, 3, {d, a, e, b, f, c}}, Case{270, 2, 3, {c, f, b, e, a, d}},
                             Case{180, 3, 2, {f, e, d, c, b, a}}}) {
        OpImage* turned = rotateImage(pictureOf(3, 2, {a, b, c, d, e, f}), turn.angle);
        ASSERT_EQ(turned->width, turn.width) << turn.angle;
        ASSERT_EQ(turned->height, turn.height);
        EXPECT_EQ(wordsOf(turned), turn.expected) << turn.angle;
        EXPECT_EQ(turned->aspect, 1000);
        opFreeImage(turned);
    }
    // A large odd-sized picture turns the same way tile by tile.
    OpImage* turned = rotateImage(labelledPicture(131, 67), 90);
    for (int y = 0; y < 131; ++y)
        for (int x = 0; x < 67; ++x)
            ASSERT_EQ(pixelAt(turned, x, y), static_cast<uint32_t>((66 - x) << 16 | y)) << x << "," << y;
    opFreeImage(turned);

    OpImage* picture = pictureOf(3, 2, {a, b, c, d, e, f});
    EXPECT_EQ(rotateImage(picture, 45), picture);
    EXPECT_EQ(rotateImage(picture, 0), picture);
    hxhost::failService("opAllocImage");
    EXPECT_EQ(rotateImage(picture, 90), picture) << "no memory: the unturned picture goes on";
    EXPECT_EQ(entries(4, "src\\stillset").size(), 1u);
    opFreeImage(picture);
    expectNothingLive();
}

TEST_F(GeometryTest, MirrorSwapsEachRowAboutItsMiddle)
{
    OpImage* picture = pictureOf(3, 2, {1, 2, 3, 4, 5, 6});
    mirrorImage(picture);
    EXPECT_EQ(wordsOf(picture), (std::vector<uint32_t>{3, 2, 1, 6, 5, 4}));
    opFreeImage(picture);
}

TEST_F(GeometryTest, CropStaysInsideThePicture)
{
    struct Case {
        int16_t x, y, w, h;
        int left, top, width, height;
    };
    for (const Case& crop : {Case{10, 5, 20, 8, 10, 5, 20, 8}, Case{200, 5, 20, 8, 0, 5, 20, 8},
                             Case{10, 5, 5000, 8, 10, 5, 90, 8}, Case{-4, -1, 20, 8, 0, 0, 20, 8},
                             Case{10, 5, 0, -3, 10, 5, 90, 35}, Case{99, 39, 1, 1, 99, 39, 1, 1}}) {
        OpImage* cropped = cropImage(labelledPicture(100, 40), crop.x, crop.y, crop.w, crop.h);
        ASSERT_EQ(cropped->width, crop.width) << crop.x << "," << crop.w;
        ASSERT_EQ(cropped->height, crop.height);
        EXPECT_EQ(pixelAt(cropped, 0, 0), static_cast<uint32_t>(crop.top << 16 | crop.left));
        EXPECT_EQ(pixelAt(cropped, crop.width - 1, crop.height - 1),
                  static_cast<uint32_t>((crop.top + crop.height - 1) << 16 | (crop.left + crop.width - 1)));
        opFreeImage(cropped);
    }
    OpImage* picture = labelledPicture(100, 40);
    EXPECT_EQ(cropImage(picture, 0, 0, 100, 40), picture);
    opFreeImage(picture);
    expectNothingLive();
}

TEST(CropMapping, TurnedAndBackAgainGivesTheSameRectangle)
{
    for (int16_t rotation : {0, 90, 180, 270, 45}) {
        PhotoEntry photo{};
        photo.rotation = rotation;
        photo.cropX = 10;
        photo.cropY = 20;
        photo.cropWidth = 300;
        photo.cropHeight = 200;
        mapCropToTurned(&photo, 640, 480);
        if (rotation == 90) {
            EXPECT_EQ(photo.cropX, 480 - 200 - 20);
            EXPECT_EQ(photo.cropY, 10);
            EXPECT_EQ(photo.cropWidth, 200);
        }
        mapCropFromTurned(&photo, 640, 480);
        EXPECT_EQ(photo.cropX, 10) << rotation;
        EXPECT_EQ(photo.cropY, 20) << rotation;
        EXPECT_EQ(photo.cropWidth, 300) << rotation;
        EXPECT_EQ(photo.cropHeight, 200) << rotation;
    }
}

} // namespace
