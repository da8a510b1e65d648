// What a person sees of the requesters the user answers: the progress meter, the pickers and the
// file requester stand on the screen while the user is asked, and go when answered.
#include "gui_test_support.h"
#include "support/audio_files.h"

#include "host/hxmain.h"
#include "host/hxtx.h"

#include <filesystem>

namespace {

using DrawnRequestersTest = GuiTest;

// The scripted user that looks at the windows each time a picker or the file requester asks it.
class Looker : public hxhost::ScriptedUser {
public:
    std::vector<std::string> pickOperators(const std::vector<std::string>& offered, const std::string& last) override
    {
        seen.push_back(hxhost::windows());
        return ScriptedUser::pickOperators(offered, last);
    }
    std::optional<hxhost::FileAnswer> pickFile(int32_t kind) override
    {
        seen.push_back(hxhost::windows());
        return ScriptedUser::pickFile(kind);
    }
    std::vector<std::vector<hxhost::WindowView>> seen;
};

std::vector<std::u16string> texts(const hxhost::WindowView& window, hxhost::GadgetKind kind)
{
    std::vector<std::u16string> found;
    for (const hxhost::GadgetView& gadget : window.gadgets)
        if (gadget.kind == kind)
            found.push_back(gadget.text);
    return found;
}

TEST_F(DrawnRequestersTest, TheMeterShowsItsTitleABarFilledToTheStepsDoneAndAStopButton)
{
    UReqMeter meter{};
    meter.title = u"Building the slideshow";
    meter.steps = 4;
    meter.style = 4;
    ASSERT_EQ(ureqOpenMeter(&meter), 0);
    const std::vector<hxhost::WindowView> open = hxhost::windows();
    ASSERT_EQ(open.size(), 1u);
    const hxhost::WindowView& shown = open[0];
    EXPECT_EQ(shown.title, u"Building the slideshow");
    ASSERT_EQ(shown.gadgets.size(), 1u);
    EXPECT_EQ(shown.gadgets[0].text, u"Stop");
    EXPECT_EQ(shown.cancelGadget, shown.gadgets[0].id) << "Stop is the meter's Cancel";

    // The bar's row through its middle: how much of it has the fill's colour after each step.
    const int32_t row = shown.contentY + ugConvertWidth(16) + ugGetFontHeight() / 2;
    const int32_t barStart = shown.contentX + ugConvertWidth(16) + 3;
    const auto filled = [&](const hxhost::Picture& screen, uint32_t fill) {
        int32_t count = 0;
        for (int32_t x = shown.contentX; x < shown.contentX + shown.width - 4; ++x)
            count += screen.at(x, row) == fill ? 1 : 0;
        return count;
    };
    const hxhost::Picture none = hxhost::screenPicture();
    ASSERT_EQ(ureqUpdateMeter(&meter, 3, 2), 1);
    const hxhost::Picture half = hxhost::screenPicture();
    ASSERT_EQ(ureqUpdateMeter(&meter, 3, 4), 1);
    const hxhost::Picture full = hxhost::screenPicture();
    ASSERT_EQ(ureqUpdateMeter(&meter, 3, 9), 1);
    const hxhost::Picture beyond = hxhost::screenPicture();
    const uint32_t fill = full.at(barStart, row);
    EXPECT_EQ(filled(none, fill), 0);
    EXPECT_GT(filled(full, fill), 100);
    EXPECT_NEAR(filled(half, fill), filled(full, fill) / 2, 3) << "half the steps fill half the bar";
    EXPECT_EQ(filled(beyond, fill), filled(full, fill)) << "steps beyond the count fill no more than the bar";
    ureqCloseMeter(&meter);
    EXPECT_TRUE(hxhost::windows().empty());
    EXPECT_EQ(hxhost::liveCounts().windows, 0);
}

TEST_F(DrawnRequestersTest, TheOperatorPickerShowsABoxForEachTransitionAndGoesWhenAnswered)
{
    std::string error;
    ASSERT_TRUE(hxhost::installHome(home(), &error)) << error;
    auto looker = std::make_shared<Looker>();
    looker->addOperators({"wipe"});
    hxhost::setUser(looker);
    HxStringVector names{};
    ASSERT_EQ(mainSelectOperatorRequesterMulti(&names, 0, "", 0), 0);
    ASSERT_EQ(names.count, 1u);
    std::free(names.items[0]);
    std::free(names.items);
    EXPECT_TRUE(hxhost::windows().empty());
    hxhost::setUser(hxhost::scriptedUser());

    ASSERT_EQ(looker->seen.size(), 1u);
    ASSERT_EQ(looker->seen[0].size(), 1u);
    const hxhost::WindowView& picker = looker->seen[0][0];
    EXPECT_EQ(picker.title, u"Transitions");
    const std::vector<std::u16string> boxes = texts(picker, hxhost::GadgetKind::CheckBox);
    EXPECT_NE(std::find(boxes.begin(), boxes.end(), u"wipe"), boxes.end());
    EXPECT_NE(std::find(boxes.begin(), boxes.end(), u"push"), boxes.end());
    EXPECT_TRUE(std::is_sorted(boxes.begin(), boxes.end()));
    EXPECT_NE(picker.okGadget, 0u);
    EXPECT_NE(picker.cancelGadget, 0u);
}

TEST_F(DrawnRequestersTest, TheSoundFileRequesterListsFoldersThenSoundFilesAndOpensWhereTheLastFileWas)
{
    namespace fs = std::filesystem;
    const std::string music = home() + "/music";
    fs::create_directories(music + "/live");
    fs::create_directories(music + "/.cache");
    Tone tone;
    tone.container = "ogg";
    ASSERT_EQ(writeTone(music + "/b-side.ogg", tone), "");
    ASSERT_EQ(writeTone(music + "/A-side.OGG", tone), "");
    // Listed by name, as phones and streaming name them; what they hold is read once one is chosen.
    for (const char* name : {"phone.m4a", "voice.opus", "radio.wma"})
        writeFile(music + "/" + name, "sound");
    writeFile(music + "/cover.jpg", "not a sound");
    writeFile(music + "/.hidden.ogg", "hidden");
    auto looker = std::make_shared<Looker>();
    looker->addFile(hxhost::FileAnswer{music + "/b-side.ogg", u"", 0});
    looker->addFile(std::nullopt);
    hxhost::setUser(looker);
    TxRequest* request = txAllocRequest(TX_SOUND_FILES);
    ASSERT_EQ(txRequest(request, 0), 0);
    ASSERT_EQ(txGetStatus(request), 1);
    ASSERT_EQ(txRequest(request, 0), 0);
    EXPECT_EQ(txGetStatus(request), 0);
    txFreeRequest(request);
    EXPECT_TRUE(hxhost::windows().empty());
    hxhost::setUser(hxhost::scriptedUser());

    ASSERT_EQ(looker->seen.size(), 2u);
    ASSERT_EQ(looker->seen[1].size(), 1u);
    const hxhost::WindowView& shown = looker->seen[1][0];
    EXPECT_EQ(shown.title, u"Choose a sound file");
    const hxhost::GadgetView* list = nullptr;
    for (const hxhost::GadgetView& gadget : shown.gadgets)
        if (gadget.kind == hxhost::GadgetKind::ListView)
            list = &gadget;
    ASSERT_NE(list, nullptr);
    std::vector<std::u16string> rows;
    for (const hxhost::ItemView& item : list->items)
        rows.push_back(item.text);
    EXPECT_EQ(rows, (std::vector<std::u16string>{u"../", u"live/", u"A-side.OGG", u"b-side.ogg", u"phone.m4a", u"radio.wma", u"voice.opus"}))
        << "the second time it opens in the folder of the file chosen the first time";
}

} // namespace
