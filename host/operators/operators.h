// Operators the host loads from operator files under HXHOME.
#ifndef HX_OPERATORS_H
#define HX_OPERATORS_H

#include "host/hxop.h"
#include "hxhost/transitions.h"

#include <cstdint>
#include <string>
#include <vector>

struct HxOperator {
    void* library = nullptr;
    OperatorActionFn action = nullptr;
    uint8_t* record = nullptr;      // the plug-in's operator record
    uint32_t instanceSize = 0;
    uint32_t prefsOffset = 0;       // where the preference block goes in the record
    std::vector<uint8_t> prefs;     // this operator's own block
    uint32_t uniqueId = 0;
    const hxhost::TransitionType* transition = nullptr; // a transition built into the host: no library
};

namespace hx {

// Writes the operator's preference block into the plug-in's record before it runs.
void applyPrefs(HxOperator& op);
// The operator files this host installs: "longterm/stillsetpan.opw" naming the pan operator library,
// and "transition/<file>" naming each transition of the catalogue.
bool installOperatorFiles(const std::string& home, std::string* error);

} // namespace hx

#endif
