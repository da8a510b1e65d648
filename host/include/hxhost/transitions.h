// The host's own transitions: the catalogue installed as operator files "transition/<file>", the
// settings each one shows in its operator panel and keeps in its preference block, and the
// renderer that blends two pictures at a position of the transition.
#ifndef HXHOST_TRANSITIONS_H
#define HXHOST_TRANSITIONS_H

#include "hxhost/api.h"

#include <cstdint>
#include <string>
#include <vector>

struct OpImage;
struct HxOperator;

namespace hxhost {

enum class TransitionKind { Dissolve, Fade, Wipe, Push, Iris, Clock };

// How a setting is shown: a popup of choices, a slider over a range, or a check box (0 or 1).
enum class SettingKind { Choice, Range, Switch };

// One setting of a transition. Its value is a signed 32-bit little-endian word at `offset` in the
// preference block; a value outside minimum..maximum is read as the nearest bound.
struct TransitionSetting {
    std::string key;                    // stable name: "direction", "softness", ...
    std::u16string label;               // what the panel shows beside it
    SettingKind kind = SettingKind::Range;
    int32_t minimum = 0;
    int32_t maximum = 0;                // a choice's maximum is its last index
    int32_t defaultValue = 0;
    std::vector<std::u16string> choices; // Choice only, in value order
    std::u16string unit;                // Range only, shown after the value ("%")
    uint32_t offset = 0;
};

struct HXHOST_API TransitionType {
    std::string file;          // operator file "transition/<file>"
    std::u16string name;       // display name (mainGetOperatorName)
    TransitionKind kind = TransitionKind::Dissolve;
    uint32_t flags = 0;        // mainGetOperatorFlags
    std::vector<TransitionSetting> settings;

    uint32_t prefsSize() const;
    std::vector<uint8_t> defaultPrefs() const;
    // The setting named `key`, or null.
    const TransitionSetting* setting(const std::string& key) const;
};

// Bit 2 of an operator's flags: it renders each field at its own instant (see hxmain.h).
constexpr uint32_t kOperatorFieldInstants = 4;

// Every transition of this host.
HXHOST_API const std::vector<TransitionType>& transitionCatalogue();
// By operator file name, with or without the "transition/" prefix; null when there is none.
HXHOST_API const TransitionType* findTransition(const std::string& name);
// The transition a loaded operator renders; null for other operators (the pan operator).
HXHOST_API const TransitionType* transitionOf(const HxOperator* op);

// A setting's value in a block: clamped to its range; the default when the block is too short.
HXHOST_API int32_t settingValue(const TransitionSetting& setting, const uint8_t* prefs, size_t size);
// Stores a value (clamped) into a block; false when the block is too short.
HXHOST_API bool setSettingValue(const TransitionSetting& setting, int32_t value, uint8_t* prefs, size_t size);

// The position of one field of a transition `frames` long: frame 0..frames-1, field 0 (the first
// in time) or 1. With field instants each of the 2 * frames fields has its own position, otherwise
// both fields of a frame share the frame's. Positions lie strictly inside 0..1 and rise evenly.
HXHOST_API double transitionFieldPosition(int32_t frame, int32_t field, int32_t frames, bool fieldInstants);

// Blends `from` (the outgoing picture, shown whole at position 0) and `to` (shown whole at 1) into
// `out`, which is neither of them; all three of one size and format (0, 1, 2 or 7). `parity` is -1
// for a whole frame, or 0 / 1 for the field of that parity, whose rows lie on the frame's rows of
// that parity, so shapes stay where they are on the frame. `prefs` is the transition's block (null
// or short: the defaults). False with the reason in *error when nothing was rendered.
HXHOST_API bool renderTransition(const TransitionType& type, const uint8_t* prefs, size_t prefsSize,
                                 const OpImage* from, const OpImage* to, OpImage* out, double position,
                                 int parity, std::string* error = nullptr);
// The same with a loaded transition operator and its current preference block.
HXHOST_API bool renderTransition(const HxOperator* op, const OpImage* from, const OpImage* to, OpImage* out,
                                 double position, int parity, std::string* error = nullptr);

} // namespace hxhost

#endif
