// The four requesters as built: their lists show whole odd numbers of rows within their share of the
// screen, and a requester the host refuses leaves nothing behind.
#include "chooser_fixture.h"

#include "gui/layout_units.h"

namespace {

class ChooserRequestersTest : public ChooserTest, public ::testing::WithParamInterface<std::pair<int, int>> {
protected:
    static hxhost::WindowView windowOf(RequestSlot slot)
    {
        for (const hxhost::WindowView& window : hxhost::windows())
            if (window.handle == requesterWindow(slot))
                return window;
        ADD_FAILURE() << "no window";
        return {};
    }

    // The list's rows: a whole number of them, odd, and the next odd number would not fit in `share`
    // (a fraction of the visible height, less the frame margins).
    static void expectOddRowsWithin(UgGadget list, RequestSlot slot, int32_t numerator, int32_t denominator)
    {
        const auto view = hxhost::gadget(list);
        ASSERT_TRUE(view);
        const int32_t RH = listRowHeight(), k = (view->height - 4) / RH;
        EXPECT_EQ(view->height, k * RH + 4);
        EXPECT_EQ(k % 2, 1) << k << " rows";
        const int32_t avail = ugGetScreenHeight() * numerator / denominator - 2 * CW(6) - 4;
        EXPECT_LE(view->height, avail);
        EXPECT_GT((k + 2) * RH + 4, avail);
        EXPECT_GE(windowOf(slot).width, ugGetScreenWidth() * 3 / 4) << "three quarters wide, and its frame";
    }
};

TEST_P(ChooserRequestersTest, ListsShowOddRowCountsAndThePresetListNine)
{
    ASSERT_TRUE(hxhost::setScreen(GetParam().first, GetParam().second));
    endToolSession();
    ASSERT_EQ(startToolSession(), 0);
    ASSERT_EQ(buildMainWindow(), 0);

    onTransitionsButton(event());
    expectOddRowsWithin(transitionsGadgets().listView, transitionsRequest, 7, 10);
    onEffectsButton(event());
    expectOddRowsWithin(effectsGadgets().listView, effectsRequest, 1, 2);
    onAddEffect(event());
    const auto presets = hxhost::gadget(panPresetListView());
    ASSERT_TRUE(presets);
    EXPECT_EQ(presets->height, 9 * listRowHeight() + 4);
    EXPECT_EQ(presets->items.size(), 5u);
    EXPECT_EQ(hxhost::callCount("ugDisableRefresh"), hxhost::callCount("ugEnableRefresh"));
}

INSTANTIATE_TEST_SUITE_P(Screens, ChooserRequestersTest,
                         ::testing::Values(std::make_pair(1920, 1080), std::make_pair(1280, 720)));

class ChooserFailuresTest : public ChooserTest {};

TEST_F(ChooserFailuresTest, ARefusedRequesterIsLoggedWithItsNumberAndLeavesRefreshOn)
{
    struct Builder {
        RequestSlot slot;
        int32_t (*open)();
        int line;
    };
    const Builder builders[] = {
        {transitionsRequest, openTransitionsRequester, 2477},
        {effectsRequest, openEffectsRequester, 2731},
        {panPresetRequest, openPanPresetRequester, 2976},
        {operatorGuiRequest, [] { OperatorEntry entry{}; return openTransitionSettingsRequester(&entry, nullptr); }, 2914},
    };
    for (const auto& [slot, open, line] : builders) {
        hxhost::clearLog();
        hxhost::failService("ureqCreateRequest");
        const int64_t windows = hxhost::liveCounts().windows;
        EXPECT_EQ(open(), -1);
        EXPECT_EQ(session.requestOpen[slot], 0);
        EXPECT_EQ(hxhost::liveCounts().windows, windows);
        ASSERT_EQ(entries(4, "src\\gui").size(), 1u);
        EXPECT_EQ(entries(4, "src\\gui").front().line, line);
        EXPECT_EQ(hxhost::callCount("ugDisableRefresh"), hxhost::callCount("ugEnableRefresh"));
    }
}

TEST_F(ChooserFailuresTest, TheSettingsPanelWithoutATransitionOpensNothing)
{
    const uint32_t disabled = hxhost::callCount("ugDisableRefresh");
    EXPECT_EQ(openTransitionSettingsRequester(nullptr, nullptr), -1);
    EXPECT_EQ(session.requestOpen[operatorGuiRequest], 0);
    EXPECT_EQ(hxhost::callCount("ugDisableRefresh"), disabled);
    EXPECT_TRUE(entries(4, "src\\gui").empty());
}

TEST_F(ChooserFailuresTest, ARefusedTransitionsRequesterLeavesTheButtonUsable)
{
    hxhost::failService("ureqCreateRequest");
    onTransitionsButton(event());
    EXPECT_EQ(session.requestOpen[transitionsRequest], 0);
    onTransitionsButton(event());
    EXPECT_EQ(session.requestOpen[transitionsRequest], 1);
    onAddTransition(event()); // the picker answers nothing
    EXPECT_EQ(rows(transitionsGadgets().listView).size(), 1u);
}

} // namespace
