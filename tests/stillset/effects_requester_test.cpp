// The effects requester: pan effects added from the preset list with their blocks, their labels,
// removal, and what OK and Cancel leave in the settings and on the main window.
#include "chooser_fixture.h"

#include <cstdio>

namespace {

class EffectsRequesterTest : public ChooserTest {
protected:
    void SetUp() override
    {
        ChooserTest::SetUp();
        onEffectsButton(event(mainGadgets.effectsButton));
        ASSERT_EQ(session.requestOpen[effectsRequest], 1);
    }

    static std::vector<Row> shown() { return rows(effectsGadgets().listView); }

    // The preset list opened from the effects requester, preset `preset` chosen (-1: none) and OK.
    static void addEffect(int32_t preset)
    {
        onAddEffect(event(effectsGadgets().addButton));
        ASSERT_EQ(session.requestOpen[panPresetRequest], 1);
        if (preset >= 0)
            select(panPresetRequest, panPresetListView(), preset);
        onPanPresetOk(event());
        EXPECT_EQ(session.requestOpen[panPresetRequest], 0);
    }

    static OperatorEntry* effectAt(int32_t row) { return operatorAtRow(session.effectList, row); }
    static uint32_t blockMode(const OperatorEntry* entry)
    {
        uint32_t mode = 0xFFFFFFFF;
        if (entry && entry->prefs && entry->prefsSize == sizeof mode)
            std::memcpy(&mode, entry->prefs, sizeof mode);
        return mode;
    }
};

TEST_F(EffectsRequesterTest, APresetBecomesAnEffectWithItsBlockAfterTheSelectedRow)
{
    addEffect(3);
    addEffect(1);
    ASSERT_EQ(ListCount(&session.effectList), 2);
    EXPECT_STREQ(effectAt(0)->name, "longterm/stillsetpan.opw");
    EXPECT_EQ(effectAt(0)->variant, 3u);
    EXPECT_EQ(blockMode(effectAt(0)), 3u) << "the block of preset file sl3.prf";
    EXPECT_EQ(effectAt(1)->variant, 1u);
    EXPECT_EQ(blockMode(effectAt(1)), 1u);
    EXPECT_EQ(selected(effectsGadgets().listView), 1);

    select(effectsRequest, effectsGadgets().listView, 0);
    addEffect(4);
    EXPECT_EQ(effectAt(1)->variant, 4u) << "after the selected effect";
    const std::vector<Row> labels = shown();
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(selected(effectsGadgets().listView), 1);
    EXPECT_EQ(hxhost::liveCounts().operators, 0) << "the operator is loaded only to learn its block size";
}

TEST_F(EffectsRequesterTest, PresetsAboveTheFourthShareTheLastLabel)
{
    for (uint32_t variant : {0u, 3u, 4u, 5u, 9u}) {
        auto* entry = static_cast<OperatorEntry*>(std::calloc(1, sizeof(OperatorEntry)));
        entry->name = strdup("longterm/stillsetpan.opw");
        entry->variant = variant;
        ListAppend(&session.effectList, entry);
    }
    onEffectsCancel(event());
    onEffectsButton(event());
    auto label = [](int32_t number) { return std::u16string(resGetString(session.stringCatalogue, number)); };
    EXPECT_EQ(shown(), (std::vector<Row>{{label(500), 0}, {label(503), 0}, {label(504), 0}, {label(504), 0},
                                         {label(504), 0}}));
}

TEST_F(EffectsRequesterTest, WithoutTheOperatorOrThePresetFileTheEffectHasNoBlock)
{
    hxhost::failService("mainLoadOperator");
    addEffect(2);
    ASSERT_NE(effectAt(0), nullptr);
    EXPECT_EQ(effectAt(0)->prefs, nullptr);
    EXPECT_EQ(effectAt(0)->prefsSize, 0u);

    std::remove((home() + "/programs/stillset/prefs/sl1.prf").c_str());
    addEffect(1);
    ASSERT_NE(effectAt(1), nullptr);
    EXPECT_EQ(effectAt(1)->variant, 1u);
    EXPECT_EQ(effectAt(1)->prefs, nullptr);
    EXPECT_EQ(effectAt(1)->prefsSize, 0u);
    EXPECT_EQ(entries(4, "src\\stillset").size(), 1u) << "the missing file is logged";
    EXPECT_EQ(hxhost::liveCounts().operators, 0);
}

TEST_F(EffectsRequesterTest, OkWithoutAPresetChosenAddsNothing)
{
    addEffect(-1);
    EXPECT_EQ(ListCount(&session.effectList), 0);
    EXPECT_TRUE(shown().empty());
    onAddEffect(event());
    onPanPresetCancel(event());
    EXPECT_EQ(session.requestOpen[panPresetRequest], 0);
    EXPECT_EQ(ListCount(&session.effectList), 0);
}

TEST_F(EffectsRequesterTest, RemovingAndClosingFollowTheListInTheCheckBox)
{
    addEffect(0);
    addEffect(2);
    onEffectOrderPopup(event(effectsGadgets().orderPopup, 1));
    onEffectRepeatPopup(event(effectsGadgets().repeatPopup, 4));
    onEffectsOk(event());
    EXPECT_EQ(session.settings.effectOrder, 1);
    EXPECT_EQ(session.settings.effectRepeatCode, 4);
    EXPECT_EQ(session.settings.effectsEnabled, 1);
    EXPECT_TRUE(checkBoxOn(mainGadgets.effectsCheckBox));

    onEffectsButton(event());
    onEffectRepeatPopup(event(effectsGadgets().repeatPopup, 1));
    onRemoveEffect(event()); // nothing selected: nothing removed
    EXPECT_EQ(ListCount(&session.effectList), 2);
    for (int i = 0; i < 2; ++i) {
        select(effectsRequest, effectsGadgets().listView, 0);
        onRemoveEffect(event());
    }
    EXPECT_TRUE(shown().empty());
    onEffectsCancel(event());
    EXPECT_EQ(session.settings.effectRepeatCode, 4) << "Cancel drops the staged popups";
    EXPECT_EQ(session.settings.effectsEnabled, 0);
    EXPECT_FALSE(checkBoxOn(mainGadgets.effectsCheckBox));
}

TEST_F(EffectsRequesterTest, ThePresetListClosesWithItsEffectsRequester)
{
    onAddEffect(event());
    const int64_t windows = hxhost::liveCounts().windows;
    onAddEffect(event());
    EXPECT_EQ(hxhost::liveCounts().windows, windows) << "one preset list at a time";
    onEffectsCancel(event());
    EXPECT_EQ(session.requestOpen[panPresetRequest], 0);
    onPanPresetOk(event()); // a late event of the closed list adds nothing
    EXPECT_EQ(ListCount(&session.effectList), 0);
}

} // namespace
