#include "photo_import.h"

#include "hxhost/hxhost.h"
#include "hxhost/still_import.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The files a path names: itself, or a folder's files sorted by name.
std::vector<std::string> filesOf(const std::string& path)
{
    std::error_code error;
    if (!fs::is_directory(path, error))
        return {path};
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(path, error))
        if (entry.is_regular_file(error))
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

void drawBar(size_t done, size_t total)
{
    constexpr size_t kWidth = 30;
    const size_t filled = total ? done * kWidth / total : kWidth;
    std::fprintf(stderr, "\rimporting [%s%s] %zu/%zu", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, '.').c_str(), done, total);
    std::fflush(stderr);
}

} // namespace

std::vector<std::string> photoFilesOf(const std::vector<std::string>& paths)
{
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        const std::vector<std::string> found = filesOf(path);
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

size_t importPhotos(const std::vector<std::string>& paths)
{
    const std::vector<std::string> files = photoFilesOf(paths);
    const bool bar = isatty(fileno(stderr)) != 0 && !files.empty();
    if (bar)
        drawBar(0, files.size());
    const std::vector<hxhost::ImportedStill> results =
        hxhost::importStills(files, 0, [&](size_t done, size_t total) {
            if (bar)
                drawBar(done, total);
        });
    if (bar)
        std::fputc('\n', stderr);
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
