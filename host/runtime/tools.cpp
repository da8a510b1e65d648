// hxtools and hxsupport: identifiers, hardware status and run-time lookup of host functions.
#include "host/hxgui.h"
#include "host/hxopcommon.h"
#include "host/hxsupport.h"
#include "host/hxtools.h"

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

uint32_t vxtlGetUniqueID(void)
{
    hx::countCall("vxtlGetUniqueID");
    return ++hx::state().nextUniqueId;
}

uint8_t vxtlGetHardwareStatus(void)
{
    hx::countCall("vxtlGetHardwareStatus");
    return hx::state().hardwareStatus;
}

void* vxsSymFind(void*, const char* name)
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

} // extern "C"
