// A run interrupted from outside (Ctrl-C, SIGTERM, SIGHUP): what it made and never finished goes.
#ifndef HXHOST_INTERRUPTION_H
#define HXHOST_INTERRUPTION_H

#include "hxhost/api.h"

#include <string>

namespace hxhost {

// A folder made for the run only (mkdtemp's pattern, filled in), removed with all it holds if the run
// is interrupted; false when it cannot be made.
HXHOST_API bool makeRunFolder(std::string& pattern);
// Removes the run folder with all it holds, when the run is done with it.
HXHOST_API void removeRunFolder(const std::string& path);
// Removes every unfinished file and folder of this process: temporaries, media copied into the
// project and not yet stored with it, run folders. From any thread; after it, making such files fails.
HXHOST_API void removeUnfinishedFiles();

} // namespace hxhost

#endif
