// Which entry of the transition or effect list serves each new scene: the order sequence (list
// order or shuffled), the repeat count, and the walk that wraps around when the list is used up.
#ifndef STILLSET_ORDER_SEQUENCE_H
#define STILLSET_ORDER_SEQUENCE_H

#include "host/hxlist.h"

#include <cstdint>

// Fills transitionSequence (for transitionList) or effectSequence (for effectList): the 1-based
// positions in order of use, then -1. Order 1 shuffles; an empty list leaves the array as it is.
void buildSequence(ListHead* list, int32_t order);
// Scenes served by one entry in a row: 0 -> 1, 1 -> 2, 2 -> 3, 3 -> 5, 4 -> 10, 5 -> 20, else the code
// itself, and at least 1.
int32_t repeatCount(int32_t repeatCode);

// The walking state of one phase of a build.
struct SequenceWalk {
    const int32_t* sequence;
    int32_t repeat;
    int32_t index;
    int32_t uses;
    int32_t position; // the current 1-based list position, -1 when the sequence is empty
};

SequenceWalk startWalk(const int32_t* sequence, int32_t repeat);
// After a scene: the same entry until it served `repeat` scenes, then the next, from the start again
// after the last.
void advanceWalk(SequenceWalk& walk);

#endif
