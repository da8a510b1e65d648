// The scene bin "scenebin.txt" as the host reads it: whatever the bytes, the items that read are
// whole, and storing them with their mark reads back as the same undamaged bin.
#include "scenes/scene_bin_text.h"

#include <cstdlib>
#include <deque>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const hx::StoredBin read = hx::decodeSceneBin(std::string(reinterpret_cast<const char*>(data), size));
    uint32_t mark = read.nextItemId;
    for (const hx::BinItem& item : read.items)
        if (item.id == 0 || item.id >= UINT32_MAX || (read.nextItemId != 0 && item.id >= read.nextItemId))
            std::abort();
        else if (item.id >= mark)
            mark = item.id + 1;
    const std::deque<hx::BinItem> items(read.items.begin(), read.items.end());
    const hx::StoredBin again = hx::decodeSceneBin(hx::encodeSceneBin(items, mark == 0 ? 1 : mark));
    if (again.damaged || again.items.size() != items.size() || (mark != 0 && again.nextItemId != mark))
        std::abort();
    for (size_t i = 0; i < items.size(); ++i) {
        const hx::BinItem &a = items[i], &b = again.items[i];
        if (a.id != b.id || a.kind != b.kind || a.referenceFrame != b.referenceFrame || a.media != b.media)
            std::abort();
    }
    return 0;
}
