// The question a build asks when an earlier build of the storyboard never finished: take its
// scenes away so that this build puts complete ones in their place, or keep them as they are.
#include "host/hxreq.h"

#include "scenes/storyboard.h"
#include "text/utf.h"

#include <string>

namespace {

bool askToFinish(size_t first, size_t count)
{
    const std::string scenes = count == 1 ? "scene " + std::to_string(first + 1)
                                          : "scenes " + std::to_string(first + 1) + " to " + std::to_string(first + count);
    const std::u16string text = hx::utf8To16(
        "The last build of this storyboard did not finish: " + scenes +
        " may lack their effects and transitions. Finish it now: take those scenes away and build them "
        "again from the photo list? (No keeps them and adds the new scenes after them.)");
    const std::u16string title = u"Unfinished storyboard";
    UReqTextRequest request{};
    request.title = title.c_str();
    request.text = text.c_str();
    request.style = UREQ_QUESTION;
    return ureqTextRequest(&request) == 0 && request.answer == 1;
}

[[maybe_unused]] const bool asks = (hx::setUnfinishedBuildQuestion(&askToFinish), true);

} // namespace
