#include "runtime/temporary_name.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace hx {

namespace {

constexpr size_t kKeptNameBytes = 40;
constexpr int kAttempts = 100;

// The start of a file name, cut before a UTF-8 continuation byte so that no character is split.
std::string shortened(const std::string& name)
{
    size_t end = std::min(name.size(), kKeptNameBytes);
    while (end > 0 && end < name.size() && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    return name.substr(0, end);
}

std::string randomLetters()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 generator(std::random_device{}());
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    std::string letters(6, ' ');
    for (char& c : letters)
        c = kLetters[pick(generator)];
    return letters;
}

} // namespace

int createTemporaryBeside(const std::string& path, const std::string& ending, std::string& temporary,
                          std::string* error)
{
    const size_t slash = path.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = shortened(slash == std::string::npos ? path : path.substr(slash + 1));
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        temporary = directory + name + "." + randomLetters() + ending;
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            break;
    }
    if (error)
        *error = "cannot create a file beside " + path + ": " + std::strerror(errno);
    return -1;
}

} // namespace hx
