#include "photo_import.h"

#include "progress_bar.h"

#include "hxhost/still_import.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

void tellSkipped(const std::string& path, const char* why)
{
    std::fprintf(stderr, "skipped %s: %s\n", path.c_str(), why);
}

// A folder's files in name order, each subfolder's in its place among them when `recurse`.
// Links to folders are not followed, so no loop of links can hold the walk.
void addFolder(const fs::path& folder, bool recurse, std::vector<std::string>& files)
{
    std::error_code error;
    std::vector<fs::directory_entry> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
        entries.push_back(entry);
    if (error)
        tellSkipped(folder.string(), ("cannot read the folder: " + error.message()).c_str());
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path().filename() < b.path().filename(); });
    for (const fs::directory_entry& entry : entries) {
        const std::string path = entry.path().string();
        if (entry.is_directory(error)) {
            if (entry.is_symlink(error))
                tellSkipped(path, "a link to a folder, not followed");
            else if (!recurse)
                tellSkipped(path, "a folder (--no-recurse)");
            else
                addFolder(entry.path(), recurse, files);
        } else if (entry.is_regular_file(error)) {
            files.push_back(path);
        } else {
            tellSkipped(path, "not a file");
        }
    }
}

// The files a path names: itself, or a folder's files.
std::vector<std::string> filesOf(const std::string& path, bool recurse)
{
    std::error_code error;
    if (!fs::is_directory(path, error))
        return {path};
    std::vector<std::string> files;
    addFolder(path, recurse, files);
    return files;
}

} // namespace

std::vector<std::string> photoFilesOf(const std::vector<std::string>& paths, bool recurse)
{
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        const std::vector<std::string> found = filesOf(path, recurse);
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

size_t importPhotoFiles(const std::vector<std::string>& files)
{
    ProgressBar bar("importing");
    bar.show(0, static_cast<int64_t>(files.size()));
    const std::vector<hxhost::ImportedStill> results =
        hxhost::importStills(files, 0, [&](size_t done, size_t total) {
            bar.show(static_cast<int64_t>(done), static_cast<int64_t>(total));
        });
    bar.finish();
    size_t imported = 0;
    for (const hxhost::ImportedStill& result : results) {
        if (result.record) {
            ++imported;
            continue;
        }
        // the host's reasons mostly name the file already
        const std::string& reason = result.error;
        std::fprintf(stderr, "skipped %s\n",
                     (reason.rfind(result.path, 0) == 0 ? reason : result.path + ": " + reason).c_str());
    }
    return imported;
}
