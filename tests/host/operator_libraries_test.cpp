// Operator files name libraries that the host loads and so runs: only libraries of the installation's
// own folder, or of a folder the user names in HXOPERATORPATH, are loaded, and a refusal names the file.
#include "host/hxmain.h"
#include "host/hxscenes.h"
#include "hxhost/export.h"
#include "hxhost/log.h"
#include "hxhost/plugin_library.h"
#include "hxhost/scene_bin.h"
#include "hxhost/testing.h"
#include "support/test_home.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

namespace {

class OperatorLibrariesTest : public HostTest {
protected:
    void TearDown() override
    {
        unsetenv("HXOPERATORPATH");
        HostTest::TearDown();
    }

    // The installed pan operator file, its library line changed to `library`, as longterm/<name>.
    std::string operatorFile(const std::string& name, const std::string& library) const
    {
        std::string file = readFile(home() + "/longterm/stillsetpan.opw");
        const size_t at = file.find("library=");
        file.replace(at, file.find('\n', at) - at, "library=" + library);
        writeFile(home() + "/longterm/" + name, file);
        return "longterm/" + name;
    }
    std::string installedLibrary() const
    {
        const std::string file = readFile(home() + "/longterm/stillsetpan.opw");
        const size_t at = file.find("library=") + 8;
        return file.substr(at, file.find('\n', at) - at);
    }
    // A copy of the pan operator's library in a folder of the project, as a received project holds one.
    std::string copiedLibrary() const
    {
        const std::string folder = home() + "/projects/project0/received";
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(installedLibrary(), folder + "/libreceived.so",
                                   std::filesystem::copy_options::overwrite_existing);
        return folder + "/libreceived.so";
    }
    static bool loads(const std::string& name)
    {
        HxOperator* op = mainLoadOperator(name.c_str(), 0);
        mainUnloadOperator(op);
        return op != nullptr;
    }
};

TEST_F(OperatorLibrariesTest, OnlyTheInstallationsOwnFolderIsTrustedUnlessTheUserNamesAnother)
{
    EXPECT_TRUE(loads("longterm/stillsetpan.opw"));

    const std::string copy = copiedLibrary();
    const std::string received = operatorFile("received.opw", copy);
    EXPECT_FALSE(loads(received));
    bool named = false;
    for (const hxhost::LogEntry& entry : entries(4, "host\\operators"))
        named = named || (entry.text.find("refused the operator library " + copy) != std::string::npos &&
                          entry.text.find(home() + "/" + received) != std::string::npos);
    EXPECT_TRUE(named) << "the refusal names the library and the operator file";

    // A bare name, searched along the system's path, and a path that starts in the trusted folder but
    // climbs out of it are refused as well.
    EXPECT_FALSE(loads(operatorFile("bare.opw", "libstillset_op_pan.so")));
    const std::string installedFolder = std::filesystem::path(installedLibrary()).parent_path();
    std::string climbing = installedFolder;
    for (char c : installedFolder)
        if (c == '/')
            climbing += "/..";
    EXPECT_FALSE(loads(operatorFile("climbing.opw", climbing + copy)));
    EXPECT_EQ(hxhost::liveCounts().operators, 0);

    // A storyboard that places the received operator on a scene: export names what it refused.
    std::string error;
    const AVRecord clip = hxhost::addTestClip(16, 16, 10, hxhost::TestPattern::FieldCounter, -1, &error);
    SBScene* scene = nslSBAllocScene();
    ASSERT_EQ(nslSBAddScene(nullptr, clip, scene), 0) << error;
    ASSERT_EQ(nslSBAddLongterm(scene, received.c_str(), 10, 0, 1, 0), 0);
    nslSBFreeScene(scene);
    hxhost::ExportSettings settings;
    settings.output = "/dev/null";
    EXPECT_FALSE(hxhost::exportStoryboard(settings, &error));
    EXPECT_NE(error.find("cannot load the effect " + received + " of scene 1: refused the operator library " + copy),
              std::string::npos)
        << error;

    // The user trusts the folder: its library loads.
    setenv("HXOPERATORPATH", ("/nowhere:" + std::filesystem::path(copy).parent_path().string()).c_str(), 1);
    EXPECT_TRUE(loads(received));
}

TEST_F(OperatorLibrariesTest, ALibraryIsKnownByItsDescriptionAndOneWithoutIsLeftClosed)
{
    hxhost::PluginLibrary pan;
    std::string error;
    ASSERT_TRUE(hxhost::openPluginLibrary(installedLibrary(), pan, &error)) << error;
    EXPECT_NE(pan.action, nullptr);
    EXPECT_NE(pan.record, nullptr);
    EXPECT_GT(pan.instanceSize, 0u);
    EXPECT_NE(pan.description, nullptr);
    dlclose(pan.handle);

    // The host library itself loads but describes no operator; a missing file does not load at all.
    const std::string host = std::filesystem::path(installedLibrary()).parent_path() / "libhx.so";
    hxhost::PluginLibrary refused;
    EXPECT_FALSE(hxhost::openPluginLibrary(host, refused, &error));
    EXPECT_EQ(error, host + ": no GetOperatorInfo export");
    EXPECT_EQ(refused.handle, nullptr);
    EXPECT_FALSE(hxhost::openPluginLibrary(home() + "/missing.so", refused, &error));
    EXPECT_NE(error.find("missing.so"), std::string::npos) << error;
    EXPECT_EQ(refused.action, nullptr);
}

} // namespace
