// The modal requesters and pickers, answered by the user, and the panels of operator settings.
#include "gui_test_support.h"
#include "support/audio_files.h"

#include "host/hxmain.h"
#include "host/hxop.h"
#include "hxhost/transitions.h"
#include "host/hxopcommon.h"
#include "host/hxtx.h"

#include <cstdlib>
#include <filesystem>
#include <map>

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
    const std::string song = home() + "/Summer song.wav";
    ASSERT_EQ(writeTone(song, Tone{}), "");
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

TEST_F(GuiRequestersTest, TheSoundFileRequesterNamesSongsByTheirTitleAndRefusesOtherFiles)
{
    Tone tagged;
    tagged.container = "ogg";
    tagged.title = "Morning theme";
    const std::string song = home() + "/track01.ogg", notSound = home() + "/notes.mp3";
    ASSERT_EQ(writeTone(song, tagged), "");
    writeFile(notSound, "ID3 but nothing after it");
    hxhost::ScriptedUser& user = *hxhost::scriptedUser();
    user.addFile(hxhost::FileAnswer{song, u"", 0});
    user.addFile(hxhost::FileAnswer{notSound, u"", 0});

    TxRequest* request = txAllocRequest(TX_SOUND_FILES);
    ASSERT_EQ(txRequest(request, 0), 0);
    ASSERT_EQ(txGetStatus(request), 1);
    hxchar name[100];
    ASSERT_EQ(txGetImageName(request, name, 99), 0);
    EXPECT_EQ(std::u16string(name), u"Morning theme");
    ASSERT_EQ(txRequest(request, 0), 0);
    EXPECT_EQ(txGetStatus(request), 0) << "a file that holds no sound is not offered";
    ASSERT_EQ(user.failures().size(), 1u);
    txFreeRequest(request);
}

TEST_F(GuiRequestersTest, OperatorPanelsGiveEachSettingAGadgetOfItsKindAndWriteTheBlock)
{
    std::string error;
    ASSERT_TRUE(hxhost::installHome(home(), &error)) << error;
    HxOperator* op = mainLoadOperator("transition/clock", 0);
    ASSERT_NE(op, nullptr);
    const hxhost::TransitionType& clock = *hxhost::transitionOf(op);
    std::vector<uint8_t> block(opGetPrefsSize(op));
    ASSERT_EQ(opGetPrefs(op, block.data(), static_cast<uint32_t>(block.size())), 0);
    ASSERT_TRUE(hxhost::setSettingValue(*clock.setting("softness"), 35, block.data(), block.size()));
    ASSERT_EQ(opSetPrefs(op, block.data(), static_cast<uint32_t>(block.size())), 0);

    // Six settings in the room of five rows: a second column takes the sixth.
    UReqRequest request;
    UgWindow* window = openWindow(request, UREQ_REQUESTER, 500, 200, u"Settings");
    const int32_t rowStep = ugGetFontHeight() + ugGetAddHeight() + 4 + ugConvertWidth(4);
    OpGuiState* state = nullptr;
    ASSERT_EQ(mainBuildOpGui(window, 10, 10, 480, 5 * rowStep - ugConvertWidth(4), op, &state), 0);
    EXPECT_EQ(hxhost::liveCounts().operatorPanels, 1);
    std::map<std::u16string, hxhost::GadgetView> shown;
    const std::vector<hxhost::WindowView> open = hxhost::windows();
    for (const hxhost::GadgetView& g : open.back().gadgets)
        if (g.id != request.okGadget && g.id != request.cancelGadget)
            shown[g.text] = g;
    ASSERT_EQ(shown.size(), clock.settings.size());
    const hxhost::GadgetView &direction = shown[u"Direction"], &softness = shown[u"Softness"],
                             &smooth = shown[u"Smooth start and end"];
    EXPECT_EQ(direction.kind, hxhost::GadgetKind::Popup);
    ASSERT_EQ(direction.items.size(), 2u);
    EXPECT_EQ(direction.items[1].text, u"Anticlockwise");
    EXPECT_EQ(softness.kind, hxhost::GadgetKind::Slider);
    EXPECT_EQ(softness.value, 35) << "the operator's own block, not the defaults";
    EXPECT_EQ(smooth.kind, hxhost::GadgetKind::CheckBox);
    EXPECT_GT(smooth.x, direction.x) << "the sixth setting opens a second column";
    for (const auto& [label, g] : shown)
        EXPECT_LE(g.x + g.width, 10 + 480) << std::string(label.begin(), label.end()) << " stays inside the panel";

    hxhost::scriptedUser()->addAction(act(hxhost::ActionKind::Choose, direction.id, 1));
    hxhost::scriptedUser()->addAction(act(hxhost::ActionKind::Press, smooth.id));
    hxhost::scriptedUser()->addAction(act(hxhost::ActionKind::Choose, direction.id, 1));
    hxhost::scriptedUser()->addAction(act(hxhost::ActionKind::Press, request.okGadget));
    int32_t r1 = -1, r2 = -1;
    for (int changed = 0; changed < 2; ++changed) {
        UgMessage message = receive();
        EXPECT_EQ(mainDoOpGui(&message, state, op, window, 0, 1, 0, &r1, &r2), 0) << "the block changed";
    }
    UgMessage message = receive();
    EXPECT_NE(mainDoOpGui(&message, state, op, window, 0, 1, 0, &r1, &r2), 0) << "the same entry again changes nothing";
    message = receive();
    EXPECT_NE(mainDoOpGui(&message, state, op, window, 0, 1, 0, &r1, &r2), 0) << "OK is not the panel's";
    ASSERT_EQ(opGetPrefs(op, block.data(), static_cast<uint32_t>(block.size())), 0);
    EXPECT_EQ(hxhost::settingValue(*clock.setting("direction"), block.data(), block.size()), 1);
    EXPECT_EQ(hxhost::settingValue(*clock.setting("smooth"), block.data(), block.size()), 1);
    EXPECT_EQ(hxhost::settingValue(*clock.setting("softness"), block.data(), block.size()), 35);

    mainRemoveOpGui(window, state);
    EXPECT_EQ(hxhost::liveCounts().operatorPanels, 0);
    EXPECT_FALSE(hxhost::gadget(direction.id)) << "the panel's gadgets went with it";
    EXPECT_TRUE(hxhost::gadget(request.okGadget));
    mainUnloadOperator(op);
}

TEST_F(GuiRequestersTest, APanelOfAnOperatorWithoutSettingsSaysSo)
{
    std::string error;
    ASSERT_TRUE(hxhost::installHome(home(), &error)) << error;
    HxOperator* pan = mainLoadOperator("longterm/stillsetpan.opw", 1);
    ASSERT_NE(pan, nullptr);
    UReqRequest request;
    UgWindow* window = openWindow(request, UREQ_REQUESTER, 500, 200, u"Settings");
    OpGuiState* state = nullptr;
    ASSERT_EQ(mainBuildOpGui(window, 10, 10, 480, 150, pan, &state), 0);
    EXPECT_EQ(hxhost::windows().back().gadgets.size(), 2u) << "OK and Cancel only";
    mainRemoveOpGui(window, state);
    mainUnloadOperator(pan);
}

} // namespace
