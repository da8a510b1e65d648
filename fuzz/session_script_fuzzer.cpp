// Session scripts as stillset-host reads them: any text is taken whole or refused with its line.
#include "hxhost/session_script.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    hxhost::ScriptedUser user;
    std::string error;
    const bool parsed = hxhost::parseSessionScript(std::string(reinterpret_cast<const char*>(data), size), "fuzz", user, &error);
    // A refusal adds nothing and names its line.
    if (!parsed && (user.actionsLeft() != 0 || error.rfind("fuzz:", 0) != 0))
        std::abort();
    return 0;
}
