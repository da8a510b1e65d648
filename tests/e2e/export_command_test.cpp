// stillset-host export: a storyboard built by the slideshow tool from generated photos, played into
// Y4M, MP4 and MKV files and read back; stopped exports leave nothing; bad arguments are refused.
#include "program_run.h"
#include "support/audio_files.h"
#include "support/media_probe.h"
#include "support/picture_files.h"
#include "support/test_home.h"
#include "support/tool_settings.h"

#include "hxhost/export.h"
#include "hxhost/storyboard.h"
#include "hxhost/transitions.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

namespace {

class ExportCommandTest : public HostTest {
protected:
    // Three photos of distinct colours, 2 seconds each, made into a storyboard by the tool's create
    // button with these transitions and pans.
    void buildShow(std::vector<std::string> transitions, std::vector<uint32_t> pans, bool jingle = false)
    {
        ToolChoices choices;
        choices.durationCode = 1;
        choices.transitions = std::move(transitions);
        choices.panModes = std::move(pans);
        if (jingle) {
            Tone tone;
            tone.seconds = 0.2;
            tone.frequency = 1000;
            choices.jingleFile = home() + "/jingle.wav";
            ASSERT_EQ(writeTone(choices.jingleFile, tone), "");
        }
        writeToolSettings(home() + "/programs/stillset/project1", choices);
        const std::string photos = home() + "/photos";
        std::filesystem::create_directories(photos);
        for (int i = 0; i < 3; ++i)
            writeJpeg(photos + "/p" + std::to_string(i) + ".jpg", 640, 480, {}, [i](int x, int y, uint8_t* rgb) {
                rgb[0] = static_cast<uint8_t>(i == 0 ? 220 : 30);
                rgb[1] = static_cast<uint8_t>(i == 1 ? 220 : (x / 4) % 256);
                rgb[2] = static_cast<uint8_t>(i == 2 ? 220 : (y / 4) % 256);
            });
        writeFile(home() + "/create.session", "answer yes\npress \"Create slideshow\"\n");
        const ProgramRun made = run(kHost + " session --hxhome " + home() + " --project 0 --import " + photos +
                                    " --script " + home() + "/create.session");
        ASSERT_EQ(made.status, 0) << made.output;
        hxhost::setProjectNumber(0);
        std::string error;
        ASSERT_TRUE(hxhost::openProject(&error)) << error;
        board_ = hxhost::storyboard();
        ASSERT_EQ(board_.scenes.size(), 3u);
        for (size_t i = 0; i < 2; ++i)
            ASSERT_EQ(board_.scenes[i].transition.has_value(), !choices.transitions.empty());
        ASSERT_EQ(board_.scenes[0].effect.has_value(), !choices.panModes.empty());
    }

    std::string exportTo(const std::string& output, const std::string& options = "") const
    {
        return kHost + " export --hxhome " + home() + " --project 0 -o " + output + " " + options;
    }

    hxhost::Storyboard board_;
};

// Whether an export's part file (named after its output, "<name>.xxxxxx.part") is in `folder`.
bool hasPartFile(const std::string& folder, const std::string& name)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string file = entry.path().filename().string();
        if (file.rfind(name + ".", 0) == 0 && entry.path().extension() == ".part")
            return true;
    }
    return false;
}

// The luma of a frame's pixel in a Y4M file after its header.
int lumaAt(const std::string& y4m, size_t headerBytes, int frame, int x, int y)
{
    const size_t frameBytes = 6 + 720 * 576 * 3 / 2;
    return static_cast<uint8_t>(y4m[headerBytes + static_cast<size_t>(frame) * frameBytes + 6 + static_cast<size_t>(y) * 720 + x]);
}

TEST_F(ExportCommandTest, Y4mHoldsEveryFrameWithDissolvesBetweenPlainScenes)
{
    buildShow({"transition/dissolve"}, {});
    const std::string out = home() + "/show.y4m";
    const ProgramRun exported = run(exportTo(out, "--fade 0"));
    ASSERT_EQ(exported.status, 0) << exported.output;
    EXPECT_FALSE(hasPartFile(home(), std::filesystem::path(out).filename().string()));
    const std::string y4m = readFile(out);
    // This host's PAL shows the bottom field first.
    const std::string header = "YUV4MPEG2 W720 H576 F25:1 Ib A16:15 C420jpeg\n";
    ASSERT_EQ(y4m.substr(0, header.size()), header);
    const size_t frameBytes = 6 + 720 * 576 * 3 / 2;
    EXPECT_EQ((y4m.size() - header.size()) / frameBytes, static_cast<size_t>(board_.length));
    EXPECT_EQ((y4m.size() - header.size()) % frameBytes, 0u);
    // The sound beside it lasts as long as the pictures.
    EXPECT_EQ(readFile(home() + "/show.wav").size(), 44u + static_cast<size_t>(board_.length) * 1920 * 4);
    // A plain scene shows the same finished frame throughout.
    EXPECT_EQ(lumaAt(y4m, header.size(), 0, 360, 100), lumaAt(y4m, header.size(), 10, 360, 100));
    // Inside the dissolve each field mixes the two still scenes by its own position: row 101 is of
    // the bottom field, the first in time.
    const int frames = board_.scenes[0].transition->length;
    const int start = board_.scenes[1].position;
    int checked = 0;
    for (int x = 20; x < 700; x += 40) {
        const int from = lumaAt(y4m, header.size(), start - 1, x, 101);
        const int to = lumaAt(y4m, header.size(), start + frames, x, 101);
        if (std::abs(from - to) < 20)
            continue; // the photos look alike here
        ++checked;
        for (int t : {1, frames / 2, frames - 2}) {
            const bool instants = hxhost::findTransition("dissolve")->flags & hxhost::kOperatorFieldInstants;
            const double p = hxhost::transitionFieldPosition(t, 0, frames, instants);
            EXPECT_NEAR(lumaAt(y4m, header.size(), start + t, x, 101), from + (to - from) * p, 2.0) << t;
        }
    }
    EXPECT_GT(checked, 3);
}

// Each export writes a part file of its own, created new beside the output: a user's file that only
// has the part's old name is left alone, two exports to one name at once each finish a whole file,
// and the part's name stays short where the output's name is as long as names may be.
TEST_F(ExportCommandTest, PartFilesAreEachExportsOwnAndShort)
{
    buildShow({}, {});
    std::filesystem::copy(home() + "/projects/project0", home() + "/projects/project1",
                          std::filesystem::copy_options::recursive);
    const std::string folder = home() + "/out";
    std::filesystem::create_directories(folder);
    const std::string out = folder + "/show.y4m";
    writeFile(out + ".part", "the user's own");
    const std::string range = " --from 0 --to 3 > /dev/null 2>&1; echo $? >> " + home() + "/codes) & ";
    const std::string second = kHost + " export --hxhome " + home() + " --project 1 -o " + out;
    const ProgramRun both = run("(" + exportTo(out) + range + "(" + second + range + "wait");
    ASSERT_EQ(both.status, 0);
    EXPECT_EQ(readFile(home() + "/codes"), "0\n0\n");
    EXPECT_EQ(readFile(out + ".part"), "the user's own");
    const size_t frameBytes = 6 + 720 * 576 * 3 / 2;
    EXPECT_EQ(readFile(out).size(), std::string("YUV4MPEG2 W720 H576 F25:1 Ib A16:15 C420jpeg\n").size() + 3 * frameBytes);

    const std::string longest = folder + "/" + std::string(251, 'n') + ".mkv";
    const ProgramRun written = run(exportTo(longest, "--from 0 --to 3"));
    EXPECT_EQ(written.status, 0) << written.output;
    EXPECT_TRUE(fileExists(longest));
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        left.insert(entry.path().string());
    EXPECT_EQ(left, (std::set<std::string>{out, out + ".part", folder + "/show.wav", longest}));
}

TEST_F(ExportCommandTest, PanScenesMoveAndARangeIsWritten)
{
    buildShow({"transition/wipe"}, {0, 1});
    const std::string out = home() + "/pan.y4m";
    const ProgramRun exported = run(exportTo(out, "--to 40"));
    ASSERT_EQ(exported.status, 0) << exported.output;
    const std::string y4m = readFile(out);
    const size_t headerBytes = y4m.find('\n') + 1;
    EXPECT_EQ((y4m.size() - headerBytes) / (6 + 720 * 576 * 3 / 2), 40u);
    int moved = 0;
    for (int x = 20; x < 700; x += 20)
        moved += std::abs(lumaAt(y4m, headerBytes, 0, x, 300) - lumaAt(y4m, headerBytes, 39, x, 300));
    EXPECT_GT(moved, 0);
}

TEST_F(ExportCommandTest, Mp4AndMkvReadBackWithTheShowsLengthAndJingles)
{
    buildShow({"transition/dissolve", "transition/push"}, {0, 2}, true);
    for (const std::string name : {"/show.mp4", "/show.mkv"}) {
        const ProgramRun exported = run(exportTo(home() + name, "--preset ultrafast --threads 2 --fade 0 --loudness off"));
        ASSERT_EQ(exported.status, 0) << exported.output;
        const MediaInfo info = probeMedia(home() + name);
        EXPECT_EQ(info.videoCodec, name == "/show.mp4" ? "h264" : "ffv1");
        EXPECT_EQ(info.width, 720);
        EXPECT_EQ(info.height, 576);
        EXPECT_EQ(info.videoFrames, board_.length);
        EXPECT_EQ(info.fieldOrder, "bb");
        EXPECT_EQ(info.aspectNumerator * 15, info.aspectDenominator * 16);
        EXPECT_EQ(info.audioRate, 48000);
        EXPECT_NEAR(info.audioSeconds, board_.length / 25.0, 0.05);
    }
    // Without music the jingle sounds from each transition's first frame and nowhere else.
    const std::vector<float> sound = decodedSound(home() + "/show.mkv");
    auto energy = [&](double from, double seconds) {
        double sum = 0;
        const auto begin = static_cast<size_t>(from * 48000), end = static_cast<size_t>((from + seconds) * 48000);
        for (size_t i = begin; i < end && i < sound.size(); ++i)
            sum += sound[i] * sound[i];
        return sum / static_cast<double>(end - begin);
    };
    for (size_t i = 1; i < board_.scenes.size(); ++i) {
        const double start = board_.scenes[i].position / 25.0;
        EXPECT_GT(energy(start, 0.15), 0.05) << i;
        EXPECT_EQ(energy(start - 0.3, 0.29), 0.0) << i;
    }
    EXPECT_EQ(energy(0, board_.scenes[1].position / 25.0 - 0.01), 0.0);
}

TEST_F(ExportCommandTest, EveryThreadCountMakesTheSameFramesAsOneThread)
{
    buildShow({"transition/wipe", "transition/dissolve"}, {0, 3});
    const std::string one = home() + "/one.y4m";
    // Frames 20 to 79 hold both transitions and parts of every scene. Two and three threads split
    // each picture's rows and decode the next still ahead; four are two render workers of two.
    ASSERT_EQ(run(exportTo(one, "--threads 1 --from 20 --to 80")).status, 0);
    for (const char* threads : {"2", "3", "4"}) {
        const std::string several = home() + "/several.y4m";
        const ProgramRun exported = run(exportTo(several, std::string("--from 20 --to 80 --threads ") + threads));
        ASSERT_EQ(exported.status, 0) << exported.output;
        EXPECT_TRUE(readFile(several) == readFile(one)) << threads << " threads";
    }
}

TEST_F(ExportCommandTest, AFailureOrAStopPartWayLeavesNoFile)
{
    buildShow({"transition/dissolve"}, {1});
    const std::string out = home() + "/cut.mp4";
    // A service failing part-way through the render: the pan operator cannot make its frames.
    hxhost::failService("opAllocImage", 30, true);
    hxhost::ExportSettings settings;
    settings.output = out;
    settings.encoder.preset = "ultrafast";
    std::string error;
    EXPECT_FALSE(hxhost::exportStoryboard(settings, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fileExists(out));
    EXPECT_FALSE(hasPartFile(home(), std::filesystem::path(out).filename().string()));
    hxhost::clearFaults();
    // Stopped from outside after a few frames.
    int64_t seen = 0;
    settings.progress = [&](int64_t done, int64_t) { seen = done; };
    settings.stop = [&] { return seen >= 10; };
    EXPECT_FALSE(hxhost::exportStoryboard(settings, &error));
    EXPECT_EQ(seen, 10);
    EXPECT_FALSE(fileExists(out));
    EXPECT_FALSE(hasPartFile(home(), std::filesystem::path(out).filename().string()));
    EXPECT_EQ(hxhost::liveCounts().images, 0);
    // Ctrl-C on the program.
    const pid_t child = fork();
    if (child == 0) {
        execl(kHost.c_str(), kHost.c_str(), "export", "--hxhome", home().c_str(), "--project", "0", "-o",
              (home() + "/signal.mkv").c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int i = 0; i < 200 && !hasPartFile(home(), "signal.mkv"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << "the status of an interrupted command";
    EXPECT_FALSE(fileExists(home() + "/signal.mkv"));
    EXPECT_FALSE(hasPartFile(home(), "signal.mkv"));
}

// A missing or broken file under a scene is named with the scene, its clip and its photo file.
TEST_F(ExportCommandTest, ADamagedClipOrPhotoIsNamedWithItsScene)
{
    buildShow({}, {3});
    const std::string project = home() + "/projects/project0/";
    auto mediaOf = [](uint32_t item) {
        for (const hxhost::SceneBinItem& binItem : hxhost::sceneBinItems())
            if (binItem.id == item)
                return binItem.media;
        return std::string();
    };
    auto photoOf = [&](size_t scene) {
        hxhost::PhotoClip clip;
        EXPECT_TRUE(hxhost::photoClipOf(board_.scenes[scene].clipItem, clip));
        return project + mediaOf(clip.sourceItem);
    };
    auto exportScene = [&](size_t scene) {
        const int32_t from = board_.scenes[scene].position;
        return run(exportTo("/dev/null", "--from " + std::to_string(from) + " --to " + std::to_string(from + 2)));
    };
    auto expectNamed = [&](const ProgramRun& result, size_t scene, const std::string& problem) {
        EXPECT_EQ(result.status, 1) << result.output;
        const std::string clipFile = project + mediaOf(board_.scenes[scene].clipItem);
        for (const std::string& part : {"scene " + std::to_string(scene + 1) + ": clip \"p" + std::to_string(scene) +
                                            " SL\" (" + clipFile + ")",
                                        problem})
            EXPECT_NE(result.output.find(part), std::string::npos) << part << "\n" << result.output;
    };

    const std::string firstPhoto = photoOf(0), keptPhoto = readFile(firstPhoto);
    std::filesystem::remove(firstPhoto);
    expectNamed(exportScene(0), 0, "of the photo " + firstPhoto + ": the photo file is missing");
    writeFile(firstPhoto, keptPhoto);

    const std::string secondPhoto = photoOf(1);
    writeFile(secondPhoto, "this is no photo at all");
    expectNamed(exportScene(1), 1, "of the photo " + secondPhoto + ": the photo file cannot be decoded");

    const std::string thirdClip = project + mediaOf(board_.scenes[2].clipItem);
    writeFile(thirdClip, "HXPC");
    expectNamed(exportScene(2), 2, ": the clip file is damaged");
}

// The state letter and parent of a process, from /proc/PID/stat; state 0 when it is gone.
struct ProcessStat {
    char state = 0;
    int parent = 0;
};

ProcessStat statOf(const std::string& pid)
{
    const std::string stat = readFile("/proc/" + pid + "/stat");
    // pid (comm) state ppid ...: the name may hold spaces, so read on from its last ')'.
    const size_t close = stat.rfind(')');
    ProcessStat read;
    if (close == std::string::npos || std::sscanf(stat.c_str() + close + 1, " %c %d", &read.state, &read.parent) != 2)
        return {};
    return read;
}

bool running(pid_t pid)
{
    const char state = statOf(std::to_string(pid)).state;
    return state != 0 && state != 'Z';
}

// The running processes whose parent is `parent`.
std::vector<pid_t> childrenOf(pid_t parent)
{
    std::vector<pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") == std::string::npos && statOf(name).parent == parent &&
            running(std::stoi(name)))
            children.push_back(std::stoi(name));
    }
    return children;
}

TEST_F(ExportCommandTest, RenderWorkersGoWhenTheHostIsKilled)
{
    buildShow({"transition/dissolve"}, {1, 0});
    const std::string out = home() + "/killed.mkv";
    const pid_t host = fork();
    if (host == 0) {
        execl(kHost.c_str(), kHost.c_str(), "export", "--hxhome", home().c_str(), "--project", "0", "--threads", "4", "-o",
              out.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // The workers are forked before the file is begun.
    for (int i = 0; i < 5000 && !hasPartFile(home(), "killed.mkv"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    const std::vector<pid_t> workers = childrenOf(host);
    kill(host, SIGKILL);
    waitpid(host, nullptr, 0);
    ASSERT_FALSE(fileExists(out)) << "the export ended before it could be killed";
    EXPECT_EQ(workers.size(), 2u);
    for (pid_t worker : workers) {
        for (int i = 0; i < 250 && running(worker); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_FALSE(running(worker)) << "worker " << worker << " outlived its host";
        if (running(worker))
            kill(worker, SIGKILL); // so that it does not hold the test's output open
    }
}

TEST_F(ExportCommandTest, BadArgumentsGetOneLineAndAFailingStatus)
{
    for (const std::string& options :
         {std::string("--project 0 -o x.mp4"), "--hxhome " + home() + " --project 0",
          "--hxhome " + home() + " --project 0 -o x.mp4 --threads lots",
          "--hxhome " + home() + " --project 0 -o x.mp4 --standard ntsc",
          "--hxhome " + home() + " --project 0 -o " + home() + "/x.avi",
          "--hxhome " + home() + " --project 0 -o " + home() + "/x.mp4"}) {
        const ProgramRun bad = run(kHost + " export " + options);
        EXPECT_NE(bad.status, 0) << options;
        EXPECT_EQ(std::count(bad.output.begin(), bad.output.end(), '\n'), 1) << bad.output;
    }
    EXPECT_NE(run(kHost + " export --hxhome " + home() + " --project 0 -o " + home() + "/x.mp4").output.find("empty"),
              std::string::npos);
}

} // namespace
