// One process at a time works on a host project: the others are refused at once, touching nothing,
// and told who holds it; readers share it; the lock goes with the process that held it.
#include "program_run.h"
#include "support/picture_files.h"
#include "support/test_home.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace {

namespace fs = std::filesystem;

class ProjectLockTest : public HostTest {
protected:
    // JPEG photos "<prefix>0.jpg" .. in their own folder; the folder.
    std::string photos(const std::string& prefix, int count) const
    {
        const std::string folder = home() + "/" + prefix;
        fs::create_directories(folder);
        for (int i = 0; i < count; ++i)
            writeJpeg(folder + "/" + prefix + std::to_string(i) + ".jpg", 320, 240, {}, [i](int x, int y, uint8_t* rgb) {
                rgb[0] = static_cast<uint8_t>(40 * i);
                rgb[1] = static_cast<uint8_t>(x);
                rgb[2] = static_cast<uint8_t>(y);
            });
        return folder;
    }

    std::string onProject(const std::string& command) const
    {
        return kHost + " " + command + " --hxhome " + home() + " --project 0";
    }

    // The photo list's entries by the name of the bin item each points at, checking on the way that
    // every item the list names is the file it was imported from.
    std::vector<std::string> storedPhotos() const
    {
        hxhost::reset();
        hxhost::setHome(home());
        std::vector<std::string> names;
        for (const StoredListEntry& photo : storedPhotoList())
            if (photo.item) {
                const std::string name(photo.item->name.begin(), photo.item->name.end());
                EXPECT_EQ(fs::path(photo.item->media).stem().string(), name);
                EXPECT_TRUE(fileExists(home() + "/projects/project0/" + photo.item->media)) << photo.item->media;
                names.push_back(name);
            }
        return names;
    }
};

std::vector<std::string> named(const std::string& prefix, int count)
{
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(prefix + std::to_string(i));
    return names;
}

TEST_F(ProjectLockTest, WhileOneProcessHoldsTheProjectTheOthersAreRefusedAndTouchNothing)
{
    const std::string a = photos("a", 2);
    ASSERT_EQ(run(onProject("session --import " + a)).status, 0);
    hxhost::reset();
    hxhost::setHome(home());
    hxhost::setProjectNumber(0);
    std::string error;
    ASSERT_TRUE(hxhost::lockProject(&error)) << error;

    const std::string project = home() + "/projects/project0";
    const std::string bin = readFile(project + "/scenebin.txt");
    const std::string holder = "project 0 of " + home() + " is in use by process " + std::to_string(getpid());
    for (const std::string& command :
         {onProject("session --import " + photos("b", 1)), onProject("storyboard --undo"),
          onProject("export -o " + home() + "/show.mkv"),
          kHost + " slideshow " + a + " -o " + home() + "/show.mp4 --hxhome " + home() + " --project 0",
          kHost + " render-photo " + a + "/a0.jpg -o " + home() + "/a0.png --hxhome " + home()}) {
        const ProgramRun refused = run(command);
        EXPECT_EQ(refused.status, 1) << command << ": " << refused.output;
        EXPECT_NE(refused.output.find(holder), std::string::npos) << refused.output;
    }
    EXPECT_EQ(readFile(project + "/scenebin.txt"), bin);
    EXPECT_EQ(std::distance(fs::directory_iterator(project + "/media"), {}), 2);
    EXPECT_FALSE(fileExists(home() + "/show.mkv"));
    EXPECT_FALSE(fileExists(home() + "/a0.png"));

    const ProgramRun reader = run(onProject("storyboard --json"));
    EXPECT_EQ(reader.status, 0) << reader.output;

    hxhost::reset(); // as the holder's end would
    const ProgramRun after = run(onProject("session --import " + photos("c", 1)));
    EXPECT_EQ(after.status, 0) << after.output;
}

// Two sessions started together on one project: whichever wins keeps every photo it imported, the
// other is refused or comes after it, and no list entry points at another photo's file.
TEST_F(ProjectLockTest, TwoSessionsAtOnceLoseNothingAndCrossLinkNothing)
{
    const std::string a = photos("a", 4), b = photos("b", 4);
    const ProgramRun both = run("(" + onProject("session --import " + a) + " > " + home() + "/a.log 2>&1; echo $? > " +
                                home() + "/a.rc) & (" + onProject("session --import " + b) + " > " + home() +
                                "/b.log 2>&1; echo $? > " + home() + "/b.rc) & wait");
    ASSERT_EQ(both.status, 0);
    const std::vector<std::string> stored = storedPhotos();
    bool winnerKept = false;
    for (const std::string prefix : {"a", "b"}) {
        const std::string log = readFile(home() + "/" + prefix + ".log");
        const int status = std::stoi(readFile(home() + "/" + prefix + ".rc"));
        if (status != 0) {
            EXPECT_TRUE(log.find("is in use by process") != std::string::npos || stored.size() == 4) << log;
        }
        winnerKept = winnerKept || (status == 0 && stored == named(prefix, 4));
    }
    EXPECT_TRUE(winnerKept) << stored.size() << " photos stored";
}

} // namespace
