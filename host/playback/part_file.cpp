#include "playback/part_file.h"

#include <cstdio>

namespace hx {

PartFile::~PartFile()
{
    if (!committed_)
        std::remove(part_.c_str());
}

bool PartFile::commit(std::string* error)
{
    if (std::rename(part_.c_str(), path_.c_str()) != 0) {
        if (error)
            *error = "cannot rename " + part_ + " to " + path_;
        return false;
    }
    committed_ = true;
    return true;
}

} // namespace hx
