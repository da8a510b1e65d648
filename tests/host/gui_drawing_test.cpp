// Measures that follow the screen, text widths from the font, colour words, and the framebuffer.
#include "gui_test_support.h"

#include "host/hxsupport.h"

namespace {

using GuiDrawingTest = GuiTest;

TEST_F(GuiDrawingTest, MeasuresFollowTheConfiguredScreen)
{
    struct Case {
        int32_t width, height, cw20, ch10, gw32, font;
    };
    for (const Case c : {Case{1920, 1080, 30, 15, 48, 23}, Case{1280, 720, 20, 10, 32, 15}}) {
        ASSERT_TRUE(hxhost::setScreen(c.width, c.height));
        EXPECT_EQ(ugGetScreenWidth(), c.width);
        EXPECT_EQ(ugConvertWidth(20), c.cw20);
        EXPECT_EQ(ugConvertHeight(10), c.ch10);
        EXPECT_EQ(ugConvertGadgetWidth(32), c.gw32);
        EXPECT_EQ(ugGetFontHeight(), c.font);
        EXPECT_EQ(ugGetFontHeightMonitor(ugGetDefaultMonitor()), c.font);
        int16_t left = -1, top = -1, right = 0, bottom = 0;
        ugGetVisibleArea(&left, &top, &right, &bottom);
        EXPECT_EQ(right - left + 1, c.width) << "right and bottom are inclusive";
        EXPECT_EQ(bottom - top + 1, c.height);
    }
    EXPECT_FALSE(hxhost::setScreen(100, 80));
    EXPECT_EQ(ugGetPixelAspect(4), 1000);
    EXPECT_EQ(ugGetPixelAspect(1), 1067) << "PAL's pixels";
    hxhost::setVideoFormat("1080i");
    EXPECT_EQ(ugGetPixelAspect(1), 1000);
    EXPECT_EQ(ugGetDefaultMonitor(), 1);
    hxhost::setDisplayModes(2, 1, 0);
    EXPECT_EQ(ugGetDefaultMonitor(), 2);
    EXPECT_EQ(ugGetVideoMode(), 1);
    EXPECT_EQ(ugGetDVIMode(), 0);
}

TEST_F(GuiDrawingTest, TextLengthComesFromTheFontsAdvancesAndKerning)
{
    EXPECT_EQ(ugTextLength(u""), 0);
    EXPECT_EQ(ugTextLength(nullptr), 0);
    const int32_t m = ugTextLength(u"m"), i = ugTextLength(u"i");
    EXPECT_GT(m, 2 * i) << "a proportional font";
    EXPECT_NEAR(ugTextLength(u"mmmmmmmmmm"), 10 * ugTextLength(u"m"), 2);
    EXPECT_LT(ugTextLength(u"AV"), ugTextLength(u"A") + ugTextLength(u"V")) << "kerning pulls A and V together";
    const int32_t large = ugTextLength(u"Create slideshow");
    hxhost::setScreen(1280, 720);
    EXPECT_LT(ugTextLength(u"Create slideshow"), large) << "the font follows the screen";
}

TEST_F(GuiDrawingTest, ColourWordsInBothStandards)
{
    // Y << 24 | V << 16 | U << 8 | key, limited range.
    EXPECT_EQ(ugRGB2YUV(0xFFFFFFFF), 0xEB8080FFu);
    EXPECT_EQ(ugRGB2YUV(0xFF000000), 0x108080FFu);
    EXPECT_EQ(ugRGB2YUV(0xFFFF0000), 0x51F05AFFu) << "BT.601 red";
    EXPECT_EQ(ugYUV2RGB(0x108080FF), 0x000000FFu) << "R, G, B from the top, key in the low byte";
    EXPECT_EQ(ugYUV2ARGBExt(0xEB808000, 0), 0xFFFFFFFFu) << "mode 0 is opaque";
    EXPECT_EQ(ugYUV2ARGBExt(0xEB808040, 1), 0x40FFFFFFu) << "other modes keep the key as alpha";
    hxhost::setVideoFormat("1080i");
    EXPECT_EQ(ugRGB2YUV(0xFFFF0000), 0x3FF066FFu) << "BT.709 red";
    for (uint32_t rgb : {0xFF123456u, 0xFFC08040u, 0xFF00FF00u}) {
        const uint32_t back = ugYUV2ARGBExt(ugRGB2YUV(rgb), 1);
        for (int shift = 0; shift <= 16; shift += 8)
            EXPECT_NEAR(static_cast<int>((back >> shift) & 0xFF), static_cast<int>((rgb >> shift) & 0xFF), 2);
    }
    EXPECT_NE(ugGetNewGuiColorYUV(19), ugGetNewGuiColorYUV(2));
    EXPECT_EQ(ugGetNewGuiColorYUV(500), ugGetNewGuiColorYUV(0)) << "unknown colours fall back to colour 0";
}

TEST_F(GuiDrawingTest, FillsAndImagesLandOnKnownPixelsOfTheScreen)
{
    UgWindow* window = openMainWindow();
    ugSetColorYUV(ugRGB2YUV(0xFF336699));
    ugRectFill(window, 10, 20, 19, 29);
    hxhost::Picture screen = hxhost::screenPicture();
    EXPECT_NEAR(static_cast<int>(screen.at(10, 20) & 0xFF), 0x99, 2);
    EXPECT_EQ(screen.at(15, 25), screen.at(19, 29));
    EXPECT_NE(screen.at(20, 30), screen.at(19, 29)) << "corners are inclusive";

    UgImage* rgb = ugAllocImage(UG_IMAGE_KIND_YUV24, 2, 1);
    rgb->format = UG_FORMAT_RGB24;
    const uint8_t bgr[] = {0x30, 0x20, 0x10, 0xFF, 0x00, 0x00};
    std::copy(bgr, bgr + 6, rgb->pixels);
    ugWriteImage(window, rgb, 100, 100);
    UgImage* argb = ugAllocImage(UG_IMAGE_KIND_32, 2, 1);
    argb->format = UG_FORMAT_ARGB;
    reinterpret_cast<uint32_t*>(argb->pixels)[0] = 0x00FFFFFF; // transparent
    reinterpret_cast<uint32_t*>(argb->pixels)[1] = 0xFF00FF00;
    ugWriteImage(window, argb, 100, 100);
    screen = hxhost::screenPicture();
    EXPECT_EQ(screen.at(100, 100), 0x102030u) << "a transparent pixel leaves what lies below";
    EXPECT_EQ(screen.at(101, 100), 0x00FF00u);
    ugFreeImage(rgb);
    ugFreeImage(argb);
    EXPECT_EQ(hxhost::liveCounts().guiImages, 0);

    // A record the program made itself, header and pixels from malloc, is drawn as well.
    uint32_t own[1] = {0xFF0000FFu};
    UgImage record{};
    record.width = record.height = 1;
    record.pixels = reinterpret_cast<uint8_t*>(own);
    record.format = UG_FORMAT_ARGB;
    ugWriteImage(window, &record, 102, 100);
    EXPECT_EQ(hxhost::screenPicture().at(102, 100), 0x0000FFu);

    ResImages* gui = ugGetGuiResource(669, 0, 0);
    const ResImage* restore = resGetImage(gui, 669);
    ASSERT_NE(restore, nullptr);
    const ResImage* half = ugGetScaledResImage2(gui, 669, 0, restore->height / 2, 2);
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(half->height, restore->height / 2);
    EXPECT_EQ(half->width, restore->width / 2) << "the proportions are kept";
    EXPECT_EQ(ugGetScaledResImage2(gui, 669, 0, restore->height / 2, 2), half) << "the catalogue keeps its copies";
    EXPECT_EQ(vxsSymFind(nullptr, "ugGetScaledResImage2"), reinterpret_cast<void*>(&ugGetScaledResImage2));
}

TEST_F(GuiDrawingTest, WhileRefreshIsOffTheScreenKeepsItsLastPicture)
{
    UgWindow* window = openMainWindow();
    const uint32_t before = hxhost::screenPicture().at(5, 5);
    ugDisableRefresh(1);
    ugDisableRefresh(1);
    ugSetColorYUV(0xEB8080FF);
    ugRectFill(window, 0, 0, 9, 9);
    ugEnableRefresh(1);
    EXPECT_EQ(hxhost::screenPicture().at(5, 5), before) << "refresh nests";
    ugEnableRefresh(1);
    EXPECT_EQ(hxhost::screenPicture().at(5, 5), 0xFFFFFFu);
    ugEnableRefresh(1); // one too many changes nothing
    ugRectFill(window, 0, 0, 9, 9);
    EXPECT_EQ(hxhost::screenPicture().at(5, 5), 0xFFFFFFu);
}

// The cell painter draws with a null window into the cell the grid gives it, and nowhere else.
void fillCell(const UgItem* item, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    ugSetColorYUV(item->user == 1 ? 0xEB8080FF : 0x108080FF);
    ugRectFill(nullptr, x0 - 50, y0 - 50, x1 + 50, y1 + 50);
}

TEST_F(GuiDrawingTest, TheGridPaintsEachCellThroughThePainterIntoThatCellOnly)
{
    UgWindow* window = openMainWindow();
    UgGadExt* extension = ugAllocGadExt();
    extension->painter = fillCell;
    ListHead items;
    ListInit(&items);
    UgItem white = item(1), black = item(2);
    ListAppend(&items, &white);
    ListAppend(&items, &black);
    const UgGadget grid = ugAddGridview(window, 100, 100, 600, 200, 100, 80, &items, 1, 0x410000, extension);
    ugFreeGadExt(extension);
    const hxhost::Picture screen = hxhost::screenPicture();
    const int32_t gap = ugConvertWidth(4);
    EXPECT_EQ(screen.at(100 + gap, 100), 0xFFFFFFu);
    EXPECT_EQ(screen.at(100 + gap + 99, 179), 0xFFFFFFu);
    EXPECT_EQ(screen.at(100 + 2 * gap + 100, 100), 0x000000u);
    EXPECT_NE(screen.at(100 + gap + 50, 181), 0xFFFFFFu) << "nothing below the cell";
    EXPECT_NE(screen.at(95, 95), 0xFFFFFFu) << "nothing outside the grid";
    ugSetColorYUV(0xEB8080FF);
    ugRectFill(nullptr, 0, 0, 50, 50); // outside painting there is no current target
    EXPECT_NE(hxhost::screenPicture().at(10, 10), 0xFFFFFFu);
    EXPECT_NE(grid, 0u);
}

TEST_F(GuiDrawingTest, WindowsAndTheirScreenshotsAreCountedAndFreed)
{
    openMainWindow();
    UReqRequest request;
    UgWindow* requester = openWindow(request, UREQ_REQUESTER, 300, 120, u"Default duration");
    EXPECT_EQ(hxhost::liveCounts().windows, 2);
    const hxhost::Picture picture = hxhost::windowPicture(requester);
    EXPECT_EQ(picture.width, hxhost::windows().back().width);
    const std::string path = home() + "/requester.png";
    std::string error;
    EXPECT_TRUE(hxhost::saveScreenshot(path, requester, &error)) << error;
    EXPECT_TRUE(fileExists(path));
    ureqDeleteRequest(&request);
    EXPECT_EQ(request.window, nullptr);
    EXPECT_EQ(hxhost::liveCounts().windows, 1);
    EXPECT_FALSE(hxhost::saveScreenshot(path, requester, &error)) << "a closed window has no picture";
    ureqDeleteRequest(&request); // twice is harmless
    hxhost::failService("ureqCreateRequest");
    UReqRequest failing{};
    failing.size = 100 | 100 << 16;
    EXPECT_NE(ureqCreateRequest(&failing), 0);
    EXPECT_EQ(failing.window, nullptr);
}

} // namespace
