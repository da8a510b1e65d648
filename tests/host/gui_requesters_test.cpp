// The modal requesters and pickers, answered by the user, and the panels of operator settings.
#include "gui_test_support.h"

#include "host/hxmain.h"
#include "host/hxopcommon.h"
#include "host/hxtx.h"

#include <cstdlib>
#include <filesystem>

namespace {

using GuiRequestersTest = GuiTest;

TEST_F(GuiRequestersTest, TheCropRequesterWritesTheUsersRectangleAndItsAnswer)
{
    OpImage* picture = opAllocImage(640, 480, OP_FORMAT_YUVA, 0);
    hxhost::ScriptedUser& user = *hxhost::scriptedUser();
    user.addCrop({true, false, 13, 7, 101, 51});
    user.addCrop({true, false, -4, 2, 3, 400}); // smaller than the requester allows
    user.addCrop({});
    UReqImageRequest request{10, 10, 999, 999, 20, 30, 200, 100, picture, 1067, 1000, 0};

    ASSERT_EQ(ureqImageRequest(&request), 0);
    EXPECT_EQ(request.answer, 1u);
    EXPECT_EQ(request.x, 13);
    EXPECT_EQ(request.width, 101);
    ASSERT_EQ(ureqImageRequest(&request), 0);
    EXPECT_EQ(static_cast<int16_t>(request.x), -4) << "the caller cuts the rectangle to the picture";
    EXPECT_EQ(request.width, 10) << "raised to the requester's minimum";
    ASSERT_EQ(ureqImageRequest(&request), 0);
    EXPECT_EQ(request.answer, 0u) << "cancelled";
    EXPECT_EQ(request.height, 400) << "a cancelled request keeps its rectangle";

    const auto seen = hxhost::imageRequestsSeen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].x, 20);
    EXPECT_EQ(seen[0].pictureWidth, 640);
    EXPECT_EQ(seen[0].pictureAspect, 1067);
    request.picture = nullptr;
    EXPECT_EQ(ureqImageRequest(&request), -1);
    opFreeImage(picture);
}

TEST_F(GuiRequestersTest, TheScenePickerFillsAVectorTheCallerFrees)
{
    const uint32_t beach = hxhost::addSceneBinItem(hxhost::ItemKind::Still, u"Beach", "media/beach.jpg");
    hxhost::addSceneBinItem(hxhost::ItemKind::Still, u"Lake", "media/lake.jpg");
    hxhost::addSceneBinItem(hxhost::ItemKind::Still, u"Hill", "media/hill.jpg");
    const auto items = hxhost::sceneBinItems();
    hxhost::ScriptedUser& user = *hxhost::scriptedUser();
    user.addScenes({false, {items[2].id, 999}, {u"Beach"}});
    user.addScenes({true, {}, {}});

    HxIdVector chosen{};
    ASSERT_EQ(mainSelectSceneRequesterMulti(0, &chosen, 1), 0);
    ASSERT_EQ(chosen.count, 2u);
    EXPECT_EQ(chosen.items[0], items[2].id) << "in the order picked";
    EXPECT_EQ(chosen.items[1], items[0].id);
    EXPECT_EQ(user.failures().size(), 1u) << "scene 999 is not in the bin";
    EXPECT_EQ(mainGetAVRecordFromId(items[0].id, 0, 1), beach);
    EXPECT_EQ(mainGetAVRecordFromId(items[0].id, 5, 1), 0u) << "another project";
    EXPECT_EQ(mainGetAVRecordFromId(12345, 0, 1), 0u);
    std::free(chosen.items);

    HxIdVector all{};
    ASSERT_EQ(mainSelectSceneRequesterMulti(0, &all, 1), 0);
    EXPECT_EQ(all.count, 3u);
    std::free(all.items);
    HxIdVector none{};
    ASSERT_EQ(mainSelectSceneRequesterMulti(0, &none, 1), 0);
    EXPECT_EQ(none.count, 0u) << "no answer left: cancelled";
    EXPECT_EQ(none.items, nullptr);
}

TEST_F(GuiRequestersTest, TheOperatorPickerOffersTheHostsTransitions)
{
    std::filesystem::create_directories(home() + "/transition");
    for (const char* name : {"crossfade", "push", "wipe left"})
        writeFile(home() + "/transition/" + name, "operator\n");
    struct Picker : hxhost::ScriptedUser {
        std::vector<std::string> offered;
        std::string lastPath;
        std::vector<std::string> pickOperators(const std::vector<std::string>& o, const std::string& last) override
        {
            offered = o;
            lastPath = last;
            return {"wipe left", "crossfade"};
        }
    };
    auto picker = std::make_shared<Picker>();
    hxhost::setUser(picker);
    HxStringVector names{};
    ASSERT_EQ(mainSelectOperatorRequesterMulti(&names, 0, "push", 0), 0);
    // The installed catalogue's files and the three written here, by name.
    EXPECT_EQ(picker->offered, (std::vector<std::string>{"clock", "crossfade", "dissolve", "fade", "iris", "push",
                                                         "wipe", "wipe left"}));
    EXPECT_EQ(picker->lastPath, "push");
    ASSERT_EQ(names.count, 2u);
    EXPECT_STREQ(names.items[0], "wipe left");
    EXPECT_STREQ(names.items[1], "crossfade");
    for (uint32_t i = 0; i < names.count; ++i)
        std::free(names.items[i]);
    std::free(names.items);
}

TEST_F(GuiRequestersTest, TheFileRequesterHandsOverNameDisplayNameAndOrientation)
{
    const std::string song = home() + "/Summer song.mp3";
    writeFile(song, "ID3");
    hxhost::ScriptedUser& user = *hxhost::scriptedUser();
    user.addFile(hxhost::FileAnswer{song, u"", 2});
    user.addFile(hxhost::FileAnswer{home() + "/missing.mp3", u"", 0});
    user.addFile(std::nullopt);

    TxRequest* request = txAllocRequest(1);
    ASSERT_NE(request, nullptr);
    ASSERT_EQ(txRequest(request, 0), 0);
    EXPECT_EQ(txGetStatus(request), 1);
    char path[1000];
    hxchar name[1000];
    ASSERT_EQ(txGetFileName(request, path, 999), 0);
    EXPECT_EQ(std::string(path), song);
    ASSERT_EQ(txGetImageName(request, name, 999), 0);
    EXPECT_EQ(std::u16string(name), u"Summer song");
    EXPECT_EQ(txGetOrientation(request), 2);
    char tiny[4];
    EXPECT_NE(txGetFileName(request, tiny, 3), 0) << "a name that does not fit is refused, not cut";

    ASSERT_EQ(txRequest(request, 0), 0);
    EXPECT_EQ(txGetStatus(request), 0) << "a file that does not exist cannot be chosen";
    EXPECT_EQ(user.failures().size(), 1u);
    ASSERT_EQ(txRequest(request, 0), 0);
    EXPECT_EQ(txGetStatus(request), 0);
    EXPECT_NE(txGetFileName(request, path, 999), 0);
    txFreeRequest(request);
    EXPECT_EQ(hxhost::liveCounts().fileRequests, 0);
}

TEST_F(GuiRequestersTest, OperatorPanelsShowOneSliderPerSettingAndReportChanges)
{
    struct Settings {
        int32_t width = 20, softness = 5;
    } settings;
    auto* op = reinterpret_cast<HxOperator*>(&settings);
    hxhost::setOperatorSettingsSource(
        {[](HxOperator* o) {
             auto* s = reinterpret_cast<Settings*>(o);
             return std::vector<hxhost::OperatorSetting>{{u"Width", 0, 100, s->width, u"%ld%%"}, {u"Softness", 0, 10, s->softness, u"%ld"}};
         },
         [](HxOperator* o, size_t index, int32_t value) {
             auto* s = reinterpret_cast<Settings*>(o);
             (index == 0 ? s->width : s->softness) = value;
             return true;
         }});
    UReqRequest request;
    UgWindow* window = openWindow(request, UREQ_REQUESTER, 500, 200, u"Settings");
    OpGuiState* state = nullptr;
    ASSERT_EQ(mainBuildOpGui(window, 10, 10, 480, 180, op, &state), 0);
    EXPECT_EQ(hxhost::liveCounts().operatorPanels, 1);
    std::vector<hxhost::GadgetView> sliders;
    const hxhost::WindowView shown = hxhost::windows().back();
    for (const hxhost::GadgetView& g : shown.gadgets)
        if (g.kind == hxhost::GadgetKind::Slider)
            sliders.push_back(g);
    ASSERT_EQ(sliders.size(), 2u);
    EXPECT_EQ(sliders[1].text, u"Softness");
    EXPECT_EQ(sliders[0].value, 20);

    hxhost::scriptedUser()->addAction(act(hxhost::ActionKind::Slide, sliders[1].id, 8));
    hxhost::scriptedUser()->addAction(act(hxhost::ActionKind::Press, request.okGadget));
    int32_t r1 = -1, r2 = -1;
    UgMessage message = receive();
    EXPECT_EQ(mainDoOpGui(&message, state, op, window, 0, 1, 0, &r1, &r2), 0) << "the setting changed";
    EXPECT_EQ(settings.softness, 8);
    message = receive();
    EXPECT_NE(mainDoOpGui(&message, state, op, window, 0, 1, 0, &r1, &r2), 0) << "OK is not the panel's";
    mainRemoveOpGui(window, state);
    EXPECT_EQ(hxhost::liveCounts().operatorPanels, 0);
    EXPECT_FALSE(hxhost::gadget(sliders[0].id)) << "the panel's gadgets went with it";
    EXPECT_TRUE(hxhost::gadget(request.okGadget));
}

} // namespace
