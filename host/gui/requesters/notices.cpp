// Notices and questions: the user answers them.
#include "host/hxreq.h"

#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

extern "C" int32_t ureqTextRequest(UReqTextRequest* request) HX_ENTRY
{
    if (hx::shouldFail("ureqTextRequest") || !request)
        return -1;
    hxhost::TextRequestSeen seen;
    if (request->title)
        seen.title = request->title;
    if (request->text)
        seen.text = request->text;
    seen.style = request->style;
    hx::HostState& host = hx::state();
    seen.answer = host.user ? host.user->answerTextRequest(seen) : 0;
    request->answer = seen.answer;
    host.textRequests.push_back(std::move(seen));
    return 0;
}
HX_ENTRY_FAILS(-1)

namespace hxhost {

std::vector<TextRequestSeen> textRequestsSeen()
{
    return hx::state().textRequests;
}

} // namespace hxhost
