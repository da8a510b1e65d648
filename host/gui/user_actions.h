// The user's actions on the toolkit's windows: finding the gadget meant and posting its events.
#ifndef HX_GUI_USER_H
#define HX_GUI_USER_H

#include "hxhost/user.h"

#include <string>

struct MsgQueue;

namespace hx {

// Carries out one action; false with the reason when it cannot be done.
bool performAction(const hxhost::UserAction& action, std::string& why);
// The program's answer to a drag-over message.
void dropPossible(bool possible);
// Ends a drag the user is making: posts the drop when the program allowed it and the gadget under
// the pointer takes drops. True when it posted a message.
bool finishPendingDrop();
// The user has nothing left to do: the main window is closed (class 6 on the program's queue).
void closeMainWindow(MsgQueue* queue);

} // namespace hx

#endif
