#include "session_fixture.h"

#include "host/hxparser.h"

namespace {

TEST(Description, ListsTheToolsTagsInOrder)
{
    const OperatorTag* tags = GetOperatorInfo();
    ASSERT_EQ(tags, GetOperatorInfo());
    const uintptr_t expected[][2] = {
        {0x4F504500, 0x00400218}, {0x4F504501, 5}, {0x4F504510, 0}, {0x4F504503, 0},
        {0x4F50450D, 1}, {0x4F50450E, 1}, {0x4F504504, 0},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(tags[i].tag, expected[i][0]) << "pair " << i;
        if (expected[i][1]) {
            EXPECT_EQ(tags[i].value, expected[i][1]) << "pair " << i;
        }
    }
    EXPECT_EQ(tags[7].tag, 0u);
    EXPECT_STREQ(reinterpret_cast<const char*>(tags[2].value),
                 "$Id: stillset,v 1.50 2015/10/22 08:11:54 kelmor Exp kelmor $");
    EXPECT_EQ(tags[3].value, reinterpret_cast<uintptr_t>(&OperatorAction));
    const unsigned char record[8] = {4, 0, 11, 0, 3, 0, 0, 0};
    EXPECT_EQ(std::memcmp(reinterpret_cast<const void*>(tags[6].value), record, 8), 0);
}

TEST(StillsetVersion, AnswersFromTheIdentificationString)
{
    EXPECT_EQ(stillsetVersion(0), 1);
    EXPECT_EQ(stillsetVersion(1), 50);
    EXPECT_EQ(stillsetVersion(2), 1);
    EXPECT_EQ(stillsetVersion(0xFFFFFFFFu), 8);
    EXPECT_EQ(stillsetVersion(3), 0);
}

using OperatorActionTest = PluginTest;

TEST_F(OperatorActionTest, ActionsOtherThanRunTouchNoHostService)
{
    for (uint16_t action : {1, 2, 3, 5}) {
        EXPECT_EQ(runAction(action), 0);
        EXPECT_EQ(hxhost::totalCallCount(), 0u) << "action " << action;
    }
}

struct GateCase {
    hxhost::Service service;
    hxhost::Version version;
    bool passes;
};

class VersionGateTest : public PluginTest, public ::testing::WithParamInterface<GateCase> {};

TEST_P(VersionGateTest, ThresholdDecides)
{
    const GateCase gate = GetParam();
    hxhost::setServiceVersion(gate.service, gate.version);
    hxhost::failService("resLoadStrings", 1, true); // a refused start can only log
    const int32_t result = runTool();
    if (gate.passes) {
        EXPECT_FALSE(hxhost::screenHistory().empty()) << "the program ran";
    } else {
        EXPECT_EQ(result, -1);
        ASSERT_EQ(entries(4, "src\\stillset").size(), 1u);
        EXPECT_TRUE(hxhost::screenHistory().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Thresholds, VersionGateTest,
                         ::testing::Values(GateCase{hxhost::Service::SceneList, {11, 131}, true},
                                           GateCase{hxhost::Service::SceneList, {11, 130}, false},
                                           GateCase{hxhost::Service::SceneList, {12, 0}, true},
                                           GateCase{hxhost::Service::SceneList, {10, 999}, false},
                                           GateCase{hxhost::Service::ImageOps, {5, 11}, true},
                                           GateCase{hxhost::Service::ImageOps, {5, 10}, false},
                                           GateCase{hxhost::Service::Requesters, {117, 68}, true},
                                           GateCase{hxhost::Service::Requesters, {117, 67}, false},
                                           GateCase{hxhost::Service::Requesters, {118, 0}, true}));

TEST_F(OperatorActionTest, EachRefusedServiceHasItsOwnLogEntryAndLaterOnesAreNotAsked)
{
    hxhost::failService("resLoadStrings", 1, true);
    std::vector<int> lines;
    for (hxhost::Service service : {hxhost::Service::SceneList, hxhost::Service::ImageOps, hxhost::Service::Requesters}) {
        hxhost::clearLog();
        hxhost::setServiceVersion(service, {0, 0});
        EXPECT_EQ(runTool(), -1);
        const auto failures = entries(4, "src\\stillset");
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].module, 0x03780000u);
        lines.push_back(failures[0].line);
        hxhost::setServiceVersion(service, hxhost::currentVersion(service));
    }
    EXPECT_NE(lines[0], lines[1]);
    EXPECT_NE(lines[1], lines[2]);

    hxhost::setServiceVersion(hxhost::Service::SceneList, {1, 0});
    const uint32_t imageOpsAsked = hxhost::callCount("opcVersion");
    const uint32_t requestersAsked = hxhost::callCount("ureqVersion");
    runTool();
    EXPECT_EQ(hxhost::callCount("opcVersion"), imageOpsAsked);
    EXPECT_EQ(hxhost::callCount("ureqVersion"), requestersAsked);
}

TEST_F(OperatorActionTest, TooOldHostShowsTheNoticeAndStartsNothing)
{
    hxhost::setServiceVersion(hxhost::Service::ImageOps, {5, 10});
    EXPECT_EQ(runTool(), 0);
    const auto shown = hxhost::textRequestsSeen();
    ASSERT_EQ(shown.size(), 1u);
    ResStrings* strings = resLoadStrings("stillset");
    EXPECT_EQ(shown[0].title, std::u16string(resGetString(strings, 10)));
    EXPECT_EQ(shown[0].text, std::u16string(resGetString(strings, 1500)));
    resFreeStrings(strings);
    EXPECT_EQ(shown[0].style, 1u);
    EXPECT_TRUE(hxhost::screenHistory().empty());
    EXPECT_FALSE(fileExists(home() + "/programs/stillset/project1"));
    expectNothingLive();
}

TEST_F(OperatorActionTest, ScreenIsTheToolsWhileItRunsAndRestoredOnEveryPath)
{
    parserSetCurrentScreen(7, 3);
    for (bool startupFails : {false, true}) {
        if (startupFails)
            hxhost::unsetHome();
        const size_t before = hxhost::screenHistory().size();
        EXPECT_EQ(runTool(), startupFails ? -1 : 0);
        const auto history = hxhost::screenHistory();
        ASSERT_EQ(history.size(), before + 2);
        EXPECT_EQ(history[before].screen, 0x03780001u);
        EXPECT_EQ(history[before].mode, 0u);
        EXPECT_EQ(hxhost::currentScreen().screen, 7u);
        EXPECT_EQ(hxhost::currentScreen().mode, 3u);
    }
}

} // namespace
