// Fields of frames, as the host makes them for itself beside opMakeField and opMakeFrame.
#ifndef HX_FIELDS_H
#define HX_FIELDS_H

#include "host/hxopcommon.h"

namespace hx {

// While one is alive on a thread, the first opMakeField there also keeps the frame's field of the
// other parity: a progressive frame is one instant, so an effect rendered for one of its fields
// has rendered the other too, and the host need not ask for it again.
class OtherFieldCatch {
public:
    // A paused one catches nothing while it lives: what a source the effect reads makes is not the effect's.
    explicit OtherFieldCatch(bool paused = false);
    ~OtherFieldCatch(); // frees a field not taken
    OtherFieldCatch(const OtherFieldCatch&) = delete;
    OtherFieldCatch& operator=(const OtherFieldCatch&) = delete;

    // The kept field, owned by the caller (free it with freeImage); null when none was made.
    OpImage* take();
    // For opMakeField: whether a field is still wanted, and the field it made (given away).
    bool wanted() const { return !paused_ && !caught_; }
    void keep(OpImage* field) { caught_ = field; }

private:
    OtherFieldCatch* previous_;
    bool paused_;
    OpImage* caught_ = nullptr;
};

} // namespace hx

#endif
