// stillset-host slideshow: a folder of generated photos (and one broken file) made into a video in
// one command, the kept project holding what the tool built; bad arguments refused before any work.
#include "program_run.h"
#include "support/audio_files.h"
#include "support/media_probe.h"
#include "support/picture_files.h"
#include "support/test_home.h"

#include "hxhost/scene_bin.h"
#include "hxhost/setup.h"
#include "hxhost/storyboard.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

class SlideshowCommandTest : public HostTest {
protected:
    // Four photos of distinct colours in "photos", and a file there that only looks like one.
    std::string photoFolder()
    {
        const std::string folder = home() + "/photos";
        fs::create_directories(folder);
        for (int i = 0; i < 4; ++i)
            writeJpeg(folder + "/p" + std::to_string(i) + ".jpg", 320, 240, {}, [i](int x, int, uint8_t* rgb) {
                rgb[0] = static_cast<uint8_t>(60 * i);
                rgb[1] = static_cast<uint8_t>(x % 256);
                rgb[2] = 200;
            });
        writeFile(folder + "/broken.jpg", "\xFF\xD8\xFF not really a photo");
        return folder;
    }

    std::string slideshow(const std::string& arguments) const { return kHost + " slideshow " + arguments; }
};

TEST_F(SlideshowCommandTest, APhotoFolderBecomesAVideoWithTheChosenTransitionsPansAndJingle)
{
    const std::string folder = photoFolder();
    Tone bell;
    bell.seconds = 0.3;
    ASSERT_EQ(writeTone(home() + "/bell wav.wav", bell), "");
    const std::string kept = home() + "/kept";
    const ProgramRun made =
        run(slideshow(folder + " -o " + home() + "/show.mp4 --seconds 2 --transition wipe --transition dissolve"
                      " --transition-seconds 0.5 --pan 1 --jingle '" + home() + "/bell wav.wav' --hxhome " + kept +
                      " --preset ultrafast --format pal"));
    ASSERT_EQ(made.status, 0) << made.output;
    EXPECT_NE(made.output.find("skipped " + folder + "/broken.jpg"), std::string::npos) << made.output;
    EXPECT_FALSE(fs::exists(home() + "/show.mp4.part"));

    // The kept project holds what the tool built from the choices.
    hxhost::setHome(kept);
    hxhost::setProjectNumber(0);
    std::string error;
    ASSERT_TRUE(hxhost::openProject(&error)) << error;
    const hxhost::Storyboard board = hxhost::storyboard();
    ASSERT_EQ(board.scenes.size(), 4u);
    const char* expected[] = {"transition/wipe", "transition/dissolve", "transition/wipe"};
    for (size_t i = 0; i < board.scenes.size(); ++i) {
        const hxhost::StoryboardScene& scene = board.scenes[i];
        EXPECT_EQ(scene.length, 50) << "2 seconds at 25 frames a second, scene " << i;
        ASSERT_TRUE(scene.effect.has_value()) << i;
        ASSERT_EQ(scene.effect->prefs.size(), 4u);
        EXPECT_EQ(scene.effect->prefs[0], 1) << "pan preset 1 on every scene";
        if (i + 1 == board.scenes.size()) {
            EXPECT_FALSE(scene.transition.has_value());
            continue;
        }
        ASSERT_TRUE(scene.transition.has_value()) << i;
        EXPECT_EQ(scene.transition->operatorName, expected[i]);
        EXPECT_EQ(scene.transition->length, 12) << "half a second";
        EXPECT_EQ(scene.transition->jingleFile, "media/bell wav.wav");
    }

    const MediaInfo info = probeMedia(home() + "/show.mp4");
    EXPECT_EQ(info.videoCodec, "h264");
    EXPECT_EQ(info.audioCodec, "aac");
    EXPECT_EQ(info.width, 720);
    EXPECT_EQ(info.height, 576);
    EXPECT_EQ(info.videoFrames, board.length);
    EXPECT_EQ(board.length, 4 * 50 - 3 * 12);
    EXPECT_NEAR(info.audioSeconds, board.length / 25.0, 0.05);

    // The kept project is the tool's now: a second slideshow into it is refused and changes nothing.
    const std::string list = kept + "/programs/stillset/project1/slset.dat";
    const std::string before = readFile(list);
    const ProgramRun again = run(slideshow(folder + " -o " + home() + "/again.mp4 --hxhome " + kept));
    EXPECT_EQ(again.status, 2);
    EXPECT_NE(again.output.find("already has the tool's photo list"), std::string::npos) << again.output;
    EXPECT_EQ(readFile(list), before);
    EXPECT_FALSE(fs::exists(home() + "/again.mp4"));
}

// What people share: without options the show is progressive 1080p at 30 frames a second, H.264
// High at a level phones play, tagged BT.709, its index before its pictures.
TEST_F(SlideshowCommandTest, TheDefaultIsAProgressive1080pMp4ForPhonesAndTheWeb)
{
    const std::string out = home() + "/show.mp4";
    const ProgramRun made = run(slideshow(photoFolder() + " -o " + out + " --seconds 1 --transition-seconds 0.2 --no-pan"));
    ASSERT_EQ(made.status, 0) << made.output;
    const MediaInfo info = probeMedia(out);
    EXPECT_EQ(info.width, 1920);
    EXPECT_EQ(info.height, 1080);
    EXPECT_EQ(info.fieldOrder, "progressive");
    EXPECT_EQ(info.interlacedFrames, 0);
    EXPECT_EQ(info.rateNumerator, 30);
    EXPECT_EQ(info.rateDenominator, 1);
    EXPECT_EQ(info.profile, "High");
    EXPECT_EQ(info.level, 41);
    EXPECT_EQ(info.pixelFormat, "yuv420p");
    EXPECT_EQ(info.colourPrimaries, "bt709");
    EXPECT_EQ(info.colourTransfer, "bt709");
    EXPECT_EQ(info.codecTag, "avc1");
    // Four photos of 30 frames joined by 6-frame dissolves.
    EXPECT_EQ(info.videoFrames, 4 * 30 - 3 * 6);
    EXPECT_NE(made.output.find("wrote " + out + ": 102 frames"), std::string::npos) << made.output;
    const auto boxes = topLevelBoxes(out);
    EXPECT_LT(std::find(boxes.begin(), boxes.end(), "moov"), std::find(boxes.begin(), boxes.end(), "mdat"));
}

TEST_F(SlideshowCommandTest, DefaultsRoundingAndATemporaryProjectThatGoes)
{
    const std::string folder = photoFolder();
    const std::string temporary = home() + "/tmp";
    fs::create_directories(temporary);
    const ProgramRun made = run("TMPDIR=" + temporary + " " +
                                slideshow(folder + " -o " + home() + "/show.y4m --seconds 1.4 --transition-seconds 0.3 --format pal"));
    ASSERT_EQ(made.status, 0) << made.output;
    EXPECT_NE(made.output.find("a photo's time of 1.4 is not on offer; using 1 s"), std::string::npos) << made.output;
    EXPECT_NE(made.output.find("a transition's length of 0.3 is not on offer; using 0.2 s"), std::string::npos);
    // Four photos of 1 second with 5-frame dissolves between them.
    EXPECT_NE(made.output.find("wrote " + home() + "/show.y4m: 85 frames"), std::string::npos) << made.output;
    EXPECT_TRUE(fs::exists(home() + "/show.wav"));
    EXPECT_TRUE(fs::is_empty(temporary)) << "the temporary host project is removed";

    const ProgramRun list = run(slideshow("--transition list"));
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.output, "dissolve\nfade\nwipe\npush\niris\nclock\n");
}

TEST_F(SlideshowCommandTest, OnATerminalEachStageEndsOnAFullBarOfItsOwnLine)
{
    const std::string folder = photoFolder();
    const std::string command = slideshow(folder + " -o " + home() + "/show.y4m --seconds 1 --format pal");
    // script(1) gives the program a terminal; what it drew comes back with the terminal's line ends.
    const ProgramRun shown = run("script -qec '" + command + "' /dev/null");
    ASSERT_EQ(shown.status, 0) << shown.output;
    const std::string full(30, '#');
    for (const std::string& last : {"importing [" + full + "] 5/5", "Rendering photos... [" + full + "] 4/4",
                                    "exporting [" + full + "] 82/82 frames"}) {
        const size_t at = shown.output.rfind(last);
        ASSERT_NE(at, std::string::npos) << last << " in\n" << shown.output;
        const size_t lineEnd = shown.output.find('\n', at);
        ASSERT_NE(lineEnd, std::string::npos) << last;
        EXPECT_EQ(shown.output.find('\r', at), lineEnd - 1) << "no redraw after the full bar of " << last;
    }

    // Without a terminal there are no bars.
    const ProgramRun piped = run(command);
    ASSERT_EQ(piped.status, 0) << piped.output;
    EXPECT_EQ(piped.output.find('\r'), std::string::npos) << piped.output;
    EXPECT_EQ(piped.output.find("##"), std::string::npos) << piped.output;
}

TEST_F(SlideshowCommandTest, BadArgumentsGetOneLineAndNothingIsWritten)
{
    const std::string folder = photoFolder();
    writeFile(home() + "/notes.txt", "not a sound");
    ASSERT_EQ(mkfifo((home() + "/pipe.wav").c_str(), 0600), 0);
    const std::string out = " -o " + home() + "/show.mp4";
    const struct {
        std::string arguments, message;
    } cases[] = {
        {folder, "photos and -o OUT are required"},
        {"-o " + home() + "/show.mp4", "photos and -o OUT are required"},
        {folder + " -o " + home() + "/show.avi", "-o takes a .mp4, .webm, .mkv or .y4m file"},
        {home() + "/missing" + out, "missing: no such file or folder"},
        {folder + out + " --transition swirl", "there is no transition 'swirl'"},
        {folder + out + " --pan 5", "--pan takes a whole number from 0 to 4, not '5'"},
        {folder + out + " --pan 1 --no-pan", "--pan and --no-pan exclude each other"},
        {folder + out + " --seconds soon", "--seconds takes a number from 0.5 to 3600, not 'soon'"},
        {folder + out + " --repeat 0", "--repeat"},
        {folder + out + " --jingle " + home() + "/notes.txt", "--jingle: "},
        {folder + out + " --no-transition --jingle " + home() + "/notes.txt", "there are none"},
        {folder + out + " --music " + home() + "/notes.txt", "--music: "},
        {folder + out + " --loudness loud", "--loudness takes 'off' or LUFS from -50 to -5, not 'loud'"},
        {folder + out + " --loudness 0", "not '0'"},
        {folder + out + " --fade -1", "--fade takes a number from 0 to 30, not '-1'"},
        {folder + out + " --project 1", "--project needs --hxhome"},
        {folder + out + " --standard ntsc", "--standard takes pal or hd1080"},
        {folder + out + " --seconds 0x10", "--seconds takes a number from 0.5 to 3600, not '0x10'"},
        {folder + out + " --transition-seconds 1e0", "not '1e0'"},
        {folder + out + " --repeat 0x2", "slideshow: --repeat takes a whole number"},
        {folder + out + " --music " + home() + "/pipe.wav", "pipe.wav is not a regular file"},
        {folder + out + " --jingle " + home() + "/pipe.wav", "pipe.wav is not a regular file"},
        {folder + out + " --music " + folder, "is a folder, not a sound file"},
        {folder + out + " --music " + folder + "/p0.jpg", "--music: "},
        {folder + out + " --format 4k", "--format: the formats are pal, ntsc, 1080i, 720p"},
        {folder + out + " --format pal --fps 30", "only progressive formats take another"},
        {folder + out + " --fps 61", "--fps: a progressive format runs at 24, 25, 30"},
        {folder + out + " --format pal --standard pal", "give one"},
        {folder + out + " --crf 64", "--crf"},
        {folder + out + " --crf 20 --quality 20", "give one"},
    };
    for (const auto& c : cases) {
        const ProgramRun refused = run(slideshow(c.arguments));
        EXPECT_EQ(refused.status, 2) << c.arguments;
        EXPECT_NE(refused.output.find(c.message), std::string::npos) << c.arguments << ": " << refused.output;
        EXPECT_EQ(std::count(refused.output.begin(), refused.output.end(), '\n'), 1) << refused.output;
        EXPECT_EQ(refused.output.find("slideshow: slideshow:"), std::string::npos) << refused.output;
    }
    EXPECT_FALSE(fs::exists(home() + "/show.mp4"));

    // What the encoder refuses is found before any work: no project is made.
    const ProgramRun preset = run(slideshow(folder + out + " --preset bogus --hxhome " + home() + "/kept"));
    EXPECT_EQ(preset.status, 1);
    EXPECT_EQ(preset.output.rfind("stillset-host: slideshow: the presets of h264 are ultrafast to placebo, not 'bogus'", 0), 0u)
        << preset.output;
    EXPECT_EQ(std::count(preset.output.begin(), preset.output.end(), '\n'), 1) << preset.output;
    EXPECT_FALSE(fs::exists(home() + "/kept"));

    const ProgramRun nothing = run(slideshow(home() + "/notes.txt" + out));
    EXPECT_EQ(nothing.status, 1);
    EXPECT_NE(nothing.output.find("no photos to show"), std::string::npos) << nothing.output;

    // With --no-recurse a folder whose photos all lie in a subfolder has none, and says which it left.
    fs::create_directories(home() + "/outer");
    fs::rename(folder, home() + "/outer/photos");
    const ProgramRun flat = run(slideshow(home() + "/outer --no-recurse" + out));
    EXPECT_EQ(flat.status, 1);
    EXPECT_NE(flat.output.find("skipped " + home() + "/outer/photos: a folder (--no-recurse)"), std::string::npos)
        << flat.output;
    EXPECT_NE(flat.output.find("no photos to show"), std::string::npos);
}

// --edit wants a person at a desktop window; without a desktop it says so rather than wait for
// someone who can never see the window, and leaves no video behind.
TEST_F(SlideshowCommandTest, EditWithoutADesktopSaysSoAndWritesNothing)
{
    const std::string folder = photoFolder();
    const ProgramRun refused = run("env -u DISPLAY -u WAYLAND_DISPLAY " +
                                   slideshow(folder + " -o " + home() + "/show.mp4 --edit"));
    EXPECT_EQ(refused.status, 1) << refused.output;
    EXPECT_NE(refused.output.find("--edit: no desktop to open a window on"), std::string::npos) << refused.output;
    EXPECT_FALSE(fs::exists(home() + "/show.mp4"));
    EXPECT_FALSE(fs::exists(home() + "/show.mp4.part"));
}

} // namespace
