// The persistent choices of a project and their file "slset.dat" in the project directory.
#ifndef STILLSET_SETTINGS_H
#define STILLSET_SETTINGS_H

#include "host/hxapi.h"

#include <cstdint>

struct Settings {
    int32_t defaultDurationCode;
    int32_t reservedA;
    int32_t thumbSize;
    int32_t transitionsEnabled;
    int32_t transitionLengthCode;
    int32_t transitionOrder;
    int32_t transitionRepeatCode;
    char* jingleFile;    // owned (malloc), or null
    hxchar* jingleName;  // owned (malloc), or null
    int32_t effectsEnabled;
    int32_t effectOrder;
    int32_t effectRepeatCode;
    int32_t gridPosition;
    int32_t replaceStoryboard;
    int32_t reservedB;
    // Derived, not stored.
    int32_t defaultDuration;          // durationFrames(defaultDurationCode)
    int32_t previousDefaultDuration;  // the default in frames before the user last changed it
};

inline constexpr uint32_t kSettingsVersion = 5;

// 0, or -1 when the file cannot be opened or a field cannot be written.
int32_t writeSettings(const char* projectDir);
// 0, or -1 when an operator record cannot be allocated; any other trouble falls back to defaults.
int32_t readSettings(const char* projectDir);
// Every choice back to its default but the storyboard choice and reservedB; jingle freed.
void restoreDefaultSettings();
// Empties transitionList, then effectList, freeing every entry with its name and block.
void freeOperatorLists();

#endif
