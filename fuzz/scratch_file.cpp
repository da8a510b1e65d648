#include "scratch_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

class ScratchDirectory {
public:
    ScratchDirectory()
    {
        const char* tmp = std::getenv("TMPDIR");
        path_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/stillset-fuzz-XXXXXX";
        if (!mkdtemp(path_.data()))
            throw std::runtime_error("cannot make a scratch directory");
    }
    ~ScratchDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

} // namespace

const std::string& scratchDirectory()
{
    static const ScratchDirectory directory;
    return directory.path();
}

std::string writeScratchFile(const std::string& name, const uint8_t* data, size_t size)
{
    const std::string path = scratchDirectory() + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot write " + path);
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written)
        throw std::runtime_error("cannot write " + path);
    return path;
}
