// The host's modules beside libhx: FFmpeg and SDL2 are loaded only by the runs that decode sound,
// encode video or open a window, and a run whose module is missing says so and writes nothing.
#include "program_run.h"
#include "support/audio_files.h"
#include "support/picture_files.h"
#include "support/test_home.h"

#include <filesystem>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class HostModulesTest : public HostTest {
protected:
    // Two small photos in "photos".
    std::string photoFolder()
    {
        const std::string folder = home() + "/photos";
        fs::create_directories(folder);
        for (const char* name : {"/a.jpg", "/b.jpg"})
            writeJpeg(folder + name, 160, 120, {}, [](int x, int y, uint8_t* rgb) { rgb[0] = rgb[1] = rgb[2] = static_cast<uint8_t>(x + y); });
        return folder;
    }

    // A copy of the build's installation in "moved", without the modules named; the command to run
    // its host program.
    std::string movedHostWithout(const std::set<std::string>& leftOut)
    {
        const fs::path moved = home() + "/moved";
        fs::create_directories(moved / "bin");
        fs::create_directories(moved / "lib");
        fs::copy_file(kHost, moved / "bin/stillset-host");
        for (const auto& entry : fs::directory_iterator(STILLSET_LIB_DIR))
            if (entry.path().extension() == ".so" && !leftOut.count(entry.path().filename()))
                fs::copy_file(entry.path(), moved / "lib" / entry.path().filename());
        fs::copy(fs::path(STILLSET_LIB_DIR) / "../share", moved / "share", fs::copy_options::recursive);
        // The program finds the libraries beside it, not the build's.
        return (moved / "bin/stillset-host").string();
    }

    std::string slideshow(const std::string& host, const std::string& output, const std::string& options = "")
    {
        return host + " slideshow " + photoFolder() + " -o " + home() + "/" + output +
               " --seconds 1 --no-transition --no-pan --preset ultrafast " + options;
    }

    void expectNothingWritten(const std::string& output)
    {
        EXPECT_FALSE(fs::exists(home() + "/" + output));
        EXPECT_FALSE(fs::exists(home() + "/" + output + ".part"));
    }
};

// Whether the dynamic loader's trace of a run (LD_DEBUG=libs) shows the library initialised.
bool loaded(const ProgramRun& run, const std::string& library)
{
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);)
        if (line.find("calling init: ") != std::string::npos && line.find(library) != std::string::npos)
            return true;
    return false;
}

TEST_F(HostModulesTest, NoLibraryIsLoadedFromTheDirectoryTheProgramIsStartedIn)
{
    // Files named as libraries the program takes from the system, which are not libraries: a
    // search path with an empty entry would make the loader try them, and fail or worse.
    const fs::path bait = home() + "/bait";
    fs::create_directories(bait);
    for (const char* name : {"libstdc++.so.6", "libm.so.6", "libc.so.6", "libjpeg.so.62", "libhx.so"})
        writeFile((bait / name).string(), "not a library");
    const ProgramRun help = run("cd " + bait.string() + " && " + kHost + " --help");
    EXPECT_EQ(help.status, 0) << help.output;
    const ProgramRun moved = run("cd " + bait.string() + " && " + movedHostWithout({}) + " --help");
    EXPECT_EQ(moved.status, 0) << moved.output;
}

TEST_F(HostModulesTest, FfmpegAndSdlAreLoadedOnlyByTheRunsThatUseThem)
{
    const std::string traced = "LD_DEBUG=libs " + kHost;
    const ProgramRun help = run(traced + " --help");
    ASSERT_EQ(help.status, 0) << help.output;
    const ProgramRun info = run(traced + " info " + STILLSET_LIB_DIR + "/libstillset.so");
    ASSERT_EQ(info.status, 0) << info.output;
    const ProgramRun y4m = run("LD_DEBUG=libs " + slideshow(kHost, "show.y4m"));
    ASSERT_EQ(y4m.status, 0) << y4m.output;
    for (const ProgramRun* quiet : {&help, &info, &y4m})
        for (const char* library : {"libavcodec", "libavformat", "libswresample", "libSDL2", "libhx_"})
            EXPECT_FALSE(loaded(*quiet, library)) << library;

    // The trace does show them where they are used.
    const ProgramRun mp4 = run("LD_DEBUG=libs " + slideshow(kHost, "show.mp4"));
    ASSERT_EQ(mp4.status, 0) << mp4.output;
    for (const char* library : {"libhx_media.so", "libavcodec", "libavformat"})
        EXPECT_TRUE(loaded(mp4, library)) << library;
    EXPECT_FALSE(loaded(mp4, "libSDL2"));
}

TEST_F(HostModulesTest, WithoutTheMediaModuleEncodingAndSoundFailClearlyAndY4mStillWorks)
{
    const std::string host = movedHostWithout({"libhx_media.so"});
    const ProgramRun mp4 = run(slideshow(host, "show.mp4"));
    EXPECT_EQ(mp4.status, 1) << mp4.output;
    EXPECT_NE(mp4.output.find("cannot load the video encoder: "), std::string::npos) << mp4.output;
    EXPECT_NE(mp4.output.find("libhx_media.so"), std::string::npos) << mp4.output;
    expectNothingWritten("show.mp4");

    Tone bell;
    bell.seconds = 0.2;
    ASSERT_EQ(writeTone(home() + "/bell.wav", bell), "");
    const ProgramRun music = run(slideshow(host, "show.y4m", "--music " + home() + "/bell.wav"));
    EXPECT_EQ(music.status, 2) << music.output;
    EXPECT_NE(music.output.find("--music: cannot load the sound decoder: "), std::string::npos) << music.output;
    expectNothingWritten("show.y4m");

    // A video the host writes itself needs no module.
    const ProgramRun y4m = run(slideshow(host, "show.y4m", "--format pal"));
    ASSERT_EQ(y4m.status, 0) << y4m.output;
    EXPECT_NE(y4m.output.find("wrote " + home() + "/show.y4m: 50 frames"), std::string::npos) << y4m.output;
    EXPECT_TRUE(fs::exists(home() + "/show.wav"));
}

TEST_F(HostModulesTest, WithoutTheWindowModuleEditingSaysSo)
{
    const std::string host = movedHostWithout({"libhx_window.so"});
    const ProgramRun edit = run(slideshow(host, "show.y4m", "--edit"));
    EXPECT_EQ(edit.status, 1) << edit.output;
    EXPECT_NE(edit.output.find("--edit: cannot load the desktop window: "), std::string::npos) << edit.output;
    expectNothingWritten("show.y4m");
}

} // namespace
