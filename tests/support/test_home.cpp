#include "support/test_home.h"

#include "host/hxlist.h"
#include "host/hxscenes.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace hxhost {

void PrintTo(const LiveCounts& live, std::ostream* out)
{
    *out << "{images " << live.images << ", avRecords " << live.avRecords << ", queues " << live.queues
         << ", catalogues " << live.catalogues << ", windows " << live.windows << ", scenes " << live.scenes
         << ", operators " << live.operators << ", meters " << live.meters << ", guiImages " << live.guiImages
         << ", gadgetExtensions " << live.gadgetExtensions << ", fileRequests " << live.fileRequests
         << ", operatorPanels " << live.operatorPanels << "}";
}

} // namespace hxhost

void HostTest::SetUp()
{
    hxhost::reset();
    char pattern[] = "/tmp/stillset-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home_ = pattern;
    std::string error;
    ASSERT_TRUE(hxhost::installHome(home_, &error)) << error;
}

void HostTest::TearDown()
{
    std::filesystem::remove_all(home_);
    hxhost::reset();
}

std::vector<hxhost::LogEntry> HostTest::entries(int level, const std::string& source)
{
    std::vector<hxhost::LogEntry> out;
    for (const hxhost::LogEntry& entry : hxhost::logEntries())
        if (entry.level == level && entry.source == source)
            out.push_back(entry);
    return out;
}

std::vector<HostTest::StoredListEntry> HostTest::storedPhotoList() const
{
    hxhost::setProjectNumber(0);
    std::string error;
    EXPECT_TRUE(hxhost::openProject(&error)) << error;
    const std::string directory = home_ + "/programs/stillset/project1";
    ListHead list;
    ListInit(&list);
    EXPECT_EQ(nslReadStillsetProject(directory.c_str(), &list), 0);
    std::vector<StoredListEntry> stored;
    for (auto* entry = static_cast<PhotoEntry*>(ListFirst(&list)); entry;
         entry = static_cast<PhotoEntry*>(ListNext(entry))) {
        StoredListEntry photo{entry->rotation, entry->mirrored, entry->included, std::nullopt};
        for (const hxhost::SceneBinItem& item : hxhost::sceneBinItems())
            if (item.id == hxhost::itemOfRecord(entry->source))
                photo.item = item;
        stored.push_back(photo);
    }
    nslFreeStillsetProject(directory.c_str(), &list, 0);
    return stored;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

bool fileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}
