// The settings file "slset.dat" as the slideshow tool reads it at start-up: whatever the bytes, the
// read ends in the stored choices or the defaults, and every record it made is released again.
#include "scratch_file.h"

#include "stillset/session.h"
#include "stillset/settings.h"

#include "host/hxscenes.h"
#include "hxhost/log.h"
#include "hxhost/setup.h"
#include "hxhost/testing.h"

#include <cstdlib>
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        hxhost::reset();
        for (ListHead* list : {&session.photoList, &session.trashList, &session.transitionList, &session.effectList})
            ListInit(list);
        return true;
    }();
    (void)ready;
    writeScratchFile("slset.dat", data, size);
    readSettings(scratchDirectory().c_str());
    // A damaged file is set aside beside the next; removing it keeps each run as quick as the first.
    std::filesystem::remove(scratchDirectory() + "/slset.dat.damaged");
    freeOperatorLists();
    restoreDefaultSettings();
    nslFreeStillsetProject(nullptr, &session.photoList, 0);
    hxhost::clearLog();
    if (!hxhost::liveCounts().empty())
        std::abort();
    return 0;
}
