// hxmain: the host main program's project services.
#include "host/hxmain.h"

#include "runtime/host_state.h"

extern "C" int32_t mainGetActiveProjectNumber(void)
{
    hx::countCall("mainGetActiveProjectNumber");
    return hx::state().projectNumber;
}
