// The host main program's pickers: scenes of the scene bin and operators, chosen by the user.
#include "host/hxmain.h"

#include "gui/requesters/picker_window.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "scenes/scene_bin.h"
#include "text/utf.h"
#include "hxhost/scene_bin.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace {

constexpr uint32_t kMaxChosen = 1u << 20;

// Appends to a vector the caller frees with free(); false, with the vector unchanged, when memory fails.
template <typename T, typename Vector> bool append(Vector* vector, const std::vector<T>& values)
{
    if (values.empty())
        return true;
    if (vector->count > kMaxChosen || values.size() > kMaxChosen)
        return false;
    const size_t count = vector->count + values.size();
    auto* items = static_cast<T*>(std::realloc(vector->items, count * sizeof(T)));
    if (!items)
        return false;
    std::copy(values.begin(), values.end(), items + vector->count);
    vector->items = items;
    vector->count = static_cast<uint32_t>(count);
    vector->capacity = static_cast<uint32_t>(count);
    return true;
}

// The host's transitions: the operator files under "<HXHOME>/transition".
std::vector<std::string> transitionNames()
{
    std::vector<std::string> names;
    const std::string directory = hx::state().home + "/transition";
    if (hx::state().home.empty())
        return names;
    if (DIR* folder = opendir(directory.c_str())) {
        while (dirent* entry = readdir(folder)) {
            struct stat info{};
            const std::string name = entry->d_name;
            if (name[0] != '.' && stat((directory + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
                names.push_back(name);
        }
        closedir(folder);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

extern "C" {

int32_t mainSelectSceneRequesterMulti(int32_t, HxIdVector* scenes, int32_t) HX_ENTRY
{
    if (hx::shouldFail("mainSelectSceneRequesterMulti") || !scenes)
        return -1;
    std::vector<hxhost::SceneOffered> offered;
    for (const hxhost::SceneBinItem& item : hxhost::sceneBinItems())
        offered.push_back({item.id, item.name});
    std::vector<std::u16string> names;
    for (const hxhost::SceneOffered& scene : offered)
        names.push_back(scene.name);
    const hx::PickerWindow shown(u"Scenes", names);
    hx::HostState& host = hx::state();
    const std::vector<uint32_t> chosen = host.user ? host.user->pickScenes(offered) : std::vector<uint32_t>{};
    return append<uint32_t>(scenes, chosen) ? 0 : -1;
}
HX_ENTRY_FAILS(-1)

int32_t mainSelectOperatorRequesterMulti(HxStringVector* names, int32_t, const char* lastPath, int32_t) HX_ENTRY
{
    if (hx::shouldFail("mainSelectOperatorRequesterMulti") || !names)
        return -1;
    const std::vector<std::string> offered = transitionNames();
    std::vector<std::u16string> shownNames;
    for (const std::string& name : offered)
        shownNames.push_back(hx::utf8To16(name));
    const hx::PickerWindow shown(u"Transitions", shownNames);
    hx::HostState& host = hx::state();
    const std::vector<std::string> chosen =
        host.user ? host.user->pickOperators(offered, lastPath ? lastPath : "") : std::vector<std::string>{};
    std::vector<char*> copies;
    for (const std::string& name : chosen) {
        char* copy = strdup(name.c_str());
        if (!copy) {
            for (char* made : copies)
                std::free(made);
            return -1;
        }
        copies.push_back(copy);
    }
    if (append<char*>(names, copies))
        return 0;
    for (char* made : copies)
        std::free(made);
    return -1;
}
HX_ENTRY_FAILS(-1)

AVRecord mainGetAVRecordFromId(uint32_t id, int32_t project, int32_t) HX_ENTRY
{
    hx::countCall("mainGetAVRecordFromId");
    if (project != hx::state().projectNumber)
        return 0;
    const hx::BinItem* item = hx::findItem(id);
    return item ? item->record : 0;
}
HX_ENTRY_FAILS(0)

} // extern "C"
