#include "session_fixture.h"

#include "stillset/photo_list.h"

#include "host/hxtext.h"

#include "platform/crt.h"

namespace {

using PhotoListTest = PluginTest;

TEST(PhotoChanges, TurningOnScreenHonoursTheMirror)
{
    PhotoEntry photo{};
    photo.mirrored = 1;
    turnOnScreen(&photo, true);
    EXPECT_EQ(photo.rotation, 270);
    photo.mirrored = 0;
    turnOnScreen(&photo, true);
    EXPECT_EQ(photo.rotation, 0);
    turnOnScreen(&photo, false);
    EXPECT_EQ(photo.rotation, 270);
    photo.mirrored = 2; // only 1 means mirrored
    turnOnScreen(&photo, false);
    EXPECT_EQ(photo.rotation, 180);
    toggleMirror(&photo);
    EXPECT_EQ(photo.mirrored, 1);
    toggleMirror(&photo);
    EXPECT_EQ(photo.mirrored, 0);
}

TEST_F(PhotoListTest, IncludeAndDurationChangeOnlyWhenDifferent)
{
    PhotoEntry* photo = newEntry(1);
    EXPECT_FALSE(setIncluded(photo, 1));
    EXPECT_TRUE(setIncluded(photo, 0));
    photo->clip = nslCopyAVRecord(photo->source, 0);
    EXPECT_FALSE(setDuration(photo, photo->duration));
    EXPECT_NE(photo->clip, 0u) << "the same duration keeps the clip";
    EXPECT_TRUE(setDuration(photo, 50));
    EXPECT_EQ(photo->clip, 0u);
    EXPECT_EQ(photo->duration, 50);
    destroyPhoto(photo, projectDir().c_str());
    expectNothingLive();
}

TEST_F(PhotoListTest, SummaryCountsIncludedAndLeftOutPhotos)
{
    ASSERT_EQ(startToolSession(), 0);
    for (uint32_t id = 1; id <= 5; ++id) {
        PhotoEntry* photo = newEntry(id);
        photo->included = id == 2 || id == 4 ? 0 : 1;
        ListAppend(&session.photoList, photo);
    }
    showPhotoSummary();
    const auto shown = hxhost::textRequestsSeen();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, std::u16string(resGetString(session.stringCatalogue, 39)));
    EXPECT_EQ(shown[0].style, 1u);
    hxchar line[256];
    std::u16string expected;
    sxprintf(line, resGetString(session.stringCatalogue, 410), 1L, 1L);
    expected += std::u16string(line) + u"\n\n";
    for (auto [number, count] : {std::pair{420, 5L}, {430, 3L}, {440, 2L}}) {
        sxprintf(line, resGetString(session.stringCatalogue, number), count);
        expected += std::u16string(line) + u"\n";
    }
    EXPECT_EQ(shown[0].text, expected);
    endToolSession();
    expectNothingLive();
}

TEST(Random, FifteenBitGeneratorOfThePlatform)
{
    crt::srand(0);
    EXPECT_EQ(crt::rand(), 38);
    EXPECT_EQ(crt::rand(), 7719);
    crt::srand(1);
    const int first = crt::rand();
    crt::srand(1);
    EXPECT_EQ(crt::rand(), first);
    for (int i = 0; i < 1000; ++i) {
        const int r = crt::rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 0x7FFF);
    }
}

} // namespace
