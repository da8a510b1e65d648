#include "runtime/warnings.h"

#include "hxhost/warnings.h"
#include "runtime/reset_hook.h"

#include <mutex>
#include <vector>

namespace {

struct Warnings {
    std::mutex lock;
    std::vector<std::string> given;
    hxhost::WarningSink sink;
};

Warnings& warnings()
{
    static Warnings all;
    return all;
}

// The sink belongs to the program and outlives a reset; what was said does not.
const hx::ResetHook warningsReset([] {
    Warnings& w = warnings();
    std::lock_guard<std::mutex> hold(w.lock);
    w.given.clear();
});

} // namespace

namespace hx {

void warnUser(const std::string& text)
{
    Warnings& w = warnings();
    hxhost::WarningSink sink;
    {
        std::lock_guard<std::mutex> hold(w.lock);
        w.given.push_back(text);
        sink = w.sink;
    }
    if (sink)
        sink(text);
}

} // namespace hx

namespace hxhost {

void setWarningSink(WarningSink sink)
{
    Warnings& w = warnings();
    std::lock_guard<std::mutex> hold(w.lock);
    w.sink = std::move(sink);
}

std::vector<std::string> warningsGiven()
{
    Warnings& w = warnings();
    std::lock_guard<std::mutex> hold(w.lock);
    return w.given;
}

} // namespace hxhost
