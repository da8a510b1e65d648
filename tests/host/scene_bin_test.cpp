// The host project's scene bin: storage, project switching and the AV records of its items.
#include "host/hxscenes.h"
#include "hxhost/storyboard.h"
#include "support/test_home.h"

#include <cstdlib>
#include <filesystem>
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

// Damage at the start, in the middle or at the cut end of the bin: the file is kept aside byte for
// byte, every item that still reads is kept and stored again at once, and the person is told.
TEST_F(SceneBinTest, DamagedBinIsSetAsideKeepingEveryItemThatReads)
{
    const std::string path = home() + "/projects/project0/scenebin.txt";
    for (const char16_t* name : {u"one", u"two", u"three"})
        hxhost::addSceneBinItem(ItemKind::Still, name, "media/p.jpg");
    const std::string good = readFile(path);
    const size_t second = good.find("\n2\t") + 1, third = good.find("\n3\t") + 1;
    struct Damage {
        std::string bytes;
        std::vector<uint32_t> kept;
    };
    std::string firstByte = good, middle = good;
    firstByte[0] = 'X';
    middle[second + 2] = 'X'; // the kind of the second item
    const Damage damages[] = {{firstByte, {1, 2, 3}},
                              {middle, {1, 3}},
                              {good.substr(0, third + 5), {1, 2}},
                              {good.substr(0, good.size() - 1), {1, 2}},
                              {"\x01\x02\n" + good, {1, 2, 3}},
                              {std::string("\0\0\0\0", 4), {}},
                              {"", {}}};
    for (size_t i = 0; i < std::size(damages); ++i) {
        SCOPED_TRACE(i);
        writeFile(path, damages[i].bytes);
        restart();
        std::vector<uint32_t> ids;
        for (const hxhost::SceneBinItem& item : hxhost::sceneBinItems())
            ids.push_back(item.id);
        EXPECT_EQ(ids, damages[i].kept);
        const std::string aside = path + ".damaged" + (i ? "." + std::to_string(i) : "");
        EXPECT_EQ(readFile(aside), damages[i].bytes);
        const std::vector<std::string> said = hxhost::warningsGiven();
        ASSERT_EQ(said.size(), 1u);
        EXPECT_NE(said[0].find("items kept: " + std::to_string(ids.size()) + ";"), std::string::npos) << said[0];
        EXPECT_NE(said[0].find(aside), std::string::npos) << said[0];

        restart(); // what was kept was stored: the next start reads it without a word
        EXPECT_EQ(hxhost::sceneBinItems().size(), ids.size());
        EXPECT_TRUE(hxhost::warningsGiven().empty());
        writeFile(path, good);
    }
}

// Ids only grow: a new item never takes the id of one that was lost with the bin, while the
// storyboard, a photo clip or the tool's photo list still names it.
TEST_F(SceneBinTest, NewItemsNeverTakeAnIdAStoredRecordNames)
{
    const std::string project = home() + "/projects/project0", path = project + "/scenebin.txt";
    hxhost::addSceneBinItem(ItemKind::Still, u"one", "media/1.jpg");
    const AVRecord listed = hxhost::addSceneBinItem(ItemKind::Still, u"two", "media/2.jpg");
    hxhost::addSceneBinItem(ItemKind::Still, u"three", "media/3.jpg");
    std::string error;
    const AVRecord clip = hxhost::addTestClip(16, 16, 10, hxhost::TestPattern::ColourBars, -1, &error);
    ASSERT_NE(clip, 0u) << error;
    const std::string oldBin = "scenebin 1\n1\tstill\t-1\tmedia/1.jpg\tone\n";

    // The storyboard plays item 4.
    SBScene* scene = nslSBAllocScene();
    ASSERT_EQ(nslSBAddScene(nullptr, clip, scene), 0);
    nslSBFreeScene(scene);
    // The tool's photo list shows item 2.
    const std::string tool = home() + "/programs/stillset/project1";
    std::filesystem::create_directories(tool);
    ListHead list;
    ListInit(&list);
    auto* entry = static_cast<PhotoEntry*>(std::calloc(1, sizeof(PhotoEntry)));
    entry->id = 1, entry->source = nslCopyAVRecord(listed, 0), entry->brightness = entry->contrast = entry->saturation = 100;
    entry->included = 1, entry->duration = 25;
    ListAppend(&list, entry);
    ASSERT_EQ(nslWriteStillsetProject(tool.c_str(), &list, 0), 0);
    nslFreeStillsetProject(tool.c_str(), &list, NSL_FREE_KEEP_STORED);
    // A photo clip was rendered from item 3.
    std::string clipFile = "HXPC";
    for (uint32_t field : {1u, 3u, 1u, 25u, 0u, 0u, 0u, 0u, 16u, 16u, 100u, 100u, 100u, 0u})
        for (int i = 0; i < 4; ++i)
            clipFile += static_cast<char>(field >> (8 * i));
    std::filesystem::create_directories(project + "/clips");
    writeFile(project + "/clips/photo1-1.hxc", clipFile);

    // With the mark stored, losing the last items' lines loses none of their ids.
    const std::string good = readFile(path);
    writeFile(path, good.substr(0, good.find("\n3\t") + 1));
    restart();
    EXPECT_EQ(hxhost::itemOfRecord(hxhost::addSceneBinItem(ItemKind::Still, u"new", "media/n.jpg")), 5u);

    // A bin without a mark (an older one) starts above whatever any of them names.
    const std::string storyboard = hxhost::storyboardPath(project), photos = hxhost::photoListPath(tool);
    const std::string storyboardBytes = readFile(storyboard), photoBytes = readFile(photos);
    const struct {
        std::vector<std::string> removed;
        uint32_t next;
    } cases[] = {{{}, 5}, {{storyboard}, 4}, {{storyboard, project + "/clips/photo1-1.hxc"}, 3}, {{storyboard, photos}, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.next);
        writeFile(storyboard, storyboardBytes);
        writeFile(photos, photoBytes);
        writeFile(project + "/clips/photo1-1.hxc", clipFile);
        for (const std::string& file : c.removed)
            std::filesystem::remove(file);
        writeFile(path, oldBin);
        restart();
        EXPECT_TRUE(hxhost::warningsGiven().empty()) << "an older bin is no damaged one";
        EXPECT_EQ(hxhost::itemOfRecord(hxhost::addSceneBinItem(ItemKind::Still, u"new", "media/n.jpg")), c.next);
    }
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
