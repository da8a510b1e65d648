#include "runtime/atomic_file.h"

#include "runtime/unfinished_files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hx {

namespace {

bool fail(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + std::strerror(errno);
    return false;
}

void discard(const std::string& temporary)
{
    unlink(temporary.c_str());
    forgetUnfinished(temporary);
}

// Written under a temporary name and renamed into place; the file is unfinished until then, or until the
// project is stored when `unstored`.
bool writeFile(const std::string& path, const std::string& bytes, bool unstored, std::string* error)
{
    std::string temporary;
    const int fd = createUnfinishedBeside(path, temporary, error);
    if (fd < 0)
        return false;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail(error, "cannot write " + temporary);
            close(fd);
            discard(temporary);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (fsync(fd) != 0 || close(fd) != 0) {
        fail(error, "cannot flush " + temporary);
        discard(temporary);
        return false;
    }
    if (!renameUnfinished(temporary, path, unstored)) {
        fail(error, "cannot replace " + path);
        discard(temporary);
        return false;
    }
    return true;
}

} // namespace

bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string* error)
{
    return writeFile(path, bytes, false, error);
}

bool writeUnstoredFile(const std::string& path, const std::string& bytes, std::string* error)
{
    return writeFile(path, bytes, true, error);
}

bool readWholeFile(const std::string& path, std::string& bytes, size_t limit, std::string* reason)
{
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (reason)
            *reason = std::string("cannot read it: ") + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || static_cast<size_t>(info.st_size) > limit) {
        if (reason)
            *reason = S_ISDIR(info.st_mode)   ? "it is a folder, not a file"
                      : !S_ISREG(info.st_mode) ? "it is not a regular file (a pipe, device or socket)"
                                               : "it is larger than " + std::to_string(limit >> 20) + " MB";
        close(fd);
        return false;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    bytes.assign(static_cast<size_t>(info.st_size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    close(fd);
    bytes.resize(done);
    return true;
}

bool writeFileUnlessSame(const std::string& path, const std::string& bytes, std::string* error)
{
    std::string held;
    if (readWholeFile(path, held, bytes.size()) && held == bytes)
        return true;
    return writeFileAtomically(path, bytes, error);
}

bool setFileAside(const std::string& path, const std::string& suffix, std::string* asidePath)
{
    std::string target = path + suffix;
    for (int n = 1; access(target.c_str(), F_OK) == 0; ++n)
        target = path + suffix + "." + std::to_string(n);
    if (rename(path.c_str(), target.c_str()) != 0)
        return false;
    if (asidePath)
        *asidePath = target;
    return true;
}

bool makeDirectories(const std::string& path)
{
    if (path.empty())
        return false;
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (makeFolder(prefix, 0777) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace hx
