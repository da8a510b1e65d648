// The host's control API: set-up, faults, counters and live objects.
#include "hxhost/faults.h"
#include "hxhost/for_people.h"
#include "hxhost/setup.h"
#include "hxhost/testing.h"

#include "runtime/atomic_file.h"
#include "runtime/host_state.h"
#include "runtime/install_paths.h"
#include "runtime/live_registry.h"
#include "runtime/reset_hook.h"
#include "operators/operators.h"
#include "scenes/storyboard.h"
#include "text/utf.h"
#include "scenes/storyboard_operators.h"

#include <cstdlib>
#include <stdexcept>
#include <dirent.h>

namespace {

bool copyFile(const std::string& from, const std::string& to, std::string* error)
{
    std::string bytes;
    if (!hx::readWholeFile(from, bytes, 16u << 20)) {
        if (error)
            *error = "cannot read " + from;
        return false;
    }
    return hx::writeFileUnlessSame(to, bytes, error);
}

} // namespace

namespace hx {

HostState freshHostState()
{
    HostState host;
    for (hxhost::Service service : {hxhost::Service::SceneList, hxhost::Service::ImageOps, hxhost::Service::Requesters})
        host.versions[static_cast<int>(service)] = hxhost::currentVersion(service);
    host.scripted = std::make_shared<hxhost::ScriptedUser>();
    host.user = host.scripted;
    if (const char* home = std::getenv("HXHOME"))
        host.home = home;
    return host;
}

} // namespace hx

namespace hxhost {

void reset()
{
    // The storyboard's operators go first: unloading them counts them out of the live objects.
    hx::unloadPlacedOperators();
    hx::resetStoryboard();
    hx::HostState& host = hx::state();
    const std::string resources = host.resourceRoot;
    unsetenv("HXHOME");
    host = hx::freshHostState();
    host.resourceRoot = resources; // where the host is installed does not change with a reset
    hx::ResetHook::runAll();
    hx::LiveKind::resetAll();
}

void setHome(const std::string& directory)
{
    hx::state().home = directory;
    setenv("HXHOME", directory.c_str(), 1);
}

void unsetHome()
{
    hx::state().home.clear();
    unsetenv("HXHOME");
}

std::string home()
{
    return hx::state().home;
}

bool installHome(const std::string& directory, std::string* error)
{
    const std::string prefs = directory + "/programs/stillset/prefs";
    if (!hx::makeDirectories(prefs) || !hx::makeDirectories(directory + "/projects")) {
        if (error)
            *error = "cannot create the installation under " + directory;
        return false;
    }
    const std::string presets = hx::resourceRoot() + "/stillset/prefs";
    if (DIR* folder = opendir(presets.c_str())) {
        bool ok = true;
        while (dirent* file = readdir(folder)) {
            const std::string name = file->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".prf") == 0)
                ok = ok && copyFile(presets + "/" + name, prefs + "/" + name, error);
        }
        closedir(folder);
        if (!ok)
            return false;
    }
    if (!hx::installOperatorFiles(directory, error))
        return false;
    setHome(directory);
    return true;
}

void setResourceRoot(const std::string& directory)
{
    hx::state().resourceRoot = directory;
}

void setProjectNumber(int32_t number)
{
    hx::state().projectNumber = number;
}

void setTimingAvailable(bool available)
{
    hx::state().timingAvailable = available;
}

void setFrameRateOverride(int64_t framesPerSecond)
{
    hx::state().frameRateOverride = framesPerSecond;
}

void setFirstFieldStatus(int32_t status)
{
    hx::state().firstFieldStatus = status;
}

void setSymbolAvailable(const std::string& name, bool available)
{
    hx::state().symbolAvailable[name] = available;
}

void failService(const std::string& name, uint32_t nth, bool persistent)
{
    if (!hx::isFallibleService(name))
        throw std::invalid_argument("no fallible service is called " + name);
    hx::state().faults[name] = hx::Fault{nth == 0 ? 1 : nth, persistent, true, false};
}

void throwInService(const std::string& name, uint32_t nth)
{
    failService(name, nth);
    hx::state().faults[name].throws = true;
}

void failNthFallibleCall(uint32_t nth)
{
    hx::state().sweepRemaining = nth;
}

void clearFaults()
{
    hx::state().faults.clear();
    hx::state().sweepRemaining = 0;
}

uint32_t callCount(const std::string& name)
{
    auto it = hx::state().calls.find(name);
    return it == hx::state().calls.end() ? 0 : it->second;
}

uint32_t totalCallCount()
{
    uint32_t total = 0;
    for (const auto& [name, count] : hx::state().calls)
        total += count;
    return total;
}

uint32_t fallibleCallCount()
{
    return hx::state().fallibleCalls;
}

uint32_t faultsFired()
{
    return hx::state().faultsFired;
}

LiveCounts liveCounts()
{
    return hx::LiveKind::counts();
}

std::string utf8Of(const std::u16string& text)
{
    return hx::utf16To8(text);
}

} // namespace hxhost
