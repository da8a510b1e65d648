// Thumbnails under their meter, the grid's cell painter and the main preview.
#include "session_fixture.h"

#include "gui/main_window.h"
#include "gui/previews.h"

namespace {

class PreviewsTest : public PluginTest {
protected:
    // A session with its main window and the photo p0 (64x48) in the scene bin.
    void SetUp() override
    {
        PluginTest::SetUp();
        addPhotos(1);
        ASSERT_EQ(startToolSession(), 0);
        ASSERT_EQ(buildMainWindow(), 0);
    }
    void TearDown() override
    {
        endToolSession();
        expectNothingLive();
        PluginTest::TearDown();
    }

    static PhotoEntry* photoOfP0(uint32_t id)
    {
        PhotoEntry* entry = newEntry(id);
        nslDeleteAVRecord(entry->source);
        entry->source = nslCopyAVRecord(hxhost::sceneBinItems()[0].record, 0);
        entry->cropWidth = 64;
        entry->cropHeight = 48;
        ListAppend(&session.photoList, entry);
        return entry;
    }

    static void appendGridItem(uint32_t id)
    {
        UgItem item{};
        item.user = id;
        ugChangeElement(mainWindow(), mainGadgets.photoGrid, UG_GRID_APPEND, reinterpret_cast<intptr_t>(&item), 1);
    }

    // How many screen pixels show GUI colour 19.
    static size_t pixelsOfColour19()
    {
        const uint32_t rgb = ugYUV2ARGBExt(ugGetNewGuiColorYUV(19), 0) & 0xFFFFFF;
        const hxhost::Picture screen = hxhost::screenPicture();
        return static_cast<size_t>(std::count(screen.pixels.begin(), screen.pixels.end(), rgb));
    }
};

TEST_F(PreviewsTest, MeterStepsThroughTheMissingThumbnailsOnly)
{
    for (uint32_t id = 1; id <= 10; ++id) {
        PhotoEntry* photo = photoOfP0(id);
        if (id % 3 != 0)
            photo->thumbnail = opAllocImage(8, 6, OP_FORMAT_YUVA, 0);
    }
    hxhost::failService("ureqOpenMeter");
    buildMissingThumbnails();
    EXPECT_EQ(hxhost::callCount("nslGetStillset"), 0u) << "no meter, nothing built";

    buildMissingThumbnails();
    const auto meters = hxhost::metersSeen();
    ASSERT_EQ(meters.size(), 1u);
    EXPECT_EQ(meters[0].steps, 3u);
    EXPECT_EQ(meters[0].updates, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_TRUE(meters[0].closed);
    for (auto* photo = static_cast<PhotoEntry*>(ListFirst(&session.photoList)); photo;
         photo = static_cast<PhotoEntry*>(ListNext(photo))) {
        ASSERT_NE(photo->thumbnail, nullptr);
        if (photo->id % 3 == 0) {
            EXPECT_EQ(photo->thumbnail->width, thumbWidth);
            EXPECT_LE(photo->thumbnail->height, thumbHeight);
        }
    }
    buildMissingThumbnails();
    EXPECT_EQ(hxhost::metersSeen().size(), 1u) << "nothing missing, no meter";
}

TEST_F(PreviewsTest, CellsWithoutAPictureShowColour19)
{
    const size_t before = pixelsOfColour19();
    const size_t cell = static_cast<size_t>(thumbWidth) * thumbHeight;
    appendGridItem(999); // no photo has this id
    EXPECT_EQ(pixelsOfColour19() - before, cell);
    PhotoEntry* photo = photoOfP0(5);
    appendGridItem(5); // a photo whose thumbnail is not made yet
    EXPECT_EQ(pixelsOfColour19() - before, 2 * cell);
    buildThumbnail(photo);
    ugChangeElement(mainWindow(), mainGadgets.photoGrid, UG_GRID_REDRAW, 0, 1);
    EXPECT_EQ(pixelsOfColour19() - before, cell);
}

TEST_F(PreviewsTest, MainPreviewPutsABadCropRightAndClearsWithoutAPhoto)
{
    PhotoEntry* photo = photoOfP0(7);
    photo->cropX = 5000;
    photo->cropY = 10;
    photo->cropWidth = 200;
    photo->cropHeight = 200;
    drawMainPreview(photo);
    EXPECT_EQ(photo->cropX, 0);
    EXPECT_EQ(photo->cropY, 10);
    EXPECT_EQ(photo->cropWidth, 64);
    EXPECT_EQ(photo->cropHeight, 38);

    const int32_t cx = previewRect.x + previewRect.width / 2, cy = previewRect.y + previewRect.height / 2;
    const uint32_t cleared = hxhost::screenPicture().at(previewRect.x - 4, previewRect.y - 4);
    EXPECT_NE(hxhost::screenPicture().at(cx, cy), cleared);
    drawMainPreview(nullptr);
    EXPECT_EQ(hxhost::screenPicture().at(cx, cy), cleared);
}

TEST_F(PreviewsTest, LeftOutThumbnailIsTheNormalOneDimmed)
{
    PhotoEntry* photo = photoOfP0(9);
    buildThumbnail(photo);
    const OpImage* normal = photo->thumbnail;
    buildThumbnail(photo);
    EXPECT_EQ(photo->thumbnail, normal) << "a thumbnail is made once";
    const size_t middle = static_cast<size_t>(normal->width) * (normal->height / 2) + 8;
    const uint32_t centre = reinterpret_cast<const uint32_t*>(normal->planes[0])[middle];

    opFreeImage(photo->thumbnail);
    photo->thumbnail = nullptr;
    photo->included = 0;
    buildThumbnail(photo);
    const uint32_t dimmed = reinterpret_cast<const uint32_t*>(photo->thumbnail->planes[0])[middle];
    // Saturation 30: both chroma values move towards the middle.
    for (int shift : {8, 16}) {
        const int before = static_cast<int>((centre >> shift) & 0xFF) - 128, after = static_cast<int>((dimmed >> shift) & 0xFF) - 128;
        EXPECT_LT(std::abs(after), std::abs(before)) << shift;
    }
}

} // namespace
