#include "import_question.h"

#include "stillset/photo_import.h"
#include "stillset/session.h"

#include "host/hxreq.h"

#include <cstring>

int32_t askImportWhenEmpty()
{
    UReqTextRequest question;
    std::memset(&question, 0, sizeof question);
    question.text = resGetString(session.stringCatalogue, 50);
    question.style = UREQ_QUESTION;
    if (ureqTextRequest(&question) == 0 && question.answer == 1)
        importAllScenes();
    return 0;
}
