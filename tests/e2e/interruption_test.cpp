// stillset-host stopped by a signal at several moments of its work: it ends with status 130 and what is
// left on disk is what was there before, plus only what a completed step had stored. Temporaries that
// a killed process left in a project go with the next session that opens it.
#include "program_run.h"
#include "support/picture_files.h"
#include "support/test_home.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class InterruptionTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        temporary_ = home() + "/tmp";
        fs::create_directories(temporary_);
        photos_ = home() + "/photos";
        fs::create_directories(photos_);
    }

    void TearDown() override
    {
        if (program_ > 0) {
            kill(program_, SIGKILL);
            waitpid(program_, nullptr, 0);
        }
        HostTest::TearDown();
    }

    // `count` large JPEGs in the photo folder, so that importing them takes a while.
    void writePhotos(int count)
    {
        for (int i = 0; i < count; ++i)
            writeJpeg(photos_ + "/p" + std::to_string(i) + ".jpg", 2400, 1600, {}, [i](int x, int y, uint8_t* rgb) {
                rgb[0] = static_cast<uint8_t>(x * 7 + i);
                rgb[1] = static_cast<uint8_t>(y * 5);
                rgb[2] = static_cast<uint8_t>((x ^ y) + 40 * i);
            });
    }

    // Starts the host program with TMPDIR in the test's folder, its output in a log.
    void start(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> argv{kHost};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        std::vector<char*> pointers;
        for (std::string& argument : argv)
            pointers.push_back(argument.data());
        pointers.push_back(nullptr);
        std::vector<std::string> environment{"TMPDIR=" + temporary_};
        for (char** variable = environ; *variable; ++variable)
            if (std::string(*variable).rfind("TMPDIR=", 0) != 0)
                environment.emplace_back(*variable);
        std::vector<char*> envp;
        for (std::string& variable : environment)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        log_ = home() + "/program.log";
        posix_spawn_file_actions_addopen(&files, 1, log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        ASSERT_EQ(posix_spawn(&program_, pointers[0], &files, nullptr, pointers.data(), envp.data()), 0);
        posix_spawn_file_actions_destroy(&files);
    }

    // Waits until `moment` holds while the program runs, then sends it `signal`; its exit status
    // (-1 when it ended otherwise or never).
    int interruptWhen(const std::function<bool()>& moment, int signal)
    {
        bool reached = false;
        for (int tries = 0; tries < 60000 && !reached; ++tries) {
            if (waitpid(program_, nullptr, WNOHANG) == program_) {
                program_ = -1;
                ADD_FAILURE() << "the program ended before the moment came: " << readFile(log_);
                return -1;
            }
            reached = moment();
            if (!reached)
                std::this_thread::sleep_for(2ms);
        }
        EXPECT_TRUE(reached) << readFile(log_);
        kill(program_, signal);
        for (int tries = 0; tries < 1200; ++tries) {
            int status = 0;
            if (waitpid(program_, &status, WNOHANG) == program_) {
                program_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(50ms);
        }
        ADD_FAILURE() << "the program did not end after the signal: " << readFile(log_);
        return -1;
    }

    // Every file and folder under `folder`, relative to it.
    static std::set<std::string> everythingIn(const std::string& folder)
    {
        std::set<std::string> found;
        // The program may be changing the folder meanwhile.
        std::error_code error;
        for (auto entry = fs::recursive_directory_iterator(folder, error); !error && entry != fs::recursive_directory_iterator();
             entry.increment(error))
            found.insert(entry->path().lexically_relative(folder).string());
        return found;
    }

    // Whether a path under `folder` ("/" and the path from there) holds `part`.
    static bool anyFileIn(const std::string& folder, const std::string& part)
    {
        for (const std::string& path : everythingIn(folder))
            if (("/" + path).find(part) != std::string::npos)
                return true;
        return false;
    }

    // The media files the stored scene bin names (its fourth column).
    std::set<std::string> mediaNamedByTheBin() const
    {
        std::set<std::string> named;
        std::istringstream bin(readFile(home() + "/projects/project0/scenebin.txt"));
        std::string line;
        while (std::getline(bin, line)) {
            std::istringstream fields(line);
            std::string id, kind, frame, media;
            if (std::getline(fields, id, '\t') && std::getline(fields, kind, '\t') &&
                std::getline(fields, frame, '\t') && std::getline(fields, media, '\t') && media.rfind("media/", 0) == 0)
                named.insert(media.substr(6));
        }
        return named;
    }

    std::string temporary_, photos_, log_;
    pid_t program_ = -1;
};

TEST_F(InterruptionTest, SlideshowLeavesNothingWhetherStoppedInTheImportOrTheExport)
{
    writePhotos(12);
    const std::set<std::string> before = everythingIn(home());
    const std::string out = home() + "/show.y4m";
    // In the import: copies of the photos are in the temporary project.
    start({"slideshow", photos_, "-o", out});
    EXPECT_EQ(interruptWhen([&] { return anyFileIn(temporary_, "/media/p"); }, SIGINT), 130) << readFile(log_);
    EXPECT_EQ(everythingIn(temporary_), std::set<std::string>{});
    fs::remove(log_);
    EXPECT_EQ(everythingIn(home()), before);

    // In the export: the video is being written under its temporary name.
    start({"slideshow", photos_ + "/p0.jpg", photos_ + "/p1.jpg", "-o", out, "--seconds", "30"});
    EXPECT_EQ(interruptWhen([&] { return anyFileIn(home(), "/show."); }, SIGTERM), 130) << readFile(log_);
    EXPECT_EQ(everythingIn(temporary_), std::set<std::string>{});
    fs::remove(log_);
    EXPECT_EQ(everythingIn(home()), before);
}

TEST_F(InterruptionTest, PanAndRenderPhotoLeaveNeitherOutputNorTemporaryFolder)
{
    writePhotos(1);
    const std::string photo = photos_ + "/p0.jpg";
    const std::set<std::string> before = everythingIn(home());

    start({"pan", photo, "-o", home() + "/pan.y4m", "--preset", "0", "--seconds", "600"});
    EXPECT_EQ(interruptWhen([&] { return anyFileIn(home(), "/pan."); }, SIGINT), 130) << readFile(log_);
    fs::remove(log_);
    EXPECT_EQ(everythingIn(home()), before);

    // Rendering the full picture of a large photo, stopped once its temporary installation is made.
    start({"render-photo", photo, "-o", home() + "/photo.png", "--full"});
    EXPECT_EQ(interruptWhen([&] { return !fs::is_empty(temporary_); }, SIGHUP), 130) << readFile(log_);
    fs::remove(log_);
    EXPECT_EQ(everythingIn(home()), before);
}

TEST_F(InterruptionTest, SessionImportKeepsOnlyWhatTheStoredBinNames)
{
    writePhotos(12);
    const std::string media = home() + "/projects/project0/media";
    start({"session", "--hxhome", home(), "--project", "0", "--import", photos_});
    EXPECT_EQ(interruptWhen([&] { return everythingIn(media).size() >= 3; }, SIGINT), 130) << readFile(log_);
    EXPECT_EQ(everythingIn(media), mediaNamedByTheBin()) << "every copy the bin names, and no other";
    EXPECT_FALSE(anyFileIn(home(), ".tmp")) << "no temporary";
    EXPECT_EQ(everythingIn(temporary_), std::set<std::string>{});
}

TEST_F(InterruptionTest, TheNextSessionRemovesOnlyTheTemporariesOfProcessesThatAreGone)
{
    // A process id that is surely free: one of a process that has ended.
    pid_t ended = 0;
    char* const argv[] = {const_cast<char*>("true"), nullptr};
    ASSERT_EQ(posix_spawnp(&ended, "true", nullptr, nullptr, argv, environ), 0);
    ASSERT_EQ(waitpid(ended, nullptr, 0), ended);
    const std::string project = home() + "/projects/project0", tool = home() + "/programs/stillset/project1";
    fs::create_directories(project + "/media");
    fs::create_directories(tool);
    const std::string gone = ".tmp" + std::to_string(ended), running = ".tmp" + std::to_string(getpid());
    for (const std::string& path : {project + "/scenebin.txt" + gone, project + "/media/p.jpg" + gone,
                                    tool + "/photos.hxl" + gone, project + "/scenebin.txt" + running,
                                    project + "/media/notes.tmp"})
        writeFile(path, "left behind");

    const ProgramRun session = run(kHost + " session --hxhome " + home() + " --project 0");
    ASSERT_EQ(session.status, 0) << session.output;
    EXPECT_FALSE(fileExists(project + "/scenebin.txt" + gone));
    EXPECT_FALSE(fileExists(project + "/media/p.jpg" + gone));
    EXPECT_FALSE(fileExists(tool + "/photos.hxl" + gone));
    EXPECT_TRUE(fileExists(project + "/scenebin.txt" + running)) << "a running process's temporary stays";
    EXPECT_TRUE(fileExists(project + "/media/notes.tmp")) << "a file merely named so stays";
}

} // namespace
