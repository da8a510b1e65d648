// hxtools and hxsupport: identifiers, hardware status and run-time lookup of host functions.
#include "host/hxgui.h"
#include "host/hxopcommon.h"
#include "host/hxsupport.h"
#include "host/hxtools.h"

#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

#include <cstring>

namespace {

struct Symbol {
    const char* name;
    void* address;
};

// The host functions a plug-in may look up by name.
const Symbol kSymbols[] = {
    {"opScaleImage", reinterpret_cast<void*>(&opScaleImage)},
    {"ugGetScaledResImage2", reinterpret_cast<void*>(&ugGetScaledResImage2)},
    {"opScaleImageSP", reinterpret_cast<void*>(&opScaleImageSP)},
};

} // namespace

extern "C" {

uint32_t vxtlGetUniqueID(void) HX_ENTRY
{
    hx::countCall("vxtlGetUniqueID");
    return ++hx::state().nextUniqueId;
}
HX_ENTRY_FAILS(0)

uint8_t vxtlGetHardwareStatus(void) HX_ENTRY
{
    hx::countCall("vxtlGetHardwareStatus");
    return 0; // no video hardware: cmGetField reads fields as stored
}
HX_ENTRY_FAILS(0)

void* vxsSymFind(void*, const char* name) HX_ENTRY
{
    hx::countCall("vxsSymFind");
    if (!name)
        return nullptr;
    for (const Symbol& symbol : kSymbols) {
        if (std::strcmp(symbol.name, name) != 0)
            continue;
        auto denied = hx::state().symbolAvailable.find(name);
        if (denied != hx::state().symbolAvailable.end() && !denied->second)
            return nullptr;
        return symbol.address;
    }
    return nullptr;
}
HX_ENTRY_FAILS(nullptr)

} // extern "C"
