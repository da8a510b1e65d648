// The C runtime calls the plug-ins are written against, with the behaviour of the platform they
// were designed for: binary file handles, one-argument _mkdir, a 64-bit time and the 15-bit
// random generator (state = state * 214013 + 2531011, result = (state >> 16) & 0x7FFF).
#ifndef STILLSET_PLATFORM_CRT_H
#define STILLSET_PLATFORM_CRT_H

#include <cstddef>
#include <cstdint>

namespace crt {

enum : int {
    O_RDONLY_ = 0x0000,
    O_WRONLY_ = 0x0001,
    O_RDWR_ = 0x0002,
    O_CREAT_ = 0x0100,
    O_TRUNC_ = 0x0200,
    O_BINARY_ = 0x8000
};
enum : int {
    S_IREAD_ = 0400,
    S_IWRITE_ = 0200
};

constexpr int RAND_MAX_ = 0x7FFF;

int _open(const char* path, int flags, int mode = 0);
int _read(int fd, void* buffer, unsigned int count);
int _write(int fd, const void* buffer, unsigned int count);
int _close(int fd);
// Flushes a file to its storage before it replaces another.
int _commit(int fd);
int _mkdir(const char* path);
char* _getcwd(char* buffer, int size);
const char* getenv(const char* name);
int64_t _time64(int64_t* result);
// The clock _time64 reads: a test fixes it to make a shuffle repeatable; null restores the system clock.
using Clock = int64_t (*)();
void setClock(Clock clock);
int rand();
void srand(unsigned int seed);

} // namespace crt

#endif
