// Nothing throws across the boundary: every host C entry point is a function-try-block whose
// handler logs the exception (level 4, with the entry point's name) and returns the entry point's
// documented failure result.
//
//     extern "C" int32_t nslSBGetLength(int32_t flags) HX_ENTRY
//     {
//         ...
//     }
//     HX_ENTRY_FAILS(-1)
//
// A void entry point ends with HX_ENTRY_FAILS_VOID.
#ifndef HX_ENTRY_GUARD_H
#define HX_ENTRY_GUARD_H

namespace hx {

// Logs the exception being handled as a level-4 entry naming the entry point.
void logEscapedException(const char* entryPoint) noexcept;

} // namespace hx

#define HX_ENTRY try
#define HX_ENTRY_FAILS(result)                                                                      \
    catch (...)                                                                                     \
    {                                                                                               \
        hx::logEscapedException(__func__);                                                          \
        return result;                                                                              \
    }
#define HX_ENTRY_FAILS_VOID                                                                         \
    catch (...)                                                                                     \
    {                                                                                               \
        hx::logEscapedException(__func__);                                                          \
    }

#endif
