// The stored photo list of the slideshow tool and its thumbnail stamps.
#include "host/hxopcommon.h"
#include "host/hxscenes.h"
#include "host/hxtools.h"
#include "support/test_home.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>

namespace {

class PhotoListStoreTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        dir = home() + "/programs/stillset/project1";
        std::filesystem::create_directories(dir);
        ListInit(&list);
        stillRecord = hxhost::addSceneBinItem(hxhost::ItemKind::Still, u"Beach", "media/beach.jpg");
        clipRecord = hxhost::addSceneBinItem(hxhost::ItemKind::Clip, u"Beach SL", "media/beach.clip");
    }

    void TearDown() override
    {
        nslFreeStillsetProject(dir.c_str(), &list, NSL_FREE_KEEP_STORED);
        HostTest::TearDown();
    }

    // An entry as the tool makes one: a calloc block with its own copy of the photo's record.
    PhotoEntry* addEntry(uint32_t id, AVRecord record)
    {
        auto* entry = static_cast<PhotoEntry*>(std::calloc(1, sizeof(PhotoEntry)));
        entry->id = id;
        entry->source = record ? nslCopyAVRecord(record, 0) : 0;
        entry->brightness = entry->contrast = entry->saturation = 100;
        entry->included = 1;
        entry->duration = 125;
        ListAppend(&list, entry);
        return entry;
    }

    // A 3 x 2 format-1 picture whose bytes count up from `first`.
    static OpImage* picture(uint8_t first)
    {
        OpImage* image = opAllocImage(3, 2, OP_FORMAT_YUVA, 0);
        for (int i = 0; i < 3 * 2 * 4; ++i)
            image->planes[0][i] = static_cast<uint8_t>(first + i);
        image->aspect = 889;
        return image;
    }

    std::set<std::string> filesInDir() const
    {
        std::set<std::string> names;
        for (const auto& file : std::filesystem::directory_iterator(dir))
            names.insert(file.path().filename().string());
        return names;
    }

    // Every stored field but the records and the thumbnail.
    static auto look(const PhotoEntry& e)
    {
        return std::make_tuple(e.id, e.rotation, e.mirrored, e.cropX, e.cropY, e.cropWidth, e.cropHeight,
                               e.brightness, e.contrast, e.saturation, e.gamma, e.included, e.duration);
    }

    std::string listFile() const { return hxhost::photoListPath(dir); }

    std::string dir;
    ListHead list{};
    AVRecord stillRecord = 0;
    AVRecord clipRecord = 0;
};

TEST_F(PhotoListStoreTest, EveryFieldSurvivesARoundTrip)
{
    PhotoEntry* a = addEntry(0x1001, stillRecord);
    a->clip = nslCopyAVRecord(clipRecord, 0);
    a->rotation = 270, a->mirrored = 1;
    a->cropX = 12, a->cropY = 34, a->cropWidth = 65535, a->cropHeight = 4000;
    a->brightness = 0, a->contrast = 200, a->saturation = 57, a->gamma = -100;
    a->included = 0, a->duration = 750;
    const PhotoEntry expectedA = *a;
    const PhotoEntry b = *addEntry(0x1002, stillRecord);
    PhotoEntry* noSource = addEntry(0x1003, 0);
    noSource->gamma = 100;
    const PhotoEntry c = *noSource;

    const int64_t recordsBefore = hxhost::liveCounts().avRecords - 3;
    ASSERT_EQ(nslWriteStillsetProject(dir.c_str(), &list, 1), 0);
    const std::string stored = readFile(listFile());
    ASSERT_EQ(nslFreeStillsetProject(dir.c_str(), &list, NSL_FREE_KEEP_STORED), 0);
    EXPECT_EQ(ListCount(&list), 0);
    EXPECT_EQ(ListFirst(&list), nullptr);
    EXPECT_EQ(hxhost::liveCounts().avRecords, recordsBefore);
    EXPECT_EQ(readFile(listFile()), stored); // freeing keeps the stored list

    ASSERT_EQ(nslReadStillsetProject(dir.c_str(), &list), 0);
    ASSERT_EQ(ListCount(&list), 3);
    EXPECT_EQ(hxhost::liveCounts().avRecords, recordsBefore + 3);
    const auto* readA = static_cast<PhotoEntry*>(ListNodeAt(&list, 1));
    const auto* readB = static_cast<PhotoEntry*>(ListNodeAt(&list, 2));
    const auto* readC = static_cast<PhotoEntry*>(ListNodeAt(&list, 3));

    EXPECT_EQ(look(*readA), look(expectedA));
    EXPECT_EQ(hxhost::itemOfRecord(readA->source), hxhost::itemOfRecord(stillRecord));
    EXPECT_EQ(hxhost::itemOfRecord(readA->clip), hxhost::itemOfRecord(clipRecord));
    EXPECT_NE(readA->source, stillRecord); // the entry's own copy, not the bin's record
    EXPECT_EQ(readA->thumbnail, nullptr);

    EXPECT_EQ(look(*readB), look(b));
    EXPECT_EQ(readB->clip, 0u);
    EXPECT_NE(readB->source, readA->source);
    EXPECT_EQ(hxhost::itemOfRecord(readB->source), hxhost::itemOfRecord(stillRecord));

    EXPECT_EQ(look(*readC), look(c));
    EXPECT_EQ(readC->source, 0u);
}

TEST_F(PhotoListStoreTest, NewIdentifiersNeverRepeatStoredOnes)
{
    std::set<uint32_t> stored;
    for (int i = 0; i < 3; ++i)
        stored.insert(addEntry(vxtlGetUniqueID(), stillRecord)->id);
    ASSERT_EQ(nslWriteStillsetProject(dir.c_str(), &list, 1), 0);
    nslFreeStillsetProject(dir.c_str(), &list, NSL_FREE_KEEP_STORED);

    // The next session starts the host afresh and reads the stored list before importing more.
    hxhost::reset();
    hxhost::setHome(home());
    ASSERT_EQ(nslReadStillsetProject(dir.c_str(), &list), 0);
    ASSERT_EQ(ListCount(&list), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(stored.count(vxtlGetUniqueID()), 0u);
    EXPECT_NE(static_cast<PhotoEntry*>(ListFirst(&list))->source, 0u); // the bin was reopened too
}

TEST_F(PhotoListStoreTest, MissingListReadsAsEmpty)
{
    EXPECT_EQ(nslReadStillsetProject(dir.c_str(), &list), 0);
    EXPECT_EQ(ListCount(&list), 0);
    EXPECT_FALSE(fileExists(listFile()));
    EXPECT_EQ(nslReadStillsetProject(nullptr, &list), -1);
    EXPECT_EQ(nslReadStillsetProject("", &list), -1);
    EXPECT_EQ(nslFreeStillsetProject(dir.c_str(), nullptr, 0), -1);
}

// A damaged list gives the whole entries before the damage and is set aside byte for byte; the
// person is told how many were kept.
TEST_F(PhotoListStoreTest, DamagedListKeepsTheWholeEntriesBeforeTheDamageAndIsSetAside)
{
    for (uint32_t id = 1; id <= 4; ++id)
        addEntry(id, stillRecord);
    ASSERT_EQ(nslWriteStillsetProject(dir.c_str(), &list, 0), 0);
    nslFreeStillsetProject(dir.c_str(), &list, NSL_FREE_KEEP_STORED);
    const std::string good = readFile(listFile());
    constexpr size_t kHead = 12, kEntry = 64;
    ASSERT_EQ(good.size(), kHead + 4 * kEntry);

    const auto withWord = [&](size_t entry, size_t field, uint32_t value) {
        std::string bytes = good;
        for (int i = 0; i < 4; ++i)
            bytes[kHead + entry * kEntry + field * 4 + i] = static_cast<char>(value >> (8 * i));
        return bytes;
    };
    std::string badMagic = good, tooMany = good, tooFew = good;
    badMagic[0] = 'X';
    tooMany[8] = 5; // the count says five entries, the data holds four
    tooFew[8] = 3;
    const struct {
        std::string bytes;
        int32_t kept;
    } damaged[] = {
        {good.substr(0, kHead + 3 * kEntry + 30), 3}, // cut inside the last entry
        {good.substr(0, kHead + 2 * kEntry), 2},      // cut at an entry's end: the count says more
        {withWord(2, 3, 45), 2},                      // the third entry turned by 45 degrees
        {withWord(1, 0, 1), 1},                       // the second entry repeats the first's id
        {withWord(3, 15, 7), 3},                      // the last entry's spare word is not 0
        {withWord(0, 13, 0x100), 0},                  // the first entry neither in nor out
        {tooMany, 4},
        {tooFew, 3},
        {good + "x", 4},
        {badMagic, 0},
        {good.substr(0, 6), 0},
        {"", 0}};
    const int64_t records = hxhost::liveCounts().avRecords;
    for (size_t i = 0; i < std::size(damaged); ++i) {
        SCOPED_TRACE(i);
        hxhost::clearLog();
        hxhost::reset();
        hxhost::setHome(home());
        const std::string& bytes = damaged[i].bytes;
        writeFile(listFile(), bytes);
        EXPECT_EQ(nslReadStillsetProject(dir.c_str(), &list), -1);
        ASSERT_EQ(ListCount(&list), damaged[i].kept);
        for (int32_t n = 1; n <= damaged[i].kept; ++n)
            EXPECT_EQ(static_cast<PhotoEntry*>(ListNodeAt(&list, n))->id, static_cast<uint32_t>(n));
        nslFreeStillsetProject(dir.c_str(), &list, NSL_FREE_KEEP_STORED);
        EXPECT_EQ(hxhost::liveCounts().avRecords, records);
        EXPECT_FALSE(fileExists(listFile()));
        // Each damaged list keeps its own copy; none overwrites an earlier one.
        const std::string aside = listFile() + ".damaged" + (i ? "." + std::to_string(i) : "");
        EXPECT_EQ(readFile(aside), bytes);
        const std::vector<std::string> said = hxhost::warningsGiven();
        ASSERT_EQ(said.size(), 1u);
        EXPECT_NE(said[0].find("kept from before the damage: " + std::to_string(damaged[i].kept) + ";"), std::string::npos) << said[0];
        EXPECT_NE(said[0].find(aside), std::string::npos) << said[0];
    }

    // The next store writes a fresh list beside the damaged ones.
    addEntry(3, stillRecord);
    ASSERT_EQ(nslWriteStillsetProject(dir.c_str(), &list, 0), 0);
    nslFreeStillsetProject(dir.c_str(), &list, NSL_FREE_KEEP_STORED);
    ASSERT_EQ(nslReadStillsetProject(dir.c_str(), &list), 0);
    EXPECT_EQ(ListCount(&list), 1);
}

// A read that fails on a whole list (no memory, an I/O error) keeps the list aside like a damaged one,
// since the program may store a new list next; it hands out nothing.
TEST_F(PhotoListStoreTest, FailedReadOfAWholeListKeepsItAsideAndHandsOutNothing)
{
    addEntry(1, stillRecord);
    addEntry(2, stillRecord);
    ASSERT_EQ(nslWriteStillsetProject(dir.c_str(), &list, 0), 0);
    nslFreeStillsetProject(dir.c_str(), &list, NSL_FREE_KEEP_STORED);
    const std::string good = readFile(listFile());
    const int64_t records = hxhost::liveCounts().avRecords;

    hxhost::failService("nslReadStillsetProject");
    EXPECT_EQ(nslReadStillsetProject(dir.c_str(), &list), -1);
    EXPECT_EQ(ListCount(&list), 0);
    EXPECT_EQ(hxhost::liveCounts().avRecords, records);
    EXPECT_FALSE(fileExists(listFile()));
    EXPECT_EQ(readFile(listFile() + ".damaged"), good);

    // Without a stored list there is nothing to keep.
    hxhost::failService("nslReadStillsetProject");
    EXPECT_EQ(nslReadStillsetProject(dir.c_str(), &list), -1);
    EXPECT_FALSE(fileExists(listFile() + ".damaged.1"));
}

TEST_F(PhotoListStoreTest, ThumbnailsAreStoredAsStamps)
{
    const int64_t images = hxhost::liveCounts().images;
    PhotoEntry* withThumbnail = addEntry(41, stillRecord);
    withThumbnail->thumbnail = picture(10);
    addEntry(42, stillRecord); // no thumbnail, so no stamp

    ASSERT_EQ(nslWriteStillsetProject(dir.c_str(), &list, 0), 0);
    EXPECT_FALSE(fileExists(hxhost::stampPath(dir, 41))); // stamps only with flag 1
    ASSERT_EQ(nslWriteStillsetProject(dir.c_str(), &list, 1), 0);
    EXPECT_TRUE(fileExists(hxhost::stampPath(dir, 41)));
    EXPECT_FALSE(fileExists(hxhost::stampPath(dir, 42)));

    nslFreeStillsetProject(dir.c_str(), &list, NSL_FREE_KEEP_STORED);
    EXPECT_EQ(hxhost::liveCounts().images, images);
    EXPECT_TRUE(fileExists(hxhost::stampPath(dir, 41)));

    ASSERT_EQ(nslReadStillsetProject(dir.c_str(), &list), 0);
    EXPECT_EQ(hxhost::liveCounts().images, images + 1);
    const auto* entry = static_cast<PhotoEntry*>(ListFirst(&list));
    const OpImage* thumbnail = entry->thumbnail;
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_EQ(thumbnail->width, 3);
    EXPECT_EQ(thumbnail->height, 2);
    EXPECT_EQ(thumbnail->format, static_cast<uint32_t>(OP_FORMAT_YUVA));
    EXPECT_EQ(thumbnail->aspect, 889);
    OpImage* expected = picture(10);
    EXPECT_EQ(std::memcmp(thumbnail->planes[0], expected->planes[0], 3 * 2 * 4), 0);
    opFreeImage(expected);
    EXPECT_EQ(static_cast<PhotoEntry*>(ListNext(entry))->thumbnail, nullptr);

    EXPECT_EQ(nslDeleteStillsetStamp(dir.c_str(), entry), 0);
    EXPECT_FALSE(fileExists(hxhost::stampPath(dir, 41)));
    nslFreeStillsetProject(dir.c_str(), &list, NSL_FREE_KEEP_STORED);
    ASSERT_EQ(nslReadStillsetProject(dir.c_str(), &list), 0);
    EXPECT_EQ(static_cast<PhotoEntry*>(ListFirst(&list))->thumbnail, nullptr);
}

TEST_F(PhotoListStoreTest, DamagedStampReadsAsNoThumbnail)
{
    addEntry(7, stillRecord)->thumbnail = picture(0);
    ASSERT_EQ(nslWriteStillsetProject(dir.c_str(), &list, 1), 0);
    nslFreeStillsetProject(dir.c_str(), &list, NSL_FREE_KEEP_STORED);
    const std::string stamp = readFile(hxhost::stampPath(dir, 7));
    for (const std::string& bytes : {stamp.substr(0, stamp.size() - 1), stamp + "x", std::string("HXST")}) {
        writeFile(hxhost::stampPath(dir, 7), bytes);
        ASSERT_EQ(nslReadStillsetProject(dir.c_str(), &list), 0);
        ASSERT_EQ(ListCount(&list), 1);
        EXPECT_EQ(static_cast<PhotoEntry*>(ListFirst(&list))->thumbnail, nullptr);
        nslFreeStillsetProject(dir.c_str(), &list, NSL_FREE_KEEP_STORED);
    }
}

TEST_F(PhotoListStoreTest, DiscardSetsTheListAsideAndDropsStamps)
{
    const hxhost::LiveCounts before = hxhost::liveCounts();
    addEntry(8, stillRecord)->thumbnail = picture(2);
    addEntry(9, stillRecord)->thumbnail = picture(3);
    ASSERT_EQ(nslWriteStillsetProject(dir.c_str(), &list, 1), 0);
    const std::string stored = readFile(listFile());

    ASSERT_EQ(nslFreeStillsetProject(dir.c_str(), &list, NSL_FREE_DISCARD), 0);
    EXPECT_EQ(ListCount(&list), 0);
    EXPECT_EQ(hxhost::liveCounts().avRecords, before.avRecords);
    EXPECT_EQ(hxhost::liveCounts().images, before.images);
    EXPECT_FALSE(fileExists(listFile()));
    EXPECT_EQ(readFile(listFile() + ".discarded"), stored);
    EXPECT_FALSE(fileExists(hxhost::stampPath(dir, 8)));
    EXPECT_FALSE(fileExists(hxhost::stampPath(dir, 9)));

    EXPECT_EQ(nslReadStillsetProject(dir.c_str(), &list), 0);
    EXPECT_EQ(ListCount(&list), 0);
}

TEST_F(PhotoListStoreTest, WriteReplacesTheStoredListAtomically)
{
    addEntry(1, stillRecord);
    ASSERT_EQ(nslWriteStillsetProject(dir.c_str(), &list, 1), 0);
    const std::string first = readFile(listFile());
    EXPECT_EQ(filesInDir(), (std::set<std::string>{"photos.hxl"}));

    addEntry(2, stillRecord)->thumbnail = picture(4);
    hxhost::failService("nslWriteStillsetProject");
    EXPECT_EQ(nslWriteStillsetProject(dir.c_str(), &list, 1), -1);
    EXPECT_EQ(readFile(listFile()), first);
    EXPECT_EQ(filesInDir(), (std::set<std::string>{"photos.hxl"}));

    ASSERT_EQ(nslWriteStillsetProject(dir.c_str(), &list, 1), 0);
    EXPECT_NE(readFile(listFile()), first);
    const std::string stamp = std::filesystem::path(hxhost::stampPath(dir, 2)).filename();
    EXPECT_EQ(filesInDir(), (std::set<std::string>{"photos.hxl", stamp}));

    // An empty list is stored too, and reads back empty rather than as the previous list.
    nslFreeStillsetProject(dir.c_str(), &list, NSL_FREE_KEEP_STORED);
    ASSERT_EQ(nslWriteStillsetProject(dir.c_str(), &list, 1), 0);
    ASSERT_EQ(nslReadStillsetProject(dir.c_str(), &list), 0);
    EXPECT_EQ(ListCount(&list), 0);
}

} // namespace
