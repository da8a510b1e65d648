#include "session_fixture.h"

#include "stillset/pan_presets.h"

#include <sys/stat.h>

namespace {

class PanPresetTest : public PluginTest {
protected:
    std::string presetPath(int variant) const
    {
        return home() + "/programs/stillset/prefs/sl" + std::to_string(variant) + ".prf";
    }
};

TEST_F(PanPresetTest, InstalledPresetsSelectTheFiveModes)
{
    for (int32_t variant = 0; variant < 5; ++variant) {
        uint32_t mode = 99;
        ASSERT_EQ(readPanPreset(&mode, sizeof mode, variant), 0);
        EXPECT_EQ(mode, static_cast<uint32_t>(variant));
    }
}

TEST_F(PanPresetTest, BlockComesAfterAnyFourHeaderBytesAndNeedsAllItsBytes)
{
    uint8_t block[6];
    const uint8_t untouched[6] = {7, 7, 7, 7, 7, 7};
    std::memcpy(block, untouched, sizeof block);
    writeFile(presetPath(1), std::string("\xFF\x00\xFEZ" "abcde", 9)); // one byte short
    EXPECT_EQ(readPanPreset(block, 6, 1), -1);
    EXPECT_EQ(std::memcmp(block, untouched, 6), 0);
    writeFile(presetPath(1), std::string("\xFF\x00\xFEZ" "abcdef", 10));
    ASSERT_EQ(readPanPreset(block, 6, 1), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 6), "abcdef");
    writeFile(presetPath(1), std::string("HEADabcdefXYZ", 13)); // the surplus is ignored
    ASSERT_EQ(readPanPreset(block, 6, 1), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 6), "abcdef");
    EXPECT_EQ(entries(4, "src\\stillset").size(), 1u);
}

TEST_F(PanPresetTest, ReadOnlyInstallationAndMissingHome)
{
    chmod(presetPath(2).c_str(), 0444); // opened for reading only, so this is no obstacle
    uint32_t mode = 0;
    EXPECT_EQ(readPanPreset(&mode, sizeof mode, 2), 0);
    EXPECT_EQ(mode, 2u);
    EXPECT_EQ(readPanPreset(&mode, sizeof mode, 9), -1) << "no such variant";
    hxhost::unsetHome();
    EXPECT_EQ(readPanPreset(&mode, sizeof mode, 2), -1);
    EXPECT_EQ(entries(4, "src\\stillset").size(), 2u);
}

} // namespace
