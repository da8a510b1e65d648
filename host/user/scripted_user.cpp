// The scripted user: plays its actions in order and answers each kind of requester from its own queue.
#include "hxhost/user.h"

#include "runtime/host_state.h"
#include "text/utf.h"

#include <algorithm>

namespace {

// The next entry of a queue, or nothing when it ran out.
template <typename T> const T* takeNext(const std::vector<T>& queue, size_t& next)
{
    return next < queue.size() ? &queue[next++] : nullptr;
}

std::string lineOf(const hxhost::UserAction& action)
{
    return action.line > 0 ? "line " + std::to_string(action.line) + ": " : "";
}

} // namespace

namespace hxhost {

void ScriptedUser::addAnswer(uint32_t answer, std::string screenshot)
{
    answers_.push_back(answer);
    answerShots_.push_back(std::move(screenshot));
}

void ScriptedUser::stopMeterAt(int32_t done)
{
    stopAt_ = done;
}

void ScriptedUser::addAction(UserAction action)
{
    actions_.push_back(std::move(action));
}

void ScriptedUser::addCrop(CropAnswer answer, std::string screenshot)
{
    crops_.push_back(answer);
    cropShots_.push_back(std::move(screenshot));
}

void ScriptedUser::screenshotBeforeAnswer(const std::string& path)
{
    std::string why;
    if (!path.empty() && !saveScreenshot(path, nullptr, &why))
        failures_.push_back("screenshot " + path + ": " + why);
}

void ScriptedUser::addScenes(ScenePick pick)
{
    scenes_.push_back(std::move(pick));
}

void ScriptedUser::addOperators(std::vector<std::string> names)
{
    operators_.push_back(std::move(names));
}

void ScriptedUser::addFile(std::optional<FileAnswer> answer)
{
    files_.push_back(std::move(answer));
}

uint32_t ScriptedUser::answerTextRequest(const TextRequestSeen&)
{
    if (next_ < answerShots_.size())
        screenshotBeforeAnswer(answerShots_[next_]);
    const uint32_t* answer = takeNext(answers_, next_);
    return answer ? *answer : 0;
}

bool ScriptedUser::continueMeter(const MeterSeen& meter)
{
    if (stopAt_ < 0 || meter.updates.empty() || meter.updates.back() < stopAt_)
        return true;
    stopAt_ = -1;
    return false;
}

std::optional<UserAction> ScriptedUser::nextAction()
{
    const UserAction* action = takeNext(actions_, nextAction_);
    return action ? std::optional<UserAction>(*action) : std::nullopt;
}

void ScriptedUser::actionFailed(const UserAction& action, const std::string& why)
{
    failures_.push_back(lineOf(action) + why);
}

CropAnswer ScriptedUser::answerImageRequest(const ImageRequestSeen&)
{
    if (nextCrop_ < cropShots_.size())
        screenshotBeforeAnswer(cropShots_[nextCrop_]);
    const CropAnswer* answer = takeNext(crops_, nextCrop_);
    return answer ? *answer : CropAnswer{};
}

std::vector<uint32_t> ScriptedUser::pickScenes(const std::vector<SceneOffered>& offered)
{
    const ScenePick* pick = takeNext(scenes_, nextScenes_);
    std::vector<uint32_t> chosen;
    if (!pick)
        return chosen;
    if (pick->all) {
        for (const SceneOffered& scene : offered)
            chosen.push_back(scene.id);
        return chosen;
    }
    for (uint32_t id : pick->ids) {
        if (std::any_of(offered.begin(), offered.end(), [id](const SceneOffered& s) { return s.id == id; }))
            chosen.push_back(id);
        else
            failures_.push_back("the scene picker offers no scene " + std::to_string(id));
    }
    for (const std::u16string& name : pick->names) {
        auto found = std::find_if(offered.begin(), offered.end(), [&](const SceneOffered& s) { return s.name == name; });
        if (found != offered.end())
            chosen.push_back(found->id);
        else
            failures_.push_back("the scene picker offers no scene \"" + hx::utf16To8(name) + "\"");
    }
    return chosen;
}

std::vector<std::string> ScriptedUser::pickOperators(const std::vector<std::string>& offered, const std::string&)
{
    const std::vector<std::string>* names = takeNext(operators_, nextOperators_);
    std::vector<std::string> chosen;
    for (const std::string& name : names ? *names : std::vector<std::string>{}) {
        if (std::find(offered.begin(), offered.end(), name) != offered.end())
            chosen.push_back(name);
        else
            failures_.push_back("the operator picker offers no operator \"" + name + "\"");
    }
    return chosen;
}

std::optional<FileAnswer> ScriptedUser::pickFile(int32_t)
{
    const std::optional<FileAnswer>* answer = takeNext(files_, nextFile_);
    return answer ? *answer : std::nullopt;
}

void setUser(std::shared_ptr<User> user)
{
    hx::state().user = std::move(user);
}

std::shared_ptr<ScriptedUser> scriptedUser()
{
    return hx::state().scripted;
}

} // namespace hxhost
