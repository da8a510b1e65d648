#include "jingle.h"

#include "log.h"

#include "host/hxtx.h"

bool chooseJingle(char* file, hxchar* name, int32_t* orientation)
{
    TxRequest* request = txAllocRequest(TX_SOUND_FILES);
    if (!request)
        return false;
    if (txRequest(request, 0) != 0 || txGetStatus(request) != 1) {
        txFreeRequest(request);
        return false;
    }
    if (txGetFileName(request, file, kJingleBufferChars - 1) != 0) {
        STILLSET_LOG(HXLOG_FAILURE);
        txFreeRequest(request);
        return false;
    }
    if (txGetImageName(request, name, kJingleBufferChars - 1) != 0) {
        STILLSET_LOG(HXLOG_FAILURE);
        txFreeRequest(request);
        return false;
    }
    *orientation = txGetOrientation(request);
    txFreeRequest(request);
    return true;
}
