#include "playback/part_file.h"

#include "runtime/temporary_name.h"

#include <cstdio>

namespace hx {

PartFile::~PartFile()
{
    if (!committed_ && !part_.empty())
        std::remove(part_.c_str());
}

int PartFile::create(std::string* error)
{
    return createTemporaryBeside(path_, ".part", part_, error);
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
