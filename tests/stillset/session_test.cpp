#include "session_fixture.h"

#include "stillset/photo_list.h"

#include "host/hxsupport.h"
#include "host/hxtx.h"

#include <filesystem>

namespace {

using SessionTest = PluginTest;

TEST_F(SessionTest, FreshInstallationGetsAProjectDirectoryWithDefaultSettings)
{
    hxhost::setProjectNumber(0);
    ASSERT_EQ(runTool(), 0);
    const std::string settings = readFile(settingsPath(0));
    ASSERT_EQ(settings.size(), 72u);
    EXPECT_EQ(settings.substr(0, 4), std::string("\x05\0\0\0", 4));
    EXPECT_TRUE(fileExists(hxhost::photoListPath(projectDir(0))));
    // An existing directory is the normal case.
    EXPECT_EQ(runTool(), 0);
    hxhost::setProjectNumber(4);
    EXPECT_EQ(runTool(), 0);
    EXPECT_TRUE(fileExists(settingsPath(4)));
    expectNothingLive();
}

class StartupFailureTest : public PluginTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(StartupFailureTest, LogsShutsDownAndReleasesEverything)
{
    hxhost::failService(GetParam());
    EXPECT_EQ(runTool(), -1);
    // One entry for the failed step, one for the failed start-up.
    EXPECT_EQ(entries(4, "src\\stillset").size(), 2u);
    EXPECT_FALSE(fileExists(projectDir(0)));
    expectNothingLive();
}

INSTANTIATE_TEST_SUITE_P(Steps, StartupFailureTest, ::testing::Values("resLoadStrings", "resLoadImages", "msgQCreate"));

TEST_F(SessionTest, ExceptionInsideAServiceReachesThePluginAsItsFailure)
{
    for (const char* service : {"resLoadStrings", "msgQCreate", "ureqCreateRequest"}) {
        hxhost::clearLog();
        hxhost::throwInService(service);
        EXPECT_EQ(runTool(), -1) << service;
        EXPECT_FALSE(entries(4, "src\\stillset").empty()) << service;
        ASSERT_EQ(entries(4, "hx").size(), 1u) << service;
        EXPECT_EQ(entries(4, "hx")[0].text.rfind(service, 0), 0u) << entries(4, "hx")[0].text;
        expectNothingLive();
    }
}

TEST_F(SessionTest, MissingHxhomeFailsTheStartup)
{
    hxhost::unsetHome();
    EXPECT_EQ(runTool(), -1);
    EXPECT_EQ(entries(4, "src\\stillset").size(), 2u);
    expectNothingLive();
}

TEST_F(SessionTest, HxhomeTooLongForTheProjectDirectoryFailsCleanly)
{
    for (size_t length : {size_t(975), size_t(990), size_t(1200)}) {
        hxhost::clearLog();
        const std::string longHome = home() + "/" + std::string(length - home().size() - 1, 'h');
        hxhost::setHome(longHome);
        EXPECT_EQ(runTool(), -1) << length;
        EXPECT_EQ(entries(4, "src\\stillset").size(), 2u);
        EXPECT_FALSE(fileExists(longHome));
    }
    expectNothingLive();
}

TEST_F(SessionTest, FailedStartupLeavesTheStoredProjectAlone)
{
    ASSERT_EQ(startToolSession(), 0);
    ListAppend(&session.photoList, newEntry(41));
    session.settings.thumbSize = 5;
    endToolSession();
    const std::string settings = readFile(settingsPath());
    const std::string photos = readFile(hxhost::photoListPath(projectDir()));

    for (const char* service : {"resLoadStrings", "resLoadImages", "msgQCreate"}) {
        hxhost::failService(service);
        EXPECT_EQ(runTool(), -1);
        EXPECT_EQ(readFile(settingsPath()), settings) << service;
        EXPECT_EQ(readFile(hxhost::photoListPath(projectDir())), photos) << service;
    }
    expectNothingLive();
}

TEST_F(SessionTest, ScalerIsTheHostsOrTheFileLibrarysFallback)
{
    ASSERT_EQ(startToolSession(), 0);
    EXPECT_EQ(reinterpret_cast<void*>(session.imageScaler), vxsSymFind(nullptr, "opScaleImage"));
    EXPECT_EQ(entries(6, "src\\stillset").size(), 1u);
    endToolSession();

    hxhost::clearLog();
    hxhost::setSymbolAvailable("opScaleImage", false);
    ASSERT_EQ(startToolSession(), 0);
    EXPECT_EQ(session.imageScaler, &txOpScale);
    const auto info = entries(6, "src\\stillset");
    ASSERT_EQ(info.size(), 1u);
    endToolSession();
    expectNothingLive();
}

TEST_F(SessionTest, PhotoListSurvivesSessionsAndTheTrashDoesNot)
{
    ASSERT_EQ(startToolSession(), 0);
    PhotoEntry* kept = newEntry(7);
    kept->rotation = 270;
    kept->mirrored = 1;
    kept->cropWidth = 640;
    ListAppend(&session.photoList, kept);
    PhotoEntry* trashed = newEntry(8);
    trashed->clip = nslCopyAVRecord(trashed->source, 0);
    trashed->thumbnail = opAllocImage(16, 12, 1, 0);
    ListAppend(&session.trashList, trashed);
    const std::string stamp = hxhost::stampPath(projectDir(), 8);
    writeFile(stamp, "stamp");
    endToolSession();
    EXPECT_FALSE(fileExists(stamp));
    expectNothingLive();

    ASSERT_EQ(startToolSession(), 0);
    ASSERT_EQ(ListCount(&session.photoList), 1);
    auto* back = static_cast<PhotoEntry*>(ListFirst(&session.photoList));
    EXPECT_EQ(back->id, 7u);
    EXPECT_EQ(back->rotation, 270);
    EXPECT_EQ(back->mirrored, 1);
    EXPECT_EQ(back->cropWidth, 640);
    EXPECT_EQ(ListCount(&session.trashList), 0);
    endToolSession();
    expectNothingLive();
}

// A stored list the host cannot read is kept aside: the photos imported in this session are stored,
// and the user is told once.
TEST_F(SessionTest, UnreadablePhotoListIsKeptAsideAndTheSessionsWorkIsStored)
{
    addPhotos(2);
    std::filesystem::create_directories(projectDir());
    const std::string list = hxhost::photoListPath(projectDir()), damaged = "HXPL damaged";
    writeFile(list, damaged);

    ASSERT_EQ(runScript("answer no\nanswer yes\n"), 0); // the notice, then the import question
    const auto seen = hxhost::textRequestsSeen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(hxhost::utf8Of(seen[0].text).rfind("The stored photo list of this project could not be read.", 0), 0u);
    EXPECT_EQ(readFile(list + ".damaged"), damaged);
    EXPECT_EQ(storedNames(), (std::vector<std::string>{"p0", "p1"}));

    ASSERT_EQ(runScript(""), 0);
    EXPECT_EQ(hxhost::textRequestsSeen().size(), 2u) << "told once";
    expectNothingLive();
}

// Every fallible host call of a whole session, failed in turn: the session ends in success or its
// documented failure, leaks nothing, and the stored settings stay a readable file. The stored list
// stays as it was, or, when it could not be read, is kept aside whole and the user is told.
TEST_F(SessionTest, FaultSweepOverASession)
{
    ASSERT_EQ(startToolSession(), 0);
    ListAppend(&session.photoList, newEntry(3));
    endToolSession();
    const std::string list = hxhost::photoListPath(projectDir());
    const std::string photos = readFile(list);
    for (uint32_t n = 1;; ++n) {
        const uint32_t fired = hxhost::faultsFired();
        const size_t told = hxhost::textRequestsSeen().size();
        hxhost::failNthFallibleCall(n);
        const int32_t result = runTool();
        EXPECT_TRUE(result == 0 || result == -1);
        expectNothingLive();
        EXPECT_EQ(readFile(settingsPath()).size(), 72u) << "fault " << n;
        if (fileExists(list + ".damaged")) {
            EXPECT_EQ(readFile(list + ".damaged"), photos) << "fault " << n;
            const auto seen = hxhost::textRequestsSeen();
            ASSERT_GT(seen.size(), told) << "fault " << n;
            EXPECT_EQ(hxhost::utf8Of(seen[told].text).rfind("The stored photo list", 0), 0u) << "fault " << n;
            std::filesystem::rename(list + ".damaged", list);
        }
        EXPECT_EQ(readFile(list), photos) << "fault " << n;
        if (hxhost::faultsFired() == fired)
            break; // the whole session ran without reaching the Nth call
        ASSERT_LT(n, 200u);
    }
}

} // namespace
