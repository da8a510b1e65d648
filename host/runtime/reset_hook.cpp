#include "runtime/reset_hook.h"

#include <vector>

namespace hx {

namespace {

std::vector<void (*)()>& hooks()
{
    static std::vector<void (*)()> all;
    return all;
}

} // namespace

ResetHook::ResetHook(void (*reset)())
{
    hooks().push_back(reset);
}

void ResetHook::runAll()
{
    for (void (*reset)() : hooks())
        reset();
}

} // namespace hx
