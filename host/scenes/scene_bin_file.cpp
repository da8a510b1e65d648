#include "scenes/scene_bin_file.h"

#include "runtime/atomic_file.h"
#include "runtime/host_state.h"
#include "runtime/unfinished_files.h"
#include "runtime/warnings.h"
#include "scenes/stored_item_names.h"

#include <unistd.h>

#include <algorithm>

namespace {

constexpr size_t kMaxBinBytes = 64u << 20;

std::string binPath(const std::string& directory)
{
    return directory + "/scenebin.txt";
}

// Where the slideshow tool keeps the photo list of the active project.
std::string toolDirectory()
{
    return hx::state().home + "/programs/stillset/project" + std::to_string(hx::state().projectNumber + 1);
}

} // namespace

namespace hx {

StoredBin readBinFile(const std::string& directory, bool& damaged)
{
    const std::string path = binPath(directory);
    std::string bytes;
    const bool present = access(path.c_str(), F_OK) == 0;
    const bool readable = present && readWholeFile(path, bytes, kMaxBinBytes);
    StoredBin stored = readable ? decodeSceneBin(bytes) : StoredBin{};
    damaged = present && (!readable || stored.damaged);
    return stored;
}

uint32_t markFromStores(const std::string& directory, const std::deque<BinItem>& items)
{
    uint32_t highest = std::max({highestItemInPhotoLists(toolDirectory()), highestItemInPhotoClips(directory),
                                 highestItemInStoryboard(directory)});
    for (const BinItem& item : items)
        highest = std::max(highest, item.id);
    return highest == UINT32_MAX ? highest : highest + 1;
}

void setDamagedBinAside(const std::string& directory, size_t kept, const std::function<bool(std::string*)>& store)
{
    const std::string path = binPath(directory);
    std::string aside;
    if (!setFileAside(path, ".damaged", &aside)) {
        warnUser("the scene bin " + path + " is damaged and cannot be set aside; items read: " + std::to_string(kept));
        return;
    }
    std::string error;
    const bool stored = store(&error);
    warnUser("the scene bin " + path + " was damaged; items kept: " + std::to_string(kept) +
             (stored ? "" : " (in memory only: " + error + ")") + "; the file was set aside as " + aside);
}

bool writeBinFile(const std::string& directory, const std::deque<BinItem>& items, uint32_t nextItemId,
                  std::string* error)
{
    if (shouldFail("storeSceneBin")) {
        if (error)
            *error = "cannot store the scene bin";
        return false;
    }
    if (directory.empty() || !makeDirectories(directory)) {
        if (error)
            *error = directory.empty() ? "no installation (HXHOME) to store the project in" : "cannot create " + directory;
        return false;
    }
    // The bin and the copies it names become the project's together: an interruption removes both or neither.
    const auto held = holdUnfinishedFiles();
    if (!writeFileAtomically(binPath(directory), encodeSceneBin(items, nextItemId), error))
        return false;
    for (const BinItem& item : items)
        forgetUnfinished(directory + "/" + item.media);
    return true;
}

} // namespace hx
