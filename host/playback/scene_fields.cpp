#include "playback/scene_fields.h"

#include "host/hxmain.h"
#include "host/hxop.h"
#include "image/images.h"
#include "operators/operators.h"

#include <algorithm>

namespace hx {

SceneFields::SceneFields(const hxhost::StoryboardScene& scene, size_t number, const ExportStills& stills)
    : scene_(scene), number_(number), stills_(stills)
{
}

SceneFields::~SceneFields()
{
    instance_.reset(); // released before its operator goes
    if (effect_)
        mainUnloadOperator(effect_);
    for (OpImage* field : rendered_)
        freeImage(field);
    for (OpImage* field : plain_)
        freeImage(field);
}

bool SceneFields::open(std::string* error)
{
    if (!scene_.effect)
        return true;
    const hxhost::PlacedOperator& effect = *scene_.effect;
    std::string why;
    if (!(effect_ = loadPlacedOperator(effect, &why))) {
        if (error)
            *error = "cannot load the effect " + effect.operatorName + " of scene " + std::to_string(number_) + ": " + why;
        return false;
    }
    effectFields_ = 2 * static_cast<int64_t>(std::min(effect.length, scene_.length));
    const uint32_t clip = scene_.clipItem;
    // The effect asks for the full picture once and owns what it gets; an input field is the clip's,
    // the first of its frame in time at even indices.
    source_ = [this, clip](uint32_t flags, uint32_t index) -> OpImage* {
        if (flags & OP_FIELD_FULL_PICTURE)
            return photoClipPicture(clip, stills_);
        return photoClipField(clip, index % 2 == 0 ? 1 : 0, stills_);
    };
    sink_ = [this](OpImage* field, uint32_t) {
        freeImage(rendered_[slot_]);
        rendered_[slot_] = field;
        return true;
    };
    if (effectFields_ > 0)
        instance_ = std::make_unique<EffectInstance>(*effect_, static_cast<uint32_t>(effectFields_ - 1), 0, source_, sink_);
    return true;
}

const OpImage* SceneFields::field(int64_t n, std::string* error)
{
    if (n >= effectFields_)
        return plainField(n, error);
    slot_ = static_cast<int>(n & 1);
    freeImage(rendered_[slot_]);
    rendered_[slot_] = nullptr;
    if (!instance_->render(static_cast<uint32_t>(n)) || !rendered_[slot_]) {
        explain("its effect failed at field " + std::to_string(n), error);
        return nullptr;
    }
    return rendered_[slot_];
}

const OpImage* SceneFields::plainField(int64_t n, std::string* error)
{
    // Selector 1 asks the tool for the first field of its frame in time, 0 for the second.
    const int second = static_cast<int>(n & 1);
    if (!plain_[second])
        plain_[second] = photoClipField(scene_.clipItem, second ? 0 : 1, stills_);
    if (!plain_[second])
        explain("it plays no photo clip this host can show", error);
    return plain_[second];
}

void SceneFields::explain(const std::string& failed, std::string* error) const
{
    if (!error)
        return;
    const std::string fault = hxhost::photoClipFault(scene_.clipItem);
    *error = "scene " + std::to_string(number_) + ": " + (fault.empty() ? failed : fault);
}

} // namespace hx
