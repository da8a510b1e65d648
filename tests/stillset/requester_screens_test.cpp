// The requesters as a person sees them over the main window, at two screen sizes: screenshots taken
// while they stand, checked by pixels where the value is known. Set STILLSET_SHOTS_DIR to keep the PNGs.
#include "session_fixture.h"

#include "gui/main_window.h"
#include "gui/previews.h"

#include <cstdlib>
#include <filesystem>

namespace {

// What the screen showed when the script took a screenshot or the crop requester was answered.
struct Shot {
    std::vector<hxhost::WindowView> windows;
    hxhost::Picture screen;
    ScreenRect tonalPreview{}, editorPreview{}, mainPreview{};
};

class WatchingUser : public hxhost::ScriptedUser {
public:
    std::vector<Shot> shots;
    std::optional<hxhost::UserAction> nextAction() override
    {
        std::optional<hxhost::UserAction> action = ScriptedUser::nextAction();
        if (action && action->kind == hxhost::ActionKind::Screenshot)
            remember();
        return action;
    }
    hxhost::CropAnswer answerImageRequest(const hxhost::ImageRequestSeen& request) override
    {
        remember();
        return ScriptedUser::answerImageRequest(request);
    }

private:
    void remember() { shots.push_back({hxhost::windows(), hxhost::screenPicture(), tonalPreviewRect, editorPreviewRect, previewRect}); }
};

const hxhost::WindowView* titled(const Shot& shot, const std::u16string& title)
{
    for (const hxhost::WindowView& view : shot.windows)
        if (view.title == title)
            return &view;
    return nullptr;
}

uint32_t centreOf(const Shot& shot, const ScreenRect& area, int32_t originX, int32_t originY)
{
    return shot.screen.at(originX + area.x + area.width / 2, originY + area.y + area.height / 2);
}

int luma(uint32_t rgb)
{
    return (2 * static_cast<int>((rgb >> 16) & 0xFF) + 5 * static_cast<int>((rgb >> 8) & 0xFF) + static_cast<int>(rgb & 0xFF)) / 8;
}

bool near(uint32_t a, uint32_t b, int tolerance = 3)
{
    for (int shift = 0; shift <= 16; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

class RequesterScreensTest : public PluginTest, public ::testing::WithParamInterface<std::pair<int, int>> {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        ASSERT_TRUE(hxhost::setScreen(GetParam().first, GetParam().second));
        for (int i = 0; i < 4; ++i) {
            const std::string path = home() + "/plain" + std::to_string(i) + ".jpg";
            writeJpeg(path, 320, 240, {}, [i](int, int, uint8_t* rgb) {
                rgb[0] = static_cast<uint8_t>(150 - 20 * i);
                rgb[1] = 110;
                rgb[2] = static_cast<uint8_t>(70 + 30 * i);
            });
            std::string error;
            ASSERT_NE(hxhost::importStill(path, &error), 0u) << error;
        }
        ASSERT_EQ(runScript("answer yes\n"), 0);
        user_ = std::make_shared<WatchingUser>();
        hxhost::setUser(user_);
    }

    std::string shotPath(const std::string& name) const
    {
        return home() + "/" + name + "-" + std::to_string(GetParam().first) + ".png";
    }

    // Keeps the PNGs where a person can look at them.
    void keep(const std::vector<std::string>& names) const
    {
        const char* folder = std::getenv("STILLSET_SHOTS_DIR");
        if (!folder)
            return;
        std::filesystem::create_directories(folder);
        for (const std::string& name : names)
            std::filesystem::copy_file(shotPath(name), std::string(folder) + "/" + std::filesystem::path(shotPath(name)).filename().string(),
                                       std::filesystem::copy_options::overwrite_existing);
    }

    std::shared_ptr<WatchingUser> user_;
};

TEST_P(RequesterScreensTest, EditorTonalCropAndDefaultDurationStandOverTheMainWindow)
{
    const std::string script = "select grid 1\npress \"Edit photo\"\n"
                               "screenshot " + shotPath("editor") + "\n"
                               "press \"Brightness and colour\" in \"Edit photo\"\ndrag \"Brightness\" to 190\n"
                               "screenshot " + shotPath("tonal") + "\n"
                               "press ok in \"Brightness and colour\"\n"
                               "press \"Crop\" in \"Edit photo\"\ncrop 40 30 160 90 screenshot " + shotPath("crop") + "\n"
                               "press ok in \"Edit photo\"\n"
                               "press \"Default duration...\"\nscreenshot " + shotPath("default-duration") + "\n"
                               "press cancel in \"Default duration\"\n";
    std::string error;
    ASSERT_TRUE(hxhost::parseSessionScript(script, "screens", *user_, &error)) << error;
    ASSERT_EQ(runTool(), 0);
    EXPECT_EQ(user_->failures(), std::vector<std::string>{});
    ASSERT_EQ(user_->shots.size(), 4u);
    keep({"editor", "tonal", "crop", "default-duration"});

    const Shot& editorShot = user_->shots[0];
    const hxhost::WindowView* editor = titled(editorShot, u"Edit photo");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editorShot.windows.back().title, u"Edit photo") << "on top of the main window";
    const uint32_t photoColour = 0x826E64; // the second photo's pixels
    const uint32_t editorColour = centreOf(editorShot, editorShot.editorPreview, editor->contentX, editor->contentY);
    EXPECT_TRUE(near(editorColour, photoColour, 4)) << std::hex << editorColour;

    const Shot& tonalShot = user_->shots[1];
    const hxhost::WindowView* tonal = titled(tonalShot, u"Brightness and colour");
    ASSERT_NE(tonal, nullptr);
    const uint32_t brighter = centreOf(tonalShot, tonalShot.tonalPreview, tonal->contentX, tonal->contentY);
    EXPECT_GT(luma(brighter), luma(photoColour) + 20) << "the preview follows the dragged slider";

    // The crop requester frames the offered rectangle, the whole picture, in the accent colour.
    const Shot& cropShot = user_->shots[2];
    const hxhost::WindowView* crop = titled(cropShot, u"Crop");
    ASSERT_NE(crop, nullptr);
    int32_t x0 = INT32_MAX, y0 = INT32_MAX, x1 = -1, y1 = -1;
    for (int32_t y = crop->y; y < crop->y + crop->height; ++y)
        for (int32_t x = crop->x; x < crop->x + crop->width; ++x)
            if (cropShot.screen.at(x, y) == 0x58AAFA) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    ASSERT_GE(x1, 0) << "no rectangle drawn";
    const uint32_t inside = cropShot.screen.at((x0 + x1) / 2, (y0 + y1) / 2);
    EXPECT_GT(luma(inside), luma(cropShot.screen.at(crop->x + crop->width / 2, y0 + 1)) - 1);
    EXPECT_NEAR(static_cast<double>(x1 - x0 + 1) / (y1 - y0 + 1), 320.0 / 240.0, 0.03);

    const Shot& durationShot = user_->shots[3];
    const hxhost::WindowView* duration = titled(durationShot, u"Default duration");
    ASSERT_NE(duration, nullptr);
    EXPECT_EQ(durationShot.windows.back().title, u"Default duration");
    for (const char* name : {"editor", "tonal", "crop", "default-duration"})
        EXPECT_TRUE(fileExists(shotPath(name))) << name;

    const auto photos = storedPhotos();
    EXPECT_EQ(photos[1].fields.brightness, 190);
    EXPECT_EQ(photos[1].fields.cropWidth, 160);
    expectNothingLive();
}

INSTANTIATE_TEST_SUITE_P(Screens, RequesterScreensTest, ::testing::Values(std::make_pair(1920, 1080), std::make_pair(1280, 720)),
                         [](const auto& screen) { return std::to_string(screen.param.first) + "x" + std::to_string(screen.param.second); });

} // namespace
