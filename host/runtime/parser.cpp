// hxparser: the screen the host currently shows.
#include "host/hxparser.h"

#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "hxhost/testing.h"

extern "C" {

void parserGetCurrentScreen(uint32_t* screen, uint32_t* mode) HX_ENTRY
{
    hx::countCall("parserGetCurrentScreen");
    if (screen)
        *screen = hx::state().screen.screen;
    if (mode)
        *mode = hx::state().screen.mode;
}
HX_ENTRY_FAILS_VOID

void parserSetCurrentScreen(uint32_t screen, uint32_t mode) HX_ENTRY
{
    hx::countCall("parserSetCurrentScreen");
    hx::state().screen = {screen, mode};
    hx::state().screenHistory.push_back({screen, mode});
}
HX_ENTRY_FAILS_VOID

} // extern "C"

namespace hxhost {

Screen currentScreen()
{
    return hx::state().screen;
}

std::vector<Screen> screenHistory()
{
    return hx::state().screenHistory;
}

} // namespace hxhost
