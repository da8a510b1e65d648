#include "player/show_status.h"

#include "host/hxmain.h"
#include "hxhost/scene_bin.h"
#include "text/utf.h"

#include <algorithm>
#include <cstdio>

namespace hx {

namespace {

std::u16string clockText(int64_t sample)
{
    const int64_t hundredths = sample * 100 / hxhost::kAudioRate;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld.%02lld", static_cast<long long>(hundredths / 6000),
                  static_cast<long long>(hundredths / 100 % 60), static_cast<long long>(hundredths % 100));
    return utf8To16(text);
}

std::u16string operatorTitle(const std::string& operatorName)
{
    const hxchar* name = mainGetOperatorName(operatorName.c_str(), 0);
    if (!name)
        return utf8To16(operatorName);
    std::u16string title;
    for (size_t i = 0; name[i]; ++i)
        title += static_cast<char16_t>(name[i]);
    return title;
}

} // namespace

ShowStatus::ShowStatus(const hxhost::Storyboard& board, const hxhost::VideoFileFormat& format) : board_(board), format_(format)
{
    const std::vector<hxhost::SceneBinItem> items = hxhost::sceneBinItems();
    for (const hxhost::StoryboardScene& scene : board.scenes) {
        SceneTitles t;
        hxhost::PhotoClip clip;
        const bool isClip = hxhost::photoClipOf(scene.clipItem, clip);
        const auto still = std::find_if(items.begin(), items.end(),
                                        [&](const hxhost::SceneBinItem& item) { return isClip && item.id == clip.sourceItem; });
        t.photo = still != items.end() ? still->name : u"(no photo)";
        t.effect = scene.effect ? operatorTitle(scene.effect->operatorName) : u"no effect";
        if (scene.transition)
            t.transition = operatorTitle(scene.transition->operatorName);
        titles_.push_back(std::move(t));
    }
}

std::u16string ShowStatus::timeOfFrame(int64_t frame) const
{
    return clockText(hxhost::audioSampleOfFrame(frame, format_.framesPerSecond, format_.fractionalRate));
}

std::u16string ShowStatus::describe(int64_t frame, int64_t sample, int32_t scene) const
{
    std::u16string text = clockText(sample) + u" / " + timeOfFrame(board_.length);
    if (scene < 0 || static_cast<size_t>(scene) >= titles_.size())
        return text;
    const size_t index = static_cast<size_t>(scene);
    text += u"   " + titles_[index].photo + u"   " + titles_[index].effect;
    // The transition being played, else the next one to come.
    for (size_t i = index; i + 1 < board_.scenes.size(); ++i) {
        const auto& transition = board_.scenes[i].transition;
        if (!transition || transition->length <= 0)
            continue;
        const int64_t from = board_.scenes[i + 1].position, to = from + transition->length;
        if (frame >= to)
            continue;
        text += frame < from ? u"   next: " + titles_[i].transition + u" at " + timeOfFrame(from)
                             : u"   now: " + titles_[i].transition + u" until " + timeOfFrame(to);
        break;
    }
    return text;
}

} // namespace hx
