// A folder's photos come into the bin from small decodes, which serve the tool's pictures of them at
// the photos' full size, in their own colours, without decoding them again.
#include "host/still_test_fixture.h"
#include "support/picture_files.h"

#include "hxhost/decode_counts.h"
#include "hxhost/heap_memory.h"
#include "hxhost/still_import.h"
#include "hxhost/user.h"
#include "hxhost/video_format.h"

#include <filesystem>

namespace {

class SmallCopiesTest : public StillTest {
protected:
    // A smooth picture, so that a small copy enlarged stays close to the whole decode.
    std::string gradientJpeg(const std::string& name, int width, int height, int orientation = 0)
    {
        writeJpeg(path(name), width, height, {3, false, orientation}, [=](int x, int y, uint8_t* rgb) {
            rgb[0] = static_cast<uint8_t>(255 * x / width);
            rgb[1] = static_cast<uint8_t>(255 * y / height);
            rgb[2] = 90;
        });
        return path(name);
    }
};

TEST_F(SmallCopiesTest, TheToolSeesTheWholePictureFromTheImportsSmallDecode)
{
    const std::vector<hxhost::ImportedStill> imported =
        hxhost::importStills({gradientJpeg("wide.jpg", 2400, 1200), gradientJpeg("turned.jpg", 1600, 1000, 6)}, 2);
    ASSERT_EQ(imported.size(), 2u);
    for (const hxhost::ImportedStill& still : imported)
        ASSERT_NE(still.record, 0u) << still.error;
    const auto decodes = hxhost::stillDecodes();
    ASSERT_EQ(decodes.size(), 2u);
    const hxhost::StillDecode wide = decodes.at(home() + "/projects/project0/media/wide.jpg").at(0);
    EXPECT_TRUE(wide.reduced);
    EXPECT_EQ(wide.width, 600) << "a quarter: an eighth would leave it under 480 pixels";
    EXPECT_EQ(wide.height, 300);

    struct Case {
        AVRecord record;
        int width, height;
    };
    std::vector<std::vector<Yuv>> enlarged;
    for (const Case& c : {Case{imported[0].record, 2400, 1200}, Case{imported[1].record, 1000, 1600}}) {
        OpImage* picture = nslGetStillset(c.record);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->width, c.width);
        EXPECT_EQ(picture->height, c.height);
        enlarged.push_back({yuvAt(picture, c.width / 4, c.height / 4), yuvAt(picture, 3 * c.width / 4, c.height / 2)});
        opFreeImage(picture);
    }
    EXPECT_EQ(hxhost::callCount("decodeStill"), 2u) << "the tool's pictures cost no decode";

    // The whole decodes, once the copies are dropped, show the same picture.
    hxhost::forgetDecodedStills();
    for (size_t i = 0; i < 2; ++i) {
        OpImage* whole = nslGetStillset(imported[i].record);
        ASSERT_NE(whole, nullptr);
        const Yuv expected[] = {yuvAt(whole, whole->width / 4, whole->height / 4),
                                yuvAt(whole, 3 * whole->width / 4, whole->height / 2)};
        for (size_t point = 0; point < 2; ++point)
            expectColour(enlarged[i][point], expected[point], 3);
        opFreeImage(whole);
    }
    EXPECT_EQ(hxhost::callCount("decodeStill"), 4u);
    EXPECT_EQ(hxhost::liveCounts().images, 0);
}

TEST_F(SmallCopiesTest, AnotherStandardsColoursComeFromAWholeDecode)
{
    writeJpeg(path("red.jpg"), 1200, 900, {3}, [](int, int, uint8_t* rgb) { rgb[0] = 255, rgb[1] = rgb[2] = 0; });
    const std::vector<hxhost::ImportedStill> imported = hxhost::importStills({path("red.jpg")}, 1);
    ASSERT_NE(imported.at(0).record, 0u) << imported[0].error;
    hxhost::setVideoFormat("1080p");
    OpImage* picture = nslGetStillset(imported[0].record);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 1200);
    expectColour(yuvAt(picture, 600, 450), kRed709, 3);
    opFreeImage(picture);
    const auto decodes = hxhost::stillDecodes().at(home() + "/projects/project0/media/red.jpg");
    ASSERT_EQ(decodes.size(), 2u);
    EXPECT_FALSE(decodes[1].reduced);
    EXPECT_EQ(decodes[1].width, 1200);
}

TEST_F(SmallCopiesTest, AMediaFileChangedSinceTheImportIsDecodedAgain)
{
    writeJpeg(path("red.jpg"), 1200, 900, {3}, [](int, int, uint8_t* rgb) { rgb[0] = 255, rgb[1] = rgb[2] = 0; });
    const std::vector<hxhost::ImportedStill> imported = hxhost::importStills({path("red.jpg")}, 1);
    ASSERT_NE(imported.at(0).record, 0u) << imported[0].error;
    // Black now, at another size: the copy of the red picture no longer stands for it.
    writeJpeg(home() + "/projects/project0/media/red.jpg", 1000, 800, {3}, [](int, int, uint8_t* rgb) { rgb[0] = rgb[1] = rgb[2] = 0; });
    OpImage* picture = nslGetStillset(imported[0].record);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 1000);
    expectColour(yuvAt(picture, 500, 400), kBlack, 2);
    opFreeImage(picture);
}

// Someone at the window rather than a script: the crop requester shows a photo at up to two thirds of
// the screen, more than a small copy holds.
class PersonAtTheWindow : public hxhost::User {
    uint32_t answerTextRequest(const hxhost::TextRequestSeen&) override { return 0; }
    bool continueMeter(const hxhost::MeterSeen&) override { return true; }
};

TEST_F(SmallCopiesTest, APersonAtTheWindowSeesTheWholePhoto)
{
    const std::vector<hxhost::ImportedStill> imported = hxhost::importStills({gradientJpeg("wide.jpg", 2400, 1200)}, 1);
    ASSERT_NE(imported.at(0).record, 0u) << imported[0].error;
    hxhost::setUser(std::make_shared<PersonAtTheWindow>());
    OpImage* picture = nslGetStillset(imported[0].record);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 2400);
    opFreeImage(picture);
    const auto decodes = hxhost::stillDecodes().at(home() + "/projects/project0/media/wide.jpg");
    ASSERT_EQ(decodes.size(), 2u);
    EXPECT_FALSE(decodes[1].reduced);
}

} // namespace

// What the host holds for a folder is a record a photo: the small copies wait in the project's file,
// and no decode's pixels outlive the import, however many photos came in.
TEST_F(SmallCopiesTest, AFoldersImportHoldsNoPicturesInMemory)
{
    auto importHolding = [&](const std::string& folder, int count) {
        std::filesystem::create_directories(path(folder));
        std::vector<std::string> files;
        for (int i = 0; i < count; ++i)
            files.push_back(gradientJpeg(folder + "/p" + std::to_string(i) + ".jpg", 1600 + 8 * i, 1200));
        const size_t before = hxhost::heapBytesInUse();
        for (const hxhost::ImportedStill& still : hxhost::importStills(files, 2))
            EXPECT_NE(still.record, 0u) << still.error;
        return hxhost::heapBytesInUse() - before;
    };
    const size_t few = importHolding("few", 2);
    const size_t many = importHolding("many", 10);
    // A 1600x1200 photo's small copy alone is 480 KB.
    EXPECT_LT(many, few + 8 * (size_t{64} << 10)) << few << " " << many;
}
