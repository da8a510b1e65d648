#include "jingle_choice.h"

#include "log.h"

#include "host/hxtx.h"

namespace {

constexpr int32_t kSoundRequest = 1;
constexpr int32_t kCopyChars = kJingleBufferChars - 1;

bool failed(TxRequest* request, int line)
{
    loggerMessage(HXLOG_FAILURE, line, kStillsetSource, kStillsetModule, " ");
    txFreeRequest(request);
    return false;
}

} // namespace

bool chooseJingle(char* file, hxchar* name, int32_t* orientation)
{
    TxRequest* request = txAllocRequest(kSoundRequest);
    if (!request)
        return false;
    if (txRequest(request, 0) != 0 || txGetStatus(request) != 1) {
        txFreeRequest(request); // the user cancelled: nothing to log
        return false;
    }
    if (txGetFileName(request, file, kCopyChars) != 0)
        return failed(request, __LINE__);
    if (txGetImageName(request, name, kCopyChars) != 0)
        return failed(request, __LINE__);
    *orientation = txGetOrientation(request);
    txFreeRequest(request);
    return true;
}
