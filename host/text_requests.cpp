// The host's user answering notices and questions, and the scripted user.
#include "host/hxreq.h"

#include "host_state.h"

extern "C" int32_t ureqTextRequest(UReqTextRequest* request)
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

namespace hxhost {

void ScriptedUser::addAnswer(uint32_t answer)
{
    answers_.push_back(answer);
}

uint32_t ScriptedUser::answerTextRequest(const TextRequestSeen&)
{
    return next_ < answers_.size() ? answers_[next_++] : 0;
}

void ScriptedUser::stopMeterAt(int32_t done)
{
    stopAt_ = done;
}

bool ScriptedUser::continueMeter(const MeterSeen& meter)
{
    if (stopAt_ < 0 || meter.updates.empty() || meter.updates.back() < stopAt_)
        return true;
    stopAt_ = -1;
    return false;
}

void setUser(std::shared_ptr<User> user)
{
    hx::state().user = std::move(user);
}

std::shared_ptr<ScriptedUser> scriptedUser()
{
    return hx::state().scripted;
}

std::vector<TextRequestSeen> textRequestsSeen()
{
    return hx::state().textRequests;
}

} // namespace hxhost
