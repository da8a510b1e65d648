// The plug-in's exports: C linkage, visible from the shared library; nothing else is.
#ifndef STILLSET_EXPORTS_H
#define STILLSET_EXPORTS_H

#include "host/hxop.h"
#include "host/hxscenes.h"

#include <type_traits>

#define STILLSET_EXPORT extern "C" __attribute__((visibility("default")))

STILLSET_EXPORT const OperatorTag* GetOperatorInfo(void);
STILLSET_EXPORT int32_t OperatorAction(OperatorActionRecord* record);
STILLSET_EXPORT int32_t stillsetVersion(uint32_t selector);

// Rendering calls of the host (host/hxscenes.h says what they do).
STILLSET_EXPORT OpImage* stillsetDoPhoto(const PhotoEntry* photo, OpImage* picture);
STILLSET_EXPORT OpImage* stillsetGetFinalField(const PhotoEntry* photo, int32_t selector);
// The host calls them through its own types: a signature that drifts from them does not compile.
static_assert(std::is_same_v<decltype(&stillsetDoPhoto), StillsetDoPhotoFn>);
static_assert(std::is_same_v<decltype(&stillsetGetFinalField), StillsetGetFinalFieldFn>);

#endif
