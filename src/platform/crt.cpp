#include "platform/crt.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace crt {

namespace {

uint32_t randomState = 1;
Clock injectedClock = nullptr;

int hostFlags(int flags)
{
    int out = (flags & O_RDWR_) ? O_RDWR : (flags & O_WRONLY_) ? O_WRONLY : O_RDONLY;
    if (flags & O_CREAT_)
        out |= O_CREAT;
    if (flags & O_TRUNC_)
        out |= O_TRUNC;
    return out | O_CLOEXEC;
}

// The pmode's read and write permission is the owner's, group's and others' alike, as the umask leaves them.
mode_t hostMode(int mode)
{
    return (mode & S_IWRITE_) ? 0666 : 0444;
}

} // namespace

int _open(const char* path, int flags, int mode)
{
    if (!path)
        return -1;
    int fd;
    do
        fd = ::open(path, hostFlags(flags), hostMode(mode));
    while (fd < 0 && errno == EINTR);
    return fd;
}

int _read(int fd, void* buffer, unsigned int count)
{
    ssize_t n;
    do
        n = ::read(fd, buffer, count);
    while (n < 0 && errno == EINTR);
    return static_cast<int>(n);
}

int _write(int fd, const void* buffer, unsigned int count)
{
    ssize_t n;
    do
        n = ::write(fd, buffer, count);
    while (n < 0 && errno == EINTR);
    return static_cast<int>(n);
}

int _close(int fd)
{
    return ::close(fd);
}

int _commit(int fd)
{
    return ::fsync(fd);
}

int _mkdir(const char* path)
{
    return path ? ::mkdir(path, 0777) : -1;
}

char* _getcwd(char* buffer, int size)
{
    return size > 0 ? ::getcwd(buffer, static_cast<size_t>(size)) : nullptr;
}

const char* getenv(const char* name)
{
    return std::getenv(name);
}

void setClock(Clock clock)
{
    injectedClock = clock;
}

int64_t _time64(int64_t* result)
{
    const int64_t now = injectedClock ? injectedClock() : static_cast<int64_t>(std::time(nullptr));
    if (result)
        *result = now;
    return now;
}

int rand()
{
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}

void srand(unsigned int seed)
{
    randomState = seed;
}

} // namespace crt
