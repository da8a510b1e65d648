// The host's parts that need large libraries of their own live in modules beside libhx:
// libhx_media.so (FFmpeg: sound files, MP4 and MKV) and libhx_window.so (SDL2: the desktop window).
// A module is loaded when it is first used, so a run that never plays sound, encodes or opens a
// window never loads those libraries.
#ifndef HX_MODULE_LOADER_H
#define HX_MODULE_LOADER_H

#include <string>

// A module's table of entry points, the one symbol it exports.
#define HX_MODULE_TABLE extern "C" __attribute__((visibility("default")))

namespace hx {

// The symbol `table` of the module `library` in libhx's own directory; null with the reason in
// `error`. The module stays loaded for the rest of the process.
const void* findModuleTable(const char* library, const char* table, std::string& error);

// The table of a module, looked up once: every later call gets the same table, or the same reason it
// could not be had ("cannot load the video encoder: ..." in *error). `Table` names its module in
// kLibrary, its symbol in kSymbol and what it does in kPurpose.
template <typename Table>
const Table* moduleTable(std::string* error)
{
    struct Found {
        const void* table = nullptr;
        std::string why;
    };
    static const Found found = [] {
        Found f;
        f.table = findModuleTable(Table::kLibrary, Table::kSymbol, f.why);
        return f;
    }();
    if (!found.table && error)
        *error = std::string("cannot load ") + Table::kPurpose + ": " + found.why;
    return static_cast<const Table*>(found.table);
}

} // namespace hx

#endif
