// The plug-in's exports: C linkage, visible from the shared library; nothing else is.
#ifndef STILLSET_EXPORTS_H
#define STILLSET_EXPORTS_H

#include "host/hxop.h"
#include "host/hxscenes.h"

#define STILLSET_EXPORT extern "C" __attribute__((visibility("default")))

STILLSET_EXPORT const OperatorTag* GetOperatorInfo(void);
STILLSET_EXPORT int32_t OperatorAction(OperatorActionRecord* record);
STILLSET_EXPORT int32_t stillsetVersion(uint32_t selector);

// Rendering calls of the host. stillsetDoPhoto consumes its picture and returns the corrected one
// (null for a null picture); stillsetGetFinalField returns a new field the caller frees, or null.
STILLSET_EXPORT OpImage* stillsetDoPhoto(const PhotoEntry* photo, OpImage* picture);
STILLSET_EXPORT OpImage* stillsetGetFinalField(const PhotoEntry* photo, int32_t selector);

#endif
