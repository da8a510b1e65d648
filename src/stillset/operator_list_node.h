// A chosen transition or long-term effect: a node of transitionList or effectList.
#ifndef STILLSET_OPERATOR_LIST_NODE_H
#define STILLSET_OPERATOR_LIST_NODE_H

#include "host/hxlist.h"

struct OperatorEntry {
    ListNode link;
    char* name;        // owned (malloc): "transition/<name>" or "longterm/stillsetpan.opw"
    uint32_t variant;  // effects: pan preset 0..4; transitions: 0
    uint32_t prefsSize;
    void* prefs;       // owned (malloc), prefsSize bytes, or null
};

// Frees an entry (unlinked already) with its name and block.
void freeOperatorEntry(OperatorEntry* entry);

#endif
