// Operators: an operator file names a plug-in library and how its preference block is applied
// ("<key>=<value>" lines: name, library, flags, prefs-size, prefs-offset), or a transition built into
// the host ("builtin=<file>"). Each load is an operator of its own with its own preference block,
// which the host writes into the plug-in's operator record whenever it runs the operator.
#include "operators/operators.h"

#include "host/hxlog.h"
#include "host/hxmain.h"
#include "hxhost/plugin_library.h"
#include "hxhost/testing.h"
#include "runtime/atomic_file.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/install_paths.h"
#include "runtime/live_registry.h"
#include "text/utf.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

namespace {

constexpr size_t kMaxOperatorFileBytes = 64 * 1024;
constexpr uint32_t kMaxPrefsBytes = 1u << 20;

using hx::OperatorFile;

// The operator file "<HXHOME>/<name>"; false when it is missing or malformed.
bool readOperatorFile(const char* name, OperatorFile& fields)
{
    const std::string& home = hx::state().home;
    if (!name || home.empty() || std::strstr(name, ".."))
        return false;
    std::string bytes;
    return hx::readWholeFile(home + "/" + name, bytes, kMaxOperatorFileBytes) && hx::parseOperatorFile(bytes, fields);
}

std::string resolvedPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// The folders operator libraries may come from: the installation's own, then those the user names.
std::vector<std::string> trustedFolders()
{
    std::vector<std::string> folders{hx::libraryDirectory()};
    if (const char* named = std::getenv("HXOPERATORPATH")) {
        std::istringstream list(named);
        for (std::string folder; std::getline(list, folder, ':');)
            if (!folder.empty())
                folders.push_back(folder);
    }
    return folders;
}

uint32_t number(const OperatorFile& fields, const char* key)
{
    auto it = fields.find(key);
    return it == fields.end() ? 0 : static_cast<uint32_t>(std::strtoul(it->second.c_str(), nullptr, 0));
}

void unload(HxOperator* op)
{
    if (op->library) // built-in transitions have none
        dlclose(op->library);
    delete op;
}

hx::LiveRegistry<HxOperator*>& liveOperators()
{
    static hx::LiveRegistry<HxOperator*> operators{&hxhost::LiveCounts::operators, hx::OnReset::Release, unload};
    return operators;
}

// A built-in transition starts with its catalogue defaults.
HxOperator* loadBuiltin(const std::string& file)
{
    const hxhost::TransitionType* type = hxhost::findTransition(file);
    if (!type)
        return nullptr;
    auto* op = new HxOperator;
    op->transition = type;
    op->prefs = type->defaultPrefs();
    return op;
}

HxOperator* load(const char* name, const OperatorFile& fields, std::string* error)
{
    if (auto builtin = fields.find("builtin"); builtin != fields.end())
        return loadBuiltin(builtin->second);
    auto library = fields.find("library");
    if (library == fields.end())
        return nullptr;
    // Loading a library runs its code, and a project from elsewhere may name any operator file.
    const std::string trusted = hx::trustedLibraryPath(library->second, trustedFolders());
    if (trusted.empty()) {
        if (error)
            *error = "refused the operator library " + library->second + " named by " + hx::state().home + "/" +
                     name + ": operator libraries load only from " + hx::libraryDirectory() +
                     " or a folder named in HXOPERATORPATH";
        return nullptr;
    }
    hxhost::PluginLibrary plugin;
    const uint32_t prefsSize = std::min(number(fields, "prefs-size"), kMaxPrefsBytes);
    if (!hxhost::openPluginLibrary(trusted, plugin))
        return nullptr;
    if (prefsSize && !plugin.record) {
        dlclose(plugin.handle);
        return nullptr;
    }
    auto* op = new HxOperator;
    op->library = plugin.handle;
    op->action = plugin.action;
    op->record = plugin.record;
    op->instanceSize = plugin.instanceSize;
    op->prefsOffset = number(fields, "prefs-offset");
    op->prefs.assign(prefsSize, 0);
    return op;
}

} // namespace

namespace hx {

bool parseOperatorFile(const std::string& bytes, OperatorFile& fields)
{
    std::istringstream lines(bytes);
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (line.empty() || line[0] == '#')
            continue;
        if (equals == std::string::npos)
            return false;
        fields[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return fields.count("name") != 0;
}

std::string trustedLibraryPath(const std::string& library, const std::vector<std::string>& folders)
{
    // A bare name would be looked for along the system's library path: only a full path is taken.
    if (library.empty() || library[0] != '/')
        return {};
    const std::string file = resolvedPath(library);
    const size_t slash = file.rfind('/');
    if (file.empty() || slash == std::string::npos)
        return {};
    const std::string folder = slash == 0 ? "/" : file.substr(0, slash);
    for (const std::string& trusted : folders)
        if (!trusted.empty() && resolvedPath(trusted) == folder)
            return file;
    return {};
}

HxOperator* loadOperator(const char* name, std::string* error)
{
    OperatorFile fields;
    if (shouldFail("mainLoadOperator")) {
        if (error)
            *error = "the host could not load operators (an injected fault)";
        return nullptr;
    }
    if (!readOperatorFile(name, fields)) {
        if (error)
            *error = "no operator file " + std::string(name ? name : "") + " under " + hx::state().home;
        return nullptr;
    }
    HxOperator* op = load(name, fields, error);
    if (!op) {
        if (error && error->empty())
            *error = "the operator of " + std::string(name) + " cannot be loaded";
        return nullptr;
    }
    liveOperators().add(op);
    return op;
}

HxOperator* loadPlacedOperator(const hxhost::PlacedOperator& placed, std::string* error)
{
    HxOperator* op = loadOperator(placed.operatorName.c_str(), error);
    if (op && !placed.prefs.empty() &&
        opSetPrefs(op, placed.prefs.data(), static_cast<uint32_t>(placed.prefs.size())) != 0) {
        mainUnloadOperator(op);
        if (error)
            *error = "its stored settings do not fit the operator " + placed.operatorName;
        return nullptr;
    }
    return op;
}

void applyPrefs(HxOperator& op)
{
    if (op.record && !op.prefs.empty())
        std::memcpy(op.record + op.prefsOffset, op.prefs.data(), op.prefs.size());
}

bool installOperatorFiles(const std::string& home, std::string* error)
{
    // The pan operator library lies beside this host library.
    const std::string directory = libraryDirectory();
    if (directory.empty()) {
        if (error)
            *error = "cannot locate the host library";
        return false;
    }
    const std::string file = "name=Pan and zoom\nlibrary=" + directory + "/libstillset_op_pan.so\nflags=0\n"
                             "prefs-size=" + std::to_string(sizeof(PanPrefs)) + "\nprefs-offset=" + std::to_string(PAN_PREFS_OFFSET) + "\n";
    if (!makeDirectories(home + "/longterm") || !writeFileUnlessSame(home + "/longterm/stillsetpan.opw", file, error))
        return false;
    if (!makeDirectories(home + "/transition")) {
        if (error)
            *error = "cannot create " + home + "/transition";
        return false;
    }
    for (const hxhost::TransitionType& type : hxhost::transitionCatalogue()) {
        const std::string text = "name=" + utf16To8(type.name) + "\nbuiltin=" + type.file + "\nflags=" +
                                 std::to_string(type.flags) + "\nprefs-size=" + std::to_string(type.prefsSize()) + "\n";
        if (!writeFileUnlessSame(home + "/transition/" + type.file, text, error))
            return false;
    }
    return true;
}

} // namespace hx

extern "C" {

HxOperator* mainLoadOperator(const char* name, int32_t) HX_ENTRY
{
    std::string error;
    HxOperator* op = hx::loadOperator(name, &error);
    if (!op)
        loggerMessage(HXLOG_FAILURE, __LINE__, "host\\operators", 0, "%s", error.c_str());
    return op;
}
HX_ENTRY_FAILS(nullptr)

void mainUnloadOperator(HxOperator* op) HX_ENTRY
{
    hx::countCall("mainUnloadOperator");
    if (liveOperators().remove(op))
        unload(op);
}
HX_ENTRY_FAILS_VOID

const hxchar* mainGetOperatorName(const char* name, int32_t) HX_ENTRY
{
    hx::countCall("mainGetOperatorName");
    static std::map<std::string, std::u16string> names; // the answers stay valid for the process
    OperatorFile fields;
    if (!readOperatorFile(name, fields))
        return nullptr;
    std::u16string& text = names[name];
    text = hx::utf8To16(fields["name"]);
    return text.c_str();
}
HX_ENTRY_FAILS(nullptr)

uint32_t mainGetOperatorFlags(const char* name, int32_t) HX_ENTRY
{
    hx::countCall("mainGetOperatorFlags");
    OperatorFile fields;
    return readOperatorFile(name, fields) ? number(fields, "flags") : 0;
}
HX_ENTRY_FAILS(0)

uint32_t opGetPrefsSize(HxOperator* op) HX_ENTRY
{
    hx::countCall("opGetPrefsSize");
    return op ? static_cast<uint32_t>(op->prefs.size()) : 0;
}
HX_ENTRY_FAILS(0)

int32_t opGetPrefs(HxOperator* op, void* buffer, uint32_t size) HX_ENTRY
{
    hx::countCall("opGetPrefs");
    if (!op || !buffer || size != op->prefs.size())
        return -1;
    std::memcpy(buffer, op->prefs.data(), size);
    return 0;
}
HX_ENTRY_FAILS(-1)

int32_t opSetPrefs(HxOperator* op, const void* buffer, uint32_t size) HX_ENTRY
{
    if (hx::shouldFail("opSetPrefs") || !op || !buffer || size != op->prefs.size())
        return -1;
    std::memcpy(op->prefs.data(), buffer, size);
    return 0;
}
HX_ENTRY_FAILS(-1)

void opSetUniqueID(HxOperator* op, uint32_t id) HX_ENTRY
{
    hx::countCall("opSetUniqueID");
    if (op)
        op->uniqueId = id;
}
HX_ENTRY_FAILS_VOID

} // extern "C"

namespace hxhost {

const TransitionType* transitionOf(const HxOperator* op)
{
    return op ? op->transition : nullptr;
}

} // namespace hxhost
