// stillset-host session: photos imported from files, a session script played, the project kept.
#include "program_run.h"
#include "support/picture_files.h"
#include "support/test_home.h"

#include <cstdio>
#include <filesystem>

namespace {

struct Stored {
    std::string name;
    int rotation, mirrored, included;
    bool operator==(const Stored&) const = default;
};

class SessionCommandTest : public HostTest {
protected:
    // JPEG photos p<first> .. in `folder`.
    static void writePhotos(const std::string& folder, int first, int count)
    {
        std::filesystem::create_directories(folder);
        for (int i = first; i < first + count; ++i)
            writeJpeg(folder + "/p" + std::to_string(i) + ".jpg", 80, 60, {},
                      [i](int x, int y, uint8_t* rgb) {
                          rgb[0] = static_cast<uint8_t>(30 * i);
                          rgb[1] = static_cast<uint8_t>(2 * x);
                          rgb[2] = static_cast<uint8_t>(3 * y);
                      });
    }

    std::string session(const std::string& options) const
    {
        return kHost + " session --hxhome " + home() + " --project 0 " + options;
    }

    // The tool's photo list as stored in project 0, by the names of the items its entries point at.
    std::vector<Stored> storedList() const
    {
        std::vector<Stored> stored;
        for (const StoredListEntry& photo : storedPhotoList())
            stored.push_back({photo.item ? std::string(photo.item->name.begin(), photo.item->name.end()) : "?",
                              photo.rotation, photo.mirrored, photo.included});
        return stored;
    }
};

bool isPng(const std::string& path)
{
    return readFile(path).rfind("\x89PNG", 0) == 0;
}

TEST_F(SessionCommandTest, ScriptedSessionIsKeptForTheNextOne)
{
    const std::string photos = home() + "/photos";
    writePhotos(photos, 0, 6);
    writeFile(photos + "/notes.txt", "not a photo");
    const std::string shot = home() + "/in-script.png";
    writeFile(home() + "/work.session",
              "answer yes\n"
              "select grid 1\npress \"Turn right\"\n"
              "select grid 2\npress \"Mirror\"\n"
              "select grid 3\npress \"Leave out of the slideshow\"\n"
              "drag grid 5 to 0\n"                                   // p5 p0 p1 p2 p3 p4
              "select grid 1\npress \"Move to the trash\"\n"         // p0 to the trash
              "select grid 4\npress \"Move to the trash\"\n"         // p4 to the trash
              "select grid 0\npress \"Restore the last photo from the trash\"\n" // p4 back after p5
              "screenshot " + shot + " in main\n"
              "press \"Close\"\n");
    const ProgramRun first = run(session("--import " + photos + " --script " + home() + "/work.session"));
    ASSERT_EQ(first.status, 0) << first.output;
    EXPECT_NE(first.output.find("skipped " + photos + "/notes.txt"), std::string::npos) << first.output;
    EXPECT_NE(first.output.find("session ended with 0"), std::string::npos);
    EXPECT_TRUE(isPng(shot));

    const std::vector<Stored> left = {
        {"p5", 0, 0, 1}, {"p4", 0, 0, 1}, {"p1", 90, 0, 1}, {"p2", 0, 1, 1}, {"p3", 0, 0, 0}};
    EXPECT_EQ(storedList(), left);

    // More photos in the bin: the list is not empty, so no question brings them in.
    writePhotos(home() + "/more", 6, 1);
    const std::string end = home() + "/end.png";
    const ProgramRun second = run(session("--import " + home() + "/more/p6.jpg --screenshot " + end));
    ASSERT_EQ(second.status, 0) << second.output;
    EXPECT_TRUE(isPng(end));
    EXPECT_EQ(storedList(), left);
}

TEST_F(SessionCommandTest, WithoutAScriptImportedPhotosAreTakenIn)
{
    writePhotos(home() + "/photos", 0, 2);
    const ProgramRun result = run(session("--import " + home() + "/photos/p1.jpg --import " + home() +
                                          "/photos/p0.jpg --screen 1280x720 --standard hd1080"));
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(storedList(), (std::vector<Stored>{{"p1", 0, 0, 1}, {"p0", 0, 0, 1}}));
}

// photos/ holds p3, its subfolder b/ p0, a/ p2 and a/deep/ p1, and a link to a/.
class FolderTreeTest : public SessionCommandTest {
protected:
    void SetUp() override
    {
        SessionCommandTest::SetUp();
        writePhotos(home() + "/photos/b", 0, 1);
        writePhotos(home() + "/photos/a/deep", 1, 1);
        writePhotos(home() + "/photos/a", 2, 1);
        writePhotos(home() + "/photos", 3, 1);
        std::filesystem::create_directory_symlink(home() + "/photos/a", home() + "/photos/link");
    }
};

TEST_F(FolderTreeTest, SubfoldersAreImportedInNameOrderAndALinkedFolderIsNamedNotFollowed)
{
    const ProgramRun result = run(session("--import " + home() + "/photos"));
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(storedList(), (std::vector<Stored>{{"p1", 0, 0, 1}, {"p2", 0, 0, 1}, {"p0", 0, 0, 1}, {"p3", 0, 0, 1}}));
    EXPECT_NE(result.output.find("skipped " + home() + "/photos/link: a link to a folder, not followed"),
              std::string::npos)
        << result.output;
}

TEST_F(FolderTreeTest, NoRecurseTakesTheFoldersOwnPhotosAndNamesEachSubfolderLeftOut)
{
    const ProgramRun result = run(session("--no-recurse --import " + home() + "/photos"));
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(storedList(), (std::vector<Stored>{{"p3", 0, 0, 1}}));
    EXPECT_NE(result.output.find("skipped " + home() + "/photos/a: a folder (--no-recurse)"), std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("skipped " + home() + "/photos/b: a folder (--no-recurse)"), std::string::npos);
}

TEST_F(SessionCommandTest, BadScriptsAndOptionsAreReported)
{
    writeFile(home() + "/bad.session", "answer yes\nfrobnicate grid\n");
    ProgramRun bad = run(session("--script " + home() + "/bad.session"));
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.output.find("bad.session:2:"), std::string::npos) << bad.output;
    for (const std::string options : {"--screen 800x600", "--standard ntsc", "--script /no/such.session"}) {
        bad = run(session(options));
        EXPECT_EQ(bad.status, 2) << options;
        EXPECT_EQ(std::count(bad.output.begin(), bad.output.end(), '\n'), 1) << bad.output;
    }
    // A gadget the script names that the window does not have.
    writeFile(home() + "/lost.session", "press \"Frobnicate\"\n");
    const ProgramRun lost = run(session("--script " + home() + "/lost.session"));
    EXPECT_EQ(lost.status, 1);
    EXPECT_NE(lost.output.find("session script: line 1: cannot find"), std::string::npos) << lost.output;
}

} // namespace

TEST_F(SessionCommandTest, WindowOptionsAndAMissingDesktopAreReported)
{
    for (const std::string options : {"--window --script x.session", "--window --screenshot x.png",
                                      "--window-size 1280x720", "--window --window-size 12x9",
                                      "--window --window-size 1280x720x"}) {
        const ProgramRun bad = run(session(options));
        EXPECT_EQ(bad.status, 2) << options;
        EXPECT_EQ(std::count(bad.output.begin(), bad.output.end(), '\n'), 1) << bad.output;
    }
    // Without a desktop the session does not start, and the photos imported stay in the scene bin.
    writePhotos(home() + "/photos", 0, 2);
    const ProgramRun headless = run("env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 " +
                                    session("--import " + home() + "/photos --window"));
    EXPECT_EQ(headless.status, 1);
    EXPECT_NE(headless.output.find("no desktop"), std::string::npos) << headless.output;
    EXPECT_TRUE(storedList().empty());
}

// A wrong first byte in the scene bin: the next session with new photos keeps the bin's items, says
// so, and gives the new photo an id of its own, so the stored list still shows its own photos.
TEST_F(SessionCommandTest, DamagedSceneBinKeepsItsItemsAndTheirIds)
{
    writePhotos(home() + "/first", 0, 2);
    writePhotos(home() + "/later", 2, 1);
    ASSERT_EQ(run(session("--import " + home() + "/first")).status, 0);
    const std::string bin = home() + "/projects/project0/scenebin.txt";
    std::string bytes = readFile(bin);
    bytes[0] = '#';
    writeFile(bin, bytes);

    const ProgramRun next = run(session("--import " + home() + "/later"));
    EXPECT_EQ(next.status, 0) << next.output;
    EXPECT_NE(next.output.find("stillset-host: the scene bin " + bin + " was damaged; items kept: 2;"),
              std::string::npos) << next.output;
    EXPECT_EQ(readFile(bin + ".damaged"), bytes);
    EXPECT_EQ(storedList(), (std::vector<Stored>{{"p0", 0, 0, 1}, {"p1", 0, 0, 1}}));
    std::vector<uint32_t> ids;
    for (const hxhost::SceneBinItem& item : hxhost::sceneBinItems())
        ids.push_back(item.id);
    EXPECT_EQ(ids, (std::vector<uint32_t>{1, 2, 3}));
}

// What the tool tells the person about damaged stored files is printed, though the default user
// answered it: a settings file with one wrong byte keeps the photos; a cut photo list keeps what reads.
TEST_F(SessionCommandTest, TheToolsNoticesAboutDamagedFilesArePrinted)
{
    writePhotos(home() + "/photos", 0, 3);
    ASSERT_EQ(run(session("--import " + home() + "/photos")).status, 0);
    const std::string tool = home() + "/programs/stillset/project1";
    std::string settings = readFile(tool + "/slset.dat");
    settings[0] = 1;
    writeFile(tool + "/slset.dat", settings);

    const ProgramRun damagedSettings = run(session(""));
    EXPECT_EQ(damagedSettings.status, 0) << damagedSettings.output;
    EXPECT_NE(damagedSettings.output.find("stillset-host: the tool's notice: The settings file of this project was damaged."),
              std::string::npos) << damagedSettings.output;
    EXPECT_EQ(storedList().size(), 3u);

    const std::string list = readFile(hxhost::photoListPath(tool));
    writeFile(hxhost::photoListPath(tool), list.substr(0, list.size() - 10));
    const ProgramRun cutList = run(session(""));
    EXPECT_EQ(cutList.status, 0) << cutList.output;
    EXPECT_NE(cutList.output.find("the tool's notice: The stored photo list of this project was damaged. Photos kept from before the damage: 2."),
              std::string::npos) << cutList.output;
    EXPECT_NE(cutList.output.find("stillset-host: the stored photo list"), std::string::npos) << cutList.output;
    EXPECT_EQ(storedList(), (std::vector<Stored>{{"p0", 0, 0, 1}, {"p1", 0, 0, 1}}));
}
