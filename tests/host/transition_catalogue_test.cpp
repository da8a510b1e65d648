// The host's transitions as operators: installed files, loading, flags, preference blocks.
#include "support/test_home.h"

#include "host/hxmain.h"
#include "hxhost/transitions.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using hxhost::SettingKind;
using hxhost::TransitionSetting;

class TransitionCatalogueTest : public HostTest {};

TEST_F(TransitionCatalogueTest, EveryTransitionIsInstalledAndLoadsWithItsDefaults)
{
    const auto& catalogue = hxhost::transitionCatalogue();
    std::set<std::string> files;
    for (const hxhost::TransitionType& type : catalogue) {
        const std::string name = "transition/" + type.file;
        files.insert(type.file);
        EXPECT_TRUE(fileExists(home() + "/" + name)) << name;
        const hxchar* display = mainGetOperatorName(name.c_str(), 0);
        ASSERT_NE(display, nullptr) << name;
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(display)), type.name);
        EXPECT_EQ(mainGetOperatorFlags(name.c_str(), 0) & 4u, 4u) << name;

        HxOperator* op = mainLoadOperator(name.c_str(), 1);
        ASSERT_NE(op, nullptr) << name;
        EXPECT_EQ(hxhost::transitionOf(op), &type);
        ASSERT_EQ(opGetPrefsSize(op), type.prefsSize());
        std::vector<uint8_t> block(type.prefsSize());
        if (!block.empty()) {
            ASSERT_EQ(opGetPrefs(op, block.data(), static_cast<uint32_t>(block.size())), 0);
            EXPECT_EQ(block, type.defaultPrefs()) << name;
        }
        mainUnloadOperator(op);
    }
    EXPECT_EQ(files, (std::set<std::string>{"dissolve", "fade", "wipe", "push", "iris", "clock"}));
    EXPECT_EQ(hxhost::liveCounts().operators, 0);
    // The pan operator is no transition.
    HxOperator* pan = mainLoadOperator("longterm/stillsetpan.opw", 1);
    ASSERT_NE(pan, nullptr);
    EXPECT_EQ(hxhost::transitionOf(pan), nullptr);
    EXPECT_EQ(mainGetOperatorFlags("longterm/stillsetpan.opw", 0) & 4u, 0u);
    mainUnloadOperator(pan);
    EXPECT_EQ(hxhost::liveCounts().operators, 0);
}

TEST_F(TransitionCatalogueTest, EachLoadKeepsItsOwnBlockAndRefusesAWrongSize)
{
    const hxhost::TransitionType* wipe = hxhost::findTransition("transition/wipe");
    ASSERT_NE(wipe, nullptr);
    EXPECT_EQ(hxhost::findTransition("wipe"), wipe);
    HxOperator* first = mainLoadOperator("transition/wipe", 1);
    HxOperator* second = mainLoadOperator("transition/wipe", 1);
    ASSERT_TRUE(first && second);
    std::vector<uint8_t> block = wipe->defaultPrefs();
    ASSERT_TRUE(hxhost::setSettingValue(*wipe->setting("direction"), 2, block.data(), block.size()));
    ASSERT_TRUE(hxhost::setSettingValue(*wipe->setting("softness"), 55, block.data(), block.size()));
    ASSERT_EQ(opSetPrefs(first, block.data(), static_cast<uint32_t>(block.size())), 0);

    std::vector<uint8_t> back(block.size());
    ASSERT_EQ(opGetPrefs(first, back.data(), static_cast<uint32_t>(back.size())), 0);
    EXPECT_EQ(back, block);
    ASSERT_EQ(opGetPrefs(second, back.data(), static_cast<uint32_t>(back.size())), 0);
    EXPECT_EQ(back, wipe->defaultPrefs());

    std::vector<uint8_t> longer(block.size() + 4, 0);
    EXPECT_EQ(opSetPrefs(first, longer.data(), static_cast<uint32_t>(longer.size())), -1);
    EXPECT_EQ(opSetPrefs(first, block.data(), static_cast<uint32_t>(block.size() - 1)), -1);
    mainUnloadOperator(first);
    mainUnloadOperator(second);
    EXPECT_EQ(hxhost::liveCounts().operators, 0);
}

TEST_F(TransitionCatalogueTest, AnOperatorFileNamingNoBuiltInTransitionLoadsNothing)
{
    writeFile(home() + "/transition/sparkle", "name=Sparkle\nbuiltin=sparkle\nflags=4\n");
    EXPECT_EQ(mainLoadOperator("transition/sparkle", 1), nullptr);
    EXPECT_EQ(mainLoadOperator("transition/../transition/wipe", 1), nullptr);
    EXPECT_EQ(mainLoadOperator("transition/missing", 1), nullptr);
    EXPECT_EQ(hxhost::findTransition("transition/"), nullptr);
    EXPECT_EQ(hxhost::liveCounts().operators, 0);
}

TEST(TransitionSettings, DescriptionsAreCompleteAndTheirWordsDoNotOverlap)
{
    for (const hxhost::TransitionType& type : hxhost::transitionCatalogue()) {
        std::set<uint32_t> offsets;
        std::set<std::string> keys;
        for (const TransitionSetting& s : type.settings) {
            EXPECT_FALSE(s.label.empty()) << type.file << " " << s.key;
            EXPECT_TRUE(keys.insert(s.key).second) << type.file << " " << s.key;
            EXPECT_TRUE(offsets.insert(s.offset).second) << type.file << " " << s.key;
            EXPECT_LE(s.offset + 4, type.prefsSize());
            EXPECT_LE(s.minimum, s.defaultValue);
            EXPECT_LE(s.defaultValue, s.maximum);
            if (s.kind == SettingKind::Choice) {
                EXPECT_EQ(static_cast<size_t>(s.maximum + 1), s.choices.size()) << type.file << " " << s.key;
            }
            if (s.kind == SettingKind::Switch) {
                EXPECT_EQ(s.maximum, 1);
            }
        }
    }
    const hxhost::TransitionType* wipe = hxhost::findTransition("wipe");
    ASSERT_NE(wipe, nullptr);
    for (const char* key : {"direction", "softness", "border", "border-colour", "smooth"})
        EXPECT_NE(wipe->setting(key), nullptr) << key;
    EXPECT_EQ(wipe->setting("direction")->choices.size(), 4u);
    EXPECT_EQ(hxhost::findTransition("push")->setting("direction")->choices.size(), 4u);
}

TEST(TransitionSettings, ValuesAreLittleEndianWordsClampedToTheirRange)
{
    const hxhost::TransitionType& clock = *hxhost::findTransition("clock");
    const TransitionSetting& softness = *clock.setting("softness");
    std::vector<uint8_t> block = clock.defaultPrefs();
    ASSERT_TRUE(hxhost::setSettingValue(softness, 0x41, block.data(), block.size()));
    EXPECT_EQ(block[softness.offset], 0x41);
    EXPECT_EQ(block[softness.offset + 1], 0);

    // Stored words outside the range, as a damaged settings file may hold, read as the bounds.
    const uint8_t huge[4] = {0x00, 0x01, 0x00, 0x00};
    std::copy(huge, huge + 4, block.begin() + softness.offset);
    EXPECT_EQ(hxhost::settingValue(softness, block.data(), block.size()), 100);
    const uint8_t negative[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    std::copy(negative, negative + 4, block.begin() + softness.offset);
    EXPECT_EQ(hxhost::settingValue(softness, block.data(), block.size()), 0);
    EXPECT_TRUE(hxhost::setSettingValue(softness, 1000, block.data(), block.size()));
    EXPECT_EQ(hxhost::settingValue(softness, block.data(), block.size()), 100);

    // A short or missing block reads as the defaults and takes no value.
    EXPECT_EQ(hxhost::settingValue(softness, block.data(), softness.offset + 3), softness.defaultValue);
    EXPECT_EQ(hxhost::settingValue(softness, nullptr, 0), softness.defaultValue);
    EXPECT_FALSE(hxhost::setSettingValue(softness, 1, block.data(), softness.offset + 3));
}

TEST(TransitionTiming, FieldPositionsRiseEvenlyInsideTheTransition)
{
    const int frames = 25;
    double previous = 0;
    for (int frame = 0; frame < frames; ++frame)
        for (int field = 0; field < 2; ++field) {
            const double p = hxhost::transitionFieldPosition(frame, field, frames, true);
            EXPECT_GT(p, previous);
            EXPECT_LT(p, 1.0);
            if (frame || field) {
                EXPECT_NEAR(p - previous, 1.0 / (2 * frames), 1e-12);
            }
            previous = p;
        }
    EXPECT_NEAR(hxhost::transitionFieldPosition(12, 0, 25, false), 0.5, 1e-12);
    EXPECT_EQ(hxhost::transitionFieldPosition(3, 0, 8, false), hxhost::transitionFieldPosition(3, 1, 8, false));
    // The two middle fields of an even transition straddle its middle.
    EXPECT_NEAR(hxhost::transitionFieldPosition(0, 1, 2, true) + hxhost::transitionFieldPosition(1, 0, 2, true), 1.0, 1e-12);
    EXPECT_EQ(hxhost::transitionFieldPosition(0, 0, 0, true), 1.0);
}

} // namespace
