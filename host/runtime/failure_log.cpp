#include "runtime/failure_log.h"

#include "host/hxlog.h"

#include <algorithm>

namespace hx {

void logFailure(const std::string& reason, const char* file, int line)
{
    // The compiler names the file by the path it was given: the folders after the host's own are
    // the same in every checkout and build.
    const std::string path = std::string("/") + file;
    const size_t slash = path.rfind('/');
    const size_t root = path.rfind("/host/", slash);
    std::string folder = root != std::string::npos && root + 6 <= slash ? path.substr(root + 6, slash - root - 6) : "";
    std::replace(folder.begin(), folder.end(), '/', '\\');
    const std::string source = folder.empty() ? "host" : "host\\" + folder;
    loggerMessage(HXLOG_FAILURE, line, source.c_str(), 0, "%s: %s",
                  path.substr(slash + 1).c_str(), reason.c_str());
}

} // namespace hx
