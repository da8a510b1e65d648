// Photos coming in from the scene bin: all at once at the start, or chosen in the scene picker.
#include "session_fixture.h"

#include "stillset/photo_import.h"

#include <filesystem>

namespace {

using PhotoImportTest = PluginTest;
using Names = std::vector<std::string>;

TEST_F(PhotoImportTest, WholeBinTakesThePhotosAndTheMeterCountsEveryScene)
{
    addPhotos(1);
    std::string error;
    ASSERT_NE(hxhost::addTestClip(16, 16, 2, hxhost::TestPattern::ColourBars, -1, &error), 0u) << error;
    addPhotos(1, 1);
    ASSERT_EQ(runScript("answer yes\n"), 0);

    const auto photos = storedPhotos();
    ASSERT_EQ(photos.size(), 2u) << "a clip without a reference frame is no photo";
    EXPECT_EQ(photos[0].name, "p0");
    EXPECT_EQ(photos[1].name, "p1");
    EXPECT_EQ(photos[0].fields.cropWidth, 64);
    EXPECT_EQ(photos[0].fields.cropHeight, 48);
    EXPECT_EQ(photos[0].fields.included, 1);
    EXPECT_EQ(photos[0].fields.brightness, 100);
    const auto meters = hxhost::metersSeen();
    ASSERT_GE(meters.size(), 1u);
    EXPECT_EQ(meters[0].steps, 3u);
    EXPECT_EQ(meters[0].updates, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_TRUE(meters[0].closed);
    expectNothingLive();
}

// Photos too large for the host to keep decoded all at once: the whole-bin import decodes each one
// once, its thumbnail made from that decode, and no thumbnail is left to make afterwards. The preview
// of the first photo, drawn once the import is done, decodes that one again.
TEST_F(PhotoImportTest, WholeBinImportDecodesEachPhotoOnce)
{
    constexpr int kPhotos = 4;
    for (int i = 0; i < kPhotos; ++i) {
        const std::string path = home() + "/large" + std::to_string(i) + ".jpg";
        writeJpeg(path, 2400, 1800, {}, [i](int x, int y, uint8_t* rgb) {
            rgb[0] = static_cast<uint8_t>(60 * i);
            rgb[1] = static_cast<uint8_t>(x);
            rgb[2] = static_cast<uint8_t>(y);
        });
        std::string error;
        ASSERT_NE(hxhost::importStill(path, &error), 0u) << error;
    }
    hxhost::forgetDecodedStills();
    const uint32_t before = hxhost::callCount("decodeStill");
    ASSERT_EQ(runScript("answer yes\n"), 0);
    EXPECT_EQ(hxhost::callCount("decodeStill") - before, uint32_t(kPhotos + 1));
    ASSERT_EQ(hxhost::metersSeen().size(), 1u) << "the import's meter, and none for thumbnails";
    EXPECT_EQ(hxhost::metersSeen()[0].steps, uint32_t(kPhotos));
    expectNothingLive();
}

TEST_F(PhotoImportTest, DecliningLeavesTheListEmptyAndTheQuestionComesAgain)
{
    addPhotos(2);
    ASSERT_EQ(runScript("answer no\n"), 0);
    EXPECT_TRUE(storedNames().empty());
    ASSERT_EQ(runScript("answer yes\n"), 0);
    EXPECT_EQ(storedNames(), (Names{"p0", "p1"}));
    ASSERT_EQ(runScript(""), 0);
    EXPECT_EQ(hxhost::textRequestsSeen().size(), 2u) << "a list with photos asks nothing";
    expectNothingLive();
}

TEST_F(PhotoImportTest, UnreadablePhotoIsSkippedWithItsRecord)
{
    addPhotos(3);
    std::filesystem::remove(home() + "/projects/project0/media/p1.jpg");
    hxhost::forgetDecodedStills();
    ASSERT_EQ(runScript("answer yes\n"), 0);
    EXPECT_EQ(storedNames(), (Names{"p0", "p2"}));
    EXPECT_EQ(entries(4, "src\\stillset").size(), 2u) << "the fetch's entry and the import's";
    expectNothingLive();
}

TEST_F(PhotoImportTest, ChosenScenesGoInAfterTheSelectedPhotoInPickerOrder)
{
    addPhotos(6);
    ASSERT_EQ(runScript("answer yes\n"), 0);
    ASSERT_EQ(runScript("select grid 1\npick-scenes \"p5\" \"p3\" \"p4\"\npress \"Add photos...\"\n"), 0);
    Settings settings{};
    std::vector<std::string> names;
    for (const StoredPhoto& photo : storedPhotos(&settings))
        names.push_back(photo.name);
    EXPECT_EQ(names, (Names{"p0", "p1", "p5", "p3", "p4", "p2", "p3", "p4", "p5"}));
    EXPECT_EQ(settings.gridPosition, 4) << "the last one added stays selected";
    expectNothingLive();
}

TEST_F(PhotoImportTest, TheSameSceneTwiceMakesTwoIndependentEntries)
{
    addPhotos(2);
    ASSERT_EQ(runScript("pick-scenes \"p1\" \"p1\"\npress \"Add photos...\"\n"), 0);
    const auto photos = storedPhotos();
    ASSERT_EQ(photos.size(), 2u) << "declined at the start, then chosen into the empty list";
    EXPECT_EQ(photos[0].name, "p1");
    EXPECT_EQ(photos[1].name, "p1");
    EXPECT_NE(photos[0].fields.id, photos[1].fields.id);

    ASSERT_EQ(startToolSession(), 0);
    auto* first = static_cast<PhotoEntry*>(ListFirst(&session.photoList));
    auto* second = static_cast<PhotoEntry*>(ListNext(first));
    EXPECT_NE(first->source, second->source) << "each entry owns its copy of the record";
    endToolSession();
    expectNothingLive();
}

TEST_F(PhotoImportTest, NothingChosenAddsNothing)
{
    addPhotos(1);
    ASSERT_EQ(runScript("answer yes\npress \"Add photos...\"\n"), 0);
    EXPECT_EQ(storedNames(), (Names{"p0"}));
    expectNothingLive();
}

} // namespace
