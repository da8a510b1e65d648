// hxmain: the host main program's project services.
#include "host/hxmain.h"

#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

extern "C" int32_t mainGetActiveProjectNumber(void) HX_ENTRY
{
    hx::countCall("mainGetActiveProjectNumber");
    return hx::state().projectNumber;
}
HX_ENTRY_FAILS(-1)
