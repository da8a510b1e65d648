// A fresh host for each test: reset, with an installation in a temporary directory.
#ifndef TESTS_SUPPORT_TEST_HOME_H
#define TESTS_SUPPORT_TEST_HOME_H

// The control API every host test steers the host through.
#include "hxhost/faults.h"
#include "hxhost/for_people.h"
#include "hxhost/gui.h"
#include "hxhost/log.h"
#include "hxhost/scene_bin.h"
#include "hxhost/setup.h"
#include "hxhost/testing.h"
#include "hxhost/user.h"
#include "hxhost/video_format.h"
#include "hxhost/warnings.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace hxhost {
// Names the kinds still live when a comparison of live counts fails.
void PrintTo(const LiveCounts& live, std::ostream* out);
} // namespace hxhost

class HostTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The installation root of this test (HXHOME).
    const std::string& home() const { return home_; }
    // Log entries at `level` from `source`.
    static std::vector<hxhost::LogEntry> entries(int level, const std::string& source);

    // One entry of the tool's photo list as stored, with the scene bin item it points at.
    struct StoredListEntry {
        int32_t rotation, mirrored, included;
        std::optional<hxhost::SceneBinItem> item;
    };
    // The tool's photo list stored in project 0 of this installation, read through the host.
    std::vector<StoredListEntry> storedPhotoList() const;

private:
    std::string home_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);

#endif
