#include "runtime/unfinished_files.h"

#include "runtime/temporary_name.h"

#include "hxhost/interruption.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace hx {

namespace {

namespace fs = std::filesystem;

constexpr const char kTemporaryMark[] = ".tmp";

struct Unfinished {
    std::recursive_mutex lock;
    std::set<std::string> paths;
    bool removed = false; // after the interruption's removal nothing new is made
};

Unfinished& unfinished()
{
    static Unfinished* files = new Unfinished; // outlives static destruction: other threads may still write
    return *files;
}

// The process whose temporary `name` is, or 0 when it is no temporary.
pid_t writerOf(const std::string& name)
{
    const size_t mark = name.rfind(kTemporaryMark);
    if (mark == std::string::npos || mark == 0)
        return 0;
    const std::string digits = name.substr(mark + sizeof kTemporaryMark - 1);
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return static_cast<pid_t>(std::atol(digits.c_str()));
}

bool processIsGone(pid_t process)
{
    return kill(process, 0) != 0 && errno == ESRCH;
}

} // namespace

int createUnfinishedBeside(const std::string& path, std::string& temporary, std::string* error)
{
    Unfinished& files = unfinished();
    std::lock_guard<std::recursive_mutex> held(files.lock);
    if (files.removed) {
        if (error)
            *error = "cannot create a file beside " + path + ": the run is being interrupted";
        return -1;
    }
    // The process id ends the name, so that a temporary left by a process that died can be told.
    const int fd = createTemporaryBeside(path, kTemporaryMark + std::to_string(getpid()), temporary, error);
    if (fd >= 0)
        files.paths.insert(temporary);
    return fd;
}

bool renameUnfinished(const std::string& from, const std::string& to, bool toStaysUnfinished)
{
    Unfinished& files = unfinished();
    std::lock_guard<std::recursive_mutex> held(files.lock);
    if (files.removed || rename(from.c_str(), to.c_str()) != 0)
        return false;
    files.paths.erase(from);
    if (toStaysUnfinished)
        files.paths.insert(to);
    return true;
}

int makeFolder(const std::string& path, mode_t mode)
{
    Unfinished& files = unfinished();
    std::lock_guard<std::recursive_mutex> held(files.lock);
    if (files.removed) {
        errno = ECANCELED;
        return -1;
    }
    return mkdir(path.c_str(), mode);
}

bool makeUnfinishedFolder(std::string& pattern)
{
    Unfinished& files = unfinished();
    std::lock_guard<std::recursive_mutex> held(files.lock);
    if (files.removed || !mkdtemp(pattern.data()))
        return false;
    files.paths.insert(pattern);
    return true;
}

void forgetUnfinished(const std::string& path)
{
    Unfinished& files = unfinished();
    std::lock_guard<std::recursive_mutex> held(files.lock);
    files.paths.erase(path);
}

std::unique_lock<std::recursive_mutex> holdUnfinishedFiles()
{
    return std::unique_lock<std::recursive_mutex>(unfinished().lock);
}

void removeStaleTemporaries(const std::string& directory)
{
    std::error_code error;
    constexpr auto options = fs::directory_options::skip_permission_denied;
    for (auto entry = fs::recursive_directory_iterator(directory, options, error);
         !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        std::error_code ignored;
        const pid_t writer = writerOf(entry->path().filename().string());
        if (writer > 0 && entry->is_regular_file(ignored) && processIsGone(writer))
            fs::remove(entry->path(), ignored);
    }
}

} // namespace hx

namespace hxhost {

bool makeRunFolder(std::string& pattern)
{
    return hx::makeUnfinishedFolder(pattern);
}

void removeRunFolder(const std::string& path)
{
    hx::forgetUnfinished(path);
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

void removeUnfinishedFiles()
{
    hx::Unfinished& files = hx::unfinished();
    std::lock_guard<std::recursive_mutex> held(files.lock);
    files.removed = true;
    for (const std::string& path : files.paths) {
        // another thread may still be making files in a folder: a few tries empty it
        std::error_code ignored;
        for (int tries = 0; tries < 5 && std::filesystem::remove_all(path, ignored) == static_cast<std::uintmax_t>(-1); ++tries)
            ;
    }
    files.paths.clear();
}

} // namespace hxhost
