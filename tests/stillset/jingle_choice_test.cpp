// The jingle's file requester: a chosen file, a cancel, and a path too long for the tool's buffer.
#include "session_fixture.h"

#include "stillset/jingle_choice.h"
#include "support/wav_file.h"

#include <filesystem>

namespace {

class JingleChoiceTest : public PluginTest {
protected:
    char file[kJingleBufferChars] = {};
    hxchar name[kJingleBufferChars] = {};
    int32_t orientation = -1;
};

TEST_F(JingleChoiceTest, AChosenFileFillsBothBuffers)
{
    writeFile(home() + "/bell.wav", wavBytes(48000));
    hxhost::scriptedUser()->addFile(hxhost::FileAnswer{home() + "/bell.wav", u"Bell", 2});
    ASSERT_TRUE(chooseJingle(file, name, &orientation));
    EXPECT_EQ(std::string(file), home() + "/bell.wav");
    EXPECT_TRUE(std::u16string(reinterpret_cast<const char16_t*>(name)) == u"Bell");
    EXPECT_EQ(orientation, 2);
    EXPECT_EQ(hxhost::liveCounts().fileRequests, 0);
}

TEST_F(JingleChoiceTest, ACancelIsNoFailureAndATooLongPathIsOne)
{
    hxhost::scriptedUser()->addFile(std::nullopt);
    EXPECT_FALSE(chooseJingle(file, name, &orientation));
    EXPECT_TRUE(entries(4, "src\\stillset").empty());

    std::string deep = home();
    for (int i = 0; i < 5; ++i)
        deep += "/" + std::string(200, char('a' + i));
    std::filesystem::create_directories(deep);
    writeFile(deep + "/bell.wav", wavBytes(48000));
    hxhost::scriptedUser()->addFile(hxhost::FileAnswer{deep + "/bell.wav", u"Bell", 0});
    EXPECT_FALSE(chooseJingle(file, name, &orientation));
    EXPECT_EQ(entries(4, "src\\stillset").size(), 1u);
    EXPECT_EQ(orientation, -1);
    EXPECT_EQ(hxhost::liveCounts().fileRequests, 0);
}

} // namespace
