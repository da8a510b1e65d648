// The desktop window's input mapping: pointer positions through the window's scale and desktop keys
// as the toolkit's key codes.
#include "hxhost/window.h"

#include <SDL_keycode.h>

#include <gtest/gtest.h>

#include <set>

namespace {

using hxhost::ViewRect;

TEST(WindowScale, FitsTheScreenIntoTheWindowKeepingItsProportions)
{
    EXPECT_EQ(hxhost::fitPicture(1920, 1080, 1280, 720), (ViewRect{0, 0, 1280, 720}));
    // A taller window shows bars above and below, a wider one beside.
    EXPECT_EQ(hxhost::fitPicture(1920, 1080, 1280, 800), (ViewRect{0, 40, 1280, 720}));
    EXPECT_EQ(hxhost::fitPicture(1920, 1080, 1600, 720), (ViewRect{160, 0, 1280, 720}));
    // A desktop larger than the screen shows it pixel for pixel when asked not to enlarge.
    EXPECT_EQ(hxhost::fitPicture(1920, 1080, 2560, 1440, true), (ViewRect{320, 180, 1920, 1080}));
    EXPECT_EQ(hxhost::fitPicture(1920, 1080, 3840, 2160), (ViewRect{0, 0, 3840, 2160}));
    EXPECT_EQ(hxhost::fitPicture(1920, 1080, 0, 720), ViewRect{});
    EXPECT_EQ(hxhost::fitPicture(0, 1080, 1280, 720), ViewRect{});
}

TEST(WindowScale, PointerAt1280x720ReachesTheHostPixelsOf1920x1080)
{
    const ViewRect view = hxhost::fitPicture(1920, 1080, 1280, 720);
    int32_t x = -1, y = -1;
    ASSERT_TRUE(hxhost::areaToPicture(view, 1920, 1080, 0, 0, x, y));
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(0, 0));
    ASSERT_TRUE(hxhost::areaToPicture(view, 1920, 1080, 640, 360, x, y));
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(960, 540));
    ASSERT_TRUE(hxhost::areaToPicture(view, 1920, 1080, 1279, 719, x, y));
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(1918, 1078));
    EXPECT_FALSE(hxhost::areaToPicture(view, 1920, 1080, 1280, 0, x, y));
    EXPECT_FALSE(hxhost::areaToPicture(view, 1920, 1080, 0, 720, x, y));
    EXPECT_FALSE(hxhost::areaToPicture(view, 1920, 1080, -1, 10, x, y));

    // Host pixels back to the window: the last pixel lands on the last point, and every window point
    // taken to the host and back stays where it was.
    int32_t ax = -1, ay = -1;
    hxhost::pictureToArea(view, 1920, 1080, 1919, 1079, ax, ay);
    EXPECT_EQ(std::make_pair(ax, ay), std::make_pair(1279, 719));
    for (int32_t point = 0; point < 1280; ++point) {
        ASSERT_TRUE(hxhost::areaToPicture(view, 1920, 1080, point, point % 720, x, y));
        hxhost::pictureToArea(view, 1920, 1080, x, y, ax, ay);
        ASSERT_EQ(std::make_pair(ax, ay), std::make_pair(point, point % 720)) << point;
    }
}

TEST(WindowScale, BarsAroundTheScreenAreOutsideIt)
{
    const ViewRect view = hxhost::fitPicture(1920, 1080, 1280, 800); // bars of 40 above and below
    int32_t x = -1, y = -1;
    EXPECT_FALSE(hxhost::areaToPicture(view, 1920, 1080, 600, 39, x, y));
    ASSERT_TRUE(hxhost::areaToPicture(view, 1920, 1080, 600, 40, x, y));
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(900, 0));
    EXPECT_FALSE(hxhost::areaToPicture(view, 1920, 1080, 600, 760, x, y));
    int32_t ax = -1, ay = -1;
    hxhost::pictureToArea(view, 1920, 1080, 0, 1079, ax, ay);
    EXPECT_EQ(std::make_pair(ax, ay), std::make_pair(0, 759));
    // Enlarged on a high-density desktop, each host pixel covers two points and maps back to itself.
    const ViewRect doubled = hxhost::fitPicture(1920, 1080, 3840, 2160);
    hxhost::pictureToArea(doubled, 1920, 1080, 7, 9, ax, ay);
    ASSERT_TRUE(hxhost::areaToPicture(doubled, 1920, 1080, ax, ay, x, y));
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(7, 9));
}

TEST(WindowKeys, PrintableKeysAreTheirCharactersWithCtrlAndAltAsFlagBits)
{
    EXPECT_EQ(hxhost::toolkitKey(SDLK_p, KMOD_NONE), 112u);
    EXPECT_EQ(hxhost::toolkitKey(SDLK_1, KMOD_NONE), 49u);
    EXPECT_EQ(hxhost::toolkitKey(SDLK_KP_2, KMOD_NONE), 50u);
    EXPECT_EQ(hxhost::toolkitKey(SDLK_p, KMOD_LSHIFT), static_cast<uint32_t>('P'));
    EXPECT_EQ(hxhost::toolkitKey(SDLK_e, KMOD_LCTRL), 0x40000065u);
    EXPECT_EQ(hxhost::toolkitKey(SDLK_r, KMOD_RALT), 0x80000072u);
    EXPECT_EQ(hxhost::toolkitKey(SDLK_PAGEUP, KMOD_LALT), 0x8000E007u);
    EXPECT_EQ(hxhost::toolkitKey(SDLK_DELETE, KMOD_NONE), 0xE002u);
    EXPECT_EQ(hxhost::toolkitKey(SDLK_INSERT, KMOD_NONE), 0xE009u);
    EXPECT_EQ(hxhost::toolkitKey(SDLK_ESCAPE, KMOD_NONE), 0xE011u);
    EXPECT_EQ(hxhost::toolkitKey(SDLK_F1, KMOD_NONE), 0xE012u);
    EXPECT_EQ(hxhost::toolkitKey(SDLK_LSHIFT, KMOD_LSHIFT), 0u);
    EXPECT_EQ(hxhost::toolkitKey(SDLK_F5, KMOD_NONE), 0u);
}

// Every shortcut the tool's main window and photo editor set can be typed on a desktop keyboard.
TEST(WindowKeys, EveryShortcutOfTheToolCanBeTyped)
{
    std::set<uint32_t> typeable;
    const uint16_t modifiers[] = {KMOD_NONE, KMOD_LSHIFT, KMOD_LCTRL, KMOD_LALT, KMOD_LCTRL | KMOD_LALT};
    std::vector<int32_t> keys = {SDLK_BACKSPACE, SDLK_DELETE, SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT,
                                 SDLK_PAGEUP, SDLK_PAGEDOWN, SDLK_INSERT, SDLK_HOME, SDLK_END, SDLK_ESCAPE, SDLK_F1};
    for (int32_t c = ' '; c <= '~'; ++c)
        keys.push_back(c);
    for (int32_t key : keys)
        for (uint16_t modifier : modifiers)
            typeable.insert(hxhost::toolkitKey(key, modifier));
    const uint32_t shortcuts[] = {112, 115, 0xE012, 116, 99, 49, 105, 50, 102, 0x40000065, 0x80000072, 0x4000006D,
                                  97, 118, 0x4000007A, 0x80000079, 0x4000006E, 0x80000064, 108, 0xE002, 0xE009,
                                  0xE011, 0x8000E007, 0x4000E008, 111};
    for (uint32_t shortcut : shortcuts)
        EXPECT_TRUE(typeable.count(shortcut)) << std::hex << shortcut;
}

} // namespace
