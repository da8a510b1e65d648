// The image-file library's file requester: the user picks a file; the program reads its name,
// display name and orientation.
#include "host/hxtx.h"

#include "gui/requesters/file_window.h"
#include "hxhost/audio.h"
#include "hxhost/testing.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/live_registry.h"
#include "runtime/reset_hook.h"
#include "text/utf.h"

#include <cstring>
#include <new>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

struct TxRequest {
    int32_t kind = 0;
    bool chosen = false;
    std::string path;
    std::u16string displayName;
    int32_t orientation = 0;
};

namespace {

void deleteRequest(TxRequest* request)
{
    delete request;
}

hx::LiveRegistry<TxRequest*>& liveRequests()
{
    static hx::LiveRegistry<TxRequest*> requests{&hxhost::LiveCounts::fileRequests, hx::OnReset::Release, deleteRequest};
    return requests;
}

bool isLive(const TxRequest* request)
{
    return request && liveRequests().contains(request);
}

bool isFile(const std::string& path)
{
    struct stat info{};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The folder of the file last chosen; empty: the working folder.
std::string lastFolder;
const hx::ResetHook forgetLastFolder([] { lastFolder.clear(); });

// Where the requester opens.
std::string startFolder()
{
    if (!lastFolder.empty())
        return lastFolder;
    char here[4096];
    return getcwd(here, sizeof here) ? here : "/";
}

std::u16string nameOf(const std::string& path)
{
    std::string name = path.substr(path.find_last_of('/') + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return hx::utf8To16(name);
}

// Copies `text` and its terminator when it fits in `size` characters; nonzero when it does not.
template <typename Char> int32_t copyOut(const std::basic_string<Char>& text, Char* buffer, int32_t size)
{
    if (!buffer || size < 0 || text.size() > static_cast<size_t>(size))
        return -1;
    std::memcpy(buffer, text.data(), text.size() * sizeof(Char));
    buffer[text.size()] = Char(0);
    return 0;
}

} // namespace

extern "C" {

TxRequest* txAllocRequest(int32_t kind) HX_ENTRY
{
    if (hx::shouldFail("txAllocRequest"))
        return nullptr;
    auto* request = new (std::nothrow) TxRequest;
    if (!request)
        return nullptr;
    request->kind = kind;
    liveRequests().add(request);
    return request;
}
HX_ENTRY_FAILS(nullptr)

int32_t txRequest(TxRequest* request, uint32_t) HX_ENTRY
{
    if (hx::shouldFail("txRequest") || !isLive(request))
        return -1;
    hx::HostState& host = hx::state();
    request->chosen = false;
    std::optional<hxhost::FileAnswer> answer;
    {
        const hx::FileWindow shown(request->kind, startFolder());
        answer = host.user ? host.user->pickFile(request->kind) : std::nullopt;
    }
    if (!answer)
        return 0;
    if (!isFile(answer->path)) {
        // The requester lists only files that exist; naming another is the same as cancelling.
        host.user->actionFailed(hxhost::UserAction{}, "the file requester has no file " + answer->path);
        return 0;
    }
    std::u16string title;
    if (request->kind == TX_SOUND_FILES) {
        hxhost::AudioInfo sound;
        std::string why;
        if (!hxhost::probeAudio(answer->path, &sound, &why)) {
            host.user->actionFailed(hxhost::UserAction{}, "the file requester lists sound files only: " + why);
            return 0;
        }
        title = sound.title;
    }
    request->chosen = true;
    request->path = answer->path;
    if (const size_t slash = answer->path.find_last_of('/'); slash != std::string::npos)
        lastFolder = slash == 0 ? "/" : answer->path.substr(0, slash);
    request->displayName = !answer->displayName.empty() ? answer->displayName : !title.empty() ? title : nameOf(answer->path);
    request->orientation = answer->orientation;
    return 0;
}
HX_ENTRY_FAILS(-1)

int32_t txGetStatus(TxRequest* request) HX_ENTRY
{
    hx::countCall("txGetStatus");
    return isLive(request) && request->chosen ? 1 : 0;
}
HX_ENTRY_FAILS(0)

int32_t txGetFileName(TxRequest* request, char* buffer, int32_t size) HX_ENTRY
{
    hx::countCall("txGetFileName");
    return isLive(request) && request->chosen ? copyOut(request->path, buffer, size) : -1;
}
HX_ENTRY_FAILS(-1)

int32_t txGetImageName(TxRequest* request, hxchar* buffer, int32_t size) HX_ENTRY
{
    hx::countCall("txGetImageName");
    return isLive(request) && request->chosen ? copyOut(request->displayName, buffer, size) : -1;
}
HX_ENTRY_FAILS(-1)

int32_t txGetOrientation(TxRequest* request) HX_ENTRY
{
    hx::countCall("txGetOrientation");
    return isLive(request) ? request->orientation : 0;
}
HX_ENTRY_FAILS(0)

void txFreeRequest(TxRequest* request) HX_ENTRY
{
    hx::countCall("txFreeRequest");
    if (!isLive(request))
        return;
    liveRequests().remove(request);
    delete request;
}
HX_ENTRY_FAILS_VOID

} // extern "C"
