// The fields of one storyboard scene in time order: the photo clip's finished fields, or the
// fields of its long-term effect played through an effect instance over the clip's full picture.
#ifndef HX_SCENE_FIELDS_H
#define HX_SCENE_FIELDS_H

#include "hxhost/effect_runner.h"
#include "hxhost/storyboard.h"
#include "operators/effect_instance.h"
#include "scenes/photo_clips.h"

#include <memory>
#include <string>

namespace hx {

class SceneFields {
public:
    // `number` counts the storyboard's scenes from 1, as a person does; the clip takes its stills as
    // `stills` says, which must outlive it.
    SceneFields(const hxhost::StoryboardScene& scene, size_t number, const ExportStills& stills);
    ~SceneFields();
    SceneFields(const SceneFields&) = delete;
    SceneFields& operator=(const SceneFields&) = delete;

    // Loads the effect operator; false with a reason.
    bool open(std::string* error);
    // Field `n` in time (0 .. 2 x length - 1) of the scene; kept until field n + 2 is asked for, so
    // both fields of a frame are there at once.
    // Calls go forward. Null with a reason.
    const OpImage* field(int64_t n, std::string* error);

private:
    const OpImage* plainField(int64_t n, std::string* error);
    // Why field n did not come: the clip or photo file at fault, else what failed.
    void explain(const std::string& failed, std::string* error) const;

    hxhost::StoryboardScene scene_;
    size_t number_ = 0;
    const ExportStills& stills_;
    int64_t effectFields_ = 0; // fields the effect covers from the scene's start
    HxOperator* effect_ = nullptr;
    hxhost::FieldSource source_;
    hxhost::FieldSink sink_;
    std::unique_ptr<EffectInstance> instance_;
    OpImage* rendered_[2] = {};     // the effect's last two fields, by the parity of n
    int slot_ = 0;                  // where the sink puts the field being rendered
    OpImage* plain_[2] = {};        // the clip's finished fields, first and second in time, made when first needed
};

} // namespace hx

#endif
