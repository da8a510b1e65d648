// The main window's layout on the host's screens, its gadgets, and whether photos may be dragged.
#include "session_fixture.h"

#include "gui/main_window.h"
#include "gui/main_window_layout.h"

#include "host/hxres.h"

#include <cerrno>

namespace {

using MainWindowTest = PluginTest;

struct LayoutCase {
    int32_t screenWidth, screenHeight, thumbSize;
    int16_t thumbWidth, thumbHeight;
    int32_t columns, rows;
    int32_t gridX, gridY, gridWidth, gridHeight;
    int32_t rightPanelX, rightPanelWidth;
    ScreenRect preview;
    ScreenPoint statusIcon;
};

// Worked out by hand from the layout rules for a PAL frame (720x576, pixel aspect 1.067):
// 1920x1080 has CW(4) 6, CW(6) 9, CW(20) 30, CW(26) 39, CH(10) 15, GW(32) 48, a font 23 high and
// rows 39 apart; 1280x720 has every unit at its own value, a font 15 high and rows 27 apart.
const LayoutCase kLayouts[] = {
    // W 1860, right panel 620 at first, inner 1188 x 958, grid at most 724 high.
    {1920, 1080, 3, 92, 69, 11, 9, 41, 260, 1123, 669, 1216, 685, {349, 30, 293, 220}, {1854, 896}},
    {1920, 1080, 5, 182, 136, 6, 5, 41, 260, 1173, 704, 1266, 635, {375, 30, 293, 220}, {1854, 931}},
    // W 1240: W/3 = 413 is odd, so the right panel starts at 414; inner 790 x 635, grid at most 473.
    {1280, 720, 3, 92, 69, 7, 6, 28, 180, 702, 434, 766, 502, {206, 22, 200, 150}, {1235, 591}},
    {1280, 720, 5, 182, 136, 4, 3, 28, 180, 774, 416, 838, 430, {242, 22, 200, 150}, {1235, 573}},
};

TEST_F(MainWindowTest, LayoutOnTwoScreensWithTwoThumbnailSizes)
{
    for (const LayoutCase& c : kLayouts) {
        SCOPED_TRACE(std::to_string(c.screenWidth) + " thumbSize " + std::to_string(c.thumbSize));
        ASSERT_TRUE(hxhost::setScreen(c.screenWidth, c.screenHeight));
        ASSERT_EQ(startToolSession(), 0);
        session.settings.thumbSize = c.thumbSize;
        ASSERT_EQ(buildMainWindow(), 0);
        EXPECT_EQ(thumbWidth, c.thumbWidth);
        EXPECT_EQ(thumbHeight, c.thumbHeight);
        const auto grid = hxhost::gadget(mainGadgets.photoGrid);
        ASSERT_TRUE(grid);
        EXPECT_EQ(grid->x, c.gridX);
        EXPECT_EQ(grid->y, c.gridY);
        EXPECT_EQ(grid->width, c.gridWidth);
        EXPECT_EQ(grid->height, c.gridHeight);
        const int32_t gap = ugConvertWidth(4);
        EXPECT_EQ(grid->width, ugConvertWidth(26) + c.columns * c.thumbWidth + (c.columns + 1) * gap);
        EXPECT_EQ(grid->height, (c.rows - 1) * ugConvertHeight(4) + c.rows * c.thumbHeight);
        const auto addPhotos = hxhost::gadget(mainGadgets.addPhotosButton);
        EXPECT_EQ(addPhotos->x, c.rightPanelX);
        EXPECT_EQ(addPhotos->width, c.rightPanelWidth - 2 * ugConvertWidth(6) - 4);
        EXPECT_EQ(previewRect.x, c.preview.x);
        EXPECT_EQ(previewRect.y, c.preview.y);
        EXPECT_EQ(previewRect.width, c.preview.width);
        EXPECT_EQ(previewRect.height, c.preview.height);
        EXPECT_EQ(statusIconPos.x, c.statusIcon.x);
        EXPECT_EQ(statusIconPos.y, c.statusIcon.y);
        // The click area lies over the preview; here the height beside the toolbar limits the fit.
        const auto click = hxhost::gadget(mainGadgets.previewClick);
        EXPECT_EQ(click->x, previewRect.x);
        EXPECT_EQ(click->width, previewRect.width);
        EXPECT_EQ(click->height, previewRect.height);
        endToolSession();
    }
    expectNothingLive();
}

TEST_F(MainWindowTest, ThumbnailSizesFollowTheSettingAndUnknownSizesTakeTheMiddleOne)
{
    const int16_t widths[] = {92, 42, 62, 92, 132, 182, 92};
    for (int32_t size = 0; size <= 6; ++size) {
        ASSERT_EQ(startToolSession(), 0);
        session.settings.thumbSize = size;
        ASSERT_EQ(buildMainWindow(), 0);
        EXPECT_EQ(thumbWidth, widths[size]) << size;
        endToolSession();
    }
}

TEST_F(MainWindowTest, GadgetsStartFromTheSettings)
{
    ASSERT_EQ(startToolSession(), 0);
    session.settings.defaultDurationCode = 7;
    session.settings.effectsEnabled = 1;
    ASSERT_EQ(buildMainWindow(), 0);
    EXPECT_EQ(hxhost::gadget(mainGadgets.durationPopup)->selected, 7) << "the default duration, not a photo's";
    EXPECT_EQ(hxhost::gadget(mainGadgets.transitionsCheckBox)->state, 0);
    EXPECT_EQ(hxhost::gadget(mainGadgets.effectsCheckBox)->state, 1);
    EXPECT_EQ(hxhost::gadget(mainGadgets.restoreButton)->helpString, 82) << "the host GUI's image with our help text";
    endToolSession();
    expectNothingLive();
}

// Lays a language list of the test's own in place of the host's for as long as it lives.
class LanguageList {
public:
    explicit LanguageList(bool withOption, uint8_t flags = 0)
    {
        ListInit(&languages_);
        ListInit(&options_);
        std::memset(&language_, 0, sizeof language_);
        std::memset(&other_, 0, sizeof other_);
        std::memset(&option_, 0, sizeof option_);
        other_.id = 17;
        other_.flags = 0xFF;
        ListAppend(&options_, &other_);
        if (withOption) {
            option_.id = kDragAndDropOption;
            option_.flags = flags;
            ListAppend(&options_, &option_);
        }
        language_.options = &options_;
        ListAppend(&languages_, &language_);
        saved_ = resLangListbegin;
        resLangListbegin = &languages_;
    }
    ~LanguageList() { resLangListbegin = saved_; }

private:
    ListHead languages_, options_;
    ResLanguage language_;
    ResLangOption other_, option_;
    ListHead* saved_;
};

TEST_F(MainWindowTest, LanguageOptionDecidesDragAndDrop)
{
    struct Case {
        const char* what;
        int32_t bit;
        int error;
        uint32_t gridFlags, dropFlags;
    };
    auto check = [](const Case& c) {
        SCOPED_TRACE(c.what);
        errno = 0;
        EXPECT_EQ(languageOptionBit(kDragAndDropOption), c.bit);
        EXPECT_EQ(errno, c.error);
        ASSERT_EQ(startToolSession(), 0);
        ASSERT_EQ(buildMainWindow(), 0);
        EXPECT_EQ(hxhost::gadget(mainGadgets.photoGrid)->flags, c.gridFlags);
        EXPECT_EQ(hxhost::gadget(mainGadgets.trashDropTarget)->flags, c.dropFlags);
        endToolSession();
    };
    {
        ListHead* saved = resLangListbegin;
        resLangListbegin = nullptr;
        check({"no list", 1, 0x14D000A, 0x410000, 0x10000});
        resLangListbegin = saved;
    }
    {
        LanguageList list(false);
        check({"no option", 1, 0x14D0001, 0x410000, 0x10000});
    }
    {
        LanguageList list(true, 0x04);
        check({"bit set", 1, 0, 0x410000, 0x10000});
    }
    {
        LanguageList list(true, 0xFB);
        check({"bit clear", 0, 0, 0x6410000, 0x810000});
    }
    expectNothingLive();
}

// No host screen is that wide and that low, but the layout must not hand the toolkit a grid of
// no rows: the window is not built and the session ends cleanly.
TEST_F(MainWindowTest, ScreenWithoutRoomForOneRowGetsNoWindow)
{
    ASSERT_TRUE(hxhost::setScreen(8192, 480));
    EXPECT_EQ(runTool(), -1);
    EXPECT_EQ(entries(4, "src\\gui").size(), 1u);
    EXPECT_EQ(entries(4, "src\\stillset").size(), 1u);
    EXPECT_EQ(hxhost::callCount("ugAddGridview"), 0u);
    EXPECT_TRUE(hxhost::windows().empty());
    EXPECT_TRUE(fileExists(settingsPath())) << "the shutdown still stores the settings";
    expectNothingLive();
}

// Thumbnails wider than the left panel leave no column: the grid is its frame and scroller alone,
// CW(26) + CW(4) wide, and the panels fit around it; only a grid of no rows is refused.
TEST_F(MainWindowTest, LayoutWithoutRoomForOneColumnKeepsAGridOfItsFrame)
{
    int16_t L = 0, T = 0, R = 0, B = 0;
    ugGetVisibleArea(&L, &T, &R, &B);
    const int16_t width = thumbWidth, height = thumbHeight;
    thumbWidth = 2000;
    thumbHeight = 69;
    MainLayout layout{};
    EXPECT_TRUE(computeMainLayout(L, T, R, B, rowMeasures(), layout));
    EXPECT_EQ(layout.cols, 0);
    EXPECT_GT(layout.rows, 0);
    EXPECT_EQ(layout.gridW, ugConvertWidth(26) + ugConvertWidth(4));
    EXPECT_EQ(layout.LW, layout.LW0 + layout.gridW - layout.innerW);
    EXPECT_EQ(layout.RW, layout.W - layout.LW - ugConvertWidth(20));

    thumbHeight = 2000;
    EXPECT_FALSE(computeMainLayout(L, T, R, B, rowMeasures(), layout));
    thumbWidth = width;
    thumbHeight = height;
}

TEST_F(MainWindowTest, FailuresToBuildLogAndLeaveNoWindow)
{
    for (const char* service : {"opAllocImage", "ureqCreateRequest"}) {
        hxhost::clearLog();
        ASSERT_EQ(startToolSession(), 0);
        hxhost::failService(service);
        EXPECT_EQ(buildMainWindow(), -1) << service;
        EXPECT_EQ(entries(4, "src\\gui").size(), 1u) << service;
        EXPECT_EQ(session.requestOpen[mainWindowRequest], 0) << service;
        endToolSession();
    }
    expectNothingLive();
}

} // namespace
