#include "run_folder.h"

#include "hxhost/interruption.h"

#include <cstdlib>

RunFolder::~RunFolder()
{
    if (!path_.empty())
        hxhost::removeRunFolder(path_);
}

bool RunFolder::make(const std::string& prefix, std::string& error)
{
    const char* tmp = std::getenv("TMPDIR");
    const std::string parent = tmp && *tmp ? tmp : "/tmp";
    std::string pattern = parent + "/" + prefix + "-XXXXXX";
    if (!hxhost::makeRunFolder(pattern)) {
        error = "cannot make a temporary folder in " + parent;
        return false;
    }
    path_ = pattern;
    return true;
}
