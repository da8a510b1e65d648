// What the host tells the person: a stored file of the project that was damaged and set aside, and
// what was kept of it, one line each.
#ifndef HXHOST_WARNINGS_H
#define HXHOST_WARNINGS_H

#include "hxhost/api.h"

#include <functional>
#include <string>
#include <vector>

namespace hxhost {

using WarningSink = std::function<void(const std::string&)>;
// The program shows them (stillset-host on standard error); without a sink they are only kept.
HXHOST_API void setWarningSink(WarningSink sink);
// Every warning since reset().
HXHOST_API std::vector<std::string> warningsGiven();

} // namespace hxhost

#endif
