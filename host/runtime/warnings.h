// What the host tells the person about their stored work (a damaged file set aside, what was kept
// of it): kept for the control API and handed to the program's sink as it happens.
#ifndef HX_WARNINGS_H
#define HX_WARNINGS_H

#include <string>

namespace hx {

void warnUser(const std::string& text);

} // namespace hx

#endif
