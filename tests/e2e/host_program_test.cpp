// The host program and the plug-in libraries as a user and a host see them.
#include "program_run.h"
#include "support/test_home.h"

#include "host/hxop.h"
#include "host/hxopcommon.h"

#include <dlfcn.h>

#include <cstdio>
#include <set>
#include <sstream>

namespace {

const std::string kStillset = std::string(STILLSET_LIB_DIR) + "/libstillset.so";
const std::string kPan = std::string(STILLSET_LIB_DIR) + "/libstillset_op_pan.so";

std::set<std::string> definedExports(const std::string& library)
{
    std::set<std::string> names;
    std::istringstream lines(run("nm -D --defined-only " + library).output);
    for (std::string address, kind, name; lines >> address >> kind >> name;)
        if (kind == "T")
            names.insert(name);
    return names;
}

TEST(PluginLibraries, ExportOnlyTheirEntryPoints)
{
    EXPECT_EQ(definedExports(kStillset), (std::set<std::string>{"GetOperatorInfo", "OperatorAction", "stillsetVersion",
                                                                "stillsetDoPhoto", "stillsetGetFinalField"}));
    EXPECT_EQ(definedExports(kPan), (std::set<std::string>{"GetOperatorInfo", "OperatorAction"}));
}

TEST(PluginLibraries, PanOperatorDescribesItselfAndKeepsInstances)
{
    void* library = dlopen(kPan.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto info = reinterpret_cast<GetOperatorInfoFn>(dlsym(library, "GetOperatorInfo"));
    ASSERT_NE(info, nullptr);
    const OperatorTag* tags = info();
    const uintptr_t expectedTags[] = {0x4F504500, 0x4F504501, 0x4F504503, 0x4F504510, 0x4F50450D, 0x4F504504, 0x4F504513, 0};
    for (size_t i = 0; i < std::size(expectedTags); ++i)
        EXPECT_EQ(tags[i].tag, expectedTags[i]) << "pair " << i;
    EXPECT_EQ(tags[0].value, 0x1200u);
    EXPECT_EQ(tags[1].value, 1u);
    EXPECT_EQ(tags[4].value, 2u);
    EXPECT_EQ(tags[6].value, sizeof(uint32_t) + sizeof(void*) + (sizeof(void*) - 4));
    EXPECT_STREQ(reinterpret_cast<const char*>(tags[3].value),
                 "$Id: stillset_op_pan,v 1.0 2014/11/06 10:01:58 kelmor Exp Tolvane $");
    const auto* record = reinterpret_cast<const uint8_t*>(tags[5].value);
    EXPECT_EQ(record[0] | record[1] << 8, 0);
    EXPECT_EQ(record[2] | record[3] << 8, 1000);
    const auto* values = *reinterpret_cast<const uint32_t* const*>(record + 8);
    const uint32_t expectedValues[] = {11, 4, 6, 8, 2, 0};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(values[i], expectedValues[i]);

    // An instance starts empty and is emptied again on release.
    auto action = reinterpret_cast<OperatorActionFn>(tags[2].value);
    struct {
        uint32_t havePicture;
        OpImage* keptPicture;
    } instance{1, opAllocImage(8, 8, 1, 0)};
    OpImage* picture = instance.keptPicture;
    OperatorActionRecord record1{};
    record1.instance = &instance;
    record1.action = OP_ACTION_INIT;
    EXPECT_EQ(action(&record1), 0);
    EXPECT_EQ(instance.havePicture, 0u);
    EXPECT_EQ(instance.keptPicture, nullptr) << "start frees nothing";
    instance = {1, picture};
    record1.action = OP_ACTION_RELEASE;
    EXPECT_EQ(action(&record1), 0);
    EXPECT_EQ(instance.keptPicture, nullptr);
    EXPECT_EQ(hxhost::liveCounts().images, 0);
    record1.action = 9;
    EXPECT_EQ(action(&record1), 0);
    dlclose(library);
}

TEST(HostProgram, InfoPrintsTheTagListAndTheVersion)
{
    const ProgramRun info = run(kHost + " info " + kStillset);
    EXPECT_EQ(info.status, 0) << info.output;
    EXPECT_NE(info.output.find("OPE16  0x4F504510  \"$Id: stillset,v 1.50"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("operator record: 4 11 3"), std::string::npos);
    EXPECT_NE(info.output.find("stillsetVersion: 0 -> 1, 1 -> 50, 2 -> 1, -1 -> 8"), std::string::npos);
    EXPECT_EQ(run(kHost + " info " + kPan).status, 0);
}

TEST(HostProgram, BadArgumentsGiveOneLineAndAFailingStatus)
{
    for (const std::string arguments : {"", "frobnicate", "info", "info /no/such/plugin.so", "session",
                                        "session --hxhome /tmp", "session --project 1",
                                        "session --hxhome /tmp --project -3", "session --hxhome /tmp --project x",
                                        "session --hxhome /tmp --project 1 --colour red", "session --project"}) {
        const ProgramRun bad = run(kHost + " " + arguments);
        EXPECT_NE(bad.status, 0) << arguments;
        EXPECT_EQ(std::count(bad.output.begin(), bad.output.end(), '\n'), 1) << arguments << ": " << bad.output;
        EXPECT_EQ(bad.output.rfind("stillset-host: ", 0), 0u) << bad.output;
    }
    for (const std::string arguments : {"--help", "info --help", "session --help"}) {
        const ProgramRun help = run(kHost + " " + arguments);
        EXPECT_EQ(help.status, 0) << arguments;
        EXPECT_NE(help.output.find("usage: stillset-host"), std::string::npos) << arguments;
    }
}

using HostProgramSession = HostTest;

TEST_F(HostProgramSession, CreatesTheToolsProjectWithAFreshSettingsFile)
{
    const std::string fresh = home() + "/fresh";
    const ProgramRun session = run(kHost + " session --hxhome " + fresh + " --project 6");
    ASSERT_EQ(session.status, 0) << session.output;
    EXPECT_NE(session.output.find("session ended with 0"), std::string::npos);
    EXPECT_NE(session.output.find("log level 6 src\\stillset:"), std::string::npos) << session.output;
    const std::string settings = readFile(fresh + "/programs/stillset/project7/slset.dat");
    ASSERT_EQ(settings.size(), 72u);
    EXPECT_EQ(settings.substr(0, 4), std::string("\x05\0\0\0", 4));
}

} // namespace
