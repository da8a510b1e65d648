// Photos decoded ahead of the show's frames, on threads of their own: the player's next scene while
// one plays, however the person moves about the show, and the export's first photo while the work
// before the export goes on. Every frame is the one decoding in turn gives.
#include "support/picture_files.h"
#include "support/test_home.h"
#include "support/tool_settings.h"

#include "host/hxopcommon.h"
#include "host/hxscenes.h"
#include "hxhost/decode_counts.h"
#include "hxhost/export.h"
#include "hxhost/show_frames.h"
#include "hxhost/show_start.h"
#include "hxhost/storyboard.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

namespace {

const std::string kHost = std::string(STILLSET_BIN_DIR) + "/stillset-host";

class DecodeAheadTest : public HostTest {
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

    // The show exported to a Y4M file, its bytes, and the decodes the export made of each photo.
    std::string exported(const std::string& name, int32_t threads, int64_t from, std::map<std::string, size_t>& decodes)
    {
        const auto before = hxhost::stillDecodes();
        hxhost::ExportSettings settings;
        settings.output = home() + "/" + name + ".y4m";
        settings.threads = threads; // 2: rendered in this process, with a spare core to decode ahead on
        settings.from = from;
        std::string error;
        EXPECT_TRUE(hxhost::exportStoryboard(settings, &error)) << error;
        for (const auto& [file, all] : hxhost::stillDecodes()) {
            const auto was = before.find(file);
            decodes[file] = all.size() - (was == before.end() ? 0 : was->second.size());
        }
        return readFile(settings.output);
    }

    hxhost::Storyboard board_;
    hxhost::VideoFileFormat format_;
};

TEST_F(DecodeAheadTest, DecodingAheadGivesTheFramesDecodingInTurnGives)
{
    const std::map<int64_t, size_t> inTurn = decodedInTurn(0);
    hxhost::ShowFrames ahead(board_, format_, 0.5, true);
    EXPECT_EQ(frames(ahead, 0, board_.length), inTurn);
}

// As the player goes: the strip takes each scene's picture through the kept stills while the next
// scene's photo decodes ahead, then the person jumps past a scene, and later back to the start.
TEST_F(DecodeAheadTest, DecodingAheadBesideTheStripsPicturesAndJumpsGivesTheSameFrames)
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

// A build that places the storyboard's first scene starts its photo decoding for the export that
// follows: that export takes the decode as its own; one split among worker processes, or starting
// past the first scene, drops it first. Either way every frame is the one decoding in turn gives.
TEST_F(DecodeAheadTest, TheExportAfterABuildTakesItsFirstPhotoDecodedAheadOrDropsIt)
{
    // The build puts scene 2's clip in front as well, as the tool's builds add their scenes.
    uint32_t clip = 0;
    for (const hxhost::SceneBinItem& item : hxhost::sceneBinItems())
        if (item.id == board_.scenes[2].clipItem)
            clip = item.record;
    ASSERT_NE(clip, 0u);
    auto build = [clip] {
        hxhost::decodeFirstSceneAhead(true);
        SBScene* added = nslSBAllocScene();
        ASSERT_EQ(nslSBAddScene(nullptr, clip, added), 0);
        nslSBFreeScene(added);
        ASSERT_EQ(nslSBCompleteRange(0, nslSBGetLength(0) - 1), 0);
    };
    build();
    ASSERT_EQ(hxhost::storyboard().scenes.front().clipItem, board_.scenes[2].clipItem);
    std::map<std::string, size_t> taken, inTurn;
    const std::string withDecodeAhead = exported("taken", 2, 0, taken);
    hxhost::decodeFirstSceneAhead(false);
    EXPECT_EQ(withDecodeAhead, exported("in-turn", 2, 0, inTurn));
    // Taken, the decode ahead is the export's own: no photo decodes once more.
    EXPECT_EQ(taken, inTurn);
    const std::string firstPhoto = home() + "/projects/project0/media/p2.jpg"; // scene 2's, imported third
    ASSERT_EQ(taken.count(firstPhoto), 1u);
    for (const auto& [threads, from] : {std::pair{4, 0}, std::pair{2, 10}}) {
        std::map<std::string, size_t> dropped, plain;
        build();
        const std::string afterDrop = exported("dropped", threads, from, dropped);
        hxhost::decodeFirstSceneAhead(false);
        EXPECT_EQ(afterDrop, exported("plain", threads, from, plain)) << threads << " threads from " << from;
        // Dropped, it was a decode all the same, and counts as one. (Worker processes share out
        // the scenes as they come free, so how often they decode a photo varies.)
        ++plain[firstPhoto];
        if (threads == 2) {
            EXPECT_EQ(dropped, plain) << "from " << from;
        }
    }
}

} // namespace
