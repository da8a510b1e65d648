// A window with one gadget of every kind, built as the slideshow tool builds its windows, driven by a
// session script read from a file and saved as a PNG. Set HX_SHOWCASE_PNG to keep a copy of the picture.
#include "gui_test_support.h"

#include "host/hxres.h"
#include "hxhost/session_script.h"

#include <cstdlib>
#include <filesystem>

namespace {

// A 3-byte YUV GUI image of a diagonal gradient from `from` to `to` (RGB), as the tool makes previews.
UgImage* gradient(int32_t w, int32_t h, uint32_t from, uint32_t to)
{
    UgImage* image = ugAllocImage(UG_IMAGE_KIND_YUV24, w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint32_t rgb = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const int32_t a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
                rgb |= static_cast<uint32_t>(a + (b - a) * (x + y) / (w + h)) << shift;
            }
            const uint32_t yuv = ugRGB2YUV(0xFF000000u | rgb);
            uint8_t* p = image->pixels + (static_cast<size_t>(y) * w + x) * 3;
            p[0] = static_cast<uint8_t>(yuv >> 8);
            p[1] = static_cast<uint8_t>(yuv >> 16);
            p[2] = static_cast<uint8_t>(yuv >> 24);
        }
    return image;
}

// The grid's cell painter: a gradient picture per photo identifier, drawn into the cell.
void paintCell(const UgItem* item, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    static const uint32_t colours[][2] = {{0x1E3C72, 0x2A9D8F}, {0xE76F51, 0xF4A261}, {0x264653, 0xE9C46A},
                                          {0x6D597A, 0xE56B6F}, {0x355070, 0xB56576}, {0x0B6E4F, 0xC9E4CA}};
    const uint32_t* pair = colours[item->user % 6];
    UgImage* picture = gradient(x1 - x0 + 1, y1 - y0 + 1, pair[0], pair[1]);
    ugWriteImage(nullptr, picture, x0, y0);
    ugFreeImage(picture);
}

class GuiShowcaseTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        strings_ = resLoadStrings("stillset");
        images_ = resLoadImages("stillset");
        ASSERT_NE(strings_, nullptr);
        ASSERT_NE(images_, nullptr);
    }
    void TearDown() override
    {
        resFreeStrings(strings_);
        resFreeImages(images_);
        GuiTest::TearDown();
    }

    const hxchar* text(int32_t number) { return resGetString(strings_, number); }

    UgGadget imageButton(UgWindow* window, int32_t x, int32_t y, int32_t image, int32_t help, uint32_t key)
    {
        const UgGadget button = ugAddImageButton(window, x, y, ugConvertGadgetWidth(32), row(), resGetImage(images_, image), 0, 0);
        ugChangeElement(window, button, UG_SHORTCUT, key, 0);
        ugChangeElement(window, button, UG_HELP_CATALOGUE, reinterpret_cast<intptr_t>(strings_), 0);
        ugChangeElement(window, button, UG_HELP_STRING, help, 0);
        return button;
    }
    static int32_t row() { return ugGetFontHeight() + ugGetAddHeight() + 4; }

    ResStrings* strings_ = nullptr;
    ResImages* images_ = nullptr;
};

TEST_F(GuiShowcaseTest, EveryKindOfGadgetDrivenByAScriptFileAndSavedAsPng)
{
    const int32_t cw4 = ugConvertWidth(4), cw6 = ugConvertWidth(6), step = row() + cw4;
    ugDisableRefresh(ugGetDefaultMonitor());
    UgWindow* window = openMainWindow();
    const int32_t width = ugGetScreenWidth(), height = ugGetScreenHeight();
    const int32_t left = ugConvertWidth(20), top = ugConvertHeight(10), split = width * 2 / 3;
    ugDrawBoxNew(window, left, top, split - 1, height - top - 1, 4, 5, 0, 0);
    ugDrawBoxNew(window, split + left, top, width - left - 1, height - top - 1, 4, 5, 0, 0);

    // Left panel: preview with a click area over it, a toolbar of image buttons, the photo grid.
    const int32_t x0 = left + cw6 + 2, y0 = top + cw6 + 2;
    const int32_t pw = 480, ph = 270;
    ugDrawBoxNew(window, x0, y0, x0 + pw + 7, y0 + ph + 7, 11, 0, 0, 0);
    UgImage* preview = gradient(pw, ph, 0x203A43, 0xE9C46A);
    ugWriteImage(window, preview, x0 + 4, y0 + 4);
    ugFreeImage(preview);
    ugAddClickGadget(window, x0 + 4, y0 + 4, pw, ph, 0x10000, 0);
    const int32_t toolbar = x0 + pw + 8 + 4 * cw6, gw = ugConvertGadgetWidth(32) + ugConvertWidth(2);
    const uint32_t icons[][3] = {{27, 70, 0x40000065}, {28, 71, 0x80000072}, {23, 72, 0x4000006D}, {20, 73, 97},
                                {21, 74, 118},        {22, 75, 0x4000007A}, {26, 76, 0x80000079}, {25, 77, 0x4000006E},
                                {24, 78, 0x80000064}, {30, 80, 0x8000E007}, {31, 81, 0x4000E008}};
    for (int32_t i = 0; i < 11; ++i)
        imageButton(window, toolbar + (i % 4) * gw, y0 + (i / 4) * 2 * step, static_cast<int32_t>(icons[i][0]),
                    static_cast<int32_t>(icons[i][1]), icons[i][2]);

    UgGadExt* painter = ugAllocGadExt();
    painter->painter = paintCell;
    ListHead photos;
    ListInit(&photos);
    const int32_t gridTop = y0 + ph + 8 + 2 * cw6;
    const int32_t cellW = 160, cellH = 90, columns = 6, rows = 3;
    const UgGadget grid = ugAddGridview(window, x0, gridTop, ugConvertWidth(26) + columns * cellW + (columns + 1) * cw4,
                                        (rows - 1) * ugConvertHeight(4) + rows * cellH, cellW, cellH, &photos, 1,
                                        0x6410000, painter);
    ugFreeGadExt(painter);
    ugChangeElement(window, grid, UG_SHORTCUT, 'l', 0);
    for (uint32_t id = 0; id < 8; ++id) {
        UgItem photo = item(id);
        ugChangeElement(window, grid, UG_GRID_APPEND, reinterpret_cast<intptr_t>(&photo), 0);
    }
    ugChangeElement(window, grid, UG_GRID_SELECT, 0, 1);

    // Bottom of the left panel: trash with its drop area, restore with the host GUI's own image.
    const int32_t ybar = height - top - cw6 - 2 - row() - cw6;
    const UgGadget trash = imageButton(window, x0, ybar, 29, 79, 0xE002);
    const UgGadget trashArea = ugAddClickGadget(window, x0, ybar, ugConvertGadgetWidth(32), row(), 0x810000, 0);
    ResImage* restoreImage = resGetImage(ugGetGuiResource(669, 0, 0), 669);
    ASSERT_NE(restoreImage, nullptr);
    const UgGadget restore = ugAddImageButton(window, x0 + gw, ybar, ugConvertGadgetWidth(32), row(), restoreImage, 0, 0);
    ugChangeElement(window, restore, UG_HELP_CATALOGUE, reinterpret_cast<intptr_t>(strings_), 0);
    ugChangeElement(window, restore, UG_HELP_STRING, 82, 0);

    // Right panel: text buttons, a labelled popup, a slider, labelled check boxes and a list view.
    const int32_t rx = split + left + cw6 + 2, rw = width - left - rx - cw6 - 2;
    int32_t y = y0;
    for (int32_t number : {21, 22, 39}) {
        ugAddTextButton(window, rx, y, rw, row(), text(number), 0, 0);
        y += step;
    }
    ListHead entries;
    ListInit(&entries);
    std::vector<UgItem> durations(10);
    for (int32_t i = 0; i < 10; ++i) {
        durations[static_cast<size_t>(i)] = item(0, text(24 + i), UG_ITEM_POPUP);
        ListAppend(&entries, &durations[static_cast<size_t>(i)]);
    }
    const int32_t labelWidth = ugTextLength(text(23)) + 4 * cw4;
    ugAddPopup(window, rx + labelWidth, y, rw - labelWidth, row(), &entries, 4, text(23), 0, 0);
    while (ListCount(&entries))
        ListRemove(&entries, ListFirst(&entries));
    y += step;
    UgSliderExt sliderExt{};
    sliderExt.valueWidth = static_cast<uint16_t>(ugTextLength(u"100%") + 2 * cw4);
    const int32_t sliderLabel = ugTextLength(text(101)) + 4 * cw4;
    ugAddSlider(window, rx + sliderLabel, y, rw - sliderLabel, row(), 0, 200, 100, text(101), u"%ld%%", 0x130000, &sliderExt);
    y += step;
    UgGadExt* label = ugAllocGadExt();
    label->labelEnabled = 1;
    for (int32_t number : {34, 38}) {
        label->label = text(number);
        ugAddCheckBox(window, rx + rw - ugConvertGadgetWidth(32), y, ugConvertGadgetWidth(32), row(), number == 34, 0, label);
        y += step;
    }
    ugFreeGadExt(label);
    ListHead none;
    ListInit(&none);
    const int32_t rowHeight = ugGetFontHeight() + 2 * ugConvertHeight(4);
    const UgGadget list = ugAddListview(window, rx, y, rw, 7 * rowHeight + 4, &none, 0, 0, 0);
    for (const char16_t* name : {u"Crossfade", u"Wipe from the left", u"Push"}) {
        UgItem transition = item(0, name);
        ugChangeElement(window, list, UG_LIST_APPEND, reinterpret_cast<intptr_t>(&transition), 0);
    }
    UgItem separator = item(2, nullptr, UG_ITEM_SEPARATOR);
    ugChangeElement(window, list, UG_LIST_APPEND, reinterpret_cast<intptr_t>(&separator), 0);
    UgItem jingle = item(1, u"Summer song", UG_ITEM_IMAGE_ROW);
    jingle.image = resGetImage(images_, 34);
    ugChangeElement(window, list, UG_LIST_APPEND, reinterpret_cast<intptr_t>(&jingle), 0);
    ugChangeElement(window, list, UG_LIST_REDRAW, 0, 1);
    ugAddTextButton(window, rx, ybar, rw, row(), text(36), 0, 0);
    ugEnableRefresh(ugGetDefaultMonitor());

    const std::string picture = home() + "/showcase.png", script = home() + "/session.txt";
    writeFile(script, "# every kind of gadget, driven by a person\n"
                      "select grid 2\n"
                      "drag grid 5 to 1\n"
                      "drag grid 7 onto help:79\n"
                      "choose \"Duration\" 6\n"
                      "slide \"Brightness\" 135\n"
                      "check \"Effects...\" on\n"
                      "toggle \"Transitions...\"\n"
                      "select list 1\n"
                      "press \"Add photos...\"\n"
                      "press help:82\n"
                      "key 0x4000006D\n"
                      "screenshot " + picture + "\n");
    std::string error;
    ASSERT_TRUE(hxhost::loadSessionScript(script, *hxhost::scriptedUser(), &error)) << error;

    // The program's side: a loop that keeps the grid in step with drags, as the slideshow tool does.
    int32_t pressed = 0, dropped = 0;
    for (UgMessage message = receive(); message.messageClass != UG_MSG_CLOSE; message = receive()) {
        if (message.messageClass == UG_MSG_DRAG_OVER) {
            ugDropPossible(message.value == grid || message.value == trashArea, 0);
        } else if (message.messageClass == UG_MSG_DROP && message.value == grid) {
            const int32_t from = static_cast<int32_t>(message.code), to = static_cast<int32_t>(message.dropPosition);
            UgItem moved = item(users(grid)[static_cast<size_t>(from)]);
            ugChangeElement(window, grid, UG_GRID_SELECT, to - 1, 0);
            ugChangeElement(window, grid, UG_GRID_INSERT_AFTER_SELECTED, reinterpret_cast<intptr_t>(&moved), 0);
            ugChangeElement(window, grid, UG_GRID_DELETE, from > to ? from + 1 : from, 0);
            ugChangeElement(window, grid, UG_GRID_SELECT, to, 1);
            ++dropped;
        } else if (message.messageClass == UG_MSG_DROP && message.value == trashArea) {
            ugChangeElement(window, grid, UG_GRID_DELETE, info(window, grid, UG_GRID_SELECTED), 1);
            ++dropped;
        } else if (message.messageClass == UG_MSG_GADGET && message.code == UG_EVENT_PRESSED) {
            ++pressed;
        }
    }
    EXPECT_TRUE(hxhost::scriptedUser()->failures().empty()) << hxhost::scriptedUser()->failures().front();
    EXPECT_EQ(dropped, 2);
    EXPECT_EQ(pressed, 5) << "two check boxes, two buttons and the shortcut key";
    EXPECT_EQ(users(grid), (std::vector<uint32_t>{0, 5, 1, 2, 3, 4, 6}));
    EXPECT_NE(trash, 0u);

    ASSERT_TRUE(fileExists(picture));
    const std::string png = readFile(picture);
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    const auto bigEndian = [&](size_t at) {
        return static_cast<uint32_t>(static_cast<uint8_t>(png[at])) << 24 | static_cast<uint8_t>(png[at + 1]) << 16 |
               static_cast<uint8_t>(png[at + 2]) << 8 | static_cast<uint8_t>(png[at + 3]);
    };
    EXPECT_EQ(bigEndian(16), static_cast<uint32_t>(width));
    EXPECT_EQ(bigEndian(20), static_cast<uint32_t>(height));
    if (const char* keep = std::getenv("HX_SHOWCASE_PNG"))
        std::filesystem::copy_file(picture, keep, std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(hxhost::liveCounts().guiImages, 0);
    EXPECT_EQ(hxhost::liveCounts().gadgetExtensions, 0);
}

} // namespace
