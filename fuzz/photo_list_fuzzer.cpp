// The stored photo list "photos.hxl" as the host reads it for the slideshow tool: whatever the bytes,
// the read gives entries or a refusal, and freeing them leaves no host object behind.
#include "scratch_file.h"

#include "host/hxscenes.h"
#include "hxhost/log.h"
#include "hxhost/scene_bin.h"
#include "hxhost/setup.h"
#include "hxhost/testing.h"

#include <cstdlib>
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Entries refer to the scene bin by item: give them a few items to find.
    static const bool ready = [] {
        hxhost::reset();
        if (!hxhost::installHome(scratchDirectory() + "/home"))
            std::abort();
        for (const char16_t* name : {u"Beach", u"Lake", u"Hills"})
            hxhost::addSceneBinItem(hxhost::ItemKind::Still, name, "media/none.jpg");
        return true;
    }();
    (void)ready;
    // A damaged list is set aside beside the next one; a fresh directory keeps each run as quick as the first.
    const std::string directory = scratchDirectory() + "/list";
    std::filesystem::remove_all(directory);
    std::filesystem::create_directory(directory);
    writeScratchFile("list/photos.hxl", data, size);
    ListHead list;
    ListInit(&list);
    nslReadStillsetProject(directory.c_str(), &list);
    nslFreeStillsetProject(directory.c_str(), &list, 0);
    hxhost::clearLog();
    if (!hxhost::liveCounts().empty())
        std::abort();
    return 0;
}
