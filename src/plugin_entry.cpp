// The plug-in's entry point, above both the core and its interface: how the host finds the
// slideshow tool (its description, its action entry with the version gate and the screen switch,
// and its version numbers).
#include "gui/tool_session.h"
#include "string_ids.h"
#include "stillset/exports.h"
#include "stillset/log.h"
#include "stillset/session.h"

#include "host/hxparser.h"
#include "host/hxreq.h"
#include "host/hxres.h"
#include "host/hxscenes.h"

#include <cstdio>
#include <cstring>

namespace {

struct StillsetOperatorRecord {
    uint16_t kind;
    uint16_t group;
    uint32_t flags;
};
static_assert(sizeof(StillsetOperatorRecord) == 8);

const StillsetOperatorRecord kOperatorRecord = {4, 11, 3};

const char kIdentification[] = "$Id: stillset,v 1.50 2015/10/22 08:11:54 kelmor Exp kelmor $";

const OperatorTag kDescription[] = {
    {OPE_KIND, 0x00400218},
    {OPE_CLASS, 5},
    {OPE_IDENT, reinterpret_cast<uintptr_t>(kIdentification)},
    {OPE_ACTION, reinterpret_cast<uintptr_t>(&OperatorAction)},
    {OPE_TYPE, 1},
    {OPE_INTERACTIVE, 1},
    {OPE_RECORD, reinterpret_cast<uintptr_t>(&kOperatorRecord)},
    {OPE_END, 0},
};

constexpr uint32_t kPluginScreen = kStillsetModule + 1;

struct GateStep {
    int32_t (*version)(int32_t which);
    int32_t major;
    int32_t minor;
    int logLine; // the entry that names this service when the notice cannot be shown
};

bool passes(const GateStep& step)
{
    const int32_t major = step.version(0);
    const int32_t minor = step.version(1);
    return major > step.major || (major == step.major && minor >= step.minor);
}

// Tells the user that the host is too old; without the catalogue only the log can say so.
int32_t refuseOldHost(int failedServiceLine)
{
    session.stringCatalogue = resLoadStrings("stillset");
    if (!session.stringCatalogue) {
        loggerMessage(HXLOG_FAILURE, failedServiceLine, kStillsetSource, kStillsetModule, " ");
        return -1;
    }
    UReqTextRequest notice;
    std::memset(&notice, 0, sizeof notice);
    notice.title = resGetString(session.stringCatalogue, kStrToolName);
    notice.text = resGetString(session.stringCatalogue, kStrHostTooOld);
    notice.style = UREQ_NOTICE;
    ureqTextRequest(&notice);
    resFreeStrings(session.stringCatalogue);
    session.stringCatalogue = nullptr;
    return 0;
}

} // namespace

const OperatorTag* GetOperatorInfo(void)
{
    return kDescription;
}

int32_t OperatorAction(OperatorActionRecord* record)
{
    if (!record || record->action != OP_ACTION_RUN)
        return 0;
    const GateStep gate[] = {
        {&nslVersion, 11, 131, __LINE__},
        {&opcVersion, 5, 11, __LINE__},
        {&ureqVersion, 117, 68, __LINE__},
    };
    for (const GateStep& step : gate)
        if (!passes(step))
            return refuseOldHost(step.logLine);

    uint32_t savedScreen = 0, savedMode = 0;
    parserGetCurrentScreen(&savedScreen, &savedMode);
    parserSetCurrentScreen(kPluginScreen, 0);
    const int32_t result = runStillset(record);
    parserSetCurrentScreen(savedScreen, savedMode);
    return result;
}

int32_t stillsetVersion(uint32_t selector)
{
    unsigned long major = 0, minor = 0, third = 0;
    if (std::sscanf(kIdentification, "$Id: %*s %lu.%lu %*s %lu", &major, &minor, &third) != 3)
        return -1;
    switch (selector) {
    case 0: return static_cast<int32_t>(major);
    case 1: return static_cast<int32_t>(minor);
    case 2: return 1;
    case 0xFFFFFFFFu: return static_cast<int32_t>(third);
    default: return 0;
    }
}
