// The photo editor, the crop editor and the tonal requester as the user works them, checked in the
// photo list the next session finds.
#include "session_fixture.h"

#include "stillset/photo_geometry.h"

namespace {

// A crop rectangle as the photo entry keeps it.
struct Crop {
    int x, y, width, height;
    bool operator==(const Crop&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Crop& c)
{
    return out << c.x << "," << c.y << " " << c.width << "x" << c.height;
}

class PhotoEditingTest : public PluginTest {
protected:
    // Three photos q0 .. q2 of 160x120 pixels in the stored list, each with a rendered clip.
    void SetUp() override
    {
        PluginTest::SetUp();
        for (int i = 0; i < 3; ++i) {
            const std::string path = home() + "/q" + std::to_string(i) + ".jpg";
            writeJpeg(path, 160, 120, {}, [i](int x, int y, uint8_t* rgb) {
                rgb[0] = static_cast<uint8_t>(60 * i + x / 4);
                rgb[1] = static_cast<uint8_t>(y * 2);
                rgb[2] = 90;
            });
            std::string error;
            ASSERT_NE(hxhost::importStill(path, &error), 0u) << error;
        }
        ASSERT_EQ(runScript("answer yes\n"), 0);
        giveClips();
    }


    static Crop cropOf(const PhotoEntry& photo) { return {photo.cropX, photo.cropY, photo.cropWidth, photo.cropHeight}; }
    static void setCrop(PhotoEntry& photo, Crop crop)
    {
        photo.cropX = static_cast<uint16_t>(crop.x);
        photo.cropY = static_cast<uint16_t>(crop.y);
        photo.cropWidth = static_cast<uint16_t>(crop.width);
        photo.cropHeight = static_cast<uint16_t>(crop.height);
    }
};

TEST_F(PhotoEditingTest, AcceptedCropIsStoredEvenInThePhotosOwnCoordinates)
{
    ASSERT_EQ(runScript("select grid 0\npress \"Crop\"\ncrop 13 7 101 51\n"), 0);
    const auto photos = storedPhotos();
    EXPECT_EQ(cropOf(photos[0].fields), (Crop{12, 6, 100, 50}));
    EXPECT_FALSE(photos[0].hasClip) << "a new crop needs a new clip";
    EXPECT_TRUE(photos[1].hasClip);
    const auto seen = hxhost::imageRequestsSeen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].pictureWidth, 160);
    EXPECT_EQ(seen[0].pictureHeight, 120);
    EXPECT_EQ(seen[0].width, 160) << "the whole picture was offered";
    expectNothingLive();
}

TEST_F(PhotoEditingTest, CropPastTheTurnedPicturesEdgeIsCutThere)
{
    changeStored([](PhotoEntry& photo, int) { photo.rotation = 90; });
    // Turned, the picture is 120 wide and 160 high: x 100 leaves 20 columns.
    ASSERT_EQ(runScript("select grid 1\npress \"Crop\"\ncrop 100 20 60 40\n"), 0);
    PhotoEntry stored = storedPhotos()[1].fields;
    EXPECT_EQ(cropOf(stored), (Crop{20, 0, 40, 20}));
    mapCropToTurned(&stored, 160, 120);
    EXPECT_EQ(cropOf(stored), (Crop{100, 20, 20, 40}));
    const auto seen = hxhost::imageRequestsSeen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].pictureWidth, 120);
    EXPECT_EQ(seen[0].pictureHeight, 160);
    expectNothingLive();
}

TEST_F(PhotoEditingTest, MirroredCropRoundTripsAndTheRequesterShowsItMirrored)
{
    changeStored([](PhotoEntry& photo, int index) {
        photo.mirrored = 1;
        photo.rotation = index == 1 ? 270 : 0;
        setCrop(photo, {20, 10, 60, 40});
    });
    ASSERT_EQ(runScript("select grid 0\npress \"Crop\"\ncrop keep\nselect grid 1\npress \"Crop\"\ncrop keep\n"), 0);
    const auto photos = storedPhotos();
    EXPECT_EQ(cropOf(photos[0].fields), (Crop{20, 10, 60, 40}));
    EXPECT_EQ(cropOf(photos[1].fields), (Crop{20, 10, 60, 40}));
    const auto seen = hxhost::imageRequestsSeen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].x, 160 - 60 - 20) << "shown at the mirrored place";
    EXPECT_EQ(seen[0].y, 10);
    expectNothingLive();
}

TEST_F(PhotoEditingTest, CancelledOrMissedCropLeavesTheRectangleExactlyAsItWas)
{
    changeStored([](PhotoEntry& photo, int index) {
        photo.rotation = 90;
        photo.mirrored = index == 2 ? 1 : 0;
        setCrop(photo, {13, 7, 101, 51}); // odd values the requester shows evened up
    });
    // A rectangle that lies wholly right of the picture leaves nothing to crop to.
    ASSERT_EQ(runScript("select grid 0\npress \"Crop\"\ncrop cancel\n"
                        "select grid 1\npress \"Crop\"\ncrop 500 0 40 40\n"
                        "select grid 2\npress \"Crop\"\ncrop cancel\n"),
              0);
    for (const StoredPhoto& photo : storedPhotos())
        EXPECT_EQ(cropOf(photo.fields), (Crop{13, 7, 101, 51})) << photo.name;
    expectNothingLive();
}

TEST_F(PhotoEditingTest, FailedCropRequesterChangesNothing)
{
    hxhost::failService("ureqImageRequest");
    ASSERT_EQ(runScript("select grid 0\npress \"Crop\"\n"), 0);
    const auto photos = storedPhotos();
    EXPECT_EQ(cropOf(photos[0].fields), (Crop{0, 0, 160, 120}));
    EXPECT_TRUE(photos[0].hasClip) << "no refresh after a failed crop";
    expectNothingLive();
}

TEST_F(PhotoEditingTest, TonalSlidersChangeOnlyThePreviewAndCancelKeepsToneAndClip)
{
    ASSERT_EQ(runScript("select grid 1\npress \"Brightness and colour\"\ndrag \"Brightness\" to 150\nslide \"Gamma\" -40\n"
                        "press cancel in \"Brightness and colour\"\n"),
              0);
    const auto photos = storedPhotos();
    EXPECT_EQ(photos[1].fields.brightness, 100);
    EXPECT_EQ(photos[1].fields.gamma, 0);
    EXPECT_TRUE(photos[1].hasClip);
    expectNothingLive();
}

TEST_F(PhotoEditingTest, TonalOkKeepsTheSlidersToneAndDropsTheClip)
{
    changeStored([](PhotoEntry& photo, int) { photo.gamma = 10; });
    ASSERT_EQ(runScript("select grid 2\npress \"Brightness and colour\"\ndrag \"Contrast\" to 40\nslide \"Saturation\" 180\n"
                        "press ok in \"Brightness and colour\"\n"),
              0);
    const auto photos = storedPhotos();
    EXPECT_EQ(photos[2].fields.brightness, 100);
    EXPECT_EQ(photos[2].fields.contrast, 40);
    EXPECT_EQ(photos[2].fields.saturation, 180);
    EXPECT_EQ(photos[2].fields.gamma, 10);
    EXPECT_FALSE(photos[2].hasClip);
    EXPECT_TRUE(photos[1].hasClip);
    expectNothingLive();
}

TEST_F(PhotoEditingTest, SecondTonalPressReplacesTheOpenRequester)
{
    ASSERT_EQ(runScript("select grid 0\npress \"Brightness and colour\"\nselect grid 1\npress \"Brightness and colour\"\n"
                        "slide \"Brightness\" 20\npress ok in \"Brightness and colour\"\n"),
              0);
    const auto photos = storedPhotos();
    EXPECT_EQ(photos[0].fields.brightness, 100);
    EXPECT_EQ(photos[1].fields.brightness, 20);
    expectNothingLive();
}

TEST_F(PhotoEditingTest, EditorTurnsMirrorsLeavesOutAndSteps)
{
    ASSERT_EQ(runScript("select grid 0\npress \"Edit photo\"\n"
                        "press \"Turn right\" in \"Edit photo\"\n"  // turn right
                        "press \"Next photo\" in \"Edit photo\"\n"  // next: q1
                        "press \"Mirror\" in \"Edit photo\"\n"  // mirror q1
                        "press \"Next photo\" in \"Edit photo\"\npress \"Next photo\" in \"Edit photo\"\n" // q2, then nothing
                        "press \"Leave out of the slideshow\" in \"Edit photo\"\n"  // leave q2 out
                        "press ok in \"Edit photo\"\n"),
              0);
    const auto photos = storedPhotos();
    EXPECT_EQ(photos[0].fields.rotation, 90);
    EXPECT_EQ(photos[1].fields.mirrored, 1);
    EXPECT_EQ(photos[2].fields.included, 0);
    EXPECT_FALSE(photos[0].hasClip);
    EXPECT_FALSE(photos[2].hasClip);
    Settings settings{};
    storedPhotos(&settings);
    EXPECT_EQ(settings.gridPosition, 0) << "stepping leaves the grid's selection alone";
    expectNothingLive();
}

TEST_F(PhotoEditingTest, PreviousOnTheFirstPhotoDoesNothing)
{
    ASSERT_EQ(runScript("select grid 0\npress \"Edit photo\"\npress \"Previous photo\" in \"Edit photo\"\n"
                        "press \"Turn left\" in \"Edit photo\"\npress ok in \"Edit photo\"\n"),
              0);
    const auto photos = storedPhotos();
    EXPECT_EQ(photos[0].fields.rotation, 270);
    EXPECT_EQ(photos[1].fields.rotation, 0);
    EXPECT_TRUE(photos[1].hasClip);
    expectNothingLive();
}

TEST_F(PhotoEditingTest, ToneGoesToThePhotoItWasOpenedForEvenAfterTheEditorSteppedOn)
{
    ASSERT_EQ(runScript("select grid 0\npress \"Edit photo\"\npress \"Brightness and colour\" in \"Edit photo\"\n"
                        "press \"Next photo\" in \"Edit photo\"\n"
                        "slide \"Brightness\" 160\npress ok in \"Brightness and colour\"\n"
                        "press ok in \"Edit photo\"\n"),
              0);
    const auto photos = storedPhotos();
    EXPECT_EQ(photos[0].fields.brightness, 160);
    EXPECT_EQ(photos[1].fields.brightness, 100);
    EXPECT_TRUE(photos[1].hasClip);
    expectNothingLive();
}

TEST_F(PhotoEditingTest, EditorCropAndPreviewClickOpenTheEditor)
{
    ASSERT_EQ(runScript("select grid 2\npress click-area:0\npress \"Crop\" in \"Edit photo\"\ncrop 0 0 80 60\n"
                        "press ok in \"Edit photo\"\n"),
              0);
    EXPECT_EQ(cropOf(storedPhotos()[2].fields), (Crop{0, 0, 80, 60}));
    expectNothingLive();
}

TEST_F(PhotoEditingTest, PhotoDeletedForGoodWhileEditedLeavesTheEditorsEmptyHanded)
{
    ASSERT_EQ(runScript("select grid 1\npress \"Edit photo\"\npress \"Brightness and colour\" in \"Edit photo\"\n"
                        "drag grid 1 onto \"Move to the trash\" in main\n"
                        "press \"Mirror\" in \"Edit photo\"\npress \"Next photo\" in \"Edit photo\"\n"
                        "press ok in \"Brightness and colour\"\npress ok in \"Edit photo\"\n"),
              0);
    const auto photos = storedPhotos();
    ASSERT_EQ(photos.size(), 2u);
    EXPECT_EQ(photos[0].fields.mirrored, 0);
    EXPECT_EQ(photos[1].fields.mirrored, 0);
    EXPECT_EQ(photos[1].fields.brightness, 100);
    expectNothingLive();
}

TEST_F(PhotoEditingTest, PhotoTrashedWithTheButtonWhileEditedIsLeftAloneWhenRestored)
{
    ASSERT_EQ(runScript("select grid 1\npress \"Edit photo\"\npress \"Brightness and colour\" in \"Edit photo\"\n"
                        "press \"Move to the trash\" in main\n"
                        "press \"Mirror\" in \"Edit photo\"\npress \"Next photo\" in \"Edit photo\"\n"
                        "press ok in \"Brightness and colour\"\npress ok in \"Edit photo\"\n"
                        "press \"Restore the last photo from the trash\" in main\n"),
              0);
    const auto photos = storedPhotos();
    ASSERT_EQ(photos.size(), 3u) << "restored from the trash";
    for (const StoredPhoto& photo : photos) {
        EXPECT_EQ(photo.fields.mirrored, 0) << photo.name;
        EXPECT_EQ(photo.fields.brightness, 100) << photo.name;
        EXPECT_TRUE(photo.hasClip) << photo.name;
    }
    expectNothingLive();
}

TEST_F(PhotoEditingTest, EditorAndTonalRequesterThatCannotOpenLogTheirNumbers)
{
    hxhost::failService("ureqCreateRequest", 2); // the main window is the first
    ASSERT_EQ(runScript("select grid 0\npress \"Edit photo\"\n"), 0);
    hxhost::failService("ureqCreateRequest", 2);
    ASSERT_EQ(runScript("select grid 0\npress \"Brightness and colour\"\n"), 0);
    std::vector<int> lines;
    for (const hxhost::LogEntry& entry : entries(4, "src\\gui"))
        lines.push_back(entry.line);
    EXPECT_EQ(lines, (std::vector<int>{1679, 1517}));
    EXPECT_EQ(hxhost::callCount("ugDisableRefresh"), hxhost::callCount("ugEnableRefresh"));
    expectNothingLive();
}

} // namespace
