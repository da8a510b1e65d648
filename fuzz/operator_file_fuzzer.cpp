// Operator files under HXHOME as the host reads them to name, flag and load an operator: any file
// gives an operator or none, loads a library only from the trusted folder, and leaves nothing live.
#include "scratch_file.h"

#include "host/hxmain.h"
#include "hxhost/log.h"
#include "hxhost/setup.h"
#include "hxhost/testing.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        hxhost::reset();
        hxhost::setHome(scratchDirectory());
        return true;
    }();
    (void)ready;
    writeScratchFile("fuzz.opw", data, size);
    mainGetOperatorName("fuzz.opw", 0);
    mainGetOperatorFlags("fuzz.opw", 0);
    HxOperator* op = mainLoadOperator("fuzz.opw", 0);
    if (op) {
        const uint32_t prefsSize = opGetPrefsSize(op);
        if (prefsSize > (1u << 20))
            std::abort();
    }
    mainUnloadOperator(op);
    hxhost::clearLog();
    if (!hxhost::liveCounts().empty())
        std::abort();
    return 0;
}
