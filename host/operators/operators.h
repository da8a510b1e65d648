// Operators the host loads from operator files under HXHOME.
#ifndef HX_OPERATORS_H
#define HX_OPERATORS_H

#include "host/hxop.h"
#include "hxhost/storyboard.h"
#include "hxhost/transitions.h"

#include <cstdint>
#include <map>
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

// An operator file's "<key>=<value>" lines.
using OperatorFile = std::map<std::string, std::string>;
// False when a line is no "<key>=<value>" (blank lines and "#" comments aside) or no name is given.
bool parseOperatorFile(const std::string& bytes, OperatorFile& fields);
// The file a full path `library` names, links resolved, when it lies directly in one of `folders`;
// empty otherwise. The resolved name is what gets loaded, so a link cannot be changed in between.
std::string trustedLibraryPath(const std::string& library, const std::vector<std::string>& folders);
// Loads the operator that the file "<HXHOME>/<name>" names, counted as live; null with the reason
// (which file was refused, and why) in *error.
HxOperator* loadOperator(const char* name, std::string* error);
// The same with the block stored for a placement written into it.
HxOperator* loadPlacedOperator(const hxhost::PlacedOperator& placed, std::string* error);

// Writes the operator's preference block into the plug-in's record before it runs.
void applyPrefs(HxOperator& op);
// The operator files this host installs: "longterm/stillsetpan.opw" naming the pan operator library,
// and "transition/<file>" naming each transition of the catalogue.
bool installOperatorFiles(const std::string& home, std::string* error);

} // namespace hx

#endif
