#include "scenes/project_media.h"

#include "runtime/atomic_file.h"
#include "runtime/host_state.h"
#include "scenes/scene_bin.h"

#include <sys/stat.h>

namespace hx {

namespace {

bool fail(std::string* error, const std::string& reason)
{
    if (error)
        *error = reason;
    return false;
}

// The names "media/<name>", "media/<stem>-2<ext>", ... in turn, until `stop` says so; false when
// the media folder cannot be made or every name was passed over.
template <typename Stop>
bool walkMediaNames(const std::string& name, std::string& media, std::string* error, Stop stop)
{
    const std::string project = projectDirectory();
    if (project.empty())
        return fail(error, "no installation (HXHOME) to keep the project's media in");
    if (!makeDirectories(project + "/media"))
        return fail(error, "cannot create " + project + "/media");
    const std::string stem = stemOf(name), extension = name.substr(stem.size());
    for (int n = 1; n < 10000; ++n) {
        media = "media/" + (n == 1 ? name : stem + "-" + std::to_string(n) + extension);
        if (stop(project + "/" + media))
            return true;
    }
    return fail(error, "no free name for " + name + " in " + project + "/media");
}

bool isFree(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) != 0;
}

} // namespace

std::string baseName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string stemOf(const std::string& name)
{
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool storeMedia(const std::string& name, const std::string& bytes, std::string& media, std::string* error)
{
    if (shouldFail("storeMedia"))
        return fail(error, "cannot store " + name + " in the project's media");
    return walkMediaNames(name, media, error, isFree) &&
           writeUnstoredFile(projectDirectory() + "/" + media, bytes, error);
}

bool copyIntoProject(const std::string& path, std::string& media, std::string* error)
{
    std::string bytes, reason;
    if (!readWholeFile(path, bytes, kMaxMediaBytes, &reason))
        return fail(error, path + ": " + reason);
    return storeMedia(baseName(path), bytes, media, error);
}

bool keepInProject(const std::string& path, std::string& media, std::string* error)
{
    std::string bytes, reason;
    if (!readWholeFile(path, bytes, kMaxMediaBytes, &reason))
        return fail(error, path + ": " + reason);
    bool same = false;
    const bool found = walkMediaNames(baseName(path), media, error, [&](const std::string& candidate) {
        std::string held;
        same = readWholeFile(candidate, held, bytes.size()) && held == bytes;
        return same || isFree(candidate);
    });
    return found && (same || writeFileAtomically(projectDirectory() + "/" + media, bytes, error));
}

std::string projectFilePath(const std::string& stored)
{
    return stored.empty() || stored[0] == '/' ? stored : projectDirectory() + "/" + stored;
}

} // namespace hx
