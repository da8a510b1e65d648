// No exception leaves a host entry point: an exception inside a service becomes the entry point's
// failure result and a level-4 entry naming it; fault names are checked.
#include "host/hxmotion.h"
#include "host/hxopcommon.h"
#include "host/hxreq.h"
#include "host/hxres.h"
#include "host/hxscenes.h"
#include "host/hxtx.h"
#include "support/test_home.h"

#include <stdexcept>

namespace {

using EntryGuardTest = HostTest;

// The one level-4 entry of the host's own log, which must name the entry point.
void expectEscapeLogged(const std::string& entryPoint)
{
    std::vector<hxhost::LogEntry> logged;
    for (const hxhost::LogEntry& entry : hxhost::logEntries())
        if (entry.level == 4 && entry.source == "hx")
            logged.push_back(entry);
    ASSERT_EQ(logged.size(), 1u) << entryPoint;
    EXPECT_NE(logged[0].text.find(entryPoint + ": injected exception in"), std::string::npos) << logged[0].text;
    hxhost::clearLog();
}

TEST_F(EntryGuardTest, ExceptionBecomesTheDocumentedFailureOnce)
{
    hxhost::throwInService("opAllocImage");
    EXPECT_EQ(opAllocImage(8, 8, OP_FORMAT_YUVA, 0), nullptr);
    expectEscapeLogged("opAllocImage");
    OpImage* image = opAllocImage(8, 8, OP_FORMAT_YUVA, 0); // the fault fired once
    ASSERT_NE(image, nullptr);

    hxhost::throwInService("opScaleImage");
    OpImage* target = opAllocImage(4, 4, OP_FORMAT_YUVA, 0);
    EXPECT_EQ(opScaleImage(image, target, 0), -1);
    expectEscapeLogged("opScaleImage");

    hxhost::throwInService("txOpScale", 2);
    EXPECT_EQ(txOpScale(image, target, 0), 0);
    EXPECT_EQ(txOpScale(image, target, 0), -1);
    expectEscapeLogged("txOpScale");
    opFreeImage(target);
    opFreeImage(image);

    hxhost::throwInService("cmOpen");
    EXPECT_EQ(cmOpen(0, 0), nullptr);
    expectEscapeLogged("cmOpen");

    hxhost::throwInService("resLoadStrings");
    EXPECT_EQ(resLoadStrings("stillset"), nullptr);
    expectEscapeLogged("resLoadStrings");

    UReqRequest request{};
    hxhost::throwInService("ureqCreateRequest");
    EXPECT_NE(ureqCreateRequest(&request), 0);
    expectEscapeLogged("ureqCreateRequest");

    const uint32_t record = hxhost::addSceneBinItem(hxhost::ItemKind::Still, u"still", "still.png");
    hxhost::throwInService("nslCopyAVRecord");
    EXPECT_EQ(nslCopyAVRecord(record, 0), 0u);
    expectEscapeLogged("nslCopyAVRecord");

    EXPECT_EQ(hxhost::faultsFired(), 7u);
    EXPECT_TRUE(hxhost::liveCounts().empty());
}

TEST_F(EntryGuardTest, FaultNamesMustBeFallibleServices)
{
    EXPECT_THROW(hxhost::failService("cmOpn"), std::invalid_argument);
    EXPECT_THROW(hxhost::throwInService("opFreeImage"), std::invalid_argument); // it cannot fail
    const auto& names = hxhost::fallibleServices();
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names)
        EXPECT_NO_THROW(hxhost::failService(name)) << name;
}

} // namespace
