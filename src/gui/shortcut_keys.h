// The toolkit's shortcut keys beyond the characters, and the modifier bits that combine with both.
#ifndef STILLSET_GUI_SHORTCUT_KEYS_H
#define STILLSET_GUI_SHORTCUT_KEYS_H

#include <cstdint>

inline constexpr uint32_t kCtrl = 0x40000000;
inline constexpr uint32_t kAlt = 0x80000000;
inline constexpr uint32_t kDeleteKey = 0xE002;
inline constexpr uint32_t kPageUpKey = 0xE007;
inline constexpr uint32_t kPageDownKey = 0xE008;
inline constexpr uint32_t kInsertKey = 0xE009;
inline constexpr uint32_t kEscapeKey = 0xE011;
inline constexpr uint32_t kHelpKey = 0xE012;

#endif
