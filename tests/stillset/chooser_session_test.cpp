// A whole session in which the user chooses transitions, their settings, a jingle and pan effects
// through the tool's requesters only; the next session finds every choice as it was made.
#include "session_fixture.h"

#include "stillset/operator_list_node.h"
#include "support/audio_files.h"

#include "hxhost/transitions.h"

namespace {

class ChooserSessionTest : public PluginTest {};

TEST_F(ChooserSessionTest, EveryChoiceMadeInTheRequestersIsStoredForTheBuilder)
{
    addPhotos(3);
    Tone song;
    song.container = "ogg";
    song.seconds = 0.5;
    song.title = "Evening theme";
    ASSERT_EQ(writeTone(home() + "/theme.ogg", song), "");
    ASSERT_EQ(runScript("answer yes\n"
                        "press \"Transitions...\"\n"
                        "pick-operators dissolve wipe\n"
                        "press \"Add...\"\n"
                        "select list 0\n"
                        "pick-operators push\n"
                        "press \"Add...\"\n"
                        "select list 2\n"
                        "press \"Settings\"\n"
                        "set \"Direction\" \"Right to left\"\n"
                        "set \"Softness\" 70\n"
                        "press ok in \"Settings\"\n"
                        "pick-file " + home() + "/theme.ogg\n"
                        "press \"Music...\"\n"
                        "choose \"Order\" 1\n"
                        "choose \"Use each\" 2\n"
                        "choose \"Length\" 4\n"
                        "press ok in \"Transitions\"\n"
                        "press \"Effects...\"\n"
                        "press \"Add...\"\n"
                        "select list 2\n"
                        "press ok\n"
                        "press \"Add...\"\n"
                        "select list 4\n"
                        "press ok\n"
                        "choose \"Use each\" 1\n"
                        "press ok in \"Effects\"\n"
                        "press \"Create slideshow\"\n"),
              0);

    ASSERT_EQ(startToolSession(), 0);
    const Settings& s = session.settings;
    EXPECT_EQ(s.transitionsEnabled, 1);
    EXPECT_EQ(s.transitionOrder, 1);
    EXPECT_EQ(s.transitionRepeatCode, 2);
    EXPECT_EQ(s.transitionLengthCode, 4);
    ASSERT_NE(s.jingleName, nullptr);
    EXPECT_EQ(std::u16string(s.jingleName), u"Evening theme") << "the title tag names the jingle";
    EXPECT_EQ(std::string(s.jingleFile), home() + "/theme.ogg");
    std::vector<std::string> transitions;
    const OperatorEntry* wipe = nullptr;
    for (auto* entry = static_cast<OperatorEntry*>(ListFirst(&session.transitionList)); entry;
         entry = static_cast<OperatorEntry*>(ListNext(entry))) {
        transitions.push_back(entry->name);
        if (transitions.back() == "transition/wipe")
            wipe = entry;
    }
    EXPECT_EQ(transitions, (std::vector<std::string>{"transition/dissolve", "transition/push", "transition/wipe"}));
    ASSERT_NE(wipe, nullptr);
    ASSERT_NE(wipe->prefs, nullptr);
    const hxhost::TransitionType& type = *hxhost::findTransition("wipe");
    const auto* block = static_cast<const uint8_t*>(wipe->prefs);
    EXPECT_EQ(hxhost::settingValue(*type.setting("direction"), block, wipe->prefsSize), 1);
    EXPECT_EQ(hxhost::settingValue(*type.setting("softness"), block, wipe->prefsSize), 70);

    EXPECT_EQ(s.effectsEnabled, 1);
    EXPECT_EQ(s.effectRepeatCode, 1);
    std::vector<uint32_t> presets;
    for (auto* entry = static_cast<OperatorEntry*>(ListFirst(&session.effectList)); entry;
         entry = static_cast<OperatorEntry*>(ListNext(entry))) {
        presets.push_back(entry->variant);
        ASSERT_EQ(entry->prefsSize, 4u);
        uint32_t mode = 0;
        std::memcpy(&mode, entry->prefs, 4);
        EXPECT_EQ(mode, entry->variant) << "each preset's own block";
    }
    EXPECT_EQ(presets, (std::vector<uint32_t>{2, 4}));
    endToolSession();
    expectNothingLive();
    EXPECT_EQ(hxhost::liveCounts().operators, 0);
    EXPECT_EQ(hxhost::liveCounts().operatorPanels, 0);
}

} // namespace
