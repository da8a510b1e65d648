// Live host objects: every kind handed out is counted, a reset of the host releases what was the
// host's, and a handle already given back (or never handed out) is refused, not freed again.
#include "host/hxgui.h"
#include "host/hxmain.h"
#include "host/hxreq.h"
#include "host/hxres.h"
#include "host/hxscenes.h"
#include "host/hxtx.h"
#include "support/test_home.h"

namespace {

using LiveObjectsTest = HostTest;

TEST_F(LiveObjectsTest, EveryKindIsCountedAndAResetReleasesTheHostsOwn)
{
    MsgQueue* queue = msgQCreate(4, 44, 0);
    UReqRequest request{};
    request.flags = UREQ_REQUESTER;
    request.size = 400u | 300u << 16;
    request.queue = queue;
    ASSERT_EQ(ureqCreateRequest(&request), 0);
    UReqMeter meter{};
    ASSERT_EQ(ureqOpenMeter(&meter), 0);
    ASSERT_NE(resLoadStrings("stillset"), nullptr);
    ASSERT_NE(resLoadImages("stillset"), nullptr);
    ASSERT_NE(ugAllocImage(UG_IMAGE_KIND_32, 8, 8), nullptr);
    ASSERT_NE(ugAllocGadExt(), nullptr);
    ASSERT_NE(txAllocRequest(0), nullptr);
    ASSERT_NE(mainLoadOperator("longterm/stillsetpan.opw", 1), nullptr);
    OpGuiState* panel = nullptr;
    HxOperator* pan = mainLoadOperator("longterm/stillsetpan.opw", 1);
    ASSERT_EQ(mainBuildOpGui(request.window, 0, 0, 150, 80, pan, &panel), 0);
    const uint32_t item = hxhost::addSceneBinItem(hxhost::ItemKind::Still, u"still", "still.png");
    ASSERT_NE(nslCopyAVRecord(item, 0), 0u);
    OpImage* kept = opAllocImage(4, 4, OP_FORMAT_YUVA, 0);

    hxhost::LiveCounts expected;
    expected.images = 1;
    expected.avRecords = 1;
    expected.queues = 1;
    expected.catalogues = 2;
    expected.windows = 1;
    expected.operators = 2;
    expected.meters = 1;
    expected.guiImages = 1;
    expected.gadgetExtensions = 1;
    expected.fileRequests = 1;
    expected.operatorPanels = 1;
    EXPECT_EQ(hxhost::liveCounts(), expected);

    // An image belongs to whoever received it, through a reset too; the rest was the host's.
    hxhost::reset();
    expected = hxhost::LiveCounts{};
    expected.images = 1;
    EXPECT_EQ(hxhost::liveCounts(), expected);
    opFreeImage(kept);
    EXPECT_TRUE(hxhost::liveCounts().empty());
}

TEST_F(LiveObjectsTest, HandlesGivenBackOrNeverHandedOutAreRefused)
{
    ResStrings* strings = resLoadStrings("stillset");
    resFreeStrings(strings);
    resFreeStrings(strings);
    UgGadExt* extension = ugAllocGadExt();
    ugFreeGadExt(extension);
    ugFreeGadExt(extension);
    UgGadExt notHandedOut{};
    ugFreeGadExt(&notHandedOut);
    HxOperator* pan = mainLoadOperator("longterm/stillsetpan.opw", 1);
    mainUnloadOperator(pan);
    mainUnloadOperator(pan);
    // The host GUI's own catalogue is lent, never given away.
    resFreeImages(ugGetGuiResource(669, 0, 0));
    EXPECT_NE(resGetImage(ugGetGuiResource(669, 0, 0), 669), nullptr);
    const uint32_t item = hxhost::addSceneBinItem(hxhost::ItemKind::Still, u"still", "still.png");
    nslDeleteAVRecord(item); // the bin's own record stays with the bin
    EXPECT_EQ(hxhost::itemOfRecord(item), 1u);
    EXPECT_TRUE(hxhost::liveCounts().empty());
}

} // namespace
