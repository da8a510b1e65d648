#include "support/test_home.h"

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
