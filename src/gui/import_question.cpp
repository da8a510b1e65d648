#include "import_question.h"

#include "main_window.h"
#include "previews.h"
#include "string_ids.h"
#include "stillset/photo_import.h"
#include "stillset/session.h"

#include "host/hxreq.h"

#include <cstring>

namespace {

// The picture just fetched is still the tool's cached photo: the thumbnail made from it now costs no
// second decode, as it would once the next photo took its place.
void thumbnailWhileCached(PhotoEntry* photo)
{
    if (mainWindow())
        buildThumbnail(photo);
}

} // namespace

int32_t askImportWhenEmpty()
{
    UReqTextRequest question;
    std::memset(&question, 0, sizeof question);
    question.text = resGetString(session.stringCatalogue, kStrImportWhenEmpty);
    question.style = UREQ_QUESTION;
    if (ureqTextRequest(&question) == 0 && question.answer == 1)
        importAllScenes(thumbnailWhileCached);
    return 0;
}
