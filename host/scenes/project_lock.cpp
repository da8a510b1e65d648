// One process owns a host project at a time. The owner holds a write lock of the operating system on
// the project's lock file; the kernel lets it go when the process ends however it ends, so no stale
// lock outlives a crash, and the lock itself tells who holds it.
#include "hxhost/scene_bin.h"

#include "runtime/atomic_file.h"
#include "runtime/host_state.h"
#include "runtime/reset_hook.h"
#include "scenes/scene_bin.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct HeldLock {
    int fd = -1;
    std::string directory;
};

HeldLock& held()
{
    static HeldLock lock;
    return lock;
}

// Closing the only descriptor of the lock file ends this process's lock on it.
void release()
{
    if (held().fd >= 0)
        close(held().fd);
    held() = {};
}

const hx::ResetHook projectLockReset(release);

bool fail(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

namespace hxhost {

bool lockProject(std::string* error)
{
    const std::string directory = hx::projectDirectory();
    if (directory.empty())
        return fail(error, "no installation (HXHOME) holding the project");
    if (held().fd >= 0 && held().directory == directory)
        return true;
    release();
    if (!hx::makeDirectories(directory))
        return fail(error, "cannot create " + directory);
    const std::string path = directory + "/.lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(error, "cannot open " + path + ": " + std::strerror(errno));
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (fcntl(fd, F_SETLK, &whole) == 0) {
        held() = {fd, directory};
        return true;
    }
    const int why = errno;
    struct flock holder = whole;
    const bool known = (why == EACCES || why == EAGAIN) && fcntl(fd, F_GETLK, &holder) == 0 && holder.l_type != F_UNLCK;
    close(fd);
    const std::string project = "project " + std::to_string(hx::state().projectNumber) + " of " + hx::state().home;
    if (why == EACCES || why == EAGAIN)
        return fail(error, project + " is in use by " +
                               (known ? "process " + std::to_string(holder.l_pid) : std::string("another process")));
    return fail(error, "cannot lock " + project + ": " + std::strerror(why));
}

} // namespace hxhost
