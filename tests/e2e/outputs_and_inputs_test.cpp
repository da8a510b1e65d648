// The files a command reads are safe from what it writes: an output that is an input is refused
// before any work, whatever its name; a pipe or device named as a photo or sound is refused at once
// rather than waited on; what is written follows the umask.
#include "program_run.h"
#include "support/audio_files.h"
#include "support/picture_files.h"
#include "support/test_home.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace {

class OutputsAndInputsTest : public HostTest {
protected:
    // A small JPEG photo under `name` in the test's home, whatever its extension says.
    std::string photo(const std::string& name) const
    {
        const std::string path = home() + "/" + name;
        writeJpeg(path, 160, 120, {}, [](int x, int y, uint8_t* rgb) {
            rgb[0] = static_cast<uint8_t>(x);
            rgb[1] = static_cast<uint8_t>(y);
            rgb[2] = 90;
        });
        return path;
    }

    std::string tone(const std::string& name) const
    {
        Tone sound;
        sound.seconds = 0.3;
        const std::string path = home() + "/" + name;
        EXPECT_EQ(writeTone(path, sound), "");
        return path;
    }

    // Bounded, so that a command waiting for ever fails the test instead of hanging it.
    static ProgramRun host(const std::string& arguments) { return run("timeout 60 " + kHost + " " + arguments); }
};

mode_t modeOf(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST_F(OutputsAndInputsTest, AnOutputThatIsAnInputIsRefusedBeforeAnyWorkWhateverItsName)
{
    const std::string a = photo("a.png"), c = photo("c.y4m"), p = photo("p.mkv"), folder = home() + "/photos";
    std::filesystem::create_directories(folder);
    const std::string inFolder = photo("photos/q.jpg");
    const std::string song = tone("song.wav"), jingle = tone("j.wav");
    ASSERT_EQ(symlink(a.c_str(), (home() + "/link.png").c_str()), 0);
    const struct {
        std::string arguments, input;
    } cases[] = {
        {"render-photo " + a + " -o " + a, a},
        {"render-photo " + a + " -o " + home() + "/link.png", a},
        {"pan " + c + " -o " + c + " --preset 0 --seconds 0.2", c},
        {"slideshow " + a + " -o " + home() + "/song.y4m --music " + song, song},
        {"slideshow " + a + " -o " + home() + "/j.y4m --jingle " + jingle, jingle},
        {"slideshow " + p + " -o " + p, p},
        {"slideshow " + folder + " -o " + folder + "/q.jpg.mkv --no-pan", ""},
    };
    std::rename(inFolder.c_str(), (folder + "/q.jpg.mkv").c_str());
    for (const auto& refusal : cases) {
        const std::string input = refusal.input.empty() ? folder + "/q.jpg.mkv" : refusal.input;
        const std::string before = readFile(input);
        const ProgramRun refused = host(refusal.arguments);
        EXPECT_EQ(refused.status, 2) << refusal.arguments << ": " << refused.output;
        EXPECT_NE(refused.output.find("is also an input"), std::string::npos) << refused.output;
        EXPECT_EQ(readFile(input), before) << refusal.arguments;
    }

    // The commands that write one kind of file take only that kind.
    for (const std::string& arguments : {"render-photo " + a + " -o " + home() + "/out.jpg",
                                         "pan " + a + " -o " + home() + "/out.png --preset 0"}) {
        const ProgramRun refused = host(arguments);
        EXPECT_EQ(refused.status, 2) << arguments << ": " << refused.output;
        EXPECT_NE(refused.output.find("-o takes a ."), std::string::npos) << refused.output;
    }
    EXPECT_FALSE(fileExists(home() + "/out.jpg"));
    EXPECT_FALSE(fileExists(home() + "/out.png"));
}

TEST_F(OutputsAndInputsTest, APipeNamedAsAPhotoIsRefusedAtOnce)
{
    const std::string pipe = home() + "/pipe.jpg";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const ProgramRun rendered = host("render-photo " + pipe + " -o " + home() + "/out.png");
    EXPECT_EQ(rendered.status, 1) << rendered.output;
    EXPECT_NE(rendered.output.find("pipe.jpg: it is not a regular file"), std::string::npos) << rendered.output;

    const ProgramRun shown = host("slideshow " + pipe + " -o " + home() + "/show.mp4");
    EXPECT_EQ(shown.status, 1) << shown.output;
    EXPECT_NE(shown.output.find("skipped " + pipe + ": it is not a regular file"), std::string::npos) << shown.output;

    const ProgramRun session = host("session --hxhome " + home() + "/h --project 0 --import " + pipe + " --import " +
                                    photo("real.jpg"));
    EXPECT_EQ(session.status, 0) << session.output;
    EXPECT_NE(session.output.find("skipped " + pipe + ": it is not a regular file"), std::string::npos)
        << session.output;
}

TEST_F(OutputsAndInputsTest, PicturesAndStoredFilesFollowTheUmask)
{
    const std::string a = photo("a.jpg"), store = home() + "/h";
    const ProgramRun rendered = run("umask 022 && " + kHost + " render-photo " + a + " -o " + home() + "/out.png");
    ASSERT_EQ(rendered.status, 0) << rendered.output;
    EXPECT_EQ(modeOf(home() + "/out.png"), 0644u);
    const ProgramRun session =
        run("umask 027 && " + kHost + " session --hxhome " + store + " --project 0 --import " + a);
    ASSERT_EQ(session.status, 0) << session.output;
    for (const char* stored : {"/projects/project0/scenebin.txt", "/programs/stillset/project1/slset.dat",
                               "/programs/stillset/project1/photos.hxl"})
        EXPECT_EQ(modeOf(store + stored), 0640u) << stored;
}

} // namespace
