// The host project's scene bin: storage, project switching and the AV records of its items.
#include "host/hxscenes.h"
#include "support/test_home.h"

#include <string>
#include <vector>

namespace {

using hxhost::ItemKind;

class SceneBinTest : public HostTest {
protected:
    // Starts the host again on the same installation, as a new process would.
    void restart()
    {
        hxhost::reset();
        hxhost::setHome(home());
        std::string error;
        ASSERT_TRUE(hxhost::openProject(&error)) << error;
    }
};

void expectSameItems(const std::vector<hxhost::SceneBinItem>& actual, const std::vector<hxhost::SceneBinItem>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual[i].id, expected[i].id);
        EXPECT_EQ(actual[i].kind, expected[i].kind);
        EXPECT_TRUE(actual[i].name == expected[i].name);
        EXPECT_EQ(actual[i].media, expected[i].media);
        EXPECT_EQ(actual[i].referenceFrame, expected[i].referenceFrame);
    }
}

TEST_F(SceneBinTest, ItemsSurviveARestart)
{
    hxhost::addSceneBinItem(ItemKind::Still, u"Tab\there", "media/a b.jpg");
    hxhost::addSceneBinItem(ItemKind::Clip, u"Line\nbreak\\n", "media/tab\tand\\slash.clip", 12);
    hxhost::addSceneBinItem(ItemKind::Still, u"Čaj ☕ 😀\r", "média/ü.png", 0);
    hxhost::addSceneBinItem(ItemKind::Still, u"", "", -1);
    hxhost::addSceneBinItem(ItemKind::Clip, u"last", "media/last.clip", 99);
    const std::vector<hxhost::SceneBinItem> before = hxhost::sceneBinItems();
    ASSERT_EQ(before.size(), 5u);
    EXPECT_TRUE(fileExists(home() + "/projects/project0/scenebin.txt"));

    restart();
    const std::vector<hxhost::SceneBinItem> after = hxhost::sceneBinItems();
    expectSameItems(after, before);
    for (const hxhost::SceneBinItem& item : after)
        EXPECT_EQ(hxhost::itemOfRecord(item.record), item.id);

    // New items after a restart get fresh identifiers.
    hxhost::addSceneBinItem(ItemKind::Still, u"more", "media/more.jpg");
    const std::vector<hxhost::SceneBinItem> grown = hxhost::sceneBinItems();
    ASSERT_EQ(grown.size(), 6u);
    for (const hxhost::SceneBinItem& item : before)
        EXPECT_NE(grown.back().id, item.id);
}

TEST_F(SceneBinTest, EachProjectHasItsOwnBin)
{
    hxhost::addSceneBinItem(ItemKind::Still, u"zero", "media/0.jpg");
    hxhost::setProjectNumber(1);
    EXPECT_TRUE(hxhost::sceneBinItems().empty());
    const AVRecord one = hxhost::addSceneBinItem(ItemKind::Still, u"one", "media/1.jpg");
    EXPECT_TRUE(fileExists(home() + "/projects/project1/scenebin.txt"));
    EXPECT_NE(hxhost::itemOfRecord(one), 0u);

    hxhost::setProjectNumber(0);
    const std::vector<hxhost::SceneBinItem> items = hxhost::sceneBinItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_TRUE(items[0].name == u"zero");
    EXPECT_EQ(hxhost::itemOfRecord(one), 0u); // the other project's records refer to nothing here
}

TEST_F(SceneBinTest, UnreadableBinOpensEmptyAndIsKept)
{
    const std::string path = home() + "/projects/project0/scenebin.txt";
    hxhost::addSceneBinItem(ItemKind::Still, u"kept", "media/kept.jpg");
    writeFile(path, "not a scene bin\n1\tstill\n");
    restart();
    EXPECT_TRUE(hxhost::sceneBinItems().empty());
    EXPECT_EQ(readFile(path), "not a scene bin\n1\tstill\n");
}

TEST_F(SceneBinTest, RecordCopies)
{
    const AVRecord own = hxhost::addSceneBinItem(ItemKind::Still, u"photo", "media/photo.jpg");
    const uint32_t item = hxhost::itemOfRecord(own);
    ASSERT_NE(item, 0u);
    const int64_t records = hxhost::liveCounts().avRecords;

    EXPECT_EQ(nslCopyAVRecord(0, 0), 0u);
    EXPECT_EQ(nslCopyAVRecord(0xDEAD, 0), 0u);
    EXPECT_EQ(hxhost::liveCounts().avRecords, records);

    const AVRecord copy = nslCopyAVRecord(own, 0);
    const AVRecord copyOfCopy = nslCopyAVRecord(copy, 0);
    ASSERT_NE(copy, 0u);
    EXPECT_NE(copy, own);
    EXPECT_NE(copyOfCopy, copy);
    EXPECT_EQ(hxhost::itemOfRecord(copy), item);
    EXPECT_EQ(hxhost::itemOfRecord(copyOfCopy), item);
    EXPECT_EQ(hxhost::liveCounts().avRecords, records + 2);

    nslDeleteAVRecord(copy);
    EXPECT_EQ(hxhost::itemOfRecord(copy), 0u);
    EXPECT_EQ(hxhost::itemOfRecord(copyOfCopy), item);
    nslDeleteAVRecord(copy); // deleting twice changes nothing
    EXPECT_EQ(hxhost::liveCounts().avRecords, records + 1);

    nslDeleteAVRecord(own); // the bin keeps its own record
    EXPECT_EQ(hxhost::itemOfRecord(own), item);
    EXPECT_EQ(hxhost::liveCounts().avRecords, records + 1);
    nslDeleteAVRecord(copyOfCopy);
    EXPECT_EQ(hxhost::liveCounts().avRecords, records);

    hxhost::failService("nslCopyAVRecord");
    EXPECT_EQ(nslCopyAVRecord(own, 0), 0u);
    EXPECT_EQ(hxhost::liveCounts().avRecords, records);
}

} // namespace
