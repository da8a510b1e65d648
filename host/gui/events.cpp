// Receiving the toolkit's events: with an empty queue the program waits while the user acts.
#include "gui/user_actions.h"

#include "host/hxgui.h"

#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/msgq.h"

#include <algorithm>

extern "C" {

int32_t ugMsgQReceive(UgMessage* message, int32_t timeout) HX_ENTRY
{
    hx::countCall("ugMsgQReceive");
    MsgQueue* queue = hx::newestQueue();
    if (!message || !queue)
        return -1;
    const size_t size = std::min<size_t>(sizeof(UgMessage), static_cast<size_t>(hx::messageSize(queue)));
    for (;;) {
        if (hx::takeMessage(queue, message, sizeof(UgMessage)))
            return static_cast<int32_t>(size);
        if (hx::finishPendingDrop())
            continue;
        if (timeout >= 0)
            return 0; // a program that does not wait gets no user
        hxhost::User* user = hx::state().user.get();
        std::optional<hxhost::UserAction> action = user ? user->nextAction() : std::nullopt;
        if (!action) {
            hx::closeMainWindow(queue);
            continue;
        }
        std::string why;
        if (!hx::performAction(*action, why))
            user->actionFailed(*action, why);
    }
}
HX_ENTRY_FAILS(-1)

void ugDropPossible(int32_t possible, uint32_t) HX_ENTRY
{
    hx::countCall("ugDropPossible");
    hx::dropPossible(possible != 0);
}
HX_ENTRY_FAILS_VOID

void ugBusyPointer(void) HX_ENTRY
{
    hx::countCall("ugBusyPointer");
}
HX_ENTRY_FAILS_VOID

void ugStandardPointer(void) HX_ENTRY
{
    hx::countCall("ugStandardPointer");
}
HX_ENTRY_FAILS_VOID

void ugPointerBeep(void) HX_ENTRY
{
    hx::countCall("ugPointerBeep");
}
HX_ENTRY_FAILS_VOID

} // extern "C"
