// Fault sweeps over what a person does with the tool: every fallible host call of an import and of
// an editing session fails once in turn. Each run ends in success or its documented failure, leaves
// no host object behind, and loses no stored photo nor changes one behind the user's back.
#include "session_fixture.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

namespace {

namespace fs = std::filesystem;

class FaultSweepTest : public PluginTest {
protected:
    // Hundreds of sessions: a small screen keeps each quick to draw.
    void SetUp() override
    {
        PluginTest::SetUp();
        ASSERT_TRUE(hxhost::setScreen(640, 480));
    }

    using Files = std::map<std::string, std::string>;

    // Every file of the tool's project directory by name.
    Files storedFiles() const
    {
        Files files;
        if (fs::exists(projectDir()))
            for (const fs::directory_entry& file : fs::directory_iterator(projectDir()))
                files[file.path().filename().string()] = readFile(file.path().string());
        return files;
    }
    void restoreFiles(const Files& files) const
    {
        fs::remove_all(projectDir());
        fs::create_directories(projectDir());
        for (const auto& [name, bytes] : files)
            writeFile(projectDir() + "/" + name, bytes);
    }

    // Runs the tool under a fresh user playing `script`, the Nth fallible call failing (0: none);
    // false once the Nth call was never reached.
    bool runFaulted(const std::string& script, uint32_t nth)
    {
        auto user = std::make_shared<hxhost::ScriptedUser>();
        std::string error;
        EXPECT_TRUE(hxhost::parseSessionScript(script, "sweep", *user, &error)) << error;
        hxhost::setUser(user);
        const uint32_t fired = hxhost::faultsFired();
        if (nth > 0)
            hxhost::failNthFallibleCall(nth);
        const int32_t result = runTool();
        hxhost::clearFaults();
        EXPECT_TRUE(result == 0 || result == -1) << result;
        expectNothingLive();
        return nth == 0 || hxhost::faultsFired() != fired;
    }

    // The stored list as the host reads it, by photo id and scene name; a list it cannot read fails.
    std::vector<std::pair<uint32_t, std::string>> storedList() const
    {
        std::vector<std::pair<uint32_t, std::string>> photos;
        ListHead list;
        ListInit(&list);
        EXPECT_EQ(nslReadStillsetProject(projectDir().c_str(), &list), 0);
        for (auto* entry = static_cast<PhotoEntry*>(ListFirst(&list)); entry; entry = static_cast<PhotoEntry*>(ListNext(entry)))
            photos.emplace_back(entry->id, nameOf(entry->source));
        nslFreeStillsetProject(projectDir().c_str(), &list, NSL_FREE_KEEP_STORED);
        return photos;
    }

    // A list whose read failed under the fault is kept aside whole; it goes back for the next run.
    void expectKeptAsideWhole(const Files& before) const
    {
        const std::string list = hxhost::photoListPath(projectDir());
        if (!fileExists(list + ".damaged"))
            return;
        EXPECT_EQ(readFile(list + ".damaged"), before.at("photos.hxl"));
        fs::rename(list + ".damaged", list);
    }
};

// Two good photos, one whose file broke after it came into the bin, and a photo grabbed from video.
TEST_F(FaultSweepTest, ImportOfGoodAndBrokenPhotos)
{
    addPhotos(3);
    writeFile(home() + "/projects/project0/media/p1.jpg", "broken");
    std::string error;
    ASSERT_NE(hxhost::addTestClip(32, 24, 4, hxhost::TestPattern::ColourBars, 1, &error), 0u) << error;
    hxhost::forgetDecodedStills();
    const std::string bin = readFile(home() + "/projects/project0/scenebin.txt");
    ASSERT_FALSE(bin.empty());

    const std::string script = "answer yes\n";
    ASSERT_TRUE(runFaulted(script, 0));
    std::vector<std::string> whole;
    for (const auto& photo : storedList())
        whole.push_back(photo.second);
    ASSERT_EQ(whole.size(), 3u) << "the broken photo is skipped";

    for (uint32_t nth = 1;; ++nth) {
        SCOPED_TRACE(nth);
        ASSERT_LT(nth, 2000u);
        fs::remove_all(projectDir());
        hxhost::forgetDecodedStills();
        if (!runFaulted(script, nth))
            break;
        EXPECT_EQ(readFile(home() + "/projects/project0/scenebin.txt"), bin) << "the import leaves the bin alone";
        if (!fileExists(hxhost::photoListPath(projectDir())))
            continue; // the session ended before it stored anything
        // What was imported is some of the photos, in the bin's order.
        std::vector<std::string> imported;
        for (const auto& photo : storedList())
            imported.push_back(photo.second);
        EXPECT_TRUE(std::includes(whole.begin(), whole.end(), imported.begin(), imported.end(),
                                  [&](const std::string& a, const std::string& b) {
                                      return std::find(whole.begin(), whole.end(), a) < std::find(whole.begin(), whole.end(), b);
                                  }));
    }
}

// A session that turns a photo, leaves it out, gives it a duration and reorders by drag and drop.
TEST_F(FaultSweepTest, EditingAndReorderingSession)
{
    addPhotos(3);
    ASSERT_TRUE(runFaulted("answer yes\n", 0));
    const Files before = storedFiles();
    const auto photos = storedList();
    ASSERT_EQ(photos.size(), 3u);

    const std::string script = "select grid 1\npress \"Turn right\"\npress \"Leave out of the slideshow\"\n"
                               "choose \"Duration\" 6\ndrag grid 2 to 0\n";
    restoreFiles(before);
    ASSERT_TRUE(runFaulted(script, 0));
    const auto edited = storedList();
    ASSERT_EQ(edited.size(), 3u);
    ASSERT_EQ(edited[0], photos[2]) << "the drag moved the third photo first";

    for (uint32_t nth = 1;; ++nth) {
        SCOPED_TRACE(nth);
        ASSERT_LT(nth, 2000u);
        restoreFiles(before);
        if (!runFaulted(script, nth))
            break;
        expectKeptAsideWhole(before);
        EXPECT_EQ(readFile(settingsPath()).size(), 72u);
        // Every photo is still there once, in the order before the drag or after it.
        const auto stored = storedList();
        EXPECT_TRUE(stored == photos || stored == edited) << stored.size();
    }
}

// Photos copied into the project and the slideshow created from them, which renders a clip of each
// into the bin: wherever the run fails, the bin reads whole on the next start, every item's file
// is there, and no file in the project's media or clips is left that no item names.
TEST_F(FaultSweepTest, ImportIntoTheBinAndCreatingTheSlideshow)
{
    const std::string project = home() + "/projects/project0";
    std::vector<std::string> paths;
    for (int i = 0; i < 2; ++i) {
        paths.push_back(home() + "/photo" + std::to_string(i) + ".jpg");
        writeJpeg(paths.back(), 32, 24, {}, [i](int x, int, uint8_t* rgb) { rgb[0] = static_cast<uint8_t>(90 * i), rgb[1] = static_cast<uint8_t>(x), rgb[2] = 9; });
    }
    const std::string script = "answer yes\npress \"Create slideshow\"\n";
    for (uint32_t nth = 0;; ++nth) {
        SCOPED_TRACE(nth);
        ASSERT_LT(nth, 3000u);
        fs::remove_all(project);
        fs::remove_all(projectDir());
        hxhost::forgetDecodedStills();
        ASSERT_TRUE(hxhost::openProject());
        const uint32_t fired = hxhost::faultsFired();
        if (nth > 0)
            hxhost::failNthFallibleCall(nth);
        for (const std::string& path : paths)
            hxhost::importStill(path);
        const bool reached = runFaulted(script, 0) && (nth == 0 || hxhost::faultsFired() != fired);
        hxhost::clearFaults();
        if (!reached)
            break;

        const size_t warnings = hxhost::warningsGiven().size();
        ASSERT_TRUE(hxhost::openProject()); // read again, as the next start does
        std::set<std::string> named;
        for (const hxhost::SceneBinItem& item : hxhost::sceneBinItems()) {
            EXPECT_TRUE(fileExists(project + "/" + item.media)) << item.media;
            named.insert(item.media);
        }
        EXPECT_EQ(hxhost::warningsGiven().size(), warnings) << hxhost::warningsGiven().back();
        for (const char* folder : {"media", "clips"}) {
            if (!fs::exists(project + "/" + folder))
                continue;
            for (const fs::directory_entry& file : fs::directory_iterator(project + "/" + folder)) {
                EXPECT_EQ(named.count(std::string(folder) + "/" + file.path().filename().string()), 1u) << file.path();
            }
        }
        if (nth == 0) {
            EXPECT_EQ(named.size(), 4u) << "two photos and their two clips";
        }
    }
}

} // namespace
