// The version queries of the host's service libraries.
#include "host/hxopcommon.h"
#include "host/hxreq.h"
#include "host/hxscenes.h"

#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "hxhost/setup.h"

namespace {

int32_t versionPart(hxhost::Service service, int32_t which)
{
    const hxhost::Version& version = hx::state().versions[static_cast<int>(service)];
    return which == 0 ? version.major : version.minor;
}

} // namespace

extern "C" {

int32_t nslVersion(int32_t which) HX_ENTRY
{
    hx::countCall("nslVersion");
    return versionPart(hxhost::Service::SceneList, which);
}
HX_ENTRY_FAILS(0)

int32_t opcVersion(int32_t which) HX_ENTRY
{
    hx::countCall("opcVersion");
    return versionPart(hxhost::Service::ImageOps, which);
}
HX_ENTRY_FAILS(0)

int32_t ureqVersion(int32_t which) HX_ENTRY
{
    hx::countCall("ureqVersion");
    return versionPart(hxhost::Service::Requesters, which);
}
HX_ENTRY_FAILS(0)

} // extern "C"

namespace hxhost {

Version currentVersion(Service service)
{
    // The versions this host implements.
    switch (service) {
    case Service::SceneList: return {11, 140};
    case Service::ImageOps: return {5, 12};
    case Service::Requesters: return {117, 70};
    }
    return {};
}

void setServiceVersion(Service service, Version version)
{
    hx::state().versions[static_cast<int>(service)] = version;
}

} // namespace hxhost
