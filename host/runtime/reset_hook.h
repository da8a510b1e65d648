// State a host library keeps outside HostState: each library registers how it starts again, so
// hxhost::reset() reaches every one without a list to keep up to date.
#ifndef HX_RESET_HOOK_H
#define HX_RESET_HOOK_H

namespace hx {

class ResetHook {
public:
    // Declare one at namespace scope beside the state it resets.
    explicit ResetHook(void (*reset)());
    static void runAll();
};

} // namespace hx

#endif
