// The catalogue of the host's transitions and the byte layout of their preference blocks: one
// signed 32-bit little-endian word per setting, in the order the settings are listed.
#include "hxhost/transitions.h"

#include <algorithm>

namespace hxhost {
namespace {

TransitionSetting choice(const char* key, const char16_t* label, std::vector<std::u16string> choices,
                         int32_t defaultValue = 0)
{
    TransitionSetting s;
    s.key = key;
    s.label = label;
    s.kind = SettingKind::Choice;
    s.maximum = static_cast<int32_t>(choices.size()) - 1;
    s.defaultValue = defaultValue;
    s.choices = std::move(choices);
    return s;
}

TransitionSetting range(const char* key, const char16_t* label, int32_t maximum, int32_t defaultValue)
{
    TransitionSetting s;
    s.key = key;
    s.label = label;
    s.kind = SettingKind::Range;
    s.maximum = maximum;
    s.defaultValue = defaultValue;
    s.unit = u"%";
    return s;
}

TransitionSetting smooth(int32_t defaultValue)
{
    TransitionSetting s;
    s.key = "smooth";
    s.label = u"Smooth start and end";
    s.kind = SettingKind::Switch;
    s.maximum = 1;
    s.defaultValue = defaultValue;
    return s;
}

// The soft edge and its border, shared by the transitions that draw an edge.
std::vector<TransitionSetting> edge(int32_t softness)
{
    return {range("softness", u"Softness", 100, softness), range("border", u"Border", 100, 0),
            choice("border-colour", u"Border colour", {u"White", u"Black"})};
}

TransitionType type(const char* file, const char16_t* name, TransitionKind kind, std::vector<TransitionSetting> settings)
{
    TransitionType t;
    t.file = file;
    t.name = name;
    t.kind = kind;
    t.flags = kOperatorFieldInstants;
    t.settings = std::move(settings);
    for (size_t i = 0; i < t.settings.size(); ++i)
        t.settings[i].offset = static_cast<uint32_t>(4 * i);
    return t;
}

template <typename... Lists> std::vector<TransitionSetting> join(Lists... lists)
{
    std::vector<TransitionSetting> all;
    (all.insert(all.end(), lists.begin(), lists.end()), ...);
    return all;
}

std::vector<TransitionType> makeCatalogue()
{
    using S = std::vector<TransitionSetting>;
    return {
        type("dissolve", u"Dissolve", TransitionKind::Dissolve, {smooth(0)}),
        type("fade", u"Fade through black", TransitionKind::Fade,
             {choice("colour", u"Colour", {u"Black", u"White"}), range("hold", u"Hold", 50, 0), smooth(0)}),
        type("wipe", u"Wipe", TransitionKind::Wipe,
             join(S{choice("direction", u"Direction", {u"Left to right", u"Right to left", u"Top to bottom", u"Bottom to top"})},
                  edge(20), S{smooth(0)})),
        type("push", u"Push", TransitionKind::Push,
             {choice("direction", u"Direction", {u"To the left", u"To the right", u"Upwards", u"Downwards"}), smooth(1)}),
        type("iris", u"Iris", TransitionKind::Iris,
             join(S{choice("direction", u"Direction", {u"Opening", u"Closing"})}, edge(10), S{smooth(0)})),
        type("clock", u"Clock wipe", TransitionKind::Clock,
             join(S{choice("direction", u"Direction", {u"Clockwise", u"Anticlockwise"}),
                    choice("start", u"Start", {u"12 o'clock", u"3 o'clock", u"6 o'clock", u"9 o'clock"})},
                  edge(5), S{smooth(0)})),
    };
}

} // namespace

uint32_t TransitionType::prefsSize() const
{
    return static_cast<uint32_t>(4 * settings.size());
}

std::vector<uint8_t> TransitionType::defaultPrefs() const
{
    std::vector<uint8_t> block(prefsSize(), 0);
    for (const TransitionSetting& s : settings)
        setSettingValue(s, s.defaultValue, block.data(), block.size());
    return block;
}

const TransitionSetting* TransitionType::setting(const std::string& key) const
{
    for (const TransitionSetting& s : settings)
        if (s.key == key)
            return &s;
    return nullptr;
}

const std::vector<TransitionType>& transitionCatalogue()
{
    static const std::vector<TransitionType> catalogue = makeCatalogue();
    return catalogue;
}

const TransitionType* findTransition(const std::string& name)
{
    const std::string prefix = "transition/";
    const std::string file = name.compare(0, prefix.size(), prefix) == 0 ? name.substr(prefix.size()) : name;
    for (const TransitionType& t : transitionCatalogue())
        if (t.file == file)
            return &t;
    return nullptr;
}

int32_t settingValue(const TransitionSetting& setting, const uint8_t* prefs, size_t size)
{
    if (!prefs || size < 4 || setting.offset > size - 4)
        return setting.defaultValue;
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i)
        word |= static_cast<uint32_t>(prefs[setting.offset + i]) << (8 * i);
    return std::clamp(static_cast<int32_t>(word), setting.minimum, setting.maximum);
}

bool setSettingValue(const TransitionSetting& setting, int32_t value, uint8_t* prefs, size_t size)
{
    if (!prefs || size < 4 || setting.offset > size - 4)
        return false;
    const auto word = static_cast<uint32_t>(std::clamp(value, setting.minimum, setting.maximum));
    for (int i = 0; i < 4; ++i)
        prefs[setting.offset + i] = static_cast<uint8_t>(word >> (8 * i));
    return true;
}

double transitionFieldPosition(int32_t frame, int32_t field, int32_t frames, bool fieldInstants)
{
    if (frames <= 0)
        return 1.0;
    frame = std::clamp(frame, 0, frames - 1);
    // Each field (or frame) is shown at the middle of its slice of the transition.
    if (!fieldInstants)
        return (frame + 0.5) / frames;
    return (2.0 * frame + std::clamp(field, 0, 1) + 0.5) / (2.0 * frames);
}

} // namespace hxhost
