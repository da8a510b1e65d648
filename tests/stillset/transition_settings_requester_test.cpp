// A transition's settings panel: what reaches the transition's block on OK and Cancel, and that the
// panel and its operator never outlive the transition, the requester or the session.
#include "chooser_fixture.h"

#include "hxhost/transitions.h"

namespace {

class TransitionSettingsTest : public ChooserTest {
protected:
    void SetUp() override
    {
        ChooserTest::SetUp();
        onTransitionsButton(event());
        addTransitions({"wipe", "push"});
        select(transitionsRequest, transitionsGadgets().listView, 0);
    }

    static const hxhost::TransitionSetting& wipeSetting(const char* key)
    {
        return *hxhost::findTransition("wipe")->setting(key);
    }
    static int32_t storedValue(const OperatorEntry* entry, const char* key)
    {
        return hxhost::settingValue(wipeSetting(key), static_cast<const uint8_t*>(entry->prefs), entry->prefsSize);
    }
    static UgGadget panelGadget(const std::u16string& label)
    {
        const std::vector<hxhost::WindowView> open = hxhost::windows();
        for (const hxhost::GadgetView& g : open.back().gadgets)
            if (g.text == label)
                return g.id;
        ADD_FAILURE() << "no setting labelled so";
        return 0;
    }
    static OperatorEntry* wipe() { return operatorAtRow(session.transitionList, 0); }
};

TEST_F(TransitionSettingsTest, OkKeepsTheOldBlockWithoutAChangeAndTakesTheNewOneAfterOne)
{
    onTransitionSettings(event());
    ASSERT_EQ(session.requestOpen[operatorGuiRequest], 1);
    EXPECT_EQ(hxhost::liveCounts().operators, 1);
    onTransitionSettingsOk(event());
    EXPECT_EQ(wipe()->prefs, nullptr) << "no change, no block";
    EXPECT_EQ(hxhost::liveCounts().operators, 0);

    onTransitionSettings(event());
    passToTransitionSettings(event(panelGadget(u"Softness"), 60));
    passToTransitionSettings(event(panelGadget(u"Direction"), 2));
    onTransitionSettingsOk(event());
    ASSERT_NE(wipe()->prefs, nullptr);
    EXPECT_EQ(storedValue(wipe(), "softness"), 60);
    EXPECT_EQ(storedValue(wipe(), "direction"), 2);
    const void* block = wipe()->prefs;

    onTransitionSettings(event());
    EXPECT_EQ(hxhost::gadget(panelGadget(u"Softness"))->value, 60) << "the panel opens on the stored block";
    onTransitionSettingsOk(event());
    EXPECT_EQ(wipe()->prefs, block) << "OK without a change keeps the block";
    EXPECT_EQ(hxhost::liveCounts().operatorPanels, 0);
}

TEST_F(TransitionSettingsTest, CancelKeepsTheOldBlock)
{
    onTransitionSettings(event());
    passToTransitionSettings(event(panelGadget(u"Softness"), 60));
    onTransitionSettingsOk(event());
    onTransitionSettings(event());
    passToTransitionSettings(event(panelGadget(u"Softness"), 90));
    onTransitionSettingsCancel(event());
    EXPECT_EQ(storedValue(wipe(), "softness"), 60);
    EXPECT_EQ(hxhost::liveCounts().operators, 0);
}

TEST_F(TransitionSettingsTest, AnOperatorThatCannotBeLoadedOpensNoPanel)
{
    hxhost::failService("mainLoadOperator");
    onTransitionSettings(event());
    EXPECT_EQ(session.requestOpen[operatorGuiRequest], 0);
    select(transitionsRequest, transitionsGadgets().listView, 2); // the separator
    onTransitionSettings(event());
    EXPECT_EQ(session.requestOpen[operatorGuiRequest], 0);
}

TEST_F(TransitionSettingsTest, ThePanelNeverOutlivesItsTransitionRequesterOrSession)
{
    onTransitionSettings(event());
    const int64_t windows = hxhost::liveCounts().windows;
    onTransitionSettings(event());
    EXPECT_EQ(hxhost::liveCounts().windows, windows) << "one panel at a time";

    onRemoveTransition(event()); // the transition whose panel is open
    EXPECT_EQ(session.requestOpen[operatorGuiRequest], 0);
    EXPECT_EQ(hxhost::liveCounts().operators, 0);
    onTransitionSettingsOk(event()); // a late OK of the closed panel changes nothing
    EXPECT_EQ(ListCount(&session.transitionList), 1);

    onTransitionSettings(event());
    passToTransitionSettings(event(panelGadget(u"Direction"), 1));
    onTransitionsOk(event()); // the panel closes with its requester, keeping what was set
    EXPECT_EQ(session.requestOpen[operatorGuiRequest], 0);
    const auto* push = operatorAtRow(session.transitionList, 0);
    ASSERT_NE(push->prefs, nullptr);
    EXPECT_EQ(hxhost::settingValue(*hxhost::findTransition("push")->setting("direction"),
                                   static_cast<const uint8_t*>(push->prefs), push->prefsSize),
              1);

    onTransitionsButton(event());
    select(transitionsRequest, transitionsGadgets().listView, 0);
    onTransitionSettings(event());
    endToolSession();
    EXPECT_EQ(hxhost::liveCounts().operators, 0);
    EXPECT_EQ(hxhost::liveCounts().operatorPanels, 0);
    expectNothingLive();
    ASSERT_EQ(startToolSession(), 0);
}

TEST_F(TransitionSettingsTest, AChangeMadeInTheSessionReachesTheSettingsFileAndTheNextSession)
{
    endToolSession(); // stores wipe and push
    ASSERT_EQ(runScript("press \"Transitions...\"\n"
                        "select list 0\n"
                        "press \"Settings\"\n"
                        "set \"Direction\" \"Bottom to top\"\n"
                        "set \"Border\" 25\n"
                        "set \"Smooth start and end\" on\n"
                        "press ok in \"Settings\"\n"
                        "press ok in \"Transitions\"\n"),
              0);
    ASSERT_EQ(startToolSession(), 0);
    ASSERT_EQ(names(session.transitionList), (std::vector<std::string>{"transition/wipe", "transition/push"}));
    ASSERT_NE(wipe()->prefs, nullptr);
    EXPECT_EQ(wipe()->prefsSize, hxhost::findTransition("wipe")->prefsSize());
    EXPECT_EQ(storedValue(wipe(), "direction"), 3);
    EXPECT_EQ(storedValue(wipe(), "border"), 25);
    EXPECT_EQ(storedValue(wipe(), "smooth"), 1);
    EXPECT_EQ(storedValue(wipe(), "softness"), wipeSetting("softness").defaultValue);
    EXPECT_EQ(operatorAtRow(session.transitionList, 1)->prefs, nullptr);
    EXPECT_EQ(session.settings.transitionsEnabled, 1);
}

} // namespace
