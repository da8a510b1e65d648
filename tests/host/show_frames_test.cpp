// The show's frames as the player takes them: with the next scene's photo decoding ahead on a thread
// of its own, every frame is the one decoded in turn gives, however the person moves about the show.
#include "support/picture_files.h"
#include "support/test_home.h"
#include "support/tool_settings.h"

#include "host/hxopcommon.h"
#include "hxhost/show_frames.h"
#include "hxhost/storyboard.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

namespace {

const std::string kHost = std::string(STILLSET_BIN_DIR) + "/stillset-host";

class ShowFramesTest : public HostTest {
protected:
    // Four photos of 2 seconds joined by 1-second dissolves at PAL, made by the tool in a session of
    // the host program; then the project is opened here.
    void SetUp() override
    {
        HostTest::SetUp();
        ToolChoices choices;
        choices.durationCode = 1;
        choices.transitions = {"transition/dissolve"};
        writeToolSettings(home() + "/programs/stillset/project1", choices);
        const std::string photos = home() + "/photos";
        std::filesystem::create_directories(photos);
        for (int i = 0; i < 4; ++i)
            writeJpeg(photos + "/p" + std::to_string(i) + ".jpg", 800, 600, {}, [i](int x, int y, uint8_t* rgb) {
                rgb[0] = static_cast<uint8_t>(60 * i + x / 8);
                rgb[1] = static_cast<uint8_t>(y / 3);
                rgb[2] = static_cast<uint8_t>(200 - 40 * i + (x ^ y) % 16);
            });
        writeFile(home() + "/create.session", "answer yes\npress \"Create slideshow\"\n");
        ASSERT_EQ(std::system((kHost + " session --format pal --hxhome " + home() + " --project 0 --import " + photos +
                               " --script " + home() + "/create.session > " + home() + "/made.log 2>&1").c_str()),
                  0)
            << readFile(home() + "/made.log");
        hxhost::setProjectNumber(0);
        std::string error;
        ASSERT_TRUE(hxhost::openProject(&error)) << error;
        ASSERT_TRUE(hxhost::setVideoFormat("pal", "", &error)) << error;
        hxhost::setPixelThreads(2);
        board_ = hxhost::storyboard();
        ASSERT_EQ(board_.scenes.size(), 4u);
        format_ = hxhost::VideoFileFormat::ofVideoFormat();
    }

    // Frames `from` up to `to`, each as a hash of its planes.
    std::map<int64_t, size_t> frames(hxhost::ShowFrames& show, int64_t from, int64_t to)
    {
        std::map<int64_t, size_t> hashes;
        hxhost::WovenFrame frame;
        for (int64_t f = from; f < to; ++f) {
            std::string error;
            EXPECT_TRUE(show.frame(f, frame, &error)) << "frame " << f << ": " << error;
            hashes[f] = std::hash<std::string_view>()(
                std::string_view(reinterpret_cast<const char*>(frame.planes.data()), frame.planes.size()));
        }
        return hashes;
    }

    std::map<int64_t, size_t> decodedInTurn(int64_t from)
    {
        hxhost::ShowFrames show(board_, format_, 0.5, false);
        std::map<int64_t, size_t> all = frames(show, 0, board_.length);
        all.erase(all.begin(), all.lower_bound(from));
        return all;
    }

    hxhost::Storyboard board_;
    hxhost::VideoFileFormat format_;
};

TEST_F(ShowFramesTest, DecodingAheadGivesTheFramesDecodingInTurnGives)
{
    const std::map<int64_t, size_t> inTurn = decodedInTurn(0);
    hxhost::ShowFrames ahead(board_, format_, 0.5, true);
    EXPECT_EQ(frames(ahead, 0, board_.length), inTurn);
}

// As the player goes: the strip takes each scene's picture through the kept stills while the next
// scene's photo decodes ahead, then the person jumps past a scene, and later back to the start.
TEST_F(ShowFramesTest, DecodingAheadBesideTheStripsPicturesAndJumpsGivesTheSameFrames)
{
    const int64_t jump = board_.scenes[2].position + board_.scenes[2].length / 2;
    const std::map<int64_t, size_t> inTurn = decodedInTurn(0), afterJump = decodedInTurn(jump);
    auto ahead = std::make_unique<hxhost::ShowFrames>(board_, format_, 0.5, true);
    EXPECT_EQ(frames(*ahead, 0, 1), decltype(inTurn){*inTurn.begin()});
    for (const hxhost::StoryboardScene& scene : board_.scenes) {
        OpImage* picture = hxhost::photoClipField(scene.clipItem, 0);
        EXPECT_NE(picture, nullptr);
        opFreeImage(picture);
    }
    EXPECT_EQ(frames(*ahead, jump, board_.length), afterJump);
    // Going back takes a new one, made while the old one still stands.
    ahead = std::make_unique<hxhost::ShowFrames>(board_, format_, 0.5, true);
    EXPECT_EQ(frames(*ahead, 0, board_.length), inTurn);
}

} // namespace
